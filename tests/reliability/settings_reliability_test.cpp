// The settings store under failure: a write that fails leaves the stored
// value and the file as they were; a writer killed with SIGKILL in the
// middle of its writes leaves a file that parses and keeps every value;
// two processes writing at the same time keep each other's values.
//
// The kill and concurrency cases start copies of this program as writers
// through the POSIX shell and are skipped elsewhere. TOLVANE_RELIABILITY_KILLS
// sets the number of kills (50 by default; the long run is 10,000).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <random>
#include <string>

#include "platform/platform.h"
#include "platform/regedit_file.h"
#include "test_run_status.h"

namespace {

const char kKey[] = "Software\\Far\\Plugins\\Tolvane";
std::string SelfPath;

void SetEnv(const std::string& name, const std::string& value) {
  static std::list<std::string> kept;  // putenv keeps the pointer
  kept.push_back(name + "=" + value);
  putenv(&kept.back()[0]);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool IsPosix() { return PathSeparator() == '/'; }

long EnvNumber(const char* name, long fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

class SettingsReliability : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        std::filesystem::temp_directory_path() /
        ("tolvane_settings_" + std::to_string(std::random_device{}()) + "_" +
         std::to_string(reinterpret_cast<uintptr_t>(this) % 100000));
    std::filesystem::create_directories(folder_);
    file_ = (folder_ / "registry.reg").string();
    SetEnv("TOLVANE_REGISTRY", file_);
    SettingsDeleteTree(kKey);
  }
  void TearDown() override {
    SettingsDeleteTree(kKey);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  int Write(const char* name, uint32_t type, const void* data, uint32_t size) {
    SettingsKey key;
    if (!SettingsCreateKey(kKey, &key)) return 0;
    int ok = SettingsSetValue(key, name, type, data, size);
    SettingsCloseKey(key);
    return ok;
  }

  std::string Read(const char* name) {
    SettingsKey key;
    if (!SettingsOpenKey(kKey, &key)) return "<no key>";
    char buffer[256];
    uint32_t size = sizeof(buffer);
    int ok = SettingsQueryValue(key, name, buffer, &size, nullptr);
    SettingsCloseKey(key);
    return ok ? std::string(buffer, size) : "<missing>";
  }

  // Runs a POSIX shell command line; its exit status.
  int Shell(const std::string& command) {
    std::string line = "sh -c '" + command + "' >/dev/null 2>&1";
    return std::system(line.c_str());
  }

  std::string Writer(const char* name, long count) {
    return "TOLVANE_REGISTRY=\"" + file_ + "\" \"" + SelfPath +
           "\" --child write " + name + " " + std::to_string(count);
  }

  // Files left beside the settings file and its lock file (temporary
  // files, ".bad" copies).
  int Leftovers() {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
      std::string name = entry.path().filename().string();
      n += name != "registry.reg" && name != "registry.reg.lock";
    }
    return n;
  }

  std::filesystem::path folder_;
  std::string file_;
};

struct WriteCase {
  const char* Name;
  uint32_t Type;
  const char* Old;
  const char* New;
  uint32_t Size;
};

const WriteCase kWriteCases[] = {
    {"Path to nodelist", kSettingsString, "C:\\FIDO\\", "D:\\NODELIST\\", 0},
    {"Options", kSettingsDword, "\x0d\0\0\0", "\x01\0\0\0", 4},
    {"ColumnTypes", kSettingsBinary,
     "C0,Z\0"
     "6,0",
     "N,O\0"
     "9,9",
     8},
};

TEST_F(SettingsReliability, FailedWriteLeavesTheOldValueAndFile) {
  for (const WriteCase& c : kWriteCases) {
    SCOPED_TRACE(c.Name);
    uint32_t oldSize = c.Size ? c.Size : uint32_t(std::strlen(c.Old) + 1);
    uint32_t newSize = c.Size ? c.Size : uint32_t(std::strlen(c.New) + 1);
    ASSERT_TRUE(Write(c.Name, c.Type, c.Old, oldSize));
    std::string before = ReadFile(file_);
    PlatformFailNth(kFaultSettingsWrite, 1, 0);
    EXPECT_FALSE(Write(c.Name, c.Type, c.New, newSize));
    EXPECT_EQ(Read(c.Name), std::string(c.Old, oldSize));
    EXPECT_EQ(ReadFile(file_), before);
    EXPECT_TRUE(Write(c.Name, c.Type, c.New, newSize));
    EXPECT_EQ(Read(c.Name), std::string(c.New, newSize));
  }
  PlatformFailNth(kFaultSettingsWrite, 0, 0);
}

TEST_F(SettingsReliability, WriterKilledMidWriteLeavesASoundFile) {
  if (!IsPosix()) GTEST_SKIP() << "kill -9 needs a POSIX system";
  const long kills = EnvNumber("TOLVANE_RELIABILITY_KILLS", 50);
  const char kept[] = "kept";
  ASSERT_TRUE(Write("Keep", kSettingsString, kept, sizeof(kept)));
  // The writer gets from 2 ms up to twice its own start-up time plus 40 ms
  // before the kill, so that kills land at every step of a write (locking,
  // reading, the temporary file, rename) however slowly this machine starts
  // a process: a loaded machine or a sanitizer build takes tens of ms, and
  // more at times.
  auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(Shell(Writer("Probe", 1)), 0);
  ASSERT_EQ(Read("Probe"), std::string("\1\0\0\0", 4))
      << "the writer wrote nothing";
  long startup =
      static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - started)
                            .count());
  const long span = 2 * startup + 40;
  for (long i = 0; i < kills; ++i) {
    char pause[24];
    long ms = 2 + (i * 7) % span;
    std::snprintf(pause, sizeof(pause), "%ld.%03ld", ms / 1000, ms % 1000);
    ASSERT_EQ(Shell(Writer("Counter", 0) + " & pid=$!; sleep " +
                    std::string(pause) + "; kill -9 $pid; wait $pid; exit 0"),
              0);
    RegDocument doc;
    std::string text = ReadFile(file_);
    ASSERT_TRUE(ParseRegeditText(text.data(), text.size(), &doc))
        << "after kill " << i << ":\n"
        << text;
    ASSERT_EQ(Read("Keep"), std::string(kept, sizeof(kept))) << i;
  }
  EXPECT_NE(Read("Counter"), "<missing>") << "no write ever finished";
  EXPECT_FALSE(std::filesystem::exists(file_ + ".bad"));
  // A writer killed between creating its temporary file and the rename
  // leaves that file behind; the settings file itself is never harmed.
  std::printf("%ld kills; temporary files left behind: %d\n", kills,
              Leftovers());
}

