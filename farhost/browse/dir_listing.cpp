#include "farhost/browse/dir_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

int FolderFirst(const DirEntry& a, const DirEntry& b) {
  if (a.Name == "..") return b.Name != "..";
  if (b.Name == "..") return 0;
  if (a.Folder != b.Folder) return a.Folder > b.Folder;
  return a.Name < b.Name;
}

// Decodes one UTF-8 character at text[*i]; U+FFFD for malformed input.
char32_t NextUtf8(const std::string& text, size_t* i) {
  unsigned char lead = static_cast<unsigned char>(text[(*i)++]);
  int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  if (lead < 0x80) return lead;
  if (lead < 0xC0 || lead >= 0xF8) return 0xFFFD;
  char32_t ch = lead & (0x3F >> more);
  for (int k = 0; k < more; ++k) {
    if (*i >= text.size()) return 0xFFFD;
    unsigned char next = static_cast<unsigned char>(text[*i]);
    if ((next & 0xC0) != 0x80) return 0xFFFD;
    ch = ch << 6 | (next & 0x3F);
    ++*i;
  }
  return ch;
}

}  // namespace

int ReadDirListing(const std::string& folder, std::vector<DirEntry>* entries) {
  entries->clear();
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return 0;
  while (dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || (name == ".." && folder == "/")) continue;
    if (entries->size() >= kMaxDirEntries) break;
    struct stat st;
    std::memset(&st, 0, sizeof(st));
    st.st_mode = S_IFDIR;  // ".." of a folder that cannot be looked at
    if (stat(JoinFolder(folder, name).c_str(), &st) != 0 && name != "..")
      continue;
    DirEntry entry{name, S_ISDIR(st.st_mode) ? 1 : 0,
                   name != ".." && name[0] == '.', 0, 0};
    if (!entry.Folder) entry.Size = static_cast<unsigned long long>(st.st_size);
    entry.Modified = static_cast<long long>(st.st_mtime);
    entries->push_back(entry);
  }
  closedir(dir);
  std::sort(entries->begin(), entries->end(), FolderFirst);
  return 1;
}

std::string ParentFolder(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return "/";
  return path.substr(0, slash);
}

std::string JoinFolder(const std::string& path, const std::string& name) {
  if (name == "..") return ParentFolder(path);
  if (!name.empty() && name[0] == '/') return name;
  if (path.empty() || path.back() == '/') return path + name;
  return path + "/" + name;
}

std::string Utf8ToOem(const CodePage* page, const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();)
    out += static_cast<char>(UnicodeToOem(page, NextUtf8(utf8, &i)));
  return out;
}

std::string DirEntryCell(const CodePage* page, const DirEntry& entry,
                         const std::string& type) {
  char buffer[32];
  if (type == "N") return Utf8ToOem(page, entry.Name);
  if (type == "S") {
    if (entry.Name == "..") return "<Up>";
    if (entry.Folder) return "<Folder>";
    std::snprintf(buffer, sizeof(buffer), "%llu", entry.Size);
    return buffer;
  }
  if (type != "D" && type != "T") return std::string();
  time_t when = static_cast<time_t>(entry.Modified);
  struct tm local;
  if (localtime_r(&when, &local) == nullptr) return std::string();
  std::strftime(buffer, sizeof(buffer), type == "D" ? "%d.%m.%y" : "%H:%M",
                &local);
  return buffer;
}
