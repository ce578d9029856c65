#include "farhost/host/lng_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

bool IsTrailingBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  size_t i = 0;
  for (; prefix[i] != '\0'; ++i) {
    if (i >= text.size() || AsciiLower(text[i]) != AsciiLower(prefix[i]))
      return false;
  }
  return true;
}

char EscapedChar(char c) {
  switch (c) {
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case 't':
      return '\t';
    case 'b':
      return '\b';
    case '\\':
      return '\\';
    case '"':
      return '"';
    default:
      return '\0';
  }
}

// Decodes the text after the opening quote.
std::string DecodeMessage(const std::string& body) {
  std::string out;
  for (size_t i = 0; i < body.size(); ++i) {
    char c = body[i];
    if (c == '\\' && i + 1 < body.size() && EscapedChar(body[i + 1]) != '\0') {
      out.push_back(EscapedChar(body[++i]));
    } else if (c == '"' && i + 1 < body.size() && body[i + 1] == '"') {
      out.push_back('"');
      ++i;
    } else {
      out.push_back(c);
    }
  }
  if (!out.empty() && out.back() == '"') out.pop_back();
  return out;
}

void ParseHeader(const std::string& line, LngFile* out) {
  std::string rest = line.substr(10);  // after ".Language="
  size_t comma = rest.find(',');
  std::string name = rest.substr(0, comma);
  while (!name.empty() && IsTrailingBlank(name.back())) name.pop_back();
  out->HasHeader = 1;
  out->LanguageName = name;
  out->Description = comma == std::string::npos ? "" : rest.substr(comma + 1);
}

void ParseLine(std::string line, LngFile* out) {
  size_t nul = line.find('\0');
  if (nul != std::string::npos) line.resize(nul);
  while (!line.empty() && IsTrailingBlank(line.back())) line.pop_back();
  if (!line.empty() && line[0] == '"') {
    out->Messages.push_back(DecodeMessage(line.substr(1)));
  } else if (!out->HasHeader && StartsWithNoCase(line, ".Language=")) {
    ParseHeader(line, out);
  }
}

}  // namespace

void ParseLngBuffer(const unsigned char* data, size_t size, LngFile* out) {
  *out = LngFile{};
  size_t start = 0;
  while (start < size) {
    size_t end = start;
    while (end < size && data[end] != '\n') ++end;
    size_t length = end - start;
    if (length > kLngMaxLine) {
      length = kLngMaxLine;
      out->LongLines++;
    }
    ParseLine(std::string(reinterpret_cast<const char*>(data) + start, length),
              out);
    start = end + 1;
  }
}

int FindLngFile(const std::vector<LngCandidate>& files,
                const std::string& language) {
  for (size_t i = 0; i < files.size(); ++i) {
    if (EqualNoCase(files[i].LanguageName, language))
      return static_cast<int>(i);
  }
  return -1;
}

int ChooseLngFile(const std::vector<LngCandidate>& files,
                  const std::string& language) {
  int found = FindLngFile(files, language);
  if (found >= 0) return found;
  found = FindLngFile(files, "English");
  if (found >= 0) return found;
  return static_cast<int>(files.size()) - 1;
}

int LoadLngFile(const std::string& path, LngFile* out) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return 0;
  std::string bytes((std::istreambuf_iterator<char>(file)),
                    std::istreambuf_iterator<char>());
  if (file.bad()) return 0;
  ParseLngBuffer(reinterpret_cast<const unsigned char*>(bytes.data()),
                 bytes.size(), out);
  return 1;
}

std::vector<LngCandidate> ScanLngFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::pair<std::string, std::string>> found;  // lower name, path
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    std::string name = it->path().filename().string();
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(), AsciiLower);
    if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".lng") == 0 &&
        it->is_regular_file(error))
      found.emplace_back(lower, it->path().string());
  }
  std::sort(found.begin(), found.end());
  std::vector<LngCandidate> files;
  for (const auto& entry : found) {
    LngFile parsed;
    if (LoadLngFile(entry.second, &parsed))
      files.push_back({entry.second, parsed.LanguageName});
  }
  return files;
}
