// One line of text being edited in a dialog field: OEM bytes, a cursor, and
// the first column shown. Free fields insert and grow up to MaxLength;
// fixed-width fields (DI_FIXEDIT) overwrite within their width. Pure: keys
// come in as events, characters are converted through the code page
// (characters the page lacks become '?').
#ifndef TOLVANE_FARHOST_TUI_EDIT_LINE_H
#define TOLVANE_FARHOST_TUI_EDIT_LINE_H

#include <string>

#include "farhost/tui/code_page.h"
#include "farhost/tui/keys.h"

struct EditLine {
  std::string Text;
  int Cursor;     // 0 .. Text.size(); a fixed field keeps it below its width
  int Scroll;     // first character shown
  int MaxLength;  // bytes the text may hold
  int Fixed;      // overwrite within MaxLength columns
};

// A line holding text (cut to maxLength) with the cursor at its end (for a
// fixed field at most on its last column).
EditLine MakeEditLine(const std::string& text, int maxLength, int fixed);

// Replaces the whole text; the cursor goes to its end.
void SetEditText(EditLine* line, const std::string& text);

// Applies an editing key: characters, Left, Right, Home, End, Backspace,
// Delete, Ctrl+Y (clear). Returns 1 when the key was an editing key, 0 when
// it is left to the dialog (Enter, Tab, Up, Esc, ...).
int EditKey(EditLine* line, const KeyEvent& key, const CodePage* page);

// Moves Scroll so that the cursor is inside a field of the given width.
void ScrollToCursor(EditLine* line, int width);

#endif  // TOLVANE_FARHOST_TUI_EDIT_LINE_H
