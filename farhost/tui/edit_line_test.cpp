#include "farhost/tui/edit_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

KeyEvent Key(int key, unsigned control = 0) {
  return KeyEvent{key, control, 0};
}
KeyEvent Char(char32_t ch) { return KeyEvent{0, 0, ch}; }

const CodePage* Page() { return CodePageFor(866); }

struct EditCase {
  const char* Initial;
  int MaxLength;
  int Fixed;
  const char* Keys;  // letters type; < > Left Right; H E Home End; B Back;
                     // D Delete; Y Ctrl+Y
  const char* Result;
  int Cursor;
};

const EditCase kCases[] = {
    {"", 10, 0, "abc", "abc", 3},
    {"abc", 10, 0, "<<x", "axbc", 2},
    {"abc", 10, 0, "HxE", "xabc", 4},
    {"abc", 10, 0, "BB", "a", 1},
    {"abc", 10, 0, "HDD", "c", 0},
    {"abc", 10, 0, "D", "abc", 3},   // Delete at the end does nothing
    {"abc", 10, 0, "HB", "abc", 0},  // Backspace at the start does nothing
    {"abc", 10, 0, "Yz", "z", 1},
    {"abcd", 5, 0, "xyz", "abcdx", 5},  // full: further typing is dropped
    {"abc", 10, 0, ">>", "abc", 3},     // the cursor stays after the text
    // fixed width: overwrite within the width, the cursor stays inside
    {"5", 1, 1, "7", "7", 0},
    {" ", 1, 1, "3", "3", 0},
    {"", 1, 1, "12", "2", 0},
    {"", 1, 1, "1B", "1", 0},  // nothing before the cursor
    {"", 1, 1, "1D", "", 0},
    {"N,C0", 6, 1, "Hxy", "xyC0", 2},
    {"N,C0", 6, 1, "abc", "N,C0ac", 5},  // the last column is overwritten
    {"abcdef", 3, 1, "", "abc", 2},      // longer initial text is cut
    {"ab", 3, 1, "E>>>", "ab", 2},
};

TEST(EditLine, Keys) {
  int row = 0;
  for (const EditCase& c : kCases) {
    EditLine line = MakeEditLine(c.Initial, c.MaxLength, c.Fixed);
    for (const char* k = c.Keys; *k != '\0'; ++k) {
      switch (*k) {
        case '<':
          EditKey(&line, Key(VK_LEFT), Page());
          break;
        case '>':
          EditKey(&line, Key(VK_RIGHT), Page());
          break;
        case 'H':
          EditKey(&line, Key(VK_HOME), Page());
          break;
        case 'E':
          EditKey(&line, Key(VK_END), Page());
          break;
        case 'B':
          EditKey(&line, Key(kVkBack), Page());
          break;
        case 'D':
          EditKey(&line, Key(kVkDelete), Page());
          break;
        case 'Y':
          EditKey(&line, Key('Y', PKF_CONTROL), Page());
          break;
        default:
          EditKey(&line, Char(static_cast<char32_t>(*k)), Page());
      }
    }
    EXPECT_EQ(c.Result, line.Text) << "row " << row;
    EXPECT_EQ(c.Cursor, line.Cursor) << "row " << row;
    ++row;
  }
}

TEST(EditLine, TypedCharactersGoThroughTheCodePage) {
  EditLine line = MakeEditLine("", 10, 0);
  EditKey(&line, Char(U'\u0416'), Page());  // Ж
  EditKey(&line, Char(U'\u20AC'), Page());  // not in 866
  EXPECT_EQ("\x86?", line.Text);
}

TEST(EditLine, KeysLeftToTheDialog) {
  static const KeyEvent kKeys[] = {
      {VK_RETURN, 0, 0},         {kVkTab, 0, 0},    {VK_UP, 0, 0},
      {VK_DOWN, PKF_CONTROL, 0}, {kVkEscape, 0, 0}, {'X', PKF_ALT, U'x'},
      {'5', PKF_CONTROL, U'5'},
  };
  for (const KeyEvent& key : kKeys) {
    EditLine line = MakeEditLine("abc", 10, 0);
    EXPECT_EQ(0, EditKey(&line, key, Page())) << key.Key;
    EXPECT_EQ("abc", line.Text);
  }
}

TEST(EditLine, ScrollFollowsTheCursor) {
  EditLine line = MakeEditLine("0123456789", 20, 0);
  ScrollToCursor(&line, 4);
  EXPECT_EQ(7, line.Scroll);  // cursor 10 on the last of 4 columns
  EditKey(&line, Key(VK_HOME), Page());
  ScrollToCursor(&line, 4);
  EXPECT_EQ(0, line.Scroll);
  line.Cursor = 5;
  ScrollToCursor(&line, 0);  // a zero width counts as one column
  EXPECT_EQ(5, line.Scroll);
}

}  // namespace
