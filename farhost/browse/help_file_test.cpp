#include "farhost/browse/help_file.h"

#include <gtest/gtest.h>

#include "farhost/browse/plugin_panel.h"
#include "farhost/browse/viewers.h"

namespace {

struct SpanCase {
  HelpSpanKind Kind;
  const char* Text;
  const char* Topic;
};

TEST(ParseHelpLine, Markup) {
  static const struct {
    const char* Line;
    int Centred;
    std::vector<SpanCase> Spans;
  } kCases[] = {
      {"plain", 0, {{kHelpPlain, "plain", ""}}},
      {"a #b# c",
       0,
       {{kHelpPlain, "a ", ""},
        {kHelpHighlight, "b", ""},
        {kHelpPlain, " c", ""}}},
      {"  ~Keys~@Iface@ x",
       0,
       {{kHelpPlain, "  ", ""},
        {kHelpLink, "Keys", "Iface"},
        {kHelpPlain, " x", ""}}},
      {"## ~~ @@", 0, {{kHelpPlain, "# ~ @", ""}}},
      {"^#Title#", 1, {{kHelpHighlight, "Title", ""}}},
      {"#open", 0, {{kHelpHighlight, "open", ""}}},  // unclosed highlight
      {"~broken~ link", 0, {{kHelpPlain, "~broken~ link", ""}}},
      {"~no end~@Topic", 0, {{kHelpPlain, "~no end~@Topic", ""}}},
      {"~a~~b~@T@", 0, {{kHelpLink, "a~b", "T"}}},
  };
  for (const auto& c : kCases) {
    HelpLine line = ParseHelpLine(c.Line);
    EXPECT_EQ(c.Centred, line.Centred) << c.Line;
    ASSERT_EQ(c.Spans.size(), line.Spans.size()) << c.Line;
    for (size_t i = 0; i < c.Spans.size(); ++i) {
      EXPECT_EQ(c.Spans[i].Kind, line.Spans[i].Kind) << c.Line;
      EXPECT_EQ(c.Spans[i].Text, line.Spans[i].Text) << c.Line;
      EXPECT_EQ(c.Spans[i].Topic, line.Spans[i].Topic) << c.Line;
    }
  }
}

// A plain topic belongs to the plugin only in a box with its number; an
// input box's plain topic is the host's own. "<folder\>Topic" names a folder.
TEST(ResolveHelpTopic, AsTheFileManagerDoes) {
  static const struct {
    const char* Topic;
    int FromPlugin;
    HelpSource Source;
    const char* Folder;
    const char* Name;
  } kCases[] = {
      {"CfgMain", 1, kPluginHelp, "", "CfgMain"},
      {"SearchSysop", 0, kHostHelp, "", "SearchSysop"},
      {"<C:\\Far\\Plugins\\Tolvane\\>SearchSysop", 0, kFolderHelp,
       "C:\\Far\\Plugins\\Tolvane\\", "SearchSysop"},
      {"</usr/lib/tolvane/>SearchSysop", 1, kFolderHelp, "/usr/lib/tolvane/",
       "SearchSysop"},
      {"</usr/lib/tolvane/>", 0, kFolderHelp, "/usr/lib/tolvane/", ""},
      {"<no end", 0, kHostHelp, "", "<no end"},
      {"", 1, kPluginHelp, "", ""},
  };
  for (const auto& c : kCases) {
    HelpReference place = ResolveHelpTopic(c.Topic, c.FromPlugin);
    EXPECT_EQ(c.Source, place.Source) << c.Topic;
    EXPECT_EQ(c.Folder, place.Folder) << c.Topic;
    EXPECT_EQ(c.Name, place.Topic) << c.Topic;
  }
}

TEST(ParseHelpFile, TopicsHeadersAndBodies) {
  HelpFile file;
  ParseHelpFile(
      ".Language=Russian,Russian (R)\r\n.PluginContents=X\r\n\r\n"
      "@Contents\r\n$ #Title#\r\n$second\r\n body 1\r\n ~go~@Other@\r\n\r\n"
      "@-\r\n@Other\r\n$ #Other#\r\n text $ not a header\r\n",
      &file);
  EXPECT_EQ("Russian", file.LanguageName);
  ASSERT_EQ(2u, file.Topics.size());
  const HelpTopic* contents = FindHelpTopic(file, "contents");
  ASSERT_NE(nullptr, contents);
  ASSERT_EQ(2u, contents->Header.size());
  EXPECT_EQ("Title", HelpLineText(contents->Header[0]));
  EXPECT_EQ("second", HelpLineText(contents->Header[1]));
  ASSERT_EQ(2u, contents->Body.size());  // trailing blank lines dropped
  EXPECT_EQ(" body 1", HelpLineText(contents->Body[0]));
  std::vector<HelpLinkPlace> links = HelpLinks(*contents);
  ASSERT_EQ(1u, links.size());
  EXPECT_EQ(1, links[0].Line);
  EXPECT_EQ(1, links[0].Span);
  EXPECT_EQ(nullptr, FindHelpTopic(file, "Missing"));
  EXPECT_EQ(1u, FindHelpTopic(file, "Other")->Body.size());
}

TEST(ParseHelpFile, DamagedInputStaysBounded) {
  static const char* const kInputs[] = {
      "",
      "@",
      "@@\n",
      "$ header before a topic\n",
      "\0\0\0",
      "@A\n$\n$\n",
      "@A\n~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~@@@@\n"};
  for (const char* input : kInputs) {
    HelpFile file;
    ParseHelpFile(input, &file);
    for (const HelpTopic& topic : file.Topics)
      for (const HelpLine& line : topic.Body)
        EXPECT_LE(HelpLineText(line).size(), static_cast<size_t>(kHelpMaxLine));
  }
  HelpFile file;
  ParseHelpFile("@T\n" + std::string(1000, 'x') + "\n", &file);
  ASSERT_EQ(1u, file.Topics.size());
  EXPECT_EQ(static_cast<size_t>(kHelpMaxLine),
            HelpLineText(file.Topics[0].Body[0]).size());
  std::string many;
  for (int i = 0; i < kHelpMaxTopics + 50; ++i)
    many += "@T" + std::to_string(i) + "\n";
  ParseHelpFile(many, &file);
  EXPECT_EQ(static_cast<size_t>(kHelpMaxTopics), file.Topics.size());
}

TEST(KeyBarGroup, EveryModifierSet) {
  static const struct {
    unsigned Control;
    int Group;
  } kCases[] = {{0, 0},
                {PKF_CONTROL, 1},
                {PKF_ALT, 2},
                {PKF_SHIFT, 3},
                {PKF_CONTROL | PKF_SHIFT, 4},
                {PKF_ALT | PKF_SHIFT, 5},
                {PKF_CONTROL | PKF_ALT, 6},
                {PKF_CONTROL | PKF_ALT | PKF_SHIFT, -1}};
  for (const auto& c : kCases) EXPECT_EQ(c.Group, KeyBarGroup(c.Control));
}

TEST(CopyPanelDecor, ModesTitlesAndKeyBar) {
  char types[] = "C0,Z", widths[] = "6,0", status[] = "O", statusW[] = "0";
  char title0[] = "Kind", title1[] = "Address";
  char* titles[] = {title0, title1};
  PanelMode modes[12] = {};
  for (PanelMode& m : modes) {
    m.ColumnTypes = types;
    m.ColumnWidths = widths;
    m.StatusColumnTypes = status;
    m.StatusColumnWidths = statusW;
  }
  modes[1].ColumnTitles = titles;
  modes[1].FullScreen = 1;
  KeyBarTitles bar = {};
  char search[] = "Search", empty[] = "";
  bar.Titles[6] = search;
  bar.CtrlTitles[2] = empty;
  OpenPluginInfo info = {};
  info.PanelModesArray = modes;
  info.PanelModesNumber = 12;  // more than the host takes
  info.KeyBar = &bar;
  PanelDecor decor;
  CopyPanelDecor(info, &decor);
  ASSERT_EQ(10u, decor.Modes.size());
  EXPECT_TRUE(decor.Modes[0].Titles.empty());
  EXPECT_EQ((std::vector<std::string>{"Kind", "Address"}),
            decor.Modes[1].Titles);
  EXPECT_EQ(1, decor.Modes[1].FullScreen);
  EXPECT_EQ("O", decor.Modes[3].StatusTypes);
  EXPECT_EQ("Search", decor.KeyBar[0][6]);
  EXPECT_EQ("", decor.KeyBar[1][2]);        // an empty label hides the default
  EXPECT_EQ(kNoLabel, decor.KeyBar[0][0]);  // null keeps the host's label
  info.KeyBar = nullptr;
  info.PanelModesArray = nullptr;
  CopyPanelDecor(info, &decor);
  EXPECT_TRUE(decor.Modes.empty());
  EXPECT_EQ(kNoLabel, decor.KeyBar[0][6]);
}

TEST(PluginItemCell, ColumnsOfAnItem) {
  PluginPanelItem item = {};
  std::snprintf(item.FindData.cFileName, sizeof(item.FindData.cFileName),
                "5020");
  char desc[] = "2:5020", owner[] = "Sysop", c0[] = "Host", c1[] = "Moscow";
  char* custom[] = {c0, c1};
  item.Description = desc;
  item.Owner = owner;
  item.CustomColumnData = custom;
  item.CustomColumnNumber = 2;
  item.NumberOfLinks = 7;
  static const struct {
    const char* Type;
    const char* Text;
  } kCases[] = {{"N", "5020"},  {"Z", "2:5020"},  {"O", "Sysop"},
                {"C0", "Host"}, {"C1", "Moscow"}, {"C2", ""},
                {"C9", ""},     {"LN", "7"},      {"S", "0"},
                {"X", ""}};
  for (const auto& c : kCases)
    EXPECT_EQ(c.Text, PluginItemCell(item, c.Type)) << c.Type;
  item.CustomColumnData = nullptr;
  EXPECT_EQ("", PluginItemCell(item, "C0"));
}

}  // namespace
