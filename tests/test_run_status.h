// The exit status of a GoogleTest run, as ctest reads it: 77 when every
// test that ran was skipped, so that a skip is reported as skipped (the
// test command registers each case as a test of its own, with
// SKIP_RETURN_CODE 77), else RUN_ALL_TESTS's own status. The status and
// not the output decides: a failing test may print a child's output, in
// which "[  SKIPPED ]" can stand.
#ifndef TOLVANE_TESTS_TEST_RUN_STATUS_H
#define TOLVANE_TESTS_TEST_RUN_STATUS_H

#include <gtest/gtest.h>

inline int TestRunStatus(int status) {
  const ::testing::UnitTest& run = *::testing::UnitTest::GetInstance();
  if (status == 0 && run.test_to_run_count() > 0 &&
      run.skipped_test_count() == run.test_to_run_count())
    return 77;
  return status;
}

#endif  // TOLVANE_TESTS_TEST_RUN_STATUS_H
