# Read by ctest, through the test include file that tolvane_gtest
# (tests/CMakeLists.txt) writes for each test program: lists the program's
# GoogleTest cases and adds each as a test of its own, named
# <prefix><Suite>.<Case>, that runs the program with --gtest_filter and
# counts as skipped when it exits with 77 (every case that ran skipped;
# tests/test_run_status.h). Only the exit status decides: GoogleTest's own
# CMake module also takes "[  SKIPPED ]" anywhere in the output as a skip,
# even of a failed case, and a case that shows a child's output may hold
# those words.
#
# The list is kept in CASES_FILE and taken again when the program is newer.
# A program that cannot be listed gives one failing test that says why.

# tolvane_gtest_cases(PROGRAM EMULATOR PREFIX WORKING_DIR CASES_FILE
#                     CMAKE_TOOL PROPERTIES...)
function(tolvane_gtest_cases program emulator prefix dir cases cmake_tool)
  set(properties ${ARGN})
  if(NOT EXISTS "${program}")
    add_test("${prefix}not_built" "${program}")
    return()
  endif()
  if(EXISTS "${cases}" AND "${cases}" IS_NEWER_THAN "${program}" AND
     "${cases}" IS_NEWER_THAN "${CMAKE_CURRENT_LIST_FILE}")
    include("${cases}")
    return()
  endif()
  execute_process(COMMAND ${emulator} "${program}" --gtest_list_tests
                  WORKING_DIRECTORY "${dir}" TIMEOUT 120
                  RESULT_VARIABLE status OUTPUT_VARIABLE output
                  ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(WARNING "${program} --gtest_list_tests failed (${status}):\n"
            "${output}")
    add_test("${prefix}cases_not_listed" "${cmake_tool}" -E false)
    return()
  endif()
  set(quoted "")
  foreach(property IN LISTS properties)
    string(APPEND quoted " [==[${property}]==]")
  endforeach()
  set(runner "")
  foreach(word IN LISTS emulator)
    string(APPEND runner "[==[${word}]==] ")
  endforeach()
  string(REPLACE "\r" "" output "${output}")
  string(REPLACE ";" "\\;" output "${output}")
  string(REPLACE "\n" ";" lines "${output}")
  set(script "")
  set(suite "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([^ #][^ ]*)\\.( *#.*)?$")
      set(suite "${CMAKE_MATCH_1}")
    elseif(suite AND line MATCHES "^  ([^ ]+)( +#(.*))?$")
      set(case "${CMAKE_MATCH_1}")
      set(name "${case}")
      # A parameter's value names the case when it is short.
      if(CMAKE_MATCH_3 MATCHES "^ *GetParam\\(\\) = (.*)$")
        string(LENGTH "${CMAKE_MATCH_1}" length)
        if(length LESS 41)
          string(REGEX REPLACE "/[0-9]+$" "/${CMAKE_MATCH_1}" name "${case}")
        endif()
      endif()
      set(test "${prefix}${suite}.${name}")
      string(APPEND script
             "add_test([==[${test}]==] ${runner}[==[${program}]==] "
             "[==[--gtest_filter=${suite}.${case}]==])\n"
             "set_tests_properties([==[${test}]==] PROPERTIES "
             "WORKING_DIRECTORY [==[${dir}]==] SKIP_RETURN_CODE 77${quoted})\n")
      if("${suite}.${case}" MATCHES "(^|[./])DISABLED_")
        string(APPEND script "set_tests_properties([==[${test}]==] "
               "PROPERTIES DISABLED TRUE)\n")
      endif()
    endif()
  endforeach()
  file(WRITE "${cases}" "${script}")
  include("${cases}")
endfunction()
