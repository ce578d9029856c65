// The published nodelists, compiled by the V7/V7+ compiler and read back
// through the plugin's nodelist database:
// - OpenAndSearch by address: every compiled entry comes back, in address
//   order, with its texts as the base-40 packing leaves them and its V7+
//   line byte for byte. The expectations come from reading the text
//   nodelist here, independently of the compiler: Down entries are left
//   out and a later entry of the same address replaces an earlier one.
// - The sysop index walk, for every beginning of every sysop key, against
//   a plain scan of the leaf chain, with trees of several shapes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "compiler/compiler.h"
#include "host/host_binding.h"
#include "nodelist/bytes.h"
#include "nodelist/file_set.h"
#include "nodelist/index_search.h"
#include "nodelist/record_reader.h"
#include "nodelist/v7_format.h"

namespace {

namespace fs = std::filesystem;

struct Expected {
  std::string Line;
  std::vector<std::string> Fields;
  uint16_t TypeFlag;
};

struct Delivered {
  NodeRecord Record;
  std::string Line;
  int HasLine;
};

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, ',')) fields.push_back(field);
  if (!line.empty() && line.back() == ',') fields.push_back("");
  return fields;
}

uint64_t KeyOf(uint16_t zone, uint16_t net, uint16_t node) {
  return (uint64_t{zone} << 48) | (uint64_t{net} << 32) |
         (uint64_t{node} << 16);
}

uint16_t TypeFlagOf(const std::string& keyword) {
  if (keyword == "Zone") return v7::kFlagZone;
  if (keyword == "Region") return v7::kFlagRegion;
  if (keyword == "Host") return v7::kFlagHost;
  if (keyword == "Hub") return v7::kFlagHub;
  return 0;
}

// The entries of a text nodelist by address, as a compiler keeps them.
std::map<uint64_t, Expected> ReadNodelist(const std::string& text) {
  std::map<uint64_t, Expected> entries;
  uint16_t zone = 0, net = 0;
  std::stringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '\x1A') break;
    if (line.empty() || line[0] == ';') continue;
    std::vector<std::string> fields = Split(line);
    if (fields.size() < 7) continue;
    const std::string& keyword = fields[0];
    uint16_t number = static_cast<uint16_t>(std::stoul(fields[1]));
    uint16_t node = number;
    if (keyword == "Zone") zone = net = number, node = 0;
    if (keyword == "Region" || keyword == "Host") net = number, node = 0;
    if (keyword == "Down") continue;
    entries[KeyOf(zone, net, node)] = {line, fields, TypeFlagOf(keyword)};
  }
  return entries;
}

// A text as the base-40 packing keeps it, cut to a field of `size`.
std::string Packed(const std::string& text, size_t size) {
  std::string packed;
  for (char c : text) {
    char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    packed += (upper && std::strchr(v7::kAlphabet, upper)) ? upper : ' ';
  }
  return packed.substr(0, size - 1);
}

std::string Cut(const std::string& text, size_t size) {
  return text.substr(0, size - 1);
}

// The line from its eighth field on: everything after the seventh comma.
std::string FlagsPart(const std::string& line) {
  size_t at = 0;
  for (int comma = 0; comma < 7; ++comma) {
    at = line.find(',', at);
    if (at == std::string::npos) return "";
    ++at;
  }
  return line.substr(at);
}

int Collect(NodeRecord* record, void* data) {
  Delivered one{*record, CurrentPlusLine ? CurrentPlusLine : "",
                CurrentPlusLine != nullptr};
  static_cast<std::vector<Delivered>*>(data)->push_back(one);
  return 1;
}

