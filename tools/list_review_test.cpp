// What a sysop asks of the weekly list: --check of a list or a segment,
// and what changed between two lists (tolvane-changes, --update with
// --changes), on lists of our own and on the real ones.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "compiler/list_changes.h"
#include "compiler/zip_archive.h"
#include "test_lists.h"

namespace {

namespace fs = std::filesystem;
using v7test::ReadFile;
using v7test::WriteFile;

const fs::path kReal = TOLVANE_REAL_NODELISTS;

class ListReview : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() /
        ("tolvane-review-" +
         std::string(
             ::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) { return (dir_ / name).string(); }
  std::string Put(const std::string& name, const std::string& text) {
    WriteFile(Path(name), text);
    return Path(name);
  }
  v7test::ProgramRun Check(const std::string& path) {
    return v7test::RunCompilerWords({"--check", path});
  }
  // tolvane-changes OLD NEW [--format json].
  v7test::ProgramRun Changes(const std::string& old_path,
                             const std::string& new_path, int json = 0) {
    FILE* out = tmpfile();
    FILE* err = tmpfile();
    v7test::ProgramRun run = {
        v7c::RunChanges(old_path, new_path, json, out, err), "", ""};
    for (auto [f, text] :
         {std::pair{out, &run.out}, std::pair{err, &run.err}}) {
      rewind(f);
      for (int c; (c = fgetc(f)) != EOF;) text->push_back(static_cast<char>(c));
      fclose(f);
    }
    return run;
  }
  fs::path dir_;
};

// ---------------------------------------------------------------------
// The check.

// A segment of our own with one line for each rule.
TEST_F(ListReview, CheckReportsEachRuleOfASegment) {
  const std::string lines[] = {
      ";S A segment of net 5020",
      "Host,5020,Moscow_Net,Moscow,Host_Sysop,7-495-555-0000,33600,CM,IBN,"
      "INA:host.example.org",
      ",1,Good_Node,Moscow,Sysop_One,7-495-555-0001,33600,CM,XA,V34",
      ",2,Too_Few,Moscow,Sysop_Two,7-495-555-0002",
      "Node,3,Bad_Keyword,Moscow,Sysop_Three,7-495-555-0003,300",
      ",x4,Not_A_Number,Moscow,Sysop_Four,7-495-555-0004,300",
      ",40000,Out_Of_Range,Moscow,Sysop_Five,7-495-555-0005,300",
      ",6,Long_Line,Moscow,Sysop_Six,7-495-555-0006,300,CM,IBN,"
      "INA:host00.example.org,INA:host01.example.org,INA:host02.example.org,"
      "INA:host03.example.org,INA:host04.example.org",
      ";S a comment with a blank at its end ",
      ",1,Twice,Moscow,Sysop_Eight,7-495-555-0008,300",
      ",9,Unreachable,Moscow,Sysop_Nine,-Unpublished-,300,CM",
      "Pvt,10,Private,Moscow,Sysop_Ten,-Unpublished-,300",
      ",11,Ina_Alone,Moscow,Sysop_Eleven,7-495-555-0011,300,INA:f11.example."
      "org",
      ",12,No_Host,Moscow,Sysop_Twelve,7-495-555-0012,300,IBN",
      ",13,Bad_Port,Moscow,Sysop_Thirteen,-Unpublished-,300,"
      "IBN:f13.example.org:70000,ITN:f13.example.org",
      ",14,Bad_Time,Moscow,Sysop_Fourteen,7-495-555-0014,300,U,TYZ",
      ",15,Bad_Hour,Moscow,Sysop_Fifteen,7-495-555-0015,300,#25",
      ",16,Early_User_Flag,Moscow,Sysop_Sixteen,7-495-555-0016,300,ZEC,U,NEC",
      ",17,Odd_Flag,Moscow,Sysop_Seventeen,7-495-555-0017,300,XYZ",
      ",18,Slow,Moscow,Sysop_Eighteen,7-495-555-0018,fast",
      std::string(",19,Binary\x01"
                  "Bytes,Moscow,Sysop_Nineteen,7-1,300"),
      "",
  };
  std::string text;
  for (const std::string& line : lines)
    text += line + (line[0] == ';' && line.back() == ' ' ? "\n" : "\r\n");
  v7test::ProgramRun run = Check(Put("SEGMENT.TXT", text));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(
      run.out,
      "SEGMENT.TXT:4: error: fewer than 7 fields: "
      ",2,Too_Few,Moscow,Sysop_Two,7-495-555-00...\n"
      "SEGMENT.TXT:5: error: unknown keyword: "
      "Node,3,Bad_Keyword,Moscow,Sysop_Three,7-...\n"
      "SEGMENT.TXT:6: error: the number field is not a number from 0 to "
      "65535: ,x4,Not_A_Number,Moscow,Sysop_Four,7-495...\n"
      "SEGMENT.TXT:7: error: the number 40000 is out of range (1 to 32767)\n"
      "SEGMENT.TXT:8: warning: the line is 170 characters long; a nodelist "
      "line has at most 157\n"
      "SEGMENT.TXT:9: warning: blanks at the end of the line\n"
      "SEGMENT.TXT:10: error: ?:5020/1 is given twice; the first entry is at "
      "line 3\n"
      "SEGMENT.TXT:11: warning: lists neither a phone nor an internet address "
      "(only Pvt and Down entries may)\n"
      "SEGMENT.TXT:13: warning: INA without an internet protocol flag (IBN, "
      "IFC, ITN, IVM, IFT)\n"
      "SEGMENT.TXT:14: warning: IBN gets no host: the flag gives none, and "
      "neither do INA, the phone or the system name\n"
      "SEGMENT.TXT:15: warning: IBN:f13.example.org:70000: the port is out of "
      "range (1 to 65535)\n"
      "SEGMENT.TXT:16: warning: TYZ: this time flag cannot be read\n"
      "SEGMENT.TXT:17: warning: #25: this mail-hour flag cannot be read\n"
      "SEGMENT.TXT:18: warning: ZEC is a user flag and belongs after U\n"
      "SEGMENT.TXT:19: note: XYZ is not a standard flag\n"
      "SEGMENT.TXT:20: warning: the speed 'fast' is not a number\n"
      "SEGMENT.TXT:21: error: the line holds a control byte 0x01 at column "
      "11: it is not text\n"
      "SEGMENT.TXT:22: warning: empty line\n"
      "SEGMENT.TXT:9: warning: 1 line ends in LF alone, not CR LF (the first "
      "here)\n"
      "SEGMENT.TXT: warning: no ^Z at the end of the list\n"
      "SEGMENT.TXT:1: note: the first line gives no CRC (as in a segment)\n"
      "SEGMENT.TXT: 6 errors, 13 warnings, 2 notes\n");
}

struct StatusCase {
  const char* Name;
  std::string Text;
  int Status;
  const char* Out;  // in standard output
};

TEST_F(ListReview, CheckExitStatusFollowsTheWorstProblem) {
  const char* head =
      ";A Test Nodelist for Friday, January 2, 2009 -- Day number 002";
  std::string sound = v7test::MakeList(
      head, {"Zone,2,Europe,Brussels,Zone_Sysop,32-3-000000,33600,CM,OWN"});
  std::string wrong_crc = sound;
  wrong_crc[wrong_crc.find("Brussels")] = 'b';
  const StatusCase cases[] = {
      {"NODELIST.002", sound, 0,
       "NODELIST.002:2: note: OWN is not a standard flag\n"
       "NODELIST.002: 0 errors, 0 warnings, 1 note\n"},
      {"NODELIST.BAD", wrong_crc, 1, "NODELIST.BAD:1: error: CRC mismatch"},
      {"EMPTY", "", 1,
       "EMPTY: error: the file is empty\nEMPTY: 1 error, 0 warnings, 0 "
       "notes\n"},
      {"CUT", sound.substr(0, sound.size() / 2), 1,
       "CUT: warning: no ^Z at the end of the list"},
      {"GARBAGE",
       std::string("\x7F"
                   "ELF\x02\x01\x01\0\0\0",
                   10),
       1, "GARBAGE:1: error: the line holds a control byte 0x7F at column 1"},
  };
  for (const StatusCase& c : cases) {
    v7test::ProgramRun run = Check(Put(c.Name, c.Text));
    EXPECT_EQ(run.status, c.Status) << c.Name << run.out;
    EXPECT_NE(run.out.find(c.Out), std::string::npos) << run.out;
  }
  v7test::ProgramRun missing = Check(Path("NO_SUCH_LIST"));
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;
  // Long lines of garbage give a bounded report.
  std::string noise;
  for (int i = 0; i < 3000; ++i) noise += std::string(10000, 'x') + "\x03\n";
  v7test::ProgramRun big = Check(Put("NOISE", noise));
  EXPECT_EQ(big.status, 1);
  EXPECT_NE(big.out.find("NOISE: 3000 errors, 3002 warnings, 1 note\n"),
            std::string::npos)
      << big.out.substr(big.out.size() - 200);
  EXPECT_LT(big.out.size(), 200000u);
}

// Known problems of the published lists.
TEST_F(ListReview, CheckFindsTheKnownProblemsOfRealLists) {
  if (!fs::exists(kReal / "tqwnet.233"))
    GTEST_SKIP() << "no real nodelists in " << kReal.string();
  const struct {
    const char* List;
    const char* Problem;
  } cases[] = {
      // Region,1337 shares its address with Zone,1337.
      {"tqwnet.233",
       "tqwnet.233:209: error: 1337:1337/0 is given twice; the first entry is "
       "at line 207\n"},
      // INA without a host.
      {"tqwnet.233", "tqwnet.233:218: warning: ITN gets no host"},
      // "INA:bbs.8bitboyz.com:IBN": no protocol flag, so no endpoint.
      {"Z2DAILY.067",
       "Z2DAILY.067:110: warning: lists neither a phone nor an internet "
       "address"},
      {"Z2DAILY.067", "Z2DAILY.067:110: warning: INA without an internet"},
      {"Z2DAILY.067", "note: TRACE is not a standard flag\n"},
      {"Z2DAILY.067", "characters long; a nodelist line has at most 157\n"},
      {"NODELIST.002",
       "NODELIST.002:5908: warning: REC is a user flag and belongs after U\n"},
      {"NODELIST.002", ": note:  IBN:nickandre.com is not a standard flag\n"},
  };
  for (const auto& c : cases) {
    v7test::ProgramRun run = Check((kReal / c.List).string());
    EXPECT_EQ(run.status, 1) << c.List;
    EXPECT_NE(run.out.find(c.Problem), std::string::npos)
        << c.List << ": " << c.Problem;
  }
  v7test::ProgramRun clean = Check((kReal / "NODELIST.122").string());
  EXPECT_NE(clean.out.find("NODELIST.122: 0 errors,"), std::string::npos)
      << clean.out;
}

// ---------------------------------------------------------------------
// What changed.

const char kOldHead[] =
    ";A Test Nodelist for Friday, January 2, 2009 -- Day number 002";
const char kNewHead[] =
    ";A Test Nodelist for Friday, January 9, 2009 -- Day number 009";

TEST_F(ListReview, ChangesBetweenTwoLists) {
  std::string old_list =
      Put("OLD.002",
          v7test::MakeList(
              kOldHead,
              {"Zone,2,Europe,Brussels,Zone_Sysop,32-3-000000,33600,CM",
               "Host,5020,Moscow_Net,Moscow,Host_Sysop,7-495-555-0000,33600,CM",
               ",1,Stays,Moscow,Sysop_One,7-495-555-0001,33600,CM,XA,V34",
               ",2,Goes_Away,Moscow,Sysop_Two,7-495-555-0002,33600,XA",
               ",3,Goes_Down,Moscow,Sysop_Three,7-495-555-0003,33600,XA",
               ",4,Changes,Moscow,Sysop_Four,7-495-555-0004,33600,XA,V34,"
               "ITN:f4.example.org",
               ",5,Moves_Away,Moscow,Sysop_Five,7-495-555-0005,33600,CM",
               "Pvt,6,Keyword,Moscow,Sysop_Six,-Unpublished-,300,XA",
               "Host,5030,Petersburg_Net,St_Petersburg,Host_Two,7-812-555-0000,"
               "33600,CM"}));
  std::string new_list =
      Put("NEW.009",
          v7test::MakeList(
              kNewHead,
              {"Zone,2,Europe,Brussels,Zone_Sysop,32-3-000000,33600,CM",
               "Host,5020,Moscow_Net,Moscow,Host_Sysop,7-495-555-0000,33600,CM",
               ",1,Stays,Moscow,Sysop_One,7-495-555-0001,33600,V34,XA,CM",
               "Down,3,Goes_Down,Moscow,Sysop_Three,7-495-555-0003,33600,XA",
               ",4,Changes_Name,Moscow,Sysop_Four,-Unpublished-,33600,XA,"
               "IBN:f4.example.org:24555",
               "Hold,6,Keyword,Moscow,Sysop_Six,-Unpublished-,300,XA",
               ",7,Newcomer,Moscow,Sysop_Seven,7-495-555-0007,9600,XA",
               "Host,5030,Petersburg_Net,St_Petersburg,Host_Two,7-812-555-0000,"
               "33600,CM",
               ",12,moves_away,St_Petersburg,Sysop_FIVE,7-812-555-0012,33600,"
               "CM"}));
  v7test::ProgramRun run = Changes(old_list, new_list);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "Changes from OLD.002 (day 002 of 2009) to NEW.009 (day 009 of "
            "2009)\n"
            "\n"
            "Zone 2\n"
            "  Net 2:5020\n"
            "    removed  2:5020/2     Goes_Away, Moscow, Sysop_Two\n"
            "    Down     2:5020/3     Goes_Down\n"
            "             keyword: (none) -> Down\n"
            "    changed  2:5020/4     Changes_Name\n"
            "             system: Changes -> Changes_Name\n"
            "             phone: 7-495-555-0004 -> -Unpublished-\n"
            "             flags added: IBN:f4.example.org:24555\n"
            "             flags removed: V34,ITN:f4.example.org\n"
            "             internet endpoint gained: binkp "
            "f4.example.org:24555\n"
            "             internet endpoint lost: telnet f4.example.org:23\n"
            "    removed  2:5020/5     Moves_Away, Moscow, Sysop_Five\n"
            "             the same sysop and system appear at 2:5030/12\n"
            "    changed  2:5020/6     Keyword\n"
            "             keyword: Pvt -> Hold\n"
            "    added    2:5020/7     Newcomer, Moscow, Sysop_Seven\n"
            "  Net 2:5030\n"
            "    added    2:5030/12    moves_away, St_Petersburg, Sysop_FIVE\n"
            "             the same sysop and system were at 2:5020/5\n"
            "\n"
            "Summary: 2 added, 2 removed, 1 Down, 2 changed, 1 moved (9 "
            "entries before, 9 after)\n");
  v7test::ProgramRun json = Changes(old_list, new_list, 1);
  ASSERT_EQ(json.status, 0) << json.err;
  for (const char* piece :
       {"  \"old\": {\"name\": \"OLD.002\", \"year\": 2009, \"day\": 2, "
        "\"entries\": 9},\n",
        "  \"summary\": {\"added\": 2, \"removed\": 2, \"down\": 1, "
        "\"changed\": 2, \"moved\": 1},\n",
        "    {\"zone\": 2, \"net\": 5020, \"address\": \"2:5020/4\", "
        "\"change\": \"changed\", \"keyword\": \"\", \"system\": "
        "\"Changes_Name\", \"location\": \"Moscow\", \"sysop\": "
        "\"Sysop_Four\",\n"
        "     \"fields\": [{\"field\": \"system\", \"old\": \"Changes\", "
        "\"new\": \"Changes_Name\"}, {\"field\": \"phone\", \"old\": "
        "\"7-495-555-0004\", \"new\": \"-Unpublished-\"}],\n"
        "     \"flags_added\": [\"IBN:f4.example.org:24555\"], "
        "\"flags_removed\": [\"V34\", \"ITN:f4.example.org\"],\n"
        "     \"internet_gained\": [{\"protocol\": \"binkp\", \"host\": "
        "\"f4.example.org\", \"port\": 24555}], \"internet_lost\": "
        "[{\"protocol\": \"telnet\", \"host\": \"f4.example.org\", \"port\": "
        "23}],\n"
        "     \"moved_to\": null, \"moved_from\": null}",
        "\"moved_to\": \"2:5030/12\", \"moved_from\": null}"})
    EXPECT_NE(json.out.find(piece), std::string::npos) << json.out;
  // The same list twice: nothing changed, and still exit status 0.
  v7test::ProgramRun same = Changes(new_list, new_list);
  EXPECT_EQ(same.status, 0);
  EXPECT_NE(same.out.find("\nNo entry changed.\n\nSummary: 0 added, 0 "
                          "removed, 0 Down, 0 changed, 0 moved"),
            std::string::npos)
      << same.out;
}

