#include "commands/keys.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "commands/test_host.h"
#include "config/settings.h"
#include "host/startup.h"
#include "panel/navigation.h"

namespace {

struct DirectoryCall {
  std::string Dir;
  int OpMode;
  bool FromItem;
};
std::vector<DirectoryCall> directoryCalls;
int directoryResult = 1;

int RecordSetDirectory(PanelInstance* panel, const char* dir, int opMode) {
  directoryCalls.push_back({dir, opMode, (panel->Flags & PF_FROMITEM) != 0});
  panel->Flags &= ~PF_FROMITEM;
  return directoryResult;
}

class KeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter;
    std::snprintf(SettingsKeyPath, sizeof(SettingsKeyPath),
                  "Software\\TolvaneTest\\keys%d_%u\\Tolvane", ++counter,
                  static_cast<unsigned>(std::rand()));
    SettingsDeleteTree(SettingsKeyPath);
    InstallTestHost(&host);
    CommandSetDirectory = RecordSetDirectory;
    directoryCalls.clear();
    directoryResult = 1;
    std::memset(&panel, 0, sizeof(panel));
    panel.Flags = PF_INUSE;
    std::memcpy(SearchRequest, "?", 2);
    SortOrder = 0;
  }
  void TearDown() override {
    CommandSetDirectory = PanelSetDirectory;
    SettingsDeleteTree(SettingsKeyPath);
  }
  uint32_t StoredDword(const char* name) {
    SettingsKey key;
    uint32_t value = 0xDEADBEEF;
    if (SettingsOpenKey(SettingsKeyPath, &key)) {
      ReadValue(key, name, &value, sizeof(value));
      SettingsCloseKey(key);
    }
    return value;
  }
  void Search(const char* text) {
    std::snprintf(panel.SearchText, sizeof(panel.SearchText), "%s", text);
  }
  // A net listing of 2:5020: "..", nodes 1, 5 and 7.
  std::vector<PluginPanelItem> NetListing() {
    ItemUserData n1 = UserData(2, 5020, 1, 0, 1),
                 n5 = UserData(2, 5020, 5, 0, 1),
                 n7 = UserData(2, 5020, 7, 0, 1);
    return {host.Item("..", ".."), host.Item("1", "2:5020/1", &n1),
            host.Item("5", "2:5020/5", &n5), host.Item("7", "2:5020/7", &n7)};
  }
  // The point list of 2:5020/7: the node's own entry "0" and points 1, 3.
  std::vector<PluginPanelItem> PointListing() {
    ItemUserData node = UserData(2, 5020, 7, 0, 1, 0, 6);
    ItemUserData p1 = UserData(2, 5020, 7, 1, 1, 0, 8);
    ItemUserData p3 = UserData(2, 5020, 7, 3, 3, 0, 8);
    return {host.Item("0", "..", &node), host.Item("1", "2:5020/7.1", &p1),
            host.Item("3", "2:5020/7.3", &p3)};
  }

  TestHost host;
  PanelInstance panel;
};

TEST_F(KeysTest, ModifiersOtherThanCtrlLeaveEveryKeyToTheHost) {
  host.Items = NetListing();
  const unsigned states[] = {PKF_SHIFT, PKF_ALT, PKF_CONTROL | PKF_SHIFT,
                             PKF_CONTROL | PKF_ALT, 0x80000000u};
  const int keys[] = {VK_RETURN, VK_F7, VK_PRIOR, VK_NEXT, VK_INSERT,
                      114,       121,   122,      123};
  for (unsigned state : states)
    for (int key : keys)
      EXPECT_EQ(PanelProcessKey(&panel, key, state), 0) << key << " " << state;
  EXPECT_EQ(PanelProcessKey(&panel, VK_F3, 0), 0);
  EXPECT_EQ(PanelProcessKey(nullptr, VK_RETURN, 0), 0);
  EXPECT_TRUE(directoryCalls.empty());
  EXPECT_TRUE(host.Menus.empty());
  EXPECT_TRUE(host.Inputs.empty());
}

