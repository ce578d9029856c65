// The plugin's keys and events through the host, on the sample nodelist:
// Enter and its cousins, the sort keys and menu, the search box, the
// command line and clipboard, the view-mode switch before and after the
// panel closes.
#include <cstring>

#include "farhost/commands/key_command.h"
#include "farhost/commands/view_mode.h"
#include "farhost/sys/sys.h"
#include "panel_fixture.h"
#include "platform/platform.h"

namespace {

const int kEnter = 13, kPgUp = 33, kPgDn = 34, kIns = 45, kF3 = 114, kF7 = 118;

class KeyTableTest : public PanelTest {
 protected:
  // A DWORD under the plugin's key; -1 when missing.
  long long ReadDword(const char* name) const {
    SettingsKey key;
    std::string path = rootKey_ + "\\Tolvane";
    if (!SettingsOpenKey(path.c_str(), &key)) return -1;
    unsigned char bytes[4] = {0, 0, 0, 0};
    uint32_t size = sizeof(bytes);
    long long value = -1;
    if (SettingsQueryValue(key, name, bytes, &size, nullptr) && size == 4)
      value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
              static_cast<long long>(bytes[3]) << 24;
    SettingsCloseKey(key);
    return value;
  }
  int Key(PanelModel* panel, int key, unsigned control) {
    return host_->Exports().ProcessKey(panel->Plugin, key, control);
  }
  std::string Current(const PanelModel& panel) {
    if (panel.Items.empty()) return "";
    return panel.Items[static_cast<size_t>(panel.CurrentItem)]
        .FindData.cFileName;
  }
};

struct KeyRow {
  const char* Path;
  const char* Item;         // the cursor's item before the key
  const char* CommandLine;  // the host's command line
  int Key;
  unsigned Control;
  int Returns;
  const char* Dir;      // CurDir afterwards; null: not looked at
  const char* Current;  // the cursor's item afterwards; null: item 0
};

const KeyRow kRows[] = {
    // Enter with text on the command line goes back to the host.
    {"2:5020", "100", "dir", kEnter, 0, 0, "\\2:5020", "100"},
    // ... and Ctrl+PgDn on the same entry still enters it.
    {"2:5020", "100", "dir", kPgDn, PKF_CONTROL, 1, "\\2:5020/100", "0"},
    {"2:5020/100", "2", "", kEnter, 0, 1, "\\2:5020/100", "2"},  // a point
    {"2:5020", "..", "", kEnter, 0, 0, "\\2:5020", ".."},
    {"2:5020/100", "0", "", kEnter, 0, 1, "\\2:5020", "100"},
    {"?petrov", "2.5020.1234", "", kEnter, 0, 1, "\\2:5020", "1234"},
    {"?petrov", "2.5020.100.1", "", kEnter, 0, 1, "\\2:5020/100", "1"},
    {"?petrov", "..", "", kEnter, 0, 1, nullptr, nullptr},
    {"?petrov", "2.5030.15", "", kPgUp, PKF_CONTROL, 1, nullptr, nullptr},
    {"2:5020", "101", "", kPgUp, PKF_CONTROL, 0, "\\2:5020", "101"},
    {"2:5020", "101", "", kF3 + 8, PKF_CONTROL, 1, "\\2:5020", "101"},
    {"2:5020", "101", "", kEnter, PKF_ALT, 0, "\\2:5020", "101"},
    {"2:5020", "101", "", kEnter, PKF_SHIFT, 0, "\\2:5020", "101"},
    {"2:5020", "101", "", kF7, PKF_SHIFT, 0, "\\2:5020", "101"},
};

TEST_F(KeyTableTest, KeysMoveThePanelAsTheTableSays) {
  for (const KeyRow& row : kRows) {
    SCOPED_TRACE(std::string(row.Path) + " " + row.Item + " key " +
                 std::to_string(row.Key));
    PanelModel* panel = Open(row.Path);
    ASSERT_NE(panel, nullptr);
    int index = FindItemByName(*panel, row.Item);
    ASSERT_GE(index, 0) << NamesOf(*panel);
    panel->CurrentItem = index;
    host_->commandLine = row.CommandLine;
    EXPECT_EQ(Key(panel, row.Key, row.Control), row.Returns);
    if (row.Dir != nullptr) {
      EXPECT_EQ(panel->CurDir, row.Dir);
    }
    if (row.Current != nullptr) {
      EXPECT_EQ(Current(*panel), row.Current);
    } else {  // the search was left
      EXPECT_EQ(panel->CurrentItem, 0);
      EXPECT_EQ(NamesOf(*panel).find("2.5020"), std::string::npos);
    }
    ClosePanel(host_.get(), panel, 1);
    host_->commandLine.clear();
  }
  EXPECT_TRUE(host_->errors.empty());
}

// Enter on ".." among search hits leaves the search where it began (the
// plugin takes the key); outside a search the plugin leaves ".." to the
// host, which goes up.
TEST_F(KeyTableTest, HostEnterGoesUpOnlyOutsideASearch) {
  PanelModel* panel = Open("2:5020/100");
  ASSERT_TRUE(ChangeDirectory(host_.get(), panel, "?petrov", 0));
  ASSERT_NE(NamesOf(*panel).find("2.5020.1234"), std::string::npos)
      << NamesOf(*panel);
  panel->CurrentItem = FindItemByName(*panel, "..");
  ASSERT_TRUE(PressEnter(host_.get()));
  EXPECT_EQ(panel->CurDir, "\\2:5020/100");
  EXPECT_EQ(NamesOf(*panel).find("2.5020"), std::string::npos)
      << NamesOf(*panel);
  panel->CurrentItem = FindItemByName(*panel, "0");  // the node's own entry
  ASSERT_TRUE(PressEnter(host_.get()));
  EXPECT_EQ(panel->CurDir, "\\2:5020");
  panel->CurrentItem = FindItemByName(*panel, "..");
  ASSERT_TRUE(PressEnter(host_.get()));  // the plugin leaves it to the host
  EXPECT_EQ(panel->CurDir, "\\2");
  // The host looks for the net by the last part of "\2:5020", "2:5020",
  // which names no item: the cursor keeps the name it was on.
  EXPECT_EQ(Current(*panel), "..");
}

TEST_F(KeyTableTest, SortKeysAndMenuWriteTheOrderAtOnce) {
  PanelModel* panel = Open("2:5020");
  for (int order = 0; order < 8; ++order) {
    EXPECT_EQ(Key(panel, kF3 + order, PKF_CONTROL), 1);
    EXPECT_EQ(ReadDword("SortOrder"), order);
  }
  ui_.Push(UiAnswer::MenuItem(2));
  EXPECT_EQ(Key(panel, kF3 + 9, PKF_CONTROL), 1);
  EXPECT_EQ(ReadDword("SortOrder"), 2);
  ui_.Push(UiAnswer::Cancel());
  EXPECT_EQ(Key(panel, kF3 + 9, PKF_CONTROL), 1);
  EXPECT_EQ(ReadDword("SortOrder"), 2);
  ASSERT_EQ(ui_.Calls().size(), 2u);
  const MenuRequest& menu = ui_.Calls()[1].Menu;
  ASSERT_EQ(menu.Items.size(), 8u);
  EXPECT_TRUE(menu.Items[2].Checked && menu.Items[2].Selected);
}

TEST_F(KeyTableTest, AddressGoesToTheCommandLineAndClipboard) {
  PanelModel* panel = Open("2:5020/100");
  panel->CurrentItem = FindItemByName(*panel, "2");
  EXPECT_EQ(Key(panel, kEnter, PKF_CONTROL), 1);
  EXPECT_EQ(host_->commandLine, "2:5020/100.2 ");
  EXPECT_EQ(Key(panel, kIns, PKF_CONTROL), 0);  // the line is not empty
  EXPECT_EQ(host_->clipboard, "");
  host_->commandLine.clear();
  EXPECT_EQ(Key(panel, kIns, PKF_CONTROL), 1);
  EXPECT_EQ(host_->clipboard, "2:5020/100.2");
}

TEST_F(KeyTableTest, SearchBoxKeepsTheNameAndCancelChangesNothing) {
  PanelModel* panel = Open("2:5020");
  ui_.Push(UiAnswer::Input("petrov"));
  EXPECT_EQ(Key(panel, kF7, 0), 1);
  EXPECT_NE(NamesOf(*panel).find("2.5020.1234"), std::string::npos);
  ui_.Push(UiAnswer::Cancel());
  std::string before = NamesOf(*panel);
  EXPECT_EQ(Key(panel, kF7, 0), 1);
  EXPECT_EQ(NamesOf(*panel), before);
  ASSERT_EQ(ui_.Calls().size(), 2u);
  EXPECT_EQ(ui_.Calls()[1].Input.Initial, "petrov");
  EXPECT_EQ(ui_.Calls()[1].Input.History, "SearchText");
  // An input box has no plugin number: the topic names the help's folder.
  EXPECT_EQ(ui_.Calls()[1].Input.HelpTopic,
            "<" + SysJoinPath(TestPluginFolder(), "") + ">SearchSysop");
}

TEST_F(KeyTableTest, ViewModeIsRememberedUntilThePanelCloses) {
  PanelModel* panel = Open("2:5020");
  std::string types = ModeColumnTypes(host_.get(), panel, 3);
  ASSERT_FALSE(types.empty());
  ASSERT_TRUE(ChangeViewMode(host_.get(), panel, 3));
  EXPECT_EQ(panel->ViewMode, 3);
  EXPECT_EQ(panel->View.ColumnTypes, types);
  EXPECT_EQ(ReadDword("Start Panel Mode"), 3);
  EXPECT_FALSE(ChangeViewMode(host_.get(), panel, 10));
  EXPECT_EQ(host_->Exports().ProcessEvent(panel->Plugin, FE_CLOSE, nullptr), 0);
  ASSERT_TRUE(ChangeViewMode(host_.get(), panel, 5));
  EXPECT_EQ(panel->ViewMode, 5);
  EXPECT_EQ(ReadDword("Start Panel Mode"), 3);
  EXPECT_TRUE(ClosePanel(host_.get(), panel, 0));
  EXPECT_TRUE(host_->panels.empty());
}

struct ParseRow {
  std::vector<std::string> Tokens;
  int Ok;
  size_t Steps;
  size_t AnswersOfLast;
};

TEST(KeySteps, ParsesKeysAndTheirAnswers) {
  const ParseRow rows[] = {
      {{"Down", "Enter", "CtrlF12", "Menu:3"}, 1, 3, 1},
      {{"F7:smith"}, 1, 1, 1},
      {{"CtrlF12", "Esc", "Ctrl7", "CmdLine:a b"}, 1, 3, 0},
      {{"F7", "Input:x", "Button:0", "Dialog:15"}, 1, 1, 3},
      {{"Menu:1", "Enter"}, 0, 0, 0},
      {{"Enter", "Menu:x"}, 0, 0, 0},
      {{"CtrlF2"}, 0, 0, 0},
      {{"CtrlF13"}, 0, 0, 0},
      {{"Ctrl10"}, 0, 0, 0},
      {{"Left"}, 0, 0, 0},
  };
  for (const ParseRow& row : rows) {
    std::vector<KeyStep> steps;
    std::string error;
    int ok = ParseKeySteps(row.Tokens, &steps, &error);
    EXPECT_EQ(ok, row.Ok) << row.Tokens[0];
    if (!ok) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    ASSERT_EQ(steps.size(), row.Steps) << row.Tokens[0];
    EXPECT_EQ(steps.back().Answers.size(), row.AnswersOfLast);
  }
  std::vector<KeyStep> steps;
  std::string error;
  ASSERT_TRUE(ParseKeySteps({"CtrlF10", "Ctrl0", "CtrlPgDn"}, &steps, &error));
  EXPECT_EQ(steps[0].Code, kF3 + 7);
  EXPECT_EQ(steps[0].Control, PKF_CONTROL);
  EXPECT_EQ(steps[1].kind, KeyStep::kViewMode);
  EXPECT_EQ(steps[1].Code, 0);
  EXPECT_EQ(steps[2].Code, kPgDn);
}

}  // namespace
