// Large and real lists through the compiler, and the compiler program with
// its files: outputs, the busy file, side files, failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "compiler/compiler.h"
#include "compiler/keys.h"
#include "compiler/output_set.h"
#include "generator/generator.h"
#include "nodelist/v7_format.h"
#include "test_lists.h"
#include "test_reader.h"

namespace {

namespace fs = std::filesystem;
using v7test::Get16;

struct Built {
  v7c::CompiledSet set;
  v7c::CompileStats stats;
  int ok;
};

Built CompileTexts(const std::string& nodelist, const std::string& points,
                   int plus = 1) {
  std::vector<v7c::SourceText> sources = {{"LIST", nodelist, 0}};
  if (!points.empty()) sources.push_back({"POINTS", points, 1});
  Built b;
  v7c::Reporter quiet = {nullptr, nullptr, 0};
  b.ok = v7c::CompileNodelist(sources, nullptr, nullptr,
                              {plus, v7::kUsualBlockSize}, &b.set, &b.stats,
                              &quiet);
  return b;
}

uint64_t KeyAddress(const std::string& k) {
  std::vector<uint8_t> b(k.begin(), k.end());
  uint64_t a = (uint64_t{Get16(b, 0)} << 48) | (uint64_t{Get16(b, 2)} << 32) |
               (uint64_t{Get16(b, 4)} << 16);
  return k.size() == 8 ? a | Get16(b, 6) : a;
}

std::string Folded(std::string s) {
  for (char& c : s) c = (c >= 'a' && c <= 'z') ? c - 32 : c;
  return s;
}

TEST(CompilerLarge, GeneratedListGivesSoundTrees) {
  v7gen::GeneratedList list;
  ASSERT_TRUE(v7gen::GenerateNodelist({30000, 5, 1}, &list));
  Built b = CompileTexts(list.nodelist, list.pointlist);
  ASSERT_TRUE(b.ok);
  EXPECT_EQ(b.stats.entries, 30000 - list.down);
  EXPECT_EQ(b.stats.malformed, 0u);
  v7test::IndexCheck ndx = v7test::CheckIndex(b.set.ndx);
  v7test::IndexCheck sdx = v7test::CheckIndex(b.set.sdx);
  v7test::IndexCheck pdx = v7test::CheckIndex(b.set.pdx);
  for (const v7test::IndexCheck* c : {&ndx, &sdx, &pdx}) {
    EXPECT_EQ(c->error, "");
    EXPECT_EQ(c->leaves.size(), b.stats.entries);
    EXPECT_GE(c->levels, 3u);
  }
  for (size_t i = 1; i < ndx.leaves.size(); ++i)
    ASSERT_LT(KeyAddress(ndx.leaves[i - 1].key), KeyAddress(ndx.leaves[i].key));
  for (const v7test::IndexCheck* c : {&sdx, &pdx})
    for (size_t i = 1; i < c->leaves.size(); ++i)
      ASSERT_LE(Folded(c->leaves[i - 1].key), Folded(c->leaves[i].key)) << i;
  // Every address key leads to the record of that address.
  for (size_t i = 0; i < ndx.leaves.size(); i += 97) {
    v7test::Record r;
    ASSERT_TRUE(v7test::DecodeRecord(b.set.dat, ndx.leaves[i].data, &r));
    uint64_t a = (uint64_t{r.zone} << 48) | (uint64_t{r.net} << 32) |
                 (uint64_t{r.node} << 16) |
                 ((r.flags & v7::kFlagPoint) ? r.hub_or_point : 0);
    EXPECT_EQ(a, KeyAddress(ndx.leaves[i].key));
  }
  size_t rare = 0, common = 0;
  for (const v7test::LeafKey& k : sdx.leaves) {
    rare += k.key == list.rare_key;
    common += Folded(k.key).rfind(Folded(list.common_prefix), 0) == 0;
  }
  EXPECT_EQ(rare, 1u);
  EXPECT_EQ(common, list.common_count);
  size_t big_net = 0, big_boss = 0;
  for (const v7test::LeafKey& k : ndx.leaves) {
    uint64_t a = KeyAddress(k.key);
    std::string net =
        std::to_string(a >> 48) + ":" + std::to_string((a >> 32) & 0xFFFF);
    big_net += k.key.size() == 6 && net == list.big_net;
    big_boss += k.key.size() == 8 &&
                net + "/" + std::to_string((a >> 16) & 0xFFFF) == list.big_boss;
  }
  EXPECT_EQ(big_net, 5000u);
  EXPECT_EQ(big_boss, 500u);
}

TEST(Generator, DeterministicWithCorrectCrc) {
  v7gen::GeneratedList a, b, c;
  ASSERT_TRUE(v7gen::GenerateNodelist({2000, 9, 1}, &a));
  ASSERT_TRUE(v7gen::GenerateNodelist({2000, 9, 1}, &b));
  ASSERT_TRUE(v7gen::GenerateNodelist({2000, 10, 1}, &c));
  EXPECT_EQ(a.nodelist, b.nodelist);
  EXPECT_EQ(a.pointlist, b.pointlist);
  EXPECT_NE(a.nodelist, c.nodelist);
  EXPECT_EQ(a.nodelist_entries + a.points, 2000u);
  for (const std::string* t : {&a.nodelist, &a.pointlist}) {
    v7c::ListCrc crc = v7c::CheckListCrc(t->data(), t->size());
    EXPECT_TRUE(crc.claimed_present);
    EXPECT_EQ(crc.claimed, crc.computed);
  }
  EXPECT_FALSE(v7gen::GenerateNodelist({39, 1, 0}, &a));
}

TEST(CompilerLarge, OverlongTextsAreCutToFitThePackedText) {
  std::string name(300, 'N'), sysop(200, 'S'), town(100, 'T');
  std::string line = ",1," + name + "," + town + "," + sysop + "_Long,1-1,300";
  Built b = CompileTexts("Zone,1,Z,Z,Z_Z,1-1,300\r\n" + line + "\r\n", "");
  ASSERT_TRUE(b.ok);
  v7test::IndexCheck ndx = v7test::CheckIndex(b.set.ndx);
  ASSERT_EQ(ndx.leaves.size(), 2u);
  v7test::Record r;
  ASSERT_TRUE(v7test::DecodeRecord(b.set.dat, ndx.leaves[1].data, &r));
  EXPECT_LE(r.packed_length, 254u);
  EXPECT_EQ(r.system.size() + r.sysop.size() + r.location.size(), 373u);
  EXPECT_EQ(r.location, town);
  std::string hex = r.rest.substr(0, 8);
  EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos);
  v7test::PlusRecord p;
  ASSERT_TRUE(
      v7test::DecodePlus(b.set.dtp, std::stoul(hex, nullptr, 16), 0, &p));
  EXPECT_EQ(p.line, line);
  v7test::IndexCheck sdx = v7test::CheckIndex(b.set.sdx);
  ASSERT_EQ(sdx.leaves.size(), 2u);
  EXPECT_EQ(sdx.leaves[0].key, "Long, " + std::string(20, 'S'));
}