// The Enter action row by row: which entry, where, with what on the
// command line.
TEST_F(KeysTest, EnterActionTable) {
  struct Case {
    const char* What;
    bool Search;
    const char* CommandLine;
    int Key;
    unsigned State;
    int Current;  // index into the net listing, -1 for an empty panel
    bool PointList;
    int DirectoryResult;
    int Expected;
    const char* Dir;  // expected SetDirectory text, null: not called
    int Cursor;       // the redraw's current item
  };
  const Case cases[] = {
      {"command line holds text", false, "dir", VK_RETURN, 0, 2, false, 1, 0,
       nullptr, 0},
      {"Ctrl+PgDn ignores the command line", false, "dir", VK_NEXT, PKF_CONTROL,
       2, false, 1, 1, "2:5020/5", 0},
      {"node in a net listing", false, "", VK_RETURN, 0, 2, false, 1, 1,
       "2:5020/5", 0},
      {".. outside a search", false, "", VK_RETURN, 0, 0, false, 1, 0, nullptr,
       0},
      {".. inside a search", true, "", VK_RETURN, 0, 0, false, 1, 1, "..", 0},
      {"a point", false, "", VK_RETURN, 0, 1, true, 1, 1, nullptr, 0},
      // The list does not change here: the first entry of node 7 after
      // index 0 is point 1.
      {"the node's own entry", false, "", VK_RETURN, 0, 0, true, 1, 1, "..", 1},
      {"empty panel", false, "", VK_RETURN, 0, -1, false, 1, 1, nullptr, 0},
      {"SetDirectory refuses", false, "", VK_RETURN, 0, 3, false, 0, 1,
       "2:5020/7", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    SetUp();
    host = TestHost();
    InstallTestHost(&host);
    if (c.Search) Search("smith");
    host.CommandLine = c.CommandLine;
    if (c.Current >= 0)
      host.Items = c.PointList ? PointListing() : NetListing();
    host.CurrentItem = c.Current < 0 ? 0 : c.Current;
    directoryResult = c.DirectoryResult;
    EXPECT_EQ(PanelProcessKey(&panel, c.Key, c.State), c.Expected);
    if (c.Dir == nullptr) {
      EXPECT_TRUE(directoryCalls.empty());
      for (int command : host.Commands())
        EXPECT_TRUE(command == FCTL_GETPANELINFO || command == FCTL_GETCMDLINE);
      continue;
    }
    ASSERT_EQ(directoryCalls.size(), 1u);
    EXPECT_EQ(directoryCalls[0].Dir, c.Dir);
    EXPECT_EQ(directoryCalls[0].OpMode, 0);
    EXPECT_TRUE(directoryCalls[0].FromItem);
    bool refreshed = host.Commands().back() == FCTL_REDRAWPANEL;
    EXPECT_EQ(refreshed, c.DirectoryResult == 1);
    if (refreshed) {
      EXPECT_EQ(host.Controls.back().Redraw.CurrentItem, c.Cursor);
    }
  }
}

TEST_F(KeysTest, LeavingAPointListPutsTheCursorOnTheNode) {
  host.Items = PointListing();
  host.CurrentItem = 0;
  host.AfterUpdate.push_back(NetListing());
  EXPECT_EQ(PanelProcessKey(&panel, VK_RETURN, 0), 1);
  ASSERT_EQ(host.Commands().back(), FCTL_REDRAWPANEL);
  EXPECT_EQ(host.Controls.back().Redraw.CurrentItem, 3);  // node 7
  EXPECT_EQ(host.Controls.back().Redraw.TopPanelItem, 0);
}

TEST_F(KeysTest, EnteringASearchHitPutsTheCursorOnTheHit) {
  struct Case {
    ItemUserData Hit;
    const char* Description;
    bool PointList;  // what the move lists
    int Expected;
  };
  const Case cases[] = {
      {UserData(2, 5020, 7, 3, 3, 0, 8), "2:5020/7.3", true, 2},
      {UserData(2, 5020, 5, 0, 1, 0, 6), "2:5020/5", false, 2},
      {UserData(2, 5020, 9, 0, 1, 0, 6), "2:5020/9", false, 0},  // gone
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Description);
    SetUp();
    host = TestHost();
    InstallTestHost(&host);
    Search("smith");
    host.Items = {host.Item("..", ".."),
                  host.Item(c.Description, c.Description, &c.Hit)};
    host.CurrentItem = 1;
    host.AfterUpdate.push_back(c.PointList ? PointListing() : NetListing());
    EXPECT_EQ(PanelProcessKey(&panel, VK_RETURN, 0), 1);
    ASSERT_EQ(directoryCalls.size(), 1u);
    EXPECT_EQ(directoryCalls[0].Dir, c.Description);
    EXPECT_EQ(host.Controls.back().Redraw.CurrentItem, c.Expected);
  }
}

TEST_F(KeysTest, CtrlPgUpLeavesOnlyASearch) {
  host.Items = NetListing();
  EXPECT_EQ(PanelProcessKey(&panel, VK_PRIOR, PKF_CONTROL), 0);
  EXPECT_TRUE(directoryCalls.empty());
  EXPECT_TRUE(host.Controls.empty());

  Search("smith");
  directoryResult = 0;  // its result is not looked at
  EXPECT_EQ(PanelProcessKey(&panel, VK_PRIOR, PKF_CONTROL), 1);
  ASSERT_EQ(directoryCalls.size(), 1u);
  EXPECT_EQ(directoryCalls[0].Dir, "..");
  EXPECT_EQ(host.Commands(),
            (std::vector<int>{FCTL_UPDATEPANEL, FCTL_REDRAWPANEL}));
  EXPECT_EQ(host.Controls[1].Redraw.CurrentItem, 0);
  EXPECT_EQ(host.Controls[1].Redraw.TopPanelItem, 0);
}

