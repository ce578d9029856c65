// Moves, opening and the start path over a small nodelist written into a
// temporary directory.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/settings.h"
#include "panel/listing.h"
#include "panel/navigation.h"
#include "panel/panel_test_support.h"

namespace {

using panel_test::Boxes;
using panel_test::Names;

class NavigationFlowTest : public panel_test::PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    WriteNodelist(panel_test::SampleNodelist());
  }
  // What the host would show now: the pending list's names.
  std::string Shown(PanelInstance* panel) {
    PluginPanelItem* items = nullptr;
    int count = 0;
    if (!PanelGetFindData(panel, &items, &count, 0)) return "failed";
    std::string names = Names(items, count);
    PanelFreeFindData(panel, items, count);
    return names;
  }
};

TEST_F(NavigationFlowTest, MovesByPath) {
  PanelInstance* panel = Open(OPEN_FINDLIST);
  const struct {
    const char* Dir;
    int Result;
    const char* At;
    const char* Pending;  // names of the pending list after a move
  } kMoves[] = {
      {"2:345/6", 1, "2:345/6.0 L6", "0 1 2"},
      {"..", 1, "2:345/0.0 L4", ".. 0 6 7"},
      {"7", 1, "2:345/7.0 L6", "0"},
      {"\\", 1, "0:0/0.0 L0", "1 2"},
      {"2:", 1, "2:0/0.0 L2", ".. 2 50 345"},
      {"2:345/6.7", 1, "2:345/6.0 L6", "0 1 2"},
      {"..\\..\\50", 1, "2:50/0.0 L4", ".. 0"},
      {"9:9999/9999", 0, "2:50/0.0 L4", ""},
      {"2:345/8", 0, "2:50/0.0 L4", ""},
  };
  for (const auto& m : kMoves) {
    Boxes().clear();
    EXPECT_EQ(PanelSetDirectory(panel, m.Dir, 0), m.Result) << m.Dir;
    EXPECT_EQ(At(panel), m.At) << m.Dir;
    if (m.Result) {
      EXPECT_TRUE(Boxes().empty()) << m.Dir;
      EXPECT_EQ(panel->PendingCount > 0, true) << m.Dir;
      EXPECT_EQ(Shown(panel), m.Pending) << m.Dir;
      EXPECT_EQ(panel->PendingItems, nullptr);
    } else {
      ASSERT_EQ(Boxes().size(), 1u) << m.Dir;
      EXPECT_EQ(Boxes()[0], "M7|M9|M46");
      EXPECT_EQ(panel->PendingItems, nullptr);
      EXPECT_EQ(panel->PendingCount, 0);
    }
  }
  // Silent refusal of a location that holds no entry.
  Boxes().clear();
  EXPECT_EQ(PanelSetDirectory(panel, "9:1", OPM_SILENT), 0);
  EXPECT_TRUE(Boxes().empty());
}

// A list that the host never takes is released by the next move or by
// closing; the panel never hands out a stale one.
TEST_F(NavigationFlowTest, UntakenPendingListIsReleased) {
  PanelInstance* panel = Open(OPEN_FINDLIST);
  ASSERT_EQ(PanelSetDirectory(panel, "2:345", 0), 1);
  ASSERT_EQ(PanelSetDirectory(panel, "2:345/6", 0), 1);
  EXPECT_EQ(panel->PendingCount, 3);
  ASSERT_EQ(PanelSetDirectory(panel, "?smith", 0), 1);
  EXPECT_EQ(panel->PendingItems, nullptr);
  EXPECT_EQ(panel->PendingCount, 0);
  EXPECT_EQ(Shown(panel), ".. 2.345.6 2.345.6.2");
  ASSERT_EQ(PanelSetDirectory(panel, "2:345", 0), 1);
  PanelClosePlugin(panel);
  EXPECT_EQ(panel->PendingItems, nullptr);
  EXPECT_EQ(panel->Flags, 0u);
}