TEST(CompilerLarge, PlainV7HasNoPlusPart) {
  Built b = CompileTexts("Zone,1,Zone_One,Towns,Z_Z,1-1,300\r\n", "", 0);
  ASSERT_TRUE(b.ok);
  EXPECT_TRUE(b.set.dtp.empty());
  EXPECT_TRUE(b.set.pdx.empty());
  v7test::Record r;
  ASSERT_TRUE(v7test::DecodeRecord(b.set.dat, 0, &r));
  EXPECT_EQ(r.system, "ZONE ONE");
  EXPECT_EQ(r.location + "|" + r.rest, "TOWNS|  ") << "padding only";
}

TEST(CompilerLarge, NothingToCompile) {
  EXPECT_FALSE(
      CompileTexts(";A only a comment\r\n\x1A,1,after_eof\r\n", "").ok);
}

// A temporary folder with a nodelist in it, removed afterwards.
class CompilerProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() /
        ("tolvane-compile-test-" +
         std::string(
             ::testing::UnitTest::GetInstance()->current_test_info()->name()) +
         "-" + std::to_string(std::random_device{}()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    Write("NODELIST.100",
          ";A list : 0\r\nZone,1,Zone_One,Town,Zed_Zone,1-1,300\r\n"
          ",2,Two,Town,Tom_Two,1-2,300\r\n");
    Write("pw.txt", "1:1/2 SECRET\r\n");
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& name, const std::string& text) {
    FILE* f = fopen((dir_ / name).string().c_str(), "wb");
    ASSERT_TRUE(f);
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
  }

  int Run(std::vector<std::string> extra) {
    std::vector<std::string> words = {"--out", (dir_ / "out").string()};
    words.insert(words.end(), extra.begin(), extra.end());
    v7test::ProgramRun run = v7test::RunCompilerWords(words);
    summary_ = run.out;
    errors_ = run.err;
    return run.status;
  }

  std::string In(const std::string& name) { return (dir_ / name).string(); }
  bool Exists(const std::string& name) {
    return fs::exists(dir_ / "out" / name);
  }

  fs::path dir_;
  std::string summary_, errors_;
};

