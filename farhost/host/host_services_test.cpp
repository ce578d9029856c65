// GetMsg, Control and the records handed to SetStartupInfo, on a host with
// no plugin loaded: the services are called as the plugin would call them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "farhost/host/host.h"
#include "farhost/host/services.h"
#include "farhost/scripted/scripted_ui.h"
#include "farhost/sys/sys.h"

namespace {

class LanguageFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SysMakeTempDir("farhost_lng_", &folder_));
    Write("b_eng.lng",
          ".Language=English,English\n\"Zero\"\n\"One\"\n\"Two\"\n");
    Write("a_rus.lng", ".Language=Russian,Russian\n\"\x8d\xae\xab\xec\"\n");
    Write("c_ger.LNG", ".Language=German,Deutsch\n\"Null\"\n");
    Write("notes.txt", ".Language=Polish,Polski\n\"Zero\"\n");
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  void Write(const char* name, const std::string& text) {
    std::ofstream(SysJoinPath(folder_, name), std::ios::binary) << text;
  }
  HostOptions Options(const char* language) {
    HostOptions options;
    options.PluginPath = SysJoinPath(folder_, "plugin.bin");
    options.Language = language;
    return options;
  }

  std::string folder_;
};

struct LanguageCase {
  const char* Language;
  const char* File;
  const char* Message0;
};

TEST_F(LanguageFolder, ChoosesTheFileByLanguage) {
  const LanguageCase cases[] = {
      {"English", "b_eng.lng", "Zero"},
      {"russian", "a_rus.lng", "\x8d\xae\xab\xec"},
      {"German", "c_ger.LNG", "Null"},
      {"Polish", "b_eng.lng", "Zero"},  // .txt is not a language file
  };
  for (const LanguageCase& c : cases) {
    ScriptedUi ui;
    FarHost host(Options(c.Language), &ui);
    PluginStartupInfo info;
    FarStandardFunctions functions;
    FillStartupInfo(&host, &info, &functions);
    EXPECT_STREQ(info.GetMsg(info.ModuleNumber, 0), c.Message0) << c.Language;
    EXPECT_EQ(std::filesystem::path(host.language.Path).filename().string(),
              c.File);
  }
}

TEST_F(LanguageFolder, MissingMessagesGiveAMarkerAndAnError) {
  ScriptedUi ui;
  FarHost host(Options("English"), &ui);
  PluginStartupInfo info;
  FarStandardFunctions functions;
  FillStartupInfo(&host, &info, &functions);
  EXPECT_STREQ(info.GetMsg(info.ModuleNumber, 2), "Two");
  const char* missing = info.GetMsg(info.ModuleNumber, 5);
  EXPECT_STREQ(missing, "<message 5 missing>");
  EXPECT_EQ(info.GetMsg(info.ModuleNumber, 5),
            missing);  // the same text stays valid
  EXPECT_STREQ(info.GetMsg(info.ModuleNumber, -1), "<message -1 missing>");
  EXPECT_EQ(host.errors.size(), 2u);
  EXPECT_EQ(host.language.HighestRequested, 5);
  EXPECT_NE(LanguageCountWarning(&host).find("holds 3 messages"),
            std::string::npos);
  EXPECT_NE(LanguageCountWarning(&host).find("asked for 6"), std::string::npos);
}

TEST_F(LanguageFolder, CountWarningOnlyWhenCountsDiffer) {
  ScriptedUi ui;
  FarHost host(Options("English"), &ui);
  PluginStartupInfo info;
  FarStandardFunctions functions;
  FillStartupInfo(&host, &info, &functions);
  EXPECT_EQ(LanguageCountWarning(&host), "");  // nothing asked yet
  for (int i = 0; i < 3; ++i) info.GetMsg(info.ModuleNumber, i);
  EXPECT_EQ(LanguageCountWarning(&host), "");
  info.GetMsg(info.ModuleNumber, 1);
  EXPECT_EQ(LanguageCountWarning(&host), "");
}

TEST(HostServices, NoLanguageFileIsAnErrorNotACrash) {
  std::string folder;
  ASSERT_TRUE(SysMakeTempDir("farhost_nolng_", &folder));
  ScriptedUi ui;
  HostOptions options;
  options.PluginPath = SysJoinPath(folder, "plugin.bin");
  FarHost host(options, &ui);
  PluginStartupInfo info;
  FarStandardFunctions functions;
  FillStartupInfo(&host, &info, &functions);
  EXPECT_STREQ(info.GetMsg(info.ModuleNumber, 0), "<message 0 missing>");
  EXPECT_EQ(host.errors.size(), 2u);  // no file, then the message
  std::filesystem::remove_all(folder);
}

TEST(HostServices, StartupRecords) {
  ScriptedUi ui;
  HostOptions options;
  options.RootKey = "Software\\TolvaneTest\\Records";
  FarHost host(options, &ui);
  PluginStartupInfo info;
  FarStandardFunctions functions;
  std::memset(static_cast<void*>(&info), 0x5A, sizeof(info));
  FillStartupInfo(&host, &info, &functions);
  EXPECT_EQ(info.StructSize, static_cast<int>(sizeof(PluginStartupInfo)));
  EXPECT_EQ(functions.StructSize,
            static_cast<int>(sizeof(FarStandardFunctions)));
  EXPECT_EQ(info.FSF, &functions);
  EXPECT_EQ(info.ModuleNumber, kHostModuleNumber);
  EXPECT_STREQ(info.RootKey, "Software\\TolvaneTest\\Records");
  EXPECT_EQ(info.ViewerControl, nullptr);
  EXPECT_EQ(info.Reserved, 0u);
  for (void* slot : functions.Reserved) EXPECT_EQ(slot, nullptr);
  EXPECT_EQ(info.AdvControl(info.ModuleNumber, ACTL_GETFARVERSION, nullptr),
            0x024F0146);
  EXPECT_EQ(info.DialogEx(0, 0, 0, 0, 0, "", nullptr, 0, 0, 0, nullptr, 0), -1);
  // The number fills the pointer-sized field; any other one is a fault,
  // as one kept in an int would be on 64 bits.
  EXPECT_GT(static_cast<uintptr_t>(kHostModuleNumber), 0xFFFFu);
  if (sizeof(intptr_t) > 4) {
    EXPECT_NE(static_cast<intptr_t>(static_cast<int>(kHostModuleNumber)),
              kHostModuleNumber);
  }
  host.errors.clear();
  info.GetMsg(info.ModuleNumber - 1, 0);
  EXPECT_TRUE(std::any_of(host.errors.begin(), host.errors.end(),
                          [](const std::string& e) {
                            return e.rfind("GetMsg: plugin number", 0) == 0;
                          }));
}

