// `tolvane info` as a user runs it on Linux: the program beside the tests,
// the product plugin in its default place, the settings file named by
// TOLVANE_REGISTRY. The run only reads the settings.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "farhost/host/lng_file.h"
#include "farhost/sys/sys.h"

namespace {

struct ProcessRun {
  int Status;  // the exit status; 128 + the signal's number after a signal
  std::string Output;
};

ProcessRun RunTolvane(const std::string& registry,
                      const std::string& arguments) {
  std::string command = "TOLVANE_REGISTRY='" + registry +
                        "' LC_ALL= LC_MESSAGES= LANG=C.UTF-8 '" +
                        SysJoinPath(SysExecutableDir(), "tolvane") + "' " +
                        arguments + " 2>&1";
  ProcessRun run{-1, std::string()};
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[512];
  size_t got;
  while ((got = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
    run.Output.append(buffer, got);
  int status = pclose(pipe);
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file),
                     std::istreambuf_iterator<char>());
}

class InfoProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SysMakeTempDir("farhost_info_", &folder_));
    registry_ = SysJoinPath(folder_, "registry.reg");
    LngFile english;
    ASSERT_TRUE(LoadLngFile(
        SysJoinPath(SysExecutableDir(), "plugin/Tolvane_eng.lng"), &english));
    ASSERT_FALSE(english.Messages.empty());
    name_ = english.Messages[0];
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  void WriteRegistry(const std::string& values) {
    std::ofstream(registry_, std::ios::binary)
        << "REGEDIT4\r\n\r\n"
           "[HKEY_CURRENT_USER\\Software\\Far\\Plugins\\Tolvane]\r\n"
        << values << "\r\n";
  }

  std::string folder_, registry_, name_;
};

TEST_F(InfoProcess, PrintsTheRegistration) {
  WriteRegistry("\"Nodelist Name\"=\"NODEX\"\r\n");
  std::string before = ReadFile(registry_);
  ProcessRun run = RunTolvane(registry_, "info");
  EXPECT_EQ(run.Status, 0) << run.Output;
  EXPECT_NE(run.Output.find("plugins menu    " + name_), std::string::npos)
      << run.Output;
  EXPECT_NE(run.Output.find("command prefix  V7"), std::string::npos);
  EXPECT_NE(run.Output.find("disks menu      not registered"),
            std::string::npos);
  EXPECT_EQ(ReadFile(registry_), before);  // read, never written
}

TEST_F(InfoProcess, ShowsTheDisksMenuEntryFromTheSettings) {
  WriteRegistry(
      "\"Options\"=dword:0000000d\r\n\"DisksMenuDigit\"=dword:00000007\r\n");
  std::string before = ReadFile(registry_);
  ProcessRun run = RunTolvane(registry_, "info --codepage 437");
  EXPECT_EQ(run.Status, 0) << run.Output;
  EXPECT_NE(run.Output.find("disks menu      " + name_ + ", digit 7"),
            std::string::npos)
      << run.Output;
  EXPECT_EQ(ReadFile(registry_), before);
}

TEST_F(InfoProcess, NoSettingsFileIsNotCreated) {
  ProcessRun run = RunTolvane(registry_, "info --lang Russian");
  EXPECT_EQ(run.Status, 0) << run.Output;
  EXPECT_NE(run.Output.find("Tolvane_rus.lng (Russian)"), std::string::npos)
      << run.Output;
  EXPECT_FALSE(std::filesystem::exists(registry_));
}

TEST_F(InfoProcess, BadArgumentsAndMissingPluginFail) {
  const struct {
    const char* Arguments;
    int Status;
    const char* Said;
  } cases[] = {
      {"info --codepage 1251", 2, "--codepage: 1251 not in {437,866}"},
      {"info --plugin /nonexistent/tolvane.so", 1,
       "cannot load the plugin /nonexistent/tolvane.so"},
      // No command: the browser, which wants a terminal; a build without
      // the browser shows its usage.
      {"</dev/null", TOLVANE_HAS_BROWSER ? 1 : 2,
       TOLVANE_HAS_BROWSER ? "the browser needs a terminal"
                           : "usage: tolvane [options] COMMAND"},
      {"frobnicate", 2, "was not expected: frobnicate"},
      // A language named by its file's suffix would silently be English.
      {"info --lang rus", 2,
       "no language file for \"rus\" beside the plugin; languages: "
       "English, Russian"},
  };
  for (const auto& c : cases) {
    ProcessRun run = RunTolvane(registry_, c.Arguments);
    EXPECT_EQ(run.Status, c.Status) << c.Arguments << "\n" << run.Output;
    EXPECT_NE(run.Output.find(c.Said), std::string::npos) << c.Arguments << "\n"
                                                          << run.Output;
  }
}

}  // namespace
