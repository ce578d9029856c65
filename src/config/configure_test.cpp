#include "config/configure.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <string>

#include "commands/test_host.h"
#include "config/settings.h"
#include "panel/panel_modes.h"

namespace {

// 'A' an upper-case letter, 'a' a lower-case one, '9' a digit, '_' a digit
// or a blank; every other character stands for itself.
bool MatchesForm(const std::string& text, const std::string& form) {
  if (text.size() != form.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    bool digit = c >= '0' && c <= '9';
    bool ok = form[i] == 'A'   ? (c >= 'A' && c <= 'Z')
              : form[i] == 'a' ? (c >= 'a' && c <= 'z')
              : form[i] == '9' ? digit
              : form[i] == '_' ? (digit || c == ' ')
                               : c == form[i];
    if (!ok) return false;
  }
  return true;
}

class ConfigureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter;
    std::snprintf(SettingsKeyPath, sizeof(SettingsKeyPath),
                  "Software\\TolvaneTest\\configure%d_%u\\Tolvane", ++counter,
                  static_cast<unsigned>(std::rand()));
    SettingsDeleteTree(SettingsKeyPath);
    InstallTestHost(&host);
    BindPanelModes();
    LoadColumnBlock(DefaultColumnBlock, DefaultColumnBlockLength);
    ResetSettings();
  }
  void TearDown() override { SettingsDeleteTree(SettingsKeyPath); }

  bool Stored(const char* name, void* value, uint32_t size) {
    SettingsKey key;
    if (!SettingsOpenKey(SettingsKeyPath, &key)) return false;
    int read = ReadValue(key, name, value, size);
    SettingsCloseKey(key);
    return read != 0;
  }
  uint32_t StoredDword(const char* name) {
    uint32_t value = 0xDEADBEEF;
    Stored(name, &value, sizeof(value));
    return value;
  }
  // The user's edits in the main dialog, played at its first showing.
  void TypeInMain(std::function<void(FarDialogItem*)> edit) {
    host.EditDialog = [edit](size_t call, FarDialogItem* items, int) {
      if (call == 0) edit(items);
    };
  }

  TestHost host;
};

TEST_F(ConfigureTest, MainDialogShowsTheCurrentSettings) {
  std::strcpy(NodelistPath, "C:\\FIDO\\");
  std::strcpy(NodelistName, "NET");
  Options = 0xFFFFFF00u | 0x15;  // bits 0, 2 and 4
  DisksMenuDigit = 5;
  EXPECT_EQ(RunMainDialog(), 0);
  DisksMenuDigit = 0;
  EXPECT_EQ(RunMainDialog(), 0);
  ASSERT_EQ(host.Dialogs.size(), 2u);
  const RecordedDialog& d = host.Dialogs[0];
  ASSERT_EQ(d.Items.size(), 17u);
  EXPECT_EQ(d.X2, 76);
  EXPECT_EQ(d.Y2, 16);
  EXPECT_EQ(d.Help, "CfgMain");
  EXPECT_STREQ(d.Items[0].Data, "m29");
  EXPECT_EQ(d.Items[0].Y2, 14);
  EXPECT_EQ(d.Items[0].X2, 72);
  EXPECT_STREQ(d.Items[2].Data, "C:\\FIDO\\");
  EXPECT_STREQ(d.Items[2].History, "Tolvane\\PathHistory");
  EXPECT_EQ(d.Items[2].X2, 70);
  EXPECT_STREQ(d.Items[7].Data, "NET");
  EXPECT_STREQ(d.Items[7].History, "Tolvane\\NodexHistory");
  EXPECT_EQ(d.Items[7].X2, 70);
  EXPECT_EQ(d.Items[8].Flags, 0x14200u);
  EXPECT_EQ(d.Items[14].Flags, 0x10200u);
  EXPECT_EQ(d.Items[10].X2, 7);
  EXPECT_STREQ(d.Items[10].Data, "5");
  EXPECT_STREQ(host.Dialogs[1].Items[10].Data, " ");
  const int boxes[] = {4, 5, 9, 12, 13};
  const int ticked[] = {1, 0, 1, 0, 1};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(d.Items[boxes[i]].Selected, ticked[i]);
  EXPECT_EQ(d.Items[2].Focus, 1);
  EXPECT_EQ(d.Items[15].DefaultButton, 1);
  EXPECT_STREQ(d.Items[15].Data, "m46");
  EXPECT_STREQ(d.Items[16].Data, "m47");
  EXPECT_FALSE(Stored("Options", nullptr, 0));  // nothing saved
}

