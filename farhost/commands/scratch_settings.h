// Scratch settings for a scripted run: the stored plugin key
// (<root>\Tolvane) is copied into a fresh key of farhost's own
// (<root>\.tolvane-scratch-<machine>-<pid>-<n>\Tolvane), the run's
// overrides are written there, and that key's root is handed to the plugin
// as its RootKey. The scratch key is deleted when the ScratchSettings object
// goes (every exit path of a command), so nothing the plugin writes during
// the run reaches the stored settings; keys of runs that were killed
// outright are deleted by the next run on the same machine.
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

// The scratch key's name below the stored root for a machine, a process id
// and a run number: ".tolvane-scratch-<machine>-<pid>-<run>", the machine's
// name reduced to letters, digits, '.', '_' and '-' (at most 63 of them).
std::string ScratchKeyName(const std::string& machine, unsigned long pid,
                           int run);

// Reads a scratch key's name back: 1 with the machine and the process id
// when the name is one that ScratchKeyName makes.
int ParseScratchKeyName(const std::string& name, std::string* machine,
                        unsigned long* pid);

// Deletes the scratch keys below the stored root that runs on this machine
// left behind when they were killed outright: those whose process no
// longer runs. Keys of other machines sharing the settings are left alone.
// Returns how many were deleted.
int RemoveAbandonedScratch(const std::string& storedRoot);

class ScratchSettings {
 public:
  ScratchSettings() = default;
  ~ScratchSettings();
  ScratchSettings(const ScratchSettings&) = delete;
  ScratchSettings& operator=(const ScratchSettings&) = delete;

  // Makes the scratch key from storedRoot's plugin key and applies the
  // overrides. When no "Path to nodelist" is stored nor given, seeds it with
  // samplePath (the bundled compiled sample; a separator is added). Returns
  // 0 with *error set when the settings store refuses; nothing is left
  // behind then.
  int Create(const std::string& storedRoot, const SettingsOverrides& overrides,
             const std::string& samplePath, std::string* error);

  // The root key to hand to the plugin (empty before Create).
  const std::string& RootKey() const { return root_; }

  // Deletes the scratch key now; 1 when it is gone.
  int Remove();

 private:
  std::string root_;
};

// Appends the system's path separator unless the text is empty or ends in
// '/' or '\'.
std::string WithTrailingSeparator(const std::string& path);

#endif  // TOLVANE_FARHOST_SCRATCH_SETTINGS_H
