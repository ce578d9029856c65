// Listings at the plugin's limits, through the host: a node with more
// points than one item list holds, a damaged index, the hierarchy order in
// a net whose hubs are not in address order, and a nodelist compiled again
// while a panel shows it (nodelists compiled at test time with
// tolvane-compile).
#include <fstream>

#include "farhost/commands/find_walk.h"
#include "farhost/sys/sys.h"
#include "panel/item_list.h"
#include "panel_fixture.h"

namespace {

const char kHeader[] = ";A Test nodelist for day 001 : 00000\r\n";

std::string Line(const std::string& keyword, int number,
                 const std::string& name) {
  return keyword + "," + std::to_string(number) + "," + name +
         ",Town,Some_Sysop,1-555-0000,9600,XA\r\n";
}

// The items one list holds: the list is full when the next item would
// reach its own text area.
int DetailedCapacity() {
  size_t step = sizeof(PluginPanelItem) + item_area::kDetailedSize;
  return static_cast<int>((kItemListReservation - 1) / step);
}

TEST_F(PanelTest, AFullListWarnsOnceAndKeepsItsItems) {
  int capacity = DetailedCapacity();
  if (sizeof(void*) == 4) {
    EXPECT_EQ(capacity, 9437);
  }
  TempFolder folder;
  std::string nodelist = std::string(kHeader) + Line("Zone", 7, "Z") +
                         Line("Host", 70, "H") + Line("", 1, "Boss");
  std::string points = "Boss,7:70/1\r\n";
  for (int point = 1; point <= capacity + 5; ++point)
    points += "," + std::to_string(point) +
              ",P,Town,Point_Sysop,-Unpublished-,9600\r\n";
  ToolRun compiled = CompileNodelist(folder.Path(), nodelist, points);
  ASSERT_EQ(compiled.Status, 0) << compiled.Err;
  WriteText("Path to nodelist", SysJoinPath(folder.Path(), ""));
  PanelModel* panel = Open("7:70/1");
  ASSERT_NE(panel, nullptr);
  ASSERT_EQ(static_cast<int>(panel->Items.size()), capacity);
  std::vector<std::string> boxes = BoxesOf(ui_);
  // The trial listing of the move warns; the host's refresh takes that list.
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], messages_[0] + "|" + messages_[5]);
  const PluginPanelItem& last = panel->Items.back();
  EXPECT_EQ(std::string(last.FindData.cFileName), std::to_string(capacity - 1));
  EXPECT_EQ(std::string(last.Description),
            "7:70/1." + std::to_string(capacity - 1));
  ASSERT_EQ(last.CustomColumnNumber, 10);
  EXPECT_STREQ(last.CustomColumnData[7], "9600");
  EXPECT_STREQ(panel->Items[0].Description, "..");
  // Each new list warns again, once.
  RefreshPanel(host_.get(), panel);
  EXPECT_EQ(BoxesOf(ui_).size(), 2u);
  EXPECT_EQ(static_cast<int>(panel->Items.size()), capacity);
}

TEST_F(PanelTest, DamageIsShownOnceAndEntriesAreKept) {
  TempFolder folder;
  std::string copy = DamagedSample(SysJoinPath(folder.Path(), "nl"));
  WriteText("Path to nodelist", copy);
  PanelModel* panel = Open();
  ASSERT_NE(panel, nullptr);
  std::vector<std::string> boxes = BoxesOf(ui_);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].rfind(messages_[7] + "|Damaged nodelist file ", 0), 0u)
      << boxes[0];
  EXPECT_NE(boxes[0].find("NODEX.NDX"), std::string::npos) << boxes[0];
  EXPECT_FALSE(panel->Items.empty());
  EXPECT_STREQ(panel->Items[0].FindData.cFileName, "1");
}

