// `tolvane show`, `tolvane find --containing` and `tolvane key` as a user
// runs them: child processes with the test plugin and this test's
// settings root.
#include <fstream>
#include <iterator>

#include "farhost/sys/sys.h"
#include "panel_fixture.h"

namespace {

class ShowKeyProcess : public PanelTest {
 protected:
  ToolRun Tolvane(const std::string& arguments) {
    return RunTool("tolvane", "--plugin " + SysQuoteArgument(TestPluginPath()) +
                                  " --root-key " + SysQuoteArgument(rootKey_) +
                                  " --lang English " + arguments);
  }
};

// The golden file as the viewer shows it: LF line ends.
std::string ShownGolden(const char* name) {
  std::ifstream file(SysJoinPath(TOLVANE_GOLDEN_DIR, name), std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(file)),
                   std::istreambuf_iterator<char>());
  std::string lines;
  for (char c : text)
    if (c != '\r') lines.push_back(c);
  return lines;
}

TEST_F(ShowKeyProcess, ShowPrintsEachEntryAndNamesTheMissing) {
  ToolRun run = Tolvane("show 2:5020/101 2:5020/100.1 2");
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out, ShownGolden("node_2_5020_101.txt") +
                         ShownGolden("point_2_5020_100_1.txt") +
                         ShownGolden("zone_2.txt"));
  ToolRun missing = Tolvane("show 2:5020/999 1:104 2:5020/1x 1:104/203");
  EXPECT_EQ(missing.Status, 1);
  EXPECT_EQ(missing.Out, ShownGolden("host_1_104.txt"));
  for (const char* said :
       {"2:5020/999 is not in the nodelist", "not an address: 2:5020/1x",
        "1:104/203 is not in the nodelist"})
    EXPECT_NE(missing.Err.find(said), std::string::npos) << missing.Err;
  ToolRun v7 = Tolvane("show 2:5020/101 --options 0");
  EXPECT_EQ(v7.Out, ShownGolden("node_2_5020_101_v7.txt"));
}

TEST_F(ShowKeyProcess, ShowOnARealNodelist) {
  std::string source = SysJoinPath(TOLVANE_NODELISTS_DIR, "NODELIST.122");
  if (!std::ifstream(source)) GTEST_SKIP() << "no real nodelist " << source;
  TempFolder folder;
  ToolRun compiled = RunTool("tolvane-compile",
                             "--out " + SysQuoteArgument(folder.Path()) +
                                 " --name NODEX " + SysQuoteArgument(source));
  ASSERT_EQ(compiled.Status, 0) << compiled.Err;
  ToolRun run = Tolvane("show 2:5020 2:5020/245 --nodelist " +
                        SysQuoteArgument(folder.Path()) + " --name NODEX");
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out.find("Host            : 2:5020/0\n"), 0u) << run.Out;
  EXPECT_NE(run.Out.find("\nNode            : 2:5020/245\n"),
            std::string::npos);
  EXPECT_NE(run.Out.find("Sysop           : Vadim Bogdanov\n"),
            std::string::npos);
  EXPECT_EQ(run.Out.find('\r'), std::string::npos);
}

TEST_F(ShowKeyProcess, FindContainingText) {
  ToolRun run = Tolvane("find '*' --containing 'arbat station'");
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out, "\\2\\5020\\101\n");
}

TEST_F(ShowKeyProcess, KeyScriptsEnterSortAndSearch) {
  ToolRun run =
      Tolvane("key 2:5020/100 Enter CtrlF4 F7:petrov End Enter CtrlF12 Menu:0");
  ASSERT_EQ(run.Status, 0) << run.Err;
  std::vector<std::string> heads;
  size_t start = 0;
  while ((start = run.Out.find("# ", start)) != std::string::npos) {
    size_t end = run.Out.find('\n', start);
    heads.push_back(run.Out.substr(start, end - start));
    start = end;
  }
  // The cursor stays on 2:5020/100 ("Arbat Hub" sorts first by system
  // name), lands on 2:5030/15 after entering the search hit and stays on it
  // when the order goes back to addresses.
  const char* const kWant[] = {
      "# Enter -> cursor 2, directory \\2:5020, command line ",
      "# CtrlF4 -> cursor 1, directory \\2:5020, command line ",
      "# F7 -> cursor 0, directory \\2:5020, command line ",
      "# End -> cursor 4, directory \\2:5020, command line ",
      "# Enter -> cursor 3, directory \\2:5030, command line ",
      "# CtrlF12 -> cursor 2, directory \\2:5030, command line ",
  };
  ASSERT_EQ(heads.size(), 6u) << run.Out;
  for (size_t i = 0; i < heads.size(); ++i) EXPECT_EQ(heads[i], kWant[i]);
  EXPECT_NE(run.Out.find("2.5020.1234\t2:5020/1234"), std::string::npos);
  ToolRun bad = Tolvane("key 2:5020 Menu:1");
  EXPECT_EQ(bad.Status, 2);
  EXPECT_NE(bad.Err.find("an answer before any key: Menu:1"), std::string::npos)
      << bad.Err;
  ToolRun unanswered = Tolvane("key 2:5020 CtrlF12");
  EXPECT_EQ(unanswered.Status, 1);
  EXPECT_NE(unanswered.Err.find("no answer"), std::string::npos);
}

}  // namespace
