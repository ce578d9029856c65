// The weekly job on real lists: packed lists and difference files in a
// folder, the lists made, the compiled set against a direct compilation;
// a missing week; --apply; packed inputs of every kind.
#include "compiler/weekly_update.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "compiler/input_file.h"
#include "compiler/zip_archive.h"
#include "test_lists.h"

namespace {

namespace fs = std::filesystem;
using v7test::ReadFile;
using v7test::WriteFile;

const fs::path kReal = TOLVANE_REAL_NODELISTS;
const char* const kSetFiles[] = {"DAT", "NDX", "SDX", "DTP", "PDX"};

// A folder of its own for each test; the real lists and the week between
// them: NODELIST.002 of 2009, a list of day 009 made from it, and the real
// NODELIST.122 of 2014 as the week after that. The list of day 002 is
// packed, unless the build reads unpacked files only.
class WeeklyJob : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kReal / "NODELIST.002"))
      GTEST_SKIP() << "no real nodelists in " << kReal.string();
    dir_ =
        fs::temp_directory_path() /
        ("tolvane-weekly-" +
         std::string(
             ::testing::UnitTest::GetInstance()->current_test_info()->name()) +
         "-" + std::to_string(std::random_device{}()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "lists");
    day002_ = ReadFile((kReal / "NODELIST.002").string());
    day122_ = ReadFile((kReal / "NODELIST.122").string());
    std::vector<std::string> body = v7test::ListLines(day002_);
    body.erase(body.begin());
    body.erase(body.begin() + 2000, body.begin() + 2010);
    body[2050] += ",ZEC";
    body.insert(body.begin() + 2100, {";S Added in week 009", ";S"});
    day009_ = v7test::MakeList(
        ";A FidoNet Nodelist for Friday, January 9, 2009 -- Day number 009",
        body);
    // By its extension this list of 2008 would be the newest.
    Put("NODELIST.361",
        v7test::MakeList(";A FidoNet Nodelist for Friday, December 26, 2008 "
                         "-- Day number 361",
                         {"Zone,1,Old,Town,Old_Sysop,-Unpublished-,300"}));
    list002_ = Packed("NODELIST.Z02", "NODELIST.002", day002_);
    Put("POINTS", "Boss,1:1/1\r\n,1,Point_One,Town,Pat_Point,1-1-1,300\r\n");
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Lists(const std::string& name) {
    return (dir_ / "lists" / name).string();
  }
  void Put(const std::string& name, const std::string& text) {
    WriteFile(Lists(name), text);
  }
  // Puts text into the folder, packed as `name` when the build reads ZIP,
  // else as `member`. Returns the name that messages give.
  std::string Packed(const std::string& name, const std::string& member,
                     const std::string& text) {
    if (!v7c::ReadsZipArchives()) {
      Put(member, text);
      return member;
    }
    EXPECT_TRUE(v7test::ZipText(Lists(name), member, text));
    return name + "/" + member;
  }
  v7test::ProgramRun Update(const std::string& out) {
    return v7test::RunCompilerWords({"--update", Lists(""), "--out",
                                     (dir_ / out).string(), "--name", "FIDO",
                                     Lists("POINTS")});
  }
  // Compiles one list directly with the same options into `out`.
  void CompileDirectly(const std::string& list, const std::string& out) {
    v7test::ProgramRun run =
        v7test::RunCompilerWords({"--out", (dir_ / out).string(), "--name",
                                  "FIDO", list, Lists("POINTS")});
    ASSERT_EQ(run.status, 0) << run.err;
  }
  void ExpectSameSets(const std::string& a, const std::string& b) {
    for (const char* ext : kSetFiles) {
      std::string file = std::string("FIDO.") + ext;
      EXPECT_EQ(ReadFile((dir_ / a / file).string()),
                ReadFile((dir_ / b / file).string()))
          << file;
    }
  }

  fs::path dir_;
  std::string day002_, day009_, day122_;
  std::string list002_;  // the name of the list of day 002 in messages
};

