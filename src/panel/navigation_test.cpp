#include "panel/navigation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/settings.h"
#include "host/messages.h"
#include "panel/listing.h"
#include "panel/panel_modes.h"
#include "panel/panel_test_support.h"

namespace {

using panel_test::Boxes;

class NavigationTest : public panel_test::PanelTest {};

TEST_F(NavigationTest, LocationTextsAndTitles) {
  const struct {
    FtnAddress Address;
    uint16_t Level;
    const char* CurDir;
    const char* Title;
  } kLocations[] = {
      {{}, 0, "\\", "V7 -  \\"},
      {{2, 345, 6, 7}, 0, "\\", "V7 -  \\"},
      {{2}, 2, "\\2", "V7 - M12 2"},
      {{2, 345, 6, 7}, 4, "\\2:345", "V7 - M13 2:345"},
      {{2, 345, 6}, 6, "\\2:345/6", "V7 - M14 2:345/6"},
      {{65535, 65535, 65535, 9},
       6,
       "\\65535:65535/65535",
       "V7 - M14 65535:65535/65535"},
  };
  PanelInstance panel = {};
  for (const auto& l : kLocations) {
    panel.Address = l.Address;
    panel.Level = l.Level;
    FormatPanelLocation(&panel);
    EXPECT_STREQ(panel.CurDir, l.CurDir);
    EXPECT_STREQ(panel.Title, l.Title);
  }
  // A long level word is cut to the field.
  const std::string kLong(200, 'w');
  MessageTable[MNodeWord] = kLong.c_str();
  FormatPanelLocation(&panel);
  EXPECT_EQ(std::strlen(panel.Title), sizeof(panel.Title) - 1);
  EXPECT_EQ(std::string(panel.Title).substr(0, 8), "V7 - www");
}

TEST_F(NavigationTest, OpenPluginInfoDescribesThePanel) {
  PanelInstance* panel = Open(OPEN_FINDLIST);
  ASSERT_NE(panel, nullptr);
  panel->Address = FtnAddress{2, 345};
  panel->Level = 4;
  StartPanelMode = 3;
  OpenPluginInfo info;
  std::memset(&info, 0x5A, sizeof(info));
  PanelGetOpenPluginInfo(panel, &info);
  EXPECT_EQ(info.StructSize, static_cast<int>(sizeof(OpenPluginInfo)));
  EXPECT_EQ(info.Flags, 0x8214u);
  EXPECT_STREQ(info.CurDir, "\\2:345");
  EXPECT_STREQ(info.Format, "V7");
  EXPECT_STREQ(info.PanelTitle, "V7 - M13 2:345");
  EXPECT_EQ(info.PanelModesArray, PanelModeTable.Modes);
  EXPECT_EQ(info.PanelModesNumber, 10);
  EXPECT_EQ(info.StartPanelMode, '3');
  EXPECT_EQ(info.StartSortMode, SM_UNSORTED);
  EXPECT_EQ(info.KeyBar, &KeyBarLabels);
  EXPECT_EQ(info.HostFile, nullptr);
  EXPECT_EQ(info.InfoLinesNumber, 0);
  EXPECT_EQ(info.ShortcutData, nullptr);
  std::strcpy(panel->SearchText, "smith");
  panel->Flags |= PF_CLOSING;
  panel->ViewMode = 7;
  PanelGetOpenPluginInfo(panel, &info);
  EXPECT_STREQ(info.PanelTitle, "M43");
  EXPECT_STREQ(info.CurDir, "\\2:345");
  EXPECT_EQ(info.PanelModesArray, nullptr);
  EXPECT_EQ(info.PanelModesNumber, 0);
  EXPECT_EQ(info.StartPanelMode, '7');
  PanelGetOpenPluginInfo(nullptr, &info);
  EXPECT_EQ(info.StructSize, 0);
}

TEST_F(NavigationTest, ThreeSlotsAtMost) {
  PanelInstance* panels[3];
  for (PanelInstance*& panel : panels) {
    panel = Open(OPEN_FINDLIST);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->Flags, static_cast<uint32_t>(PF_INUSE));
    EXPECT_EQ(panel->Level, 0);
    EXPECT_STREQ(panel->SearchText, "");
    EXPECT_EQ(panel->PendingCount, 0);
  }
  EXPECT_EQ(PanelOpenPlugin(OPEN_PLUGINSMENU, 0), INVALID_HANDLE_VALUE);
  std::strcpy(panels[1]->SearchText, "x");
  PanelClosePlugin(panels[1]);
  EXPECT_EQ(panels[1]->Flags, 0u);
  EXPECT_EQ(Open(OPEN_FINDLIST), panels[1]);
  EXPECT_STREQ(panels[1]->SearchText, "");
  int local = 0;
  EXPECT_EQ(PanelFromHandle(&local), nullptr);
  EXPECT_EQ(PanelFromHandle(INVALID_HANDLE_VALUE), nullptr);
}

