#include "config/settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "host/host_binding.h"
#include "host/messages.h"
#include "panel/name_filters.h"
#include "panel/panel_modes.h"

namespace {

int FARAPI TestAddEndSlash(char* path) {
  size_t n = std::strlen(path);
  if (n == 0 || path[n - 1] != PathSeparator()) {
    path[n] = PathSeparator();
    path[n + 1] = '\0';
  }
  return 1;
}

// Every test works in its own settings key, deleted afterwards; on POSIX
// the settings file is a fresh temporary file.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter;
    std::snprintf(SettingsKeyPath, sizeof(SettingsKeyPath),
                  "Software\\TolvaneTest\\settings%d_%u\\Tolvane", ++counter,
                  static_cast<unsigned>(std::rand()));
    SettingsDeleteTree(SettingsKeyPath);
    std::memset(&HostFunctions, 0, sizeof(HostFunctions));
    HostFunctions.AddEndSlash = TestAddEndSlash;
    for (int n = 0; n < kMessageCount; ++n) MessageTable[n] = "t";
    BindPanelModes();
    LoadColumnBlock(DefaultColumnBlock, DefaultColumnBlockLength);
    ResetSettings();
  }
  void TearDown() override { SettingsDeleteTree(SettingsKeyPath); }

  void Put(const char* name, uint32_t type, const void* data, uint32_t size) {
    SettingsKey key;
    ASSERT_TRUE(SettingsCreateKey(SettingsKeyPath, &key));
    ASSERT_TRUE(SettingsSetValue(key, name, type, data, size));
    SettingsCloseKey(key);
  }
  void PutDword(const char* name, uint32_t value) {
    Put(name, kSettingsDword, &value, sizeof(value));
  }
  void PutText(const char* name, const std::string& text) {
    Put(name, kSettingsString, text.c_str(),
        static_cast<uint32_t>(text.size() + 1));
  }
  uint32_t GetDword(const char* name) {
    SettingsKey key;
    uint32_t value = 0xDEADBEEF;
    if (SettingsOpenKey(SettingsKeyPath, &key)) {
      ReadValue(key, name, &value, sizeof(value));
      SettingsCloseKey(key);
    }
    return value;
  }
  bool KeyExists() {
    SettingsKey key;
    if (!SettingsOpenKey(SettingsKeyPath, &key)) return false;
    SettingsCloseKey(key);
    return true;
  }
};

TEST_F(SettingsTest, NoKeyMeansDefaultsAndNoKeyIsCreated) {
  LoadSettings();
  EXPECT_STREQ(NodelistName, "NODEX");
  EXPECT_STREQ(NodelistPath, "");
  EXPECT_EQ(Options, 9u);
  EXPECT_EQ(StartPanelMode, 0);
  EXPECT_EQ(SortOrder, 0);
  EXPECT_EQ(DisksMenuDigit, 0);
  EXPECT_EQ(OpenFlags, kOpenPlusData);
  EXPECT_EQ(NameCaseFilter, UnderscoresToSpaces);
  EXPECT_FALSE(KeyExists());
}

TEST_F(SettingsTest, OnlyOptionsChangesOnlyOptions) {
  PutDword("Options", 0x16);
  LoadSettings();
  EXPECT_EQ(Options, 0x16u);
  EXPECT_STREQ(NodelistName, "NODEX");
  EXPECT_EQ(OpenFlags, kOpenSharedSysopIndex);
  EXPECT_EQ(NameCaseFilter, CapitaliseWords);
}

TEST_F(SettingsTest, OpenFlagsFollowTheOptions) {
  const struct {
    uint32_t options;
    uint16_t flags;
  } cases[] = {{0, 0}, {1, 3}, {2, 4}, {3, 7}, {0xFFFFFFE0u, 0}};
  for (const auto& c : cases) {
    Options = c.options;
    ApplySettings();
    EXPECT_EQ(OpenFlags, c.flags) << c.options;
  }
}

TEST_F(SettingsTest, PathGetsASeparatorInMemoryOnly) {
  PutText("Path to nodelist", "/srv/fido/nodelist");
  LoadSettings();
  std::string expected = "/srv/fido/nodelist";
  expected += PathSeparator();
  EXPECT_EQ(std::string(NodelistPath), expected);
  char stored[300] = {};
  SettingsKey key;
  ASSERT_TRUE(SettingsOpenKey(SettingsKeyPath, &key));
  EXPECT_TRUE(ReadValue(key, "Path to nodelist", stored, sizeof(stored)));
  SettingsCloseKey(key);
  EXPECT_STREQ(stored, "/srv/fido/nodelist");
}

