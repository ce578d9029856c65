// The built-in viewer: the text under a title row, scrolled by the keys.
#include <algorithm>

#include "farhost/browse/viewers.h"
#include "farhost/tui/boxes.h"
#include "farhost/tui/screen.h"

namespace {

struct ViewerState {
  std::string Title;
  std::vector<std::string> Lines;
  int Top;
  int Left;
};

int TextRows() { return std::max(1, ScreenHeight() - 2); }

void PaintViewer(const ViewerState& v) {
  int width = ScreenWidth(), height = ScreenHeight();
  ScreenFill(0, 0, width - 1, 0, kColorKeyBarLabel);
  ScreenText(0, 0, width, v.Title, kColorKeyBarLabel);
  ScreenFill(0, 1, width - 1, height - 2, kColorPanel);
  for (int row = 0; row < TextRows(); ++row) {
    size_t line = static_cast<size_t>(v.Top + row);
    if (line >= v.Lines.size()) break;
    const std::string& text = v.Lines[line];
    if (static_cast<int>(text.size()) > v.Left)
      ScreenText(0, 1 + row, width, text.substr(static_cast<size_t>(v.Left)),
                 kColorPanel);
  }
  ScreenFill(0, height - 1, width - 1, height - 1, kColorBackground);
  ScreenText(0, height - 1, width, "Esc/F3/F10 Quit", kColorKeyBarNumber);
}

// Applies a scrolling key; 0 when the key closes the viewer.
int ScrollViewer(ViewerState* v, const KeyEvent& key) {
  int rows = TextRows();
  int last = std::max(0, static_cast<int>(v->Lines.size()) - rows);
  switch (key.Key) {
    case kVkEscape:
    case VK_F10:
    case kKeyClosed:
      return 0;
    case VK_F3:
      return key.Control != 0;
    case VK_UP:
      v->Top--;
      break;
    case VK_DOWN:
      v->Top++;
      break;
    case VK_PRIOR:
      v->Top -= rows;
      break;
    case VK_NEXT:
      v->Top += rows;
      break;
    case VK_HOME:
      v->Top = 0;
      v->Left = 0;
      break;
    case VK_END:
      v->Top = last;
      break;
    case VK_LEFT:
      v->Left = std::max(0, v->Left - 8);
      break;
    case VK_RIGHT:
      v->Left += 8;
      break;
    default:
      break;
  }
  v->Top = std::clamp(v->Top, 0, last);
  return 1;
}

}  // namespace

std::vector<std::string> SplitViewerLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (char ch : text) {
    if (ch == '\n') {
      if (!lines.back().empty() && lines.back().back() == '\r')
        lines.back().pop_back();
      lines.emplace_back();
    } else if (ch == '\t') {
      lines.back().append(8 - lines.back().size() % 8, ' ');
    } else {
      lines.back() += ch;
    }
  }
  if (lines.size() > 1 && lines.back().empty()) lines.pop_back();
  return lines;
}

void RunTextViewer(TerminalUi* ui, const std::string& title,
                   const std::string& text) {
  ViewerState v{title, SplitViewerLines(text), 0, 0};
  ui->PushLayer([&v] { PaintViewer(v); });
  KeyEvent key;
  do {
    WaitKey(ui, &key);
  } while (ScrollViewer(&v, key));
  ui->PopLayer();
}
