// Writes the seed corpus of every fuzz target, so that a short run starts
// from inputs that pass the first checks of each format and goes on into
// the code behind them. The seeds come from files kept in the project:
// the compiled sample nodelist, the damage corpus of the reliability
// tests, and the lines, paths and settings files in tests/fuzz/seeds.
//
// Usage: fuzz_seeds SOURCE_DIR SAMPLE_DIR OUT_DIR
// writes OUT_DIR/<target>/<seed> for each target; exit status 1 (with the
// reason) when an input is missing or a made seed is not what it should be.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "compiler/nodediff.h"
#include "damage_case.h"
#include "nodelist/endpoints.h"
#include "nodelist/records.h"
#include "panel/item_user_data.h"
#include "panel/panel_modes.h"
#include "test_lists.h"
#include "test_reader.h"

namespace {

namespace fs = std::filesystem;
typedef std::string Bytes;

fs::path Out;
int Written = 0;

[[noreturn]] void Fail(const std::string& why) {
  std::fprintf(stderr, "fuzz_seeds: %s\n", why.c_str());
  std::exit(1);
}

Bytes ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot read " + path.string());
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void Seed(const char* target, const std::string& name, const Bytes& bytes) {
  fs::create_directories(Out / target);
  std::ofstream out(Out / target / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  if (!out) Fail("cannot write " + (Out / target / name).string());
  ++Written;
}

Bytes U16(uint32_t v) { return Bytes{char(v & 0xFF), char((v >> 8) & 0xFF)}; }
Bytes U32(uint32_t v) { return U16(v & 0xFFFF) + U16(v >> 16); }

// The lines of a seeds text file, without comments and blank lines.
std::vector<std::string> SeedLines(const fs::path& path) {
  std::vector<std::string> lines;
  std::istringstream in(ReadAll(path));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  }
  return lines;
}

std::vector<uint8_t> Unsigned(const Bytes& bytes) {
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// A compiled set: the sample, the corpus's base set or a damaged case.
struct CompiledSet {
  std::string Name;
  FileSet Files;
};

// fuzz_record: u16 size of the data file, u8 flags, u32 offset, the data
// file, the V7+ data file. Records at the offsets the index gives.
void RecordSeeds(const CompiledSet& set) {
  const Bytes& dat = set.Files.at("NODEX.DAT");
  if (dat.size() > 0xFFFF) return;
  Bytes dtp = set.Files.count("NODEX.DTP") ? set.Files.at("NODEX.DTP") : "";
  v7test::IndexCheck index =
      v7test::CheckIndex(Unsigned(set.Files.at("NODEX.NDX")));
  std::vector<uint32_t> offsets = {0};
  for (size_t i = 0; i < index.leaves.size(); i += 7)
    offsets.push_back(index.leaves[i].data);
  for (uint32_t offset : offsets)
    for (uint16_t flags : {uint16_t{0}, uint16_t{UsePlusData},
                           uint16_t{UsePlusData | FixedFieldsOnly}})
      Seed(
          "fuzz_record",
          set.Name + "-" + std::to_string(offset) + "-" + std::to_string(flags),
          U16(uint32_t(dat.size())) + char(flags) + U32(offset) + dat + dtp);
}

// fuzz_walk: u8 mode (bit 0 sysop search, bits 1-4 key length, bit 5 one
// per next part), 8 bytes of key, the index.
void WalkSeeds(const CompiledSet& set) {
  struct Key {
    const char* Name;
    uint8_t Mode;
    Bytes Key;
  };
  const Key keys[] = {
      {"root", 0x20, Bytes(8, '\0')},
      {"zone2", 2 << 1 | 0x20, U16(2) + Bytes(6, '\0')},
      {"net", 4 << 1, U16(2) + U16(5020) + Bytes(4, '\0')},
      {"node", 6 << 1, U16(2) + U16(5020) + U16(100) + U16(0)},
      {"sysop", 6 << 1 | 1, Bytes("Petrov\0\0", 8)},
  };
  for (const Key& k : keys) {
    const char* file = (k.Mode & 1) ? "NODEX.SDX" : "NODEX.NDX";
    if (!set.Files.count(file)) continue;
    Seed("fuzz_walk", set.Name + "-" + k.Name,
         Bytes(1, char(k.Mode)) + k.Key + set.Files.at(file));
  }
}

// fuzz_plus_line and fuzz_endpoints: a flag byte and a nodelist line; the
// endpoint target also gets each line's endpoint block as an item holds it.
void LineSeeds(const std::vector<std::string>& lines) {
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string n = "line" + std::to_string(i);
    Seed("fuzz_plus_line", n, Bytes(1, '\0') + lines[i]);
    Seed("fuzz_plus_line", n + "-cm", Bytes(1, '\1') + lines[i]);
    Seed("fuzz_endpoints", n, Bytes(1, '\0') + lines[i]);
    EndpointList list;
    if (DecodeEndpoints(lines[i].c_str(), &list) <= 0) continue;
    std::vector<unsigned char> block(kItemUserDataSize +
                                     ExtraBlockBytes(&list, 0));
    uint32_t used = WriteItemExtras(block.data(), &list, nullptr, 0);
    std::memcpy(block.data(), &used, sizeof(used));
    Seed("fuzz_endpoints", n + "-block",
         Bytes(1, '\1') + Bytes(block.begin(), block.begin() + used));
  }
}

// fuzz_compiler_line: one line, and whole lists (a line, then a list).
void CompilerSeeds(const std::vector<std::string>& lines,
                   const std::vector<std::pair<std::string, Bytes>>& lists) {
  for (size_t i = 0; i < lines.size(); ++i)
    Seed("fuzz_compiler_line", "line" + std::to_string(i), lines[i]);
  for (const auto& [name, text] : lists) Seed("fuzz_compiler_line", name, text);
}

// fuzz_list_review: a byte that says where a text is cut into an old and a
// new list, then the text; each list whole (old list empty), and cut in
// its middle into two halves.
void ReviewSeeds(const std::vector<std::pair<std::string, Bytes>>& lists) {
  for (const auto& [name, text] : lists) {
    Seed("fuzz_list_review", name, Bytes(1, '\0') + text);
    Seed("fuzz_list_review", name + "-halves", Bytes(1, '\x80') + text);
  }
}

// The first byte at which fuzz_nodediff cuts `size - 1` bytes after
// `diff` bytes, with the old list padded after its ^Z until one does.
Bytes NodediffSeed(const Bytes& diff, Bytes old) {
  for (int pad = 0; pad < 512; ++pad, old += '\x1A') {
    size_t size = 1 + diff.size() + old.size();
    for (int b = 0; b < 256; ++b)
      if (size_t(b) * (size - 1) / 255 == diff.size())
        return Bytes(1, char(b)) + diff + old;
  }
  Fail("no cut byte fits a difference file of " + std::to_string(diff.size()) +
       " bytes");
}

// fuzz_nodediff: lists made of the seed lines and the difference files
// between their versions (lines dropped, added, changed), checked to apply.
void NodediffSeeds(const std::vector<std::string>& lines,
                   std::vector<std::pair<std::string, Bytes>>* lists) {
  std::vector<std::string> week1 = lines, week2 = lines, week3 = lines;
  week2.erase(week2.begin() + 2);
  week2.insert(week2.begin() + 5, ";S A note added in week 2");
  week2.back() += ",ZEC";
  week3 = week2;
  week3.erase(week3.begin(), week3.begin() + 3);
  week3.push_back(",199,Late_Comer,Cape_Grey,Ola_Nord,-Unpublished-,300");
  const char* heads[] = {
      ";A Seed Nodelist for Friday, March 1, 2024 -- Day number 061",
      ";A Seed Nodelist for Friday, March 8, 2024 -- Day number 068",
      ";A Seed Nodelist for Friday, March 15, 2024 -- Day number 075"};
  Bytes made[] = {v7test::MakeList(heads[0], week1),
                  v7test::MakeList(heads[1], week2),
                  v7test::MakeList(heads[2], week3)};
  for (int i = 0; i < 3; ++i)
    lists->push_back({"list" + std::to_string(i), made[i]});
  const std::pair<int, int> steps[] = {{0, 1}, {1, 2}, {0, 2}};
  for (const auto& [from, to] : steps) {
    Bytes diff = v7test::MakeNodediff(made[from], made[to]);
    std::string list, error;
    if (!v7c::ApplyNodediff(diff.data(), diff.size(), made[from].data(),
                            made[from].size(), &list, &error) ||
        list != made[to])
      Fail("a seed difference file does not apply: " + error);
    Seed("fuzz_nodediff", "diff" + std::to_string(from) + std::to_string(to),
         NodediffSeed(diff, made[from]));
  }
  // A difference file against a list it does not fit, and an empty one.
  Seed("fuzz_nodediff", "foreign",
       NodediffSeed(v7test::MakeNodediff(made[1], made[2]), made[0]));
  Seed("fuzz_nodediff", "no-diff", NodediffSeed("", made[0]));
}

// fuzz_path_grammar: u8 level / 2, 8 bytes of address, the path.
void PathSeeds(const std::vector<std::string>& lines) {
  for (size_t i = 0; i < lines.size(); ++i) {
    unsigned level = 0, zone = 0, net = 0, node = 0, point = 0;
    int used = 0;
    if (std::sscanf(lines[i].c_str(), "%u %u:%u/%u.%u %n", &level, &zone, &net,
                    &node, &point, &used) != 5 ||
        used == 0)
      Fail("paths.txt: not \"LEVEL Z:N/F.P PATH\": " + lines[i]);
    Seed("fuzz_path_grammar", "path" + std::to_string(i),
         Bytes(1, char(level / 2)) + U16(zone) + U16(net) + U16(node) +
             U16(point) + lines[i].substr(size_t(used)));
  }
}

// fuzz_column_block: the built-in block, cut short, and one with every
// mode's strings changed.
void ColumnBlockSeeds() {
  BindPanelModes();
  Bytes standard(DefaultColumnBlock, DefaultColumnBlockLength);
  Seed("fuzz_column_block", "default", standard);
  Seed("fuzz_column_block", "cut", standard.substr(0, standard.size() / 2));
  LoadColumnBlock(DefaultColumnBlock, DefaultColumnBlockLength);
  const char* const strings[] = {"N,C0,C4,Z", "0,8,10,0", "C9,N,C5", "20,0,6"};
  for (int mode = 0; mode < 10; ++mode)
    for (int which = 0; which < 4 && which < kModeStrings; ++which)
      std::strcpy(ModeColumnString(mode, static_cast<ModeString>(which)),
                  strings[(mode + which) % 4]);
  char block[kColumnBlockMax];
  Seed("fuzz_column_block", "changed", Bytes(block, BuildColumnBlock(block)));
}

void CopyFolder(const char* target, const fs::path& folder) {
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.is_regular_file())
      Seed(target, entry.path().filename().string(), ReadAll(entry.path()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) Fail("usage: fuzz_seeds SOURCE_DIR SAMPLE_DIR OUT_DIR");
  fs::path source = argv[1], sample = argv[2];
  Out = argv[3];
  fs::remove_all(Out);
  fs::path seeds = source / "tests" / "fuzz" / "seeds";
  fs::path corpus = source / "tests" / "reliability" / "corpus";

  std::vector<CompiledSet> sets;
  CompiledSet compiled{"sample", {}};
  for (const char* ext : {"DAT", "DTP", "NDX", "SDX", "PDX"})
    compiled.Files[std::string("NODEX.") + ext] =
        ReadAll(sample / (std::string("NODEX.") + ext));
  sets.push_back(compiled);
  std::string error;
  CompiledSet base{"base", {}};
  if (!LoadBaseSetFrom(corpus.string(), &base.Files, &error)) Fail(error);
  sets.push_back(base);
  for (const auto& entry : fs::directory_iterator(corpus)) {
    if (entry.path().extension() != ".hex" ||
        entry.path().filename() == "base.hex")
      continue;
    DamageCase damage;
    if (!LoadDamageCase(entry.path().string(), &damage, &error)) Fail(error);
    sets.push_back({damage.Name, damage.Files});
  }
  for (const CompiledSet& set : sets) {
    WalkSeeds(set);
    if (set.Name == "sample" || set.Name == "base") RecordSeeds(set);
  }

  std::vector<std::string> lines = SeedLines(seeds / "lines.txt");
  Bytes nodelist = ReadAll(source / "data" / "sample" / "NODELIST.340");
  std::vector<std::string> sampleLines = v7test::ListLines(nodelist);
  std::vector<std::string> all = lines;
  for (size_t i = 1; i < sampleLines.size(); i += 3)
    all.push_back(sampleLines[i]);
  LineSeeds(all);
  std::vector<std::pair<std::string, Bytes>> lists = {
      {"sample-list", nodelist},
      {"sample-points", ReadAll(source / "data" / "sample" / "POINTS.340")}};
  NodediffSeeds(lines, &lists);
  CompilerSeeds(lines, lists);
  ReviewSeeds(lists);
  PathSeeds(SeedLines(seeds / "paths.txt"));
  ColumnBlockSeeds();
  CopyFolder("fuzz_regedit", seeds / "regedit");
  std::printf("fuzz_seeds: %d seeds in %s\n", Written, Out.string().c_str());
  return 0;
}
