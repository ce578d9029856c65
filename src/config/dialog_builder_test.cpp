#include "config/dialog_builder.h"

#include <gtest/gtest.h>

#include <string>

#include "commands/test_host.h"

namespace {

const uint32_t M = kTemplateMessage;

class DialogBuilderTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallTestHost(&host); }
  TestHost host;
};

TEST_F(DialogBuilderTest, ItemsFollowTheirRows) {
  static const char kText[] = "typed text";
  static const char kHistory[] = "Some\\History";
  DialogTemplateItem rows[] = {
      {DI_TEXT, 5, 2, 0, 0, M, MCfgPathLabel},
      {DI_EDIT, 5, 3, 20, reinterpret_cast<intptr_t>(kHistory), DIF_HISTORY,
       reinterpret_cast<intptr_t>(kText)},
      {DI_CHECKBOX, 7, 4, 0, 1, M | DIF_CENTERGROUP, MOk},
      {DI_TEXT, 5, 5, 0, 0, DIF_SEPARATOR, 0},
      {DI_BUTTON, 5, 6, 0, 0, M, 999},  // not a message: empty
  };
  FarDialogItem items[6];
  std::memset(items, 0x5A, sizeof(items));  // zeroed by the builder
  host.DialogAnswers = {3};
  EXPECT_EQ(BuildDialog("Title", rows, items, 6, "Topic", 2, 5), 3);
  EXPECT_EQ(items[0].Type, DI_DOUBLEBOX);
  EXPECT_STREQ(items[0].Data, "Title");
  EXPECT_STREQ(items[1].Data, "m1");
  EXPECT_EQ(items[1].X2, 0);
  EXPECT_STREQ(items[2].Data, "typed text");
  EXPECT_EQ(items[2].Type, DI_EDIT);
  EXPECT_EQ(items[2].X1, 5);
  EXPECT_EQ(items[2].Y1, 3);
  EXPECT_EQ(items[2].X2, 24);
  EXPECT_EQ(items[2].History, kHistory);
  EXPECT_EQ(items[2].Flags, DIF_HISTORY);
  EXPECT_EQ(items[3].Selected, 1);
  EXPECT_EQ(items[3].Flags, DIF_CENTERGROUP);  // the top bit is not passed
  EXPECT_STREQ(items[3].Data, "m46");
  EXPECT_STREQ(items[4].Data, "");
  EXPECT_STREQ(items[5].Data, "");
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(items[i].Focus, i == 2) << i;
    EXPECT_EQ(items[i].DefaultButton, i == 5) << i;
    EXPECT_EQ(items[i].Y2, i == 0 ? 7 : 0) << i;
  }
  ASSERT_EQ(host.Dialogs.size(), 1u);
  EXPECT_EQ(host.Dialogs[0].Help, "Topic");
}

// Frame and dialog size: w is the widest row, widened by texts of items
// without a right edge (counted from column 5).
TEST_F(DialogBuilderTest, GeometryGrowsWithTexts) {
  struct Case {
    const char* What;
    int8_t Width;  // of row 1
    int8_t TextX;  // column of row 2, a text without a right edge
    size_t TextLength;
    int ExpectedW;
  };
  const Case cases[] = {
      {"widths decide", 66, 5, 10, 66},
      {"text fits", 30, 5, 30, 30},
      {"text one wider", 30, 5, 31, 31},
      {"text further right", 30, 9, 30, 34},
      {"no widths", 0, 5, 12, 12},
      {"text cut to the item", 10, 5, 2000, 511},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    std::string text(c.TextLength, 'x');
    DialogTemplateItem rows[] = {
        {DI_EDIT, 5, 2, c.Width, 0, 0, 0},
        {DI_TEXT, c.TextX, 3, 0, 0, 0,
         reinterpret_cast<intptr_t>(text.c_str())},
        {DI_BUTTON, 5, 9, 0, 0, 0, 0},
    };
    FarDialogItem items[4];
    host.Dialogs.clear();
    EXPECT_EQ(BuildDialog(nullptr, rows, items, 4, "T", 0, 3), -1);
    EXPECT_EQ(items[0].X1, 3);
    EXPECT_EQ(items[0].Y1, 1);
    EXPECT_EQ(items[0].X2, c.ExpectedW + 6);
    EXPECT_EQ(items[0].Y2, 10);
    EXPECT_STREQ(items[0].Data, "");
    ASSERT_EQ(host.Dialogs.size(), 1u);
    EXPECT_EQ(host.Dialogs[0].X1, -1);
    EXPECT_EQ(host.Dialogs[0].Y1, -1);
    EXPECT_EQ(host.Dialogs[0].X2, c.ExpectedW + 10);
    EXPECT_EQ(host.Dialogs[0].Y2, 12);
  }
}

TEST_F(DialogBuilderTest, LongMessagesAndTitlesAreCutToTheItemText) {
  host.Texts[MOk] = std::string(700, 'k');
  InstallTestHost(&host);
  std::string title(600, 't');
  DialogTemplateItem rows[] = {{DI_BUTTON, 5, 2, 0, 0, M, MOk}};
  FarDialogItem items[2];
  BuildDialog(title.c_str(), rows, items, 2, "T", 1, 1);
  EXPECT_EQ(std::strlen(items[0].Data), sizeof(items[0].Data) - 1);
  EXPECT_EQ(std::strlen(items[1].Data), sizeof(items[1].Data) - 1);
  EXPECT_EQ(items[0].X2, 511 + 5 - 5 + 6);
}

}  // namespace
