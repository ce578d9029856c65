#include "farhost/commands/scratch_settings.h"

#include <vector>

#include "farhost/sys/sys.h"
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

const char kScratchPrefix[] = ".tolvane-scratch-";

std::string ScratchKeyName(const std::string& machine, unsigned long pid,
                           int run) {
  std::string name = kScratchPrefix;
  size_t kept = 0;
  for (char c : machine) {
    if (kept == 63) break;
    int plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
    name += plain ? c : '_';
    ++kept;
  }
  if (kept == 0) name += "machine";
  return name + "-" + std::to_string(pid) + "-" + std::to_string(run);
}

namespace {

// The digits between `start` and `end` as a number; 0 when there are none,
// when anything else stands there or when the number overflows.
int ParseNumber(const std::string& text, size_t start, size_t end,
                unsigned long* number) {
  if (start >= end || end - start > 9) return 0;
  *number = 0;
  for (size_t i = start; i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    *number = *number * 10 + static_cast<unsigned long>(text[i] - '0');
  }
  return 1;
}

}  // namespace

int ParseScratchKeyName(const std::string& name, std::string* machine,
                        unsigned long* pid) {
  const size_t prefix = sizeof(kScratchPrefix) - 1;
  if (name.compare(0, prefix, kScratchPrefix) != 0) return 0;
  size_t runDash = name.rfind('-');
  if (runDash == std::string::npos || runDash <= prefix) return 0;
  size_t pidDash = name.rfind('-', runDash - 1);
  if (pidDash == std::string::npos || pidDash <= prefix) return 0;
  unsigned long run = 0;
  if (!ParseNumber(name, runDash + 1, name.size(), &run) ||
      !ParseNumber(name, pidDash + 1, runDash, pid))
    return 0;
  *machine = name.substr(prefix, pidDash - prefix);
  return 1;
}

int RemoveAbandonedScratch(const std::string& storedRoot) {
  SettingsKey key;
  if (!SettingsOpenKey(storedRoot.c_str(), &key)) return 0;
  // The name this machine's runs use, compared as ScratchKeyName writes it.
  std::string ours, found;
  unsigned long pid = 0;
  ParseScratchKeyName(ScratchKeyName(SysHostName(), 1, 1), &ours, &pid);
  std::vector<std::string> abandoned;
  char name[256];
  for (uint32_t i = 0;
       i < 100000 && SettingsSubkeyName(key, i, name, sizeof(name)); ++i) {
    if (ParseScratchKeyName(name, &found, &pid) && found == ours &&
        pid != SysProcessId() && !SysProcessRuns(pid))
      abandoned.push_back(name);
  }
  SettingsCloseKey(key);
  int removed = 0;
  for (const std::string& child : abandoned)
    removed += SettingsDeleteTree((storedRoot + "\\" + child).c_str());
  return removed;
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
  RemoveAbandonedScratch(storedRoot);
  std::string root =
      storedRoot + "\\" +
      ScratchKeyName(SysHostName(), SysProcessId(), ++run_counter);
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
