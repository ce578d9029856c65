// Reading input files, plain or packed.
#include "compiler/input_file.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "compiler/file_sync.h"
#include "compiler/zip_archive.h"

namespace v7c {

namespace fs = std::filesystem;

namespace {

int StartsWith(const char* data, size_t size, const char* bytes,
               size_t length) {
  return size >= length && memcmp(data, bytes, length) == 0;
}

// An ARC header: ^Z, a method byte (1 to 20; 0 ends an archive) and a
// zero-terminated name of at most 12 bytes. A text nodelist never begins
// with ^Z followed by such bytes.
int IsArcHeader(const unsigned char* p, size_t size) {
  if (size < 15 || p[0] != 0x1A || p[1] < 1 || p[1] > 20) return 0;
  for (size_t i = 2; i < 15; ++i)
    if (p[i] == 0) return i > 2;
  return 0;
}

}  // namespace

int ReadWholeFile(const std::string& path, std::string* text) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return 0;
  text->clear();
  std::error_code ec;
  uintmax_t size = fs::file_size(path, ec);
  if (!ec && size < (uintmax_t{1} << 31)) {
    text->reserve(static_cast<size_t>(size));
    AdviseLargeBuffer(text->data(), text->capacity());
  }
  char buffer[1 << 16];
  size_t n;
  while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0) text->append(buffer, n);
  int ok = !ferror(f);
  fclose(f);
  return ok;
}

const char* PackedFormat(const char* data, size_t size) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(data);
  if (StartsWith(data, size, "PK\x03\x04", 4) ||
      StartsWith(data, size, "PK\x05\x06", 4))
    return "ZIP";
  if (IsArcHeader(p, size)) return "ARC";
  if (size >= 2 && p[0] == 0x60 && p[1] == 0xEA) return "ARJ";
  if (size >= 7 && p[2] == '-' && p[3] == 'l' && (p[4] == 'h' || p[4] == 'z') &&
      p[6] == '-')
    return "LHA";
  if (StartsWith(data, size, "Rar!\x1A\x07", 6)) return "RAR";
  if (StartsWith(data, size, "7z\xBC\xAF\x27\x1C", 6)) return "7-Zip";
  return nullptr;
}

int ReadInputText(const std::string& path, InputText* input,
                  std::string* error) {
  input->name = fs::path(path).filename().string();
  if (!ReadWholeFile(path, &input->text)) {
    *error = "cannot read " + path;
    return 0;
  }
  const char* format = PackedFormat(input->text.data(), input->text.size());
  if (!format) return 1;
  if (strcmp(format, "ZIP") != 0) {
    *error = input->name + " is packed with " + format +
             ", which tolvane-compile does not read; unpack it first";
    return 0;
  }
  ArchiveMember member;
  std::string why;
  if (!UnpackZip(input->text.data(), input->text.size(), kMaxUnpackedSize,
                 &member, &why)) {
    *error = input->name +
             (ReadsZipArchives() ? ": " : " is packed with ZIP; ") + why;
    return 0;
  }
  if (memchr(member.text.data(), 0, member.text.size())) {
    *error = input->name + ": " + member.name +
             " is not a nodelist: it holds binary data";
    return 0;
  }
  input->name += "/" + member.name;
  input->text.swap(member.text);
  return 1;
}

}  // namespace v7c
