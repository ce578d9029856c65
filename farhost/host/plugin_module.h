// The plugin binary as farhost sees it: a library and its thirteen entry
// points, found by their plain names only.
#ifndef TOLVANE_FARHOST_PLUGIN_MODULE_H
#define TOLVANE_FARHOST_PLUGIN_MODULE_H

#include <string>

#include "farhost/sys/sys.h"
#include "host/far_api.h"

struct PluginExports {
  SetStartupInfoFunc SetStartupInfo;
  GetPluginInfoFunc GetPluginInfo;
  OpenPluginFunc OpenPlugin;
  ClosePluginFunc ClosePlugin;
  GetOpenPluginInfoFunc GetOpenPluginInfo;
  SetDirectoryFunc SetDirectory;
  GetFindDataFunc GetFindData;
  FreeFindDataFunc FreeFindData;
  CompareFunc Compare;
  ProcessKeyFunc ProcessKey;
  ProcessEventFunc ProcessEvent;
  GetFilesFunc GetFiles;
  ConfigureFunc Configure;
};

enum { kPluginExportCount = 13 };

// The plain names, in the order of PluginExports.
extern const char* const kPluginExportNames[kPluginExportCount];

struct PluginModule {
  SysLibrary Library;
  std::string Path;  // absolute path of the binary
  PluginExports Exports;
};

// Loads the binary at path and finds all thirteen entry points. On failure
// returns 0, leaves *module unloaded and says in *error what was missing
// (every missing name) or why the library did not load.
int LoadPluginModule(const std::string& path, PluginModule* module,
                     std::string* error);

// Unloads the library; safe on an unloaded module.
void UnloadPluginModule(PluginModule* module);

#endif  // TOLVANE_FARHOST_PLUGIN_MODULE_H
