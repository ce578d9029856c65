// The host's dialog on the plugin's FarDialogItem array. Drawn: frames with
// titles, texts and separators (with captions), edit fields with a cursor
// and a history mark, check boxes, radio buttons and buttons, centred
// groups on one row; the default button as "{ Ok }".
//
// Keys: Tab and Down move the focus forward, Shift+Tab and Up back (Left
// and Right too, outside edit fields); edit fields take characters, Left,
// Right, Home, End, Backspace, Delete and Ctrl+Y; Ctrl+Down or Alt+Down
// opens an edit field's history; Space toggles a check box, selects a radio
// button or presses a button; Alt+hot key (or the hot key alone when the
// focus is not in an edit field) acts on its item; Enter presses the
// focused button, else the default button, else closes with the focused
// item; Esc cancels. A dialog larger than the terminal is shifted so that
// the focused item stays in view.
//
// Results go back into the items as the host writes them: Data for edit
// fields, Selected for check boxes and radio buttons, Focus for the item
// that had it. Histories get the texts of DIF_HISTORY fields unless the
// dialog was cancelled or the field has DIF_MANUALADDHISTORY.
#include <algorithm>
#include <cstring>

#include "farhost/tui/box_layout.h"
#include "farhost/tui/boxes.h"
#include "farhost/tui/edit_line.h"
#include "farhost/tui/screen.h"

