// The main of the test programs that have no main of their own.
#include "test_run_status.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return TestRunStatus(RUN_ALL_TESTS());
}
