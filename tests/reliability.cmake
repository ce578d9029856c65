# Reliability tests: damaged nodelist sets (the hex corpus in
# tests/reliability/corpus), injected system failures and load, all through
# the test build of the plugin in farhost, and two weekly jobs of
# tolvane-compile on one nodelist folder at once (reliability_tests); and the
# settings store under failed writes, killed writers and concurrent writers
# (reliability_settings). Included from tests/CMakeLists.txt.
#
# Long runs: TOLVANE_RELIABILITY_LISTINGS=100000 (listings in a row) and
# TOLVANE_RELIABILITY_KILLS=10000 (killed writers), e.g.
#   TOLVANE_RELIABILITY_KILLS=10000 build/linux/bin/reliability_settings

set(RELIABILITY_DIR ${CMAKE_SOURCE_DIR}/tests/reliability)

add_executable(reliability_tests
    ${RELIABILITY_DIR}/reliability_main.cpp
    ${RELIABILITY_DIR}/reliability_support.cpp
    ${RELIABILITY_DIR}/damage_case.cpp
    ${RELIABILITY_DIR}/corpus_test.cpp
    ${RELIABILITY_DIR}/fault_test.cpp
    ${RELIABILITY_DIR}/load_test.cpp
    ${RELIABILITY_DIR}/weekly_jobs_test.cpp
    ${CMAKE_SOURCE_DIR}/tools/test_lists.cpp)
target_include_directories(reliability_tests PRIVATE ${RELIABILITY_DIR}
                           ${CMAKE_SOURCE_DIR}/tools ${CMAKE_SOURCE_DIR}/tests)
target_compile_definitions(reliability_tests PRIVATE
    TOLVANE_TEST_PLUGIN_NAME="$<TARGET_FILE_NAME:tolvane_plugin_test>"
    TOLVANE_EXE_SUFFIX="${CMAKE_EXECUTABLE_SUFFIX}"
    TOLVANE_RELIABILITY_CORPUS="${RELIABILITY_DIR}/corpus")
target_link_libraries(reliability_tests PRIVATE farhost nodelist_generator
                      v7compiler GTest::gtest)
add_dependencies(reliability_tests tolvane_plugin_test tolvane-compile)
tolvane_gtest(reliability_tests TIMEOUT 300 ENVIRONMENT
    "TOLVANE_REGISTRY=${CMAKE_BINARY_DIR}/registry-reliability.reg")

add_executable(reliability_settings
    ${RELIABILITY_DIR}/settings_reliability_test.cpp)
target_link_libraries(reliability_settings PRIVATE tolvane_platform_seams
                      GTest::gtest)
target_include_directories(reliability_settings PRIVATE ${CMAKE_SOURCE_DIR}/tests)
tolvane_gtest(reliability_settings TIMEOUT 300)
