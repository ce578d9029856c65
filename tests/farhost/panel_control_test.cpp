// The host's side of a panel as the plugin sees it through Control, the
// host's Enter and command line, and the host's file search.
#include <algorithm>
#include <cstring>

#include "farhost/commands/find_walk.h"
#include "farhost/host/services.h"
#include "panel_fixture.h"

namespace {

const unsigned kCtrl = PKF_CONTROL;
const int kF4 = 115;

class ControlTest : public PanelTest {
 protected:
  // Control as the plugin calls it.
  int Control(HANDLE plugin, int command, void* param) {
    PluginStartupInfo info;
    FarStandardFunctions functions;
    FillStartupInfo(host_.get(), &info, &functions);
    return info.Control(plugin, command, param);
  }
  std::string Current(const PanelModel& panel) {
    return panel.Items.at(static_cast<size_t>(panel.CurrentItem))
        .FindData.cFileName;
  }
};

TEST_F(ControlTest, PanelInfoDescribesTheActivePanel) {
  PanelModel* left = Open("2:5020/100");
  PanelModel* right = Open("2:5020");
  ASSERT_TRUE(left != nullptr && right != nullptr);
  right->CurrentItem = 2;
  PanelInfo info;
  ASSERT_EQ(Control(INVALID_HANDLE_VALUE, FCTL_GETPANELINFO, &info), 1);
  EXPECT_EQ(info.Plugin, 1);
  EXPECT_EQ(info.Focus, 1);
  EXPECT_EQ(info.PanelRect.left, 40);
  EXPECT_EQ(info.PanelRect.right, 79);
  EXPECT_EQ(info.ItemsNumber, static_cast<int>(right->Items.size()));
  EXPECT_EQ(info.CurrentItem, 2);
  EXPECT_STREQ(info.CurDir, "\\2:5020");
  EXPECT_STREQ(info.ColumnTypes, "C0,Z,C1");
  EXPECT_STREQ(info.ColumnWidths, "6,15,0");
  EXPECT_EQ(info.ViewMode, 0);
  EXPECT_EQ(info.SortMode, SM_UNSORTED);
  EXPECT_EQ(info.SelectedItemsNumber, 1);
  EXPECT_STREQ(info.SelectedItems->FindData.cFileName, "100");
  // The host's copies: texts and the address block of every item.
  const PluginPanelItem& hub = info.PanelItems[2];
  EXPECT_STREQ(hub.Description, "2:5020/100");
  ASSERT_EQ(hub.CustomColumnNumber, 10);
  EXPECT_STREQ(hub.CustomColumnData[1], "Arbat Hub");
  EXPECT_STREQ(hub.Owner, "Ivan Petrov");
  ASSERT_TRUE(hub.Flags & PPIF_USERDATA);
  unsigned char block[22];
  std::memcpy(block, reinterpret_cast<const void*>(hub.UserData), 22);
  EXPECT_EQ(block[0], 22);
  EXPECT_EQ(block[8] | (block[9] << 8), 100);               // Node
  EXPECT_EQ(info.PanelItems[0].Flags & PPIF_USERDATA, 0u);  // ".."
  // The other panel by its own handle.
  ASSERT_EQ(Control(left->Plugin, FCTL_GETPANELINFO, &info), 1);
  EXPECT_EQ(info.Focus, 0);
  EXPECT_EQ(info.PanelRect.left, 0);
  EXPECT_EQ(info.PanelRect.top, 1);
  EXPECT_EQ(info.PanelRect.bottom, 22);
  EXPECT_STREQ(info.CurDir, "\\2:5020/100");
  EXPECT_EQ(Control(INVALID_HANDLE_VALUE, FCTL_GETPANELINFO, nullptr), 0);
  EXPECT_TRUE(host_->errors.empty());
}

struct RedrawCase {
  int Current, Top;
  int WantCurrent, WantTop;
};

TEST_F(ControlTest, RedrawSetsCursorAndTopWithinTheList) {
  PanelModel* panel = Open("2:5020");
  PanelModel* other = Open("2");
  ASSERT_TRUE(panel != nullptr && other != nullptr);
  int last = static_cast<int>(panel->Items.size()) - 1;
  const RedrawCase cases[] = {
      {5, 3, 5, 3},         {0, 0, 0, 0},   {last, 1, last, 1},
      {99, 99, last, last}, {-4, -1, 0, 0},
  };
  for (const RedrawCase& c : cases) {
    PanelRedrawInfo redraw = {c.Current, c.Top};
    ASSERT_EQ(Control(panel->Plugin, FCTL_REDRAWPANEL, &redraw), 1);
    EXPECT_EQ(panel->CurrentItem, c.WantCurrent) << c.Current;
    EXPECT_EQ(panel->TopItem, c.WantTop) << c.Top;
  }
  // The other panel, seen from the active one.
  PanelRedrawInfo redraw = {4, 2};
  ASSERT_EQ(Control(INVALID_HANDLE_VALUE, FCTL_REDRAWANOTHERPANEL, &redraw), 1);
  EXPECT_EQ(panel->CurrentItem, 4);
  EXPECT_EQ(panel->TopItem, 2);
  EXPECT_EQ(other->CurrentItem, 0);
  EXPECT_EQ(Control(panel->Plugin, FCTL_REDRAWPANEL, nullptr), 1);
  EXPECT_EQ(panel->CurrentItem, 4);
}

// The plugin's sort key refreshes the panel (UPDATEPANEL): the cursor stays
// on the item of the same name at its new place.
TEST_F(ControlTest, UpdateKeepsTheCursorOnTheSameName) {
  PanelModel* panel = Open("1:104");
  ASSERT_NE(panel, nullptr);
  panel->CurrentItem = FindItemByName(*panel, "204");
  int calls = panel->FindDataCalls;
  ASSERT_EQ(host_->Exports().ProcessKey(panel->Plugin, kF4, kCtrl), 1);
  EXPECT_EQ(panel->FindDataCalls, calls + 1);
  EXPECT_EQ(NamesOf(*panel), ".. 204 105 102 0 101 100 200 103 201 104 202");
  EXPECT_EQ(Current(*panel), "204");
  EXPECT_EQ(panel->CurrentItem, 1);
  // Without the name in the new list, the index stays, clamped.
  panel->CurrentItem = static_cast<int>(panel->Items.size()) - 1;
  ASSERT_EQ(Control(panel->Plugin, FCTL_UPDATEPANEL, nullptr), 1);
  EXPECT_EQ(panel->CurrentItem, static_cast<int>(panel->Items.size()) - 1);
  EXPECT_EQ(
      Control(reinterpret_cast<HANDLE>(&calls), FCTL_UPDATEPANEL, nullptr), 0);
  EXPECT_EQ(host_->errors.size(), 1u);
}

// Enter: the plugin enters an entry itself and keeps the cursor on the
// node it came from; on ".." it leaves the key to the host, which goes up
// and looks for the item named by the last part of the old directory: a
// node's ("100" of "\2:5020/100") is found, a net's ("2:5020") is not.
TEST_F(ControlTest, EnterWalksDownAndUp) {
  PanelModel* panel = Open("2:5020");
  ASSERT_NE(panel, nullptr);
  panel->CurrentItem = FindItemByName(*panel, "400");
  ASSERT_EQ(PressEnter(host_.get()), 1);
  EXPECT_EQ(panel->CurDir, "\\2:5020/400");
  EXPECT_EQ(panel->CurrentItem, 0);
  ASSERT_EQ(PressEnter(host_.get()), 1);  // the node's own "0" entry
  EXPECT_EQ(panel->CurDir, "\\2:5020");
  EXPECT_EQ(Current(*panel), "400");
  panel->CurrentItem = 0;  // ".."
  ASSERT_EQ(PressEnter(host_.get()), 1);
  EXPECT_EQ(panel->CurDir, "\\2");
  EXPECT_EQ(Current(*panel), "..");
  host_->commandLine = "dir";  // Enter with text on the command line
  EXPECT_EQ(PressEnter(host_.get()), 0);
  EXPECT_EQ(panel->CurDir, "\\2");
}

TEST_F(ControlTest, CommandLinePrefixOpensAPanel) {
  Start();
  PanelModel* panel = OpenFromCommandLine(host_.get(), "V7:2:5020/100");
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->CurDir, "\\2:5020/100");
  panel = OpenFromCommandLine(host_.get(), "v7:  2:5030 ");
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->CurDir, "\\2:5030");
  EXPECT_EQ(OpenFromCommandLine(host_.get(), "V8:2:5030"), nullptr);
  EXPECT_EQ(OpenFromCommandLine(host_.get(), "V72:5030"), nullptr);
  EXPECT_TRUE(BoxesOf(ui_).empty());
  EXPECT_EQ(OpenFromCommandLine(host_.get(), "V7:9:9999/9999"), nullptr);
  ASSERT_EQ(BoxesOf(ui_).size(), 1u);
  EXPECT_EQ(BoxesOf(ui_)[0], messages_[7] + "|" + messages_[9]);
  EXPECT_EQ(host_->panels.size(), 2u);
}

