// Two weekly jobs on one nodelist folder at once, as two entries of one
// cron slot start them: one compiles V7+ for the BBS, the other plain V7
// for the mailer. Both are the real tolvane-compile, started together as
// child processes; the job that takes the folder's lock first makes the
// week's list, the other waits and finds it made. A race shows only now
// and then, so the pair runs several rounds.
#include <string>
#include <thread>
#include <vector>

#include "compiler/file_sync.h"
#include "farhost/sys/sys.h"
#include "generator/generator.h"
#include "reliability_support.h"
#include "test_lists.h"

namespace {

const int kRounds = 4;

struct JobRun {
  int Status = -1;
  std::string Out, Err;
};

JobRun RunJob(const std::string& arguments, const std::string& errFile) {
  std::string program = SysJoinPath(
      SysExecutableDir(), std::string("tolvane-compile") + TOLVANE_EXE_SUFFIX);
  JobRun run;
  if (SysRunCommand(SysQuoteArgument(program) + " " + arguments + " 2>" +
                        SysQuoteArgument(errFile),
                    &run.Out, &run.Status))
    SysReadFile(errFile, size_t{1} << 20, &run.Err);
  return run;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos;
       at = text.find(part, at + 1))
    ++n;
  return n;
}

// "NODEX: <n> entries" of a job's summary line, or "".
std::string Entries(const std::string& out) {
  size_t at = out.find("NODEX: ");
  size_t end = out.find(" entries", at == std::string::npos ? 0 : at);
  return at == std::string::npos || end == std::string::npos
             ? std::string()
             : out.substr(at, end - at);
}

TEST(WeeklyJobs, TwoJobsOnOneFolderTakeTurns) {
  v7gen::GeneratedList generated;
  ASSERT_TRUE(v7gen::GenerateNodelist({40000, 7, 0}, &generated));
  std::vector<std::string> body = v7test::ListLines(generated.nodelist);
  body.erase(body.begin());
  const std::string week1 = v7test::MakeList(
      ";A Synthetic Nodelist for Friday, January 1, 2021 -- Day number 001",
      body);
  body[1000] += ",ZEC";
  body.erase(body.begin() + 20000, body.begin() + 20010);
  const std::string week2 = v7test::MakeList(
      ";A Synthetic Nodelist for Friday, January 8, 2021 -- Day number 008",
      body);
  const std::string diff = v7test::MakeNodediff(week1, week2);
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE(round);
    ScratchFolder folder;
    std::string lists = folder.Path() + "lists";
    ASSERT_TRUE(SysMakeDir(lists));
    folder.Write({{SysJoinPath("lists", "NODELIST.001"), week1},
                  {SysJoinPath("lists", "NODEDIFF.008"), diff}});
    std::string update = "--update " + SysQuoteArgument(lists) + " --out ";
    JobRun bbs, mailer;
    std::thread first([&] {
      bbs = RunJob(update + SysQuoteArgument(folder.Path() + "bbs"),
                   folder.Path() + "bbs.err");
    });
    std::thread second([&] {
      mailer =
          RunJob(update + SysQuoteArgument(folder.Path() + "mailer") + " --v7",
                 folder.Path() + "mailer.err");
    });
    first.join();
    second.join();
    EXPECT_EQ(bbs.Status, 0) << bbs.Err;
    EXPECT_EQ(mailer.Status, 0) << mailer.Err;
    EXPECT_EQ(Count(bbs.Out + mailer.Out,
                    "NODELIST.008: made from NODELIST.001 with NODEDIFF.008"),
              1u)
        << bbs.Out << mailer.Out;
    std::string made;
    EXPECT_TRUE(SysReadFile(SysJoinPath(lists, "NODELIST.008"), size_t{1} << 24,
                            &made));
    EXPECT_EQ(made, week2);
    for (const std::string& name : SysListDir(lists))
      EXPECT_TRUE(name == "NODELIST.001" || name == "NODEDIFF.008" ||
                  name == "NODELIST.008" || name == "TOLVANE.LCK")
          << name;
    EXPECT_NE(Entries(bbs.Out), "");
    EXPECT_EQ(Entries(bbs.Out), Entries(mailer.Out));
  }
  // The wait has a bound: while another holder keeps the lock, a job gives
  // up when its time runs out.
  ScratchFolder folder;
  std::string path = folder.Path() + "TOLVANE.LCK";
  v7c::FileLock held, other;
  int busy = 0;
  std::string error;
  ASSERT_TRUE(v7c::TakeFileLock(path, 0, &held, &busy, &error)) << error;
  EXPECT_FALSE(v7c::TakeFileLock(path, 100, &other, &busy, &error));
  EXPECT_EQ(busy, 1);
  v7c::ReleaseFileLock(&held);
  EXPECT_TRUE(v7c::TakeFileLock(path, 0, &other, &busy, &error)) << error;
  v7c::ReleaseFileLock(&other);
}

}  // namespace
