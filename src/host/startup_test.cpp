#include "host/startup.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "config/settings.h"
#include "host/host_binding.h"
#include "host/messages.h"
#include "panel/panel_modes.h"
#include "platform/platform.h"

namespace {

char g_texts[kMessageCount][16];
int g_getMsgCalls;
int g_messageCalls;
std::string g_lastMessage;

const char* FARAPI TestGetMsg(intptr_t, int id) {
  ++g_getMsgCalls;
  if (id < 0 || id >= kMessageCount) return nullptr;
  std::snprintf(g_texts[id], sizeof(g_texts[id]), "M%d", id);
  return g_texts[id];
}

const char* FARAPI NullGetMsg(intptr_t, int) { return nullptr; }

int FARAPI TestMessage(intptr_t, DWORD flags, const char*,
                       const char* const* items, int count, int buttons) {
  ++g_messageCalls;
  g_lastMessage = std::to_string(flags) + "|" + std::to_string(buttons);
  for (int i = 0; i < count; ++i) g_lastMessage += std::string("|") + items[i];
  return 0;
}

int FARAPI TestAddEndSlash(char*) { return 1; }

// Starts the plugin the way the host does: both records on the stack,
// overwritten as soon as the call returns.
void StartPlugin(const char* rootKey, FARAPIGETMSG getMsg = TestGetMsg,
                 const char* moduleName = "C:\\Far\\Plugins\\Tolvane.dll") {
  PluginStartupInfo info;
  FarStandardFunctions fsf;
  std::memset(&info, 0, sizeof(info));
  std::memset(&fsf, 0, sizeof(fsf));
  std::snprintf(info.ModuleName, sizeof(info.ModuleName), "%s", moduleName);
  fsf.StructSize = sizeof(fsf);
  fsf.AddEndSlash = TestAddEndSlash;
  info.StructSize = sizeof(info);
  info.ModuleNumber = 7;
  info.RootKey = rootKey;
  info.GetMsg = getMsg;
  info.Message = TestMessage;
  info.FSF = &fsf;
  PluginSetStartupInfo(&info);
  std::memset(&info, 0xA5, sizeof(info));
  std::memset(&fsf, 0xA5, sizeof(fsf));
}

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareLibrary();
    g_getMsgCalls = 0;
    g_messageCalls = 0;
    std::snprintf(root_, sizeof(root_), "Software\\TolvaneTest\\startup%u",
                  static_cast<unsigned>(std::rand()));
    SettingsDeleteTree(root_);
  }
  void TearDown() override { SettingsDeleteTree(root_); }
  char root_[100];
};

TEST_F(StartupTest, KeepsCopiesOfTheHostRecords) {
  StartPlugin(root_);
  EXPECT_EQ(Host.ModuleNumber, 7);
  EXPECT_EQ(HostFunctions.AddEndSlash, TestAddEndSlash);
  EXPECT_EQ(std::string(SettingsKeyPath), std::string(root_) + "\\Tolvane");
  EXPECT_STREQ(SearchRequest, "?");
  EXPECT_EQ(g_getMsgCalls, kMessageCount);
  EXPECT_STREQ(MessageTable[MCancel], "M47");
  ShowError(MNodelistError, "Unable to open x");
  EXPECT_EQ(g_lastMessage, "1|1|M7|Unable to open x|M46");
}

// The search box has no plugin number: its topic names the plugin's help
// folder, or the host would look it up in its own help.
TEST_F(StartupTest, SearchHelpTopicNamesTheModulesFolder) {
  const char* const kCases[][2] = {
      {"C:\\Far\\Plugins\\Tolvane\\Tolvane.dll",
       "<C:\\Far\\Plugins\\Tolvane\\>SearchSysop"},
      {"/usr/lib/tolvane/tolvane.so", "</usr/lib/tolvane/>SearchSysop"},
      {"Tolvane.dll", "SearchSysop"},
  };
  for (const auto& c : kCases) {
    StartPlugin(root_, TestGetMsg, c[0]);
    EXPECT_STREQ(SearchHelpTopic, c[1]);
  }
  std::string longest(sizeof(PluginStartupInfo::ModuleName) - 1, '\\');
  StartPlugin(root_, TestGetMsg, longest.c_str());
  EXPECT_EQ(std::string(SearchHelpTopic), "<" + longest + ">SearchSysop");
}

TEST_F(StartupTest, SmallerStandardFunctionTableIsNotReadPastItsEnd) {
  PluginStartupInfo info = {};
  unsigned char raw[sizeof(FarStandardFunctions)];
  std::memset(raw, 0xEE, sizeof(raw));
  int small = static_cast<int>(offsetof(FarStandardFunctions, LIsLower));
  std::memcpy(raw, &small, sizeof(small));
  info.RootKey = root_;
  info.GetMsg = TestGetMsg;
  info.FSF = reinterpret_cast<FarStandardFunctions*>(raw);
  PluginSetStartupInfo(&info);
  EXPECT_EQ(HostFunctions.AddEndSlash, nullptr);
  EXPECT_EQ(HostFunctions.LStricmp, nullptr);
}

TEST_F(StartupTest, OverlongRootKeyIsCut) {
  std::string root(2000, 'k');
  StartPlugin(root.c_str());
  std::string path = SettingsKeyPath;
  EXPECT_LT(path.size(), static_cast<size_t>(kSettingsKeyPathSize));
  EXPECT_EQ(path.substr(path.size() - 8), "\\Tolvane");
}

