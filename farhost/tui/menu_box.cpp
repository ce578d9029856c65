// The host's menu: a double frame with the title on top and the bottom text
// below, the items with a check column and a selection bar, separators, and
// hot keys shown highlighted. Up, Down, Home, End, PgUp and PgDn move (past
// separators; FMENU_WRAPMODE wraps at the ends); Enter chooses; Esc
// cancels; a hot key (also with Alt) chooses its item; a break key closes
// the menu with the current item and the break key's index.
#include <algorithm>

#include "farhost/tui/box_layout.h"
#include "farhost/tui/boxes.h"
#include "farhost/tui/screen.h"

namespace {

const char32_t kCheckMark = 0x221A;

struct MenuState {
  const MenuRequest* Menu;
  std::vector<MenuHotKey> Keys;
  int Selected;  // -1: nothing can be chosen
  int Top;
  BoxRect Box;
};

int ItemCount(const MenuState& s) {
  return static_cast<int>(s.Menu->Items.size());
}

bool Selectable(const MenuState& s, int i) {
  return i >= 0 && i < ItemCount(s) &&
         !s.Menu->Items[static_cast<size_t>(i)].Separator;
}

BoxRect ComputeBox(const MenuState& s) {
  int textWidth = 0;
  for (const MenuHotKey& k : s.Keys)
    textWidth = std::max(textWidth, static_cast<int>(k.Visible.size()));
  int titleWidth =
      static_cast<int>(std::max(s.Menu->Title.size(), s.Menu->Bottom.size()));
  return PlaceMenu(s.Menu->X, s.Menu->Y, s.Menu->MaxHeight, textWidth,
                   titleWidth, ItemCount(s), ScreenWidth(), ScreenHeight());
}

int VisibleRows(const MenuState& s) { return s.Box.Y2 - s.Box.Y1 - 1; }

void KeepSelectionVisible(MenuState* s) {
  int rows = std::max(VisibleRows(*s), 1);
  if (s->Selected < 0) return;
  if (s->Selected < s->Top) s->Top = s->Selected;
  if (s->Selected >= s->Top + rows) s->Top = s->Selected - rows + 1;
  s->Top = std::max(0, std::min(s->Top, ItemCount(*s) - rows));
}

void PaintFrameText(const BoxRect& b, int y, const std::string& text) {
  std::string shown;
  int x = FrameTitleColumn(b.X1, b.X2, text, &shown);
  if (x >= 0)
    ScreenText(x, y, static_cast<int>(shown.size()), shown, kColorMenuFrame);
}

void PaintItem(const MenuState& s, int index, int y) {
  const BoxRect& b = s.Box;
  const MenuLine& item = s.Menu->Items[static_cast<size_t>(index)];
  if (item.Separator) {
    ScreenSeparator(b.X1, b.X2, y, kFrameDouble, kFrameSingle, kColorMenuFrame);
    return;
  }
  bool selected = index == s.Selected;
  ScreenColor text = selected ? kColorMenuSelected : kColorMenuText;
  ScreenColor hot = selected ? kColorMenuSelectedHotKey : kColorMenuHotKey;
  ScreenFill(b.X1 + 1, y, b.X2 - 1, y, text);
  if (item.Checked) ScreenPut(b.X1 + 2, y, kCheckMark, text);
  const MenuHotKey& k = s.Keys[static_cast<size_t>(index)];
  int width = b.X2 - 1 - (b.X1 + 3);
  ScreenText(b.X1 + 3, y, width, k.Visible, text);
  if (k.Index >= 0 && k.Index < width)
    ScreenText(b.X1 + 3 + k.Index, y, 1,
               k.Visible.substr(static_cast<size_t>(k.Index), 1), hot);
}

void PaintMenu(MenuState* s) {
  ScreenHideCursor();
  s->Box = ComputeBox(*s);
  KeepSelectionVisible(s);
  const BoxRect& b = s->Box;
  ScreenFill(b.X1, b.Y1, b.X2, b.Y2, kColorMenuText);
  ScreenFrame(b.X1, b.Y1, b.X2, b.Y2, kFrameDouble, kColorMenuFrame);
  PaintFrameText(b, b.Y1, s->Menu->Title);
  PaintFrameText(b, b.Y2, s->Menu->Bottom);
  for (int row = 0; row < VisibleRows(*s); ++row) {
    int index = s->Top + row;
    if (index >= ItemCount(*s)) break;
    PaintItem(*s, index, b.Y1 + 1 + row);
  }
}

int FirstSelectable(const MenuState& s, int from, int step) {
  for (int i = from; i >= 0 && i < ItemCount(s); i += step)
    if (Selectable(s, i)) return i;
  return -1;
}

// One step up or down; at the end it stays, or wraps with FMENU_WRAPMODE.
void Step(MenuState* s, int step) {
  int next = FirstSelectable(*s, s->Selected + step, step);
  if (next < 0 && (s->Menu->Flags & FMENU_WRAPMODE))
    next = FirstSelectable(*s, step > 0 ? 0 : ItemCount(*s) - 1, step);
  if (next >= 0) s->Selected = next;
}

void Page(MenuState* s, int step) {
  int target = s->Selected + step * std::max(VisibleRows(*s) - 1, 1);
  target = std::max(0, std::min(target, ItemCount(*s) - 1));
  int next = FirstSelectable(*s, target, step);
  if (next < 0) next = FirstSelectable(*s, target, -step);
  if (next >= 0) s->Selected = next;
}

int InitialSelection(const MenuState& s) {
  for (int i = 0; i < ItemCount(s); ++i)
    if (s.Menu->Items[static_cast<size_t>(i)].Selected && Selectable(s, i))
      return i;
  return FirstSelectable(s, 0, 1);
}

int BreakKeyIndex(const MenuRequest& menu, const KeyEvent& key) {
  int code = key.Key | static_cast<int>(key.Control << 16);
  for (size_t i = 0; i < menu.BreakKeys.size(); ++i)
    if (menu.BreakKeys[i] == code) return static_cast<int>(i);
  return -1;
}

int HotKeyItem(const MenuState& s, const KeyEvent& key) {
  if (key.Char == 0 || (key.Control & PKF_CONTROL)) return -1;
  char32_t wanted = FoldCase(key.Char);
  for (int i = 0; i < ItemCount(s); ++i)
    if (s.Keys[static_cast<size_t>(i)].Key == wanted && Selectable(s, i))
      return i;
  return -1;
}

// Returns the chosen item, -1 for cancel, or -2 to go on.
int HandleKey(MenuState* s, const KeyEvent& key, int* breakCode) {
  int breakIndex = BreakKeyIndex(*s->Menu, key);
  if (breakIndex >= 0) {
    *breakCode = breakIndex;
    return s->Selected;
  }
  if (key.Key == kKeyClosed) return -1;
  int hot = HotKeyItem(*s, key);
  if (hot >= 0) return hot;
  if (key.Control != 0) return -2;
  switch (key.Key) {
    case kVkEscape:
      return -1;
    case VK_RETURN:
      return s->Selected;
    case VK_UP:
      Step(s, -1);
      break;
    case VK_DOWN:
      Step(s, 1);
      break;
    case VK_HOME:
      s->Selected = FirstSelectable(*s, 0, 1);
      break;
    case VK_END:
      s->Selected = FirstSelectable(*s, ItemCount(*s) - 1, -1);
      break;
    case VK_PRIOR:
      Page(s, -1);
      break;
    case VK_NEXT:
      Page(s, 1);
      break;
    default:
      break;
  }
  return -2;
}

}  // namespace

int RunMenuBox(BoxStage* ui, const MenuRequest& menu, int* breakCode) {
  *breakCode = -1;
  MenuState state;
  state.Menu = &menu;
  std::vector<std::string> texts;
  std::vector<int> separators;
  for (const MenuLine& item : menu.Items) {
    texts.push_back(item.Text);
    separators.push_back(item.Separator);
  }
  state.Keys =
      AssignMenuHotKeys(texts, separators, menu.Flags, ScreenCodePage());
  state.Selected = InitialSelection(state);
  state.Top = 0;
  state.Box = BoxRect{0, 0, 0, 0};
  ui->PushLayer([&state] { PaintMenu(&state); });
  int result = -2;
  while (result == -2) {
    KeyEvent key;
    WaitKey(ui, &key);
    result = HandleKey(&state, key, breakCode);
  }
  ui->PopLayer();
  return result;
}