TEST_F(ConfigureTest, DigitFieldGivesADigitOnlyForOneToNine) {
  struct Case {
    const char* Typed;
    int Digit;
  };
  const Case cases[] = {{"1", 1}, {"9", 9}, {"5x", 5}, {"0", 0},
                        {" ", 0}, {"", 0},  {"x", 0},  {":", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Typed);
    DisksMenuDigit = 3;
    host.Dialogs.clear();
    host.DialogAnswers = {15};
    std::string typed = c.Typed;
    TypeInMain([typed](FarDialogItem* items) {
      std::strcpy(items[10].Data, typed.c_str());
    });
    EXPECT_EQ(RunMainDialog(), 1);
    EXPECT_EQ(DisksMenuDigit, c.Digit);
    EXPECT_EQ(StoredDword("DisksMenuDigit"), uint32_t(c.Digit));
  }
  host.DialogAnswers = {-1};
  host.EditDialog = nullptr;
  host.Dialogs.clear();
  RunMainDialog();
  EXPECT_STREQ(host.Dialogs[0].Items[10].Data, " ");  // shown blank again
}

TEST_F(ConfigureTest, ConfirmingStoresTheFieldsAndKeepsHigherOptionBits) {
  Options = 0xABCDEF00u | 0x0A;  // bits 1 and 3
  host.DialogAnswers = {15};
  TypeInMain([](FarDialogItem* items) {
    std::strcpy(items[2].Data, "D:\\NODELIST");
    std::strcpy(items[7].Data, "MYLIST");
    for (int box : {4, 5, 9, 12, 13})
      items[box].Selected = !items[box].Selected;
  });
  EXPECT_EQ(RunMainDialog(), 1);
  EXPECT_EQ(Options, 0xABCDEF00u | 0x15);
  EXPECT_STREQ(NodelistPath, "D:\\NODELIST\\");  // applied
  EXPECT_STREQ(NodelistName, "MYLIST");
  EXPECT_EQ(StoredDword("Options"), 0xABCDEF00u | 0x15);
  char stored[300] = "";
  ASSERT_TRUE(Stored("Path to nodelist", stored, sizeof(stored)));
  EXPECT_STREQ(stored, "D:\\NODELIST");  // saved before applying
  EXPECT_EQ(OpenFlags, 3);
}

TEST_F(ConfigureTest, OnlyOkChangesAnything) {
  const int answers[] = {-1, 16, 2, 0};
  for (int answer : answers) {
    SCOPED_TRACE(answer);
    host.DialogAnswers = {answer};
    TypeInMain([](FarDialogItem* items) {
      std::strcpy(items[2].Data, "X:\\");
      items[4].Selected = 0;
      std::strcpy(items[10].Data, "7");
    });
    EXPECT_EQ(RunMainDialog(), 0);
    EXPECT_STREQ(NodelistPath, "");
    EXPECT_EQ(Options, 9u);
    EXPECT_EQ(DisksMenuDigit, 0);
  }
  EXPECT_FALSE(Stored("Options", nullptr, 0));
}

// A typed directory or name that does not fit its setting is refused with
// a box and shown again as typed; what fits is taken.
TEST_F(ConfigureTest, TextsThatDoNotFitAreRefusedNotLost) {
  struct Case {
    std::string Path, Name;
    bool Taken;
  };
  const Case cases[] = {
      {std::string(258, 'p'), "N", true},
      {std::string(258, 'p') + "\\", "N", true},
      {std::string(258, 'p') + "/", "N", true},
      {std::string(259, 'p'), "N", false},
      {std::string(400, 'p'), "N", false},
      {"P", std::string(255, 'n'), true},
      {"P", std::string(256, 'n'), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Path.size());
    ResetSettings();
    host.Dialogs.clear();
    host.Messages.clear();
    host.DialogAnswers = {15, -1};
    Case typed = c;
    TypeInMain([typed](FarDialogItem* items) {
      std::strcpy(items[2].Data, typed.Path.c_str());
      std::strcpy(items[7].Data, typed.Name.c_str());
    });
    EXPECT_EQ(RunMainDialog(), c.Taken ? 1 : 0);
    if (c.Taken) {
      EXPECT_EQ(std::string(NodelistPath).substr(0, c.Path.size()), c.Path);
      EXPECT_EQ(NodelistName, c.Name);
      EXPECT_TRUE(host.Messages.empty());
      continue;
    }
    EXPECT_STREQ(NodelistPath, "");
    EXPECT_STREQ(NodelistName, "NODEX");
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Flags, 1u);
    EXPECT_EQ(host.Messages[0].Lines[0], "m0");
    EXPECT_EQ(host.Messages[0].Lines[1].rfind("m8 '", 0), 0u);
    ASSERT_EQ(host.Dialogs.size(), 2u);  // shown again with the typed text
    EXPECT_EQ(std::string(host.Dialogs[1].Items[2].Data),
              c.Path.substr(0, 511));
    EXPECT_EQ(std::string(host.Dialogs[1].Items[7].Data), c.Name);
  }
}

