# Tests of the terminal front end (Linux only): unit_tui from the *_test.cpp
# files beside the code, and tui_dialogs, which drives tui_demo in a real
# terminal under tmux.
if(NOT TARGET farhost_tui)
  return()
endif()

get_filename_component(tolvane_tui_dir ${CMAKE_CURRENT_LIST_DIR} ABSOLUTE)
get_filename_component(tolvane_tui_root ${tolvane_tui_dir}/../.. ABSOLUTE)

file(GLOB tolvane_tui_tests CONFIGURE_DEPENDS ${tolvane_tui_dir}/*_test.cpp)
add_executable(unit_tui ${tolvane_tui_tests})
target_link_libraries(unit_tui PRIVATE farhost_tui tolvane_gtest_main)
tolvane_gtest(unit_tui)

add_test(NAME tui_dialogs
         COMMAND bash ${tolvane_tui_root}/tests/tui/dialogs.sh
                 $<TARGET_FILE:tui_demo>)
set_tests_properties(tui_dialogs PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77)
