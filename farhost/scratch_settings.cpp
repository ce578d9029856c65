#include "farhost/scratch_settings.h"

#include "farhost/sys.h"
#include "platform/platform.h"

namespace {

const char kPluginKey[] = "\\Tolvane";
const char kPathValue[] = "Path to nodelist";

int run_counter = 0;

int SetText(SettingsKey key, const char* name, const std::string& text) {
  return SettingsSetValue(key, name, kSettingsString, text.c_str(),
                          static_cast<uint32_t>(text.size() + 1));
}

int SetDword(SettingsKey key, const char* name, uint32_t value) {
  unsigned char bytes[4] = {static_cast<unsigned char>(value),
                            static_cast<unsigned char>(value >> 8),
                            static_cast<unsigned char>(value >> 16),
                            static_cast<unsigned char>(value >> 24)};
  return SettingsSetValue(key, name, kSettingsDword, bytes, sizeof(bytes));
}

// Whether the key holds a path value at all (any size, any type).
int HasStoredPath(SettingsKey key) {
  uint32_t size = 0;
  SettingsQueryValue(key, kPathValue, nullptr, &size, nullptr);
  return size > 1;
}

int ApplyOverrides(SettingsKey key, const SettingsOverrides& o,
                   const std::string& samplePath) {
  int ok = 1;
  if (!o.NodelistPath.empty())
    ok &= SetText(key, kPathValue, WithTrailingSeparator(o.NodelistPath));
  else if (!HasStoredPath(key) && !samplePath.empty())
    ok &= SetText(key, kPathValue, WithTrailingSeparator(samplePath));
  if (!o.NodelistName.empty())
    ok &= SetText(key, "Nodelist Name", o.NodelistName);
  if (o.HasOptions) ok &= SetDword(key, "Options", o.Options);
  if (o.SortOrder >= 0)
    ok &= SetDword(key, "SortOrder", static_cast<uint32_t>(o.SortOrder));
  if (o.PanelMode >= 0)
    ok &= SetDword(key, "Start Panel Mode", static_cast<uint32_t>(o.PanelMode));
  return ok;
}

}  // namespace

std::string ScratchRootName(const std::string& storedRoot, unsigned long pid,
                            int run) {
  return storedRoot + "\\.tolvane-scratch-" + std::to_string(pid) + "-" +
         std::to_string(run);
}

std::string WithTrailingSeparator(const std::string& path) {
  if (path.empty() || path.back() == '/' || path.back() == '\\') return path;
  return path + SysPathSeparator();
}

ScratchSettings::~ScratchSettings() { Remove(); }

int ScratchSettings::Create(const std::string& storedRoot,
                            const SettingsOverrides& overrides,
                            const std::string& samplePath, std::string* error) {
  Remove();
  std::string root = ScratchRootName(storedRoot, SysProcessId(), ++run_counter);
  std::string from = storedRoot + kPluginKey;
  std::string to = root + kPluginKey;
  SettingsKey key;
  int ok = SettingsCopyTree(from.c_str(), to.c_str()) &&
           SettingsCreateKey(to.c_str(), &key);
  if (ok) {
    ok = ApplyOverrides(key, overrides, samplePath);
    SettingsCloseKey(key);
  }
  if (!ok) {
    SettingsDeleteTree(root.c_str());
    *error = "cannot make the scratch settings key " + root;
    return 0;
  }
  root_ = root;
  return 1;
}

int ScratchSettings::Remove() {
  if (root_.empty()) return 1;
  int ok = SettingsDeleteTree(root_.c_str());
  root_.clear();
  return ok;
}
