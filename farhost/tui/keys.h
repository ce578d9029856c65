// The file manager's key model on a terminal: a virtual-key code with a
// control state (PKF_CONTROL, PKF_ALT, PKF_SHIFT), as ProcessKey and the
// host's boxes expect, plus the typed character for text input.
//
// Everything here is pure: it turns what curses delivered (characters,
// curses key codes, the names of extended keys) into key events, so that
// every terminal convention can be tested without a terminal. The
// alternatives for combinations that terminals cannot report are listed in
// farhost/tui/KEYS.md.
#ifndef TOLVANE_FARHOST_TUI_KEYS_H
#define TOLVANE_FARHOST_TUI_KEYS_H

#include "host/far_api.h"

// Virtual-key codes the terminal front end needs beyond far_api.h's set.
enum : int {
  kVkBack = 0x08,
  kVkTab = 0x09,
  kVkEscape = 0x1B,
  kVkSpace = 0x20,
  kVkDelete = 0x2E,
};

// Not keys: the terminal changed its size (redraw everything); the
// terminal is gone (input has ended; every box cancels).
enum : int { kKeyResize = 0x10000, kKeyClosed = 0x10001 };

struct KeyEvent {
  int Key;           // virtual-key code; 0 for no key the host knows
  unsigned Control;  // PKF_* bits
  char32_t Char;     // the character typed (also with Alt or Ctrl held,
                     // where it is no text input); 0 for none
};

// The virtual-key code of function key Fn (1..24).
inline int VkFunction(int n) { return VK_F1 + n - 1; }

// Decodes the first key of units, the characters read so far (an escape
// sequence arrives as several). Returns the number of units it took, or 0
// when more are needed to decide (units could still grow into a longer
// sequence); with final nonzero nothing more is coming and it always takes
// at least one. An unknown sequence is taken whole with Key 0.
int DecodeKeyInput(const char32_t* units, int count, int final,
                   KeyEvent* event);

// A curses key code (KEY_UP, KEY_F(27), ...). Returns 1 with the event, or 0
// for a code that means no key of ours.
int KeyFromCursesCode(int code, KeyEvent* event);

// An extended key by its terminfo name as keyname() gives it ("kUP5",
// "kNXT3", "kDC6"): the base key with the xterm modifier digit. Returns 1
// with the event, or 0 for another name.
int KeyFromExtendedName(const char* name, KeyEvent* event);

// A key that followed a lone Esc within the waiting time: Esc then Fn is
// Ctrl+Fn; anything else gets Alt, then the Alt alternatives apply.
void ApplyEscapePrefix(KeyEvent* event);

// The alternatives for combinations many terminals cannot report: Alt+Enter,
// Alt+0..9, Alt+PgUp, Alt+PgDn and Alt+Insert become their Ctrl forms.
void ApplyAltAlternatives(KeyEvent* event);

#endif  // TOLVANE_FARHOST_TUI_KEYS_H
