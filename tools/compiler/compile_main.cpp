// tolvane-compile: compiles a text nodelist into V7/V7+ files.
#include <cstdio>
#include <exception>
#include <string>

#include "compiler/output_set.h"
#include "version/version.h"

int main(int argc, char** argv) {
  if (AnswerVersionOrHelp(argc, argv, "tolvane-compile", v7c::kCompilerUsage))
    return 0;
  v7c::CompilerArgs args;
  std::string error;
  if (!v7c::ParseCompilerArgs(argc, argv, &args, &error)) {
    fprintf(stderr, "tolvane-compile: %s\n%s", error.c_str(),
            v7c::kCompilerUsage);
    return 2;
  }
  try {
    return v7c::RunCompiler(args, stdout, stderr);
  } catch (const std::exception& e) {
    fprintf(stderr, "tolvane-compile: %s\n", e.what());
    return 1;
  }
}