TEST(HostServices, DefaultRootKey) {
  EXPECT_EQ(HostOptions().RootKey, "Software\\Far\\Plugins");
}

TEST(HostServices, CommandLineThroughControl) {
  ScriptedUi ui;
  FarHost host(HostOptions(), &ui);
  PluginStartupInfo info;
  FarStandardFunctions functions;
  FillStartupInfo(&host, &info, &functions);
  char line[kCommandLineSize];
  host.commandLine = "dir ";
  host.commandCursor = 4;
  EXPECT_EQ(info.Control(INVALID_HANDLE_VALUE, FCTL_GETCMDLINE, line), 1);
  EXPECT_STREQ(line, "dir ");
  EXPECT_EQ(info.Control(INVALID_HANDLE_VALUE, FCTL_INSERTCMDLINE,
                         const_cast<char*>("2:5020/1 ")),
            1);
  host.commandCursor = 0;
  info.Control(INVALID_HANDLE_VALUE, FCTL_INSERTCMDLINE,
               const_cast<char*>(">"));
  EXPECT_EQ(host.commandLine, ">dir 2:5020/1 ");

  // The command line never outgrows what GETCMDLINE hands back.
  std::string big(3000, 'x');
  host.commandCursor = host.commandLine.size();
  info.Control(INVALID_HANDLE_VALUE, FCTL_INSERTCMDLINE, big.data());
  EXPECT_EQ(host.commandLine.size(), static_cast<size_t>(kCommandLineSize - 1));
  std::memset(line, 0x7F, sizeof(line));
  info.Control(INVALID_HANDLE_VALUE, FCTL_GETCMDLINE, line);
  EXPECT_EQ(std::strlen(line), static_cast<size_t>(kCommandLineSize - 1));
  EXPECT_EQ(info.Control(INVALID_HANDLE_VALUE, FCTL_GETCMDLINE, nullptr), 0);
}

struct ControlCase {
  int Command;
  int Expected;
};

// With no panel open, the panel commands answer 0: a handle of the plugin's
// own names no panel (a fault of the plugin, recorded), the active panel
// (INVALID_HANDLE_VALUE) is none. Every call is recorded as made.
TEST(HostServices, PanelCommandsWithoutAPanel) {
  ScriptedUi ui;
  FarHost host(HostOptions(), &ui);
  PluginStartupInfo info;
  FarStandardFunctions functions;
  FillStartupInfo(&host, &info, &functions);
  const ControlCase cases[] = {
      {FCTL_GETPANELINFO, 0},       {FCTL_UPDATEPANEL, 0},
      {FCTL_REDRAWPANEL, 0},        {FCTL_REDRAWANOTHERPANEL, 0},
      {FCTL_UPDATEANOTHERPANEL, 0}, {FCTL_SETVIEWMODE, 0},
      {FCTL_CLOSEPLUGIN, 0},        {99, 0},
  };
  HANDLE panel = reinterpret_cast<HANDLE>(static_cast<intptr_t>(2));
  const HANDLE handles[] = {panel, INVALID_HANDLE_VALUE};
  for (HANDLE handle : handles) {
    for (const ControlCase& c : cases) {
      PanelInfo panelInfo;
      void* param = c.Command == FCTL_GETPANELINFO ? &panelInfo : nullptr;
      EXPECT_EQ(info.Control(handle, c.Command, param), c.Expected)
          << c.Command;
    }
  }
  PanelRedrawInfo redraw = {7, 3};
  info.Control(panel, FCTL_REDRAWPANEL, &redraw);
  size_t count = sizeof(cases) / sizeof(cases[0]);
  ASSERT_EQ(host.controls.size(), 2 * count + 1);
  for (size_t i = 0; i < count; ++i) {
    EXPECT_EQ(host.controls[i].Command, cases[i].Command);
    EXPECT_EQ(host.controls[i].Plugin, panel);
  }
  EXPECT_EQ(host.controls.back().HasRedrawInfo, 1);
  EXPECT_EQ(host.controls.back().Redraw.CurrentItem, 7);
  EXPECT_EQ(host.controls.back().Redraw.TopPanelItem, 3);
  // The five panel commands with the plugin's handle, and the redraw.
  EXPECT_EQ(host.errors.size(), 6u);
}

struct LocaleCase {
  const char* Value;
  const char* Language;
};

TEST(HostServices, LanguageForLocale) {
  const LocaleCase cases[] = {
      {"ru_RU.UTF-8", "Russian"}, {"ru", "Russian"},    {"RU_ru", "Russian"},
      {"en_US.UTF-8", "English"}, {"C", "English"},     {"", "English"},
      {"r", "English"},           {"de_DE", "English"},
  };
  for (const LocaleCase& c : cases)
    EXPECT_EQ(LanguageForLocale(c.Value), c.Language) << c.Value;
}

}  // namespace