TEST_F(SettingsReliability, TwoWritersAtOnceKeepBothValues) {
  if (!IsPosix()) GTEST_SKIP() << "the writers run under a POSIX shell";
  const long writes = 50;
  ASSERT_EQ(Shell(Writer("First", writes) + " & " + Writer("Second", writes) +
                  " & wait"),
            0);
  uint32_t last = uint32_t(writes);
  std::string expected(reinterpret_cast<const char*>(&last), 4);
  EXPECT_EQ(Read("First"), expected);
  EXPECT_EQ(Read("Second"), expected);
  EXPECT_EQ(Leftovers(), 0);
}

// The writer's side: writes `count` values 1..count to `name` (a DWORD),
// each time with a text value of changing length beside it, or without end
// when count is 0.
int RunWriter(const char* name, long count) {
  SettingsKey key;
  if (!SettingsCreateKey(kKey, &key)) return 1;
  std::string filler;
  for (long i = 1; count == 0 || i <= count; ++i) {
    uint32_t value = uint32_t(i);
    if (!SettingsSetValue(key, name, kSettingsDword, &value, 4)) return 1;
    filler.assign(size_t(i % 97) * 3, 'x');
    std::string textName = std::string(name) + " text";
    if (!SettingsSetValue(key, textName.c_str(), kSettingsString,
                          filler.c_str(), uint32_t(filler.size() + 1)))
      return 1;
  }
  SettingsCloseKey(key);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--child") == 0) {
    if (argc == 5 && std::strcmp(argv[2], "write") == 0)
      return RunWriter(argv[3], std::strtol(argv[4], nullptr, 10));
    std::fprintf(stderr, "no such child role\n");
    return 2;
  }
  SelfPath = std::filesystem::absolute(argv[0]).string();
  ::testing::InitGoogleTest(&argc, argv);
  return TestRunStatus(RUN_ALL_TESTS());
}
