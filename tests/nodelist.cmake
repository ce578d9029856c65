# The nodelist round trip: the published nodelists compiled by the V7/V7+
# compiler and read back through the plugin's nodelist database. Skips
# when the folder TOLVANE_NODELISTS is absent.
if(TARGET v7compiler)
  add_executable(nodelist_roundtrip_test
                 ${CMAKE_SOURCE_DIR}/tests/nodelist_roundtrip_test.cpp)
  target_link_libraries(nodelist_roundtrip_test PRIVATE
                        v7compiler tolvane_core tolvane_platform_seams
                        tolvane_gtest_main)
  target_compile_definitions(nodelist_roundtrip_test PRIVATE
      TOLVANE_REAL_NODELISTS="${TOLVANE_NODELISTS}")
  tolvane_gtest(nodelist_roundtrip_test)
endif()
