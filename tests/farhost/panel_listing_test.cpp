// The plugin's panels through the host, on the bundled sample nodelist:
// every level's listing, search hits, the eight sort orders, the path
// grammar through SetDirectory, failed moves, the start path, and the
// panel limit of the plugin.
#include <algorithm>

#include "panel_fixture.h"

namespace {

struct LevelCase {
  const char* Path;  // null: the panel as opened
  const char* CurDir;
  const char* Names;
  const char* FirstDescription;
};

TEST_F(PanelTest, ListsEveryLevel) {
  const LevelCase cases[] = {
      {nullptr, "\\", "1 2 3 4", "1"},
      {"2", "\\2", ".. 2 24 28 34 46 50 240 280 341 2448 5020 5030 5054", ".."},
      {"2:5020", "\\2:5020",
       ".. 0 100 101 102 103 104 105 400 401 402 403 404 1000 1001 1002 1234",
       ".."},
      {"2:5020/100", "\\2:5020/100", "0 1 2 3 4 5 10", ".."},
  };
  for (const LevelCase& c : cases) {
    PanelModel* panel = Open(c.Path);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->CurDir, c.CurDir);
    EXPECT_EQ(NamesOf(*panel), c.Names) << c.CurDir;
    EXPECT_STREQ(panel->Items.at(0).Description, c.FirstDescription);
    ClosePanel(host_.get(), panel, 1);
  }
  EXPECT_TRUE(BoxesOf(ui_).empty());
  EXPECT_TRUE(host_->errors.empty());
}

TEST_F(PanelTest, SearchHitsAreNamedByTheirAddress) {
  PanelModel* panel = Open("?petrov");
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->Title, messages_[43]);
  EXPECT_EQ(panel->CurDir, "\\");
  std::string names = NamesOf(*panel);
  EXPECT_EQ(names.rfind("..", 0), 0u) << names;
  int found = FindItemByName(*panel, "2.5020.100.1");
  ASSERT_GT(found, 0) << names;
  EXPECT_STREQ(panel->Items[static_cast<size_t>(found)].Description,
               "2:5020/100.1");
  found = FindItemByName(*panel, "2.5030.15");
  ASSERT_GT(found, 0) << names;
  EXPECT_STREQ(panel->Items[static_cast<size_t>(found)].Description,
               "2:5030/15");
  // ".." leaves the search for the directory it started from.
  ASSERT_TRUE(ChangeDirectory(host_.get(), panel, "..", 0));
  EXPECT_EQ(NamesOf(*panel), "1 2 3 4");
}

struct SortCase {
  int Order;
  const char* Path;
  const char* Names;
};

TEST_F(PanelTest, SortsByEachOrder) {
  const SortCase cases[] = {
      {0, "1:104", ".. 0 100 101 102 103 104 105 200 201 202 204"},
      {1, "1:104", ".. 204 105 102 0 101 100 200 103 201 104 202"},
      {2, "1:104", ".. 105 204 101 201 100 202 103 102 0 104 200"},
      {3, "1:104", ".. 100 105 103 200 104 0 201 101 202 102 204"},
      {4, "1:104", ".. 103 100 0 200 101 102 104 201 202 204 105"},
      {5, "1:104", ".. 201 101 102 103 104 0 202 200 100 105 204"},
      {6, "1:104", ".. 0 100 101 102 104 200 201 202 204 105 103"},
      {7, "1:104", ".. 0 100 101 102 103 104 105 200 201 202 204"},
      {0, "2", ".. 2 24 28 34 46 50 240 280 341 2448 5020 5030 5054"},
      {7, "2", ".. 2 24 240 2448 28 280 34 341 46 5020 5030 50 5054"},
      {7, "1", ".. 1 10 104 115 11 120"},
      {2, "2:5020/100", "0 3 5 1 4 2 10"},
  };
  for (const SortCase& c : cases) {
    WriteSetting("SortOrder", static_cast<uint32_t>(c.Order));
    host_.reset();
    PanelModel* panel = Open(c.Path);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(NamesOf(*panel), c.Names) << c.Order << " at " << c.Path;
    EXPECT_EQ(panel->SortMode, SM_UNSORTED);
  }
}

// The host's own sort asks the plugin's Compare, which orders by the
// plugin's sort order whatever mode the host picked; ".." stays first.
TEST_F(PanelTest, HostSortUsesCompare) {
  WriteSetting("SortOrder", 1);
  PanelModel* panel = Open("1:104");
  ASSERT_NE(panel, nullptr);
  std::string listed = NamesOf(*panel);
  const int modes[] = {SM_NAME, SM_SIZE, SM_DESCR};
  for (int mode : modes) {
    SetHostSortMode(host_.get(), panel, mode, 0);
    EXPECT_EQ(NamesOf(*panel), listed) << mode;
  }
  SetHostSortMode(host_.get(), panel, SM_NAME, 1);
  EXPECT_EQ(NamesOf(*panel), ".. 202 104 201 103 200 100 101 0 102 105 204");
}

