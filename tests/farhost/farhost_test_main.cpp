// The integration tests' main: on POSIX the settings store is a file, and
// every run gets its own (the plugin and the tests share it through
// TOLVANE_REGISTRY); the Windows build uses the registry and ignores it.
#include <gtest/gtest.h>

#include <filesystem>

#include "farhost/sys/sys.h"
#include "test_run_status.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  std::string folder;
  if (!SysMakeTempDir("farhost_registry_", &folder)) return 2;
  SysSetEnv("TOLVANE_REGISTRY", SysJoinPath(folder, "registry.reg").c_str());
  int status = RUN_ALL_TESTS();
  std::error_code error;
  std::filesystem::remove_all(folder, error);
  return TestRunStatus(status);
}
