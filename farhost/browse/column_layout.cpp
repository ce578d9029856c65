#include "farhost/browse/column_layout.h"

namespace {

std::vector<std::string> SplitAtCommas(const std::string& text) {
  std::vector<std::string> parts;
  std::string part;
  for (char ch : text) {
    if (ch == ',') {
      parts.push_back(part);
      part.clear();
    } else if (ch != ' ') {
      part += ch;
    }
  }
  parts.push_back(part);
  return parts;
}

// A width of up to four digits; anything else is 0.
int ParseWidth(const std::string& text) {
  if (text.empty() || text.size() > 4) return 0;
  int value = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return 0;
    value = value * 10 + (ch - '0');
  }
  return value;
}

}  // namespace

std::vector<PanelColumn> ParsePanelColumns(const std::string& types,
                                           const std::string& widths) {
  std::vector<std::string> typeParts = SplitAtCommas(types);
  std::vector<std::string> widthParts = SplitAtCommas(widths);
  std::vector<PanelColumn> columns;
  for (size_t i = 0; i < typeParts.size() && i < kMaxPanelColumns; ++i) {
    int width = i < widthParts.size() ? ParseWidth(widthParts[i]) : 0;
    columns.push_back(PanelColumn{typeParts[i], width});
  }
  return columns;
}

std::vector<int> FitColumnWidths(const std::vector<PanelColumn>& columns,
                                 int inner, int gap) {
  std::vector<int> result(columns.size(), 0);
  if (columns.empty() || inner <= 0) return result;
  int fixed = 0, shared = 0;
  for (const PanelColumn& c : columns) {
    fixed += c.Width;
    if (c.Width == 0) shared++;
  }
  int room = inner - gap * static_cast<int>(columns.size() - 1);
  int rest = room - fixed;
  int share = shared > 0 && rest > 0 ? rest / shared : 0;
  int lastShared = -1;
  for (size_t i = 0; i < columns.size(); ++i)
    if (columns[i].Width == 0) lastShared = static_cast<int>(i);
  int left = inner;
  for (size_t i = 0; i < columns.size() && left > 0; ++i) {
    int want = columns[i].Width;
    if (want == 0)
      want = static_cast<int>(i) == lastShared && rest > 0
                 ? rest - share * (shared - 1)
                 : share;
    if (want > left) want = left;
    result[i] = want;
    if (want > 0) left -= want + gap;
  }
  return result;
}

std::string FitText(const std::string& text, int width, int alignRight) {
  if (width <= 0) return std::string();
  if (static_cast<int>(text.size()) >= width) return text.substr(0, width);
  std::string pad(static_cast<size_t>(width) - text.size(), ' ');
  return alignRight ? pad + text : text + pad;
}

std::string CentreText(const std::string& text, int width) {
  if (width <= 0) return std::string();
  if (static_cast<int>(text.size()) >= width) return text.substr(0, width);
  size_t before = (static_cast<size_t>(width) - text.size()) / 2;
  std::string out(before, ' ');
  out += text;
  out.resize(static_cast<size_t>(width), ' ');
  return out;
}
