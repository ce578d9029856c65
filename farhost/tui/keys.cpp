// Key decoding: control characters, xterm/rxvt/linux-console escape
// sequences with their modifier parameters, curses key codes and the
// terminfo names of extended keys.
#include "farhost/tui/keys.h"

#include <curses.h>  // the KEY_* constants only; nothing here calls curses

#include <cstring>

namespace {

const char32_t kEsc = 0x1B;

KeyEvent Make(int key, unsigned control, char32_t ch = 0) {
  return KeyEvent{key, control, ch};
}

// xterm's modifier parameter: 1 + (1 shift, 2 alt, 4 ctrl, 8 meta).
unsigned ModifierBits(int parameter) {
  if (parameter < 2) return 0;
  int bits = parameter - 1;
  unsigned control = 0;
  if (bits & 1) control |= PKF_SHIFT;
  if (bits & (2 | 8)) control |= PKF_ALT;
  if (bits & 4) control |= PKF_CONTROL;
  return control;
}

KeyEvent DecodeCharacter(char32_t c) {
  if (c == 0) return Make(kVkSpace, PKF_CONTROL);
  if (c == 8 || c == 0x7F) return Make(kVkBack, 0);
  if (c == 9) return Make(kVkTab, 0);
  if (c == 10 || c == 13) return Make(VK_RETURN, 0);
  if (c == kEsc) return Make(kVkEscape, 0);
  if (c >= 1 && c <= 26)
    return Make('A' + static_cast<int>(c) - 1, PKF_CONTROL);
  if (c < 0x20) return Make(0, PKF_CONTROL);
  if (c == ' ') return Make(kVkSpace, 0, c);
  if (c >= 'a' && c <= 'z') return Make(static_cast<int>(c - 'a' + 'A'), 0, c);
  if (c >= 'A' && c <= 'Z') return Make(static_cast<int>(c), PKF_SHIFT, c);
  if (c >= '0' && c <= '9') return Make(static_cast<int>(c), 0, c);
  if (c >= 0x80 && c < 0xA0) return Make(0, 0);  // C1 controls
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return Make(0, 0);
  return Make(0, 0, c);
}

// The key of a "CSI number ~" sequence, or 0.
int TildeKey(int number) {
  static const struct {
    int Number, Key;
  } kTable[] = {
      {1, VK_HOME},    {2, VK_INSERT},  {3, kVkDelete},   {4, VK_END},
      {5, VK_PRIOR},   {6, VK_NEXT},    {7, VK_HOME},     {8, VK_END},
      {11, VK_F1},     {12, VK_F1 + 1}, {13, VK_F1 + 2},  {14, VK_F1 + 3},
      {15, VK_F1 + 4}, {17, VK_F1 + 5}, {18, VK_F1 + 6},  {19, VK_F1 + 7},
      {20, VK_F1 + 8}, {21, VK_F1 + 9}, {23, VK_F1 + 10}, {24, VK_F1 + 11},
  };
  for (const auto& row : kTable)
    if (row.Number == number) return row.Key;
  return 0;
}

// The key of a sequence ending in a letter (CSI or SS3), or 0.
int LetterKey(char32_t letter) {
  switch (letter) {
    case 'A':
      return VK_UP;
    case 'B':
      return VK_DOWN;
    case 'C':
      return VK_RIGHT;
    case 'D':
      return VK_LEFT;
    case 'H':
      return VK_HOME;
    case 'F':
      return VK_END;
    case 'P':
      return VK_F1;
    case 'Q':
      return VK_F1 + 1;
    case 'R':
      return VK_F1 + 2;
    case 'S':
      return VK_F1 + 3;
    case 'M':
      return VK_RETURN;  // keypad Enter in application mode
    default:
      return 0;
  }
}

// Splits the parameters "13;5" into at most two numbers; missing ones are 0.
void ReadParameters(const char32_t* p, int n, int* first, int* second) {
  int values[2] = {0, 0};
  int index = 0;
  for (int i = 0; i < n; ++i) {
    if (p[i] == ';') {
      if (++index > 1) break;
    } else if (p[i] >= '0' && p[i] <= '9' && values[index] < 10000) {
      values[index] = values[index] * 10 + static_cast<int>(p[i] - '0');
    }
  }
  *first = values[0];
  *second = values[1];
}

// "ESC [ parameters final": xterm's ~ and letter forms with an optional
// modifier parameter, rxvt's ^ (Ctrl), $ (Shift) and @ (Ctrl+Shift) endings,
// and Shift+Tab.
KeyEvent DecodeCsi(const char32_t* parameters, int n, char32_t final) {
  int first = 0, second = 0;
  ReadParameters(parameters, n, &first, &second);
  if (final == 'Z') return Make(kVkTab, PKF_SHIFT);
  if (final == '~' || final == '^' || final == '$' || final == '@') {
    int key = TildeKey(first);
    unsigned control = ModifierBits(second);
    if (final == '^') control |= PKF_CONTROL;
    if (final == '$') control |= PKF_SHIFT;
    if (final == '@') control |= PKF_CONTROL | PKF_SHIFT;
    return Make(key, key != 0 ? control : 0);
  }
  int key = LetterKey(final);
  // "ESC [ 1 ; 5 A" carries the modifier second, "ESC [ 5 A" (old) first.
  int modifier = second != 0 ? second : first;
  return Make(key, key != 0 ? ModifierBits(modifier) : 0);
}

bool IsFinalByte(char32_t c) { return c >= 0x40 && c <= 0x7E; }

// units[0] is '[' or 'O' after an ESC. Returns the units taken after the
// ESC, or 0 when the sequence is not complete yet (or -1 when it cannot be
// completed: final is set and no end came).
int DecodeSequence(const char32_t* u, int count, int final, KeyEvent* event) {
  if (u[0] == 'O') {
    int i = 1;
    while (i < count && u[i] >= '0' && u[i] <= '9') ++i;  // "ESC O 5 R"
    if (i >= count) return final ? -1 : 0;
    int modifier = i > 1 ? static_cast<int>(u[i - 1] - '0') : 0;
    int key = LetterKey(u[i]);
    *event = Make(key, key != 0 ? ModifierBits(modifier) : 0);
    return i + 1;
  }
  if (count >= 2 && u[1] == '[') {  // linux console "ESC [ [ A" = F1
    if (count < 3) return final ? -1 : 0;
    int key =
        u[2] >= 'A' && u[2] <= 'E' ? VK_F1 + static_cast<int>(u[2] - 'A') : 0;
    *event = Make(key, 0);
    return 3;
  }
  for (int i = 1; i < count; ++i) {
    if (IsFinalByte(u[i])) {
      *event = DecodeCsi(u + 1, i - 1, u[i]);
      return i + 1;
    }
    if (u[i] < 0x20 || u[i] > 0x7E) {  // not a sequence after all
      *event = Make(0, 0);
      return i;
    }
  }
  return final ? -1 : 0;
}

// A sequence after the ESC (u[0] is '[' or 'O'), or Alt with the plain
// letter when it ends there. Returns the units taken including the ESC.
int DecodeEscape(const char32_t* u, int count, int final, KeyEvent* event) {
  int taken = DecodeSequence(u, count, final, event);
  if (taken > 0) return taken + 1;
  if (taken == 0) return 0;
  if (count == 1) {  // a lone "ESC [" or "ESC O": Alt with that key
    *event = DecodeCharacter(u[0]);
    ApplyEscapePrefix(event);
    return 2;
  }
  *event = Make(0, 0);  // a broken sequence is dropped whole
  return count + 1;
}

}  // namespace

