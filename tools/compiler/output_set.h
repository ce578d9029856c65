// The compiler as a program: its command line and its three modes (compile
// a list; apply a difference file; update a nodelist folder and compile,
// in weekly_update.h), the busy semaphore of the set, and replacing output
// files atomically.
#ifndef TOLVANE_TOOLS_COMPILER_OUTPUT_SET_H
#define TOLVANE_TOOLS_COMPILER_OUTPUT_SET_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "compiler/entry_table.h"
#include "compiler/input_file.h"

namespace v7c {

enum class CompilerMode { kCompile, kApply, kUpdate, kCheck };

struct CompilerArgs {
  CompilerMode mode = CompilerMode::kCompile;
  std::string out_dir;
  std::string base = "NODEX";
  int plus = 1;
  int shared_sysop_index = 0;
  std::string passwords;            // empty: none
  std::string costs;                // empty: none
  std::string diff;                 // --apply: the difference file
  std::string out_list;             // --apply: the list to write
  std::string update_dir;           // --update: the nodelist folder
  std::string changes;              // --update: where the changes go
  int check = 0;                    // --check: the list to check
  std::vector<std::string> inputs;  // the nodelist (none with --update),
                                    // then pointlists
};

// The usage text printed on a command-line error.
extern const char kCompilerUsage[];

// Parses argv[1..argc). Returns 1, or 0 with *error describing the fault.
int ParseCompilerArgs(int argc, const char* const* argv, CompilerArgs* args,
                      std::string* error);

// Creates the busy file exclusively. Returns 1 when this process now holds
// it, 0 when it exists already (another compiler runs) or cannot be made;
// *error says which.
int AcquireBusyFile(const std::string& path, std::string* error);

// The temporary name through which `path` is replaced:
// `path`.<process number>.tmp, so that two compilers writing the same file
// never write into each other's temporary file.
std::string TempPathFor(const std::string& path);

// Writes data[0..size) to TempPathFor(path) and flushes it to the disk.
// Returns 1, or 0 with *error (the partial temporary file is removed).
int WriteTempFile(const std::string& path, const void* data, size_t size,
                  std::string* error);

// Renames TempPathFor(path) over `path`. Returns 1, or 0 with *error.
int CommitTempFile(const std::string& path, std::string* error);

// Reads the inputs and side files, compiles, replaces the outputs. The
// nodelist is *nodelist when given (then every input is a pointlist),
// else the first input. The caller holds the busy file. Warnings go to
// err, the one-line summary to out. Returns 1 when the set was written.
int CompileAndWrite(const CompilerArgs& args, SourceText* nodelist, FILE* out,
                    FILE* err);

// Creates the output folder, takes its busy file, runs work, and releases
// the busy file (also when work fails or throws). Returns work's exit
// status, or 1 when the busy file cannot be taken.
int RunHoldingSet(const CompilerArgs& args,
                  int (*work)(const CompilerArgs& args, FILE* out, FILE* err),
                  FILE* out, FILE* err);

// Runs the mode that args name. A compilation takes the busy file, reads
// the inputs, compiles and replaces the outputs. Returns the exit status:
// 0 when the set (or list) was written, 1 otherwise, 3 when an update
// compiled an older list than the newest (weekly_update.h); a check
// returns list_check.h's status.
int RunCompiler(const CompilerArgs& args, FILE* out, FILE* err);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_OUTPUT_SET_H