TEST_F(WeeklyJob, PackedListAndTwoDifferenceFilesGiveTheNewestSet) {
  std::string diff009 = Packed("NODEDIFF.Z09", "NODEDIFF.009",
                               v7test::MakeNodediff(day002_, day009_));
  Put("nodediff.122", v7test::MakeNodediff(day009_, day122_));
  v7test::ProgramRun run = Update("v7");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(
      run.out.find("NODELIST.009: made from " + list002_ + " with " + diff009 +
                   "\nNODELIST.122: made from NODELIST.009 with "
                   "nodediff.122\nFIDO: 2582 entries compiled (1 "
                   "points)"),
      std::string::npos)
      << run.out;
  EXPECT_EQ(ReadFile(Lists("NODELIST.009")), day009_);
  EXPECT_EQ(ReadFile(Lists("NODELIST.122")), day122_);
  EXPECT_FALSE(fs::exists(dir_ / "v7" / "FIDO.BSY"));
  CompileDirectly((kReal / "NODELIST.122").string(), "direct");
  ExpectSameSets("v7", "direct");

  // Next week's run without a new difference file: the lists made are the
  // newest, the old difference files are in them already.
  run = Update("v7");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.find("made from"), std::string::npos) << run.out;
  ExpectSameSets("v7", "direct");
}

