// The compiler as a program: its command line, reading the input files,
// the busy semaphore of the set, and replacing the output files atomically.
#ifndef TOLVANE_TOOLS_COMPILER_OUTPUT_SET_H
#define TOLVANE_TOOLS_COMPILER_OUTPUT_SET_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace v7c {

struct CompilerArgs {
  std::string out_dir;
  std::string base = "NODEX";
  int plus = 1;
  int shared_sysop_index = 0;
  std::string passwords;            // empty: none
  std::string costs;                // empty: none
  std::vector<std::string> inputs;  // the nodelist, then pointlists
};

// The usage text printed on a command-line error.
extern const char kCompilerUsage[];

// Parses argv[1..argc). Returns 1, or 0 with *error describing the fault.
int ParseCompilerArgs(int argc, const char* const* argv, CompilerArgs* args,
                      std::string* error);

// Reads a whole file. Returns 1, or 0 when it cannot be opened or read.
int ReadWholeFile(const std::string& path, std::string* text);

// Creates the busy file exclusively. Returns 1 when this process now holds
// it, 0 when it exists already (another compiler runs) or cannot be made;
// *error says which.
int AcquireBusyFile(const std::string& path, std::string* error);

// Writes data to `path`.tmp and flushes it. Returns 1, or 0 with *error
// (the partial temporary file is removed).
int WriteTempFile(const std::string& path, const std::vector<uint8_t>& data,
                  std::string* error);

// Renames `path`.tmp over `path`. Returns 1, or 0 with *error.
int CommitTempFile(const std::string& path, std::string* error);

// Runs a whole compilation: takes the busy file, reads the inputs and
// side files, compiles, replaces the outputs, releases the busy file (also
// on failure). Warnings go to err, the one-line summary to out. Returns
// the exit status: 0 when the set was written, 1 otherwise.
int RunCompiler(const CompilerArgs& args, FILE* out, FILE* err);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_OUTPUT_SET_H
