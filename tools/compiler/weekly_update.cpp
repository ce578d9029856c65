// The weekly work on a nodelist folder. Sections: writing a list made,
// reading the folder, applying its difference files in order, the modes.
#include "compiler/weekly_update.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "compiler/input_file.h"
#include "compiler/list_changes.h"
#include "compiler/nodediff.h"
#include "compiler/nodelist_line.h"

namespace v7c {

namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------------
// Writing a list made: a temporary name, flushed, then renamed.

int WriteListFile(const std::string& path, const std::string& text, FILE* err) {
  std::string error;
  if (WriteTempFile(path, text.data(), text.size(), &error) &&
      CommitTempFile(path, &error))
    return 1;
  fprintf(err, "error: %s\n", error.c_str());
  std::error_code ec;
  fs::remove(path + ".tmp", ec);
  return 0;
}

// ---------------------------------------------------------------------
// Reading the folder.

enum class FileKind { kOther, kList, kDiff };

// NODELIST.<anything> and NODEDIFF.<anything>, in any letter case, with no
// second dot (so that temporary files are left alone).
FileKind KindOfName(const std::string& name) {
  if (name.size() <= 9 || name[8] != '.' ||
      name.find('.', 9) != std::string::npos)
    return FileKind::kOther;
  std::string stem = name.substr(0, 8);
  for (char& c : stem) c = (c >= 'a' && c <= 'z') ? c - 32 : c;
  if (stem == "NODELIST") return FileKind::kList;
  if (stem == "NODEDIFF") return FileKind::kDiff;
  return FileKind::kOther;
}

// A list, or a difference file with the date of the list it applies to.
struct DatedText {
  std::string name;  // for messages
  std::string text;
  ListDate date;
};

uint32_t KeyOf(const DatedText& t) { return ListDateKey(t.date); }

struct Folder {
  std::string dir;
  DatedText newest;  // the list with the latest date
  int have_list;
  std::vector<DatedText> diffs;
  int complete;  // 0 once a difference file could not be used
};

// Reads a file of the folder and the date on its first line. Returns 0
// with a warning when the file cannot serve.
int ReadDated(const std::string& path, DatedText* t, FILE* err) {
  InputText input;
  std::string error;
  if (!ReadInputText(path, &input, &error)) {
    fprintf(err, "warning: %s; skipped\n", error.c_str());
    return 0;
  }
  if (!ParseListDate(input.text.data(), input.text.size(), &t->date)) {
    fprintf(err,
            "warning: %s is not a nodelist: its first line gives no date "
            "and day number; skipped\n",
            input.name.c_str());
    return 0;
  }
  t->name = std::move(input.name);
  t->text = std::move(input.text);
  return 1;
}

// The names of the folder's lists and difference files, sorted.
int ListFolder(const std::string& dir, std::vector<std::string>* names,
               FILE* err) {
  std::error_code ec;
  fs::directory_iterator it(dir, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::string name = it->path().filename().string();
    std::error_code type_ec;
    if (KindOfName(name) != FileKind::kOther && it->is_regular_file(type_ec))
      names->push_back(name);
  }
  if (ec) {
    fprintf(err, "error: cannot read the folder %s: %s\n", dir.c_str(),
            ec.message().c_str());
    return 0;
  }
  std::sort(names->begin(), names->end());
  return 1;
}

int ReadFolder(Folder* f, FILE* err) {
  std::vector<std::string> names;
  if (!ListFolder(f->dir, &names, err)) return 0;
  for (const std::string& name : names) {
    int is_diff = KindOfName(name) == FileKind::kDiff;
    DatedText t;
    if (!ReadDated((fs::path(f->dir) / name).string(), &t, err)) {
      if (is_diff) f->complete = 0;
    } else if (is_diff) {
      f->diffs.push_back(std::move(t));
    } else if (!f->have_list || KeyOf(t) > KeyOf(f->newest)) {
      f->newest = std::move(t);
      f->have_list = 1;
    }
  }
  if (!f->have_list) {
    fprintf(err,
            "error: no nodelist (NODELIST.*) with a dated first line in %s\n",
            f->dir.c_str());
    return 0;
  }
  return 1;
}

// ---------------------------------------------------------------------
// Applying the difference files in the order of their dates.

void ReportMissing(const Folder& f, const DatedText& next, FILE* err) {
  fprintf(err,
          "warning: the list of day %03u of %u is missing: %s applies to "
          "it, and no difference file here made it from the list of day "
          "%03u of %u\n",
          next.date.day, next.date.year, next.name.c_str(), f.newest.date.day,
          f.newest.date.year);
}

// Applies one difference file to the newest list and writes the list made.
// Returns 1 when applied, 0 when refused (reported), -1 when the list
// made cannot be written.
int ApplyOne(Folder* f, const DatedText& d, FILE* out, FILE* err) {
  DatedText made;
  std::string error;
  if (!ApplyNodediff(d.text.data(), d.text.size(), f->newest.text.data(),
                     f->newest.text.size(), &made.text, &error)) {
    fprintf(err, "error: %s: %s; not applied\n", d.name.c_str(), error.c_str());
    return 0;
  }
  if (!ParseListDate(made.text.data(), made.text.size(), &made.date) ||
      KeyOf(made) <= KeyOf(f->newest)) {
    fprintf(err,
            "error: %s: the list made is not dated after the list of day "
            "%03u of %u; not applied\n",
            d.name.c_str(), f->newest.date.day, f->newest.date.year);
    return 0;
  }
  char file[16];
  snprintf(file, sizeof(file), "NODELIST.%03u", made.date.day);
  if (!WriteListFile((fs::path(f->dir) / file).string(), made.text, err))
    return -1;
  fprintf(out, "%s: made from %s with %s\n", file, f->newest.name.c_str(),
          d.name.c_str());
  made.name = file;
  f->newest = std::move(made);
  return 1;
}

// Difference files older than the newest list are in it already; the
// first one that applies to a later list than the newest reached means a
// week is missing. Returns 0 when a list made cannot be written.
int ApplyInOrder(Folder* f, FILE* out, FILE* err) {
  std::stable_sort(f->diffs.begin(), f->diffs.end(),
                   [](const DatedText& a, const DatedText& b) {
                     return KeyOf(a) < KeyOf(b);
                   });
  for (const DatedText& d : f->diffs) {
    if (KeyOf(d) < KeyOf(f->newest)) continue;
    if (KeyOf(d) > KeyOf(f->newest)) {
      ReportMissing(*f, d, err);
      f->complete = 0;
      break;
    }
    int applied = ApplyOne(f, d, out, err);
    if (applied < 0) return 0;
    if (applied == 0) f->complete = 0;
  }
  return 1;
}

// ---------------------------------------------------------------------
// The modes.

int UpdateAndCompile(const CompilerArgs& args, FILE* out, FILE* err) {
  Folder f;
  f.dir = args.update_dir;
  f.have_list = 0;
  f.complete = 1;
  if (!ReadFolder(&f, err)) return 1;
  // The list the update starts from, for the report of what changed.
  SourceText start;
  if (!args.changes.empty()) start = {f.newest.name, f.newest.text, 0};
  if (!ApplyInOrder(&f, out, err)) return 1;
  if (!f.complete)
    fprintf(err,
            "warning: compiling %s, the list of day %03u of %u, which is "
            "not the newest\n",
            f.newest.name.c_str(), f.newest.date.day, f.newest.date.year);
  SourceText list = {std::move(f.newest.name), std::move(f.newest.text), 0};
  int changes_written =
      args.changes.empty() || WriteChangesFile(args.changes, start, list, err);
  if (!CompileAndWrite(args, &list, out, err) || !changes_written) return 1;
  return f.complete ? 0 : 3;
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
