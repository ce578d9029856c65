# farhost's tests: its own unit tests (farhost/*/*_test.cpp) and the
# integration tests that load the plugin's test build through farhost
# (tests/farhost/). Included from tests/CMakeLists.txt.

file(GLOB FARHOST_UNIT_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/farhost/host/*_test.cpp
     ${CMAKE_SOURCE_DIR}/farhost/commands/*_test.cpp)
add_executable(unit_farhost ${FARHOST_UNIT_SOURCES})
target_link_libraries(unit_farhost PRIVATE farhost tolvane_gtest_main)
tolvane_gtest(unit_farhost)

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
    ${CMAKE_SOURCE_DIR}/tests/farhost/plugin_start_test.cpp
    ${CMAKE_SOURCE_DIR}/tests/farhost/panel_fixture.cpp
    ${CMAKE_SOURCE_DIR}/tests/farhost/panel_listing_test.cpp
    ${CMAKE_SOURCE_DIR}/tests/farhost/panel_control_test.cpp
    ${CMAKE_SOURCE_DIR}/tests/farhost/panel_limits_test.cpp
    ${CMAKE_SOURCE_DIR}/tests/farhost/ls_process_test.cpp
    ${CMAKE_SOURCE_DIR}/tests/farhost/key_table_test.cpp
    ${CMAKE_SOURCE_DIR}/tests/farhost/entry_file_test.cpp
    ${CMAKE_SOURCE_DIR}/tests/farhost/internet_process_test.cpp
    ${CMAKE_SOURCE_DIR}/tests/farhost/sysop_search_test.cpp
    ${CMAKE_SOURCE_DIR}/tests/farhost/box_layout_test.cpp
    ${CMAKE_SOURCE_DIR}/tests/farhost/scratch_settings_test.cpp)
if(NOT WIN32)
  list(APPEND FARHOST_TEST_SOURCES
       ${CMAKE_SOURCE_DIR}/tests/farhost/info_process_test.cpp
       ${CMAKE_SOURCE_DIR}/tests/farhost/show_key_process_test.cpp)
endif()

# The real nodelists, as the test programs name paths.
set(FARHOST_NODELISTS ${TOLVANE_NODELISTS})
# The entry files the plugin must write, byte for byte.
set(FARHOST_GOLDEN ${CMAKE_SOURCE_DIR}/tests/farhost/golden)
if(WIN32)
  set(FARHOST_NODELISTS "Z:${FARHOST_NODELISTS}")
  set(FARHOST_GOLDEN "Z:${FARHOST_GOLDEN}")
endif()
add_executable(farhost_tests ${FARHOST_TEST_SOURCES})
target_include_directories(farhost_tests PRIVATE
                           ${CMAKE_SOURCE_DIR}/tests/farhost ${CMAKE_SOURCE_DIR}/tests)
if(TARGET farhost_browse)
  set(FARHOST_HAS_BROWSER 1)
else()
  set(FARHOST_HAS_BROWSER 0)
endif()
target_compile_definitions(farhost_tests PRIVATE
    TOLVANE_HAS_BROWSER=${FARHOST_HAS_BROWSER}
    TOLVANE_TEST_PLUGIN_NAME="$<TARGET_FILE_NAME:tolvane_plugin_test>"
    TOLVANE_PARTIAL_NAME="$<TARGET_FILE_NAME:farhost_partial_plugin>"
    TOLVANE_EXE_SUFFIX="${CMAKE_EXECUTABLE_SUFFIX}"
    TOLVANE_NODELISTS_DIR="${FARHOST_NODELISTS}"
    TOLVANE_GOLDEN_DIR="${FARHOST_GOLDEN}")
target_link_libraries(farhost_tests PRIVATE farhost GTest::gtest)
add_dependencies(farhost_tests tolvane_plugin_test tolvane_plugin
                 farhost_partial_plugin tolvane tolvane-compile sample_nodelist)
tolvane_gtest(farhost_tests)

# Ctrl+C and SIGTERM in the middle of `tolvane find` (POSIX signals).
if(NOT WIN32)
  add_test(NAME tolvane_interrupt
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/farhost/interrupt.sh
                   ${CMAKE_BINARY_DIR}/bin)
endif()

# No two parts of farhost depend on each other in a circle: includes, and
# calls as the built libraries' symbol tables show them.
if(NOT WIN32)
  set(farhost_layers farhost_sys farhost_host farhost_scripted
      farhost_console farhost_commands)
  if(TARGET farhost_browse)
    list(APPEND farhost_layers farhost_tui farhost_browse)
  endif()
  set(farhost_layer_files)
  foreach(layer ${farhost_layers})
    list(APPEND farhost_layer_files $<TARGET_FILE:${layer}>)
  endforeach()
  add_test(NAME farhost_no_cycles
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/farhost/no_cycles.sh
                   ${CMAKE_SOURCE_DIR}/farhost ${CMAKE_NM}
                   ${farhost_layer_files})
endif()
