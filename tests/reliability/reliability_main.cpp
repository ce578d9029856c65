// The reliability tests' program: GoogleTest, or with "--child fault
// FOLDER" the child side of an injected-fault case.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

int RunFaultChild(const std::string& folder);

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--child") == 0 &&
      std::strcmp(argv[2], "fault") == 0)
    return RunFaultChild(argv[3]);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
