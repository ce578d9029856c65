# Writes tolvane_build_info.h, the identity of a build for --version: the
# commit of the source tree and the day of the build. Run at every build
# (cmake -P), it rewrites the file only when its text changes, so that a
# build of the same commit on the same day recompiles nothing.
#   cmake -DSOURCE_DIR=... -DOUT=... -P write_build_info.cmake
# The commit is "unknown" when the source tree is not the top of a git
# checkout of its own (an unpacked source archive, even inside another
# repository) or git is missing. The day is UTC, or that of
# SOURCE_DATE_EPOCH when it is set, so that a package can be rebuilt
# byte for byte.
set(commit unknown)
find_program(TOLVANE_GIT git)
if(TOLVANE_GIT)
  execute_process(
    COMMAND ${TOLVANE_GIT} -C ${SOURCE_DIR} rev-parse --show-toplevel
            --short=7 HEAD
    OUTPUT_VARIABLE answer ERROR_QUIET RESULT_VARIABLE status
    OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(status EQUAL 0)
    string(REPLACE "\n" ";" answer "${answer}")
    list(LENGTH answer count)
    if(count EQUAL 2)
      list(GET answer 0 top)
      list(GET answer 1 hash)
      file(REAL_PATH "${top}" top)
      file(REAL_PATH "${SOURCE_DIR}" source)
      if(top STREQUAL source AND hash MATCHES "^[0-9a-f]+$")
        set(commit ${hash})
      endif()
    endif()
  endif()
endif()
string(TIMESTAMP day "%Y-%m-%d" UTC)

set(text "// Written by cmake/write_build_info.cmake at build time.
#define TOLVANE_COMMIT \"${commit}\"
#define TOLVANE_BUILD_DAY \"${day}\"
")
set(old "")
if(EXISTS ${OUT})
  file(READ ${OUT} old)
endif()
if(NOT old STREQUAL text)
  file(WRITE ${OUT} "${text}")
endif()
