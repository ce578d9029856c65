#include "plugin_fixture.h"

#include <filesystem>

#include "farhost/sys/sys.h"
#include "platform/platform.h"

std::string TestPluginFolder() {
  return SysJoinPath(SysExecutableDir(), "plugin-test");
}

std::string TestPluginPath() {
  return SysJoinPath(TestPluginFolder(), TOLVANE_TEST_PLUGIN_NAME);
}

std::vector<std::string> MessagesOf(const char* lngName) {
  LngFile file;
  LoadLngFile(SysJoinPath(TestPluginFolder(), lngName), &file);
  return file.Messages;
}

void PluginTest::SetUp() {
  const ::testing::TestInfo* test =
      ::testing::UnitTest::GetInstance()->current_test_info();
  rootKey_ = std::string("Software\\TolvaneTest\\") + test->test_suite_name() +
             "_" + test->name() + "_" + std::to_string(SysProcessId());
  for (char& c : rootKey_)
    if (c == '/') c = '_';  // parameterised test names
  ASSERT_TRUE(SettingsDeleteTree(rootKey_.c_str()));
}

void PluginTest::TearDown() {
  EXPECT_TRUE(SettingsDeleteTree(rootKey_.c_str()));
  for (const std::string& folder : tempFolders_) {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
  }
}

HostOptions PluginTest::Options(const char* language) const {
  HostOptions options;
  options.PluginPath = TestPluginPath();
  options.RootKey = rootKey_;
  options.Language = language;
  return options;
}

void PluginTest::WriteSetting(const char* name, uint32_t value) const {
  SettingsKey key;
  std::string path = rootKey_ + "\\Tolvane";
  ASSERT_TRUE(SettingsCreateKey(path.c_str(), &key));
  unsigned char bytes[4] = {static_cast<unsigned char>(value),
                            static_cast<unsigned char>(value >> 8),
                            static_cast<unsigned char>(value >> 16),
                            static_cast<unsigned char>(value >> 24)};
  EXPECT_TRUE(SettingsSetValue(key, name, kSettingsDword, bytes, 4));
  SettingsCloseKey(key);
}

std::string PluginTest::CopyPluginFolder() {
  std::string folder;
  if (!SysMakeTempDir("farhost_plugin_", &folder)) return std::string();
  tempFolders_.push_back(folder);
  std::filesystem::copy(TestPluginFolder(), folder,
                        std::filesystem::copy_options::recursive);
  return SysJoinPath(folder, TOLVANE_TEST_PLUGIN_NAME);
}
