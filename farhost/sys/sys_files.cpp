// The file jobs of farhost's system layer that the standard library does
// the same way on every system: removing a folder tree, listing a folder,
// reading a file.
#include <filesystem>
#include <fstream>

#include "farhost/sys/sys.h"

int SysRemoveTree(const std::string& path) {
  if (path.empty()) return 0;
  std::error_code error;
  std::filesystem::remove_all(path, error);
  return !error && !std::filesystem::exists(path, error);
}

std::vector<std::string> SysListDir(const std::string& path) {
  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator entry(path, error), end;
  for (; !error && entry != end; entry.increment(error))
    names.push_back(entry->path().filename().string());
  return names;
}

int SysReadFile(const std::string& path, size_t maxBytes, std::string* data) {
  data->clear();
  std::ifstream file(path, std::ios::binary);
  if (!file) return 0;
  char buffer[4096];
  while (file.read(buffer, sizeof(buffer)) || file.gcount() > 0) {
    data->append(buffer, static_cast<size_t>(file.gcount()));
    if (data->size() > maxBytes) {
      data->clear();
      return 0;
    }
  }
  return 1;
}
