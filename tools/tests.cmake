# Tests of the nodelist tools; included from tests/CMakeLists.txt once
# GoogleTest is available.
file(GLOB tool_test_sources CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/tools/*_test.cpp)
add_executable(unit_tools ${tool_test_sources}
               ${CMAKE_SOURCE_DIR}/tools/test_reader.cpp
               ${CMAKE_SOURCE_DIR}/tools/test_lists.cpp)
target_link_libraries(unit_tools PRIVATE nodelist_generator v7compiler
                      tolvane_gtest_main)
target_compile_definitions(unit_tools PRIVATE
    TOLVANE_REAL_NODELISTS="${TOLVANE_NODELISTS}")
tolvane_gtest(unit_tools)