// A host whose table lacks AddEndSlash: the separator is added all the
// same, and a path that fits is kept.
TEST_F(SettingsTest, PathGetsASeparatorWithoutTheHostsAddEndSlash) {
  HostFunctions.AddEndSlash = nullptr;
  std::string fits(258, 'p');
  for (const std::string& path : {std::string("/srv/fido/nodelist"), fits}) {
    PutText("Path to nodelist", path);
    LoadSettings();
    EXPECT_EQ(std::string(NodelistPath), path + PathSeparator());
  }
  PutText("Path to nodelist", std::string(259, 'p'));  // no room for it
  LoadSettings();
  EXPECT_STREQ(NodelistPath, "");
}

TEST_F(SettingsTest, PathsThatDoNotFitAreRefused) {
  PutText("Path to nodelist", std::string(259, 'p'));  // no room for '/'
  LoadSettings();
  EXPECT_STREQ(NodelistPath, "");

  std::string fits(258, 'p');
  PutText("Path to nodelist", fits + PathSeparator());
  LoadSettings();
  EXPECT_EQ(std::strlen(NodelistPath), 259u);

  PutText("Path to nodelist", std::string(400, 'p'));
  LoadSettings();
  EXPECT_STREQ(NodelistPath, "");
}

TEST_F(SettingsTest, OverlongOrMistypedNameRestoresTheDefault) {
  PutText("Nodelist Name", std::string(300, 'N'));
  LoadSettings();
  EXPECT_STREQ(NodelistName, "NODEX");
  PutText("Nodelist Name", "ZONE2");
  LoadSettings();
  EXPECT_STREQ(NodelistName, "ZONE2");
  PutDword("Nodelist Name", 7);
  LoadSettings();
  EXPECT_STREQ(NodelistName, "NODEX");
}

TEST_F(SettingsTest, OutOfRangeNumbersFallBackToDefaults) {
  PutDword("Start Panel Mode", 12);
  PutDword("SortOrder", 9);
  PutDword("DisksMenuDigit", 0xFFFFFFFF);
  LoadSettings();
  EXPECT_EQ(StartPanelMode, 0);
  EXPECT_EQ(SortOrder, 0);
  EXPECT_EQ(DisksMenuDigit, 0);
  PutDword("Start Panel Mode", 9);
  PutDword("SortOrder", 7);
  PutDword("DisksMenuDigit", 5);
  LoadSettings();
  EXPECT_EQ(StartPanelMode, 9);
  EXPECT_EQ(SortOrder, 7);
  EXPECT_EQ(DisksMenuDigit, 5);
}

TEST_F(SettingsTest, DwordOfTheWrongSizeIsIgnored) {
  const char text[] = "12345678";
  Put("Options", kSettingsBinary, text, sizeof(text));
  Put("SortOrder", kSettingsBinary, text, 2);
  LoadSettings();
  EXPECT_EQ(Options, 9u);
  EXPECT_EQ(SortOrder, 0);
}

TEST_F(SettingsTest, SaveWritesTheFiveValuesAndKeepsOtherBits) {
  Options = 0xABCD0015u;
  DisksMenuDigit = 3;
  SortOrder = 5;
  std::strcpy(NodelistName, "MYLIST");
  std::strcpy(ModeColumnString(2, kColumnTypes), "N,C8");
  SaveSettings();
  EXPECT_EQ(GetDword("Options"), 0xABCD0015u);
  EXPECT_EQ(GetDword("DisksMenuDigit"), 3u);
  EXPECT_EQ(GetDword("SortOrder"), 0xDEADBEEFu);  // written only on change

  ResetSettings();
  BindPanelModes();
  LoadColumnBlock(DefaultColumnBlock, DefaultColumnBlockLength);
  LoadSettings();
  EXPECT_EQ(Options, 0xABCD0015u);
  EXPECT_STREQ(NodelistName, "MYLIST");
  EXPECT_STREQ(ModeColumnString(2, kColumnTypes), "N,C8");
}

TEST_F(SettingsTest, ColumnBlockOverTheLimitIsIgnoredWhole) {
  std::string huge(5000, 'x');
  Put("ColumnTypes", kSettingsBinary, huge.data(),
      static_cast<uint32_t>(huge.size()));
  LoadSettings();
  EXPECT_STREQ(ModeColumnString(0, kColumnTypes), "C0,Z,C1");
  EXPECT_EQ(PanelModeTable.Modes[1].FullScreen, 1);
}

TEST_F(SettingsTest, WriteDwordSettingCreatesTheKey) {
  WriteDwordSetting("SortOrder", 4);
  EXPECT_EQ(GetDword("SortOrder"), 4u);
}

}  // namespace