struct PathCase {
  const char* From;
  const char* Dir;
  int Moves;
  const char* CurDir;  // afterwards
  int Box;             // 1: the path error box with message 8
};

TEST_F(PanelTest, FollowsThePathGrammar) {
  const PathCase cases[] = {
      {"2:5020", "\\", 1, "\\", 0},
      {"\\", "2:5020/100", 1, "\\2:5020/100", 0},
      {"\\", "\\2:5020", 1, "\\2:5020", 0},
      {"\\", "\\2\\5020\\100", 1, "\\2:5020/100", 0},
      {"\\", "2:", 1, "\\2", 0},
      {"2:5020", "100", 1, "\\2:5020/100", 0},
      {"2:5020", "/100", 1, "\\2:5020/100", 0},
      {"2:5020", "..\\5030", 1, "\\2:5030", 0},
      {"2:5020/100", "/400", 1, "\\2:5020/400", 0},
      {"2:5020/100", "5030/15", 1, "\\2:5030/15", 0},
      {"2:5020/100", ".1", 1, "\\2:5020/100", 0},
      {"2:5020/100", "1", 1, "\\2:5020/100", 0},
      {"2:5020/100", "..", 1, "\\2:5020", 0},
      {"2", "/6", 0, "\\2", 1},
      {"\\", "2:345/6.7.8", 0, "\\", 1},
      {"\\", "2:x", 0, "\\", 1},
      {"\\", "2/3:4", 0, "\\", 1},
      {"\\", "..", 0, "\\", 0},
      // Numbers above 65535 are no address (2:5020/100 is there).
      {"2:5020", "2:5020/65636", 0, "\\2:5020", 1},
      {"\\", "\\4294967298:5020", 0, "\\", 1},
  };
  Start();
  for (const PathCase& c : cases) {
    PanelModel* panel = Open(c.From);
    ASSERT_NE(panel, nullptr);
    size_t boxes = BoxesOf(ui_).size();
    EXPECT_EQ(ChangeDirectory(host_.get(), panel, c.Dir, 0), c.Moves) << c.Dir;
    EXPECT_EQ(panel->CurDir, c.CurDir) << c.Dir;
    std::vector<std::string> shown = BoxesOf(ui_);
    ASSERT_EQ(shown.size(), boxes + c.Box) << c.Dir;
    if (c.Box) {
      EXPECT_EQ(shown.back(),
                messages_[0] + "|" + messages_[8] + " '" + c.Dir + "'");
    }
    ClosePanel(host_.get(), panel, 1);
  }
}

// Going up, the host looks for the last part of the old directory after
// its last '\' or '/': "100" of "\2:5020/100" names the node left, but
// "2:5020" of "\2:5020" names nothing, so the cursor stays at its index.
TEST_F(PanelTest, GoingUpLooksForTheLastPartOfTheDirectoryLeft) {
  PanelModel* panel = Open("2:5020/100");
  ASSERT_NE(panel, nullptr);
  ASSERT_TRUE(ChangeDirectory(host_.get(), panel, "..", 0));
  int node = panel->CurrentItem;
  EXPECT_STREQ(panel->Items.at(static_cast<size_t>(node)).FindData.cFileName,
               "100");
  ASSERT_TRUE(ChangeDirectory(host_.get(), panel, "..", 0));
  EXPECT_EQ(panel->CurrentItem,
            std::min(node, static_cast<int>(panel->Items.size()) - 1));
  EXPECT_LE(panel->TopItem, panel->CurrentItem);
}

TEST_F(PanelTest, AMoveToNoEntryChangesNothing) {
  PanelModel* panel = Open("2:5020");
  ASSERT_NE(panel, nullptr);
  std::string names = NamesOf(*panel);
  panel->CurrentItem = 3;
  int calls = panel->FindDataCalls;
  const char* const targets[] = {"2:5020/9999", "9:9999/9999", "\\2\\7777"};
  for (const char* target : targets) {
    EXPECT_EQ(ChangeDirectory(host_.get(), panel, target, 0), 0) << target;
    EXPECT_EQ(BoxesOf(ui_).back(), messages_[7] + "|" + messages_[9]);
  }
  EXPECT_EQ(BoxesOf(ui_).size(), 3u);
  EXPECT_EQ(panel->CurDir, "\\2:5020");
  EXPECT_EQ(NamesOf(*panel), names);
  EXPECT_EQ(panel->CurrentItem, 3);
  EXPECT_EQ(panel->FindDataCalls, calls);
  // The plugin still stands where it stood: a refresh lists the same.
  RefreshPanel(host_.get(), panel);
  EXPECT_EQ(NamesOf(*panel), names);
  EXPECT_EQ(ReadText("Start Path"), "\\2:5020");
}