TEST_F(CompilerProgram, WritesTheSetAndReleasesTheBusyFile) {
  ASSERT_EQ(Run({"--passwords", In("pw.txt"), In("NODELIST.100")}), 0);
  for (const char* f :
       {"NODEX.DAT", "NODEX.NDX", "NODEX.SDX", "NODEX.DTP", "NODEX.PDX"})
    EXPECT_TRUE(Exists(f)) << f;
  EXPECT_FALSE(Exists("NODEX.BSY"));
  EXPECT_FALSE(fs::exists(v7c::TempPathFor((dir_ / "out/NODEX.DAT").string())));
  EXPECT_NE(summary_.find("NODEX: 2 entries compiled (0 points), 0 Down "
                          "skipped, 0 duplicates replaced, 0 malformed lines, "
                          "CRC mismatch"),
            std::string::npos)
      << summary_;
  EXPECT_NE(errors_.find("CRC mismatch: the first line says 0"),
            std::string::npos);
  std::string dat;
  ASSERT_TRUE(v7c::ReadWholeFile((dir_ / "out" / "NODEX.DAT").string(), &dat));
  v7test::Record r;
  std::vector<uint8_t> bytes(dat.begin(), dat.end());
  std::vector<uint8_t> ndx;
  std::string ndx_text;
  ASSERT_TRUE(
      v7c::ReadWholeFile((dir_ / "out" / "NODEX.NDX").string(), &ndx_text));
  ndx.assign(ndx_text.begin(), ndx_text.end());
  v7test::IndexCheck check = v7test::CheckIndex(ndx);
  ASSERT_EQ(check.leaves.size(), 2u);
  ASSERT_TRUE(v7test::DecodeRecord(bytes, check.leaves[1].data, &r));
  EXPECT_EQ(r.password, "SECRET");
}

// The program streams each file through a buffer far smaller than the
// file; what lands on the disk, also over an earlier set, is byte for byte
// the image that the compiler makes in memory, and no temporary file or
// second name of an old file is left.
TEST_F(CompilerProgram, FilesOnDiskMatchTheImagesInMemory) {
  v7gen::GeneratedList list;
  ASSERT_TRUE(v7gen::GenerateNodelist({30000, 5, 1}, &list));
  Write("NODELIST.200", list.nodelist);
  Write("POINTS.200", list.pointlist);
  Built b = CompileTexts(list.nodelist, list.pointlist);
  ASSERT_TRUE(b.ok);
  ASSERT_GT(b.set.dtp.size(), size_t{2} << 20);
  for (int run = 0; run < 2; ++run) {
    ASSERT_EQ(Run({In("NODELIST.200"), In("POINTS.200")}), 0) << errors_;
    struct {
      const char* name;
      const std::vector<uint8_t>* image;
    } files[] = {{"NODEX.DAT", &b.set.dat},
                 {"NODEX.NDX", &b.set.ndx},
                 {"NODEX.SDX", &b.set.sdx},
                 {"NODEX.DTP", &b.set.dtp},
                 {"NODEX.PDX", &b.set.pdx}};
    for (const auto& f : files) {
      std::string text;
      ASSERT_TRUE(v7c::ReadWholeFile((dir_ / "out" / f.name).string(), &text));
      EXPECT_TRUE(text.size() == f.image->size() &&
                  memcmp(text.data(), f.image->data(), text.size()) == 0)
          << f.name << " run " << run;
      EXPECT_FALSE(
          fs::exists(v7c::TempPathFor((dir_ / "out" / f.name).string())));
      EXPECT_FALSE(Exists(std::string(f.name) + ".old"));
    }
  }
}

