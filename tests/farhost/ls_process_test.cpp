// `tolvane ls` and `tolvane find` as a user runs them: child processes of
// the tolvane program beside the tests, with the test plugin, this test's
// own settings root and the settings file of the run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "farhost/sys/sys.h"
#include "panel_fixture.h"
#include "platform/platform.h"

namespace {

class LsProcess : public PanelTest {
 protected:
  // tolvane with the test plugin and this test's settings root.
  ToolRun Tolvane(const std::string& arguments) {
    return RunTool("tolvane", "--plugin " + SysQuoteArgument(TestPluginPath()) +
                                  " --root-key " + SysQuoteArgument(rootKey_) +
                                  " --lang English " + arguments);
  }
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::string Field(const std::string& line, int index) {
  size_t start = 0;
  for (int i = 0; i < index; ++i) start = line.find('\t', start) + 1;
  return line.substr(start, line.find('\t', start) - start);
}

TEST_F(LsProcess, TsvIsExact) {
  ToolRun run = Tolvane("ls 2:5020/100 --format tsv");
  ASSERT_EQ(run.Status, 0) << run.Err;
  std::vector<std::string> lines = Lines(run.Out);
  ASSERT_EQ(lines.size(), 7u) << run.Out;
  EXPECT_EQ(lines[0],
            "0\t..\t\t30\tHub\tArbat Hub\tMoscow\tCM,XA,V34,IBN\t"
            "7-495-555-01-00\tCM\tARBAT\t33600\tIvan Petrov\t2:5020/100.0\t"
            "100\t46\t6");
  EXPECT_EQ(lines[2],
            "2\t2:5020/100.2\tH\t65535\t\tMatryoshka\tMoscow\t\t\t\t\t28800\t"
            "Svetlana Gromova\t2:5020/100.2\t2\t46\t8");
  ToolRun zone = Tolvane("ls 4 --format tsv");
  ASSERT_EQ(zone.Status, 0) << zone.Err;
  EXPECT_EQ(
      zone.Out,
      "..\t..\t\t0\t\t\t\t\t\t\t\t\t\t\t\t\t\n"
      "4\t4:4\t\t100\tZone\tLatin America Coordinator\tRosario\t"
      "CM,XA,V34\t54-341-555-0004\tCM\t\t28800\tManuel Quiroga\t"
      "4:4/0.0\t0\t0\t4\n"
      "90\t4:90\t\t100\tRegion\tRio de la Plata\tRosario\tXA\t"
      "54-341-555-0090\t\t\t19200\tLucia Fernandez\t4:90/0.0\t0\t90\t4\n"
      "900\t4:900\t\t100\tHost\tRed Rosario\tRosario\tCM,XA\t"
      "54-341-555-0900\tCM\t\t14400\tDiego Alvarez\t4:900/0.0\t0\t90\t4\n");
  for (const std::string& line : Lines(run.Out + zone.Out))
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 16) << line;
}

TEST_F(LsProcess, JsonIsExact) {
  ToolRun run = Tolvane("ls 4 --format json");
  ASSERT_EQ(run.Status, 0) << run.Err;
  const char* const pieces[] = {
      "[\n  {\n    \"name\": \"..\",\n    \"description\": \"..\",\n"
      "    \"attributes\": \"\",\n    \"links\": 0,\n    \"columns\": null,\n"
      "    \"address\": null,\n    \"hub\": null,\n    \"region\": null,\n"
      "    \"level\": null,\n    \"internet\": null,\n    \"flags\": null\n"
      "  },\n",
      "  {\n    \"name\": \"90\",\n    \"description\": \"4:90\",\n"
      "    \"attributes\": \"\",\n    \"links\": 100,\n    \"columns\": [\n"
      "      \"Region\",\n      \"Rio de la Plata\",\n      \"Rosario\",\n"
      "      \"XA\",\n      \"54-341-555-0090\",\n      \"\",\n      \"\",\n"
      "      \"19200\",\n      \"Lucia Fernandez\"\n    ],\n"
      "    \"address\": \"4:90/0.0\",\n    \"hub\": 0,\n    \"region\": 90,\n"
      "    \"level\": 4,\n    \"internet\": [],\n    \"flags\": [\n      {\n"
      "        \"flag\": \"XA\",\n        \"value\": null,\n"
      "        \"category\": \"file requests\",\n"
      "        \"meaning\": \"files and updates by Bark and by WaZOO\"\n"
      "      }\n    ]\n  },\n",
  };
  for (const char* piece : pieces)
    EXPECT_NE(run.Out.find(piece), std::string::npos) << run.Out;
  EXPECT_EQ(run.Out.substr(run.Out.size() - 6), "  }\n]\n");
}

TEST_F(LsProcess, TableShowsTheModeColumns) {
  ToolRun run = Tolvane("ls 4 --mode 7");
  ASSERT_EQ(run.Status, 0) << run.Err;
  std::vector<std::string> lines = Lines(run.Out);
  ASSERT_EQ(lines.size(), 5u) << run.Out;
  // Mode 7: C0,Z,C5 with widths 6,0,11 in 100 characters.
  const std::string bar = "\xE2\x94\x82";
  EXPECT_EQ(lines[0],
            messages_[16] + std::string(6 - messages_[16].size(), ' ') + bar +
                messages_[11] + std::string(81 - messages_[11].size(), ' ') +
                bar + messages_[22].substr(0, 11));
  EXPECT_EQ(lines[2],
            "Zone  " + bar + "4:4" + std::string(78, ' ') + bar + "CM");
}

TEST_F(LsProcess, PathsSearchesAndFind) {
  ToolRun net = Tolvane("ls --format tsv " + SysQuoteArgument("\\2\\5020"));
  ASSERT_EQ(net.Status, 0) << net.Err;
  EXPECT_EQ(Lines(net.Out).size(), 17u);
  ToolRun search = Tolvane("ls --format tsv " + SysQuoteArgument("?smith"));
  ASSERT_EQ(search.Status, 0) << search.Err;
  std::vector<std::string> hits = Lines(search.Out);
  ASSERT_EQ(hits.size(), 3u) << search.Out;
  EXPECT_EQ(Field(hits[1], 0), "1.104.102");
  EXPECT_EQ(Field(hits[1], 1), "1:104/102");
  EXPECT_EQ(Field(hits[2], 12), "Anne Smith-Jones");
  ToolRun find = Tolvane("find " + SysQuoteArgument("*"));
  ASSERT_EQ(find.Status, 0) << find.Err;
  std::vector<std::string> found = Lines(find.Out);
  EXPECT_EQ(found.size(), 4u + 28u + 2 * 95u + 13u);
  EXPECT_EQ(found[0], "\\1\\");
  ToolRun points = Tolvane("find " + SysQuoteArgument("1?"));
  ASSERT_EQ(points.Status, 0) << points.Err;
  EXPECT_NE(points.Out.find("\\2\\5020\\100\\10\n"), std::string::npos);
  EXPECT_NE(points.Out.find("\\1\\10\\\n"), std::string::npos) << points.Out;
}

struct HoursCase {
  const char* Zone;   // TOLVANE_TEST_ZONE
  const char* Clock;  // TOLVANE_TEST_CLOCK
  const char* Hours;  // C5 of 2:5020/401, a window of 22:00-02:00 UTC
  int Hidden;         // not available at the clock (Options 0x11)
};

TEST_F(LsProcess, OnlineHoursFollowTheClockAndZone) {
  const HoursCase cases[] = {
      {"-180,0,0,0", "12:00", "01:00-05:00", 1},   // UTC+3
      {"300,0,0,0", "12:00", "17:00-21:00", 1},    // UTC-5
      {"300,0,-60,2", "12:00", "18:00-22:00", 1},  // UTC-5, daylight time
      {"0,0,0,0", "23:30", "22:00-02:00", 0},      // across midnight
      {"0,0,0,0", "01:59", "22:00-02:00", 0},
      {"0,0,0,0", "02:00", "22:00-02:00", 1},
      {"0,0,0,0", "21:59", "22:00-02:00", 1},
      {"-180,0,0,0", "04:30", "01:00-05:00", 0},
  };
  for (const HoursCase& c : cases) {
    SysSetEnv("TOLVANE_TEST_ZONE", c.Zone);
    SysSetEnv("TOLVANE_TEST_CLOCK", c.Clock);
    ToolRun run = Tolvane("ls 2:5020 --options 17 --format tsv");
    SysSetEnv("TOLVANE_TEST_ZONE", nullptr);
    SysSetEnv("TOLVANE_TEST_CLOCK", nullptr);
    ASSERT_EQ(run.Status, 0) << run.Err;
    std::string line;
    for (const std::string& l : Lines(run.Out))
      if (Field(l, 0) == "401") line = l;
    EXPECT_EQ(Field(line, 9), c.Hours) << c.Zone << " " << c.Clock;
    EXPECT_EQ(Field(line, 2), c.Hidden ? "H" : "") << c.Zone << " " << c.Clock;
  }
}

struct StatusCase {
  const char* Arguments;
  int Status;
  const char* Err;  // expected in standard error
  int Lines;        // lines of standard output
};

TEST_F(LsProcess, ExitStatusesAndMessages) {
  TempFolder empty;
  std::string nowhere = SysQuoteArgument(empty.Path());
  std::string s1 = "ls --nodelist " + nowhere,
              s2 = "find 1 --nodelist " + nowhere;
  const StatusCase cases[] = {
      {s1.c_str(), 3, "Unable to open ", 1},
      {s2.c_str(), 3, "Unable to open ", 0},
      {"ls 9:9999/9999", 3, "no nodelist entry", 0},
      {"ls ..", 1, "did not move", 0},
      {"ls --sort 8", 2, "--sort: Value 8 not in range 0 to 7", 0},
      {"ls --format xml", 2, "--format: xml not in {table,tsv,json}", 0},
      {"find", 2, "MASK is required", 0},
  };
  for (const StatusCase& c : cases) {
    ToolRun run = Tolvane(c.Arguments);
    EXPECT_EQ(run.Status, c.Status) << c.Arguments << "\n" << run.Err;
    EXPECT_NE(run.Err.find(c.Err), std::string::npos) << c.Arguments;
    if (c.Status != 2 || c.Lines > 0) {
      EXPECT_EQ(Lines(run.Out).size(), static_cast<size_t>(c.Lines))
          << c.Arguments << "\n"
          << run.Out;
    }
  }
  ToolRun missing = RunTool("tolvane", "ls --plugin nowhere.bin");
  EXPECT_EQ(missing.Status, 1) << missing.Err;
  EXPECT_NE(missing.Err.find("cannot load the plugin "), std::string::npos)
      << missing.Err;
  EXPECT_NE(missing.Err.find("nowhere.bin"), std::string::npos);
  ToolRun help = Tolvane("--help");
  EXPECT_EQ(help.Status, 0);
  EXPECT_NE(help.Out.find("Exit status"), std::string::npos);
}

// A damaged index: the entries that can be read are listed, the box's text
// goes to standard error and the status says so.
TEST_F(LsProcess, DamageIsReportedAndEntriesListed) {
  TempFolder folder;
  std::string copy = DamagedSample(SysJoinPath(folder.Path(), "nl"));
  ToolRun run = Tolvane("ls --format tsv --nodelist " + SysQuoteArgument(copy));
  EXPECT_EQ(run.Status, 3);
  EXPECT_EQ(run.Err.rfind(messages_[7] + ": Damaged nodelist file ", 0), 0u)
      << run.Err;
  ASSERT_FALSE(run.Out.empty());
  EXPECT_EQ(Field(Lines(run.Out)[0], 0), "1");
}

// The settings file as it is: its bytes and the time of its last change.
std::string FileState(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)),
                   std::istreambuf_iterator<char>());
  std::error_code error;
  auto changed = std::filesystem::last_write_time(path, error);
  return std::to_string(changed.time_since_epoch().count()) + "\n" + text;
}

