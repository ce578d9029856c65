// Reading keys from curses: what curses decodes itself arrives as a key code
// (extended keys by their terminfo name), everything else as characters that
// DecodeKeyInput turns into keys, waiting briefly for the rest of a sequence.
#include <curses.h>

#include "farhost/tui/screen.h"

namespace {

// How long a lone Esc waits for a following key (Esc then a key is that key
// with Alt), and how long the rest of an escape sequence may take.
const int kEscapeWaitMs = 500;
const int kSequenceWaitMs = 50;
const int kMaxUnits = 32;
// A blocking read that fails this often in a row means the terminal is gone.
const int kMaxFailures = 64;

struct Pending {
  char32_t Units[kMaxUnits];
  int Count;
};

Pending g_pending;
int g_failures;

void Drop(int n) {
  for (int i = n; i < g_pending.Count; ++i)
    g_pending.Units[i - n] = g_pending.Units[i];
  g_pending.Count -= n;
}

// A key code from curses as an event; 0 for a code of no interest.
int FromKeyCode(int code, KeyEvent* event) {
  if (KeyFromCursesCode(code, event)) return 1;
  return KeyFromExtendedName(keyname(code), event);
}

// Reads one unit with the given wait (-1: forever). Returns OK with a
// character, KEY_CODE_YES with a key code, or ERR when none came.
int ReadUnit(int waitMs, wint_t* unit) {
  timeout(waitMs);
  int result = get_wch(unit);
  timeout(-1);
  return result;
}

// Decodes from the pending units, reading more while a sequence may go on.
// Returns 1 with an event, 0 when the units made no key.
int DecodePending(KeyEvent* event) {
  for (;;) {
    int taken = DecodeKeyInput(g_pending.Units, g_pending.Count, 0, event);
    if (taken > 0) {
      Drop(taken);
      return event->Key != 0 || event->Char != 0;
    }
    int wait = g_pending.Count == 1 ? kEscapeWaitMs : kSequenceWaitMs;
    wint_t unit = 0;
    int result = g_pending.Count < kMaxUnits ? ReadUnit(wait, &unit) : ERR;
    if (result == KEY_CODE_YES && g_pending.Count == 1) {
      // Esc, then a key that curses decoded: the key with the Esc prefix.
      g_pending.Count = 0;
      if (!FromKeyCode(static_cast<int>(unit), event)) return 0;
      if (event->Key != kKeyResize) ApplyEscapePrefix(event);
      return 1;
    }
    if (result == KEY_CODE_YES) ungetch(static_cast<int>(unit));  // later
    if (result != OK) {
      taken = DecodeKeyInput(g_pending.Units, g_pending.Count, 1, event);
      Drop(taken);
      return event->Key != 0 || event->Char != 0;
    }
    g_pending.Units[g_pending.Count++] = static_cast<char32_t>(unit);
  }
}

}  // namespace

void ScreenReadKey(KeyEvent* event) {
  for (;;) {
    *event = KeyEvent{0, 0, 0};
    if (g_pending.Count > 0) {
      if (DecodePending(event)) return;
      continue;
    }
    if (g_failures >= kMaxFailures) {
      event->Key = kKeyClosed;
      return;
    }
    wint_t unit = 0;
    int result = ReadUnit(-1, &unit);
    g_failures = result == ERR ? g_failures + 1 : 0;
    if (result == KEY_CODE_YES) {
      if (FromKeyCode(static_cast<int>(unit), event)) return;
      continue;
    }
    if (result != OK) continue;
    g_pending.Units[g_pending.Count++] = static_cast<char32_t>(unit);
  }
}
