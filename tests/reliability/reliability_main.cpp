// The reliability tests' program: GoogleTest, or with "--child fault
// FOLDER" the child side of an injected-fault case.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "test_run_status.h"

int RunFaultChild(const std::string& folder);

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--child") == 0) {
    if (argc == 4 && std::strcmp(argv[2], "fault") == 0)
      return RunFaultChild(argv[3]);
    std::fprintf(stderr, "no such child role\n");
    return 2;
  }
  ::testing::InitGoogleTest(&argc, argv);
  return TestRunStatus(RUN_ALL_TESTS());
}
