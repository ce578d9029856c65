#include "damage_case.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::string Trimmed(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string::npos) return std::string();
  size_t end = text.find_last_not_of(" \t\r");
  return text.substr(begin, end - begin + 1);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "OFFSET: XX XX .." into the file at that offset.
int ApplyBytes(const std::string& line, std::string* file) {
  size_t colon = line.find(':');
  char* end = nullptr;
  unsigned long offset = std::strtoul(line.c_str(), &end, 16);
  if (end != line.c_str() + colon) return 0;
  std::istringstream bytes(line.substr(colon + 1));
  std::string pair;
  while (bytes >> pair) {
    if (pair.size() != 2 || HexValue(pair[0]) < 0 || HexValue(pair[1]) < 0)
      return 0;
    if (file->size() <= offset) file->resize(offset + 1, '\0');
    (*file)[offset++] =
        static_cast<char>(HexValue(pair[0]) * 16 + HexValue(pair[1]));
  }
  return 1;
}

int ApplyLine(const std::string& line, int create, DamageCase* out,
              std::string** file) {
  if (line.rfind("file ", 0) == 0) {
    std::string name = Trimmed(line.substr(5));
    if (!create && out->Files.count(name) == 0) return 0;
    *file = &out->Files[name];
    return 1;
  }
  if (line.rfind("list ", 0) == 0) {
    out->ListPath = Trimmed(line.substr(5));
    return 1;
  }
  if (line.rfind("expect ", 0) == 0) {
    out->Expect = Trimmed(line.substr(7));
    return 1;
  }
  if (*file == nullptr) return 0;
  if (line.rfind("truncate ", 0) == 0) {
    size_t size = std::strtoul(line.c_str() + 9, nullptr, 10);
    if (size < (*file)->size()) (*file)->resize(size);
    return 1;
  }
  return ApplyBytes(line, *file);
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

int ParseHexText(const std::string& text, int create, DamageCase* out,
                 std::string* error) {
  std::istringstream lines(text);
  std::string line;
  std::string* file = nullptr;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    line = Trimmed(line);
    if (line.empty()) continue;
    if (line[0] == '#') {
      if (out->Description.empty()) out->Description = Trimmed(line.substr(1));
      continue;
    }
    if (!ApplyLine(line, create, out, &file)) {
      *error = "line " + std::to_string(number) + ": " + line;
      return 0;
    }
  }
  return 1;
}

int LoadBaseSetFrom(const std::string& corpus, FileSet* set,
                    std::string* error) {
  DamageCase base;
  std::string path = corpus + "/base.hex";
  std::string text = ReadText(path);
  if (text.empty()) {
    *error = "cannot read " + path;
    return 0;
  }
  if (!ParseHexText(text, 1, &base, error)) return 0;
  *set = base.Files;
  return 1;
}

int LoadDamageCase(const std::string& path, DamageCase* out,
                   std::string* error) {
  std::string corpus = std::filesystem::path(path).parent_path().string();
  if (!LoadBaseSetFrom(corpus, &out->Files, error)) return 0;
  out->Name = std::filesystem::path(path).stem().string();
  std::string text = ReadText(path);
  if (text.empty()) {
    *error = "cannot read " + path;
    return 0;
  }
  if (!ParseHexText(text, 0, out, error)) return 0;
  if (out->Expect.empty()) *error = path + ": no expect line";
  return !out->Expect.empty();
}
