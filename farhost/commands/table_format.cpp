#include "farhost/commands/table_format.h"

#include <cstdlib>

#include "farhost/sys/sys.h"

namespace {

const char kSeparator[] = "\xE2\x94\x82";  // U+2502, a light vertical line

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

// The UTF-8 text cut or padded to width characters.
std::string Fit(const std::string& text, int width) {
  std::string out;
  int characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    bool starts = (c & 0xC0) != 0x80;
    if (starts && characters == width) break;
    if (starts) ++characters;
    out += text[i];
  }
  out.append(static_cast<size_t>(width - characters), ' ');
  return out;
}

void WriteRow(const std::vector<TableColumn>& columns,
              const std::vector<std::string>& cells, int codePage,
              std::ostream& out) {
  std::string line;
  for (size_t i = 0; i < columns.size(); ++i) {
    std::string text;
    SysOemToUtf8(codePage, cells[i], &text);
    if (i > 0) line += kSeparator;
    line += Fit(text, columns[i].Width);
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  out << line << "\n";
}

std::string TextOrEmpty(const char* text) {
  return text != nullptr ? std::string(text) : std::string();
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
  if (code.empty()) return std::string();
  if (code[0] == 'N') return item.FindData.cFileName;
  if (code[0] == 'Z') return TextOrEmpty(item.Description);
  if (code[0] == 'O') return TextOrEmpty(item.Owner);
  if (code == "LN") return std::to_string(item.NumberOfLinks);
  if (code[0] == 'S') {
    if (item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      return "<DIR>";
    return std::to_string((uint64_t{item.FindData.nFileSizeHigh} << 32) |
                          item.FindData.nFileSizeLow);
  }
  if (code[0] == 'C' && code.size() == 2 && code[1] >= '0' && code[1] <= '9') {
    int index = code[1] - '0';
    if (item.CustomColumnData != nullptr && index < item.CustomColumnNumber)
      return TextOrEmpty(item.CustomColumnData[index]);
  }
  return std::string();
}

void WriteTableListing(const PanelModel& panel, int codePage, int totalWidth,
                       std::ostream& out) {
  std::vector<TableColumn> columns = LayoutColumns(panel.View, totalWidth);
  std::vector<std::string> cells;
  for (const TableColumn& column : columns) cells.push_back(column.Title);
  WriteRow(columns, cells, codePage, out);
  for (const PluginPanelItem& item : panel.Items) {
    cells.clear();
    for (const TableColumn& column : columns)
      cells.push_back(ColumnText(item, column.Code));
    WriteRow(columns, cells, codePage, out);
  }
}
