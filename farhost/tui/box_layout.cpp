// Layout of the host's boxes: placement, scrolling, labels, centred groups,
// separators, message boxes, menus and hot keys.
#include "farhost/tui/box_layout.h"

#include <algorithm>
#include <cstring>

namespace {

// Frame and margin around a message box's text on each side: three blank
// columns, the frame, one blank.
const int kMessageSide = 5;

int Length(const std::string& text) { return static_cast<int>(text.size()); }

int CenterStart(int screenSize, int size) {
  return size >= screenSize ? 0 : (screenSize - size) / 2;
}

bool IsSeparatorLine(const std::string& line) {
  return !line.empty() && (line[0] == '\x01' || line[0] == '\x02');
}

bool IsHotKeyCharacter(char32_t ch) {
  if ((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') ||
      (ch >= 'a' && ch <= 'z'))
    return true;
  if (ch >= 0xC0 && ch <= 0xFF) return ch != 0xD7 && ch != 0xF7;
  return ch >= 0x400 && ch <= 0x45F;
}

// The item's own text, bounded by its Data field.
std::string ItemText(const FarDialogItem& item) {
  return std::string(item.Data, strnlen(item.Data, sizeof(item.Data)));
}

bool InCenterGroup(const FarDialogItem& item) {
  if (!(item.Flags & DIF_CENTERGROUP)) return false;
  if (item.Type == DI_TEXT && (item.Flags & DIF_SEPARATOR)) return false;
  return item.Type == DI_BUTTON || item.Type == DI_CHECKBOX ||
         item.Type == DI_RADIOBUTTON || item.Type == DI_TEXT;
}

int LabelWidth(const FarDialogItem& item) {
  int hot;
  return Length(ItemLabel(item, &hot));
}

}  // namespace

BoxRect PlaceDialog(int x1, int y1, int x2, int y2, int screenWidth,
                    int screenHeight) {
  BoxRect r;
  if (x1 == -1) {
    int width = std::max(x2, 1);
    r.X1 = CenterStart(screenWidth, width);
    r.X2 = r.X1 + width - 1;
  } else {
    r.X1 = x1;
    r.X2 = std::max(x2, x1);
  }
  if (y1 == -1) {
    int height = std::max(y2, 1);
    r.Y1 = CenterStart(screenHeight, height);
    r.Y2 = r.Y1 + height - 1;
  } else {
    r.Y1 = y1;
    r.Y2 = std::max(y2, y1);
  }
  return r;
}

int ScrollOrigin(int start, int size, int screenSize, int focusStart,
                 int focusEnd) {
  if (size <= screenSize) {
    if (start < 0) return 0;
    if (start + size > screenSize) return screenSize - size;
    return start;
  }
  int shift = std::max(0, focusEnd - screenSize + 1);
  shift = std::min(shift, std::max(focusStart, 0));
  shift = std::min(shift, size - screenSize);
  return -shift;
}

std::string StripHotKey(const std::string& text, int showAmpersand, int* hot) {
  *hot = -1;
  if (showAmpersand) return text;
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) {
      ++i;
      if (text[i] != '&' && *hot < 0) *hot = Length(out);
    }
    out.push_back(text[i]);
  }
  return out;
}

std::string ItemLabel(const FarDialogItem& item, int* hot) {
  std::string text =
      StripHotKey(ItemText(item), item.Flags & DIF_SHOWAMPERSAND, hot);
  std::string prefix;
  if (item.Type == DI_BUTTON) {
    if (item.Flags & DIF_NOBRACKETS) return text;
    *hot += *hot >= 0 ? 2 : 0;
    return (item.DefaultButton ? "{ " : "[ ") + text +
           (item.DefaultButton ? " }" : " ]");
  }
  if (item.Type == DI_CHECKBOX)
    prefix = item.Selected == 0 ? "[ ] " : item.Selected == 1 ? "[x] " : "[?] ";
  else if (item.Type == DI_RADIOBUTTON)
    prefix = item.Selected ? "(*) " : "( ) ";
  if (*hot >= 0) *hot += Length(prefix);
  return prefix + text;
}

void LayoutItemColumns(const FarDialogItem* items, int count, int dialogWidth,
                       std::vector<int>* columns) {
  columns->assign(static_cast<size_t>(count), 0);
  int i = 0;
  while (i < count) {
    if (!InCenterGroup(items[i])) {
      bool centred = items[i].X1 == -1 && items[i].Type == DI_TEXT;
      (*columns)[i] =
          centred ? std::max(0, (dialogWidth - LabelWidth(items[i])) / 2)
                  : items[i].X1;
      ++i;
      continue;
    }
    int end = i;
    int width = 0;
    while (end < count && InCenterGroup(items[end]) &&
           items[end].Y1 == items[i].Y1) {
      width += LabelWidth(items[end]) + (end > i ? 1 : 0);
      ++end;
    }
    int x = std::max(0, (dialogWidth - width) / 2);
    for (int k = i; k < end; ++k) {
      (*columns)[k] = x;
      x += LabelWidth(items[k]) + 1;
    }
    i = end;
  }
}

SeparatorLayout LayoutSeparator(const FarDialogItem& item, int dialogWidth) {
  SeparatorLayout s{3, dialogWidth - 4, -1, ""};
  int hot;
  std::string text = StripHotKey(ItemText(item), 1, &hot);
  if (text.empty()) return s;
  int room = s.LineX2 - s.LineX1 - 1;
  if (room < 3) return s;
  if (text.front() != ' ') text.insert(text.begin(), ' ');
  if (text.back() != ' ') text.push_back(' ');
  if (Length(text) > room) text.resize(static_cast<size_t>(room));
  s.Caption = text;
  if (item.Flags & DIF_CENTERGROUP)
    s.CaptionX = (dialogWidth - Length(text)) / 2;
  else
    s.CaptionX = std::clamp(item.X1, s.LineX1 + 1, s.LineX2 - Length(text));
  return s;
}

