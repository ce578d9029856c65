// The compiler program around CompileNodelist.
#include "compiler/output_set.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <exception>
#include <filesystem>
#include <system_error>

#include "compiler/compiler.h"
#include "compiler/file_sync.h"
#include "compiler/list_check.h"
#include "compiler/weekly_update.h"
#include "nodelist/v7_format.h"

namespace v7c {

namespace fs = std::filesystem;

const char kCompilerUsage[] =
    "usage: tolvane-compile --out DIR [--name BASE] [--v7] "
    "[--shared-sysop-index]\n"
    "                       [--passwords FILE] [--cost-table FILE] "
    "NODELIST [POINTLIST...]\n"
    "       tolvane-compile --update NODELIST_DIR --out DIR [--changes FILE] "
    "[the options\n"
    "                       above] [POINTLIST...]\n"
    "       tolvane-compile --apply NODEDIFF OLD_NODELIST --out-list "
    "NEW_NODELIST\n"
    "       tolvane-compile --check NODELIST\n";

namespace {

// --apply NODEDIFF OLD_NODELIST --out-list NEW_NODELIST, nothing else.
int CheckApplyArgs(CompilerArgs* args, std::string* error) {
  args->mode = CompilerMode::kApply;
  if (!args->update_dir.empty())
    *error = "--apply and --update do not go together";
  else if (!args->out_dir.empty())
    *error = "--apply writes a nodelist, not a compiled set: no --out";
  else if (args->out_list.empty())
    *error = "--apply needs --out-list NEW_NODELIST";
  else if (args->inputs.size() != 1)
    *error = "--apply takes one old nodelist";
  return error->empty();
}

// --check NODELIST, nothing else.
int CheckCheckArgs(CompilerArgs* args, std::string* error) {
  args->mode = CompilerMode::kCheck;
  if (!args->update_dir.empty() || !args->diff.empty() ||
      !args->out_dir.empty() || !args->out_list.empty() ||
      !args->changes.empty())
    *error =
        "--check reads one list and writes nothing: no other mode or "
        "output";
  else if (args->inputs.size() != 1)
    *error = "--check takes one nodelist or segment";
  return error->empty();
}

// Takes the value of an option that needs one; 0 when it is missing.
int TakeValue(int argc, const char* const* argv, int* i, std::string* value,
              std::string* error) {
  if (*i + 1 >= argc || argv[*i + 1][0] == '\0') {
    *error = std::string("option ") + argv[*i] + " needs a value";
    return 0;
  }
  *value = argv[++*i];
  return 1;
}

void EmitToFile(void* context, const char* text) {
  fprintf(static_cast<FILE*>(context), "warning: %s\n", text);
}

// The nodelist (*nodelist, or the first input) and the pointlists.
int ReadInputs(const CompilerArgs& args, SourceText* nodelist,
               std::vector<SourceText>* sources, FILE* err) {
  if (nodelist) sources->push_back(std::move(*nodelist));
  for (const std::string& path : args.inputs) {
    InputText input;
    std::string error;
    if (!ReadInputText(path, &input, &error)) {
      fprintf(err, "error: %s\n", error.c_str());
      return 0;
    }
    int is_pointlist = !sources->empty();
    sources->push_back(
        {std::move(input.name), std::move(input.text), is_pointlist});
  }
  return 1;
}

int ReadSideFiles(const CompilerArgs& args, PasswordTable* passwords,
                  CostTable* costs, Reporter* reporter, FILE* err) {
  std::string text;
  if (!args.passwords.empty()) {
    if (!ReadWholeFile(args.passwords, &text)) {
      fprintf(err, "error: cannot read %s\n", args.passwords.c_str());
      return 0;
    }
    ReadPasswordTable(fs::path(args.passwords).filename().string(), text,
                      passwords, reporter);
  }
  if (!args.costs.empty()) {
    if (!ReadWholeFile(args.costs, &text)) {
      fprintf(err, "error: cannot read %s\n", args.costs.c_str());
      return 0;
    }
    ReadCostTable(fs::path(args.costs).filename().string(), text, costs,
                  reporter);
  }
  return 1;
}

// Checks the CRC of every source whose first line gives one; the nodelist
// must give one. Returns the nodelist's result for the summary.
const char* CheckCrcs(const std::vector<SourceText>& sources,
                      Reporter* reporter) {
  const char* result = "CRC ok";
  for (size_t i = 0; i < sources.size(); ++i) {
    const SourceText& s = sources[i];
    ListCrc crc = CheckListCrc(s.text.data(), s.text.size());
    if (!crc.claimed_present) {
      if (i == 0) {
        Warn(reporter, "%s: the first line gives no CRC", s.name.c_str());
        result = "no CRC";
      }
    } else if (crc.claimed != crc.computed) {
      Warn(reporter,
           "%s: CRC mismatch: the first line says %u, the text "
           "gives %u",
           s.name.c_str(), crc.claimed, crc.computed);
      if (i == 0) result = "CRC mismatch";
    }
  }
  return result;
}

// One file of the set while it is written: its final name, the temporary
// file beside it and the sink that fills it.
struct OutputFile {
  std::string path;
  FILE* file;
  ByteSink sink;
  uint64_t synced_to;  // bytes handed to StartWriteback so far
};

// Bytes of a file's sink buffer, and how much written text is handed on to
// the disk at a time while the compilation goes on.
const size_t kSinkBufferSize = 1 << 20;
const uint64_t kWritebackStep = 8 << 20;

int WriteToFile(void* context, const uint8_t* data, size_t size) {
  OutputFile* f = static_cast<OutputFile*>(context);
  if (fwrite(data, 1, size, f->file) != size) return 0;
  uint64_t written = f->sink.total - (f->sink.used - size);
  if (written - f->synced_to >= kWritebackStep) {
    StartWriteback(f->file, f->synced_to, written - f->synced_to);
    f->synced_to = written;
  }
  return 1;
}

// The files of the set in the order DAT, NDX, SDX (or SYSOP.NDX), then
// DTP and PDX with plus.
std::vector<std::string> OutputNames(const CompilerArgs& args) {
  fs::path dir(args.out_dir);
  auto name = [&](const std::string& file) { return (dir / file).string(); };
  std::vector<std::string> names = {
      name(args.base + ".DAT"), name(args.base + ".NDX"),
      name(args.shared_sysop_index ? "SYSOP.NDX" : args.base + ".SDX")};
  if (args.plus) {
    names.push_back(name(args.base + ".DTP"));
    names.push_back(name(args.base + ".PDX"));
  }
  return names;
}

// Closes every temporary file still open and removes them all.
void DropTempFiles(std::vector<OutputFile>* files) {
  std::error_code ec;
  for (OutputFile& f : *files) {
    if (f.file) fclose(f.file);
    f.file = nullptr;
    fs::remove(TempPathFor(f.path), ec);
  }
}

// Creates the temporary file of every output. Returns 1, or 0 with the
// message given and nothing left behind.
int OpenTempFiles(const CompilerArgs& args, std::vector<OutputFile>* files,
                  FILE* err) {
  std::vector<std::string> names = OutputNames(args);
  files->resize(names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    OutputFile& f = (*files)[i];
    f.path = names[i];
    f.synced_to = 0;
    f.file = fopen(TempPathFor(f.path).c_str(), "wb");
    if (!f.file) {
      fprintf(err, "error: cannot write %s\n", TempPathFor(f.path).c_str());
      DropTempFiles(files);
      return 0;
    }
    setvbuf(f.file, nullptr, _IONBF, 0);  // the sink is the buffer
    OpenSink(&f.sink, WriteToFile, &f, kSinkBufferSize);
  }
  return 1;
}

// Flushes every temporary file to the disk and closes it, then renames
// them all over the set, one right after the other, so that a reader
// meets the old set or the new one and not a file of each for longer than
// those renames take. A plain V7 set removes the V7+ files of an earlier
// compilation, which no longer match.
int ReplaceOutputs(const CompilerArgs& args, std::vector<OutputFile>* files,
                   FILE* err) {
  for (OutputFile& f : *files) {
    int ok = FlushSink(&f.sink) && SyncFileToDisk(f.file);
    ok = (fclose(f.file) == 0) && ok;
    f.file = nullptr;
    if (!ok) {
      fprintf(err, "error: cannot write %s\n", TempPathFor(f.path).c_str());
      DropTempFiles(files);
      return 0;
    }
  }
  // A rename over a large file frees its blocks inside the rename, which
  // takes tens of milliseconds; with a second name on each old file the
  // renames free nothing and follow each other at once, and the old files
  // go only after the new set is in place. Where the file system has no
  // hard links the renames free the old files themselves.
  std::error_code ec;
  for (const OutputFile& f : *files) {
    fs::remove(f.path + ".old", ec);
    fs::create_hard_link(f.path, f.path + ".old", ec);
  }
  std::string error;
  int committed = 1;
  for (const OutputFile& f : *files) {
    if (!CommitTempFile(f.path, &error)) {
      fprintf(err, "error: %s\n", error.c_str());
      committed = 0;
      break;
    }
  }
  for (const OutputFile& f : *files) fs::remove(f.path + ".old", ec);
  if (!committed) return 0;
  if (!args.plus) {
    fs::remove(fs::path(args.out_dir) / (args.base + ".DTP"), ec);
    fs::remove(fs::path(args.out_dir) / (args.base + ".PDX"), ec);
  }
  return 1;
}

// The work of a plain compilation, under the busy file.
int CompileInputs(const CompilerArgs& args, FILE* out, FILE* err) {
  return CompileAndWrite(args, nullptr, out, err) ? 0 : 1;
}

}  // namespace

int CompileAndWrite(const CompilerArgs& args, SourceText* nodelist, FILE* out,
                    FILE* err) {
  auto start = std::chrono::steady_clock::now();
  Reporter reporter = {EmitToFile, err, 0};
  std::vector<SourceText> sources;
  PasswordTable passwords;
  CostTable costs = {};
  if (!ReadInputs(args, nodelist, &sources, err) ||
      !ReadSideFiles(args, &passwords, &costs, &reporter, err))
    return 0;
  const char* crc = CheckCrcs(sources, &reporter);
  CompileOptions options = {args.plus, v7::kUsualBlockSize};
  std::vector<OutputFile> files;
  if (!OpenTempFiles(args, &files, err)) return 0;
  ByteSink* plus_dtp = args.plus ? &files[3].sink : nullptr;
  ByteSink* plus_pdx = args.plus ? &files[4].sink : nullptr;
  SetSinks sinks = {&files[0].sink, &files[1].sink, &files[2].sink, plus_dtp,
                    plus_pdx};
  CompileStats stats;
  if (!CompileNodelistTo(sources, args.passwords.empty() ? nullptr : &passwords,
                         args.costs.empty() ? nullptr : &costs, options, sinks,
                         &stats, &reporter)) {
    DropTempFiles(&files);
    fprintf(err, "error: nothing to compile in %s\n", sources[0].name.c_str());
    return 0;
  }
  if (!ReplaceOutputs(args, &files, err)) return 0;
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
          .count();
  fprintf(out,
          "%s: %u entries compiled (%u points), %u Down skipped, "
          "%u duplicates replaced, %u malformed lines, %s, %.3f s\n",
          args.base.c_str(), stats.entries, stats.points, stats.down,
          stats.duplicates, stats.malformed, crc, seconds);
  return 1;
}

int ParseCompilerArgs(int argc, const char* const* argv, CompilerArgs* args,
                      std::string* error) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    int ok = 1;
    if (a == "--out")
      ok = TakeValue(argc, argv, &i, &args->out_dir, error);
    else if (a == "--name")
      ok = TakeValue(argc, argv, &i, &args->base, error);
    else if (a == "--passwords")
      ok = TakeValue(argc, argv, &i, &args->passwords, error);
    else if (a == "--cost-table")
      ok = TakeValue(argc, argv, &i, &args->costs, error);
    else if (a == "--apply")
      ok = TakeValue(argc, argv, &i, &args->diff, error);
    else if (a == "--out-list")
      ok = TakeValue(argc, argv, &i, &args->out_list, error);
    else if (a == "--update")
      ok = TakeValue(argc, argv, &i, &args->update_dir, error);
    else if (a == "--changes")
      ok = TakeValue(argc, argv, &i, &args->changes, error);
    else if (a == "--check")
      args->check = 1;
    else if (a == "--v7")
      args->plus = 0;
    else if (a == "--shared-sysop-index")
      args->shared_sysop_index = 1;
    else if (a.size() > 1 && a[0] == '-') {
      *error = "unknown option " + a;
      return 0;
    } else {
      args->inputs.push_back(a);
    }
    if (!ok) return 0;
  }
  if (args->check) return CheckCheckArgs(args, error);
  if (!args->diff.empty()) return CheckApplyArgs(args, error);
  if (!args->update_dir.empty()) args->mode = CompilerMode::kUpdate;
  if (!args->out_list.empty())
    *error = "--out-list goes with --apply";
  else if (!args->changes.empty() && args->mode != CompilerMode::kUpdate)
    *error = "--changes goes with --update";
  else if (args->out_dir.empty())
    *error = "--out DIR is required";
  else if (args->inputs.empty() && args->mode == CompilerMode::kCompile)
    *error = "no nodelist given";
  else if (args->base.find_first_of("/\\:") != std::string::npos)
    *error = "--name takes a base name, not a path";
  return error->empty();
}

