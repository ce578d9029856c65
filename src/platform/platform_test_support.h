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
// TOLVANE_CHILD_ROLE is set) with shell-syntax environment assignments in
// front and a redirection after. POSIX only.
inline FILE* StartChild(const std::string& test, const std::string& assign,
                        const std::string& redirect = "") {
  std::string self = ::testing::internal::GetArgvs()[0];
  std::string command = assign + " '" + self + "' --gtest_filter=" + test +
                        " " + redirect + " >/dev/null 2>&1";
  return popen(command.c_str(), "r");
}

// The child's exit status, 0 when all its checks passed.
inline int FinishChild(FILE* child) {
  return child == nullptr ? -1 : pclose(child);
}

#endif  // TOLVANE_PLATFORM_PLATFORM_TEST_SUPPORT_H
