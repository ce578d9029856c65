// Editing one dialog field.
#include "farhost/tui/edit_line.h"

#include <algorithm>

namespace {

int Size(const EditLine& line) { return static_cast<int>(line.Text.size()); }

// The highest cursor position: after the text, and inside a fixed field.
int LastCursor(const EditLine& line) {
  int last = Size(line);
  if (line.Fixed) last = std::min(last, line.MaxLength - 1);
  return std::max(last, 0);
}

void TypeCharacter(EditLine* line, unsigned char byte) {
  size_t at = static_cast<size_t>(line->Cursor);
  char c = static_cast<char>(byte);
  if (line->Fixed && at < line->Text.size()) {
    line->Text[at] = c;
  } else {
    if (Size(*line) >= line->MaxLength) return;
    line->Text.insert(at, 1, c);
  }
  line->Cursor = std::min(line->Cursor + 1, LastCursor(*line));
}

void Backspace(EditLine* line) {
  if (line->Cursor == 0) return;
  line->Text.erase(static_cast<size_t>(line->Cursor - 1), 1);
  line->Cursor -= 1;
}

void Delete(EditLine* line) {
  if (line->Cursor < Size(*line))
    line->Text.erase(static_cast<size_t>(line->Cursor), 1);
}

}  // namespace

EditLine MakeEditLine(const std::string& text, int maxLength, int fixed) {
  EditLine line{"", 0, 0, std::max(maxLength, 0), fixed};
  SetEditText(&line, text);
  return line;
}

void SetEditText(EditLine* line, const std::string& text) {
  line->Text = text.substr(0, static_cast<size_t>(line->MaxLength));
  line->Cursor = LastCursor(*line);
  line->Scroll = 0;
}

int EditKey(EditLine* line, const KeyEvent& key, const CodePage* page) {
  unsigned mods = key.Control & (PKF_CONTROL | PKF_ALT);
  if (key.Char != 0 && mods == 0) {
    TypeCharacter(line, UnicodeToOem(page, key.Char));
    return 1;
  }
  if (mods == PKF_CONTROL && key.Key == 'Y') {
    SetEditText(line, "");
    return 1;
  }
  if (mods != 0) return 0;
  switch (key.Key) {
    case VK_LEFT:
      line->Cursor = std::max(line->Cursor - 1, 0);
      return 1;
    case VK_RIGHT:
      line->Cursor = std::min(line->Cursor + 1, LastCursor(*line));
      return 1;
    case VK_HOME:
      line->Cursor = 0;
      return 1;
    case VK_END:
      line->Cursor = LastCursor(*line);
      return 1;
    case kVkBack:
      Backspace(line);
      return 1;
    case kVkDelete:
      Delete(line);
      return 1;
    default:
      return 0;
  }
}

void ScrollToCursor(EditLine* line, int width) {
  if (width < 1) width = 1;
  if (line->Cursor < line->Scroll) line->Scroll = line->Cursor;
  if (line->Cursor >= line->Scroll + width)
    line->Scroll = line->Cursor - width + 1;
  line->Scroll = std::max(line->Scroll, 0);
}
