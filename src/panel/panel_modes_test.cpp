#include "panel/panel_modes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/messages.h"
#include "panel/name_filters.h"

namespace {

// Message n reads "M<n>", so a title tells which message it came from.
char g_texts[kMessageCount][16];

void FillMessageTable() {
  for (int n = 0; n < kMessageCount; ++n) {
    std::snprintf(g_texts[n], sizeof(g_texts[n]), "M%d", n);
    MessageTable[n] = g_texts[n];
  }
}

class PanelModesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FillMessageTable();
    BindPanelModes();
    LoadColumnBlock(DefaultColumnBlock, DefaultColumnBlockLength);
  }
  std::string Str(int mode, ModeString which) {
    return ModeColumnString(mode, which);
  }
  std::string Title(int mode, int column) {
    return PanelModeTable.Titles[mode][column];
  }
};

TEST_F(PanelModesTest, DefaultBlockHasTheBuiltInModes) {
  EXPECT_EQ(DefaultColumnBlockLength, 413u);
  struct Row {
    int full;
    const char* types;
    const char* widths;
    const char* stypes;
    const char* swidths;
  };
  const Row rows[kModeCount] = {
      {0, "C0,Z,C1", "6,15,0", "C4,C5,O", "8,11,0"},
      {1, "C0,Z,C1,O,C7", "6,15,24,0,5", "C5,C4,C2,C3", "11,15,16,0"},
      {1, "C0,Z,C1,O,C4,C5", "6,15,16,16,0,11", "C7,C2,LN,C6,C3",
       "5,16,6,10,0"},
      {1, "C0,Z,C1,O,C3", "6,15,16,16,0", "C5,C4,C2,LN,C6,C7",
       "11,20,0,6,10,5"},
      {1, "C0,Z,C1,O,C2", "6,15,18,18,0", "C5,C4,C7,C6,LN,C3",
       "11,15,5,10,6,0"},
      {0, "C0,Z,C3", "6,15,0", "C4,C5,C1", "8,11,0"},
      {0, "C0,Z,C4", "6,15,0", "O,C5,C1", "11,11,0"},
      {0, "C0,Z,C5", "6,0,11", "C4,C5,C1", "8,11,0"},
      {0, "C0,Z,C2", "6,15,0", "C4,C5,C1", "8,11,0"},
      {0, "C0,Z,O", "6,15,0", "C4,C5,C1", "8,11,0"},
  };
  for (int k = 0; k < kModeCount; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(PanelModeTable.Modes[k].FullScreen, rows[k].full);
    EXPECT_EQ(Str(k, kColumnTypes), rows[k].types);
    EXPECT_EQ(Str(k, kColumnWidths), rows[k].widths);
    EXPECT_EQ(Str(k, kStatusColumnTypes), rows[k].stypes);
    EXPECT_EQ(Str(k, kStatusColumnWidths), rows[k].swidths);
    EXPECT_EQ(PanelModeTable.Modes[k].ColumnTypes,
              ModeColumnString(k, kColumnTypes));
  }
}

TEST_F(PanelModesTest, BuildReproducesTheBlockAndLoadsBack) {
  char block[kColumnBlockMax];
  size_t length = BuildColumnBlock(block);
  ASSERT_EQ(length, DefaultColumnBlockLength);
  EXPECT_EQ(0, std::memcmp(block, DefaultColumnBlock, length));

  std::strcpy(ModeColumnString(9, kStatusColumnWidths),
              "123456789012345678901234567890");
  PanelModeTable.Modes[9].FullScreen = 1;
  length = BuildColumnBlock(block);
  BindPanelModes();
  LoadColumnBlock(block, length);
  EXPECT_EQ(Str(9, kStatusColumnWidths), "123456789012345678901234567890");
  EXPECT_EQ(PanelModeTable.Modes[9].FullScreen, 1);
  EXPECT_EQ(PanelModeTable.Modes[0].FullScreen, 0);
}