TEST_F(StartupTest, MissingMessagesBecomeEmptyTexts) {
  StartPlugin(root_, NullGetMsg);
  for (int n = 0; n < kMessageCount; ++n) ASSERT_NE(MessageTable[n], nullptr);
  EXPECT_STREQ(KeyBarLabels.Titles[6], "");
}

TEST_F(StartupTest, KeyBarLabelsTheSearchAndSortKeysOnly) {
  StartPlugin(root_);
  const char* const* groups = &KeyBarLabels.Titles[0];
  const int kSort[] = {11, 18, 17, 19, 21, 24, 25, 26};
  for (int g = 0; g < 7; ++g) {
    for (int k = 0; k < 12; ++k) {
      const char* label = groups[g * 12 + k];
      std::string expected = "null";
      if (g == 0 && (k == 4 || k == 5 || k == 7)) expected = "";
      if (g == 0 && k == 6) expected = "M44";
      if (g == 1 && k >= 2 && k <= 9)
        expected = "M" + std::to_string(kSort[k - 2]);
      if (g == 1 && k == 10) expected = "";
      if (g == 2 && k == 5) expected = "";
      EXPECT_EQ(label ? std::string(label) : "null", expected)
          << "group " << g << " key F" << k + 1;
    }
  }
}

TEST_F(StartupTest, PluginInfoFollowsTheLiveSettings) {
  StartPlugin(root_);
  PluginInfo info = {};
  PluginGetPluginInfo(&info);
  EXPECT_EQ(info.StructSize, static_cast<int>(sizeof(PluginInfo)));
  EXPECT_EQ(info.Flags, 0u);
  EXPECT_STREQ(info.CommandPrefix, "V7");
  EXPECT_EQ(info.PluginMenuStringsNumber, 1);
  EXPECT_STREQ(info.PluginMenuStrings[0], "M0");
  EXPECT_STREQ(info.PluginConfigStrings[0], "M0");
  EXPECT_EQ(info.DiskMenuStringsNumber, 0);
  Options |= OptionDisksMenu;
  DisksMenuDigit = 4;
  PluginGetPluginInfo(&info);
  EXPECT_EQ(info.DiskMenuStringsNumber, 1);
  EXPECT_STREQ(info.DiskMenuStrings[0], "M0");
  EXPECT_EQ(*info.DiskMenuNumbers, 4);
}

TEST_F(StartupTest, StoredSettingsAreLoadedAtStartUp) {
  SettingsKey key;
  std::string path = std::string(root_) + "\\Tolvane";
  ASSERT_TRUE(SettingsCreateKey(path.c_str(), &key));
  uint32_t options = 0x0d;
  SettingsSetValue(key, "Options", kSettingsDword, &options, 4);
  SettingsCloseKey(key);
  StartPlugin(root_);
  EXPECT_EQ(Options, 0x0du);
  PluginInfo info = {};
  PluginGetPluginInfo(&info);
  EXPECT_EQ(info.DiskMenuStringsNumber, 1);
}

// The language files hold one quoted line per message number.
TEST(LanguageFiles, HeaderAndMessageCount) {
  const char* files[] = {"Tolvane_eng.lng", "Tolvane_rus.lng"};
  const char* languages[] = {".Language=English,", ".Language=Russian,"};
  for (int i = 0; i < 2; ++i) {
    std::ifstream in(std::string(TOLVANE_SOURCE_DIR "/lang/") + files[i],
                     std::ios::binary);
    ASSERT_TRUE(in) << files[i];
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line.rfind(languages[i], 0), 0u) << files[i];
    std::vector<std::string> messages;
    bool ascii = true;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty() && line[0] == '"') messages.push_back(line);
      for (unsigned char c : line) ascii = ascii && c < 0x80;
    }
    EXPECT_EQ(static_cast<int>(messages.size()), kMessageCount) << files[i];
    EXPECT_EQ(ascii, i == 0) << files[i] << ": English is ASCII, Russian cp866";
    // The labels of a description file stand in 16 columns; a longer one
    // is cut there.
    for (int m : {MNodeWord, MSysop, MSystem, MLocation, MFlags, MPhone,
                  MOnline, MPassword, MSpeed, MCallCost, MHierarchy, MRegion})
      if (m < static_cast<int>(messages.size())) {
        EXPECT_LE(messages[static_cast<size_t>(m)].size(), 16u + 2)
            << files[i] << " " << messages[static_cast<size_t>(m)];
      }
  }
}

// Every help file has its header and the topics the plugin names.
TEST(LanguageFiles, HelpFilesHaveTheTopics) {
  const char* files[] = {"Tolvane_eng.hlf", "Tolvane_rus.hlf"};
  const char* topics[] = {"@Contents", "@Cfg",         "@CfgMain",
                          "@CfgPnl",   "@SearchSysop", "@Iface"};
  for (const char* file : files) {
    std::ifstream in(std::string(TOLVANE_SOURCE_DIR "/lang/") + file,
                     std::ios::binary);
    ASSERT_TRUE(in) << file;
    std::stringstream text;
    text << in.rdbuf();
    std::string all = text.str();
    EXPECT_EQ(all.rfind(".Language=", 0), 0u) << file;
    EXPECT_NE(all.find("\n.PluginContents="), std::string::npos) << file;
    for (const char* topic : topics)
      EXPECT_NE(all.find(std::string("\n") + topic + "\r\n"), std::string::npos)
          << file << " " << topic;
  }
}

}  // namespace