TEST_F(PanelTest, StartPathComesFromInteractiveMovesOnly) {
  PanelModel* panel = Open();
  ASSERT_NE(panel, nullptr);
  ASSERT_TRUE(ChangeDirectory(host_.get(), panel, "2:5020", OPM_SILENT));
  EXPECT_EQ(ReadText("Start Path"), "");
  ASSERT_TRUE(host_->Exports().SetDirectory(panel->Plugin, "\\", OPM_FIND));
  ASSERT_TRUE(host_->Exports().SetDirectory(panel->Plugin, "3", OPM_FIND));
  EXPECT_EQ(ReadText("Start Path"), "");
  ASSERT_TRUE(ChangeDirectory(host_.get(), panel, "\\2:5030", 0));
  EXPECT_EQ(ReadText("Start Path"), "\\2:5030");
  ASSERT_TRUE(ChangeDirectory(host_.get(), panel, "?smith", 0));
  EXPECT_EQ(ReadText("Start Path"), "\\2:5030");
  ClosePanel(host_.get(), panel, 1);
  // A fresh start of the plugin reads it when opened from the plugins menu.
  host_.reset();
  panel = Open();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->CurDir, "\\2:5030");
  // A start path that no longer resolves opens the root without a word.
  WriteText("Start Path", "\\2:9999");
  host_.reset();
  panel = Open();
  EXPECT_EQ(panel->CurDir, "\\");
  EXPECT_TRUE(BoxesOf(ui_).empty());
}

// A number above 65535 on the command line or in the stored start path
// opens nothing: 2:5020/65636 is not 2:5020/100.
TEST_F(PanelTest, NumbersAbove65535OpenNoOtherNode) {
  WriteText("Start Path", "\\2:5020/65636");
  PanelModel* panel = Open();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->CurDir, "\\");
  EXPECT_TRUE(BoxesOf(ui_).empty());
  EXPECT_EQ(OpenFromCommandLine(host_.get(), "V7:2:5020/65636"), nullptr);
  EXPECT_EQ(BoxesOf(ui_),
            std::vector<std::string>{messages_[0] + "|" + messages_[8] +
                                     " '2:5020/65636'"});
  EXPECT_EQ(ReadText("Start Path"), "\\2:5020/65636");
}

TEST_F(PanelTest, ThreePanelsAndAFourthRefused) {
  Start();
  PanelModel* panels[3];
  const char* const paths[] = {"1", "2:5020", "3"};
  for (int i = 0; i < 3; ++i) {
    panels[i] = Open(paths[i]);
    ASSERT_NE(panels[i], nullptr) << i;
  }
  EXPECT_EQ(OpenPanel(host_.get(), OPEN_PLUGINSMENU, 0), nullptr);
  EXPECT_EQ(host_->panels.size(), 3u);
  // Each panel keeps its own place.
  EXPECT_EQ(panels[0]->CurDir, "\\1");
  EXPECT_EQ(panels[1]->CurDir, "\\2:5020");
  EXPECT_EQ(panels[2]->CurDir, "\\3");
  ASSERT_TRUE(ClosePanel(host_.get(), panels[1], 0));
  PanelModel* again = Open("4");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->CurDir, "\\4");
  EXPECT_EQ(panels[0]->CurDir, "\\1");
  EXPECT_TRUE(BoxesOf(ui_).empty());
}

TEST_F(PanelTest, MissingNodelistFilesAreReported) {
  TempFolder empty;
  std::string folder = SysJoinPath(empty.Path(), "");
  WriteText("Path to nodelist", folder);
  PanelModel* panel = Open();
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(panel->Items.empty());
  std::vector<std::string> boxes = BoxesOf(ui_);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], messages_[7] + "|Unable to open " + folder + "NODEX.DAT");
  // A move fails the same way and leaves the panel where it was.
  EXPECT_EQ(ChangeDirectory(host_.get(), panel, "2:5020", 0), 0);
  EXPECT_EQ(BoxesOf(ui_).size(), 2u);
  EXPECT_EQ(panel->CurDir, "\\");
}

}  // namespace