int FARAPI CompareNoCase(const char* a, const char* b, int n) {
  for (int i = 0; i < n; ++i) {
    int x = std::toupper(static_cast<unsigned char>(a[i]));
    int y = std::toupper(static_cast<unsigned char>(b[i]));
    if (x != y || x == 0) return x - y;
  }
  return 0;
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void CheckEntry(const Expected& e, const Delivered& d, const char* list) {
  const NodeRecord& r = d.Record;
  const std::vector<std::string>& f = e.Fields;
  SCOPED_TRACE(std::string(list) + ": " + e.Line);
  EXPECT_EQ(e.TypeFlag, r.NodeFlags & 0x0F);
  EXPECT_EQ(Packed(f[2], sizeof(r.SystemName)), r.SystemName);
  EXPECT_EQ(Packed(f[3], sizeof(r.Location)), r.Location);
  EXPECT_EQ(Packed(f[4], sizeof(r.DisplaySysop)), r.SysopName);
  ASSERT_TRUE(d.HasLine);
  EXPECT_EQ(e.Line, d.Line);
  EXPECT_EQ(Cut(f[0], sizeof(r.Keyword)), r.Keyword);
  EXPECT_EQ(Cut(f[2], sizeof(r.DisplaySystem)), r.DisplaySystem);
  EXPECT_EQ(Cut(f[3], sizeof(r.DisplayLocation)), r.DisplayLocation);
  EXPECT_EQ(Cut(f[4], sizeof(r.DisplaySysop)), r.DisplaySysop);
  EXPECT_EQ(Cut(FlagsPart(e.Line), sizeof(r.FlagsText)), r.FlagsText);
}

class NodelistRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(NodelistRoundTrip, EveryEntryComesBack) {
  fs::path source = fs::path(TOLVANE_REAL_NODELISTS) / GetParam();
  std::ifstream in(source, std::ios::binary);
  if (!in) GTEST_SKIP() << "no real nodelist " << source;
  std::string text((std::istreambuf_iterator<char>(in)), {});

  v7c::CompiledSet set;
  v7c::CompileStats stats{};
  v7c::Reporter reporter{nullptr, nullptr, 0};
  std::vector<v7c::SourceText> sources{{GetParam(), text, 0}};
  ASSERT_EQ(1, v7c::CompileNodelist(sources, nullptr, nullptr,
                                    {1, v7::kUsualBlockSize}, &set, &stats,
                                    &reporter));
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path folder = fs::temp_directory_path() /
                    ("tolvane-roundtrip-" + std::to_string(stamp));
  fs::create_directories(folder);
  WriteFile(folder / "NODEX.DAT", set.dat);
  WriteFile(folder / "NODEX.DTP", set.dtp);
  WriteFile(folder / "NODEX.NDX", set.ndx);
  std::string directory = folder.string() + PathSeparator();

  std::vector<Delivered> found;
  std::memset(&Nodelist, 0, sizeof(Nodelist));
  std::memset(&SearchKey, 0, sizeof(SearchKey));
  HostFunctions.LStrnicmp = CompareNoCase;
  Nodelist.Directory = directory.c_str();
  Nodelist.NodelistName = "NODEX";
  Nodelist.Key = &SearchKey;
  Nodelist.OnMatch = Collect;
  Nodelist.MatchData = &found;
  Nodelist.SearchKind = SearchByAddress;
  Nodelist.Flags = UsePlusData;
  int result = OpenAndSearch(&Nodelist);
  CloseFileSet(&Nodelist);
  fs::remove_all(folder);
  ASSERT_EQ(12, result) << LastErrorText;
  EXPECT_EQ(0, Nodelist.Damaged) << LastErrorText;

  std::map<uint64_t, Expected> expected = ReadNodelist(text);
  ASSERT_EQ(expected.size(), found.size());
  EXPECT_EQ(stats.entries, found.size());
  size_t i = 0;
  for (const auto& [key, entry] : expected) {
    const NodeRecord& r = found[i].Record;
    ASSERT_EQ(key, KeyOf(r.Zone, r.Net, r.Node)) << "entry " << i;
    CheckEntry(entry, found[i++], GetParam());
  }
}

INSTANTIATE_TEST_SUITE_P(PublishedLists, NodelistRoundTrip,
                         ::testing::Values("NODELIST.002", "NODELIST.122",
                                           "Z2DAILY.067", "tqwnet.233"));

// One entry of the sysop index's leaf chain.
struct LeafEntry {
  std::string Key;
  uint32_t Data;
};

// The leaf chain of an index image, from its first leaf along the links to
// the next leaf: every entry in index order, read without the tree above.
std::vector<LeafEntry> LeafChain(const std::vector<uint8_t>& index) {
  std::vector<LeafEntry> entries;
  const unsigned char* base = index.data();
  uint32_t size = ReadU16(base + v7::kCtlBlockSize);
  uint32_t blocks = static_cast<uint32_t>(index.size() / size);
  for (uint32_t block = ReadU32(base + v7::kCtlFirstLeaf), seen = 0;
       block != 0 && block < blocks && seen < blocks; ++seen) {
    const unsigned char* b = base + size_t{block} * size;
    int count = static_cast<int16_t>(ReadU16(b + v7::kBlkCount));
    for (int j = 0; j < count; ++j) {
      const unsigned char* e = b + v7::kBlkHeaderSize + j * v7::kLeafEntrySize;
      entries.push_back({std::string(reinterpret_cast<const char*>(b) +
                                         ReadU16(e + v7::kEntKeyOffset),
                                     ReadU16(e + v7::kEntKeyLength)),
                         ReadU32(e + v7::kEntData)});
    }
    block = ReadU32(b + v7::kBlkNext);
  }
  return entries;
}

// The address of the data record at `offset`, point included, as a number.
uint64_t RecordAddress(const std::vector<uint8_t>& dat, uint32_t offset) {
  const unsigned char* r = dat.data() + offset;
  uint16_t point = (ReadU16(r + v7::kRecNodeFlags) & v7::kFlagPoint)
                       ? ReadU16(r + v7::kRecHubOrPoint)
                       : 0;
  return KeyOf(ReadU16(r + v7::kRecZone), ReadU16(r + v7::kRecNet),
               ReadU16(r + v7::kRecNode)) |
         point;
}

int CollectAddress(NodeRecord* r, void* data) {
  uint16_t point = (r->NodeFlags & v7::kFlagPoint) ? r->HubOrPoint : 0;
  static_cast<std::vector<uint64_t>*>(data)->push_back(
      KeyOf(r->Zone, r->Net, r->Node) | point);
  return 1;
}

// The sysop rule, the plain way: an entry matches when its first n
// characters equal the key's, letters folded, n the shorter length of the
// two (so an entry that begins with the key and one that is itself a
// beginning of the key both match).
bool SysopMatches(const std::string& entry, const std::string& key) {
  size_t n = entry.size() < key.size() ? entry.size() : key.size();
  return CompareNoCase(entry.data(), key.data(), static_cast<int>(n)) == 0;
}

// Every beginning of every key in the chain (up to the longest search key).
std::set<std::string> ProbeKeys(const std::vector<LeafEntry>& chain) {
  std::set<std::string> probes;
  for (const LeafEntry& e : chain)
    for (size_t n = 1; n <= e.Key.size() && n <= kMaxSysopKeyLength; ++n)
      probes.insert(e.Key.substr(0, n));
  return probes;
}

// Walks the sysop index that the file set names (SDX, or SYSOP.NDX when
// shared) for every probe key and compares the delivered entries, in
// order, with a scan of the leaf chain. Returns the number of probes that
// differ.
size_t CompareSysopWalks(const std::string& directory, uint16_t flags,
                         const std::vector<uint8_t>& dat,
                         const std::vector<LeafEntry>& chain,
                         const std::set<std::string>& probes) {
  // Leaf entries by folded first character: only those can match a key.
  std::map<int, std::vector<const LeafEntry*>> byFirst;
  for (const LeafEntry& e : chain)
    if (!e.Key.empty())
      byFirst[std::toupper(static_cast<unsigned char>(e.Key[0]))].push_back(&e);
  std::memset(&Nodelist, 0, sizeof(Nodelist));
  Nodelist.Directory = directory.c_str();
  Nodelist.NodelistName = "NODEX";
  Nodelist.SearchKind = SearchBySysop;
  Nodelist.Flags = static_cast<uint16_t>(flags | FixedFieldsOnly);
  Nodelist.OnMatch = CollectAddress;
  HostFunctions.LStrnicmp = CompareNoCase;
  BuildFileNames(&Nodelist, &NodelistFileNames);
  EXPECT_EQ(0, MapReadOnly(&Nodelist.DataFile, NodelistFileNames.Data.Text));
  EXPECT_EQ(0, MapReadOnly(&Nodelist.SysopIndex, NodelistFileNames.Index.Text))
      << LastErrorText;
  Nodelist.ActiveIndex = Nodelist.SysopIndex.View;
  Nodelist.ActiveIndexSize = Nodelist.SysopIndex.Size;
  size_t differing = 0;
  for (const std::string& probe : probes) {
    std::vector<uint64_t> expected, found;
    int first = std::toupper(static_cast<unsigned char>(probe[0]));
    for (const LeafEntry* e : byFirst[first])
      if (SysopMatches(e->Key, probe))
        expected.push_back(RecordAddress(dat, e->Data));
    Nodelist.MatchData = &found;
    Search.Compare = CompareSysopKey;
    Search.SearchKey = probe.c_str();
    Search.KeyLength = static_cast<int>(probe.size());
    Search.AddressKeys = 0;
    StartSearch(&Nodelist);
    if (found != expected && ++differing <= 5)
      ADD_FAILURE() << NodelistFileNames.Index.Text << ": \"" << probe
                    << "\" finds " << found.size() << " of " << expected.size();
  }
  EXPECT_EQ(0, Nodelist.Damaged) << LastErrorText;
  CloseFileSet(&Nodelist);
  return differing;
}

class SysopWalk : public ::testing::TestWithParam<const char*> {};

// Index blocks of 128 bytes hold two or three keys: deep trees, where many
// index keys fall between an entry and the keys it is a beginning of.
TEST_P(SysopWalk, EveryKeyBeginningFindsWhatTheLeafChainHolds) {
  fs::path source = fs::path(TOLVANE_REAL_NODELISTS) / GetParam();
  std::ifstream in(source, std::ios::binary);
  if (!in) GTEST_SKIP() << "no real nodelist " << source;
  std::string text((std::istreambuf_iterator<char>(in)), {});
  for (uint16_t blockSize : {uint16_t{v7::kUsualBlockSize}, uint16_t{128}}) {
    v7c::CompiledSet set;
    v7c::CompileStats stats{};
    v7c::Reporter reporter{nullptr, nullptr, 0};
    std::vector<v7c::SourceText> sources{{GetParam(), text, 0}};
    ASSERT_EQ(1, v7c::CompileNodelist(sources, nullptr, nullptr, {0, blockSize},
                                      &set, &stats, &reporter));
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path folder = fs::temp_directory_path() /
                      ("tolvane-sysopwalk-" + std::to_string(stamp));
    fs::create_directories(folder);
    WriteFile(folder / "NODEX.DAT", set.dat);
    WriteFile(folder / "NODEX.SDX", set.sdx);
    WriteFile(folder / "SYSOP.NDX", set.sdx);
    std::vector<LeafEntry> chain = LeafChain(set.sdx);
    ASSERT_EQ(stats.entries, chain.size());
    std::set<std::string> probes = ProbeKeys(chain);
    std::string directory = folder.string() + PathSeparator();
    for (uint16_t flags : {uint16_t{0}, uint16_t{SharedSysopIndex}}) {
      size_t differing =
          CompareSysopWalks(directory, flags, set.dat, chain, probes);
      EXPECT_EQ(0u, differing);
      std::printf(
          "[ figures  ] %s, blocks of %u, %s: %zu of %zu probe keys "
          "differ, tree of %u levels\n",
          GetParam(), unsigned{blockSize}, flags ? "SYSOP.NDX" : "NODEX.SDX",
          differing, probes.size(),
          unsigned{ReadU16(set.sdx.data() + v7::kCtlLevels)});
    }
    fs::remove_all(folder);
  }
}

INSTANTIATE_TEST_SUITE_P(PublishedLists, SysopWalk,
                         ::testing::Values("NODELIST.002", "NODELIST.122",
                                           "Z2DAILY.067", "tqwnet.233"));

}  // namespace