TEST_F(ListReview, ChangesRefuseListsThatCannotBeRead) {
  std::string good = Put(
      "GOOD", v7test::MakeList(kOldHead, {"Zone,2,Europe,Brussels,Zone_Sysop,"
                                          "32-3-000000,33600,CM"}));
  const struct {
    const char* Name;
    std::string Text;
    const char* Err;
  } cases[] = {
      {"EMPTY", "", "error: EMPTY holds no nodelist entry"},
      {"GARBAGE", std::string("\x01\x02\x03\n\xFF\xFE,,,\n", 10),
       "warning: GARBAGE:1: malformed line"},
      {"LONG", std::string(70000, 'z') + "\r\n",
       "warning: LONG:1: malformed line (line too long)"},
  };
  for (const auto& c : cases) {
    v7test::ProgramRun run = Changes(good, Put(c.Name, c.Text));
    EXPECT_EQ(run.status, 1) << c.Name;
    EXPECT_NE(run.err.find(c.Err), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
  }
  v7test::ProgramRun missing = Changes(Path("NOTHERE"), good);
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot read"), std::string::npos);
}

TEST_F(ListReview, ChangesOfTheRealWorldListsFrom2009To2014) {
  if (!fs::exists(kReal / "NODELIST.002"))
    GTEST_SKIP() << "no real nodelists in " << kReal.string();
  std::string old_list = (kReal / "NODELIST.002").string();
  if (v7c::ReadsZipArchives()) {
    ASSERT_TRUE(v7test::ZipText(Path("NODELIST.Z02"), "NODELIST.002",
                                ReadFile(old_list)));
    old_list = Path("NODELIST.Z02");
  }
  v7test::ProgramRun run = Changes(old_list, (kReal / "NODELIST.122").string());
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* piece :
       {" to NODELIST.122 (day 122 of 2014)\n",
        "    changed  1:1/21       The_International_Echolist\n"
        "             location: South_Bawlamer_MD -> Lafayette_LA\n"
        "             phone: 000-0-0-0-0 -> -Unpublished-\n"
        "             flags added: INA:cmech.dynip.com,IBN\n"
        "             flags removed: INA:76.160.123.50,IBN:24554\n"
        "             internet endpoint gained: binkp "
        "cmech.dynip.com:24554\n"
        "             internet endpoint lost: binkp 76.160.123.50:24554\n",
        "    removed  1:123/35     Hard_Drive_Cafe, Montgomery_AL, "
        "Jason_Cullins\n"
        "             the same sysop and system appear at 1:123/5\n",
        "\nSummary: 363 added, 3742 removed, 80 Down, 1220 changed, 28 "
        "moved (6066 entries before, 2687 after)\n"})
    EXPECT_NE(run.out.find(piece), std::string::npos) << piece;
}

}  // namespace