namespace {

const DWORD kManualAddHistory = DIF_NOBRACKETS;  // on edit fields
const DWORD kButtonNoClose = DIF_HISTORY;        // on buttons
const DWORD kThreeState = DIF_SELECTONENTRY;     // on check boxes
const char32_t kHistoryMark = 0x2193;            // an arrow down
const int kKeepOpen = -2;

struct DialogState {
  BoxStage* Ui;
  FarDialogItem* Items;
  int Count;
  int X1, Y1, X2, Y2;  // as the plugin gave them
  std::vector<EditLine> Edits;
  std::vector<int> Columns;
  int Focus;
  int OriginX, OriginY;  // screen position of the dialog's corner
  int Width, Height;
};

bool IsEdit(const FarDialogItem& item) {
  return item.Type == DI_EDIT || item.Type == DI_FIXEDIT ||
         item.Type == DI_PSWEDIT;
}

bool Focusable(const FarDialogItem& item) {
  if (item.Flags & (DIF_DISABLE | DIF_NOFOCUS | DIF_HIDDEN)) return false;
  return IsEdit(item) || item.Type == DI_BUTTON || item.Type == DI_CHECKBOX ||
         item.Type == DI_RADIOBUTTON;
}

bool HasHistory(const FarDialogItem& item) {
  return (item.Type == DI_EDIT || item.Type == DI_FIXEDIT) &&
         (item.Flags & DIF_HISTORY) && item.History != nullptr;
}

int FieldWidth(const FarDialogItem& item) {
  return std::max(item.X2 - item.X1 + 1, 1);
}

std::string DataText(const FarDialogItem& item) {
  return std::string(item.Data, strnlen(item.Data, sizeof(item.Data)));
}

// The columns an item occupies, from the dialog's left edge.
void ItemSpan(const DialogState& s, int i, int* x1, int* x2) {
  const FarDialogItem& item = s.Items[i];
  *x1 = s.Columns[static_cast<size_t>(i)];
  if (IsEdit(item) || item.X2 > item.X1) {
    *x2 = std::max(item.X2, *x1);
    return;
  }
  int hot;
  *x2 = *x1 + std::max(static_cast<int>(ItemLabel(item, &hot).size()) - 1, 0);
}

void ComputeGeometry(DialogState* s) {
  BoxRect r =
      PlaceDialog(s->X1, s->Y1, s->X2, s->Y2, ScreenWidth(), ScreenHeight());
  s->Width = r.X2 - r.X1 + 1;
  s->Height = r.Y2 - r.Y1 + 1;
  LayoutItemColumns(s->Items, s->Count, s->Width, &s->Columns);
  int fx1 = 0, fx2 = 0, fy1 = 0, fy2 = 0;
  if (s->Focus >= 0) {
    ItemSpan(*s, s->Focus, &fx1, &fx2);
    fy1 = s->Items[s->Focus].Y1;
    fy2 = std::max(s->Items[s->Focus].Y2, fy1);
  }
  s->OriginX = ScrollOrigin(r.X1, s->Width, ScreenWidth(), fx1, fx2);
  s->OriginY = ScrollOrigin(r.Y1, s->Height, ScreenHeight(), fy1, fy2);
}

// The style of the first double or single box, which separators join.
FrameStyle SeparatorFrame(const DialogState& s) {
  for (int i = 0; i < s.Count; ++i) {
    if (s.Items[i].Type == DI_DOUBLEBOX) return kFrameDouble;
    if (s.Items[i].Type == DI_SINGLEBOX) return kFrameSingle;
  }
  return kFrameDouble;
}

void PaintBox(const DialogState& s, const FarDialogItem& item) {
  int x1 = s.OriginX + item.X1, y1 = s.OriginY + item.Y1;
  int x2 = s.OriginX + item.X2, y2 = s.OriginY + item.Y2;
  ScreenFrame(x1, y1, x2, y2,
              item.Type == DI_DOUBLEBOX ? kFrameDouble : kFrameSingle,
              kColorDialogText);
  std::string shown;
  int x = FrameTitleColumn(x1, x2, DataText(item), &shown);
  if (x >= 0)
    ScreenText(x, y1, static_cast<int>(shown.size()), shown, kColorDialogText);
}

void PaintSeparator(const DialogState& s, const FarDialogItem& item) {
  SeparatorLayout l = LayoutSeparator(item, s.Width);
  int y = s.OriginY + item.Y1;
  ScreenSeparator(s.OriginX + l.LineX1, s.OriginX + l.LineX2, y,
                  SeparatorFrame(s), kFrameSingle, kColorDialogText);
  if (l.CaptionX >= 0)
    ScreenText(s.OriginX + l.CaptionX, y, static_cast<int>(l.Caption.size()),
               l.Caption, kColorDialogText);
}

void PaintLabel(const DialogState& s, int i, bool focused) {
  const FarDialogItem& item = s.Items[i];
  int hot;
  std::string label = ItemLabel(item, &hot);
  int x = s.OriginX + s.Columns[static_cast<size_t>(i)];
  int y = s.OriginY + item.Y1;
  int width = static_cast<int>(label.size());
  if (item.Type == DI_TEXT && item.X2 > item.X1)
    width = std::min(width, item.X2 - item.X1 + 1);
  ScreenColor color = focused ? kColorDialogFocus : kColorDialogText;
  if (item.Type == DI_VTEXT) {
    for (int k = 0; k < width; ++k)
      ScreenText(x, y + k, 1, label.substr(static_cast<size_t>(k), 1), color);
    return;
  }
  ScreenText(x, y, width, label, color);
  if (hot >= 0 && hot < width && !focused)
    ScreenText(x + hot, y, 1, label.substr(static_cast<size_t>(hot), 1),
               kColorDialogHotKey);
  if (focused && (item.Type == DI_CHECKBOX || item.Type == DI_RADIOBUTTON))
    ScreenShowCursor(x + 1, y);
}

void PaintEdit(DialogState* s, int i) {
  const FarDialogItem& item = s->Items[i];
  EditLine& line = s->Edits[static_cast<size_t>(i)];
  int width = FieldWidth(item);
  ScrollToCursor(&line, width);
  int x = s->OriginX + item.X1, y = s->OriginY + item.Y1;
  ScreenFill(x, y, x + width - 1, y, kColorDialogEdit);
  std::string shown = line.Text.substr(
      std::min(static_cast<size_t>(line.Scroll), line.Text.size()));
  if (item.Type == DI_PSWEDIT) shown.assign(shown.size(), '*');
  ScreenText(x, y, width, shown, kColorDialogEdit);
  if (HasHistory(item)) ScreenPut(x + width, y, kHistoryMark, kColorDialogText);
  if (i == s->Focus) ScreenShowCursor(x + line.Cursor - line.Scroll, y);
}

void PaintDialog(DialogState* s) {
  ComputeGeometry(s);
  ScreenFill(s->OriginX, s->OriginY, s->OriginX + s->Width - 1,
             s->OriginY + s->Height - 1, kColorDialogText);
  for (int i = 0; i < s->Count; ++i) {
    const FarDialogItem& item = s->Items[i];
    if (item.Flags & DIF_HIDDEN) continue;
    if (item.Type == DI_DOUBLEBOX || item.Type == DI_SINGLEBOX)
      PaintBox(*s, item);
    else if (item.Type == DI_TEXT && (item.Flags & DIF_SEPARATOR))
      PaintSeparator(*s, item);
    else if (IsEdit(item))
      PaintEdit(s, i);
    else if (item.Type <= DI_RADIOBUTTON)  // lists and combo boxes: not shown
      PaintLabel(*s, i, i == s->Focus && Focusable(item));
  }
}

int NextFocus(const DialogState& s, int from, int step) {
  for (int k = 1; k <= s.Count; ++k) {
    int i = ((from + step * k) % s.Count + s.Count) % s.Count;
    if (Focusable(s.Items[i])) return i;
  }
  return from;
}

int DefaultButton(const DialogState& s) {
  for (int i = 0; i < s.Count; ++i)
    if (s.Items[i].DefaultButton && !(s.Items[i].Flags & DIF_DISABLE)) return i;
  return -1;
}

void SelectRadio(DialogState* s, int i) {
  int first = i, last = i;
  while (first > 0 && s->Items[first - 1].Type == DI_RADIOBUTTON &&
         !(s->Items[first].Flags & DIF_GROUP))
    --first;
  while (last + 1 < s->Count && s->Items[last + 1].Type == DI_RADIOBUTTON &&
         !(s->Items[last + 1].Flags & DIF_GROUP))
    ++last;
  for (int k = first; k <= last; ++k) s->Items[k].Selected = k == i;
}

// Space or a hot key on a focusable item. Returns the closing index or
// kKeepOpen.
int Activate(DialogState* s, int i) {
  FarDialogItem& item = s->Items[i];
  s->Focus = i;
  if (item.Type == DI_BUTTON)
    return (item.Flags & kButtonNoClose) ? kKeepOpen : i;
  if (item.Type == DI_CHECKBOX)
    item.Selected =
        (item.Flags & kThreeState) ? (item.Selected + 1) % 3 : !item.Selected;
  if (item.Type == DI_RADIOBUTTON) SelectRadio(s, i);
  return kKeepOpen;
}

int Enter(DialogState* s) {
  if (s->Focus >= 0 && s->Items[s->Focus].Type == DI_BUTTON)
    return Activate(s, s->Focus);
  int button = DefaultButton(*s);
  if (button >= 0) return button;
  return s->Focus;
}

// The item whose hot key is the character, or -1.
int HotKeyItem(const DialogState& s, char32_t ch) {
  const CodePage* page = ScreenCodePage();
  for (int i = 0; i < s.Count; ++i) {
    const FarDialogItem& item = s.Items[i];
    if (IsEdit(item) || (item.Flags & (DIF_HIDDEN | DIF_DISABLE))) continue;
    int hot;
    std::string label = ItemLabel(item, &hot);
    if (hot >= 0 &&
        FoldCase(OemToUnicode(page, static_cast<unsigned char>(
                                        label[static_cast<size_t>(hot)]))) ==
            FoldCase(ch))
      return i;
  }
  return -1;
}

// A text's hot key moves the focus to the next item that takes it.
int HotKey(DialogState* s, int i) {
  if (Focusable(s->Items[i])) return Activate(s, i);
  s->Focus = NextFocus(*s, i, 1);
  return kKeepOpen;
}

void OpenHistory(DialogState* s) {
  FarDialogItem& item = s->Items[s->Focus];
  const std::vector<std::string>& entries =
      s->Ui->Histories().Entries(item.History);
  if (entries.empty()) return;
  MenuRequest menu{FMENU_WRAPMODE,
                   s->OriginX + item.X1,
                   s->OriginY + item.Y1 + 1,
                   10,
                   "History",
                   "",
                   "",
                   {},
                   {}};
  for (const std::string& text : entries) menu.Items.push_back({text, 0, 0, 0});
  int breakCode;
  int chosen = RunMenuBox(s->Ui, menu, &breakCode);
  if (chosen >= 0)
    SetEditText(&s->Edits[static_cast<size_t>(s->Focus)],
                entries[static_cast<size_t>(chosen)]);
}

bool FocusInEdit(const DialogState& s) {
  return s.Focus >= 0 && IsEdit(s.Items[s.Focus]);
}

int HandleMove(DialogState* s, const KeyEvent& key) {
  bool edit = FocusInEdit(*s);
  if (key.Control == 0 && (key.Key == kVkTab || key.Key == VK_DOWN ||
                           (key.Key == VK_RIGHT && !edit)))
    s->Focus = NextFocus(*s, s->Focus, 1);
  else if ((key.Key == kVkTab && key.Control == PKF_SHIFT) ||
           (key.Control == 0 &&
            (key.Key == VK_UP || (key.Key == VK_LEFT && !edit))))
    s->Focus = NextFocus(*s, s->Focus, -1);
  else
    return 0;
  return 1;
}

int HandleKey(DialogState* s, const KeyEvent& key) {
  if (key.Key == kKeyClosed || (key.Key == kVkEscape && key.Control == 0))
    return -1;
  if (key.Key == VK_RETURN && key.Control == 0) return Enter(s);
  bool edit = FocusInEdit(*s);
  if (edit && key.Key == VK_DOWN &&
      (key.Control == PKF_CONTROL || key.Control == PKF_ALT)) {
    if (HasHistory(s->Items[s->Focus])) OpenHistory(s);
    return kKeepOpen;
  }
  if (HandleMove(s, key)) return kKeepOpen;
  bool alt = (key.Control & PKF_ALT) != 0;
  bool ctrl = (key.Control & PKF_CONTROL) != 0;
  if (key.Char != 0 && !ctrl && (alt || (!edit && key.Char != ' '))) {
    int i = HotKeyItem(*s, key.Char);
    if (i >= 0) return HotKey(s, i);
  }
  if (key.Key == kVkSpace && key.Control == 0 && !edit && s->Focus >= 0)
    return Activate(s, s->Focus);
  if (edit && !(s->Items[s->Focus].Flags & DIF_READONLY))
    EditKey(&s->Edits[static_cast<size_t>(s->Focus)], key, ScreenCodePage());
  return kKeepOpen;
}

int InitialFocus(const DialogState& s) {
  for (int i = 0; i < s.Count; ++i)
    if (s.Items[i].Focus && Focusable(s.Items[i])) return i;
  for (int i = 0; i < s.Count; ++i)
    if (Focusable(s.Items[i])) return i;
  return -1;
}

void LoadEdits(DialogState* s, int editLimit) {
  s->Edits.resize(static_cast<size_t>(s->Count));
  int dataLimit = static_cast<int>(sizeof(s->Items[0].Data)) - 1;
  int limit = editLimit > 0 ? std::min(editLimit, dataLimit) : dataLimit;
  for (int i = 0; i < s->Count; ++i) {
    FarDialogItem& item = s->Items[i];
    if (!IsEdit(item)) continue;
    std::string text = DataText(item);
    if (text.empty() && HasHistory(item) && (item.Flags & DIF_USELASTHISTORY))
      text = s->Ui->Histories().Last(item.History);
    bool fixed = item.Type == DI_FIXEDIT;
    s->Edits[static_cast<size_t>(i)] = MakeEditLine(
        text, fixed ? std::min(FieldWidth(item), limit) : limit, fixed);
  }
}

void WriteBack(DialogState* s, int closed) {
  bool changed = false;
  for (int i = 0; i < s->Count; ++i) {
    FarDialogItem& item = s->Items[i];
    item.Focus = i == s->Focus;
    if (!IsEdit(item)) continue;
    const std::string& text = s->Edits[static_cast<size_t>(i)].Text;
    size_t length = std::min(text.size(), sizeof(item.Data) - 1);
    std::memcpy(item.Data, text.data(), length);
    item.Data[length] = '\0';
    if (closed >= 0 && HasHistory(item) && !(item.Flags & kManualAddHistory) &&
        length > 0) {
      s->Ui->Histories().Add(item.History, std::string(item.Data, length));
      changed = true;
    }
  }
  if (changed) s->Ui->HistoryChanged();
}

}  // namespace

int RunDialogBox(BoxStage* ui, int x1, int y1, int x2, int y2,
                 FarDialogItem* items, int count, int editLimit) {
  DialogState state;
  state.Ui = ui;
  state.Items = items;
  state.Count = count;
  state.X1 = x1;
  state.Y1 = y1;
  state.X2 = x2;
  state.Y2 = y2;
  state.Focus = InitialFocus(state);
  LoadEdits(&state, editLimit);
  ui->PushLayer([&state] { PaintDialog(&state); });
  int result = kKeepOpen;
  while (result == kKeepOpen) {
    KeyEvent key;
    WaitKey(ui, &key);
    result = HandleKey(&state, key);
  }
  ui->PopLayer();
  WriteBack(&state, result);
  return result;
}

FarDialogItem DialogItem(int type, int x1, int y1, int x2, int y2, DWORD flags,
                         const std::string& text) {
  FarDialogItem item;
  std::memset(&item, 0, sizeof(item));
  item.Type = type;
  item.X1 = x1;
  item.Y1 = y1;
  item.X2 = x2;
  item.Y2 = y2;
  item.Flags = flags;
  size_t length = std::min(text.size(), sizeof(item.Data) - 1);
  std::memcpy(item.Data, text.data(), length);
  return item;
}