// Hub 300 comes before hub 200 in the net, and a node without a hub
// follows the host: hierarchy order puts the hub-less first, then each hub
// group in hub order.
TEST_F(PanelTest, HierarchyOrderFollowsHubsInANet) {
  TempFolder folder;
  std::string nodelist = std::string(kHeader) + Line("Zone", 9, "Z") +
                         Line("Host", 100, "H") + Line("", 5, "A") +
                         Line("Hub", 300, "B") + Line("", 1, "C") +
                         Line("", 2, "D") + Line("Hub", 200, "E") +
                         Line("", 3, "F") + Line("", 400, "G");
  ToolRun compiled = CompileNodelist(folder.Path(), nodelist, "");
  ASSERT_EQ(compiled.Status, 0) << compiled.Err;
  WriteText("Path to nodelist", SysJoinPath(folder.Path(), ""));
  const struct {
    int Order;
    const char* Names;
  } cases[] = {
      {0, ".. 0 1 2 3 5 200 300 400"},
      {7, ".. 0 5 200 3 400 300 1 2"},
      {1, ".. 5 300 1 2 200 3 400 0"},
  };
  for (const auto& c : cases) {
    WriteSetting("SortOrder", static_cast<uint32_t>(c.Order));
    host_.reset();
    PanelModel* panel = Open("9:100");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(NamesOf(*panel), c.Names) << c.Order;
  }
}

void CountHit(const FindHit&, void* hits) { ++*static_cast<long*>(hits); }

// How many mappings of files in the folder this process holds, where the
// system lists them (/proc/self/maps); 0 elsewhere.
int MappedFrom(const std::string& folder) {
  std::ifstream maps("/proc/self/maps");
  int count = 0;
  for (std::string line; std::getline(maps, line);)
    count += line.find(folder) != std::string::npos;
  return count;
}

// The weekly update compiles into the folder while a panel shows it, also
// right after the host's file search went through the tree: the compiler
// replaces every file (which Windows refuses while a file is mapped), and
// the panel then lists the new nodelist. The set the search kept mapped is
// closed once the host shows the panel again or closes it (where the
// system lists a process's mappings, that is checked as well).
TEST_F(PanelTest, CompilingIntoTheFolderWhileAPanelIsOpen) {
  TempFolder folder;
  std::string nodelist = std::string(kHeader) + Line("Zone", 9, "Z") +
                         Line("Host", 100, "H") + Line("", 1, "A");
  ASSERT_EQ(CompileNodelist(folder.Path(), nodelist, "").Status, 0);
  WriteText("Path to nodelist", SysJoinPath(folder.Path(), ""));
  PanelModel* panel = Open("9:100");
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(NamesOf(*panel), ".. 0 1");

  nodelist += Line("", 2, "B");
  ToolRun compiled = CompileNodelist(folder.Path(), nodelist, "");
  ASSERT_EQ(compiled.Status, 0) << compiled.Err;
  RefreshPanel(host_.get(), panel);
  EXPECT_EQ(NamesOf(*panel), ".. 0 1 2");

  long hits = 0;
  FindResult found =
      FindFiles(host_.get(), panel, "*", FindLimits(), CountHit, &hits);
  EXPECT_EQ(found.Hits, 2 * 3);            // from the net: each system twice
  ReadOpenPluginInfo(host_.get(), panel);  // the host shows the panel again
  EXPECT_EQ(MappedFrom(folder.Path()), 0);
  nodelist += Line("", 3, "C");
  compiled = CompileNodelist(folder.Path(), nodelist, "");
  ASSERT_EQ(compiled.Status, 0) << compiled.Err;
  RefreshPanel(host_.get(), panel);
  EXPECT_EQ(NamesOf(*panel), ".. 0 1 2 3");

  // A search, and then the panel is closed at once.
  FindFiles(host_.get(), panel, "*", FindLimits(), CountHit, &hits);
  CloseAllPanels(host_.get());
  EXPECT_EQ(MappedFrom(folder.Path()), 0);
  nodelist += Line("", 4, "D");
  compiled = CompileNodelist(folder.Path(), nodelist, "");
  ASSERT_EQ(compiled.Status, 0) << compiled.Err;
  panel = Open("9:100");
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(NamesOf(*panel), ".. 0 1 2 3 4");
  EXPECT_TRUE(BoxesOf(ui_).empty());
}

}  // namespace
