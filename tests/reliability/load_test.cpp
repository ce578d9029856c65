// The plugin under load: three panels open and moving at once, many
// listings in a row in one process with flat memory, and a nodelist
// recompiled between two listings.
//
// TOLVANE_RELIABILITY_LISTINGS sets the number of listings in a row
// (2,000 by default; the long run is 100,000).
#include <cstdio>
#include <cstring>
#include <fstream>

#include "compiler/output_set.h"
#include "generator/generator.h"
#include "reliability_support.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
const bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
const bool kSanitized = true;
#else
const bool kSanitized = false;
#endif
#else
const bool kSanitized = false;
#endif

// Locations of the base set: the root, zones, nets and a node with
// points.
const char* const kLocations[] = {"\\",      "\\1",     "\\1:107", "\\3:3/2",
                                  "\\2:108", "\\3:102", "\\3"};
const int kLocationCount = sizeof(kLocations) / sizeof(kLocations[0]);

class LoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FileSet base;
    std::string error;
    ASSERT_TRUE(LoadBaseSet(&base, &error)) << error;
    folder_.Write(base);
  }
  ScratchFolder folder_;
};

std::string CurrentDirectory(const PluginExports& plugin, HANDLE panel) {
  OpenPluginInfo info;
  std::memset(&info, 0, sizeof(info));
  plugin.GetOpenPluginInfo(panel, &info);
  return info.CurDir ? info.CurDir : "";
}

// Each location lists as many items as a lone panel lists there.
TEST_F(LoadTest, ThreePanelsOpenAndMovingAtOnce) {
  HostedPlugin plugin(folder_.Path());
  std::string error;
  ASSERT_TRUE(plugin.Start(&error)) << error;
  const PluginExports& p = plugin.Plugin();
  int expected[kLocationCount];
  HANDLE lone = p.OpenPlugin(OPEN_PLUGINSMENU, 0);
  ASSERT_NE(lone, INVALID_HANDLE_VALUE);
  for (int i = 0; i < kLocationCount; ++i) {
    expected[i] = MoveAndList(p, lone, kLocations[i], OPM_SILENT);
    EXPECT_GT(expected[i], 0) << kLocations[i];
  }
  p.ClosePlugin(lone);
  HANDLE panels[3];
  for (HANDLE& panel : panels) {
    panel = p.OpenPlugin(OPEN_PLUGINSMENU, 0);
    ASSERT_NE(panel, INVALID_HANDLE_VALUE);
  }
  EXPECT_EQ(p.OpenPlugin(OPEN_PLUGINSMENU, 0), INVALID_HANDLE_VALUE)
      << "a fourth panel while three are open";
  std::string where[3];
  for (int round = 0; round < 40; ++round) {
    for (int k = 0; k < 3; ++k) {
      int i = (round + 2 * k) % kLocationCount;
      ASSERT_EQ(MoveAndList(p, panels[k], kLocations[i], OPM_SILENT),
                expected[i])
          << "panel " << k << " round " << round << " " << kLocations[i];
      where[k] = CurrentDirectory(p, panels[k]);
      for (int other = 0; other < 3 && round > 0; ++other)
        EXPECT_EQ(CurrentDirectory(p, panels[other]), where[other]);
    }
  }
  for (HANDLE panel : panels) p.ClosePlugin(panel);
  EXPECT_TRUE(plugin.Messages().empty());
  EXPECT_TRUE(plugin.Host()->errors.empty());
}