TEST_F(ConfigureTest, PanelModeDialogEditsOneModeInUpperCase) {
  host.DialogAnswers = {12};
  host.EditDialog = [](size_t, FarDialogItem* items, int) {
    std::strcpy(items[2].Data, "c0,z");
    std::strcpy(items[4].Data, "c4,o");
    std::strcpy(items[6].Data, "6,0");
    std::strcpy(items[8].Data, "0123456789012345678901234567890123456789");
    items[10].Selected = 0;
  };
  EXPECT_EQ(RunPanelModeDialog(3, "Mode &3"), 1);
  const RecordedDialog& d = host.Dialogs[0];
  ASSERT_EQ(d.Items.size(), 14u);
  EXPECT_EQ(d.X2, 72);
  EXPECT_EQ(d.Y2, 12);
  EXPECT_EQ(d.Help, "CfgPnl");
  EXPECT_STREQ(d.Items[0].Data, "Mode &3");
  EXPECT_EQ(d.Items[0].Y2, 10);
  EXPECT_STREQ(d.Items[2].Data, "C0,Z,C1,O,C3");
  EXPECT_STREQ(d.Items[4].Data, "C5,C4,C2,LN,C6,C7");
  EXPECT_STREQ(d.Items[6].Data, "6,15,16,16,0");
  EXPECT_STREQ(d.Items[8].Data, "11,20,0,6,10,5");
  EXPECT_STREQ(d.Items[2].History, "Tolvane\\ColTypeHistory");
  EXPECT_STREQ(d.Items[4].History, "Tolvane\\ColWidthHistory");
  EXPECT_STREQ(d.Items[6].History, "Tolvane\\StatColTypeHistory");
  EXPECT_STREQ(d.Items[8].History, "Tolvane\\StatColWidthHistory");
  EXPECT_EQ(d.Items[2].X2, 34);
  EXPECT_EQ(d.Items[4].X2, 66);
  EXPECT_EQ(d.Items[11].X2, 66);
  EXPECT_EQ(d.Items[10].Selected, 1);
  EXPECT_EQ(d.Items[12].DefaultButton, 1);

  EXPECT_STREQ(ModeColumnString(3, kColumnTypes), "C0,Z");
  EXPECT_STREQ(ModeColumnString(3, kStatusColumnTypes), "C4,O");
  EXPECT_STREQ(ModeColumnString(3, kColumnWidths), "6,0");
  EXPECT_STREQ(ModeColumnString(3, kStatusColumnWidths),
               "012345678901234567890123456789");
  EXPECT_EQ(PanelModeTable.Modes[3].FullScreen, 0);
  EXPECT_STREQ(ModeColumnString(2, kColumnTypes), "C0,Z,C1,O,C4,C5");
  EXPECT_EQ(PanelModeTable.Titles[3][0], MessageTable[MKind]);  // applied
  char block[kColumnBlockMax];
  ASSERT_TRUE(Stored("ColumnTypes", block, sizeof(block)));
  ASSERT_EQ(host.Controls.size(), 2u);
  EXPECT_EQ(host.Controls[0].Command, FCTL_REDRAWANOTHERPANEL);
  EXPECT_EQ(host.Controls[1].Command, FCTL_REDRAWPANEL);
  for (const RecordedControl& c : host.Controls) {
    EXPECT_EQ(c.Handle, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(c.NullParameter);
  }
}

TEST_F(ConfigureTest, PanelModeDialogCancelledChangesNothing) {
  host.DialogAnswers = {13};
  host.EditDialog = [](size_t, FarDialogItem* items, int) {
    std::strcpy(items[2].Data, "N");
    items[10].Selected = 1;
  };
  EXPECT_EQ(RunPanelModeDialog(0, "t"), 0);
  EXPECT_STREQ(ModeColumnString(0, kColumnTypes), "C0,Z,C1");
  EXPECT_EQ(PanelModeTable.Modes[0].FullScreen, 0);
  EXPECT_TRUE(host.Controls.empty());
  EXPECT_EQ(RunPanelModeDialog(10, "t"), 0);
  EXPECT_EQ(RunPanelModeDialog(-1, "t"), 0);
  EXPECT_EQ(host.Dialogs.size(), 1u);
}

TEST_F(ConfigureTest, PanelModeMenuTitlesTheDialogWithItsItem) {
  StartPanelMode = 7;
  host.MenuAnswers = {3, 5, -1};
  host.DialogAnswers = {-1, 12};
  EXPECT_EQ(RunPanelModeMenu(), 1);
  ASSERT_EQ(host.Menus.size(), 3u);
  const RecordedMenu& first = host.Menus[0];
  ASSERT_EQ(first.Items.size(), 10u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(std::string(first.Items[i].Text), "m28 &" + std::to_string(i));
    EXPECT_EQ(first.Items[i].Selected, i == 7);
  }
  EXPECT_EQ(first.Flags, 0u);
  EXPECT_EQ(first.Title, "m34");
  EXPECT_EQ(first.Help, "CfgPnl");
  EXPECT_EQ(first.X, -1);
  EXPECT_EQ(first.Y, -1);
  EXPECT_EQ(host.Menus[1].Items[3].Selected, 1);
  EXPECT_EQ(host.Menus[1].Items[7].Selected, 0);
  EXPECT_EQ(host.Menus[2].Items[5].Selected, 1);
  ASSERT_EQ(host.Dialogs.size(), 2u);
  EXPECT_STREQ(host.Dialogs[0].Items[0].Data, "m28 &3");
  EXPECT_STREQ(host.Dialogs[1].Items[0].Data, "m28 &5");

  host.Texts[MModeItem] = std::string(300, 'L');
  InstallTestHost(&host);
  host.MenuAnswers = {-1};
  EXPECT_EQ(RunPanelModeMenu(), 0);
  EXPECT_EQ(std::strlen(host.Menus.back().Items[9].Text), 127u);
  EXPECT_STREQ(host.Menus.back().Items[9].Text + 124, " &9");
}

TEST_F(ConfigureTest, ConfigureMenuAndItsResult) {
  struct Case {
    const char* What;
    std::deque<int> Menus;
    std::deque<int> Dialogs;
    int Expected;
    size_t AboutBoxes;
  };
  const Case cases[] = {
      {"cancelled", {-1}, {}, 0, 0},
      {"about only", {3, 2, 3, -1}, {}, 0, 2},
      {"main confirmed, then cancelled", {0, 0, -1}, {15, -1}, 1, 0},
      {"main cancelled", {0, -1}, {16}, 0, 0},
      {"a mode cancelled", {1, 4, -1, -1}, {-1}, 0, 0},
      {"a mode confirmed", {1, 4, -1, 3, -1}, {12}, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    host.Menus.clear();
    host.Messages.clear();
    host.MenuAnswers = c.Menus;
    host.DialogAnswers = c.Dialogs;
    EXPECT_EQ(PluginConfigure(0), c.Expected);
    EXPECT_TRUE(host.MenuAnswers.empty());
    EXPECT_EQ(host.Messages.size(), c.AboutBoxes);
  }
  const RecordedMenu& menu = host.Menus[0];
  ASSERT_EQ(menu.Items.size(), 4u);
  EXPECT_STREQ(menu.Items[0].Text, "m29");
  EXPECT_STREQ(menu.Items[1].Text, "m34");
  EXPECT_EQ(menu.Items[2].Separator, 1);
  EXPECT_STREQ(menu.Items[3].Text, "m31");
  EXPECT_EQ(menu.Items[0].Selected, 1);
  EXPECT_EQ(menu.Flags, 4u);
  EXPECT_EQ(menu.Title, "m0");
  EXPECT_EQ(menu.Help, "Cfg");
  EXPECT_EQ(menu.X, -1);
  EXPECT_EQ(menu.MaxHeight, 0);
  EXPECT_TRUE(menu.BottomNull);
  // After the panel-mode menu its entry is selected; after the About box,
  // the About entry.
  EXPECT_EQ(host.Menus[3].Items[1].Selected, 1);
  EXPECT_EQ(host.Menus[4].Items[3].Selected, 1);
}

TEST_F(ConfigureTest, AboutBoxLines) {
  ShowAboutBox();
  ASSERT_EQ(host.Messages.size(), 1u);
  const RecordedMessage& m = host.Messages[0];
  EXPECT_EQ(m.Flags, 0u);
  EXPECT_TRUE(m.HelpNull);
  EXPECT_EQ(m.Buttons, 1);
  ASSERT_EQ(m.Lines.size(), 10u);
  EXPECT_EQ(m.Lines[0], "About Plugin");
  EXPECT_EQ(m.Lines[1], "");
  EXPECT_EQ(m.Lines[2], "Tolvane: FidoNet nodelist browser for FAR Manager");
  const std::string prefix = "version " TOLVANE_VERSION ", compiled at ";
  ASSERT_EQ(m.Lines[3].rfind(prefix, 0), 0u);
  EXPECT_TRUE(
      MatchesForm(m.Lines[3].substr(prefix.size()), "Aaa _9 9999 99:99:99"))
      << m.Lines[3];
  EXPECT_EQ(m.Lines[4], "Copyright (c) 2026 the Tolvane developers");
  EXPECT_EQ(m.Lines[5], "");
  EXPECT_FALSE(m.Lines[6].empty());
  EXPECT_FALSE(m.Lines[7].empty());
  EXPECT_EQ(m.Lines[8], "");
  EXPECT_EQ(m.Lines[9], "Ok");
}

}  // namespace
