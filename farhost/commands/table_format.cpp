#include "farhost/commands/table_format.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>

#include "farhost/sys/sys.h"

namespace {

const char kSeparator[] = "\xE2\x94\x82";  // U+2502, a light vertical line

// Output is gathered in one buffer and written in pieces of this size.
const size_t kOutputChunk = 64 * 1024;

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == ',')
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

// A width of the mode: the number of characters, or 0 for "the rest".
int ParseWidth(const std::string& text, int totalWidth) {
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || value <= 0 || value > 1000) return 0;
  if (*end == '%') return static_cast<int>(value * totalWidth / 100);
  return *end == '\0' ? static_cast<int>(value) : 0;
}

void ShareTheRest(std::vector<TableColumn>* columns, int available) {
  int fixed = 0, rest = 0;
  for (const TableColumn& column : *columns) {
    fixed += column.Width;
    if (column.Width == 0) ++rest;
  }
  if (rest == 0) return;
  int left = available - fixed;
  int share = left / rest > 1 ? left / rest : 1;
  int extra = left > share * rest ? left - share * rest : 0;
  for (TableColumn& column : *columns) {
    if (column.Width != 0) continue;
    column.Width = share + (--rest == 0 ? extra : 0);
  }
}

// Appends the OEM text converted to UTF-8, cut or padded to width
// characters (one character per OEM byte).
void AppendFitted(const SysOemTable& table, const char* text, int width,
                  std::string* line) {
  int characters = 0;
  for (; text != nullptr && *text != '\0' && characters < width; ++text) {
    unsigned char byte = static_cast<unsigned char>(*text);
    line->append(table.Text[byte], table.Length[byte]);
    ++characters;
  }
  line->append(static_cast<size_t>(width - characters), ' ');
}

void EndRow(std::string* line, size_t rowStart) {
  size_t end = line->size();
  while (end > rowStart && (*line)[end - 1] == ' ') --end;
  line->resize(end);
  *line += '\n';
}

// The OEM text of a cell; numbers are written into `number`.
const char* CellText(const PluginPanelItem& item, const std::string& code,
                     char (&number)[24]) {
  if (code.empty()) return "";
  if (code[0] == 'N') return item.FindData.cFileName;
  if (code[0] == 'Z') return item.Description;
  if (code[0] == 'O') return item.Owner;
  uint64_t value = 0;
  if (code == "LN") {
    value = item.NumberOfLinks;
  } else if (code[0] == 'S') {
    if (item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      return "<DIR>";
    value = (uint64_t{item.FindData.nFileSizeHigh} << 32) |
            item.FindData.nFileSizeLow;
  } else if (code[0] == 'C' && code.size() == 2 && code[1] >= '0' &&
             code[1] <= '9') {
    int index = code[1] - '0';
    if (item.CustomColumnData != nullptr && index < item.CustomColumnNumber)
      return item.CustomColumnData[index];
    return "";
  } else {
    return "";
  }
  *std::to_chars(number, number + sizeof(number) - 1, value).ptr = '\0';
  return number;
}

}  // namespace

std::vector<TableColumn> LayoutColumns(const PanelView& view, int totalWidth) {
  std::vector<std::string> codes = Split(view.ColumnTypes);
  std::vector<std::string> widths = Split(view.ColumnWidths);
  std::vector<TableColumn> columns;
  for (size_t i = 0; i < codes.size(); ++i) {
    TableColumn column{codes[i], codes[i], 0};
    if (i < view.Titles.size() && !view.Titles[i].empty())
      column.Title = view.Titles[i];
    if (i < widths.size()) column.Width = ParseWidth(widths[i], totalWidth);
    columns.push_back(column);
  }
  int separators = columns.empty() ? 0 : static_cast<int>(columns.size()) - 1;
  ShareTheRest(&columns, totalWidth - separators);
  return columns;
}

std::string ColumnText(const PluginPanelItem& item, const std::string& code) {
  char number[24];
  const char* text = CellText(item, code, number);
  return text != nullptr ? std::string(text) : std::string();
}

void WriteTableListing(const PanelModel& panel, int codePage, int totalWidth,
                       std::ostream& out) {
  const SysOemTable& table = SysOemUtf8Table(codePage);
  std::vector<TableColumn> columns = LayoutColumns(panel.View, totalWidth);
  std::string lines;
  for (size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) lines += kSeparator;
    AppendFitted(table, columns[i].Title.c_str(), columns[i].Width, &lines);
  }
  EndRow(&lines, 0);
  char number[24];
  for (const PluginPanelItem& item : panel.Items) {
    size_t rowStart = lines.size();
    for (size_t i = 0; i < columns.size(); ++i) {
      if (i > 0) lines += kSeparator;
      AppendFitted(table, CellText(item, columns[i].Code, number),
                   columns[i].Width, &lines);
    }
    EndRow(&lines, rowStart);
    if (lines.size() < kOutputChunk) continue;
    out.write(lines.data(), static_cast<std::streamsize>(lines.size()));
    lines.clear();
  }
  out.write(lines.data(), static_cast<std::streamsize>(lines.size()));
}