void Collect(const FindHit& hit, void* context) {
  static_cast<std::vector<std::string>*>(context)->push_back(
      hit.Path + (hit.Directory ? "\\" : ""));
}

int Count(const std::vector<std::string>& hits, const std::string& path) {
  int count = 0;
  for (const std::string& hit : hits) count += hit == path;
  return count;
}

TEST_F(ControlTest, FindWalksTheWholeTree) {
  PanelModel* panel = Open();
  ASSERT_NE(panel, nullptr);
  std::vector<std::string> hits;
  FindResult result =
      FindFiles(host_.get(), panel, "*", FindLimits(), Collect, &hits);
  EXPECT_FALSE(result.CutShort);
  EXPECT_EQ(result.Hits, static_cast<long>(hits.size()));
  EXPECT_EQ(Count(hits, "\\2\\"), 1);
  EXPECT_EQ(Count(hits, "\\2\\5020\\"), 1);
  EXPECT_EQ(Count(hits, "\\2\\5020\\100\\"), 1);  // the node as a directory
  EXPECT_EQ(Count(hits, "\\2\\5020\\100"), 1);    // and as an entry
  EXPECT_EQ(Count(hits, "\\2\\5020\\100\\10"), 1);
  EXPECT_EQ(Count(hits, "\\2\\5020\\100\\0"), 0);  // not listed in find mode
  for (const std::string& hit : hits)
    EXPECT_EQ(hit.find(".."), std::string::npos) << hit;
  // 4 zones, 28 nets, each of the 95 systems as a directory and as an
  // entry, 13 points.
  EXPECT_EQ(hits.size(), 4u + 28u + 2 * 95u + 13u);
  // The plugin stands at the root again.
  RefreshPanel(host_.get(), panel);
  EXPECT_EQ(NamesOf(*panel), "1 2 3 4");
  std::vector<std::string> some;
  FindFiles(host_.get(), panel, "10?,5?", FindLimits(), Collect, &some);
  for (const std::string& hit : some) {
    std::string name = hit.substr(hit.find_last_of('\\', hit.size() - 2) + 1);
    if (name.back() == '\\') name.pop_back();
    EXPECT_TRUE((name.size() == 3 && name.rfind("10", 0) == 0) ||
                (name.size() == 2 && name[0] == '5'))
        << hit;
  }
  EXPECT_EQ(Count(some, "\\1\\104\\"), 1);
  EXPECT_EQ(Count(some, "\\2\\50\\"), 1);
}

