// The plugin's persisted settings, their defaults, and the operations that
// read and write them under the settings key (SettingsKeyPath, below
// HKEY_CURRENT_USER). Registry failures are silent everywhere: a key that
// cannot be opened means defaults on load and nothing saved on write.
#ifndef TOLVANE_CONFIG_SETTINGS_H
#define TOLVANE_CONFIG_SETTINGS_H

#include <cstdint>

#include "platform/platform.h"

enum OptionBits : uint32_t {
  OptionPlusData = 0x01,          // read the V7+ data file; keyword in C0
  OptionSharedSysopIndex = 0x02,  // sysop index is SYSOP.NDX
  OptionDisksMenu = 0x04,         // an entry in the host's disks menu
  OptionMarkNoPhone = 0x08,       // mark nodes without a phone
  OptionMarkUnavailable = 0x10,   // mark nodes not available now
};

enum {
  kNodelistPathSize = 260,
  kNodelistNameSize = 256,
  kStartPathSize = 32,
  kDefaultOptions = OptionPlusData | OptionMarkNoPhone,
  kSortOrderCount = 8,
  kPanelModeCount = 10,
};

// Open flags derived from Options for the nodelist file set.
enum : uint16_t {
  kOpenPlusData = 3,
  kOpenSharedSysopIndex = 4,
};

extern char NodelistPath[kNodelistPathSize];  // ends in a separator if set
extern char NodelistName[kNodelistNameSize];
extern uint32_t Options;
extern int32_t StartPanelMode;  // 0..9
extern int32_t DisksMenuDigit;  // 0..9, 0 = no digit
extern int32_t SortOrder;       // 0..7
extern uint16_t OpenFlags;      // derived by ApplySettings

// Sets every setting to its default (NodelistName "NODEX", empty path,
// Options 9, the rest 0). The column table is not touched.
void ResetSettings();

// Reads the stored settings over the current values, then ApplySettings.
// Values of the wrong size, values outside their range and texts that do
// not fit are replaced by their defaults; the stored values stay as they
// are.
void LoadSettings();

// Writes path, name, Options, DisksMenuDigit and the column block. Silent
// when the key cannot be created.
void SaveSettings();

// Derives the run-time state: the path's trailing separator (a path that
// has no room for it is refused and left empty), the column titles, the
// name filter and OpenFlags.
void ApplySettings();

// Writes one REG_DWORD under the settings key; silent on failure.
void WriteDwordSetting(const char* valueName, uint32_t value);

// One value of an open key into buffer; 1 when the store reported success.
int ReadValue(SettingsKey key, const char* valueName, void* buffer,
              uint32_t size);
int WriteStringValue(SettingsKey key, const char* valueName, const char* text);
int WriteDwordValue(SettingsKey key, const char* valueName, uint32_t value);

#endif  // TOLVANE_CONFIG_SETTINGS_H
