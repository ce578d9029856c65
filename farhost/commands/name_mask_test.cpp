#include "farhost/commands/name_mask.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct MaskCase {
  const char* Mask;
  const char* Name;
  int Matches;
};

TEST(NameMask, MatchesLikeTheHost) {
  const MaskCase cases[] = {
      {"*", "5020", 1},
      {"*", "", 1},
      {"?", "", 0},
      {"?", "7", 1},
      {"1?", "10", 1},
      {"1?", "1", 0},
      {"1?", "100", 0},
      {"*0", "5020", 1},
      {"*0", "5021", 0},
      {"5*2*", "5020", 1},
      {"*.*", "abc", 1},
      {"*.*", "a.b", 1},
      {"*.txt", "a.TXT", 1},
      {"*.txt", "a.txt.gz", 0},
      {"a*b*c", "aXbYc", 1},
      {"a*b*c", "aXcYb", 0},
      {"", "x", 0},
      {"10,20", "20", 1},
      {"10,,20", "15", 0},
      {"x,*", "15", 1},
      {"2.5020.*", "2.5020.100", 1},
      {"2.5020.*", "2.5030.100", 0},
      {"\x8F*", "\xAF\xE0\xA8", 1},  // cp866: П matches п
      {"\x80\x81", "\xA0\xA1", 1},   // АБ and аб
  };
  const CaseTable* cp866 = CaseTableFor(866);
  for (const MaskCase& c : cases)
    EXPECT_EQ(MaskMatches(cp866, c.Mask, c.Name), c.Matches)
        << c.Mask << " " << c.Name;
}

TEST(NameMask, CodePageDecidesTheCase) {
  // 0x80 / 0x87 are Ç / ç in 437 and А / з in 866.
  EXPECT_EQ(MaskMatches(CaseTableFor(437), "\x80", "\x87"), 1);
  EXPECT_EQ(MaskMatches(CaseTableFor(866), "\x80", "\x87"), 0);
}

TEST(NameMask, LongNamesDoNotBlowUp) {
  std::string name(4000, 'a');
  std::string mask = "*a*a*a*a*a*a*a*a*a*b";
  EXPECT_EQ(MaskMatches(CaseTableFor(866), mask.c_str(), name.c_str()), 0);
  name += 'b';
  EXPECT_EQ(MaskMatches(CaseTableFor(866), mask.c_str(), name.c_str()), 1);
}

}  // namespace