TEST_F(NavigationTest, SearchCommandEntersAndLeavesSearchMode) {
  PanelInstance* panel = Open(OPEN_FINDLIST);
  panel->Address = FtnAddress{2, 345};
  panel->Level = 4;
  EXPECT_EQ(PanelSetDirectory(panel, "?  smith", 0), 1);
  EXPECT_STREQ(panel->SearchText, "smith");
  EXPECT_EQ(At(panel), "2:345/0.0 L4");
  EXPECT_EQ(PanelSetDirectory(panel, " .. ", 0), 1);
  EXPECT_STREQ(panel->SearchText, "");
  EXPECT_EQ(At(panel), "2:345/0.0 L4");
  EXPECT_EQ(PanelSetDirectory(panel, "?", 0), 0);
  EXPECT_EQ(PanelSetDirectory(panel, "  ?   ", 0), 0);
  EXPECT_STREQ(panel->SearchText, "");
  std::string name = std::string(41, 'n');
  name[0] = '?';
  EXPECT_EQ(PanelSetDirectory(panel, name.c_str(), 0), 1);
  EXPECT_EQ(std::string(panel->SearchText), std::string(36, 'n'));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(StoredStartPath(), "(none)");
}

TEST_F(NavigationTest, PathsThatDoNotParse) {
  PanelInstance* panel = Open(OPEN_FINDLIST);
  std::string kLongShown = "M0|M8 '";
  kLongShown.append(80, '1').append("'|M46");
  const struct {
    uint16_t Level;
    std::string Dir;
    int OpMode;
    std::string Box;  // empty: no message
  } kRefused[] = {
      {0, "..", 0, ""},
      {0, " .. ", 0, ""},
      {0, "abc", 0, "M0|M8 'abc'|M46"},
      {0, "abc", OPM_SILENT, ""},
      {2, "/6", 0, "M0|M8 '/6'|M46"},
      {2, "..\\..\\..", 0, "M0|M8 '..\\..\\..'|M46"},
      {0, std::string(300, '1'), 0, kLongShown},
      {0, std::string(5000, '1'), 0, kLongShown},
      {0, std::string(5000, '1'), OPM_SILENT, ""},
  };
  for (const auto& r : kRefused) {
    Boxes().clear();
    panel->Level = r.Level;
    panel->Address = FtnAddress{static_cast<uint16_t>(r.Level ? 2 : 0)};
    EXPECT_EQ(PanelSetDirectory(panel, r.Dir.c_str(), r.OpMode), 0);
    EXPECT_EQ(panel->Level, r.Level);
    std::string shown = Boxes().empty() ? "" : Boxes()[0];
    EXPECT_EQ(shown, r.Box) << r.Dir.substr(0, 20);
    EXPECT_LE(Boxes().size(), 1u);
  }
}

// The host's file search walks by the names the listing gave; nothing is
// listed (there is no nodelist here) and nothing is reported. A number
// past 65535 names no node (as in every path) and is refused, never
// wrapped onto another node.
TEST_F(NavigationTest, FindModeWalksWithoutListing) {
  PanelInstance* panel = Open(OPEN_FINDLIST);
  const struct {
    const char* Dir;
    int Result;
    const char* At;
  } kSteps[] = {
      {"..", 0, "0:0/0.0 L0"},           {"2", 1, "2:0/0.0 L2"},
      {"345", 1, "2:345/0.0 L4"},        {"abc", 1, "2:345/0.0 L6"},
      {"7", 0, "2:345/0.0 L6"},          {"..", 1, "2:345/0.0 L4"},
      {"70000", 0, "2:345/0.0 L4"},      {"65536", 0, "2:345/0.0 L4"},
      {"4294967297", 0, "2:345/0.0 L4"}, {"65535", 1, "2:345/65535.0 L6"},
      {"..", 1, "2:345/0.0 L4"},         {"..", 1, "2:0/0.0 L2"},
      {"346", 1, "2:346/0.0 L4"},        {"\\", 1, "0:0/0.0 L0"},
  };
  for (const auto& s : kSteps) {
    EXPECT_EQ(PanelSetDirectory(panel, s.Dir, OPM_FIND | OPM_SILENT), s.Result)
        << s.Dir;
    EXPECT_EQ(At(panel), s.At) << s.Dir;
  }
  std::strcpy(panel->SearchText, "smith");
  EXPECT_EQ(PanelSetDirectory(panel, "2", OPM_FIND), 0);
  EXPECT_EQ(panel->Level, 0);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(NavigationTest, FailedListingLeavesThePanelAsItWas) {
  std::snprintf(NodelistPath, sizeof(NodelistPath), "missing-dir/");
  PanelInstance* panel = Open(OPEN_FINDLIST);
  panel->Flags |= PF_FROMITEM;
  std::strcpy(panel->SearchText, "smith");
  EXPECT_EQ(PanelSetDirectory(panel, "2:345", 0), 0);
  EXPECT_STREQ(panel->SearchText, "smith");
  EXPECT_EQ(At(panel), "0:0/0.0 L0");
  EXPECT_EQ(panel->Flags, static_cast<uint32_t>(PF_INUSE));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "M7|Unable to open missing-dir/NODEX.DAT|M46");
}

}  // namespace
