// The published nodelists, compiled by the V7/V7+ compiler and read back
// through OpenAndSearch: every compiled entry comes back, in address order,
// with its texts as the base-40 packing leaves them and its V7+ line byte
// for byte. The expectations come from reading the text nodelist here,
// independently of the compiler: Down entries are left out and a later
// entry of the same address replaces an earlier one.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "compiler/compiler.h"
#include "host/host_binding.h"
#include "nodelist/file_set.h"
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
  EXPECT_EQ(Packed(f[4], sizeof(r.SysopName)), r.SysopName);
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
  if (!in) GTEST_SKIP() << "no published nodelists at " << source;
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

}  // namespace
