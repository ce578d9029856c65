#include "farhost/browse/browse_command.h"

#include <sys/stat.h>

#include <cstring>
#include <iostream>

#include "farhost/browse/browser.h"
#include "farhost/sys/sys.h"
#include "platform/platform.h"

namespace {

const char kPathValue[] = "Path to nodelist";

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

int HasOverrides(const SettingsOverrides& o) {
  return !o.NodelistPath.empty() || !o.NodelistName.empty() || o.HasOptions ||
         o.SortOrder >= 0 || o.PanelMode >= 0;
}

int SeedNodelistPath(const std::string& root, const std::string& samplePath) {
  std::string keyPath = root + "\\Tolvane";
  SettingsKey key;
  if (SettingsOpenKey(keyPath.c_str(), &key)) {
    uint32_t size = 0;
    int stored = SettingsQueryValue(key, kPathValue, nullptr, &size, nullptr);
    SettingsCloseKey(key);
    if (stored) return 1;
  }
  if (samplePath.empty() || !SettingsCreateKey(keyPath.c_str(), &key)) return 0;
  std::string value = WithTrailingSeparator(samplePath);
  int ok = SettingsSetValue(key, kPathValue, kSettingsString, value.c_str(),
                            static_cast<uint32_t>(value.size() + 1));
  SettingsCloseKey(key);
  return ok;
}

std::string BrowserHistoryPath() {
  std::string value;
  if (SysGetEnv("TOLVANE_REGISTRY", &value) && !value.empty())
    return FolderOf(value) + "/history";
  std::string folder;
  if (SysGetEnv("XDG_CONFIG_HOME", &value) && !value.empty())
    folder = value + "/tolvane";
  else if (SysGetEnv("HOME", &value) && !value.empty())
    folder = value + "/.config/tolvane";
  else
    return std::string();
  mkdir(FolderOf(folder).c_str(), 0700);
  mkdir(folder.c_str(), 0700);
  return folder + "/history";
}

int RunBrowseCommand(const ScriptOptions& options, const std::string* path) {
  BrowseOptions browse;
  browse.Host = options.Host;
  browse.PanelPath = path != nullptr ? *path : "";
  browse.HistoryPath = BrowserHistoryPath();
  ScratchSettings scratch;
  if (HasOverrides(options.Overrides)) {
    std::string error;
    if (!scratch.Create(options.Host.RootKey, options.Overrides,
                        options.SamplePath, &error)) {
      std::cerr << "tolvane: " << error << "\n";
      return kExitFailed;
    }
    browse.Host.RootKey = scratch.RootKey();
  } else {
    SeedNodelistPath(options.Host.RootKey, options.SamplePath);
  }
  return RunBrowser(browse) == 0 ? kExitOk : kExitFailed;
}