int AcquireBusyFile(const std::string& path, std::string* error) {
  int fd = open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
  if (fd >= 0) {
    close(fd);
    return 1;
  }
  int busy = errno == EEXIST;
  *error = busy ? path +
                      " exists: another compiler is writing this set "
                      "(delete it if no compiler is running)"
                : "cannot create " + path + ": " + strerror(errno);
  return 0;
}

std::string TempPathFor(const std::string& path) {
  return path + "." + std::to_string(CurrentProcessNumber()) + ".tmp";
}

int WriteTempFile(const std::string& path, const void* data, size_t size,
                  std::string* error) {
  std::string tmp = TempPathFor(path);
  FILE* f = fopen(tmp.c_str(), "wb");
  int ok = f && (size == 0 || fwrite(data, 1, size, f) == size);
  if (f) ok = SyncFileToDisk(f) && ok;
  if (f) ok = (fclose(f) == 0) && ok;
  if (!ok) {
    *error = "cannot write " + tmp;
    std::error_code ec;
    fs::remove(tmp, ec);
  }
  return ok;
}

int CommitTempFile(const std::string& path, std::string* error) {
  std::error_code ec;
  fs::rename(TempPathFor(path), path, ec);
  if (ec) *error = "cannot replace " + path + ": " + ec.message();
  return !ec;
}

int RunHoldingSet(const CompilerArgs& args,
                  int (*work)(const CompilerArgs& args, FILE* out, FILE* err),
                  FILE* out, FILE* err) {
  std::error_code ec;
  fs::create_directories(args.out_dir, ec);
  std::string busy = (fs::path(args.out_dir) / (args.base + ".BSY")).string();
  std::string error;
  if (!AcquireBusyFile(busy, &error)) {
    fprintf(err, "error: %s\n", error.c_str());
    return 1;
  }
  int status = 1;
  try {
    status = work(args, out, err);
  } catch (const std::exception& e) {
    fprintf(err, "error: %s\n", e.what());
  }
  fs::remove(busy, ec);
  return status;
}

int RunCompiler(const CompilerArgs& args, FILE* out, FILE* err) {
  if (args.mode == CompilerMode::kApply) return RunApply(args, out, err);
  if (args.mode == CompilerMode::kUpdate) return RunUpdate(args, out, err);
  if (args.mode == CompilerMode::kCheck) return RunCheck(args, out, err);
  return RunHoldingSet(args, CompileInputs, out, err);
}

}  // namespace v7c
