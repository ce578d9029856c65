# farhost's tests: its own unit tests (farhost/*_test.cpp) and the
# integration tests that load the plugin's test build through farhost
# (tests/farhost/). Included from tests/CMakeLists.txt.

file(GLOB FARHOST_UNIT_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/farhost/*_test.cpp)
add_executable(unit_farhost ${FARHOST_UNIT_SOURCES})
target_link_libraries(unit_farhost PRIVATE farhost GTest::gtest_main)
add_test(NAME unit_farhost COMMAND unit_farhost)

# A library with only two of the thirteen entry points.
add_library(farhost_partial_plugin SHARED
            ${CMAKE_SOURCE_DIR}/tests/farhost/partial_plugin.cpp)
set_target_properties(farhost_partial_plugin PROPERTIES
    PREFIX "" OUTPUT_NAME partial
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/plugin-partial
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/plugin-partial)
if(WIN32)
  target_link_options(farhost_partial_plugin PRIVATE -Wl,--kill-at)
endif()

set(FARHOST_TEST_SOURCES
    ${CMAKE_SOURCE_DIR}/tests/farhost/farhost_test_main.cpp
    ${CMAKE_SOURCE_DIR}/tests/farhost/plugin_fixture.cpp
    ${CMAKE_SOURCE_DIR}/tests/farhost/plugin_start_test.cpp)
if(NOT WIN32)
  list(APPEND FARHOST_TEST_SOURCES
       ${CMAKE_SOURCE_DIR}/tests/farhost/info_process_test.cpp)
endif()
add_executable(farhost_tests ${FARHOST_TEST_SOURCES})
target_include_directories(farhost_tests PRIVATE
                           ${CMAKE_SOURCE_DIR}/tests/farhost)
target_compile_definitions(farhost_tests PRIVATE
    TOLVANE_TEST_PLUGIN_NAME="$<TARGET_FILE_NAME:tolvane_plugin_test>"
    TOLVANE_PARTIAL_NAME="$<TARGET_FILE_NAME:farhost_partial_plugin>")
target_link_libraries(farhost_tests PRIVATE farhost GTest::gtest)
add_dependencies(farhost_tests tolvane_plugin_test tolvane_plugin
                 farhost_partial_plugin tolvane)
add_test(NAME farhost_tests COMMAND farhost_tests)
