// The host's message box: a double frame with the title, the body lines
// centred (or left-aligned), separator lines, and a row of buttons. Left,
// Right, Tab and Shift+Tab move between buttons; Enter or Space presses the
// focused one, a button's hot key presses it, Esc cancels.
#include <algorithm>

#include "farhost/tui/box_layout.h"
#include "farhost/tui/boxes.h"
#include "farhost/tui/screen.h"

namespace {

struct MessageState {
  const MessageRequest* Box;
  int Focus;
};

struct MessageColors {
  ScreenColor Text, HotKey, Focus;
};

MessageColors ColorsFor(DWORD flags) {
  if (flags & FMSG_WARNING)
    return {kColorWarningText, kColorWarningHotKey, kColorWarningFocus};
  return {kColorDialogText, kColorDialogHotKey, kColorDialogFocus};
}

void PaintLine(const MessageLayout& m, const std::string& line, int y,
               DWORD flags, ScreenColor color) {
  int frameX1 = m.Box.X1 + 3, frameX2 = m.Box.X2 - 3;
  if (!line.empty() && (line[0] == '\x01' || line[0] == '\x02')) {
    ScreenSeparator(frameX1, frameX2, y, kFrameDouble,
                    line[0] == '\x02' ? kFrameDouble : kFrameSingle, color);
    return;
  }
  int x = frameX1 + 2;
  int length = static_cast<int>(line.size());
  if (!(flags & FMSG_LEFTALIGN) && length < m.TextWidth)
    x += (m.TextWidth - length) / 2;
  ScreenText(x, y, m.TextWidth, line, color);
}

void PaintButtons(const MessageLayout& m, const MessageState& s,
                  const MessageColors& c) {
  int x = m.ButtonsX;
  for (size_t i = 0; i < s.Box->Buttons.size(); ++i) {
    int hot;
    std::string label = "[ " + StripHotKey(s.Box->Buttons[i], 0, &hot) + " ]";
    bool focused = static_cast<int>(i) == s.Focus;
    ScreenText(x, m.ButtonsY, static_cast<int>(label.size()), label,
               focused ? c.Focus : c.Text);
    if (hot >= 0 && !focused)
      ScreenText(x + 2 + hot, m.ButtonsY, 1,
                 label.substr(static_cast<size_t>(hot) + 2, 1), c.HotKey);
    x += static_cast<int>(label.size()) + 1;
  }
}

void PaintMessage(const MessageState& s) {
  ScreenHideCursor();
  const MessageRequest& box = *s.Box;
  MessageLayout m = LayoutMessage(box.Title, box.Lines, box.Buttons,
                                  ScreenWidth(), ScreenHeight());
  MessageColors c = ColorsFor(box.Flags);
  ScreenFill(m.Box.X1, m.Box.Y1, m.Box.X2, m.Box.Y2, c.Text);
  ScreenFrame(m.Box.X1 + 3, m.Box.Y1 + 1, m.Box.X2 - 3, m.Box.Y2 - 1,
              kFrameDouble, c.Text);
  std::string shown;
  int titleX = FrameTitleColumn(m.Box.X1 + 3, m.Box.X2 - 3, box.Title, &shown);
  if (titleX >= 0)
    ScreenText(titleX, m.Box.Y1 + 1, static_cast<int>(shown.size()), shown,
               c.Text);
  for (int i = 0; i < m.VisibleLines; ++i)
    PaintLine(m, box.Lines[static_cast<size_t>(i)], m.Box.Y1 + 2 + i, box.Flags,
              c.Text);
  if (!box.Buttons.empty()) PaintButtons(m, s, c);
}

// The button whose hot key was typed, or -1.
int ButtonForKey(const MessageRequest& box, const KeyEvent& key) {
  if (key.Char == 0 || (key.Control & PKF_CONTROL)) return -1;
  const CodePage* page = ScreenCodePage();
  for (size_t i = 0; i < box.Buttons.size(); ++i) {
    int hot;
    std::string label = StripHotKey(box.Buttons[i], 0, &hot);
    if (hot >= 0 &&
        FoldCase(OemToUnicode(page, static_cast<unsigned char>(
                                        label[static_cast<size_t>(hot)]))) ==
            FoldCase(key.Char))
      return static_cast<int>(i);
  }
  return -1;
}

// Returns the pressed button, -1 for cancel, or -2 to go on.
int HandleKey(MessageState* s, const KeyEvent& key) {
  int count = static_cast<int>(s->Box->Buttons.size());
  if (key.Key == kKeyClosed || (key.Key == kVkEscape && key.Control == 0))
    return -1;
  if (key.Control == 0 && (key.Key == VK_RETURN || key.Key == kVkSpace))
    return s->Focus;
  bool back =
      key.Key == VK_LEFT || (key.Key == kVkTab && key.Control == PKF_SHIFT);
  bool forward = key.Key == VK_RIGHT || (key.Key == kVkTab && key.Control == 0);
  if (back) s->Focus = (s->Focus + count - 1) % count;
  if (forward) s->Focus = (s->Focus + 1) % count;
  int hot = ButtonForKey(*s->Box, key);
  return hot >= 0 ? hot : -2;
}

}  // namespace

int RunMessageBox(BoxStage* ui, const MessageRequest& box) {
  MessageState state{&box, 0};
  ui->PushLayer([&state] { PaintMessage(state); });
  if (box.Buttons.empty()) {
    ui->Redraw();  // stays on the screen until the next redraw
    ui->PopLayer();
    return -1;
  }
  int result = -2;
  while (result == -2) {
    KeyEvent key;
    WaitKey(ui, &key);
    result = HandleKey(&state, key);
  }
  ui->PopLayer();
  return result;
}
