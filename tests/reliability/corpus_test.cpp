// Damaged nodelist sets through the real plugin in farhost: every case of
// the corpus (tests/reliability/corpus/*.hex, the base set with damage at
// named offsets) and the base set truncated at every interesting offset.
// Each must end with a message that names the damaged file, within a
// bounded time, with the host's interface used correctly.
#include <algorithm>
#include <filesystem>

#include "farhost/commands/find_walk.h"
#include "reliability_support.h"

namespace {

const int kCaseSeconds = 20;

bool Mentions(const std::vector<std::string>& boxes, const std::string& name) {
  return std::any_of(boxes.begin(), boxes.end(), [&](const std::string& box) {
    return box.find(name) != std::string::npos;
  });
}

std::string Joined(const std::vector<std::string>& boxes) {
  std::string all;
  for (const std::string& box : boxes) all += "\n  " + box;
  return all.empty() ? std::string(" (no message)") : all;
}

std::vector<std::string> CorpusCases() {
  std::vector<std::string> paths;
  for (const auto& entry :
       std::filesystem::directory_iterator(CorpusFolder())) {
    std::string name = entry.path().filename().string();
    if (entry.path().extension() == ".hex" && name != "base.hex")
      paths.push_back(entry.path().string());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

// Opens a panel on the set in `folder`, moves to `path` and lists it.
std::vector<std::string> ListDamaged(const ScratchFolder& folder,
                                     const std::string& path,
                                     std::vector<std::string>* hostFaults) {
  HostedPlugin plugin(folder.Path());
  std::string error;
  EXPECT_TRUE(plugin.Start(&error)) << error;
  if (!error.empty()) return {};
  HANDLE panel = plugin.Plugin().OpenPlugin(OPEN_PLUGINSMENU, 0);
  EXPECT_NE(panel, INVALID_HANDLE_VALUE);
  if (panel == INVALID_HANDLE_VALUE) return {};
  if (MoveAndList(plugin.Plugin(), panel, path, 0) < 0) {
    PluginPanelItem* items = nullptr;
    int count = 0;
    if (plugin.Plugin().GetFindData(panel, &items, &count, 0))
      plugin.Plugin().FreeFindData(panel, items, count);
  }
  plugin.Plugin().ClosePlugin(panel);
  *hostFaults = plugin.Host()->errors;
  return plugin.Messages();
}

TEST(DamagedNodelist, EveryCorpusCaseEndsInAMessageNamingTheFile) {
  std::vector<std::string> cases = CorpusCases();
  ASSERT_GE(cases.size(), 20u) << "corpus in " << CorpusFolder();
  for (const std::string& path : cases) {
    DamageCase damage;
    std::string error;
    ASSERT_TRUE(LoadDamageCase(path, &damage, &error)) << error;
    ScratchFolder folder;
    folder.Write(damage.Files);
    std::vector<std::string> faults;
    std::vector<std::string> boxes;
    {
      Watchdog watchdog("damaged case " + damage.Name, kCaseSeconds);
      boxes = ListDamaged(folder, damage.ListPath, &faults);
    }
    SCOPED_TRACE(damage.Name + ": " + damage.Description);
    EXPECT_TRUE(faults.empty()) << faults.front();
    if (damage.Expect == "none") {
      EXPECT_TRUE(boxes.empty()) << Joined(boxes);
    } else {
      EXPECT_TRUE(Mentions(boxes, folder.Path() + damage.Expect))
          << "listing " << damage.ListPath << " gave" << Joined(boxes);
    }
  }
}

// Offsets where a file is cut: inside and at the ends of the headers,
// records and index blocks, and the last byte.
std::vector<size_t> CutOffsets(size_t size) {
  std::vector<size_t> offsets = {
      0,   1,    2,    5,    6,    10,   11,   15,       16,
      21,  22,   23,   50,   100,  511,  512,  513,      527,
      528, 1023, 1024, 1040, 1535, 1536, 1552, size / 2, size - 1};
  offsets.erase(std::remove_if(offsets.begin(), offsets.end(),
                               [size](size_t o) { return o >= size; }),
                offsets.end());
  std::sort(offsets.begin(), offsets.end());
  offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
  return offsets;
}

// Counts the entries met: the hits that are no directory.
void CountHit(const FindHit& hit, void* entries) {
  *static_cast<long*>(entries) += !hit.Directory;
}

// The host's file search over the whole tree, which reads every record;
// the number of entries it met goes to *entries when given.
std::vector<std::string> SearchWholeTree(const ScratchFolder& folder,
                                         std::vector<std::string>* faults,
                                         long* entries = nullptr) {
  HostedPlugin plugin(folder.Path());
  std::string error;
  EXPECT_TRUE(plugin.Start(&error)) << error;
  if (!error.empty()) return {};
  PanelModel* panel = OpenPanel(plugin.Host(), OPEN_PLUGINSMENU, 0);
  EXPECT_NE(panel, nullptr);
  if (panel == nullptr) return {};
  long met = 0;
  FindFiles(plugin.Host(), panel, "*", FindLimits(), CountHit, &met);
  if (entries != nullptr) *entries = met;
  *faults = plugin.Host()->errors;
  return plugin.Messages();
}

TEST(DamagedNodelist, TruncatedFilesAreNamedByTheFileSearch) {
  FileSet base;
  std::string error;
  ASSERT_TRUE(LoadBaseSet(&base, &error)) << error;
  for (const auto& [name, bytes] : base) {
    for (size_t cut : CutOffsets(bytes.size())) {
      FileSet damaged = base;
      damaged[name].resize(cut);
      ScratchFolder folder;
      folder.Write(damaged);
      std::vector<std::string> faults;
      std::vector<std::string> boxes;
      {
        Watchdog watchdog(name + " cut at " + std::to_string(cut),
                          kCaseSeconds);
        boxes = SearchWholeTree(folder, &faults);
      }
      SCOPED_TRACE(name + " cut at " + std::to_string(cut));
      EXPECT_TRUE(faults.empty()) << faults.front();
      EXPECT_TRUE(Mentions(boxes, folder.Path() + name)) << Joined(boxes);
    }
  }
}

// The sound set lists all its entries without any message: the damage
// above is what the messages are about. The base set holds 59 entries
// (its header: 60 generated, one of them Down).
TEST(DamagedNodelist, TheSoundBaseSetGivesNoMessage) {
  FileSet base;
  std::string error;
  ASSERT_TRUE(LoadBaseSet(&base, &error)) << error;
  ScratchFolder folder;
  folder.Write(base);
  std::vector<std::string> faults;
  long entries = 0;
  std::vector<std::string> boxes = SearchWholeTree(folder, &faults, &entries);
  EXPECT_TRUE(faults.empty());
  EXPECT_TRUE(boxes.empty()) << Joined(boxes);
  EXPECT_EQ(entries, 59);
}

}  // namespace