TEST_F(WeeklyJob, MissingOrDamagedWeekCompilesTheListReached) {
  std::string diff = v7test::MakeNodediff(day002_, day009_);
  size_t cut = diff.find(";S Added in week 009\r\n") + 22;
  Put("NODEDIFF.009", diff.substr(0, cut));  // cut within an A2
  Put("NODEDIFF.122", v7test::MakeNodediff(day009_, day122_));
  v7test::ProgramRun run = Update("v7");
  EXPECT_EQ(run.status, 3);
  EXPECT_NE(run.err.find("NODEDIFF.009: line 12: A2 adds 2 lines, but the "
                         "file ends after 1; not applied"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("the list of day 009 of 2009 is missing: "
                         "NODEDIFF.122 applies to it"),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(fs::exists(Lists("NODELIST.009")));
  EXPECT_FALSE(fs::exists(Lists("NODELIST.009.tmp")));
  CompileDirectly((kReal / "NODELIST.002").string(), "direct");
  ExpectSameSets("v7", "direct");
}

TEST_F(WeeklyJob, ApplyWritesTheListOrNothing) {
  Put("NODEDIFF.009", v7test::MakeNodediff(day002_, day009_));
  std::string bad = v7test::MakeNodediff(day002_, day009_);
  bad[bad.find("ZEC")] = 'X';  // an added line that the CRC does not cover
  Put("BAD.009", bad);
  v7test::ProgramRun run = v7test::RunCompilerWords(
      {"--apply", Lists("NODEDIFF.009"), Lists(list002_.substr(0, 12)),
       "--out-list", Lists("NEW.009")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(Lists("NEW.009")), day009_);
  run = v7test::RunCompilerWords({"--apply", Lists("BAD.009"),
                                  Lists(list002_.substr(0, 12)), "--out-list",
                                  Lists("BAD.LST")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("BAD.009: the list made fails its CRC"),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(fs::exists(Lists("BAD.LST")));
  EXPECT_FALSE(fs::exists(Lists("BAD.LST.tmp")));
}

// Misuse of the weekly job's options is refused before any file is read.
TEST(WeeklyJobArguments, MisuseIsRefusedWithItsReason) {
  const struct {
    std::vector<std::string> Words;
    const char* Said;
  } misuses[] = {
      {{"--apply", "D", "OLD"}, "--apply needs --out-list NEW_NODELIST"},
      {{"--apply", "D", "OLD", "--out-list", "NEW", "--out", "V7"},
       "--apply writes a nodelist, not a compiled set: no --out"},
      {{"--apply", "D", "--out-list", "NEW"}, "--apply takes one old nodelist"},
      {{"--apply", "D", "OLD", "--out-list", "NEW", "--update", "DIR"},
       "--apply and --update do not go together"},
      {{"--out", "V7", "--out-list", "NEW", "OLD"},
       "--out-list goes with --apply"},
      {{"--update", "DIR"}, "--out DIR is required"},
  };
  for (const auto& m : misuses) {
    v7test::ProgramRun run = v7test::RunCompilerWords(m.Words);
    EXPECT_EQ(run.status, 2) << m.Said;
    EXPECT_NE(run.err.find(m.Said), std::string::npos) << run.err;
  }
}

// A temporary folder for packed inputs.
class PackedInput : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tolvane-packed-input-" + std::to_string(std::random_device{}()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) { return (dir_ / name).string(); }
  fs::path dir_;
};

TEST_F(PackedInput, RealListsCompileTheSameAsUnpacked) {
  if (!v7c::ReadsZipArchives()) GTEST_SKIP() << "unpacked files only";
  if (!fs::exists(kReal / "NODELIST.002"))
    GTEST_SKIP() << "no real nodelists in " << kReal.string();
  for (const char* name :
       {"NODELIST.002", "NODELIST.122", "Z2DAILY.067", "tqwnet.233"}) {
    SCOPED_TRACE(name);
    std::string text = ReadFile((kReal / name).string());
    ASSERT_TRUE(v7test::ZipText(Path("packed.z50"), name, text));
    v7test::ProgramRun packed =
        v7test::RunCompilerWords({"--out", Path("packed"), Path("packed.z50")});
    v7test::ProgramRun plain = v7test::RunCompilerWords(
        {"--out", Path("plain"), (kReal / name).string()});
    ASSERT_EQ(packed.status, 0) << packed.err;
    ASSERT_EQ(plain.status, 0) << plain.err;
    for (const char* ext : kSetFiles) {
      std::string file = std::string("NODEX.") + ext;
      EXPECT_EQ(ReadFile(Path("packed/" + file)),
                ReadFile(Path("plain/" + file)))
          << file;
    }
    fs::remove(Path("packed.z50"));
  }
}

TEST_F(PackedInput, DamagedOrForeignArchivesAreRefused) {
  const std::string list = ";A Day number 1\r\n,1,S,T,N,P,300\r\n\x1A";
  WriteFile(Path("NODELIST.A50"),
            std::string("\x1A\x08NODELIST.050\0", 15) + "packed bytes");
  WriteFile(Path("NODELIST.J50"), "\x60\xEA packed bytes");
  struct {
    const char* file;
    const char* error;
  } cases[] = {
      {"NODELIST.A50",
       "NODELIST.A50 is packed with ARC, which tolvane-compile does not read"},
      {"NODELIST.J50", "NODELIST.J50 is packed with ARJ"},
      {"NODELIST.Z50",
       "NODELIST.Z50 is packed with ZIP; this build of "
       "tolvane-compile reads unpacked files only"},
  };
  if (v7c::ReadsZipArchives()) {
    ASSERT_TRUE(v7test::ZipText(Path("NODELIST.Z50"), "NODELIST.050", list));
    ASSERT_TRUE(v7test::ZipText(Path("TWO.ZIP"), "NODELIST.050", list));
    ASSERT_TRUE(v7test::ZipText(Path("TWO.ZIP"), "FILE_ID.DIZ", "a list"));
    ASSERT_TRUE(v7test::ZipText(Path("BIN.ZIP"), "NODELIST.050",
                                std::string("\x7F"
                                            "ELF\0\0",
                                            6)));
    std::string zip = ReadFile(Path("NODELIST.Z50"));
    WriteFile(Path("CUT.ZIP"), zip.substr(0, 50));
    cases[2] = {"TWO.ZIP",
                "TWO.ZIP: the archive holds more than one file (NODELIST.050, "
                "FILE_ID.DIZ); a nodelist archive holds one"};
  } else {
    WriteFile(Path("NODELIST.Z50"), "PK\x03\x04 packed bytes");
  }
  for (const auto& t : cases) {
    v7test::ProgramRun run =
        v7test::RunCompilerWords({"--out", Path("v7"), Path(t.file)});
    EXPECT_EQ(run.status, 1) << t.file;
    EXPECT_NE(run.err.find(t.error), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Path("v7/NODEX.DAT")));
  }
  if (!v7c::ReadsZipArchives()) return;
  v7c::InputText input;
  std::string error;
  ASSERT_TRUE(v7c::ReadInputText(Path("NODELIST.Z50"), &input, &error));
  EXPECT_EQ(input.name, "NODELIST.Z50/NODELIST.050");
  EXPECT_EQ(input.text, list);
  EXPECT_FALSE(v7c::ReadInputText(Path("BIN.ZIP"), &input, &error));
  EXPECT_EQ(error,
            "BIN.ZIP: NODELIST.050 is not a nodelist: it holds binary data");
  EXPECT_FALSE(v7c::ReadInputText(Path("CUT.ZIP"), &input, &error));
  EXPECT_EQ(error.rfind("CUT.ZIP: damaged ZIP archive: ", 0), 0u) << error;
  // A member larger than the limit is refused before it is all unpacked.
  std::string big(100000, 'x');
  ASSERT_TRUE(v7test::ZipText(Path("BIG.ZIP"), "NODELIST.050", big));
  std::string zip = ReadFile(Path("BIG.ZIP"));
  v7c::ArchiveMember member;
  EXPECT_FALSE(v7c::UnpackZip(zip.data(), zip.size(), 99999, &member, &error));
  EXPECT_EQ(error,
            "NODELIST.050 unpacks to more than 99999 bytes: a damaged "
            "archive, or not a nodelist");
  EXPECT_TRUE(member.text.empty());
  EXPECT_TRUE(v7c::UnpackZip(zip.data(), zip.size(), 100000, &member, &error));
  EXPECT_EQ(member.text, big);
}

}  // namespace
