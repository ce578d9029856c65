#include "farhost/browse/panel_draw.h"

#include "farhost/tui/box_layout.h"
#include "farhost/tui/screen.h"

namespace {

const char32_t kVertical = 0x2502;    // │
const char32_t kTopJoin = 0x2564;     // ╤
const char32_t kBottomJoin = 0x2534;  // ┴

struct ColumnSpan {
  int X;  // first cell on screen
  int Width;
  size_t Index;  // into Columns
};

std::vector<ColumnSpan> Spans(const PanelPicture& p) {
  std::vector<int> widths = FitColumnWidths(p.Columns, p.X2 - p.X1 - 1, 1);
  std::vector<ColumnSpan> spans;
  int x = p.X1 + 1;
  for (size_t i = 0; i < widths.size(); ++i) {
    if (widths[i] <= 0) continue;
    spans.push_back(ColumnSpan{x, widths[i], i});
    x += widths[i] + 1;
  }
  return spans;
}

ScreenColor ItemColor(PanelItemStyle style, int cursor) {
  if (style == kItemMarked)
    return cursor ? kColorPanelMarkedCursor : kColorPanelMarked;
  if (cursor) return kColorPanelCursor;
  return style == kItemFolder ? kColorPanelFolder : kColorPanel;
}

void DrawFrame(const PanelPicture& p) {
  ScreenFill(p.X1, p.Y1, p.X2, p.Y2, kColorPanel);
  ScreenFrame(p.X1, p.Y1, p.X2, p.Y2, kFrameDouble, kColorPanel);
  ScreenSeparator(p.X1, p.X2, p.Y2 - 2, kFrameDouble, kFrameSingle,
                  kColorPanel);
}

void DrawTitle(const PanelPicture& p) {
  std::string shown;
  int x = FrameTitleColumn(p.X1, p.X2, p.Title, &shown);
  if (x >= 0)
    ScreenText(x, p.Y1, static_cast<int>(shown.size()), shown,
               p.Focused ? kColorPanelCursor : kColorPanel);
}

void DrawColumnLines(const PanelPicture& p,
                     const std::vector<ColumnSpan>& spans) {
  for (size_t i = 0; i + 1 < spans.size(); ++i) {
    int x = spans[i].X + spans[i].Width;
    ScreenPut(x, p.Y1, kTopJoin, kColorPanel);
    for (int y = p.Y1 + 1; y < p.Y2 - 2; ++y)
      ScreenPut(x, y, kVertical, kColorPanel);
    ScreenPut(x, p.Y2 - 2, kBottomJoin, kColorPanel);
  }
}

void DrawTitles(const PanelPicture& p, const std::vector<ColumnSpan>& spans) {
  for (const ColumnSpan& s : spans) {
    std::string title = s.Index < p.ColumnTitles.size()
                            ? p.ColumnTitles[s.Index]
                            : DefaultColumnTitle(p.Columns[s.Index].Type);
    ScreenText(s.X, p.Y1 + 1, s.Width, CentreText(title, s.Width),
               kColorPanelColumnTitle);
  }
}

void DrawItems(const PanelPicture& p, const std::vector<ColumnSpan>& spans) {
  int rows = PanelItemRows(p.Y1, p.Y2);
  for (int row = 0; row < rows; ++row) {
    int item = p.Top + row;
    if (item >= p.Count) break;
    int cursor = p.Focused && item == p.Current;
    ScreenColor color = ItemColor(p.Style(item), cursor);
    int y = p.Y1 + 2 + row;
    for (const ColumnSpan& s : spans) {
      const std::string& type = p.Columns[s.Index].Type;
      ScreenText(s.X, y, s.Width,
                 FitText(p.Cell(item, type), s.Width, IsNumericColumn(type)),
                 color);
    }
    if (cursor)
      for (size_t i = 0; i + 1 < spans.size(); ++i)
        ScreenPut(spans[i].X + spans[i].Width, y, kVertical, color);
  }
}

void DrawStatus(const PanelPicture& p) {
  if (p.Count <= 0 || p.Current < 0 || p.Current >= p.Count) return;
  std::vector<int> widths = FitColumnWidths(p.Status, p.X2 - p.X1 - 1, 1);
  int x = p.X1 + 1;
  for (size_t i = 0; i < widths.size(); ++i) {
    if (widths[i] <= 0) continue;
    const std::string& type = p.Status[i].Type;
    ScreenText(
        x, p.Y2 - 1, widths[i],
        FitText(p.Cell(p.Current, type), widths[i], IsNumericColumn(type)),
        kColorPanel);
    x += widths[i] + 1;
  }
}

}  // namespace

int PanelItemRows(int y1, int y2) {
  int rows = y2 - y1 - 4;
  return rows < 1 ? 1 : rows;
}

int KeepCurrentVisible(int count, int current, int top, int rows) {
  if (count <= 0 || rows <= 0) return 0;
  if (current < 0) current = 0;
  if (current >= count) current = count - 1;
  if (top > current) top = current;
  if (current >= top + rows) top = current - rows + 1;
  if (top > count - rows) top = count - rows;
  return top < 0 ? 0 : top;
}

std::string DefaultColumnTitle(const std::string& type) {
  static const struct {
    const char* Type;
    const char* Title;
  } kTitles[] = {{"N", "Name"},      {"Z", "Description"}, {"O", "Owner"},
                 {"S", "Size"},      {"P", "Packed"},      {"D", "Date"},
                 {"T", "Time"},      {"DM", "Modified"},   {"DC", "Created"},
                 {"DA", "Accessed"}, {"A", "Attr"},        {"LN", "Links"}};
  for (const auto& t : kTitles)
    if (type == t.Type) return t.Title;
  return std::string();
}

int IsNumericColumn(const std::string& type) {
  return type == "S" || type == "P" || type == "LN";
}

void DrawPanel(const PanelPicture& p) {
  DrawFrame(p);
  std::vector<ColumnSpan> spans = Spans(p);
  DrawColumnLines(p, spans);
  DrawTitles(p, spans);
  DrawItems(p, spans);
  DrawStatus(p);
  DrawTitle(p);
}
