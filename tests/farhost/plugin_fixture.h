// What the integration tests share: the test build of the plugin beside the
// test program (<exe dir>/plugin-test/), a scratch settings key per test
// that is deleted afterwards, and folders copied from the plugin's folder.
#ifndef TOLVANE_TESTS_FARHOST_PLUGIN_FIXTURE_H
#define TOLVANE_TESTS_FARHOST_PLUGIN_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "farhost/host/host.h"
#include "farhost/host/lng_file.h"

// The folder of the test plugin and the path of its binary.
std::string TestPluginFolder();
std::string TestPluginPath();

// The quoted messages of a language file in the test plugin's folder.
std::vector<std::string> MessagesOf(const char* lngName);

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Options for the test plugin with this test's scratch root key.
  HostOptions Options(const char* language = "English") const;

  // Writes a DWORD under the plugin's key (root key + "\Tolvane").
  void WriteSetting(const char* name, uint32_t value) const;

  // Copies the plugin's folder into a fresh temporary folder (removed in
  // TearDown) and returns the path of the copied binary.
  std::string CopyPluginFolder();

  std::string rootKey_;
  std::vector<std::string> tempFolders_;
};

#endif  // TOLVANE_TESTS_FARHOST_PLUGIN_FIXTURE_H