void ApplyAltAlternatives(KeyEvent* event) {
  if (event->Control != PKF_ALT) return;
  int key = event->Key;
  if (key == VK_RETURN || (key >= '0' && key <= '9') || key == VK_PRIOR ||
      key == VK_NEXT || key == VK_INSERT)
    event->Control = PKF_CONTROL;
}

void ApplyEscapePrefix(KeyEvent* event) {
  if (event->Key == 0 && event->Char == 0) return;
  if (event->Key >= VK_F1 && event->Key <= VK_F12 && event->Control == 0) {
    event->Control = PKF_CONTROL;
    return;
  }
  event->Control |= PKF_ALT;
  ApplyAltAlternatives(event);
}

int DecodeKeyInput(const char32_t* units, int count, int final,
                   KeyEvent* event) {
  if (count <= 0) return 0;
  if (units[0] != kEsc) {
    *event = DecodeCharacter(units[0]);
    return 1;
  }
  if (count == 1) {
    if (!final) return 0;
    *event = Make(kVkEscape, 0);
    return 1;
  }
  char32_t next = units[1];
  if (next == '[' || next == 'O') {
    int taken = DecodeEscape(units + 1, count - 1, final, event);
    if (taken > 0) ApplyAltAlternatives(event);
    return taken;
  }
  if (next == kEsc) {
    // Esc Esc is Esc at once, unless a sequence follows: Esc then a key.
    if (count == 2 && !final) return 0;
    if (count == 2 || (units[2] != '[' && units[2] != 'O')) {
      *event = Make(kVkEscape, 0);
      return 2;
    }
    int taken = DecodeSequence(units + 2, count - 2, final, event);
    if (taken == 0) return 0;
    if (taken < 0) {  // a broken sequence: the Esc now, the rest after
      *event = Make(kVkEscape, 0);
      return 2;
    }
    ApplyEscapePrefix(event);
    return taken + 2;
  }
  *event = DecodeCharacter(next);
  ApplyEscapePrefix(event);
  return 2;
}