TEST_F(LsProcess, StoredSettingsAreNeverChanged) {
  WriteSetting("SortOrder", 2);
  WriteText("Start Path", "\\2:5020");
  std::string file, before;
  if (SysGetEnv("TOLVANE_REGISTRY", &file)) before = FileState(file);
  ToolRun run = Tolvane("ls 1:104 --sort 1 --mode 3 --options 1 --format tsv");
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(Field(Lines(run.Out).at(1), 0), "204");  // sorted by system
  ToolRun start = Tolvane("ls --format tsv");
  ASSERT_EQ(start.Status, 0) << start.Err;
  // The start path, sorted by the stored order (sysop).
  EXPECT_EQ(Lines(start.Out).size(), 17u);
  EXPECT_EQ(Field(Lines(start.Out).at(1), 1), "2:5020/400");
  EXPECT_EQ(ReadText("Start Path"), "\\2:5020");
  SettingsKey key;
  ASSERT_TRUE(SettingsOpenKey((rootKey_ + "\\Tolvane").c_str(), &key));
  uint32_t value = 0, size = sizeof(value);
  EXPECT_TRUE(SettingsQueryValue(key, "SortOrder", &value, &size, nullptr));
  EXPECT_EQ(value, 2u);
  size = sizeof(value);
  EXPECT_FALSE(
      SettingsQueryValue(key, "Start Panel Mode", &value, &size, nullptr));
  SettingsCloseKey(key);
  // Nothing was written: a settings file is the very file it was, and no
  // scratch key is left below the root.
  if (!file.empty()) {
    EXPECT_EQ(FileState(file), before);
  }
  ASSERT_TRUE(SettingsOpenKey(rootKey_.c_str(), &key));
  char name[256];
  EXPECT_TRUE(SettingsSubkeyName(key, 0, name, sizeof(name)));
  EXPECT_STREQ(name, "Tolvane");
  EXPECT_FALSE(SettingsSubkeyName(key, 1, name, sizeof(name))) << name;
  SettingsCloseKey(key);
}