TEST_F(KeysTest, SearchBoxAndTheTextItPasses) {
  struct Case {
    const char* Typed;  // null: cancelled
    const char* Dir;
  };
  const Case cases[] = {
      {"smith", "?smith"},
      {nullptr, nullptr},
      // A host may give as many characters as the length: one too many.
      {"Dennis Alexis Valin Dittrich, 2:5020",
       "?Dennis Alexis Valin Dittrich, 2:5020"},
      {"Dennis Alexis Valin Dittrich, 2:5020/",
       "?Dennis Alexis Valin Dittrich, 2:5020"},
      {"  Dennis Alexis Valin Dittrich, 2:5020/",
       "?  Dennis Alexis Valin Dittrich, 2:502"},
  };
  std::memcpy(SearchRequest, "?prev", 6);
  std::strcpy(SearchHelpTopic, "<C:\\Far\\Plugins\\Tolvane\\>SearchSysop");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Typed ? c.Typed : "cancel");
    std::string before = SearchRequest;
    directoryCalls.clear();
    host.Controls.clear();
    host.Inputs.clear();
    if (c.Typed) host.InputAnswers.push_back(c.Typed);
    EXPECT_EQ(PanelProcessKey(&panel, VK_F7, 0), 1);
    ASSERT_EQ(host.Inputs.size(), 1u);
    const RecordedInput& in = host.Inputs[0];
    EXPECT_EQ(in.Title, "m44");
    EXPECT_EQ(in.Prompt, "m45");
    EXPECT_EQ(in.History, "SearchText");
    EXPECT_EQ(in.Source, before.substr(1));
    EXPECT_EQ(in.Length, 37);
    EXPECT_EQ(in.Help, "<C:\\Far\\Plugins\\Tolvane\\>SearchSysop");
    EXPECT_EQ(in.Flags, 0x10u);
    if (c.Dir == nullptr) {
      EXPECT_TRUE(directoryCalls.empty());
      EXPECT_TRUE(host.Controls.empty());
      continue;
    }
    ASSERT_EQ(directoryCalls.size(), 1u);
    EXPECT_EQ(directoryCalls[0].Dir, c.Dir);
    EXPECT_EQ(host.Commands(),
              (std::vector<int>{FCTL_UPDATEPANEL, FCTL_REDRAWPANEL}));
  }
}