TEST_F(CompilerProgram, SharedSysopIndexAndPlainV7) {
  ASSERT_EQ(Run({"--name", "FIDO", In("NODELIST.100")}), 0);
  EXPECT_TRUE(Exists("FIDO.DTP"));
  ASSERT_EQ(Run({"--name", "FIDO", "--v7", "--shared-sysop-index",
                 In("NODELIST.100")}),
            0);
  EXPECT_TRUE(Exists("SYSOP.NDX"));
  EXPECT_FALSE(Exists("FIDO.DTP")) << "a stale V7+ file would not match";
  EXPECT_FALSE(Exists("FIDO.PDX"));
}

TEST_F(CompilerProgram, RefusesWhileAnotherCompilerHoldsTheSet) {
  fs::create_directories(dir_ / "out");
  Write("out/NODEX.BSY", "");
  EXPECT_EQ(Run({In("NODELIST.100")}), 1);
  EXPECT_NE(errors_.find("another compiler"), std::string::npos) << errors_;
  EXPECT_TRUE(Exists("NODEX.BSY")) << "the other compiler's file stays";
  EXPECT_FALSE(Exists("NODEX.DAT"));
}

TEST_F(CompilerProgram, FailuresReleaseTheBusyFile) {
  struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{In("missing.txt")}, "cannot read"},
      {{"--cost-table", In("missing.txt"), In("NODELIST.100")}, "cannot read"},
      {{In("pw.txt")}, "nothing to compile"},
  };
  for (const auto& t : cases) {
    EXPECT_EQ(Run(t.args), 1) << t.message;
    EXPECT_NE(errors_.find(t.message), std::string::npos) << errors_;
    EXPECT_FALSE(Exists("NODEX.BSY"));
    EXPECT_FALSE(Exists("NODEX.DAT"));
  }
  EXPECT_EQ(Run({"--bogus", In("NODELIST.100")}), 2);
  EXPECT_NE(errors_.find("unknown option --bogus"), std::string::npos)
      << errors_;
  EXPECT_EQ(Run({"--name"}), 2);
  EXPECT_NE(errors_.find("option --name needs a value"), std::string::npos)
      << errors_;
}

// The published lists in the shared folder, when it is there.
TEST(RealNodelists, CompileWithCorrectCountsAndTrees) {
  struct {
    const char* file;
    uint32_t entries, down, duplicates;
  } cases[] = {{"NODELIST.002", 5858, 208, 0},
               {"NODELIST.122", 2581, 106, 0},
               {"Z2DAILY.067", 1187, 11, 0},
               {"tqwnet.233", 166, 0, 1}};
  fs::path dir = TOLVANE_REAL_NODELISTS;
  if (!fs::exists(dir / "NODELIST.002"))
    GTEST_SKIP() << "no real nodelists in " << dir.string();
  for (const auto& t : cases) {
    SCOPED_TRACE(t.file);
    std::string text;
    ASSERT_TRUE(v7c::ReadWholeFile((dir / t.file).string(), &text));
    v7c::ListCrc crc = v7c::CheckListCrc(text.data(), text.size());
    EXPECT_EQ(crc.claimed, crc.computed);
    Built b = CompileTexts(text, "");
    EXPECT_EQ(b.stats.entries, t.entries);
    EXPECT_EQ(b.stats.down, t.down);
    EXPECT_EQ(b.stats.duplicates, t.duplicates);
    EXPECT_EQ(b.stats.malformed, 0u);
    for (const std::vector<uint8_t>* index :
         {&b.set.ndx, &b.set.sdx, &b.set.pdx})
      EXPECT_EQ(v7test::CheckIndex(*index).error, "");
  }
}

}  // namespace