TEST_F(LoadTest, ManyListingsInARowKeepMemoryFlat) {
  const long listings = EnvNumber("TOLVANE_RELIABILITY_LISTINGS", 2000);
  HostedPlugin plugin(folder_.Path());
  std::string error;
  ASSERT_TRUE(plugin.Start(&error)) << error;
  const PluginExports& p = plugin.Plugin();
  HANDLE panel = p.OpenPlugin(OPEN_PLUGINSMENU, 0);
  ASSERT_NE(panel, INVALID_HANDLE_VALUE);
  for (int i = 0; i < 200; ++i)
    MoveAndList(p, panel, kLocations[i % kLocationCount], OPM_SILENT);
  long sizeBefore = 0, rssBefore = 0, sizeAfter = 0, rssAfter = 0;
  int figures = ReadMemoryFigures(&sizeBefore, &rssBefore);
  long failed = 0;
  for (long i = 0; i < listings; ++i) {
    if (MoveAndList(p, panel, kLocations[i % kLocationCount], OPM_SILENT) <= 0)
      ++failed;
  }
  figures &= ReadMemoryFigures(&sizeAfter, &rssAfter);
  p.ClosePlugin(panel);
  EXPECT_EQ(failed, 0);
  EXPECT_TRUE(plugin.Messages().empty());
  std::printf("%ld listings: VmSize %ld -> %ld KiB, VmRSS %ld -> %ld KiB\n",
              listings, sizeBefore, sizeAfter, rssBefore, rssAfter);
  if (!figures || kSanitized) return;  // no figures, or ASan's own heap
  EXPECT_LT(sizeAfter - sizeBefore, 1024) << "address space grew";
  EXPECT_LT(rssAfter - rssBefore, 2048) << "resident memory grew";
}

// Writes the generated nodelist and compiles it into folder.
int CompileGenerated(uint64_t seed, const std::string& folder,
                     v7gen::GeneratedList* list) {
  v7gen::GeneratorOptions options = {60, seed, 1};
  if (!v7gen::GenerateNodelist(options, list)) return 0;
  std::string nodelist = folder + "source.txt";
  std::string points = folder + "points.txt";
  std::ofstream(nodelist, std::ios::binary) << list->nodelist;
  std::ofstream(points, std::ios::binary) << list->pointlist;
  v7c::CompilerArgs args;
  args.out_dir = folder;
  args.inputs = {nodelist, points};
  FILE* sink = std::tmpfile();
  int result = v7c::RunCompiler(args, sink, sink);
  if (sink) std::fclose(sink);
  return result == 0;
}

// The address of the one hit of a sysop search, or "".
std::string SearchHit(const PluginExports& p, HANDLE panel,
                      const std::string& name) {
  if (!p.SetDirectory(panel, ("?" + name).c_str(), 0)) return "";
  PluginPanelItem* items = nullptr;
  int count = 0;
  std::string hit;
  if (p.GetFindData(panel, &items, &count, 0) && count == 2)
    hit = items[1].Description ? items[1].Description : "";
  p.FreeFindData(panel, items, count);
  p.SetDirectory(panel, "..", 0);
  return hit;
}

TEST(Recompile, TheNextListingSeesTheRecompiledNodelist) {
  ScratchFolder folder;
  v7gen::GeneratedList first, second;
  ASSERT_TRUE(CompileGenerated(1, folder.Path(), &first));
  HostedPlugin plugin(folder.Path());
  std::string error;
  ASSERT_TRUE(plugin.Start(&error)) << error;
  const PluginExports& p = plugin.Plugin();
  HANDLE panel = p.OpenPlugin(OPEN_PLUGINSMENU, 0);
  ASSERT_NE(panel, INVALID_HANDLE_VALUE);
  std::string given = first.rare_key.substr(first.rare_key.find(", ") + 2);
  std::string surname = first.rare_key.substr(0, first.rare_key.find(','));
  std::string name = given + " " + surname;
  EXPECT_EQ(SearchHit(p, panel, name), first.rare_address);
  ASSERT_TRUE(CompileGenerated(4, folder.Path(), &second));
  ASSERT_EQ(second.rare_key, first.rare_key);
  ASSERT_NE(second.rare_address, first.rare_address) << "pick other seeds";
  EXPECT_EQ(SearchHit(p, panel, name), second.rare_address);
  p.ClosePlugin(panel);
  EXPECT_TRUE(plugin.Messages().empty());
}

}  // namespace
