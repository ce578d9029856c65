// tolvane-changes: what changed from one text nodelist to another.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "compiler/list_changes.h"
#include "version/version.h"

namespace {

const char kUsage[] =
    "usage: tolvane-changes OLD_NODELIST NEW_NODELIST [--format text|json]\n";

}  // namespace

int main(int argc, char** argv) {
  if (AnswerVersionOrHelp(argc, argv, "tolvane-changes", kUsage)) return 0;
  std::string paths[2];
  int count = 0;
  int json = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--format") == 0 && i + 1 < argc &&
        (std::strcmp(argv[i + 1], "text") == 0 ||
         std::strcmp(argv[i + 1], "json") == 0)) {
      json = std::strcmp(argv[++i], "json") == 0;
    } else if (argv[i][0] != '-' && count < 2) {
      paths[count++] = argv[i];
    } else {
      fprintf(stderr, "tolvane-changes: unexpected argument '%s'\n%s", argv[i],
              kUsage);
      return 2;
    }
  }
  if (count != 2) {
    fprintf(stderr, "tolvane-changes: two nodelists are needed\n%s", kUsage);
    return 2;
  }
  try {
    return v7c::RunChanges(paths[0], paths[1], json, stdout, stderr);
  } catch (const std::exception& e) {
    fprintf(stderr, "tolvane-changes: %s\n", e.what());
    return 1;
  }
}
