// Failures of the system in the middle of a listing, injected through the
// test build's fault seam: a mapping, the reservation or a commit fails.
// The listing must end in the plugin's message and give its list back: no
// leak (LeakSanitizer in the asan build), no reservation left behind
// (VmSize), no crash, and the next listing works again.
//
// The seam reads its TOLVANE_FAIL_* variable once, at the plugin's first
// call into the platform layer, so every case runs in a child process of
// this test program that gets the variable before it loads the plugin.
#include <cstdio>
#include <cstring>
#include <sstream>

#include "farhost/sys/sys.h"
#include "reliability_support.h"

namespace {

// The net with the most nodes in the base set: ".." and 7 nodes, so that
// the listing commits 16 ranges (an item and its text area each).
const char kBigNet[] = "\\3:102";
const long kReservationSlackKiB = 2048;  // a leaked list is 6912 KiB

struct FaultCase {
  const char* Variable;
  const char* Value;
  const char* Expect;  // a file name, or "" for the memory message
  int Recovers;        // a single failure: the next listing works
};

const FaultCase kFaultCases[] = {
    {"TOLVANE_FAIL_MAP", "1", "NODEX.DAT", 1},
    {"TOLVANE_FAIL_MAP", "2", "NODEX.DTP", 1},
    {"TOLVANE_FAIL_MAP", "3", "NODEX.NDX", 1},
    {"TOLVANE_FAIL_MAP", "1+", "NODEX.DAT", 0},
    {"TOLVANE_FAIL_RESERVE", "1", "", 1},
    {"TOLVANE_FAIL_COMMIT", "1", "", 1},
    {"TOLVANE_FAIL_COMMIT", "2", "", 1},
    {"TOLVANE_FAIL_COMMIT", "7", "", 1},
    {"TOLVANE_FAIL_COMMIT", "16", "", 1},
    {"TOLVANE_FAIL_COMMIT", "3+", "", 0},
};

std::string ChildCommand(const FaultCase& c, const std::string& folder) {
  std::string self = SysJoinPath(SysExecutableDir(), "reliability_tests");
  return std::string(c.Variable) + "=" + c.Value + " " +
         SysQuoteArgument(self) + " --child fault " + SysQuoteArgument(folder) +
         " 2>&1";
}

std::string Field(const std::string& output, const std::string& name) {
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line))
    if (line.rfind(name + "=", 0) == 0) return line.substr(name.size() + 1);
  return std::string();
}

TEST(InjectedFaults, ListingEndsInTheMessageAndReleasesItsList) {
  if (!IsPosixSystem()) GTEST_SKIP() << "child runs with variables: POSIX";
  FileSet base;
  std::string error;
  ASSERT_TRUE(LoadBaseSet(&base, &error)) << error;
  ScratchFolder folder;
  folder.Write(base);
  const std::string memoryText = PluginMessage(6);
  ASSERT_FALSE(memoryText.empty());
  for (const FaultCase& c : kFaultCases) {
    std::string output;
    int status = -1;
    std::string command = ChildCommand(c, folder.Path());
    ASSERT_TRUE(SysRunCommand(command, &output, &status)) << command;
    SCOPED_TRACE(std::string(c.Variable) + "=" + c.Value + "\n" + output);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Field(output, "listed"), "-1");
    std::string message = Field(output, "message");
    if (*c.Expect) {
      EXPECT_NE(message.find("Unable to open " + folder.Path() + c.Expect),
                std::string::npos);
    } else {
      EXPECT_NE(message.find(memoryText), std::string::npos);
    }
    EXPECT_EQ(Field(output, "released"), "1");
    EXPECT_EQ(Field(output, "recovered"), c.Recovers ? "8" : "-1");
  }
}

}  // namespace

// The child's side: lists kBigNet once under the injected fault, then
// again, and prints what happened. Exit status 0 unless the plugin did not
// load (LeakSanitizer changes it when something leaked).
int RunFaultChild(const std::string& folder) {
  HostedPlugin plugin(folder);
  std::string error;
  if (!plugin.Start(&error)) {
    std::printf("error=%s\n", error.c_str());
    return 1;
  }
  HANDLE panel = plugin.Plugin().OpenPlugin(OPEN_PLUGINSMENU, 0);
  if (panel == INVALID_HANDLE_VALUE) return 1;
  long sizeBefore = 0, rss = 0, sizeAfter = 0;
  int figures = ReadMemoryFigures(&sizeBefore, &rss);
  std::printf("listed=%d\n", MoveAndList(plugin.Plugin(), panel, kBigNet, 0));
  figures &= ReadMemoryFigures(&sizeAfter, &rss);
  for (const std::string& box : plugin.Messages())
    std::printf("message=%s\n", box.c_str());
  std::printf("vmsize=%ld -> %ld KiB\n", sizeBefore, sizeAfter);
  std::printf("released=%d\n",
              !figures || sizeAfter - sizeBefore < kReservationSlackKiB);
  std::printf("recovered=%d\n",
              MoveAndList(plugin.Plugin(), panel, kBigNet, OPM_SILENT));
  for (const std::string& fault : plugin.Host()->errors)
    std::printf("host fault=%s\n", fault.c_str());
  plugin.Plugin().ClosePlugin(panel);
  return plugin.Host()->errors.empty() ? 0 : 1;
}