int FrameTitleColumn(int x1, int x2, const std::string& title,
                     std::string* shown) {
  shown->clear();
  if (title.empty()) return -1;
  int room = x2 - x1 - 3;  // a line character on each side stays
  if (room < 3) return -1;
  *shown = " " + title + " ";
  if (Length(*shown) > room) {
    shown->resize(static_cast<size_t>(room - 1));
    shown->push_back(' ');
  }
  return x1 + std::max(2, (x2 - x1 + 1 - Length(*shown)) / 2);
}

int ButtonRowWidth(const std::vector<std::string>& buttons) {
  int width = 0;
  for (const std::string& button : buttons) {
    int hot;
    width += Length(StripHotKey(button, 0, &hot)) + 4;
  }
  if (!buttons.empty()) width += static_cast<int>(buttons.size()) - 1;
  return width;
}

MessageLayout LayoutMessage(const std::string& title,
                            const std::vector<std::string>& lines,
                            const std::vector<std::string>& buttons,
                            int screenWidth, int screenHeight) {
  int inner = std::max(ButtonRowWidth(buttons), Length(title) + 4);
  for (const std::string& line : lines)
    if (!IsSeparatorLine(line)) inner = std::max(inner, Length(line));
  inner = std::max(1, std::min(inner, screenWidth - 2 * kMessageSide));
  int buttonRows = buttons.empty() ? 0 : 1;
  int visible = static_cast<int>(lines.size());
  visible = std::max(0, std::min(visible, screenHeight - 4 - buttonRows));
  int width = inner + 2 * kMessageSide;
  int height = visible + buttonRows + 4;
  MessageLayout m;
  m.Box.X1 = CenterStart(screenWidth, width);
  m.Box.Y1 = CenterStart(screenHeight, height);
  m.Box.X2 = m.Box.X1 + width - 1;
  m.Box.Y2 = m.Box.Y1 + height - 1;
  m.TextWidth = inner;
  m.VisibleLines = visible;
  m.ButtonsY = m.Box.Y2 - 2;
  m.ButtonsX =
      buttons.empty()
          ? -1
          : m.Box.X1 + std::max(0, (width - ButtonRowWidth(buttons)) / 2);
  return m;
}

BoxRect PlaceMenu(int x, int y, int maxHeight, int textWidth, int titleWidth,
                  int itemCount, int screenWidth, int screenHeight) {
  int width = std::max(textWidth + 5, titleWidth + 6);
  width = std::max(1, std::min(width, screenWidth));
  int rows = itemCount;
  if (maxHeight > 0) rows = std::min(rows, maxHeight);
  rows = std::max(0, std::min(rows, screenHeight - 2));
  int height = rows + 2;
  BoxRect r;
  r.X1 = x < 0 ? CenterStart(screenWidth, width)
               : std::max(0, std::min(x, screenWidth - width));
  r.Y1 = y < 0 ? CenterStart(screenHeight, height)
               : std::max(0, std::min(y, screenHeight - height));
  r.X2 = r.X1 + width - 1;
  r.Y2 = r.Y1 + height - 1;
  return r;
}

char32_t FoldCase(char32_t ch) {
  if (ch >= 'A' && ch <= 'Z') return ch + 0x20;
  if (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7) return ch + 0x20;
  if (ch >= 0x410 && ch <= 0x42F) return ch + 0x20;
  if (ch >= 0x400 && ch <= 0x40F) return ch + 0x50;
  return ch;
}

std::vector<MenuHotKey> AssignMenuHotKeys(const std::vector<std::string>& texts,
                                          const std::vector<int>& separators,
                                          DWORD flags, const CodePage* page) {
  std::vector<MenuHotKey> keys(texts.size());
  std::vector<char32_t> used;
  int show = (flags & FMENU_SHOWAMPERSAND) != 0;
  for (size_t i = 0; i < texts.size(); ++i) {
    MenuHotKey& k = keys[i];
    k.Visible = StripHotKey(texts[i], show, &k.Index);
    k.Key = 0;
    if (separators[i]) k.Index = -1;
    if (k.Index < 0) continue;
    k.Key = FoldCase(OemToUnicode(
        page,
        static_cast<unsigned char>(k.Visible[static_cast<size_t>(k.Index)])));
    used.push_back(k.Key);
  }
  if (!(flags & (FMENU_AUTOHIGHLIGHT | FMENU_REVERSEAUTOHIGHLIGHT)))
    return keys;
  bool reverse = (flags & FMENU_REVERSEAUTOHIGHLIGHT) != 0;
  for (size_t i = 0; i < texts.size(); ++i) {
    MenuHotKey& k = keys[i];
    if (k.Index >= 0 || separators[i]) continue;
    int n = Length(k.Visible);
    for (int step = 0; step < n; ++step) {
      int at = reverse ? n - 1 - step : step;
      char32_t ch =
          FoldCase(OemToUnicode(page, static_cast<unsigned char>(
                                          k.Visible[static_cast<size_t>(at)])));
      if (!IsHotKeyCharacter(ch) ||
          std::find(used.begin(), used.end(), ch) != used.end())
        continue;
      k.Index = at;
      k.Key = ch;
      used.push_back(ch);
      break;
    }
  }
  return keys;
}
