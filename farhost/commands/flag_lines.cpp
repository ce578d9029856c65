#include "farhost/commands/flag_lines.h"

namespace {

// The label is 16 characters wide, then ": " and the value.
const size_t kLabelWidth = 16;
// The flags line is the seventh of every description file.
const size_t kFlagsLine = 6;
// Every description file has at least nine lines before its endpoints.
const size_t kFixedLines = 9;

std::vector<std::string> SplitLines(const std::string& file) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < file.size();) {
    size_t end = file.find('\n', start);
    if (end == std::string::npos) end = file.size();
    std::string text = file.substr(start, end - start);
    if (!text.empty() && text.back() == '\r') text.pop_back();
    lines.push_back(text);
    start = end + 1;
  }
  return lines;
}

int ValueOfLine(const std::string& line, std::string* value) {
  if (line.size() < kLabelWidth + 2 || line.compare(kLabelWidth, 2, ": ") != 0)
    return 0;
  *value = line.substr(kLabelWidth + 2);
  return 1;
}

std::vector<std::string> SplitFlags(const std::string& text) {
  std::vector<std::string> flags;
  for (size_t start = 0; start <= text.size();) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    if (comma > start) flags.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  return flags;
}

}  // namespace

std::vector<FlagLine> ParseFlagLines(const std::string& file) {
  std::vector<std::string> lines = SplitLines(file);
  std::string flagsText;
  if (lines.size() < kFixedLines || !ValueOfLine(lines[kFlagsLine], &flagsText))
    return {};
  std::vector<std::string> flags = SplitFlags(flagsText);
  if (lines.size() < kFixedLines + flags.size()) return {};
  std::vector<FlagLine> result;
  size_t first = lines.size() - flags.size();
  for (size_t i = 0; i < flags.size(); ++i) {
    FlagLine line;
    std::string value;
    if (!ValueOfLine(lines[first + i], &value)) return {};
    size_t colon = flags[i].find(':');
    line.Flag = flags[i].substr(0, colon);
    line.HasValue = colon != std::string::npos;
    if (line.HasValue) line.Value = flags[i].substr(colon + 1);
    size_t separator = value.find(": ");
    if (separator == std::string::npos) {
      line.Meaning = value;
    } else {
      line.Category = value.substr(0, separator);
      line.Meaning = value.substr(separator + 2);
    }
    result.push_back(line);
  }
  return result;
}
