#include "farhost/browse/help_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

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
      // As the host shows them: a '~' is never seen, nor a "@...@".
      {"~no target~ x",
       0,
       {{kHelpLink, "no target", ""}, {kHelpPlain, " x", ""}}},
      {"~no end~@Topic", 0, {{kHelpLink, "no end", "Topic"}}},
      {"~open", 0, {{kHelpLink, "open", ""}}},
      {"a @hidden@b", 0, {{kHelpPlain, "a b", ""}}},
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
  EXPECT_EQ("X", file.Contents);
  ASSERT_EQ(2u, file.Topics.size());
  const HelpTopic* contents = FindHelpTopic(file, "contents");
  ASSERT_NE(nullptr, contents);
  HelpPage page;
  LayOutHelpTopic(*contents, 70, &page);
  ASSERT_EQ(2u, page.Header.size());
  EXPECT_EQ(" Title", HelpLineText(page.Header[0]));
  EXPECT_EQ("second", HelpLineText(page.Header[1]));
  ASSERT_EQ(2u, page.Body.size());  // trailing blank lines dropped
  EXPECT_EQ(" body 1", HelpLineText(page.Body[0]));
  std::vector<HelpLinkPlace> links = HelpLinks(page);
  ASSERT_EQ(1u, links.size());
  EXPECT_EQ(1, links[0].Line);
  EXPECT_EQ(1, links[0].Span);
  EXPECT_EQ(nullptr, FindHelpTopic(file, "Missing"));
  LayOutHelpTopic(*FindHelpTopic(file, "Other"), 70, &page);
  EXPECT_EQ(1u, page.Body.size());
}

// The host's layout: a line that starts with a blank starts a paragraph,
// the lines after it join it, and it is cut at blanks to the width,
// counting what shows only.
TEST(LayOutHelpTopic, AsTheHostsHelpViewer) {
  static const struct {
    const char* What;
    int Width;
    std::vector<std::string> Lines;
    std::vector<std::string> Shown;
  } kCases[] = {
      {"joined, then cut at the last blank that fits",
       20,
       {" one two three four", "five six seven"},
       {" one two three four", " five six seven"}},
      {"markup takes no room",
       12,
       {" #abc#  ~link~@T@ x"},
       {" abc  link", " x"}},
      {"a blank line ends a paragraph",
       30,
       {" a", "b", "", " c"},
       {" a b", "", " c"}},
      {"between @- and @+ lines stand alone",
       30,
       {"@-", " a", "b", "@+"},
       {" a", "b"}},
      {"a link's text is never cut", 8, {" ~a b c d~@T@ e"}, {" a b c d e"}},
      {"a tab is a blank and blanks to the next 8",
       30,
       {"\tx"},
       {"         x"}},
      {"a cut that gains nothing leaves the line whole",
       2,
       {"#a #b"},
       {"a", " b"}},
  };
  for (const auto& c : kCases) {
    HelpPage page;
    LayOutHelpTopic(HelpTopic{"T", c.Lines}, c.Width, &page);
    std::vector<std::string> shown;
    for (const HelpLine& line : page.Body) shown.push_back(HelpLineText(line));
    EXPECT_EQ(c.Shown, shown) << c.What;
  }
  HelpPage page;  // a highlight cut in two goes on on the next line
  LayOutHelpTopic(HelpTopic{"T", {" #aaaa bbbb#"}}, 8, &page);
  ASSERT_EQ(2u, page.Body.size());
  EXPECT_EQ(kHelpHighlight, page.Body[1].Spans.back().Kind);
  EXPECT_EQ(" bbbb", page.Body[1].Spans.back().Text);
}

// The plugin's help files as the host shows them on an 80-column screen
// (text 70 wide): every row of a table stays one line, and the text after
// its gap starts where the lines that go on with it start, in every row.
TEST(LanguageHelpFiles, TablesLineUpInTheHostsLayout) {
  for (const char* name : {"Tolvane_eng.hlf", "Tolvane_rus.hlf"}) {
    std::ifstream in(std::string(TOLVANE_SOURCE_DIR "/lang/") + name,
                     std::ios::binary);
    ASSERT_TRUE(in) << name;
    std::stringstream bytes;
    bytes << in.rdbuf();
    HelpFile file;
    ParseHelpFile(bytes.str(), &file);
    for (const HelpTopic& topic : file.Topics) {
      HelpPage page;
      LayOutHelpTopic(topic, 70, &page);
      size_t column = std::string::npos;  // of the table being read
      for (const HelpLine& line : page.Body) {
        std::string text = HelpLineText(line);
        size_t lead = text.find_first_not_of(' ');
        size_t gap = lead == std::string::npos ? lead : text.find("  ", lead);
        if (lead != std::string::npos && lead >= 4 &&
            gap == std::string::npos) {
          EXPECT_EQ(lead, column) << name << " @" << topic.Name << ": " << text;
        } else if (lead != std::string::npos && lead > 0 &&
                   gap != std::string::npos) {
          size_t at = text.find_first_not_of(' ', gap);
          if (column != std::string::npos) {
            EXPECT_EQ(at, column) << name << " @" << topic.Name << ": " << text;
          }
          column = at;
        } else {
          column = std::string::npos;
        }
      }
    }
  }
}

TEST(ParseHelpFile, DamagedInputStaysBounded) {
  const std::string kInputs[] = {"",
                                 "@",
                                 "@@\n",
                                 "$ header before a topic\n",
                                 "\0\0\0",
                                 "@A\n$\n$\n",
                                 "@A\n~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~@@@@\n",
                                 "@A\n" + std::string(400, '#') + "\n",
                                 "@A\n" + std::string(299, ' ') + "x\n"};
  for (const std::string& input : kInputs) {
    HelpFile file;
    ParseHelpFile(input, &file);
    for (const HelpTopic& topic : file.Topics)
      for (int width : {1, 2, 70}) {
        HelpPage page;
        LayOutHelpTopic(topic, width, &page);
        for (const HelpLine& line : page.Body)
          EXPECT_LE(HelpLineText(line).size(),
                    static_cast<size_t>(kHelpMaxLine));
      }
  }
  HelpFile file;
  ParseHelpFile("@T\n" + std::string(1000, 'x') + "\n", &file);
  ASSERT_EQ(1u, file.Topics.size());
  EXPECT_EQ(static_cast<size_t>(kHelpMaxLine), file.Topics[0].Lines[0].size());
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
