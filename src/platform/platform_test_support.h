// Helpers shared by the platform layer's tests: temporary folders, whole
// files, environment variables and child runs of the test program itself.
// Portable C++ only, so the same tests build for Linux and Windows.
#ifndef TOLVANE_PLATFORM_PLATFORM_TEST_SUPPORT_H
#define TOLVANE_PLATFORM_PLATFORM_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <random>
#include <string>

#include "platform/platform.h"

// A fresh name for folders and registry keys of one test.
inline std::string UniqueName(const char* prefix) {
  static std::mt19937_64 random(
      std::random_device{}() ^
      uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()));
  return std::string(prefix) + std::to_string(random() % 1000000000000ull);
}

// A temporary folder that is removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder()
      : path_(std::filesystem::temp_directory_path() /
              UniqueName("tolvane-platform-")) {
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const {
    return (path_ / name).string();
  }
  std::string Path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
}

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline bool FileExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

// Sets (or, with an empty value, clears) an environment variable for this
// process and the children it starts.
inline void SetEnvironment(const std::string& name, const std::string& value) {
  static std::list<std::string> kept;  // putenv keeps the pointer
  kept.push_back(name + "=" + value);
  putenv(&kept.back()[0]);
}

inline bool IsPosix() { return PathSeparator() == '/'; }

// Starts this test program again, running only `test` (which acts when
// TOLVANE_CHILD_ROLE or another variable names its role) with shell-syntax
// environment assignments in front and a redirection after; its standard
// output and error go to FinishChild. POSIX only.
inline FILE* StartChild(const std::string& test, const std::string& assign,
                        const std::string& redirect = "") {
  std::string self = ::testing::internal::GetArgvs()[0];
  std::string command = assign + " '" + self + "' --gtest_filter=" + test +
                        " " + redirect + " 2>&1";
  return popen(command.c_str(), "r");
}

// The line a child prints when it has played `role` to the end without a
// failure. A parent looks for it: an exit status of 0 also comes from a
// child that ran no test (a renamed test, a lost role variable).
inline std::string ChildDoneLine(const std::string& role) {
  return "child role " + role + ": done\n";
}
inline void ReportChildDone(const std::string& role) {
  if (::testing::Test::HasFailure()) return;
  std::fputs(ChildDoneLine(role).c_str(), stdout);
  std::fflush(stdout);
}

struct ChildRun {
  int Status;  // 0 when all its checks passed; -1 when it did not start
  std::string Output;
};

// Reads the child's output to its end and waits for it.
inline ChildRun FinishChild(FILE* child) {
  ChildRun run{-1, ""};
  if (child == nullptr) return run;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, child)) > 0)
    run.Output.append(buffer, got);
  run.Status = pclose(child);
  return run;
}

// A child that exited with 0 and reported `role` done.
inline ::testing::AssertionResult PlayedItsRole(const ChildRun& run,
                                                const std::string& role) {
  if (run.Status == 0 &&
      run.Output.find(ChildDoneLine(role)) != std::string::npos)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "the child did not play its role " << role << " (status "
         << run.Status << "):\n"
         << run.Output;
}

#endif  // TOLVANE_PLATFORM_PLATFORM_TEST_SUPPORT_H
