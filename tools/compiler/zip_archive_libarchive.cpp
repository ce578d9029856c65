// The ZIP module through libarchive, reading the archive from memory.
#include <archive.h>
#include <archive_entry.h>

#include <cstdint>

#include "compiler/zip_archive.h"

namespace v7c {

namespace {

// Entries looked at before an archive is refused as damaged: folders are
// skipped, so a crafted archive could hold millions of them.
const unsigned kMaxEntries = 1000;

// The last part of a name in the archive, cut to 100 bytes, with control
// bytes shown as '?'.
std::string MemberName(const char* path) {
  if (!path || !*path) return "(no name)";
  const char* base = path;
  for (const char* p = path; *p; ++p)
    if ((*p == '/' || *p == '\\') && p[1]) base = p + 1;
  std::string name(base);
  if (name.size() > 100) name.resize(100);
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return name;
}

int Failed(struct archive* a, std::string* error) {
  const char* why = archive_error_string(a);
  *error = std::string("damaged ZIP archive: ") +
           (why ? why : "libarchive gives no reason");
  return 0;
}

std::string TooLarge(const std::string& name, size_t max_size) {
  std::string limit = max_size % (size_t{1} << 20) == 0
                          ? std::to_string(max_size >> 20) + " MiB"
                          : std::to_string(max_size) + " bytes";
  return name + " unpacks to more than " + limit +
         ": a damaged archive, or not a nodelist";
}

// Reads the data of the current entry into *text, at most max_size bytes.
int ReadMemberData(struct archive* a, const std::string& name, size_t max_size,
                   std::string* text, std::string* error) {
  char buffer[1 << 16];
  for (;;) {
    la_ssize_t n = archive_read_data(a, buffer, sizeof(buffer));
    if (n == 0) return 1;
    if (n < 0) return Failed(a, error);
    if (static_cast<size_t>(n) > max_size - text->size()) {
      *error = TooLarge(name, max_size);
      return 0;
    }
    text->append(buffer, static_cast<size_t>(n));
  }
}

int ReadOnlyMember(struct archive* a, const char* data, size_t size,
                   size_t max_size, ArchiveMember* member, std::string* error) {
  if (archive_read_open_memory(a, data, size) != ARCHIVE_OK)
    return Failed(a, error);
  struct archive_entry* entry;
  unsigned entries = 0, files = 0;
  int r;
  while ((r = archive_read_next_header(a, &entry)) == ARCHIVE_OK ||
         r == ARCHIVE_WARN) {
    if (++entries > kMaxEntries) {
      *error = "damaged ZIP archive: more than " + std::to_string(kMaxEntries) +
               " entries";
      return 0;
    }
    if (archive_entry_filetype(entry) != AE_IFREG) continue;
    std::string name = MemberName(archive_entry_pathname(entry));
    if (++files > 1) {
      *error = "the archive holds more than one file (" + member->name + ", " +
               name + "); a nodelist archive holds one";
      return 0;
    }
    member->name = name;
    if (archive_entry_size_is_set(entry) &&
        static_cast<uint64_t>(archive_entry_size(entry)) > max_size) {
      *error = TooLarge(name, max_size);
      return 0;
    }
    if (!ReadMemberData(a, name, max_size, &member->text, error)) return 0;
  }
  if (r != ARCHIVE_EOF) return Failed(a, error);
  if (files == 0) {
    *error = "the archive holds no file";
    return 0;
  }
  return 1;
}

}  // namespace

int ReadsZipArchives() { return 1; }

int UnpackZip(const char* data, size_t size, size_t max_size,
              ArchiveMember* member, std::string* error) {
  *member = ArchiveMember{};
  struct archive* a = archive_read_new();
  if (!a) {
    *error = "out of memory for the archive reader";
    return 0;
  }
  archive_read_support_format_zip(a);
  int ok = ReadOnlyMember(a, data, size, max_size, member, error);
  archive_read_free(a);
  if (!ok) *member = ArchiveMember{};
  return ok;
}

}  // namespace v7c
