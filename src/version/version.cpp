// The version line from the number the build defines (TOLVANE_VERSION) and
// the build's identity written at build time (tolvane_build_info.h).
#include "version/version.h"

#include <cstdio>
#include <cstring>

#include "tolvane_build_info.h"

std::string VersionLine(const char* program) {
  return std::string(program) + " " TOLVANE_VERSION " (commit " TOLVANE_COMMIT
                                ", built " TOLVANE_BUILD_DAY ")";
}

int AnswerVersionOrHelp(int argc, char** argv, const char* program,
                        const char* usage) {
  if (argc != 2) return 0;
  if (!std::strcmp(argv[1], "--version")) {
    std::printf("%s\n", VersionLine(program).c_str());
    return 1;
  }
  if (!std::strcmp(argv[1], "--help")) {
    std::fputs(usage, stdout);
    return 1;
  }
  return 0;
}
