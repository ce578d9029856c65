// Loading the plugin and starting it as the host does: the entry points,
// the records handed to SetStartupInfo, what GetPluginInfo registers, the
// language file and its message count.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "farhost/commands/info_command.h"
#include "farhost/host/services.h"
#include "farhost/scripted/scripted_ui.h"
#include "farhost/sys/sys.h"
#include "plugin_fixture.h"

namespace {

const char* const kPrefix = "V7";

TEST_F(PluginTest, FindsAllThirteenEntryPoints) {
  ScriptedUi ui;
  FarHost host(Options(), &ui);
  std::string error;
  ASSERT_TRUE(host.Load(&error)) << error;
  void* slots[kPluginExportCount];
  static_assert(sizeof(slots) == sizeof(PluginExports));
  std::memcpy(slots, &host.Exports(), sizeof(slots));
  for (int i = 0; i < kPluginExportCount; ++i)
    EXPECT_NE(slots[i], nullptr) << kPluginExportNames[i];
}

TEST_F(PluginTest, MissingEntryPointsAreNamed) {
  ScriptedUi ui;
  HostOptions options = Options();
  options.PluginPath = SysJoinPath(
      SysJoinPath(SysExecutableDir(), "plugin-partial"), TOLVANE_PARTIAL_NAME);
  FarHost host(options, &ui);
  std::string error;
  EXPECT_FALSE(host.Load(&error));
  EXPECT_NE(error.find("OpenPlugin"), std::string::npos) << error;
  EXPECT_NE(error.find("Configure"), std::string::npos) << error;
  EXPECT_EQ(error.find("SetStartupInfo"), std::string::npos) << error;

  options.PluginPath = SysJoinPath(TestPluginFolder(), "no-such-plugin.bin");
  FarHost absent(options, &ui);
  EXPECT_FALSE(absent.Load(&error));
  EXPECT_NE(error.find("no-such-plugin.bin"), std::string::npos) << error;
}

// The plugin must keep its own copies: the host's records are filled with
// garbage after SetStartupInfo, and the plugin goes on working.
TEST_F(PluginTest, KeepsWorkingAfterTheStartupRecordsDie) {
  ScriptedUi ui;
  FarHost host(Options(), &ui);
  std::string error;
  ASSERT_TRUE(host.Load(&error)) << error;
  PluginStartupInfo info;
  FarStandardFunctions functions;
  FillStartupInfo(&host, &info, &functions);
  host.Exports().SetStartupInfo(&info);
  std::memset(static_cast<void*>(&info), 0xCC, sizeof(info));
  std::memset(static_cast<void*>(&functions), 0xCC, sizeof(functions));
  PluginInfo pluginInfo;
  host.QueryPluginInfo(&pluginInfo);
  EXPECT_EQ(pluginInfo.StructSize, static_cast<int>(sizeof(PluginInfo)));
  ASSERT_EQ(pluginInfo.PluginMenuStringsNumber, 1);
  EXPECT_STREQ(pluginInfo.PluginMenuStrings[0],
               MessagesOf("Tolvane_eng.lng")[0].c_str());
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(PluginTest, RegistersMenusAndPrefix) {
  ScriptedUi ui;
  FarHost host(Options(), &ui);
  std::string error;
  ASSERT_TRUE(host.Load(&error)) << error;
  StartPlugin(&host);
  PluginInfo info;
  host.QueryPluginInfo(&info);
  std::string name = MessagesOf("Tolvane_eng.lng").at(0);
  EXPECT_EQ(info.StructSize, static_cast<int>(sizeof(PluginInfo)));
  EXPECT_EQ(info.Flags, 0u);
  ASSERT_EQ(info.PluginMenuStringsNumber, 1);
  ASSERT_EQ(info.PluginConfigStringsNumber, 1);
  EXPECT_EQ(name, info.PluginMenuStrings[0]);
  EXPECT_EQ(name, info.PluginConfigStrings[0]);
  EXPECT_STREQ(info.CommandPrefix, kPrefix);
  EXPECT_EQ(info.DiskMenuStringsNumber, 0);
  // Every message was asked for and the file holds exactly those.
  EXPECT_EQ(host.language.HighestRequested + 1,
            static_cast<int>(host.language.File.Messages.size()));
  EXPECT_EQ(LanguageCountWarning(&host), "");
  EXPECT_TRUE(host.errors.empty());
  EXPECT_TRUE(ui.Calls().empty());
}

struct DisksCase {
  int64_t Options;  // -1: not stored
  int64_t Digit;    // -1: not stored
  int Registered;
  int ExpectedDigit;
};

const DisksCase kDisks[] = {
    {-1, -1, 0, 0},  {0x0d, 3, 1, 3}, {0x0d, -1, 1, 0}, {0x04, 9, 1, 9},
    {0x09, 5, 0, 0}, {0x0d, 0, 1, 0}, {0x0d, 12, 1, 0},
};

class DisksMenuTest : public PluginTest,
                      public ::testing::WithParamInterface<DisksCase> {};

TEST_P(DisksMenuTest, FollowsTheStoredOptions) {
  const DisksCase& c = GetParam();
  if (c.Options >= 0) WriteSetting("Options", static_cast<uint32_t>(c.Options));
  if (c.Digit >= 0)
    WriteSetting("DisksMenuDigit", static_cast<uint32_t>(c.Digit));
  ScriptedUi ui;
  FarHost host(Options(), &ui);
  std::string error;
  ASSERT_TRUE(host.Load(&error)) << error;
  StartPlugin(&host);
  PluginInfo info;
  host.QueryPluginInfo(&info);
  ASSERT_EQ(info.DiskMenuStringsNumber, c.Registered);
  if (c.Registered) {
    EXPECT_EQ(MessagesOf("Tolvane_eng.lng").at(0), info.DiskMenuStrings[0]);
    ASSERT_NE(info.DiskMenuNumbers, nullptr);
    EXPECT_EQ(info.DiskMenuNumbers[0], c.ExpectedDigit);
  }
}

INSTANTIATE_TEST_SUITE_P(Settings, DisksMenuTest, ::testing::ValuesIn(kDisks));

struct LanguageCase {
  const char* Language;
  const char* File;
};

TEST_F(PluginTest, ChoosesTheLanguageFile) {
  const LanguageCase cases[] = {
      {"English", "Tolvane_eng.lng"},
      {"Russian", "Tolvane_rus.lng"},
      {"russian", "Tolvane_rus.lng"},
      {"Klingon", "Tolvane_eng.lng"},
  };
  for (const LanguageCase& c : cases) {
    ScriptedUi ui;
    FarHost host(Options(c.Language), &ui);
    std::string error;
    ASSERT_TRUE(host.Load(&error)) << error;
    StartPlugin(&host);
    PluginInfo info;
    host.QueryPluginInfo(&info);
    EXPECT_EQ(std::filesystem::path(host.language.Path).filename().string(),
              c.File);
    EXPECT_EQ(MessagesOf(c.File).at(0), info.PluginMenuStrings[0]);
    EXPECT_TRUE(host.errors.empty()) << c.Language;
  }
}

// Rewrites the English file of a copied folder with `count` messages: the
// first ones of the real file, then made-up ones.
void WriteEnglishFile(const std::string& pluginPath, size_t count) {
  std::vector<std::string> messages = MessagesOf("Tolvane_eng.lng");
  std::string folder = std::filesystem::path(pluginPath).parent_path().string();
  std::ofstream file(SysJoinPath(folder, "Tolvane_eng.lng"), std::ios::binary);
  file << ".Language=English,English\r\n";
  for (size_t i = 0; i < count; ++i)
    file << "\"" << (i < messages.size() ? messages[i] : "Extra") << "\"\r\n";
}

struct CountCase {
  size_t Messages;
  int Status;         // of tolvane info
  size_t HostErrors;  // one per message asked for and not in the file
};

TEST_F(PluginTest, LanguageFileWithTheWrongMessageCount) {
  const size_t asked = MessagesOf("Tolvane_eng.lng").size();
  const CountCase cases[] = {{40, 1, asked - 40}, {asked + 11, 0, 0}};
  for (const CountCase& c : cases) {
    std::string copy = CopyPluginFolder();
    ASSERT_FALSE(copy.empty());
    WriteEnglishFile(copy, c.Messages);
    HostOptions options = Options();
    options.PluginPath = copy;
    {
      ScriptedUi ui;
      FarHost host(options, &ui);
      std::string error;
      ASSERT_TRUE(host.Load(&error)) << error;
      StartPlugin(&host);
      PluginInfo info;
      host.QueryPluginInfo(&info);
      EXPECT_STREQ(info.CommandPrefix, kPrefix);
      EXPECT_EQ(host.errors.size(), c.HostErrors) << c.Messages;
      std::string warning = LanguageCountWarning(&host);
      EXPECT_NE(warning.find(std::to_string(c.Messages)), std::string::npos);
      EXPECT_NE(warning.find(std::to_string(asked)), std::string::npos);
    }
    std::ostringstream out, err;
    EXPECT_EQ(RunInfo(options, out, err), c.Status) << err.str();
    EXPECT_NE(err.str().find("holds " + std::to_string(c.Messages)),
              std::string::npos)
        << err.str();
    EXPECT_NE(out.str().find(std::to_string(c.Messages) + " messages"),
              std::string::npos)
        << out.str();
  }
}

TEST_F(PluginTest, InfoReportsTheRegistration) {
  WriteSetting("Options", 0x0d);
  WriteSetting("DisksMenuDigit", 4);
  std::ostringstream out, err;
  EXPECT_EQ(RunInfo(Options(), out, err), 0) << err.str();
  std::string name = MessagesOf("Tolvane_eng.lng").at(0);
  EXPECT_NE(out.str().find("plugins menu    " + name + "\n"), std::string::npos)
      << out.str();
  EXPECT_NE(out.str().find("config menu     " + name + "\n"),
            std::string::npos);
  EXPECT_NE(out.str().find("disks menu      " + name + ", digit 4\n"),
            std::string::npos)
      << out.str();
  EXPECT_NE(out.str().find("command prefix  V7\n"), std::string::npos);
  EXPECT_NE(
      out.str().find("Tolvane_eng.lng (English), " +
                     std::to_string(MessagesOf("Tolvane_eng.lng").size()) +
                     " messages"),
      std::string::npos);
  EXPECT_EQ(err.str(), "");
}

TEST_F(PluginTest, InfoShowsRussianNamesInUtf8) {
  std::ostringstream out, err;
  HostOptions options = Options("Russian");
  EXPECT_EQ(RunInfo(options, out, err), 0) << err.str();
  std::string name;
  ASSERT_TRUE(SysOemToUtf8(866, MessagesOf("Tolvane_rus.lng").at(0), &name));
  EXPECT_NE(name, MessagesOf("Tolvane_rus.lng").at(0));  // not plain ASCII
  EXPECT_NE(out.str().find("plugins menu    " + name + "\n"), std::string::npos)
      << out.str();
}

}  // namespace
