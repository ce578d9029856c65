#include "farhost/tui/keys.h"

#include <curses.h>
#include <gtest/gtest.h>

#include <string>

namespace {

const unsigned C = PKF_CONTROL, A = PKF_ALT, S = PKF_SHIFT;

struct SequenceCase {
  const char32_t* Input;
  int Taken;  // units consumed with final set
  int Key;
  unsigned Control;
  char32_t Char;
};

// What terminals send, with final set (nothing more is coming).
const SequenceCase kSequences[] = {
    {U"a", 1, 'A', 0, U'a'},
    {U"Z", 1, 'Z', S, U'Z'},
    {U"7", 1, '7', 0, U'7'},
    {U" ", 1, kVkSpace, 0, U' '},
    {U"\u0436", 1, 0, 0, U'\u0436'},  // a Cyrillic letter from the keyboard
    {U"\r", 1, VK_RETURN, 0, 0},
    {U"\t", 1, kVkTab, 0, 0},
    {U"\x7f", 1, kVkBack, 0, 0},
    {U"\x08", 1, kVkBack, 0, 0},
    {U"\x19", 1, 'Y', C, 0},
    {U"\x1b", 1, kVkEscape, 0, 0},
    {U"\x1b\x1b", 2, kVkEscape, 0, 0},
    // xterm and tmux: Ctrl+F3..F12, Ctrl+PgUp/PgDn/Ins, Ctrl+Down
    {U"\x1b[13;5~", 7, VK_F3, C, 0},
    {U"\x1b[24;5~", 7, VK_F12, C, 0},
    {U"\x1b[1;5R", 6, VK_F3, C, 0},
    {U"\x1b[5;5~", 6, VK_PRIOR, C, 0},
    {U"\x1b[6;5~", 6, VK_NEXT, C, 0},
    {U"\x1b[2;5~", 6, VK_INSERT, C, 0},
    {U"\x1b[1;5B", 6, VK_DOWN, C, 0},
    {U"\x1b[1;2A", 6, VK_UP, S, 0},
    {U"\x1b[1;6C", 6, VK_RIGHT, C | S, 0},
    {U"\x1b[1;3B", 6, VK_DOWN, A, 0},
    {U"\x1b[18;3~", 7, VK_F7, A, 0},  // Alt+F7 stays Alt (the host's search)
    {U"\x1b[3~", 4, kVkDelete, 0, 0},
    {U"\x1b[Z", 3, kVkTab, S, 0},
    {U"\x1bOR", 3, VK_F3, 0, 0},
    {U"\x1bO5R", 4, VK_F3, C, 0},
    {U"\x1bOH", 3, VK_HOME, 0, 0},
    {U"\x1b[[C", 4, VK_F3, 0, 0},     // linux console
    {U"\x1b[13^", 5, VK_F3, C, 0},    // rxvt
    {U"\x1b[5^", 4, VK_PRIOR, C, 0},  // rxvt
    // the alternatives: Alt+Enter, Alt+digit, Alt+PgUp/PgDn/Ins give Ctrl
    {U"\x1b\r", 2, VK_RETURN, C, 0},
    {U"\x1b"
     U"5",
     2, '5', C, U'5'},
    {U"\x1b"
     U"0",
     2, '0', C, U'0'},
    {U"\x1b[5;3~", 6, VK_PRIOR, C, 0},
    {U"\x1b[6;3~", 6, VK_NEXT, C, 0},
    {U"\x1b[2;3~", 6, VK_INSERT, C, 0},
    // Esc then a function key is Ctrl with it; Esc then a letter is Alt
    {U"\x1b\x1b[13~", 6, VK_F3, C, 0},
    {U"\x1b\x1bOR", 4, VK_F3, C, 0},
    {U"\x1b\x1b[B", 4, VK_DOWN, A, 0},
    {U"\x1b\x1b[5~", 5, VK_PRIOR, C, 0},  // Esc then PgUp
    {U"\x1b\x1b[2~", 5, VK_INSERT, C, 0},
    {U"\x1b\x1b[13;2~", 8, VK_F3, S | A, 0},  // Esc then Shift+F3
    {U"\x1bx", 2, 'X', A, U'x'},
    // broken or unknown sequences are taken whole and give no key
    {U"\x1b[99~", 5, 0, 0, 0},
    {U"\x1b[13;5", 6, 0, 0, 0},
    {U"\x1b[", 2, 0, A, U'['},  // Alt+[
};

TEST(DecodeKeyInput, TerminalSequences) {
  int row = 0;
  for (const SequenceCase& c : kSequences) {
    std::u32string input(c.Input);
    KeyEvent event{-1, 99, 0};
    int taken =
        DecodeKeyInput(input.data(), static_cast<int>(input.size()), 1, &event);
    EXPECT_EQ(c.Taken, taken) << "row " << row;
    EXPECT_EQ(c.Key, event.Key) << "row " << row;
    EXPECT_EQ(c.Control, event.Control) << "row " << row;
    EXPECT_EQ(c.Char, event.Char) << "row " << row;
    ++row;
  }
}

// Prefixes of sequences ask for more while more may come.
TEST(DecodeKeyInput, WaitsForTheRestOfASequence) {
  static const char32_t* const kPrefixes[] = {
      U"\x1b",  U"\x1b[",    U"\x1b[13",   U"\x1b[13;5",
      U"\x1bO", U"\x1b\x1b", U"\x1b\x1b[", U"\x1b[[",
  };
  for (const char32_t* prefix : kPrefixes) {
    std::u32string input(prefix);
    KeyEvent event;
    EXPECT_EQ(0, DecodeKeyInput(input.data(), static_cast<int>(input.size()), 0,
                                &event))
        << input.size();
  }
  KeyEvent event;
  EXPECT_EQ(0, DecodeKeyInput(nullptr, 0, 1, &event));
}

// Only the first key is taken; the rest stays for the next call.
TEST(DecodeKeyInput, TakesOneKeyAtATime) {
  std::u32string input = U"\x1b[A\x1b[Bq";
  KeyEvent event;
  int at = 0;
  int keys[3];
  for (int& key : keys) {
    at += DecodeKeyInput(input.data() + at, static_cast<int>(input.size()) - at,
                         0, &event);
    key = event.Key;
  }
  EXPECT_EQ(VK_UP, keys[0]);
  EXPECT_EQ(VK_DOWN, keys[1]);
  EXPECT_EQ('Q', keys[2]);
  EXPECT_EQ(static_cast<int>(input.size()), at);
  // A control character ends a broken sequence and is read on its own.
  std::u32string broken = U"\x1b[1\r";
  at = DecodeKeyInput(broken.data(), 4, 1, &event);
  EXPECT_EQ(3, at);
  EXPECT_EQ(0, event.Key);
  EXPECT_EQ(1, DecodeKeyInput(broken.data() + at, 1, 1, &event));
  EXPECT_EQ(VK_RETURN, event.Key);
}

TEST(KeyFromCursesCode, FunctionKeyGroupsAndEditingKeys) {
  static const struct {
    int Code, Key;
    unsigned Control;
  } kCases[] = {
      {KEY_F(1), VK_F1, 0},        {KEY_F(12), VK_F12, 0},
      {KEY_F(15), VK_F3, S},       {KEY_F(27), VK_F3, C},
      {KEY_F(36), VK_F12, C},      {KEY_F(39), VK_F3, C | S},
      {KEY_F(55), VK_F7, A},       {KEY_UP, VK_UP, 0},
      {KEY_NPAGE, VK_NEXT, 0},     {KEY_DC, kVkDelete, 0},
      {KEY_BACKSPACE, kVkBack, 0}, {KEY_BTAB, kVkTab, S},
      {KEY_SR, VK_UP, S},          {KEY_ENTER, VK_RETURN, 0},
      {KEY_RESIZE, kKeyResize, 0},
  };
  for (const auto& c : kCases) {
    KeyEvent event{0, 0, 0};
    ASSERT_EQ(1, KeyFromCursesCode(c.Code, &event)) << c.Code;
    EXPECT_EQ(c.Key, event.Key) << c.Code;
    EXPECT_EQ(c.Control, event.Control) << c.Code;
  }
  KeyEvent event;
  EXPECT_EQ(0, KeyFromCursesCode(KEY_F(61), &event));
  EXPECT_EQ(0, KeyFromCursesCode(KEY_MOUSE, &event));
}

TEST(KeyFromExtendedName, TerminfoModifierDigits) {
  static const struct {
    const char* Name;
    int Result, Key;
    unsigned Control;
  } kCases[] = {
      {"kDN5", 1, VK_DOWN, C},
      {"kUP2", 1, VK_UP, S},
      {"kNXT5", 1, VK_NEXT, C},
      {"kPRV3", 1, VK_PRIOR, C},  // Alt+PgUp
      {"kIC5", 1, VK_INSERT, C},
      {"kDC6", 1, kVkDelete, C | S},
      {"kRIT7", 1, VK_RIGHT, C | A},
      {"kHOM8", 1, VK_HOME, C | A | S},
      {"kDN", 0, 0, 0},
      {"kDN9", 0, 0, 0},
      {"kDNX5", 0, 0, 0},
      {"kxIN", 0, 0, 0},
      {"", 0, 0, 0},
  };
  for (const auto& c : kCases) {
    KeyEvent event{0, 0, 0};
    EXPECT_EQ(c.Result, KeyFromExtendedName(c.Name, &event)) << c.Name;
    EXPECT_EQ(c.Key, event.Key) << c.Name;
    EXPECT_EQ(c.Control, event.Control) << c.Name;
  }
  KeyEvent event;
  EXPECT_EQ(0, KeyFromExtendedName(nullptr, &event));
}

TEST(ApplyEscapePrefix, FunctionKeysGetCtrlOthersAlt) {
  static const struct {
    KeyEvent In;
    int Key;
    unsigned Control;
  } kCases[] = {
      {{VK_F3, 0, 0}, VK_F3, C},     {{VK_F12, 0, 0}, VK_F12, C},
      {{VK_F3, S, 0}, VK_F3, S | A}, {{VK_RETURN, 0, 0}, VK_RETURN, C},
      {{VK_NEXT, 0, 0}, VK_NEXT, C}, {{VK_DOWN, 0, 0}, VK_DOWN, A},
      {{'Q', 0, U'q'}, 'Q', A},      {{0, 0, 0}, 0, 0},
  };
  for (const auto& c : kCases) {
    KeyEvent event = c.In;
    ApplyEscapePrefix(&event);
    EXPECT_EQ(c.Key, event.Key);
    EXPECT_EQ(c.Control, event.Control) << c.In.Key;
  }
}

}  // namespace