TEST_F(NavigationFlowTest, EnterOnASearchHitOpensItsNet) {
  PanelInstance* panel = Open(OPEN_FINDLIST);
  const struct {
    int FromItem;
    const char* Search;
    const char* At;
  } kEnters[] = {
      {1, "smith", "2:345/0.0 L4"},
      {0, "smith", "2:345/6.0 L6"},
      {1, "", "2:345/6.0 L6"},
  };
  for (const auto& e : kEnters) {
    PanelSetDirectory(panel, "\\", OPM_SILENT);
    std::strcpy(panel->SearchText, e.Search);
    if (e.FromItem) panel->Flags |= PF_FROMITEM;
    EXPECT_EQ(PanelSetDirectory(panel, "2:345/6", 0), 1);
    EXPECT_EQ(At(panel), e.At);
    EXPECT_STREQ(panel->SearchText, "");
    EXPECT_FALSE(panel->Flags & PF_FROMITEM);
  }
}

TEST_F(NavigationFlowTest, InteractiveMovesStoreTheStartPath) {
  PanelInstance* panel = Open(OPEN_FINDLIST);
  EXPECT_EQ(PanelSetDirectory(panel, "2:345", OPM_SILENT), 1);
  EXPECT_EQ(StoredStartPath(), "(none)");
  EXPECT_EQ(PanelSetDirectory(panel, "?smith", 0), 1);
  EXPECT_EQ(StoredStartPath(), "(none)");
  EXPECT_EQ(PanelSetDirectory(panel, "..", 0), 1);
  EXPECT_EQ(StoredStartPath(), "(none)");
  EXPECT_EQ(PanelSetDirectory(panel, "6", 0), 1);
  EXPECT_EQ(StoredStartPath(), "\\2:345/6");
  EXPECT_EQ(PanelSetDirectory(panel, "9:1", 0), 0);
  EXPECT_EQ(StoredStartPath(), "\\2:345/6");
}

TEST_F(NavigationFlowTest, OpeningFromMenusAndTheCommandLine) {
  StoreStartPath("\\2:345");
  // Blank, however long: the start path, not a path to parse.
  const std::string kBlanks(600, ' ');
  std::string blanksAndTabs;
  for (int i = 0; i < 700; ++i) blanksAndTabs += " \t\t";
  const struct {
    int OpenFrom;
    const char* Text;
    const char* At;  // null: nothing opened
    size_t Boxes;
  } kOpens[] = {
      {OPEN_PLUGINSMENU, "", "2:345/0.0 L4", 0},
      {OPEN_DISKMENU, "", "2:345/0.0 L4", 0},
      {OPEN_COMMANDLINE, "", "2:345/0.0 L4", 0},
      {OPEN_COMMANDLINE, "   ", "2:345/0.0 L4", 0},
      {OPEN_COMMANDLINE, kBlanks.c_str(), "2:345/0.0 L4", 0},
      {OPEN_COMMANDLINE, blanksAndTabs.c_str(), "2:345/0.0 L4", 0},
      {OPEN_COMMANDLINE, "  2:345/6  ", "2:345/6.0 L6", 0},
      {OPEN_COMMANDLINE, "9:9999/9999", nullptr, 1},
      {OPEN_COMMANDLINE, "2:x", nullptr, 1},
      {OPEN_SHORTCUT, "", "0:0/0.0 L0", 0},
      {-1, "", "0:0/0.0 L0", 0},
  };
  for (const auto& o : kOpens) {
    Boxes().clear();
    PanelInstance* panel = Open(o.OpenFrom, o.Text);
    EXPECT_EQ(Boxes().size(), o.Boxes) << o.OpenFrom << o.Text;
    if (o.At == nullptr) {
      EXPECT_EQ(panel, nullptr);
      EXPECT_EQ(PanelSlots[0].Flags, 0u);  // the slot was freed again
      continue;
    }
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(At(panel), o.At) << o.OpenFrom << o.Text;
    PanelClosePlugin(panel);
  }
  EXPECT_EQ(StoredStartPath(), "\\2:345/6");
}

TEST_F(NavigationFlowTest, StartPathThatCannotBeUsedOpensTheRoot) {
  const char* kStored[] = {"\\7:1", "garbage", "\\2:345\\..\\..\\..",
                           "\\2:345/6                          "};
  for (const char* stored : kStored) {
    Boxes().clear();
    StoreStartPath(stored);
    PanelInstance* panel = Open(OPEN_PLUGINSMENU);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(At(panel), "0:0/0.0 L0") << stored;
    EXPECT_TRUE(Boxes().empty()) << stored;
    PanelClosePlugin(panel);
  }
}

}  // namespace
