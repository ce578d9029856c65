// Scratch settings for a scripted run: a private store that starts as a
// copy of the stored settings, gets the run's overrides and is thrown away
// when the ScratchSettings object goes (every exit path of a command), so
// that nothing of the run reaches the stored settings: no write, no flush
// to disk, no rename. Where the settings are a file (POSIX) the store is a
// copy of it in a folder of the run's own in the temporary folder, which
// the platform store is pointed at for this process; the root key handed
// to the plugin stays the stored one. Where they are the registry
// (Windows) it is a volatile key of farhost's own below the stored root
// (<root>\.tolvane-scratch-<machine>-<pid>-<n>\Tolvane), handed to the
// plugin as its root. Folders and keys of runs that were killed outright
// are removed by the next run on the same machine.
#ifndef TOLVANE_FARHOST_SCRATCH_SETTINGS_H
#define TOLVANE_FARHOST_SCRATCH_SETTINGS_H

#include <cstdint>
#include <string>

// What a run may override; unset fields leave the stored value.
struct SettingsOverrides {
  std::string NodelistPath;  // "Path to nodelist"; a separator is added
  std::string NodelistName;  // "Nodelist Name"
  int HasOptions = 0;
  uint32_t Options = 0;  // "Options"
  int SortOrder = -1;    // "SortOrder", 0..7
  int PanelMode = -1;    // "Start Panel Mode", 0..9
};

// The name of a run's scratch key below the stored root, and of its folder
// in the temporary folder, for a machine, a process id and a run number:
// ".tolvane-scratch-<machine>-<pid>-<run>", the machine's name reduced to
// letters, digits, '.', '_' and '-' (at most 63 of them).
std::string ScratchKeyName(const std::string& machine, unsigned long pid,
                           int run);

// Reads a scratch key's name back: 1 with the machine and the process id
// when the name is one that ScratchKeyName makes.
int ParseScratchKeyName(const std::string& name, std::string* machine,
                        unsigned long* pid);

// Deletes the scratch keys below the stored root and the scratch folders in
// the temporary folder that runs on this machine left behind when they were
// killed outright: those whose process no longer runs. Those of other
// machines sharing the settings are left alone. Returns how many were
// deleted.
int RemoveAbandonedScratch(const std::string& storedRoot);

class ScratchSettings {
 public:
  ScratchSettings() = default;
  ~ScratchSettings();
  ScratchSettings(const ScratchSettings&) = delete;
  ScratchSettings& operator=(const ScratchSettings&) = delete;

  // Makes the private store from storedRoot's plugin key and applies the
  // overrides. When no "Path to nodelist" is stored nor given, seeds it with
  // samplePath (the bundled compiled sample; a separator is added). Returns
  // 0 with *error set when the settings store refuses; nothing is left
  // behind then.
  int Create(const std::string& storedRoot, const SettingsOverrides& overrides,
             const std::string& samplePath, std::string* error);

  // The root key to hand to the plugin (empty before Create).
  const std::string& RootKey() const { return root_; }

  // Throws the private store away now; 1 when nothing of it is left.
  int Remove();

 private:
  int MakePrivateCopy(const std::string& storedRoot);
  int MakeVolatileKey(const std::string& storedRoot);

  std::string root_;
  std::string folder_;  // the private copy's folder, or empty
  std::string key_;     // the volatile key's root, or empty
};

// Appends the system's path separator unless the text is empty or ends in
// '/' or '\'.
std::string WithTrailingSeparator(const std::string& path);

#endif  // TOLVANE_FARHOST_SCRATCH_SETTINGS_H
