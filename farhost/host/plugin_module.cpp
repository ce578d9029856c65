#include "farhost/host/plugin_module.h"

#include <filesystem>

const char* const kPluginExportNames[kPluginExportCount] = {
    "SetStartupInfo",    "GetPluginInfo", "OpenPlugin",   "ClosePlugin",
    "GetOpenPluginInfo", "SetDirectory",  "GetFindData",  "FreeFindData",
    "Compare",           "ProcessKey",    "ProcessEvent", "GetFiles",
    "Configure"};

namespace {

// Looks up every name; returns the names that were not found.
std::string FindExports(SysLibrary library,
                        void* (&found)[kPluginExportCount]) {
  std::string missing;
  for (int i = 0; i < kPluginExportCount; ++i) {
    found[i] = SysFindSymbol(library, kPluginExportNames[i]);
    if (found[i] == nullptr) {
      if (!missing.empty()) missing += ", ";
      missing += kPluginExportNames[i];
    }
  }
  return missing;
}

template <typename F>
void Take(void* address, F* slot) {
  *slot = reinterpret_cast<F>(address);
}

void BindExports(void* const (&found)[kPluginExportCount], PluginExports* e) {
  Take(found[0], &e->SetStartupInfo);
  Take(found[1], &e->GetPluginInfo);
  Take(found[2], &e->OpenPlugin);
  Take(found[3], &e->ClosePlugin);
  Take(found[4], &e->GetOpenPluginInfo);
  Take(found[5], &e->SetDirectory);
  Take(found[6], &e->GetFindData);
  Take(found[7], &e->FreeFindData);
  Take(found[8], &e->Compare);
  Take(found[9], &e->ProcessKey);
  Take(found[10], &e->ProcessEvent);
  Take(found[11], &e->GetFiles);
  Take(found[12], &e->Configure);
}

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.string();
}

}  // namespace

int LoadPluginModule(const std::string& path, PluginModule* module,
                     std::string* error) {
  *module = PluginModule{};
  std::string absolute = AbsolutePath(path);
  std::string reason;
  SysLibrary library = SysLoadLibrary(absolute.c_str(), &reason);
  if (library == nullptr) {
    *error = "cannot load the plugin " + absolute + ": " + reason;
    return 0;
  }
  void* found[kPluginExportCount];
  std::string missing = FindExports(library, found);
  if (!missing.empty()) {
    *error = "the plugin " + absolute + " does not export " + missing;
    SysFreeLibrary(library);
    return 0;
  }
  module->Library = library;
  module->Path = absolute;
  BindExports(found, &module->Exports);
  return 1;
}

void UnloadPluginModule(PluginModule* module) {
  SysFreeLibrary(module->Library);
  *module = PluginModule{};
}
