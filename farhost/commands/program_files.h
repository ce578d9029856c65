// Where the tolvane program finds the files that come with it: the plugin
// (its language and help files lie beside it) and the compiled sample
// nodelist. In the build tree they lie beside the program (plugin/,
// sample/); installed, at the places the build names relative to the
// program's folder (../lib/tolvane/plugin, ../share/tolvane/sample), so
// that an installed tree works under any prefix and from any working
// folder.
#ifndef TOLVANE_FARHOST_PROGRAM_FILES_H
#define TOLVANE_FARHOST_PROGRAM_FILES_H

#include <string>

// The plugin binary to load when --plugin names none: the build tree's
// when it is there, else the installed one (named even when missing, so
// that the error names the place it belongs).
std::string ProgramPluginPath();

// The folder of the bundled sample nodelist, chosen the same way.
std::string ProgramSamplePath();

#endif  // TOLVANE_FARHOST_PROGRAM_FILES_H
