#include "farhost/tui/code_page.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage, KnownPagesOnly) {
  EXPECT_NE(nullptr, CodePageFor(866));
  EXPECT_NE(nullptr, CodePageFor(437));
  EXPECT_EQ(nullptr, CodePageFor(1251));
  EXPECT_EQ(nullptr, CodePageFor(0));
}

// Bytes that matter on the screen: Cyrillic in 866, accented letters and
// Greek in 437, the box characters both pages share.
TEST(CodePage, CharactersOfBothPages) {
  static const struct {
    int Page;
    unsigned char Byte;
    char32_t Unicode;
  } kCases[] = {
      {866, 0x80, U'\u0410'},
      {866, 0x9F, U'\u042F'},
      {866, 0xA0, U'\u0430'},
      {866, 0xAF, U'\u043F'},
      {866, 0xE0, U'\u0440'},
      {866, 0xEF, U'\u044F'},
      {866, 0xF0, U'\u0401'},
      {866, 0xF1, U'\u0451'},
      {866, 0xFC, U'\u2116'},
      {866, 0xFB, U'\u221A'},
      {866, 0xFF, U'\u00A0'},
      {437, 0x80, U'\u00C7'},
      {437, 0x81, U'\u00FC'},
      {437, 0xE1, U'\u00DF'},
      {437, 0xE3, U'\u03C0'},
      {437, 0xFB, U'\u221A'},
      {437, 0xFF, U'\u00A0'},
      // box characters, the same in both pages
      {866, 0xC9, U'\u2554'},
      {866, 0xCD, U'\u2550'},
      {866, 0xBB, U'\u2557'},
      {866, 0xBA, U'\u2551'},
      {866, 0xC4, U'\u2500'},
      {866, 0xB3, U'\u2502'},
      {437, 0xC9, U'\u2554'},
      {437, 0xBC, U'\u255D'},
      {437, 0xDA, U'\u250C'},
      {437, 0xC7, U'\u255F'},
      {437, 0xB6, U'\u2562'},
      // ASCII as itself, control bytes as '?'
      {866, 'A', U'A'},
      {437, '~', U'~'},
      {866, 0x01, U'?'},
      {437, 0x1B, U'?'},
      {866, 0x7F, U'?'},
      {866, 0x00, U'?'},
  };
  for (const auto& c : kCases) {
    const CodePage* page = CodePageFor(c.Page);
    EXPECT_EQ(c.Unicode, OemToUnicode(page, c.Byte))
        << c.Page << " byte " << int{c.Byte};
  }
}

// Every printable byte comes back from its character, in both pages, and
// no two bytes share a character.
TEST(CodePage, RoundTripOfEveryPrintableByte) {
  for (int number : {866, 437}) {
    const CodePage* page = CodePageFor(number);
    for (int b = 0x20; b < 0x100; ++b) {
      if (b == 0x7F) continue;
      char32_t ch = OemToUnicode(page, static_cast<unsigned char>(b));
      EXPECT_EQ(b, UnicodeToOem(page, ch)) << number << " byte " << b;
    }
  }
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarks) {
  static const char32_t kCases[] = {
      U'\u20AC', U'\u0100', U'\u4E2D', U'\U0001F600', 0x01, 0x1B, 0x7F, 0x85};
  for (int number : {866, 437})
    for (char32_t ch : kCases)
      EXPECT_EQ('?', UnicodeToOem(CodePageFor(number), ch)) << int(ch);
  // A Cyrillic letter exists in 866 but not in 437.
  EXPECT_EQ(0xA6, UnicodeToOem(CodePageFor(866), U'\u0436'));
  EXPECT_EQ('?', UnicodeToOem(CodePageFor(437), U'\u0436'));
}

TEST(CodePage, WholeTexts) {
  const CodePage* p866 = CodePageFor(866);
  // "Иван Петров" in 866
  std::string oem = "\x88\xa2\xa0\xad \x8f\xa5\xe2\xe0\xae\xa2";
  EXPECT_EQ("Иван Петров", OemToUtf8(p866, oem));
  EXPECT_EQ(L"Иван Петров", OemToWide(p866, oem));
  EXPECT_EQ(oem, WideToOem(p866, L"Иван Петров"));
  EXPECT_EQ("╔═╗", OemToUtf8(CodePageFor(437), "\xc9\xcd\xbb"));
  EXPECT_EQ("", OemToUtf8(p866, ""));
}

TEST(CodePage, Utf8Encoding) {
  static const struct {
    char32_t Ch;
    const char* Utf8;
  } kCases[] = {
      {U'A', "A"},
      {0x7F, "\x7f"},
      {0x80, "\xc2\x80"},
      {0x7FF, "\xdf\xbf"},
      {0x800, "\xe0\xa0\x80"},
      {0xFFFF, "\xef\xbf\xbf"},
      {0x10000, "\xf0\x90\x80\x80"},
      {0x10FFFF, "\xf4\x8f\xbf\xbf"},
      {0xD800, "\xef\xbf\xbd"},
      {0x110000, "\xef\xbf\xbd"},
  };
  for (const auto& c : kCases) {
    std::string out;
    AppendUtf8(c.Ch, &out);
    EXPECT_EQ(std::string(c.Utf8), out) << int(c.Ch);
  }
}

}  // namespace