TEST_F(PanelModesTest, ShortBlockReplacesOnlyWhatItHolds) {
  const char block[] = "A\0B\0C\0D\0+E\0F\0G\0H\0";
  LoadColumnBlock(block, sizeof(block) - 1);
  EXPECT_EQ(Str(0, kColumnTypes), "A");
  EXPECT_EQ(Str(1, kColumnTypes), "E");
  EXPECT_EQ(PanelModeTable.Modes[1].FullScreen, 1);
  EXPECT_EQ(Str(2, kColumnTypes), "C0,Z,C1,O,C4,C5");
  EXPECT_EQ(PanelModeTable.Modes[2].FullScreen, 1);
  EXPECT_EQ(Str(9, kColumnTypes), "C0,Z,O");
}

TEST_F(PanelModesTest, PlusOnlyCountsBeforeTheFirstStringOfAMode) {
  const char block[] = "+A\0+B\0C\0D\0";
  LoadColumnBlock(block, sizeof(block) - 1);
  EXPECT_EQ(PanelModeTable.Modes[0].FullScreen, 1);
  EXPECT_EQ(Str(0, kColumnTypes), "A");
  EXPECT_EQ(Str(0, kColumnWidths), "+B");
}

TEST_F(PanelModesTest, OversizedStringsAreCutToTheirLimits) {
  std::string block(40, 'x');  // over 30 characters
  block += '\0';
  block += std::string(20, ',') + '\0';  // 21 columns
  block += "LAST-WITHOUT-NUL";
  LoadColumnBlock(block.data(), block.size());
  EXPECT_EQ(Str(0, kColumnTypes), std::string(30, 'x'));
  EXPECT_EQ(Str(0, kColumnWidths), std::string(14, ','));
  EXPECT_EQ(Str(0, kStatusColumnTypes), "LAST-WITHOUT-NUL");
  EXPECT_EQ(Str(0, kStatusColumnWidths), "8,11,0");  // untouched
}

TEST_F(PanelModesTest, TitlesFollowTheColumnCodes) {
  struct Case {
    const char* types;
    const char* titles[4];
    int count;
  } cases[] = {
      {"C0,Z,C1", {"M16", "M11", "M18"}, 3},
      {"c0,z", {"?", "?"}, 2},
      {"C0,,Z", {"M16", "?", "M11"}, 3},
      {"C0,Z,", {"M16", "M11", "?"}, 3},
      {"NR,S,N,O", {"?", "?", "M11", "M17"}, 4},
      {"C8,C9,LN,C7", {"M17", "M48", "?", "M24"}, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.types);
    std::strcpy(ModeColumnString(3, kColumnTypes), c.types);
    BuildColumnTitles();
    for (int i = 0; i < c.count; ++i) EXPECT_EQ(Title(3, i), c.titles[i]);
  }
}

TEST_F(PanelModesTest, EmptyColumnTypesKeepTheirTitles) {
  BuildColumnTitles();
  const char* before = PanelModeTable.Titles[5][0];
  ModeColumnString(5, kColumnTypes)[0] = '\0';
  BuildColumnTitles();
  EXPECT_EQ(PanelModeTable.Titles[5][0], before);
}

TEST(NameFilters, CapitaliseAndUnderscores) {
  struct Case {
    const char* in;
    const char* capitalised;
    const char* spaced;
  } cases[] = {
      {"JOHN O'BRIEN-SMITH", "John O'Brien-Smith", "JOHN O'BRIEN-SMITH"},
      {"2ND_HOST", "2Nd_Host", "2ND HOST"},
      {"MC-DONALD'S", "Mc-Donald'S", "MC-DONALD'S"},
      {"", "", ""},
      {"ivan\x8f\x85TROV", "Ivan\x8f\x85Trov", "ivan\x8f\x85TROV"},
      {"a_b__c", "A_B__C", "a b  c"},
  };
  for (const Case& c : cases) {
    char a[64], b[64];
    std::strcpy(a, c.in);
    std::strcpy(b, c.in);
    CapitaliseWords(a);
    UnderscoresToSpaces(b);
    EXPECT_STREQ(a, c.capitalised);
    EXPECT_STREQ(b, c.spaced);
  }
}

}  // namespace