TEST_F(ControlTest, FindStopsAtItsBounds) {
  PanelModel* panel = Open();
  ASSERT_NE(panel, nullptr);
  std::vector<std::string> hits;
  FindLimits few;
  few.MaxItems = 10;
  FindResult result = FindFiles(host_.get(), panel, "*", few, Collect, &hits);
  EXPECT_TRUE(result.CutShort);
  EXPECT_LE(hits.size(), 10u);
  FindLimits shallow;
  shallow.MaxDepth = 2;
  hits.clear();
  result = FindFiles(host_.get(), panel, "*", shallow, Collect, &hits);
  EXPECT_TRUE(result.CutShort);
  for (const std::string& hit : hits) {
    std::string path = hit.back() == '\\' ? hit.substr(0, hit.size() - 1) : hit;
    EXPECT_LE(std::count(path.begin(), path.end(), '\\'), 3) << hit;
  }
  // A bound on the hits stops the walk deep in the tree; the plugin still
  // climbs back to where the walk began.
  FindLimits firstHits;
  firstHits.MaxHits = 40;
  hits.clear();
  result = FindFiles(host_.get(), panel, "*", firstHits, Collect, &hits);
  EXPECT_TRUE(result.CutShort);
  EXPECT_EQ(result.Reason, "at 40 hits");
  EXPECT_EQ(hits.size(), 40u);
  RefreshPanel(host_.get(), panel);
  EXPECT_EQ(NamesOf(*panel), "1 2 3 4");
}

}  // namespace
