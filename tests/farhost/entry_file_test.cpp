// Entry files through GetFiles as the host's viewer, editor and file
// search ask for them, the plugin's configuration through the scripted
// front end, and the file search with "containing text".
#include <fstream>
#include <iterator>

#include "farhost/commands/file_fetch.h"
#include "farhost/commands/find_walk.h"
#include "farhost/commands/view_mode.h"
#include "farhost/sys/sys.h"
#include "panel_fixture.h"

namespace {

std::string Golden(const char* name) {
  std::ifstream file(SysJoinPath(TOLVANE_GOLDEN_DIR, name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file),
                     std::istreambuf_iterator<char>());
}

struct GoldenRow {
  const char* Path;
  const char* Item;
  const char* File;
};

const GoldenRow kGolden[] = {
    {"\\", "2", "zone_2.txt"},                      // an INA endpoint
    {"1", "104", "host_1_104.txt"},                 // a host: region
    {"2:5020", "100", "hub_2_5020_100.txt"},        // password, no hub line
    {"2:5020", "101", "node_2_5020_101.txt"},       // hub line and region
    {"2:5020", "105", "node_2_5020_105.txt"},       // endpoints, IPv6
    {"2:5020/100", "1", "point_2_5020_100_1.txt"},  // C0 empty: message 14
};

class EntryFileTest : public PanelTest {};

TEST_F(EntryFileTest, FilesMatchTheGoldenCopies) {
  for (const GoldenRow& row : kGolden) {
    SCOPED_TRACE(row.File);
    PanelModel* panel = Open(row.Path);
    ASSERT_NE(panel, nullptr);
    int index = FindItemByName(*panel, row.Item);
    ASSERT_GE(index, 0) << NamesOf(*panel);
    std::string want = Golden(row.File);
    ASSERT_FALSE(want.empty());
    for (int mode : {OPM_VIEW, OPM_EDIT, OPM_FIND}) {
      std::string text;
      ASSERT_TRUE(FetchEntryFile(host_.get(), panel, index, mode, &text));
      EXPECT_EQ(text, want);
    }
    ClosePanel(host_.get(), panel, 1);
  }
  EXPECT_TRUE(BoxesOf(ui_).empty());
}

TEST_F(EntryFileTest, PlainV7DataHasNoRegionLine) {
  WriteSetting("Options", 0);
  PanelModel* panel = Open("2:5020");
  std::string text;
  ASSERT_TRUE(FetchEntryFile(host_.get(), panel, FindItemByName(*panel, "101"),
                             OPM_VIEW, &text));
  EXPECT_EQ(text, Golden("node_2_5020_101_v7.txt"));
}

TEST_F(EntryFileTest, ASecondRequestWritesNothingAndSaysSo) {
  PanelModel* panel = Open("2:5020");
  PluginPanelItem item =
      panel->Items.at(static_cast<size_t>(FindItemByName(*panel, "101")));
  TempFolder folder;
  std::string dest = SysJoinPath(folder.Path(), "");
  const PluginExports& plugin = host_->Exports();
  std::vector<char> path(dest.begin(), dest.end());
  path.resize(NM, '\0');
  EXPECT_EQ(plugin.GetFiles(panel->Plugin, &item, 1, 0, path.data(), OPM_VIEW),
            1);
  std::string first;
  ASSERT_TRUE(SysReadFile(SysJoinPath(folder.Path(), "101"), 4096, &first));
  EXPECT_EQ(first, Golden("node_2_5020_101.txt"));
  EXPECT_TRUE(BoxesOf(ui_).empty());
  EXPECT_EQ(plugin.GetFiles(panel->Plugin, &item, 1, 0, path.data(), OPM_VIEW),
            0);
  ASSERT_EQ(ui_.Calls().size(), 1u);
  EXPECT_EQ(ui_.Calls()[0].Message.Flags, DWORD{FMSG_WARNING | FMSG_ERRORTYPE});
  EXPECT_EQ(plugin.GetFiles(panel->Plugin, &item, 1, 0, path.data(),
                            OPM_VIEW | OPM_SILENT),
            0);
  EXPECT_EQ(ui_.Calls().size(), 1u);
  std::string again;
  ASSERT_TRUE(SysReadFile(SysJoinPath(folder.Path(), "101"), 4096, &again));
  EXPECT_EQ(again, first);  // never overwritten
}

// GetFiles' 0 is what the host goes by: nothing is opened, and no fault
// of the plugin is recorded; the file search does not count the entry.
TEST_F(EntryFileTest, TheHostTakesZeroAsNothingToShow) {
  PanelModel* panel = Open("2:5020");
  PluginPanelItem item =
      panel->Items.at(static_cast<size_t>(FindItemByName(*panel, "101")));
  item.Flags &= ~PPIF_USERDATA;  // the plugin writes nothing for it
  std::string text = "old";
  for (int mode : {OPM_VIEW, OPM_FIND})
    EXPECT_FALSE(FetchItemFile(host_.get(), panel->Plugin, item, mode, &text));
  EXPECT_EQ(text, "");
  EXPECT_TRUE(host_->errors.empty());
  EXPECT_TRUE(BoxesOf(ui_).empty());
}

TEST_F(EntryFileTest, CopyAndMoveAreRefused) {
  PanelModel* panel = Open("2:5020");
  PluginPanelItem item = panel->Items.at(1);
  TempFolder folder;
  std::vector<char> path(folder.Path().begin(), folder.Path().end());
  path.resize(NM, '\0');
  const int kCases[][2] = {
      {0, 0}, {0, OPM_SILENT}, {1, OPM_VIEW}, {1, OPM_FIND}};
  for (const auto& c : kCases) {
    EXPECT_EQ(host_->Exports().GetFiles(panel->Plugin, &item, 1, c[0],
                                        path.data(), c[1]),
              0);
  }
  std::string text;
  EXPECT_FALSE(SysReadFile(SysJoinPath(folder.Path(), item.FindData.cFileName),
                           4096, &text));
  EXPECT_FALSE(FetchEntryFile(host_.get(), panel, 1, 0, &text));
  EXPECT_FALSE(FetchEntryFile(host_.get(), panel, -1, OPM_VIEW, &text));
  EXPECT_FALSE(FetchEntryFile(host_.get(), panel, 1000, OPM_VIEW, &text));
  EXPECT_TRUE(BoxesOf(ui_).empty());
}

void Collect(const FindHit& hit, void* context) {
  static_cast<std::vector<std::string>*>(context)->push_back(
      hit.Path + (hit.Directory ? "\\" : ""));
}

TEST_F(EntryFileTest, FindWithTextLooksIntoTheFiles) {
  PanelModel* panel = Open("2:5020");
  ASSERT_TRUE(host_->Exports().SetDirectory(panel->Plugin, "\\", OPM_FIND));
  std::vector<std::string> hits;
  FindResult result = FindFilesContaining(host_.get(), panel, "*", "aRbAt st",
                                          FindLimits(), Collect, &hits);
  EXPECT_FALSE(result.CutShort);
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_EQ(hits[0].substr(hits[0].size() - 4), "\\101");
  // Directory items (a node with points) are not searched for text.
  hits.clear();
  FindFilesContaining(host_.get(), panel, "1*", "arbat", FindLimits(), Collect,
                      &hits);
  for (const std::string& hit : hits) EXPECT_NE(hit.back(), '\\') << hit;
  EXPECT_GE(hits.size(), 2u);
  hits.clear();
  FindFilesContaining(host_.get(), panel, "*", "no such text", FindLimits(),
                      Collect, &hits);
  EXPECT_TRUE(hits.empty());
  EXPECT_TRUE(BoxesOf(ui_).empty());
}

class ConfigureTest : public PanelTest {};

TEST_F(ConfigureTest, MainDialogKeepsHighOptionBits) {
  WriteSetting("Options", 0xA5A50000u | 0x1Fu);
  Start();
  ui_.Push(UiAnswer::MenuItem(0));
  ui_.Push(UiAnswer::DialogClose(15).Check(4, 0).SetText(10, "7"));
  ui_.Push(UiAnswer::Cancel());
  EXPECT_EQ(host_->Exports().Configure(0), 1);
  ui_.Push(UiAnswer::MenuItem(0));
  ui_.Push(UiAnswer::DialogClose(16));  // Cancel
  ui_.Push(UiAnswer::Cancel());
  EXPECT_EQ(host_->Exports().Configure(0), 0);
  const std::vector<UiCall>& calls = ui_.Calls();
  ASSERT_EQ(calls.size(), 6u);
  const UiCall& second = calls[4];
  ASSERT_EQ(second.kind, UiCall::kDialog);
  ASSERT_EQ(second.DialogItems.size(), 17u);
  EXPECT_EQ(second.DialogItems[4].Selected, 0);
  for (int item : {5, 9, 12, 13})
    EXPECT_EQ(second.DialogItems[item].Selected, 1);
  EXPECT_EQ(second.DialogItems[10].Data, "7");
  EXPECT_EQ(second.DialogItems[15].DefaultButton, 1);
  EXPECT_EQ(second.DialogItems[2].Focus, 1);
  EXPECT_EQ(second.DialogItems[0].Type, DI_DOUBLEBOX);
  // The stored value keeps bits 5-31.
  ui_.Push(UiAnswer::MenuItem(0));
  ui_.Push(UiAnswer::DialogClose(15).SetText(10, ""));
  ui_.Push(UiAnswer::Cancel());
  EXPECT_EQ(host_->Exports().Configure(0), 1);
  host_.reset();
  ui_.Push(UiAnswer::MenuItem(0));
  ui_.Push(UiAnswer::DialogClose(16));
  ui_.Push(UiAnswer::Cancel());
  Start();
  EXPECT_EQ(host_->Exports().Configure(0), 0);
  const UiCall& reopened = ui_.Calls().back().kind == UiCall::kDialog
                               ? ui_.Calls().back()
                               : ui_.Calls()[ui_.Calls().size() - 2];
  EXPECT_EQ(reopened.DialogItems[10].Data, " ");
}

TEST_F(ConfigureTest, ModeDialogUpperCasesAndAboutConfirmsNothing) {
  Start();
  ui_.Push(UiAnswer::MenuItem(1));
  ui_.Push(UiAnswer::MenuItem(3));
  ui_.Push(UiAnswer::DialogClose(12).SetText(2, "c0,z"));
  ui_.Push(UiAnswer::Cancel());  // the mode menu
  ui_.Push(UiAnswer::MenuItem(3));
  ui_.Push(UiAnswer::Button(0));  // About
  ui_.Push(UiAnswer::Cancel());
  EXPECT_EQ(host_->Exports().Configure(0), 1);
  ui_.Push(UiAnswer::MenuItem(1));
  ui_.Push(UiAnswer::MenuItem(3));
  ui_.Push(UiAnswer::DialogClose(13));
  ui_.Push(UiAnswer::Cancel());
  ui_.Push(UiAnswer::Cancel());
  EXPECT_EQ(host_->Exports().Configure(0), 0);
  const std::vector<UiCall>& calls = ui_.Calls();
  ASSERT_EQ(calls.size(), 12u);
  const UiCall& modeMenu = calls[8];
  ASSERT_EQ(modeMenu.kind, UiCall::kMenu);
  EXPECT_NE(modeMenu.Menu.Items[3].Text.find("&3"), std::string::npos);
  EXPECT_EQ(calls[10].Menu.Items[3].Selected, 1);  // back on mode 3
  const UiCall& dialog = calls[9];
  ASSERT_EQ(dialog.kind, UiCall::kDialog);
  EXPECT_EQ(dialog.DialogItems[2].Data, "C0,Z");
  EXPECT_EQ(dialog.DialogItems[0].Data, modeMenu.Menu.Items[3].Text);
  EXPECT_EQ(calls[5].kind, UiCall::kMessage);  // the About box
  ui_.Push(UiAnswer::MenuItem(3));
  ui_.Push(UiAnswer::Button(0));
  ui_.Push(UiAnswer::Cancel());
  EXPECT_EQ(host_->Exports().Configure(0), 0);
  EXPECT_TRUE(host_->errors.empty());
}

// The host reads one title per column of a mode. A typed column string of
// more than 15 columns is refused with a box that names the limit, and the
// dialog comes back with the text as typed; 15 columns are taken.
TEST_F(ConfigureTest, ModeDialogRefusesMoreColumnsThanAModeHasTitles) {
  const std::string kTooMany(30, ',');  // 31 columns
  const std::string kFifteen = "Z,Z,Z,Z,Z,Z,Z,Z,Z,Z,Z,Z,Z,Z,Z";
  Start();
  for (int item : {2, 4, 6, 8}) {
    ui_.Push(UiAnswer::MenuItem(1));
    ui_.Push(UiAnswer::MenuItem(9));
    ui_.Push(UiAnswer::DialogClose(12).SetText(item, kTooMany));
    ui_.Push(UiAnswer::Button(0));
    ui_.Push(UiAnswer::DialogClose(13));  // Cancel
    ui_.Push(UiAnswer::Cancel());
    ui_.Push(UiAnswer::Cancel());
    EXPECT_EQ(host_->Exports().Configure(0), 0) << item;
    const std::vector<UiCall>& calls = ui_.Calls();
    ASSERT_GE(calls.size(), 5u);
    const UiCall& box = calls[calls.size() - 4];
    ASSERT_EQ(box.kind, UiCall::kMessage) << item;
    EXPECT_EQ(box.Message.Lines, std::vector<std::string>{messages_[15]});
    EXPECT_NE(messages_[15].find("15"), std::string::npos);
    const UiCall& again = calls[calls.size() - 3];
    ASSERT_EQ(again.kind, UiCall::kDialog);
    EXPECT_EQ(again.DialogItems[static_cast<size_t>(item)].Data, kTooMany);
  }
  ui_.Push(UiAnswer::MenuItem(1));
  ui_.Push(UiAnswer::MenuItem(9));
  ui_.Push(UiAnswer::DialogClose(12).SetText(2, kFifteen));
  ui_.Push(UiAnswer::Cancel());
  ui_.Push(UiAnswer::Cancel());
  EXPECT_EQ(host_->Exports().Configure(0), 1);
  PanelModel* panel = Open();
  ASSERT_TRUE(ChangeViewMode(host_.get(), panel, 9));
  EXPECT_EQ(panel->View.ColumnTypes, kFifteen);
  EXPECT_EQ(panel->View.Titles, std::vector<std::string>(15, messages_[11]));
  EXPECT_TRUE(host_->errors.empty());
}

}  // namespace
