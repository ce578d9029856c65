// What farhost's system layer does the same way on every system: removing
// a folder tree, listing a folder, reading a file, asking whether a path
// exists (the standard library), and the OEM conversions through per-page
// tables (oem_pages.cpp).
#include <cstring>
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

int SysPathExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error) ? 1 : 0;
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

namespace {

void PutUtf8(char16_t ch, SysOemTable* table, int byte) {
  char* text = table->Text[byte];
  if (ch < 0x80) {
    text[0] = static_cast<char>(ch);
    table->Length[byte] = 1;
  } else if (ch < 0x800) {
    text[0] = static_cast<char>(0xC0 | (ch >> 6));
    text[1] = static_cast<char>(0x80 | (ch & 0x3F));
    table->Length[byte] = 2;
  } else {
    text[0] = static_cast<char>(0xE0 | (ch >> 12));
    text[1] = static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
    text[2] = static_cast<char>(0x80 | (ch & 0x3F));
    table->Length[byte] = 3;
  }
}

// ASCII as itself; the bytes above 127 through the page, or '?'.
SysOemTable MakeTable(int codePage) {
  SysOemTable table;
  std::memset(&table, 0, sizeof(table));
  const char16_t* high = SysOemHighCharacters(codePage);
  for (int byte = 0; byte < 0x100; ++byte)
    PutUtf8(byte < 0x80 ? char16_t(byte)
            : high      ? high[byte - 0x80]
                        : u'?',
            &table, byte);
  table.Known = high != nullptr;
  return table;
}

}  // namespace

// Each table is made at its first use.
const SysOemTable& SysOemUtf8Table(int codePage) {
  if (codePage == 437) {
    static const SysOemTable cp437 = MakeTable(437);
    return cp437;
  }
  if (codePage == 866) {
    static const SysOemTable cp866 = MakeTable(866);
    return cp866;
  }
  static const SysOemTable other = MakeTable(0);
  return other;
}

void SysAppendUtf8(const SysOemTable& table, const char* text, size_t size,
                   std::string* out) {
  for (size_t i = 0; i < size; ++i) {
    unsigned char byte = static_cast<unsigned char>(text[i]);
    out->append(table.Text[byte], table.Length[byte]);
  }
}

int SysOemToUtf8(int codePage, const std::string& text, std::string* out) {
  const SysOemTable& table = SysOemUtf8Table(codePage);
  out->clear();
  out->reserve(text.size());
  SysAppendUtf8(table, text.data(), text.size(), out);
  return table.Known;
}
