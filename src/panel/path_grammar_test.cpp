#include "panel/path_grammar.h"

#include <gtest/gtest.h>

#include <string>

#include "panel/navigation.h"
#include "panel/panel_instance.h"

namespace {

struct At {
  uint16_t Zone, Net, Node, Point, Level;
};

struct PathCase {
  At Start;
  std::string Text;
  bool Valid;
  At Result;  // when valid
};

const At kRoot = {0, 0, 0, 0, 0};
const At kZone2 = {2, 0, 0, 0, 2};
const At kNet = {2, 345, 0, 0, 4};
const At kNode = {2, 345, 6, 0, 6};
const At kSame = {9, 9, 9, 9, 99};  // marker: "unchanged"

std::string Digits(size_t count, const char* last) {
  return std::string(count - 1, '0') + last;
}

const PathCase kCases[] = {
    {kNode, "\\", true, kRoot},
    {kRoot, "2:345/6", true, kNode},
    {kNet, "2:345/6", true, kNode},
    {kNode, "\\2:345", true, kNet},
    {kNode, "\\2\\345\\6", true, kNode},
    {kRoot, "2:", true, kZone2},
    {kRoot, "2:345/", true, kNet},
    {kRoot, "2:345/6.", true, kNode},
    {kNet, "6", true, kNode},
    {kNet, "/6", true, kNode},
    {kNet, "..\\346", true, {2, 346, 0, 0, 4}},
    {kNode, "/8", true, {2, 345, 8, 0, 6}},
    {kNode, "350/1", true, {2, 350, 1, 0, 6}},
    {kNode, ".7", true, {2, 345, 6, 7, 8}},
    {kNode, "7", true, {2, 345, 6, 7, 8}},
    {{2, 345, 6, 7, 8}, "9", true, {2, 345, 6, 9, 8}},
    {kNode, "..", true, kNet},
    {kNode, "..\\..\\..", true, kRoot},
    {kNode, ".", true, kNode},
    {kNode, "", true, kNode},
    {kNode, "  \\1:2/3", true, {1, 2, 3, 0, 6}},
    {kNode, "\\\\2\\\\345\\", true, kNet},
    {kZone2, ":345", true, kNet},
    {kNode, ":400/2", true, {2, 400, 2, 0, 6}},
    {kNode, "3:4/5.6", true, {3, 4, 5, 6, 8}},
    {kRoot, "65535:65535/65535.65535", true, {65535, 65535, 65535, 65535, 8}},
    {kRoot, "00000000002:0000000000070", true, {2, 70, 0, 0, 4}},
    {kRoot, "2:345/6.7\\..", true, kNode},
    {kRoot, Digits(kMaxPathComponent, "2"), true, kZone2},
    {kRoot,
     "\\" + Digits(kMaxPathComponent, "2") + "\\3",
     true,
     {2, 3, 0, 0, 4}},
    // Invalid paths leave the panel as it was.
    {kRoot, Digits(kMaxPathComponent + 1, "2"), false, kSame},
    {kRoot, Digits(5000, "2"), false, kSame},
    {kZone2, "/6", false, kSame},
    {kRoot, ":5", false, kSame},
    {kRoot, ".5", false, kSame},
    {kRoot, "2:345/6.7.8", false, kSame},
    {kRoot, "2:x", false, kSame},
    {kRoot, "2/3:4", false, kSame},
    {kZone2, "2/3:4", false, kSame},
    {kRoot, "abc", false, kSame},
    {kRoot, "..", false, kSame},
    {kNet, "..\\..\\..", false, kSame},
    {kRoot, "2:345\\..\\..\\..", false, kSame},
    {kRoot, "2::3", false, kSame},
    {kRoot, ":", false, kSame},
    {kRoot, "2 :3", false, kSame},
    {kRoot, "2:345/6x", false, kSame},
    {kNode, "...", false, kSame},
    {kRoot, "-1", false, kSame},
    // A number that does not fit 16 bits names no node: not another one.
    {kRoot, "2:70000", false, kSame},
    {kRoot, "2:5020/65636", false, kSame},
    {kRoot, "\\4294967298:5020", false, kSame},
    {kRoot, "65537:65535", false, kSame},
    {kNode, "/65536", false, kSame},
    {kNode, "65536", false, kSame},
    {kNet, Digits(200, "65536"), false, kSame},
};

TEST(PathGrammarTest, ParsesEveryExample) {
  for (const PathCase& c : kCases) {
    FtnAddress address = {c.Start.Zone, c.Start.Net, c.Start.Node,
                          c.Start.Point};
    uint16_t level = c.Start.Level;
    int valid = ParsePanelPath(c.Text.c_str(), &address, &level);
    SCOPED_TRACE("path '" + c.Text.substr(0, 40) + "'");
    ASSERT_EQ(valid, c.Valid ? 1 : 0);
    At expected = c.Valid ? c.Result : c.Start;
    EXPECT_EQ(address.Zone, expected.Zone);
    EXPECT_EQ(address.Net, expected.Net);
    EXPECT_EQ(address.Node, expected.Node);
    EXPECT_EQ(address.Point, expected.Point);
    EXPECT_EQ(level, expected.Level);
  }
}

// Every CurDir text leads back to the location it was made from, from
// wherever it is typed.
TEST(PathGrammarTest, CurDirTextsParseBackToTheirLocation) {
  const At kLocations[] = {
      kRoot,           kZone2,         kNet, kNode, {65535, 65535, 65535, 0, 6},
      {3, 0, 0, 0, 4}, {0, 0, 0, 0, 2}};
  for (const At& at : kLocations) {
    PanelInstance panel = {};
    panel.Address = FtnAddress{at.Zone, at.Net, at.Node, at.Point};
    panel.Level = at.Level;
    FormatPanelLocation(&panel);
    FtnAddress address = {7, 7, 7, 7};
    uint16_t level = 6;
    ASSERT_EQ(ParsePanelPath(panel.CurDir, &address, &level), 1)
        << panel.CurDir;
    EXPECT_EQ(level, at.Level) << panel.CurDir;
    EXPECT_EQ(address.Zone, at.Zone) << panel.CurDir;
    EXPECT_EQ(address.Net, at.Net) << panel.CurDir;
    EXPECT_EQ(address.Node, at.Node) << panel.CurDir;
    EXPECT_EQ(address.Point, 0) << panel.CurDir;
  }
}

}  // namespace
