#include "farhost/host/oem_case.h"

#include <gtest/gtest.h>

namespace {

struct PairCase {
  int CodePage;
  unsigned char Upper;
  unsigned char Lower;
};

// Every pair at the ends of its range, and the single pairs.
const PairCase kPairs[] = {
    {866, 'A', 'a'},   {866, 'Z', 'z'},   {866, 0x80, 0xA0}, {866, 0x8F, 0xAF},
    {866, 0x90, 0xE0}, {866, 0x9F, 0xEF}, {866, 0xF0, 0xF1}, {866, 0xF2, 0xF3},
    {866, 0xF4, 0xF5}, {866, 0xF6, 0xF7}, {437, 'A', 'a'},   {437, 'Z', 'z'},
    {437, 0x80, 0x87}, {437, 0x9A, 0x81}, {437, 0x90, 0x82}, {437, 0x8E, 0x84},
    {437, 0x8F, 0x86}, {437, 0x92, 0x91}, {437, 0x99, 0x94}, {437, 0xA5, 0xA4},
};

TEST(OemCase, PairsMapBothWays) {
  for (const PairCase& c : kPairs) {
    const CaseTable* t = CaseTableFor(c.CodePage);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(OemUpper(t, c.Lower), c.Upper) << c.CodePage << " " << +c.Lower;
    EXPECT_EQ(OemLower(t, c.Upper), c.Lower) << c.CodePage << " " << +c.Upper;
    EXPECT_TRUE(OemIsUpper(t, c.Upper));
    EXPECT_TRUE(OemIsLower(t, c.Lower));
    EXPECT_EQ(OemUpper(t, c.Upper), c.Upper);
    EXPECT_EQ(OemLower(t, c.Lower), c.Lower);
  }
}

struct FixedCase {
  int CodePage;
  unsigned char Byte;
  int Alpha;
};

// Bytes that keep their case: digits, punctuation, box drawing, the gaps
// between the Cyrillic ranges, 437's letters without a capital, and 866's
// Cyrillic small letters read as 437 (they are not letters there).
const FixedCase kFixed[] = {
    {866, '0', 0},  {866, '@', 0},  {866, '[', 0},  {866, '`', 0},
    {866, '{', 0},  {866, 0xB0, 0}, {866, 0xDF, 0}, {866, 0xF8, 0},
    {866, 0xFF, 0}, {437, 0x83, 1}, {437, 0xA0, 1}, {437, 0x98, 1},
    {437, 0xE0, 0}, {437, 0xF1, 0}, {437, 0xB3, 0}, {437, 0xA6, 0},
};

TEST(OemCase, BytesThatKeepTheirCase) {
  for (const FixedCase& c : kFixed) {
    const CaseTable* t = CaseTableFor(c.CodePage);
    EXPECT_EQ(OemUpper(t, c.Byte), c.Byte) << c.CodePage << " " << +c.Byte;
    EXPECT_EQ(OemLower(t, c.Byte), c.Byte) << c.CodePage << " " << +c.Byte;
    EXPECT_EQ(OemIsAlpha(t, c.Byte), c.Alpha) << c.CodePage << " " << +c.Byte;
  }
}

TEST(OemCase, UnknownCodePageHasNoTable) {
  EXPECT_EQ(CaseTableFor(1251), nullptr);
  EXPECT_EQ(CaseTableFor(0), nullptr);
}

struct CompareCase {
  int CodePage;
  const char* A;
  const char* B;
  long long N;
  int Expected;
};

const CompareCase kCompares[] = {
    {866, "hello", "HELLO", -1, 0},
    {866, "\x8f\xe0\xa8\xa2\xa5\xe2", "\xaf\x90\x88\x82\x85\x92", -1, 0},
    {866, "\xf0\xf2", "\xf1\xf3", -1, 0},
    {866, "abc", "abd", -1, -1},
    {866, "abd", "ABC", -1, 1},
    {866, "ab", "abc", -1, -1},
    {866, "abc", "ab", -1, 1},
    {866, "abcX", "ABCy", 3, 0},
    {866, "a", "Z", -1, -1},     // compared as 'A' and 'Z'
    {866, "z", "\x80", -1, -1},  // unsigned: 0x80 after ASCII
    {866, "x", "y", 0, 0},
    {437, "\x87\x81", "\x80\x9a", -1, 0},
    {437, "\xa0", "\x80", -1, 1},  // á has no capital in 437
    {437, "\xa0", "\xa0", -1, 0},
    {437, "\xa0", "\x81", -1, 1},   // ü upper-cases to 0x9A, before 0xA0
    {866, "\xa0", "\x81", -1, -1},  // а is А (0x80) in 866
};

TEST(OemCase, CompareOrdersByUpperCasedBytes) {
  for (const CompareCase& c : kCompares) {
    EXPECT_EQ(OemCompareNoCase(CaseTableFor(c.CodePage), c.A, c.B, c.N),
              c.Expected)
        << c.CodePage << " '" << c.A << "' '" << c.B << "' " << c.N;
  }
}

}  // namespace
