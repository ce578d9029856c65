// The terminal screen under the host's boxes: ncursesw set up in the look of
// the file manager, and a few drawing primitives. Every primitive clips to
// the screen, so callers may draw boxes larger than the terminal.
//
// ScreenOpen restores the terminal however the program ends: at exit, and on
// SIGINT, SIGTERM, SIGHUP and SIGQUIT (the handler puts the terminal back and
// exits with 128 + the signal number). A size change arrives as a
// kKeyResize key; the box on top then redraws everything.
#ifndef TOLVANE_FARHOST_TUI_SCREEN_H
#define TOLVANE_FARHOST_TUI_SCREEN_H

#include <string>

#include "farhost/tui/code_page.h"
#include "farhost/tui/keys.h"

enum ScreenColor {
  kColorBackground,
  kColorPanel,
  kColorMenuText,
  kColorMenuFrame,
  kColorMenuHotKey,
  kColorMenuSelected,
  kColorMenuSelectedHotKey,
  kColorDialogText,
  kColorDialogHotKey,
  kColorDialogEdit,
  kColorDialogFocus,  // the focused button or check box
  kColorWarningText,
  kColorWarningHotKey,
  kColorWarningFocus,
  kColorPanelCursor,       // the item under the panel's cursor
  kColorPanelColumnTitle,  // column titles, the focused panel's title
  kColorPanelFolder,       // directories
  kColorPanelMarked,       // items the plugin marked hidden (highlighted)
  kColorPanelMarkedCursor,
  kColorKeyBarNumber,
  kColorKeyBarLabel,
  kColorHelpText,
  kColorHelpHighlight,
  kColorHelpLink,
  kColorHelpLinkFocus,
  kColorCount
};

enum FrameStyle { kFrameSingle, kFrameDouble };

// Starts curses on the terminal with the OEM code page (866 or 437) used for
// every text drawn. The locale comes from the environment; when it cannot
// show Unicode, C.UTF-8 is taken instead. Returns 0 when there is no
// terminal to draw on (nothing is changed then).
int ScreenOpen(int codePage);

// Puts the terminal back as it was; safe to call more than once.
void ScreenClose();

int ScreenIsOpen();
int ScreenWidth();
int ScreenHeight();
const CodePage* ScreenCodePage();

// Fills a rectangle (inclusive corners) with blanks of a colour.
void ScreenFill(int x1, int y1, int x2, int y2, ScreenColor color);

// Draws one character at a position; outside the screen nothing happens.
void ScreenPut(int x, int y, char32_t ch, ScreenColor color);

// Draws OEM text from (x, y), at most width characters.
void ScreenText(int x, int y, int width, const std::string& text,
                ScreenColor color);

// Draws a frame on the rectangle's edges.
void ScreenFrame(int x1, int y1, int x2, int y2, FrameStyle style,
                 ScreenColor color);

// A horizontal line from x1 to x2 on row y whose ends join a frame of
// style frame on both sides; line is the style of the line itself.
void ScreenSeparator(int x1, int x2, int y, FrameStyle frame, FrameStyle line,
                     ScreenColor color);

// Shows the cursor at a position, or hides it.
void ScreenShowCursor(int x, int y);
void ScreenHideCursor();

// Sends what was drawn to the terminal.
void ScreenRefresh();

// Waits for the next key. Sequences that curses does not know are read to
// their end and decoded; a lone Esc waits a moment for a following key
// (Esc then a key is the key with Alt, see KEYS.md). When the terminal's
// input has ended, every call returns kKeyClosed at once.
void ScreenReadKey(KeyEvent* event);

#endif  // TOLVANE_FARHOST_TUI_SCREEN_H
