# Tests of the browser (Linux, with the terminal front end): unit_browse
# from the *_test.cpp files beside the code, and tui_browse, which runs the
# tolvane program in a real terminal under tmux against the bundled sample
# and compares a few screens with tests/tui/golden/*.txt.
if(NOT TARGET farhost_browse)
  return()
endif()

get_filename_component(tolvane_browse_dir ${CMAKE_CURRENT_LIST_DIR} ABSOLUTE)
get_filename_component(tolvane_browse_root ${tolvane_browse_dir}/../.. ABSOLUTE)

file(GLOB tolvane_browse_tests CONFIGURE_DEPENDS ${tolvane_browse_dir}/*_test.cpp)
add_executable(unit_browse ${tolvane_browse_tests})
target_link_libraries(unit_browse PRIVATE farhost_browse tolvane_gtest_main)
target_compile_definitions(unit_browse PRIVATE
                           TOLVANE_SOURCE_DIR="${tolvane_browse_root}")
tolvane_gtest(unit_browse)

add_test(NAME tui_browse
         COMMAND bash ${tolvane_browse_root}/tests/tui/browse.sh
                 $<TARGET_FILE:tolvane> ${tolvane_browse_root}/tests/tui/golden)
set_tests_properties(tui_browse PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77)
