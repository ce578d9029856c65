// The weekly work on a nodelist folder. Sections: writing a list made,
// the start list, applying the difference files in order, what is still
// missing, the folder's run under its lock, the modes.
#include "compiler/weekly_update.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "compiler/file_sync.h"
#include "compiler/input_file.h"
#include "compiler/list_changes.h"
#include "compiler/list_folder.h"
#include "compiler/nodediff.h"
#include "compiler/nodelist_line.h"

namespace v7c {

namespace fs = std::filesystem;

namespace {

// The lock file of a nodelist folder, and how long a job waits for a job
// that holds it (reading, applying and writing lists takes seconds).
const char kFolderLock[] = "TOLVANE.LCK";
const int kFolderLockWaitMs = 5 * 60 * 1000;

// An unusable file whose name gives a day up to this many days after the
// newest list reached may hold a week that no file reaches; a day further
// on is taken to be of an earlier year.
const int kDaysAhead = 56;

enum class DiffState : uint8_t { kUntried, kApplied, kRefused };

// The date and first line of a list made.
struct ListHeader {
  uint32_t key;
  std::string line;
};

// The folder phase of one run: what the folder holds, the list the run
// starts from, the lists made, and whether a day is left that no file
// reaches. A report of the changes from the start list to the newest list
// can be made from this.
struct FolderRun {
  NodelistFolder folder;
  size_t start;                    // folder.lists[start]: the start list
  DatedText newest;                // the newest list reached
  std::vector<DiffState> diff;     // per folder.diffs
  std::vector<int> kept;           // per folder.lists: kept aside
  std::vector<int> kept_unusable;  // per folder.unusable
  std::vector<ListHeader> made;    // the lists made, in order
  int missing;
};

// ---------------------------------------------------------------------
// Writing a list made: a temporary name, flushed, then renamed.

int WriteListFile(const std::string& path, const std::string& text, FILE* err) {
  std::string error;
  if (WriteTempFile(path, text.data(), text.size(), &error) &&
      CommitTempFile(path, &error))
    return 1;
  fprintf(err, "error: %s\n", error.c_str());
  std::error_code ec;
  fs::remove(TempPathFor(path), ec);
  return 0;
}

// Keeps aside the damaged lists of the day of a list made, which takes
// their place: those failing their CRC, and the unreadable ones whose
// name gives that day. Returns 0 when one cannot be renamed.
int KeepDamagedOfDay(FolderRun* run, const DatedText& made, FILE* err) {
  NodelistFolder& f = run->folder;
  std::string kept, error;
  for (size_t i = 0; i < f.lists.size(); ++i) {
    if (f.lists[i].crc_ok || f.lists[i].key != made.key) continue;
    if (!KeepDamagedFile(f.dir, f.lists[i].file, &kept, &error)) break;
    run->kept[i] = 1;
    fprintf(err, "warning: %s kept as %s; the list made replaces it\n",
            f.lists[i].file.c_str(), kept.c_str());
  }
  for (size_t i = 0; error.empty() && i < f.unusable.size(); ++i) {
    const UnusableFile& u = f.unusable[i];
    if (!u.is_list || !NameGivesDay(u, made.date.day)) continue;
    if (!KeepDamagedFile(f.dir, u.file, &kept, &error)) break;
    run->kept_unusable[i] = 1;
    fprintf(err, "warning: %s kept as %s; the list made replaces it\n",
            u.file.c_str(), kept.c_str());
  }
  if (!error.empty()) fprintf(err, "error: %s\n", error.c_str());
  return error.empty();
}

// Writes a list made as NODELIST.<day>, keeping aside the damaged lists it
// replaces. Returns 0 when it cannot be written.
int PutListMade(FolderRun* run, DatedText* made, FILE* err) {
  char file[16];
  snprintf(file, sizeof(file), "NODELIST.%03u", made->date.day);
  std::string path = (fs::path(run->folder.dir) / file).string();
  std::string error;
  if (!WriteTempFile(path, made->text.data(), made->text.size(), &error)) {
    fprintf(err, "error: %s\n", error.c_str());
    return 0;
  }
  if (!KeepDamagedOfDay(run, *made, err) || !CommitTempFile(path, &error)) {
    if (!error.empty()) fprintf(err, "error: %s\n", error.c_str());
    std::error_code ec;
    fs::remove(TempPathFor(path), ec);
    return 0;
  }
  made->file = file;
  made->name = file;
  return 1;
}

// ---------------------------------------------------------------------
// The start list: the newest list that passes its CRC. A damaged list is
// never a start: the difference files may reach its day from an older one.

int PickStart(FolderRun* run, FILE* err) {
  const std::vector<DatedText>& lists = run->folder.lists;
  for (size_t i = lists.size(); i-- > 0;) {
    if (!lists[i].crc_ok) continue;
    run->start = i;
    run->newest = lists[i];
    return 1;
  }
  fprintf(err,
          lists.empty() ? "error: no nodelist (NODELIST.*) with a dated first "
                          "line in %s; nothing compiled\n"
                        : "error: no nodelist in %s passes its CRC; nothing "
                          "compiled\n",
          run->folder.dir.c_str());
  return 0;
}

// ---------------------------------------------------------------------
// Applying the difference files in the order of their dates.

// Applies one difference file to the newest list and writes the list
// made. Returns 1 when applied, 0 when refused (reported), -1 when the
// list made cannot be written.
int ApplyOne(FolderRun* run, const DatedText& d, FILE* out, FILE* err) {
  DatedText made;
  std::string error;
  if (!ApplyNodediff(d.text.data(), d.text.size(), run->newest.text.data(),
                     run->newest.text.size(), &made.text, &error)) {
    fprintf(err, "error: %s: %s; not applied\n", d.name.c_str(), error.c_str());
    return 0;
  }
  if (!ParseListDate(made.text.data(), made.text.size(), &made.date) ||
      ListDateKey(made.date) <= run->newest.key) {
    fprintf(err,
            "error: %s: the list made is not dated after the list of day "
            "%03u of %u; not applied\n",
            d.name.c_str(), run->newest.date.day, run->newest.date.year);
    return 0;
  }
  made.key = ListDateKey(made.date);
  made.crc_ok = 1;
  if (!PutListMade(run, &made, err)) return -1;
  fprintf(out, "%s: made from %s with %s\n", made.file.c_str(),
          run->newest.name.c_str(), d.name.c_str());
  run->made.push_back({made.key, FirstLine(made.text)});
  run->newest = std::move(made);
  return 1;
}

// Moves the newest list on by one difference file of its day whose first
// line is the newest list's. Returns 1 when one applied, 0 when none did,
// -1 when a list made cannot be written.
int StepOnce(FolderRun* run, FILE* out, FILE* err) {
  const std::vector<DatedText>& diffs = run->folder.diffs;
  std::string header = FirstLine(run->newest.text);
  for (size_t i = 0; i < diffs.size(); ++i) {
    if (diffs[i].key != run->newest.key ||
        run->diff[i] != DiffState::kUntried ||
        FirstLine(diffs[i].text) != header)
      continue;
    int applied = ApplyOne(run, diffs[i], out, err);
    if (applied < 0) return -1;
    run->diff[i] = applied ? DiffState::kApplied : DiffState::kRefused;
    if (applied) return 1;
  }
  return 0;
}

int ApplyInOrder(FolderRun* run, FILE* out, FILE* err) {
  run->diff.assign(run->folder.diffs.size(), DiffState::kUntried);
  run->kept.assign(run->folder.lists.size(), 0);
  run->kept_unusable.assign(run->folder.unusable.size(), 0);
  int step;
  while ((step = StepOnce(run, out, err)) > 0) {
  }
  return step == 0;
}

// ---------------------------------------------------------------------
// What is still missing after the difference files: exit status 3 is for
// a day that no file reaches, and each file that could not serve is named.

// 1 when some list of the folder or made by the run has this date; and
// when one of them has this first line.
int HasListOfDay(const FolderRun& run, uint32_t key) {
  for (const DatedText& l : run.folder.lists)
    if (l.key == key) return 1;
  for (const ListHeader& l : run.made)
    if (l.key == key) return 1;
  return 0;
}
int HasListHeaded(const FolderRun& run, const std::string& header) {
  for (const DatedText& l : run.folder.lists)
    if (FirstLine(l.text) == header) return 1;
  for (const ListHeader& l : run.made)
    if (l.line == header) return 1;
  return 0;
}

// Whether the day that a name gives lies after the newest list reached,
// by at most kDaysAhead. A name of two digits fits several days of the
// year: the one nearest to the newest list's day counts (a year taken as
// 365 days), so that NODEDIFF.Z61 beside a list of day 009 is of day 361
// of the year before.
int DayAhead(const UnusableFile& u, int newest_day) {
  int nearest = 366;
  for (int day = 1; day <= 366; ++day) {
    if (!NameGivesDay(u, day)) continue;
    int ahead = ((day - newest_day) % 365 + 365) % 365;  // 0..364
    int distance = ahead > 182 ? ahead - 365 : ahead;    // -182..182
    if (std::abs(distance) < std::abs(nearest)) nearest = distance;
  }
  return nearest >= 1 && nearest <= kDaysAhead;
}

void CheckDamagedLists(FolderRun* run, FILE* err) {
  const std::vector<DatedText>& lists = run->folder.lists;
  for (size_t i = 0; i < lists.size(); ++i) {
    if (lists[i].crc_ok || run->kept[i] || lists[i].key <= run->newest.key)
      continue;
    fprintf(err,
            "warning: no difference file here reaches day %03u of %u, the "
            "day of %s, which fails its CRC\n",
            lists[i].date.day, lists[i].date.year, lists[i].name.c_str());
    run->missing = 1;
  }
}

void CheckUnusableFiles(FolderRun* run, FILE* err) {
  const std::vector<UnusableFile>& files = run->folder.unusable;
  for (size_t i = 0; i < files.size(); ++i) {
    if (run->kept_unusable[i] || !DayAhead(files[i], run->newest.date.day))
      continue;
    fprintf(err,
            "warning: no other file here reaches the day that the name of "
            "%s gives (%0*d)\n",
            files[i].file.c_str(), files[i].name_digits, files[i].name_day);
    run->missing = 1;
  }
}

void ReportMissing(const FolderRun& run, const DatedText& next, FILE* err) {
  fprintf(err,
          "warning: the list of day %03u of %u is missing: %s applies to "
          "it, and no difference file here made it from the list of day "
          "%03u of %u\n",
          next.date.day, next.date.year, next.name.c_str(), run.newest.date.day,
          run.newest.date.year);
}

// Difference files older than the start list are in it already. One
// refused at the newest list's day, or one for a later list, leaves a
// week missing; one whose first line is of no list of the folder while a
// list of its day is known is for another list.
void CheckDiffs(FolderRun* run, FILE* err) {
  const std::vector<DatedText>& diffs = run->folder.diffs;
  int reported = 0;
  for (size_t i = 0; i < diffs.size(); ++i) {
    const DatedText& d = diffs[i];
    if (run->diff[i] == DiffState::kApplied) continue;
    if (run->diff[i] == DiffState::kRefused) {
      run->missing |= d.key >= run->newest.key;
    } else if (d.key > run->newest.key) {
      if (!reported) ReportMissing(*run, d, err);
      reported = 1;
      run->missing = 1;
    } else if (HasListOfDay(*run, d.key) &&
               !HasListHeaded(*run, FirstLine(d.text))) {
      fprintf(err,
              "warning: %s applies to no list here: its first line is not "
              "that of any list of the folder (a difference file for another "
              "nodelist, or a damaged one); skipped\n",
              d.name.c_str());
    }
  }
}

// ---------------------------------------------------------------------
// The folder's run, under its lock: another job on the same folder waits
// and then finds the lists made.

int RunOnFolder(const std::string& dir, FolderRun* run, FILE* out, FILE* err) {
  std::string path = (fs::path(dir) / kFolderLock).string();
  FileLock lock;
  int busy = 0;
  std::string error;
  int locked = TakeFileLock(path, kFolderLockWaitMs, &lock, &busy, &error);
  if (!locked && busy) {
    fprintf(err, "error: another job has held %s for %d s; nothing compiled\n",
            path.c_str(), kFolderLockWaitMs / 1000);
    return 0;
  }
  // Without the lock (a folder this job may not write, where no job writes
  // lists) the job goes on alone: its temporary names are its own.
  if (!locked)
    fprintf(err, "warning: %s; going on without it\n", error.c_str());
  if (locked) RemoveLeftTempLists(dir);
  run->missing = 0;
  int ok = ReadNodelistFolder(dir, &run->folder, err) && PickStart(run, err) &&
           ApplyInOrder(run, out, err);
  if (ok) {
    CheckDamagedLists(run, err);
    CheckUnusableFiles(run, err);
    CheckDiffs(run, err);
  }
  if (locked) ReleaseFileLock(&lock);
  return ok;
}

// ---------------------------------------------------------------------
// The modes.

int UpdateAndCompile(const CompilerArgs& args, FILE* out, FILE* err) {
  FolderRun run;
  if (!RunOnFolder(args.update_dir, &run, out, err)) return 1;
  if (run.missing)
    fprintf(err,
            "warning: compiling %s, the list of day %03u of %u, which is "
            "not the newest\n",
            run.newest.name.c_str(), run.newest.date.day, run.newest.date.year);
  SourceText list = {std::move(run.newest.name), std::move(run.newest.text), 0};
  int changes_written = 1;
  if (!args.changes.empty()) {
    // From the list the update started from to the newest list reached.
    const DatedText& from = run.folder.lists[run.start];
    changes_written =
        WriteChangesFile(args.changes, {from.name, from.text, 0}, list, err);
  }
  if (!CompileAndWrite(args, &list, out, err) || !changes_written) return 1;
  return run.missing ? 3 : 0;
}

}  // namespace

int RunApply(const CompilerArgs& args, FILE* out, FILE* err) {
  InputText diff, old;
  std::string error, made;
  if (!ReadInputText(args.diff, &diff, &error) ||
      !ReadInputText(args.inputs[0], &old, &error)) {
    fprintf(err, "error: %s\n", error.c_str());
    return 1;
  }
  if (!ApplyNodediff(diff.text.data(), diff.text.size(), old.text.data(),
                     old.text.size(), &made, &error)) {
    fprintf(err, "error: %s: %s; nothing written\n", diff.name.c_str(),
            error.c_str());
    return 1;
  }
  if (!WriteListFile(args.out_list, made, err)) return 1;
  fprintf(out, "%s: made from %s with %s\n",
          fs::path(args.out_list).filename().string().c_str(), old.name.c_str(),
          diff.name.c_str());
  return 0;
}

int RunUpdate(const CompilerArgs& args, FILE* out, FILE* err) {
  return RunHoldingSet(args, UpdateAndCompile, out, err);
}

}  // namespace v7c
