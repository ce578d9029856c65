#include "config/settings.h"

#include <cstring>

#include "host/host_binding.h"
#include "panel/name_filters.h"
#include "panel/panel_modes.h"

char NodelistPath[kNodelistPathSize];
char NodelistName[kNodelistNameSize];
uint32_t Options = kDefaultOptions;
int32_t StartPanelMode;
int32_t DisksMenuDigit;
int32_t SortOrder;
uint16_t OpenFlags;

namespace {

const char kDefaultNodelistName[] = "NODEX";

// Reads a text value into a field of `size` bytes. The text must end within
// the field (a value without its NUL that fills the field does not fit).
int ReadText(SettingsKey key, const char* name, char* field, uint32_t size) {
  char buffer[kNodelistPathSize > kNodelistNameSize ? kNodelistPathSize
                                                    : kNodelistNameSize];
  uint32_t got = size;
  uint32_t type = 0;
  if (!SettingsQueryValue(key, name, buffer, &got, &type)) return 0;
  const uint32_t kExpandableString = 2;
  if (type != kSettingsString && type != kExpandableString) return 0;
  size_t length = strnlen(buffer, got);
  if (length >= size) return 0;
  std::memcpy(field, buffer, length);
  field[length] = '\0';
  return 1;
}

// Reads a DWORD that lies within [0, limit]; anything else leaves *value.
void ReadBoundedDword(SettingsKey key, const char* name, int32_t* value,
                      int32_t limit, int32_t fallback) {
  uint32_t raw = 0;
  uint32_t size = sizeof(raw);
  if (!SettingsQueryValue(key, name, &raw, &size, nullptr)) return;
  if (size != sizeof(raw)) return;
  *value = raw <= static_cast<uint32_t>(limit) ? static_cast<int32_t>(raw)
                                               : fallback;
}

void ReadColumnBlock(SettingsKey key) {
  char block[kColumnBlockMax];
  uint32_t size = sizeof(block);
  if (SettingsQueryValue(key, "ColumnTypes", block, &size, nullptr))
    LoadColumnBlock(block, size);
}

int EndsInSeparator(const char* path, size_t length) {
  return length > 0 && (path[length - 1] == '\\' || path[length - 1] == '/');
}

// Ends a non-empty NodelistPath in a separator: the host's AddEndSlash,
// or the separator itself when the host has none (or did not add one). A
// path with no room left for it is refused.
void EndPathInSeparator() {
  size_t length = strnlen(NodelistPath, kNodelistPathSize);
  if (length >= kNodelistPathSize) length = 0;
  if (length == 0 || EndsInSeparator(NodelistPath, length)) return;
  if (length + 1 >= kNodelistPathSize) {
    NodelistPath[0] = '\0';
    return;
  }
  if (HostFunctions.AddEndSlash) HostFunctions.AddEndSlash(NodelistPath);
  if (strnlen(NodelistPath, kNodelistPathSize) == length) {
    NodelistPath[length] = PathSeparator();
    NodelistPath[length + 1] = '\0';
  }
}

}  // namespace

void ResetSettings() {
  std::memset(NodelistPath, 0, sizeof(NodelistPath));
  std::memset(NodelistName, 0, sizeof(NodelistName));
  std::memcpy(NodelistName, kDefaultNodelistName, sizeof(kDefaultNodelistName));
  Options = kDefaultOptions;
  StartPanelMode = 0;
  DisksMenuDigit = 0;
  SortOrder = 0;
  OpenFlags = 0;
}

void LoadSettings() {
  SettingsKey key;
  if (SettingsOpenKey(SettingsKeyPath, &key)) {
    if (!ReadText(key, "Path to nodelist", NodelistPath, kNodelistPathSize))
      NodelistPath[0] = '\0';
    // A stored name that cannot be used (too long, not text) restores the
    // default; a missing one leaves the default set at start-up.
    if (!ReadText(key, "Nodelist Name", NodelistName, kNodelistNameSize))
      std::memcpy(NodelistName, kDefaultNodelistName,
                  sizeof(kDefaultNodelistName));
    uint32_t options = 0;
    uint32_t size = sizeof(options);
    if (SettingsQueryValue(key, "Options", &options, &size, nullptr) &&
        size == sizeof(options))
      Options = options;
    ReadBoundedDword(key, "Start Panel Mode", &StartPanelMode, 9, 0);
    ReadBoundedDword(key, "DisksMenuDigit", &DisksMenuDigit, 9, 0);
    ReadBoundedDword(key, "SortOrder", &SortOrder, kSortOrderCount - 1, 0);
    ReadColumnBlock(key);
    SettingsCloseKey(key);
  }
  ApplySettings();
}

void SaveSettings() {
  SettingsKey key;
  if (!SettingsCreateKey(SettingsKeyPath, &key)) return;
  WriteStringValue(key, "Path to nodelist", NodelistPath);
  WriteStringValue(key, "Nodelist Name", NodelistName);
  WriteDwordValue(key, "Options", Options);
  WriteDwordValue(key, "DisksMenuDigit", static_cast<uint32_t>(DisksMenuDigit));
  char block[kColumnBlockMax];
  size_t length = BuildColumnBlock(block);
  SettingsSetValue(key, "ColumnTypes", kSettingsBinary, block,
                   static_cast<uint32_t>(length));
  SettingsCloseKey(key);
}

void ApplySettings() {
  EndPathInSeparator();
  BuildColumnTitles();
  NameCaseFilter =
      (Options & OptionPlusData) ? UnderscoresToSpaces : CapitaliseWords;
  OpenFlags = 0;
  if (Options & OptionPlusData) OpenFlags |= kOpenPlusData;
  if (Options & OptionSharedSysopIndex) OpenFlags |= kOpenSharedSysopIndex;
}

void WriteDwordSetting(const char* valueName, uint32_t value) {
  SettingsKey key;
  if (!SettingsCreateKey(SettingsKeyPath, &key)) return;
  WriteDwordValue(key, valueName, value);
  SettingsCloseKey(key);
}

int ReadValue(SettingsKey key, const char* valueName, void* buffer,
              uint32_t size) {
  return SettingsQueryValue(key, valueName, buffer, &size, nullptr);
}

int WriteStringValue(SettingsKey key, const char* valueName, const char* text) {
  return SettingsSetValue(key, valueName, kSettingsString, text,
                          static_cast<uint32_t>(std::strlen(text) + 1));
}

int WriteDwordValue(SettingsKey key, const char* valueName, uint32_t value) {
  unsigned char bytes[4] = {static_cast<unsigned char>(value),
                            static_cast<unsigned char>(value >> 8),
                            static_cast<unsigned char>(value >> 16),
                            static_cast<unsigned char>(value >> 24)};
  return SettingsSetValue(key, valueName, kSettingsDword, bytes, sizeof(bytes));
}
