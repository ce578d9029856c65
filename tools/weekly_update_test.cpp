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
    PutBase();
  }
  // The folder that every test starts from: the packed list of day 002, a
  // list of 2008 that by its extension would be the newest, a pointlist.
  void PutBase() {
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
  v7test::ProgramRun Update(const std::string& out,
                            const std::string& changes = "") {
    std::vector<std::string> words = {
        "--update", Lists(""), "--out",        (dir_ / out).string(),
        "--name",   "FIDO",    Lists("POINTS")};
    if (!changes.empty()) words.insert(words.end(), {"--changes", changes});
    return v7test::RunCompilerWords(words);
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

// One report from the starting list to the newest, not one per week.
TEST_F(WeeklyJob, ChangesGoFromTheStartingListToTheNewest) {
  Put("NODEDIFF.009", v7test::MakeNodediff(day002_, day009_));
  Put("NODEDIFF.122", v7test::MakeNodediff(day009_, day122_));
  std::string report = (dir_ / "changes.txt").string();
  v7test::ProgramRun run = Update("v7", report);
  ASSERT_EQ(run.status, 0) << run.err;
  std::string text = ReadFile(report);
  EXPECT_EQ(text.rfind("Changes from " + list002_ +
                           " (day 002 of 2009) to NODELIST.122 (day 122 of "
                           "2014)\n",
                       0),
            0u)
      << text.substr(0, 200);
  EXPECT_NE(text.find("\nSummary: 363 added, 3742 removed, 80 Down, 1220 "
                      "changed, 28 moved (6066 entries before, 2687 after)\n"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(report + ".tmp"));
  run = Update("v7", report);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(ReadFile(report).find("\nNo entry changed.\n"), std::string::npos);
  run = Update("v7", (dir_ / "no-such-folder" / "changes.txt").string());
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;
  const std::vector<std::string> misuses[] = {
      {"--out", "V7", "--changes", "C", "LIST"},
      {"--check", "LIST", "--out", "V7"},
      {"--check", "LIST", "--update", "DIR"},
      {"--check"},
  };
  for (const auto& words : misuses)
    EXPECT_EQ(v7test::RunCompilerWords(words).status, 2) << words[0];
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
  EXPECT_FALSE(fs::exists(v7c::TempPathFor(Lists("NODELIST.009"))));
  CompileDirectly((kReal / "NODELIST.002").string(), "direct");
  ExpectSameSets("v7", "direct");
}

// A folder as sysops find it on a Friday, one case per way a file can fail
// to serve: the files put beside the base folder, the exit status, texts
// the messages must hold, files the folder must then hold ("" for none),
// and the list that the compiled set must be made from.
struct FolderCase {
  const char* what;
  std::vector<std::pair<std::string, std::string>> files;
  int status;
  std::vector<std::string> messages;
  std::vector<std::pair<std::string, std::string>> after;
  const std::string* compiled;
};

TEST_F(WeeklyJob, FilesThatCannotServe) {
  const std::string diff009 = v7test::MakeNodediff(day002_, day009_);
  const std::string cut009 = day009_.substr(0, 60000);
  // The list of day 009 with a first line that gives 0 for its CRC.
  const std::string zero009 =
      ";A FidoNet Nodelist for Friday, January 9, 2009 -- Day number 009 : "
      "00000" +
      day009_.substr(day009_.find("\r\n"));
  // A difference file of another network's list of day 002, and one whose
  // first line was damaged.
  std::vector<std::string> lines = v7test::ListLines(diff009);
  std::string other = diff009, damaged = diff009;
  other.replace(0, lines[0].size(),
                ";A Othernet Nodelist for Friday, January 2, 2009 -- Day "
                "number 002 : 12345");
  damaged[lines[0].size() - 1] ^= 1;
  // A packed file cut short: a real archive where the build reads ZIP.
  auto cut_zip = [&](const std::string& member, const std::string& text) {
    if (!v7c::ReadsZipArchives()) return std::string("PK\x03\x04 cut short");
    EXPECT_TRUE(v7test::ZipText(Lists("cut.zip"), member, text));
    std::string zip = ReadFile(Lists("cut.zip"));
    fs::remove(Lists("cut.zip"));
    return zip.substr(0, zip.size() / 2);
  };
  const std::string arc("\x1A\x08NODEDIFF.009\0packed bytes", 27);
  const std::string refused = diff009.substr(0, diff009.size() / 2);
  const FolderCase cases[] = {
      {"a list cut short: the difference file reaches its day",
       {{"NODEDIFF.009", diff009}, {"NODELIST.009", cut009}},
       0,
       {"NODELIST.009 fails its CRC",
        "NODELIST.009 kept as NODELIST.009.damaged"},
       {{"NODELIST.009", day009_}, {"NODELIST.009.damaged", cut009}},
       &day009_},
      {"a packed list cut short: the same",
       {{"NODEDIFF.009", diff009},
        {"NODELIST.Z09", cut_zip("NODELIST.009", day009_)}},
       0,
       {"NODELIST.Z09", "NODELIST.Z09 kept as NODELIST.Z09.damaged"},
       {{"NODELIST.009", day009_}, {"NODELIST.Z09", ""}},
       &day009_},
      {"a list cut short and no way to its day",
       {{"NODELIST.009", cut009}},
       3,
       {"no difference file here reaches day 009 of 2009, the day of "
        "NODELIST.009, which fails its CRC",
        "compiling " + list002_ + ", the list of day 002 of 2009"},
       {{"NODELIST.009", cut009}, {"NODELIST.009.damaged", ""}},
       &day002_},
      {"a list whose CRC is given as 0",
       {{"NODELIST.009", zero009}},
       0,
       {},
       {{"NODELIST.009", zero009}},
       &zero009},
      {"unusable difference files of days reached, or older than the start",
       {{"NODEDIFF.009", diff009},
        {"NODEDIFF.Z09", cut_zip("NODEDIFF.009", diff009)},
        {"NODEDIFF.A09", arc},
        {"NODEDIFF.TXT", "a note\r\n"},
        {"NODEDIFF.Z61", cut_zip("NODEDIFF.361", diff009)}},
       0,
       {"NODEDIFF.Z09", "NODEDIFF.A09 is packed with ARC", "NODEDIFF.TXT",
        "NODEDIFF.Z61"},
       {{"NODELIST.009", day009_}},
       &day009_},
      {"an unusable difference file of the next day",
       {{"NODEDIFF.Z09", cut_zip("NODEDIFF.009", diff009)}},
       3,
       {"no other file here reaches the day that the name of NODEDIFF.Z09 "
        "gives (09)"},
       {{"NODELIST.009", ""}},
       &day002_},
      {"a difference file refused beside one that applies",
       {{"NODEDIFF.009", refused}, {"nodediff.x09", diff009}},
       0,
       {"NODEDIFF.009: ", "; not applied"},
       {{"NODELIST.009", day009_}},
       &day009_},
      {"difference files for another list",
       {{"NODEDIFF.OTH", other}, {"NODEDIFF.DMG", damaged}},
       0,
       {"NODEDIFF.OTH applies to no list here",
        "NODEDIFF.DMG applies to no list here"},
       {{"NODELIST.009", ""}},
       &day002_},
  };
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(dir_ / "lists");
    fs::create_directories(dir_ / "lists");
    PutBase();
    for (const auto& [name, text] : c.files) Put(name, text);
    v7test::ProgramRun run = Update("v7");
    EXPECT_EQ(run.status, c.status) << run.err;
    for (const std::string& m : c.messages)
      EXPECT_NE(run.err.find(m), std::string::npos) << m << "\n" << run.err;
    for (const auto& [name, text] : c.after) {
      if (text.empty())
        EXPECT_FALSE(fs::exists(Lists(name))) << name;
      else
        EXPECT_EQ(ReadFile(Lists(name)), text) << name;
    }
    for (const auto& entry : fs::directory_iterator(dir_ / "lists"))
      EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    WriteFile((dir_ / "expected").string(), *c.compiled);
    CompileDirectly((dir_ / "expected").string(), "direct");
    ExpectSameSets("v7", "direct");
  }
}

// Lists and compiled set in one folder: the set's files are not lists.
TEST_F(WeeklyJob, SetCompiledIntoTheListFolder) {
  Put("NODEDIFF.009", v7test::MakeNodediff(day002_, day009_));
  for (int run = 0; run < 2; ++run) {
    v7test::ProgramRun r = v7test::RunCompilerWords(
        {"--update", Lists(""), "--out", Lists(""), "--name", "NODELIST"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find("warning"), std::string::npos) << r.err;
  }
  EXPECT_TRUE(fs::exists(Lists("NODELIST.DTP")));
  EXPECT_EQ(ReadFile(Lists("NODELIST.009")), day009_);
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
  EXPECT_FALSE(fs::exists(v7c::TempPathFor(Lists("BAD.LST"))));
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
