// Where the host's boxes go on the screen and how their parts are laid out:
// dialog placement, scrolling a box larger than the terminal, the button
// and check box labels, centred groups, separators with captions, message
// boxes, menus and their hot keys. Pure computations; the drawing is
// elsewhere. Coordinates are columns and rows from 0; rectangles are
// inclusive.
#ifndef TOLVANE_FARHOST_TUI_BOX_LAYOUT_H
#define TOLVANE_FARHOST_TUI_BOX_LAYOUT_H

#include <string>
#include <vector>

#include "farhost/tui/code_page.h"
#include "host/far_api.h"

struct BoxRect {
  int X1, Y1, X2, Y2;
};

// The dialog rectangle the plugin asked for on a screen of the given size:
// x1 = -1 centres horizontally with width x2, y1 = -1 vertically with
// height y2; otherwise the corners are taken as given. The rectangle may be
// larger than the screen; a width or height below 1 counts as 1.
BoxRect PlaceDialog(int x1, int y1, int x2, int y2, int screenWidth,
                    int screenHeight);

// The screen position of a box's first column (or row) along one axis.
// A box that fits stays at start, moved inside the screen when it sticks
// out. A larger box is shifted (start <= 0) so that the focused span
// [focusStart, focusEnd], counted from the box's first column, is visible.
int ScrollOrigin(int start, int size, int screenSize, int focusStart,
                 int focusEnd);

// A label without its hot-key marks: the first '&' before a character
// marks that character (its index goes to *hot, -1 when there is none) and
// "&&" is a plain '&'. With showAmpersand the text is kept as it is.
std::string StripHotKey(const std::string& text, int showAmpersand, int* hot);

// How a dialog item shows its text: "[ Ok ]" for a button ("{ Ok }" for the
// default button, the bare text with DIF_NOBRACKETS), "[x] text" for a check
// box ("[ ]", "[?]" for the third state), "(*) text" for a radio button,
// the text alone otherwise. *hot is the hot key's index in the label or -1.
std::string ItemLabel(const FarDialogItem& item, int* hot);

// The column (from the dialog's left edge) where each item starts. Items
// with DIF_CENTERGROUP that follow each other on one row are centred as a
// group in the dialog's width, one blank apart; a text with X1 = -1 is
// centred alone; the rest keep their X1.
void LayoutItemColumns(const FarDialogItem* items, int count, int dialogWidth,
                       std::vector<int>* columns);

// A DI_TEXT with DIF_SEPARATOR: the line runs across the dialog's frame
// columns (3 to width - 4) and joins the frame; a caption, set between
// blanks, is centred with DIF_CENTERGROUP or starts at the item's X1.
struct SeparatorLayout {
  int LineX1, LineX2;
  int CaptionX;         // -1: no caption
  std::string Caption;  // with its blanks
};
SeparatorLayout LayoutSeparator(const FarDialogItem& item, int dialogWidth);

// A text centred in a frame's top edge between x1 and x2: " Title ", cut to
// fit. Returns the column of its first character (x1 + 2 at least), or -1
// when nothing fits.
int FrameTitleColumn(int x1, int x2, const std::string& title,
                     std::string* shown);

// A message box: the frame is inset three columns and one row, the text
// starts two columns inside it, buttons share the row before the bottom
// frame. Lines and title are cut to what the screen allows.
struct MessageLayout {
  BoxRect Box;       // the whole box including its margin
  int TextWidth;     // columns for the body lines
  int ButtonsX;      // first button's column (screen), -1 for none
  int ButtonsY;      // row of the buttons (screen)
  int VisibleLines;  // body lines that fit
};
MessageLayout LayoutMessage(const std::string& title,
                            const std::vector<std::string>& lines,
                            const std::vector<std::string>& buttons,
                            int screenWidth, int screenHeight);

// The width of a row of message buttons "[ A ] [ B ]", '&' marks removed.
int ButtonRowWidth(const std::vector<std::string>& buttons);

// A menu: the frame with a blank and the check column before each item's
// text and a blank after it; x or y = -1 centres.
BoxRect PlaceMenu(int x, int y, int maxHeight, int textWidth, int titleWidth,
                  int itemCount, int screenWidth, int screenHeight);

// Case folding for hot keys: ASCII, Latin-1 and Cyrillic letters.
char32_t FoldCase(char32_t ch);

// The hot key of every menu item: the character after '&' (unless
// FMENU_SHOWAMPERSAND); with FMENU_AUTOHIGHLIGHT items without one get the
// first letter or digit of their text (the last with
// FMENU_REVERSEAUTOHIGHLIGHT) that no other item has taken. Visible is the
// text shown, Index the hot key's place in it (-1 for none), Key the folded
// character (0 for none).
struct MenuHotKey {
  std::string Visible;
  int Index;
  char32_t Key;
};
std::vector<MenuHotKey> AssignMenuHotKeys(const std::vector<std::string>& texts,
                                          const std::vector<int>& separators,
                                          DWORD flags, const CodePage* page);

#endif  // TOLVANE_FARHOST_TUI_BOX_LAYOUT_H
