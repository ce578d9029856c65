// The sysop search as a user meets it, on the published nodelists compiled
// at test time: every entry is found by its sysop's name as the nodelist
// spells it (underscores read as blanks), typed into the F7 box and given
// on the host's command line after "V7:?".
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "farhost/sys/sys.h"
#include "panel_fixture.h"

namespace {

const int kF7 = 118;

// The dotted address of every entry of a text nodelist by the sysop name
// it is listed under, as the compiler keeps them: Down entries left out, a
// later entry of the same address in place of an earlier one.
std::map<std::string, std::set<std::string>> EntriesBySysop(
    const std::string& text) {
  std::map<std::string, std::string> sysopOf;  // dotted address -> name
  unsigned zone = 0, net = 0;
  std::stringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '\x1A') break;
    if (line.empty() || line[0] == ';') continue;
    std::vector<std::string> fields;
    std::stringstream parts(line);
    std::string field;
    while (std::getline(parts, field, ',')) fields.push_back(field);
    if (fields.size() < 7) continue;
    unsigned number = static_cast<unsigned>(std::stoul(fields[1]));
    unsigned node = number;
    if (fields[0] == "Zone") zone = net = number, node = 0;
    if (fields[0] == "Region" || fields[0] == "Host") net = number, node = 0;
    if (fields[0] == "Down") continue;
    std::string name = fields[4];
    for (char& c : name)
      if (c == '_') c = ' ';
    sysopOf[std::to_string(zone) + "." + std::to_string(net) + "." +
            std::to_string(node)] = name;
  }
  std::map<std::string, std::set<std::string>> bySysop;
  for (const auto& [address, name] : sysopOf) bySysop[name].insert(address);
  return bySysop;
}

// The entries of `wanted` that the panel does not list.
size_t Missing(const PanelModel& panel, const std::set<std::string>& wanted) {
  size_t found = 0;
  for (const PluginPanelItem& item : panel.Items)
    found += wanted.count(item.FindData.cFileName);
  return wanted.size() - found;
}

class SysopSearchTest : public PanelTest,
                        public ::testing::WithParamInterface<const char*> {};

TEST_P(SysopSearchTest, EveryEntryIsFoundByItsSysopName) {
  std::string source = SysJoinPath(TOLVANE_NODELISTS_DIR, GetParam());
  std::ifstream in(source, std::ios::binary);
  if (!in) GTEST_SKIP() << "no real nodelist " << source;
  std::string text((std::istreambuf_iterator<char>(in)),
                   std::istreambuf_iterator<char>());
  TempFolder out;
  ToolRun compiled =
      RunTool("tolvane-compile", "--out " + SysQuoteArgument(out.Path()) + " " +
                                     SysQuoteArgument(source));
  ASSERT_EQ(compiled.Status, 0) << compiled.Err;
  WriteText("Path to nodelist", SysJoinPath(out.Path(), ""));
  PanelModel* panel = Open();
  ASSERT_NE(panel, nullptr);
  std::map<std::string, std::set<std::string>> bySysop = EntriesBySysop(text);
  // Every entry the compiler wrote is looked for.
  size_t entries = 0;
  for (const auto& [name, addresses] : bySysop) entries += addresses.size();
  EXPECT_NE(compiled.Out.find(std::to_string(entries) + " entries compiled"),
            std::string::npos)
      << entries << " entries here; " << compiled.Out;
  size_t names = 0, lostByKey = 0, lostByCommandLine = 0;
  for (const auto& [name, addresses] : bySysop) {
    if (name.find_first_not_of(' ') == std::string::npos) continue;
    ++names;
    ui_.Push(UiAnswer::Input(name));
    ASSERT_EQ(host_->Exports().ProcessKey(panel->Plugin, kF7, 0), 1);
    if (size_t lost = Missing(*panel, addresses)) {
      lostByKey += lost;
      ADD_FAILURE() << "F7 " << name << ": " << lost << " of "
                    << addresses.size();
    }
    PanelModel* typed = OpenFromCommandLine(host_.get(), "V7:?" + name);
    ASSERT_NE(typed, nullptr) << name;
    if (size_t lost = Missing(*typed, addresses)) {
      lostByCommandLine += lost;
      ADD_FAILURE() << "V7:?" << name << ": " << lost << " of "
                    << addresses.size();
    }
    ClosePanel(host_.get(), typed, 1);
    if (lostByKey + lostByCommandLine > 20) break;
  }
  EXPECT_TRUE(BoxesOf(ui_).empty());
  EXPECT_TRUE(host_->errors.empty());
  std::printf(
      "[ figures  ] %s: %zu sysop names, entries lost: %zu by F7, "
      "%zu by V7:?\n",
      GetParam(), names, lostByKey, lostByCommandLine);
}

INSTANTIATE_TEST_SUITE_P(PublishedLists, SysopSearchTest,
                         ::testing::Values("NODELIST.002", "NODELIST.122",
                                           "Z2DAILY.067", "tqwnet.233"));

}  // namespace