TEST_F(LsProcess, AFreshMachineListsTheSample) {
  ASSERT_TRUE(SettingsDeleteTree(rootKey_.c_str()));
  ToolRun run = Tolvane("ls --format tsv");
  ASSERT_EQ(run.Status, 0) << run.Err;
  std::string names;
  for (const std::string& line : Lines(run.Out)) names += Field(line, 0) + " ";
  EXPECT_EQ(names, "1 2 3 4 ");
  SettingsKey key;
  EXPECT_FALSE(SettingsOpenKey((rootKey_ + "\\Tolvane").c_str(), &key));
}

// The nodelists in the folder of the real ones (its README aside), in
// name order; none when the folder is absent.
std::vector<std::filesystem::path> RealLists() {
  std::vector<std::filesystem::path> lists;
  std::error_code error;
  std::filesystem::directory_iterator entries(TOLVANE_NODELISTS_DIR, error);
  for (; !error && entries != std::filesystem::directory_iterator();
       entries.increment(error))
    if (entries->is_regular_file() && entries->path().filename() != "README.md")
      lists.push_back(entries->path());
  std::sort(lists.begin(), lists.end());
  return lists;
}

// Every real nodelist beside the project, compiled at test time: the root,
// a sysop search and the whole tree through the host's file search.
TEST_F(LsProcess, RealNodelists) {
  std::vector<std::filesystem::path> lists = RealLists();
  if (lists.empty())
    GTEST_SKIP() << "no real nodelists at " << TOLVANE_NODELISTS_DIR;
  for (const std::filesystem::path& list : lists) {
    std::string name = list.filename().string();
    TempFolder out;
    ToolRun compiled =
        RunTool("tolvane-compile", "--out " + SysQuoteArgument(out.Path()) +
                                       " " + SysQuoteArgument(list.string()));
    ASSERT_EQ(compiled.Status, 0) << name << compiled.Err;
    std::string folder = " --nodelist " + SysQuoteArgument(out.Path());
    ToolRun root = Tolvane("ls --format tsv" + folder);
    EXPECT_EQ(root.Status, 0) << name << root.Err;
    EXPECT_FALSE(root.Out.empty()) << name;
    ToolRun search =
        Tolvane("ls --format tsv " + SysQuoteArgument("?smith") + folder);
    EXPECT_EQ(search.Status, 0) << name << search.Err;
    // Down the first branch: the first zone, its first net.
    std::string zone = Field(Lines(root.Out).at(0), 0);
    ToolRun nets =
        Tolvane("ls --format tsv " + SysQuoteArgument(zone) + folder);
    EXPECT_EQ(nets.Status, 0) << name << nets.Err;
    std::string net = zone + ":" + Field(Lines(nets.Out).at(1), 0);
    ToolRun nodes =
        Tolvane("ls --format tsv " + SysQuoteArgument(net) + folder);
    EXPECT_EQ(nodes.Status, 0) << name << nodes.Err;
    auto begin = std::chrono::steady_clock::now();
    ToolRun find = Tolvane("find " + SysQuoteArgument("*") + folder);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin)
            .count();
    EXPECT_EQ(find.Status, 0) << name << find.Err;
    size_t entries = 0;
    for (const std::string& line : Lines(find.Out))
      entries += line.back() != '\\';
    std::printf(
        "[ figures  ] %s: %zu zones, %zu items in zone %s, %zu in net %s, "
        "%zu sysop hits for smith, find: %zu lines (%zu entries) in %.2f s\n",
        name.c_str(), Lines(root.Out).size(), Lines(nets.Out).size(),
        zone.c_str(), Lines(nodes.Out).size(), net.c_str(),
        Lines(search.Out).size() - 1, Lines(find.Out).size(), entries, seconds);
    // The file search meets every entry that the compiler wrote.
    size_t at = compiled.Out.find(" entries compiled");
    ASSERT_NE(at, std::string::npos) << compiled.Out;
    size_t start = compiled.Out.rfind(' ', at - 1) + 1;
    EXPECT_EQ(std::to_string(entries), compiled.Out.substr(start, at - start))
        << name;
  }
}

}  // namespace
