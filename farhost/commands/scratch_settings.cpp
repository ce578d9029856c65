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

namespace {

// Whether a scratch name was made by a run of this machine that no longer
// runs.
int Abandoned(const std::string& name, const std::string& ours) {
  std::string found;
  unsigned long pid = 0;
  return ParseScratchKeyName(name, &found, &pid) && found == ours &&
         pid != SysProcessId() && !SysProcessRuns(pid);
}

// This machine's part of the scratch names, as ScratchKeyName writes it.
std::string OurMachine() {
  std::string ours;
  unsigned long pid = 0;
  ParseScratchKeyName(ScratchKeyName(SysHostName(), 1, 1), &ours, &pid);
  return ours;
}

int RemoveAbandonedKeys(const std::string& storedRoot,
                        const std::string& ours) {
  SettingsKey key;
  if (!SettingsOpenKey(storedRoot.c_str(), &key)) return 0;
  std::vector<std::string> abandoned;
  char name[256];
  for (uint32_t i = 0;
       i < 100000 && SettingsSubkeyName(key, i, name, sizeof(name)); ++i) {
    if (Abandoned(name, ours)) abandoned.push_back(name);
  }
  SettingsCloseKey(key);
  int removed = 0;
  for (const std::string& child : abandoned)
    removed += SettingsDeleteTree((storedRoot + "\\" + child).c_str());
  return removed;
}

int RemoveAbandonedFolders(const std::string& ours) {
  std::string temp = SysTempDir();
  if (temp.empty()) return 0;
  int removed = 0;
  for (const std::string& name : SysListDir(temp))
    if (Abandoned(name, ours))
      removed += SysRemoveTree(SysJoinPath(temp, name));
  return removed;
}

}  // namespace

int RemoveAbandonedScratch(const std::string& storedRoot) {
  std::string ours = OurMachine();
  return RemoveAbandonedKeys(storedRoot, ours) + RemoveAbandonedFolders(ours);
}

std::string WithTrailingSeparator(const std::string& path) {
  if (path.empty() || path.back() == '/' || path.back() == '\\') return path;
  return path + SysPathSeparator();
}

ScratchSettings::~ScratchSettings() { Remove(); }

// The folder of the run's own with the copy of the settings file.
int ScratchSettings::MakePrivateCopy(const std::string& storedRoot) {
  std::string temp = SysTempDir();
  if (temp.empty()) return 0;
  std::string folder = SysJoinPath(
      temp, ScratchKeyName(SysHostName(), SysProcessId(), ++run_counter));
  // A folder of this name was left by an earlier process with this id.
  if (!SysMakeDir(folder) && !(SysRemoveTree(folder) && SysMakeDir(folder)))
    return 0;
  if (!SettingsUsePrivateCopy(folder.c_str())) {
    SysRemoveTree(folder);
    return 0;
  }
  folder_ = folder;
  root_ = storedRoot;
  return 1;
}

// A volatile copy of the plugin key below the stored root, whose own key
// is made to last first: a volatile key can have no lasting subkeys.
int ScratchSettings::MakeVolatileKey(const std::string& storedRoot) {
  std::string root =
      storedRoot + "\\" +
      ScratchKeyName(SysHostName(), SysProcessId(), ++run_counter);
  SettingsKey key;
  if (!SettingsCreateKey(storedRoot.c_str(), &key)) return 0;
  SettingsCloseKey(key);
  if (!SettingsCopyTreeVolatile((storedRoot + kPluginKey).c_str(),
                                (root + kPluginKey).c_str())) {
    SettingsDeleteTree(root.c_str());
    return 0;
  }
  key_ = root;
  root_ = root;
  return 1;
}

int ScratchSettings::Create(const std::string& storedRoot,
                            const SettingsOverrides& overrides,
                            const std::string& samplePath, std::string* error) {
  Remove();
  RemoveAbandonedScratch(storedRoot);
  int ok = SettingsPrivateCopyOffered() ? MakePrivateCopy(storedRoot)
                                        : MakeVolatileKey(storedRoot);
  SettingsKey key;
  if (ok) ok = SettingsCreateKey((root_ + kPluginKey).c_str(), &key);
  if (ok) {
    ok = ApplyOverrides(key, overrides, samplePath);
    SettingsCloseKey(key);
  }
  if (!ok) {
    std::string where = !folder_.empty() ? folder_ : root_;
    Remove();
    *error = "cannot make the scratch settings" +
             (where.empty() ? std::string() : " " + where);
    return 0;
  }
  return 1;
}

int ScratchSettings::Remove() {
  int ok = 1;
  if (!folder_.empty()) {
    SettingsEndPrivateCopy();
    ok = SysRemoveTree(folder_);
  }
  if (!key_.empty()) ok &= SettingsDeleteTree(key_.c_str());
  folder_.clear();
  key_.clear();
  root_.clear();
  return ok;
}
