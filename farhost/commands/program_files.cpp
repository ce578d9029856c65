#include "farhost/commands/program_files.h"

#include <filesystem>

#include "farhost/sys/sys.h"

namespace {

// The folder of the build tree (inBuild, beside the program) when it holds
// the file, else the installed folder (installed, relative to the
// program's folder), without its "..": /usr/lib/tolvane/plugin rather
// than /usr/bin/../lib/tolvane/plugin.
std::string FolderOf(const char* inBuild, const char* installed,
                     const char* file) {
  std::string programDir = SysExecutableDir();
  std::string beside = SysJoinPath(programDir, inBuild);
  if (SysPathExists(file[0] ? SysJoinPath(beside, file) : beside))
    return beside;
  std::filesystem::path path(SysJoinPath(programDir, installed));
  return path.lexically_normal().string();
}

}  // namespace

std::string ProgramPluginPath() {
  const char* name = SysPluginFileName();
  return SysJoinPath(FolderOf("plugin", TOLVANE_PLUGIN_FROM_BIN, name), name);
}

std::string ProgramSamplePath() {
  return FolderOf("sample", TOLVANE_SAMPLE_FROM_BIN, "");
}
