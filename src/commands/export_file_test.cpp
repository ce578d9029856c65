#include "commands/export_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>

#include "commands/test_host.h"

namespace fs = std::filesystem;

namespace {

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter;
    dir = fs::temp_directory_path() /
          ("tolvane-export-" + std::to_string(++counter) + "-" +
           std::to_string(std::random_device{}()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    host.Texts[MNodeWord] = "NodeWord";
    host.Texts[MSystem] = "System";
    host.Texts[MSysop] = "Sysop";
    host.Texts[MLocation] = "Location";
    host.Texts[MPhone] = "Phone";
    host.Texts[MSpeed] = "Speed";
    host.Texts[MFlags] = "Flags";
    host.Texts[MOnline] = "Online (local) hours";  // cut to 16
    host.Texts[MCallCost] = "Call cost";
    host.Texts[MPassword] = "Password";
    host.Texts[MHierarchy] = "Hub";
    host.Texts[MRegion] = "Region";
    InstallTestHost(&host);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }

  PluginPanelItem Entry(const char* name, const ItemUserData& data,
                        const char* kind, const char* password = "",
                        uint32_t cost = 120) {
    PluginPanelItem item = host.Item(name, name, &data);
    host.SetColumns(
        &item, {kind, "Moscow Station", "Moscow", "CM,XA,IBN", "7-495-555-0101",
                "CM", password, "33600", "Ivan Sysop"});
    item.NumberOfLinks = cost;
    return item;
  }
  std::string Read(const char* name) {
    std::ifstream in(dir / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string Destination() { return dir.string(); }
  int Get(PluginPanelItem* items, int count, int opMode, int move = 0) {
    std::string destination = Destination();
    return PluginGetFiles(items, count, move, destination.c_str(), opMode);
  }

  fs::path dir;
  TestHost host;
};

const char kCommonLines[] =
    "System          : Moscow Station\r\n"
    "Sysop           : Ivan Sysop\r\n"
    "Location        : Moscow\r\n"
    "Phone           : 7-495-555-0101\r\n"
    "Speed           : 33600\r\n"
    "Flags           : CM,XA,IBN\r\n"
    "Online (local) h: CM\r\n";
// The flags in words close every file: category and meaning by their
// message numbers (operation 49, file requests 52, internet 53; CM 71,
// XA 107; the protocol flag alone 60).
const char kFlagLines[] =
    "CM              : m49: m71\r\n"
    "XA              : m52: m107\r\n"
    "IBN             : m53: m60\r\n";

TEST_F(ExportTest, DescriptionFilesMatchTheirGoldenText) {
  PluginPanelItem items[] = {
      Entry("7", UserData(2, 5020, 7, 0, 7, 0, 6), "Node"),
      Entry("8", UserData(2, 5020, 8, 0, 100, 50, 6), "", "secret",
            0xFFFFFFFFu),
      Entry("3", UserData(2, 5020, 7, 3, 3, 50, 8), "Point"),
      Entry("Longer kind word", UserData(2, 0, 0, 0, 0, 50, 2),
            "A kind word longer than sixteen"),
  };
  EXPECT_EQ(Get(items, 4, OPM_VIEW), 1);
  EXPECT_EQ(Read("7"), std::string("Node            : 2:5020/7\r\n") +
                           kCommonLines + "Call cost       : 120\r\n" +
                           kFlagLines);
  EXPECT_EQ(Read("8"), std::string("NodeWord        : 2:5020/8\r\n") +
                           kCommonLines +
                           "Call cost       : -1\r\n"
                           "Password        : secret\r\n"
                           "Hub             : 2:5020/100\r\n"
                           "Region          : 2:50\r\n" +
                           kFlagLines);
  EXPECT_EQ(Read("3"), std::string("Point           : 2:5020/7.3\r\n") +
                           kCommonLines +
                           "Call cost       : 120\r\n"
                           "Region          : 2:50\r\n" +
                           kFlagLines);
  EXPECT_EQ(Read("Longer kind word"),
            std::string("A kind word long: 2:0/0\r\n") + kCommonLines +
                "Call cost       : 120\r\n" + kFlagLines);
  EXPECT_TRUE(host.Messages.empty());
}

// Which of the optional lines an entry gets.
TEST_F(ExportTest, HubAndRegionLinesFollowLevelHubAndRegion) {
  struct Case {
    uint16_t Level, Node, Hub, Region;
    bool HubLine, RegionLine;
  };
  const Case cases[] = {
      {6, 7, 7, 0, false, false}, {6, 7, 9, 0, true, false},
      {6, 7, 9, 3, true, true},   {4, 7, 9, 3, false, true},
      {2, 7, 9, 3, false, false}, {8, 7, 9, 3, false, true},
      {6, 0, 0, 3, false, true},
  };
  int n = 0;
  for (const Case& c : cases) {
    std::string name = "e" + std::to_string(n++);
    SCOPED_TRACE(name);
    PluginPanelItem item =
        Entry(name.c_str(),
              UserData(2, 5020, c.Node, 0, c.Hub, c.Region, c.Level), "Node");
    EXPECT_EQ(Get(&item, 1, OPM_EDIT), 1);
    std::string text = Read(name.c_str());
    EXPECT_EQ(text.find("Hub ") != std::string::npos, c.HubLine);
    EXPECT_EQ(text.find("Region ") != std::string::npos, c.RegionLine);
    size_t lines = 0;
    for (char ch : text) lines += ch == '\n';
    EXPECT_EQ(lines, 9u + c.HubLine + c.RegionLine + 3);
  }
}

TEST_F(ExportTest, DestinationSeparatorIsAddedOnce) {
  PluginPanelItem item = Entry("7", UserData(2, 5020, 7, 0, 7), "Node");
  std::string withSeparator = Destination() + PathSeparator();
  EXPECT_EQ(PluginGetFiles(&item, 1, 0, withSeparator.c_str(), OPM_FIND), 1);
  EXPECT_TRUE(fs::exists(dir / "7"));
  fs::remove(dir / "7");
  EXPECT_EQ(Get(&item, 1, OPM_VIEW | OPM_SILENT), 1);
  EXPECT_TRUE(fs::exists(dir / "7"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
}

TEST_F(ExportTest, EmptyDestinationMeansTheCurrentDirectory) {
  fs::path before = fs::current_path();
  fs::current_path(dir);
  PluginPanelItem item = Entry("7", UserData(2, 5020, 7, 0, 7), "Node");
  int result = PluginGetFiles(&item, 1, 0, "", OPM_VIEW);
  fs::current_path(before);
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(fs::exists(dir / "7"));
}

TEST_F(ExportTest, CopyAndMoveAreRefusedAndCreateNothing) {
  PluginPanelItem item = Entry("7", UserData(2, 5020, 7, 0, 7), "Node");
  const int modes[] = {0, OPM_SILENT, OPM_TOPLEVEL, OPM_DESCR};
  for (int mode : modes) EXPECT_EQ(Get(&item, 1, mode), 0) << mode;
  EXPECT_EQ(Get(&item, 1, OPM_VIEW, 1), 0);
  EXPECT_EQ(Get(&item, 1, OPM_FIND | OPM_SILENT, 1), 0);
  EXPECT_EQ(Get(&item, 0, OPM_VIEW), 1);
  EXPECT_TRUE(fs::is_empty(dir));
  EXPECT_TRUE(host.Messages.empty());
}

TEST_F(ExportTest, ExistingFileIsKeptAndReported) {
  PluginPanelItem items[] = {
      Entry("7", UserData(2, 5020, 7, 0, 7), "Node"),
      Entry("9", UserData(2, 5020, 9, 0, 9), "Node"),
  };
  EXPECT_EQ(Get(items, 1, OPM_VIEW), 1);
  std::string first = Read("7");
  items[0].NumberOfLinks = 5;  // a second file would differ
  EXPECT_EQ(Get(items, 2, OPM_VIEW), 1);
  EXPECT_EQ(Read("7"), first);
  EXPECT_TRUE(fs::exists(dir / "9"));  // the next entry is still written
  ASSERT_EQ(host.Messages.size(), 1u);
  EXPECT_EQ(host.Messages[0].Flags, 3u);
  EXPECT_TRUE(host.Messages[0].HelpNull);
  EXPECT_EQ(host.Messages[0].Lines, (std::vector<std::string>{"m10", "m46"}));
  EXPECT_EQ(host.Messages[0].Buttons, 1);
  // Nothing written is no success: the host would go on to a missing file.
  EXPECT_EQ(Get(items, 1, OPM_VIEW | OPM_SILENT), 0);
  EXPECT_EQ(host.Messages.size(), 1u);
}

TEST_F(ExportTest, NamesThatCannotBeFormedAreRefused) {
  std::string longName(255, 'n');
  PluginPanelItem items[] = {
      Entry("..", UserData(2, 5020, 1, 0, 1), "Node"),
      Entry("a/b", UserData(2, 5020, 2, 0, 2), "Node"),
      Entry("a\\b", UserData(2, 5020, 3, 0, 3), "Node"),
      Entry(longName.c_str(), UserData(2, 5020, 4, 0, 4), "Node"),
      host.Item("nodata", "2:5020/5"),  // no address block: skipped
      Entry("6", UserData(2, 5020, 6, 0, 6), "Node"),
  };
  EXPECT_EQ(Get(items, 5, OPM_VIEW | OPM_SILENT), 0);  // none written
  EXPECT_TRUE(fs::is_empty(dir));
  EXPECT_EQ(Get(items, 6, OPM_VIEW), 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
  EXPECT_TRUE(fs::exists(dir / "6"));
  ASSERT_EQ(host.Messages.size(), 4u);
  for (const RecordedMessage& m : host.Messages) {
    EXPECT_EQ(m.Flags, 1u);
    ASSERT_EQ(m.Lines.size(), 3u);
    EXPECT_EQ(m.Lines[0], "m10");
    EXPECT_LE(m.Lines[1].size(), 80u);
  }
}

TEST_F(ExportTest, OverlongDestinationIsRefused) {
  PluginPanelItem item = Entry("7", UserData(2, 5020, 7, 0, 7), "Node");
  struct Case {
    size_t Length;
    bool EndsInSeparator;
  };
  const Case cases[] = {{259, false}, {258, false}, {259, true}, {400, false}};
  for (const Case& c : cases) {
    std::string destination = Destination() + PathSeparator();
    destination.resize(c.Length - 1, 'd');
    destination += c.EndsInSeparator ? PathSeparator() : 'd';
    host.Messages.clear();
    EXPECT_EQ(PluginGetFiles(&item, 1, 0, destination.c_str(), OPM_VIEW), 0);
    EXPECT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(
        PluginGetFiles(&item, 1, 0, destination.c_str(), OPM_VIEW | OPM_SILENT),
        0);
    EXPECT_EQ(host.Messages.size(), 1u);
  }
  EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(ExportTest, OverlongValuesAreCutToTheLine) {
  ItemUserData data = UserData(2, 5020, 7, 0, 7);
  PluginPanelItem item = host.Item("7", "7", &data);
  std::string flags(400, 'F');
  host.SetColumns(&item, {"Node", "", "", flags.c_str(), "", "", "", "", ""});
  EXPECT_EQ(Get(&item, 1, OPM_VIEW), 1);
  std::istringstream lines(Read("7"));
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    ++count;
    EXPECT_LE(line.size() + 1, 259u);
  }
  EXPECT_EQ(count, 10);  // and the one flag's line
  EXPECT_NE(Read("7").find("System          : \r\n"), std::string::npos);
}

}  // namespace