int KeyFromCursesCode(int code, KeyEvent* event) {
  if (code >= KEY_F(1) && code <= KEY_F(60)) {
    int n = code - KEY_F(0);
    static const unsigned kGroups[] = {0, PKF_SHIFT, PKF_CONTROL,
                                       PKF_CONTROL | PKF_SHIFT, PKF_ALT};
    *event = Make(VkFunction((n - 1) % 12 + 1), kGroups[(n - 1) / 12]);
    ApplyAltAlternatives(event);
    return 1;
  }
  static const struct {
    int Code, Key;
    unsigned Control;
  } kTable[] = {
      {KEY_UP, VK_UP, 0},
      {KEY_DOWN, VK_DOWN, 0},
      {KEY_LEFT, VK_LEFT, 0},
      {KEY_RIGHT, VK_RIGHT, 0},
      {KEY_HOME, VK_HOME, 0},
      {KEY_END, VK_END, 0},
      {KEY_PPAGE, VK_PRIOR, 0},
      {KEY_NPAGE, VK_NEXT, 0},
      {KEY_IC, VK_INSERT, 0},
      {KEY_DC, kVkDelete, 0},
      {KEY_BACKSPACE, kVkBack, 0},
      {KEY_ENTER, VK_RETURN, 0},
      {KEY_BTAB, kVkTab, PKF_SHIFT},
      {KEY_SR, VK_UP, PKF_SHIFT},
      {KEY_SF, VK_DOWN, PKF_SHIFT},
      {KEY_SLEFT, VK_LEFT, PKF_SHIFT},
      {KEY_SRIGHT, VK_RIGHT, PKF_SHIFT},
      {KEY_SHOME, VK_HOME, PKF_SHIFT},
      {KEY_SEND, VK_END, PKF_SHIFT},
      {KEY_SPREVIOUS, VK_PRIOR, PKF_SHIFT},
      {KEY_SNEXT, VK_NEXT, PKF_SHIFT},
      {KEY_SIC, VK_INSERT, PKF_SHIFT},
      {KEY_SDC, kVkDelete, PKF_SHIFT},
      {KEY_RESIZE, kKeyResize, 0},
  };
  for (const auto& row : kTable) {
    if (row.Code == code) {
      *event = Make(row.Key, row.Control);
      return 1;
    }
  }
  return 0;
}

int KeyFromExtendedName(const char* name, KeyEvent* event) {
  static const struct {
    const char* Base;
    int Key;
  } kTable[] = {
      {"kUP", VK_UP},     {"kDN", VK_DOWN},   {"kLFT", VK_LEFT},
      {"kRIT", VK_RIGHT}, {"kHOM", VK_HOME},  {"kEND", VK_END},
      {"kNXT", VK_NEXT},  {"kPRV", VK_PRIOR}, {"kIC", VK_INSERT},
      {"kDC", kVkDelete},
  };
  if (name == nullptr) return 0;
  size_t length = std::strlen(name);
  if (length < 3 || name[length - 1] < '2' || name[length - 1] > '8') return 0;
  for (const auto& row : kTable) {
    size_t base = std::strlen(row.Base);
    if (base + 1 == length && std::strncmp(name, row.Base, base) == 0) {
      *event = Make(row.Key, ModifierBits(name[length - 1] - '0'));
      ApplyAltAlternatives(event);
      return 1;
    }
  }
  return 0;
}
