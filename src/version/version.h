// The product's identity as every program reports it with --version: the
// version number (the project's version in the build, the one number of
// the plugin, the programs, the packages and the Windows version
// resources), the commit the build came from ("unknown" for a source tree
// that is no git checkout) and the day of the build.
#ifndef TOLVANE_VERSION_VERSION_H
#define TOLVANE_VERSION_VERSION_H

#include <string>

// "tolvane-compile 1.1 (commit abc1234, built 2026-12-09)", no newline.
std::string VersionLine(const char* program);

// Answers a lone --version (the version line) or --help (usage) on
// standard output and returns 1; returns 0 for any other arguments, which
// the program then parses itself.
int AnswerVersionOrHelp(int argc, char** argv, const char* program,
                        const char* usage);

#endif  // TOLVANE_VERSION_VERSION_H