TEST_F(KeysTest, CurrentEntryTextToCommandLineAndClipboard) {
  struct Case {
    const char* What;
    int Current;  // -1: empty panel
    bool PointList;
    const char* Text;
  };
  const Case cases[] = {
      {"node", 3, false, "2:5020/7"},
      {"..", 0, false, ".."},
      {"point", 2, true, "2:5020/7.3"},
      {"node's own entry", 0, true, "2:5020/7"},
      {"empty panel", -1, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    host.Controls.clear();
    host.Clipboard.clear();
    host.Items.clear();
    if (c.Current >= 0)
      host.Items = c.PointList ? PointListing() : NetListing();
    host.CurrentItem = c.Current < 0 ? 0 : c.Current;
    host.CommandLine = "";
    EXPECT_EQ(PanelProcessKey(&panel, VK_RETURN, PKF_CONTROL), 1);
    EXPECT_EQ(host.Controls.back().Command, FCTL_INSERTCMDLINE);
    EXPECT_EQ(host.Controls.back().Text, std::string(c.Text) + " ");
    EXPECT_EQ(PanelProcessKey(&panel, VK_INSERT, PKF_CONTROL), 1);
    EXPECT_EQ(host.Clipboard, std::vector<std::string>{c.Text});
    // Ins of the keypad, as the host sends Ins from a terminal.
    EXPECT_EQ(PanelProcessKey(&panel, VK_NUMPAD0, PKF_CONTROL), 1);
    EXPECT_EQ(host.Clipboard, std::vector<std::string>(2, c.Text));
    host.CommandLine.assign(1, 'x');  // text on the command line
    EXPECT_EQ(PanelProcessKey(&panel, VK_INSERT, PKF_CONTROL), 0);
    EXPECT_EQ(PanelProcessKey(&panel, VK_NUMPAD0, PKF_CONTROL), 0);
    EXPECT_EQ(host.Clipboard.size(), 2u);
  }
}

TEST_F(KeysTest, LongestAddressFitsWithItsBlank) {
  ItemUserData data = UserData(65535, 65535, 65535, 65535);
  host.Items = {host.Item("x", "x", &data)};
  EXPECT_EQ(PanelProcessKey(&panel, VK_RETURN, PKF_CONTROL), 1);
  EXPECT_EQ(host.Controls.back().Text, "65535:65535/65535.65535 ");
  // A description longer than an address is cut, never overrun.
  host.Items = {host.Item("..", std::string(100, 'd').c_str())};
  EXPECT_EQ(PanelProcessKey(&panel, VK_RETURN, PKF_CONTROL), 1);
  EXPECT_EQ(host.Controls.back().Text, std::string(23, 'd') + " ");
}

TEST_F(KeysTest, SortKeysStoreAndWriteTheOrderAtOnce) {
  for (int key = 114; key <= 121; ++key) {
    host.Controls.clear();
    EXPECT_EQ(PanelProcessKey(&panel, key, PKF_CONTROL), 1);
    EXPECT_EQ(SortOrder, key - 114);
    EXPECT_EQ(StoredDword("SortOrder"), uint32_t(key - 114));
    ASSERT_EQ(host.Commands(),
              (std::vector<int>{FCTL_UPDATEPANEL, FCTL_REDRAWPANEL}));
    EXPECT_TRUE(host.Controls[0].NullParameter);
    EXPECT_TRUE(host.Controls[1].NullParameter);
  }
  host.Controls.clear();
  EXPECT_EQ(PanelProcessKey(&panel, 122, PKF_CONTROL), 1);  // Ctrl+F11
  EXPECT_EQ(SortOrder, 7);
  EXPECT_TRUE(host.Controls.empty());
}

TEST_F(KeysTest, SortMenuItemsMarksAndPosition) {
  host.Texts[MAddress] = "Address";
  host.Texts[MSystem] = "ABCDEFGHIJKLMNOPQRST";  // longer than 17: kept
  host.Texts[MSysop] = std::string(200, 's');    // cut to fit the item
  InstallTestHost(&host);
  SortOrder = 4;
  host.MenuAnswers = {-1};
  EXPECT_EQ(PanelProcessKey(&panel, 123, PKF_CONTROL), 1);
  ASSERT_EQ(host.Menus.size(), 1u);
  const RecordedMenu& menu = host.Menus[0];
  ASSERT_EQ(menu.Items.size(), 8u);
  EXPECT_STREQ(menu.Items[0].Text, "Address          Ctrl-F3");
  EXPECT_STREQ(menu.Items[1].Text, "ABCDEFGHIJKLMNOPQRSTCtrl-F4");
  EXPECT_EQ(std::strlen(menu.Items[2].Text), 126u);  // room for Ctrl-F10
  EXPECT_STREQ(menu.Items[2].Text + 119, "Ctrl-F5");
  EXPECT_STREQ(menu.Items[7].Text, "m26              Ctrl-F10");
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(menu.Items[i].Selected, i == 4);
    EXPECT_EQ(menu.Items[i].Checked, i == 4);
    EXPECT_EQ(menu.Items[i].Separator, 0);
  }
  EXPECT_EQ(menu.X, 4);
  EXPECT_EQ(menu.Y, -1);
  EXPECT_EQ(menu.MaxHeight, 0);
  EXPECT_EQ(menu.Flags, 4u);
  EXPECT_EQ(menu.Title, "m42");
  EXPECT_EQ(menu.Help, "Iface");
  EXPECT_TRUE(menu.BottomNull);
  EXPECT_TRUE(menu.BreakKeysNull);
  EXPECT_EQ(SortOrder, 4);  // cancelled
  EXPECT_EQ(StoredDword("SortOrder"), 0xDEADBEEFu);

  host.Rect = {40, 1, 79, 20};
  host.MenuAnswers = {4};  // the current order again still refreshes
  host.Controls.clear();
  EXPECT_EQ(PanelProcessKey(&panel, 123, PKF_CONTROL), 1);
  EXPECT_EQ(host.Menus[1].X, 79 - 33);
  EXPECT_EQ(StoredDword("SortOrder"), 4u);
  EXPECT_EQ(host.Commands(),
            (std::vector<int>{FCTL_GETPANELINFO, FCTL_UPDATEPANEL,
                              FCTL_REDRAWPANEL}));

  host.MenuAnswers = {6, 8};
  EXPECT_EQ(PanelProcessKey(&panel, 123, PKF_CONTROL), 1);
  EXPECT_EQ(SortOrder, 6);
  EXPECT_EQ(StoredDword("SortOrder"), 6u);
  EXPECT_EQ(PanelProcessKey(&panel, 123, PKF_CONTROL), 1);  // index 8
  EXPECT_EQ(SortOrder, 6);
}

}  // namespace
