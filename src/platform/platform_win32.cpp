// The platform layer on Windows: file mapping, address space, the registry
// under HKEY_CURRENT_USER, clock and zone, new files and error texts.
//
// Sections: file mapping; address space; registry keys and values;
// registry trees; clock and zone; new files and errors.
#include <windows.h>

#include <cstring>
#include <new>

#include "platform/platform.h"
#include "platform/platform_seams.h"

namespace {

// What an empty file maps to (Windows cannot map a file of zero bytes).
const unsigned char kEmptyView[1] = {0};

HANDLE AsHandle(intptr_t value) { return reinterpret_cast<HANDLE>(value); }

int IsOpenHandle(FileHandle file) { return file != kInvalidFile && file != 0; }

// Registry functions return their error; keep it as the thread's last error
// so that PlatformErrorText can describe it.
int RegistryResult(LONG result) {
  if (result == ERROR_SUCCESS) return 1;
  SetLastError(DWORD(result));
  return 0;
}

// ---------------------------------------------------------------------------
// File mapping.

int MapOpenFile(MappedFile* slot) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(AsHandle(slot->File), &size)) return 0;
  if (size.QuadPart == 0) {
    slot->View = kEmptyView;
    return 1;
  }
  if (uint64_t(size.QuadPart) > SIZE_MAX) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  HANDLE mapping = CreateFileMappingA(
      AsHandle(slot->File), nullptr, PAGE_READONLY | SEC_COMMIT, 0, 0, nullptr);
  if (mapping == nullptr) return 0;
  slot->Mapping = reinterpret_cast<intptr_t>(mapping);
  void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  if (view == nullptr) return 0;
  slot->View = static_cast<const unsigned char*>(view);
  slot->Size = size_t(size.QuadPart);
  return 1;
}

}  // namespace

int MapFileReadOnly(const char* path, MappedFile* slot) {
  *slot = MappedFile{kInvalidFile, 0, nullptr, 0};
  if (SeamFails(kFaultMap)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  if (path == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  HANDLE file =
      CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  slot->File = reinterpret_cast<intptr_t>(file);
  return MapOpenFile(slot);
}

void UnmapFile(MappedFile* slot) {
  if (slot->View != nullptr && slot->View != kEmptyView)
    UnmapViewOfFile(slot->View);
  if (slot->Mapping != 0) CloseHandle(AsHandle(slot->Mapping));
  if (IsOpenHandle(slot->File)) CloseHandle(AsHandle(slot->File));
  *slot = MappedFile{kInvalidFile, 0, nullptr, 0};
}

namespace {

int StampOfHandle(HANDLE file, FileStamp* stamp) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info)) return 0;
  stamp->Device = info.dwVolumeSerialNumber;
  stamp->Number = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  stamp->Size = (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  uint64_t written = (uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32) |
                     info.ftLastWriteTime.dwLowDateTime;
  stamp->ModifiedSeconds = int64_t(written / 10000000);
  stamp->ModifiedFraction = int64_t(written % 10000000);
  return 1;
}

}  // namespace

int StampOfOpenFile(FileHandle file, FileStamp* stamp) {
  if (!IsOpenHandle(file)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return StampOfHandle(AsHandle(file), stamp);
}

// Opened without any access, so that it disturbs no other program.
int StampOfPath(const char* path, FileStamp* stamp) {
  if (path == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  HANDLE file = CreateFileA(
      path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  int ok = StampOfHandle(file, stamp);
  CloseHandle(file);
  return ok;
}

// A mapped file cannot be cut short on Windows: nothing to guard.
void ArmMappedReads(std::jmp_buf*) {}
void SuspendMappedReads() {}
void DisarmMappedReads() {}

int MappedFileCutShort(const MappedFile* slot) {
  LARGE_INTEGER size;
  if (!IsOpenHandle(slot->File) || !GetFileSizeEx(AsHandle(slot->File), &size))
    return 0;
  return size.QuadPart >= 0 && uint64_t(size.QuadPart) < slot->Size;
}

// ---------------------------------------------------------------------------
// Address space.

void* ReserveAddressSpace(size_t bytes) {
  if (SeamFails(kFaultReserve)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return VirtualAlloc(nullptr, bytes, MEM_RESERVE, PAGE_NOACCESS);
}

int CommitAddressRange(void* base, size_t offset, size_t bytes) {
  if (SeamFails(kFaultCommit)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  if (base == nullptr || offset > SIZE_MAX - bytes) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (bytes == 0) return 1;
  void* start = static_cast<char*>(base) + offset;
  return VirtualAlloc(start, bytes, MEM_COMMIT, PAGE_READWRITE) != nullptr;
}

void ReleaseAddressSpace(void* base, size_t) {
  if (base != nullptr) VirtualFree(base, 0, MEM_RELEASE);
}

// ---------------------------------------------------------------------------
// Registry keys and values.

namespace {

// Key paths are checked alike on both systems: no empty name between
// backslashes, none at either end ("" is HKEY_CURRENT_USER itself).
int ValidKeyPath(const char* path) {
  if (path != nullptr) {
    size_t length = std::strlen(path);
    if (length == 0) return 1;
    if (path[0] != '\\' && path[length - 1] != '\\' &&
        std::strstr(path, "\\\\") == nullptr)
      return 1;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}

}  // namespace

int SettingsOpenKey(const char* path, SettingsKey* key) {
  *key = 0;
  if (!ValidKeyPath(path)) return 0;
  HKEY opened = nullptr;
  if (!RegistryResult(RegOpenKeyExA(HKEY_CURRENT_USER, path, 0,
                                    KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                                    &opened)))
    return 0;
  *key = reinterpret_cast<SettingsKey>(opened);
  return 1;
}

int SettingsCreateKey(const char* path, SettingsKey* key) {
  *key = 0;
  if (!ValidKeyPath(path)) return 0;
  HKEY created = nullptr;
  if (!RegistryResult(RegCreateKeyExA(
          HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
          KEY_WRITE | KEY_QUERY_VALUE, nullptr, &created, nullptr)))
    return 0;
  *key = reinterpret_cast<SettingsKey>(created);
  return 1;
}

void SettingsCloseKey(SettingsKey key) {
  if (key != 0) RegCloseKey(reinterpret_cast<HKEY>(key));
}

int SettingsSubkeyName(SettingsKey key, uint32_t index, char* name,
                       uint32_t size) {
  if (key == 0 || name == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  DWORD length = size;
  return RegistryResult(RegEnumKeyExA(reinterpret_cast<HKEY>(key), index, name,
                                      &length, nullptr, nullptr, nullptr,
                                      nullptr));
}

int SettingsQueryValue(SettingsKey key, const char* name, void* buffer,
                       uint32_t* size, uint32_t* type) {
  if (key == 0 || size == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  DWORD length = *size;
  DWORD stored = 0;
  LONG result = RegQueryValueExA(reinterpret_cast<HKEY>(key), name, nullptr,
                                 &stored, static_cast<BYTE*>(buffer), &length);
  if (result == ERROR_MORE_DATA) *size = length;
  if (!RegistryResult(result)) return 0;
  *size = length;
  if (type != nullptr) *type = stored;
  return 1;
}

int SettingsSetValue(SettingsKey key, const char* name, uint32_t type,
                     const void* data, uint32_t size) {
  if (key == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (SeamFails(kFaultSettingsWrite)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  return RegistryResult(RegSetValueExA(reinterpret_cast<HKEY>(key), name, 0,
                                       type, static_cast<const BYTE*>(data),
                                       size));
}

// ---------------------------------------------------------------------------
// Registry trees, walked by hand so that the plugin needs nothing newer
// than the registry functions every Windows version has.

namespace {

// Deletes every subkey of an open key, depth first.
int DeleteSubkeys(HKEY key) {
  char name[256];
  for (;;) {
    DWORD length = sizeof name;
    LONG result = RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr,
                                nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) return 1;
    if (!RegistryResult(result)) return 0;
    HKEY child = nullptr;
    if (!RegistryResult(RegOpenKeyExA(
            key, name, 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, &child)))
      return 0;
    int emptied = DeleteSubkeys(child);
    RegCloseKey(child);
    if (!emptied || !RegistryResult(RegDeleteKeyA(key, name))) return 0;
  }
}

// Copies the values of one key; buffers sized from the key's own figures.
int CopyValues(HKEY from, HKEY to) {
  DWORD count = 0;
  DWORD name_size = 0;
  DWORD data_size = 0;
  if (!RegistryResult(RegQueryInfoKeyA(from, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, &count, &name_size,
                                       &data_size, nullptr, nullptr)))
    return 0;
  char* name = new (std::nothrow) char[name_size + 1];
  BYTE* data = new (std::nothrow) BYTE[data_size + 1];
  int ok = name != nullptr && data != nullptr;
  if (!ok) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  for (DWORD i = 0; ok && i < count; ++i) {
    DWORD name_length = name_size + 1;
    DWORD data_length = data_size + 1;
    DWORD type = 0;
    ok = RegistryResult(RegEnumValueA(from, i, name, &name_length, nullptr,
                                      &type, data, &data_length)) &&
         RegistryResult(RegSetValueExA(to, name, 0, type, data, data_length));
  }
  delete[] name;
  delete[] data;
  return ok;
}

// Copies the values and subkeys of `from` into `to`; new subkeys get the
// options (REG_OPTION_NON_VOLATILE or REG_OPTION_VOLATILE).
int CopyKey(HKEY from, HKEY to, DWORD options) {
  if (!CopyValues(from, to)) return 0;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    LONG result = RegEnumKeyExA(from, i, name, &length, nullptr, nullptr,
                                nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) return 1;
    if (!RegistryResult(result)) return 0;
    HKEY source = nullptr;
    HKEY target = nullptr;
    int ok = RegistryResult(RegOpenKeyExA(from, name, 0, KEY_READ, &source)) &&
             RegistryResult(RegCreateKeyExA(to, name, 0, nullptr, options,
                                            KEY_ALL_ACCESS, nullptr, &target,
                                            nullptr)) &&
             CopyKey(source, target, options);
    if (source != nullptr) RegCloseKey(source);
    if (target != nullptr) RegCloseKey(target);
    if (!ok) return 0;
  }
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

// 1 when `path` is `root` or lies below it.
int InTree(const char* path, const char* root) {
  while (*root != '\0' && LowerAscii(*root) == LowerAscii(*path)) {
    ++root;
    ++path;
  }
  return *root == '\0' && (*path == '\0' || *path == '\\');
}

int ValidSubkey(const char* path) {
  if (path != nullptr && *path != '\0') return ValidKeyPath(path);
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}

}  // namespace

int SettingsDeleteTree(const char* path) {
  if (!ValidSubkey(path)) return 0;
  HKEY key = nullptr;
  LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0,
                              KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, &key);
  if (result == ERROR_FILE_NOT_FOUND) return 1;
  if (!RegistryResult(result)) return 0;
  int emptied = DeleteSubkeys(key);
  RegCloseKey(key);
  return emptied && RegistryResult(RegDeleteKeyA(HKEY_CURRENT_USER, path));
}

namespace {

int CopyTree(const char* from, const char* to, DWORD options) {
  if (!ValidSubkey(from) || !ValidSubkey(to)) return 0;
  if (InTree(from, to) || InTree(to, from)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!SettingsDeleteTree(to)) return 0;
  HKEY target = nullptr;
  if (!RegistryResult(RegCreateKeyExA(HKEY_CURRENT_USER, to, 0, nullptr,
                                      options, KEY_ALL_ACCESS, nullptr, &target,
                                      nullptr)))
    return 0;
  HKEY source = nullptr;
  LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, from, 0, KEY_READ, &source);
  int ok = result == ERROR_FILE_NOT_FOUND ||
           (RegistryResult(result) && CopyKey(source, target, options));
  if (source != nullptr) RegCloseKey(source);
  RegCloseKey(target);
  return ok;
}

}  // namespace

int SettingsCopyTree(const char* from, const char* to) {
  return CopyTree(from, to, REG_OPTION_NON_VOLATILE);
}

int SettingsCopyTreeVolatile(const char* from, const char* to) {
  return CopyTree(from, to, REG_OPTION_VOLATILE);
}

// The registry cannot be copied for one process: farhost makes a volatile
// key instead.
int SettingsPrivateCopyOffered() { return 0; }

int SettingsUsePrivateCopy(const char*) {
  SetLastError(ERROR_NOT_SUPPORTED);
  return 0;
}

void SettingsEndPrivateCopy() {}

// ---------------------------------------------------------------------------
// Clock and zone.

int GetZoneBias(ZoneBias* zone) {
  if (SeamZone(zone)) return 1;
  TIME_ZONE_INFORMATION info;
  std::memset(&info, 0, sizeof info);
  DWORD state = GetTimeZoneInformation(&info);
  if (state == TIME_ZONE_ID_INVALID) return 0;
  zone->Bias = info.Bias;
  zone->StandardBias = info.StandardBias;
  zone->DaylightBias = info.DaylightBias;
  zone->State = state == TIME_ZONE_ID_STANDARD   ? 1
                : state == TIME_ZONE_ID_DAYLIGHT ? 2
                                                 : 0;
  return 1;
}

int GetLocalTimeOfDay(int* hour, int* minute) {
  if (SeamClock(hour, minute)) return 1;
  SYSTEMTIME now;
  GetLocalTime(&now);
  *hour = now.wHour;
  *minute = now.wMinute;
  return 1;
}

int64_t MonotonicMicroseconds() {
  static LARGE_INTEGER frequency = {};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return int64_t(now.QuadPart / frequency.QuadPart * 1000000 +
                 now.QuadPart % frequency.QuadPart * 1000000 /
                     frequency.QuadPart);
}

// ---------------------------------------------------------------------------
// New files and errors.

int CreateNewFile(const char* path, FileHandle* file) {
  HANDLE created = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  *file = reinterpret_cast<intptr_t>(created);
  return created != INVALID_HANDLE_VALUE;
}

int WriteFileBytes(FileHandle file, const void* data, size_t size) {
  if (!IsOpenHandle(file)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    DWORD chunk = size > 0x40000000 ? 0x40000000 : DWORD(size);
    DWORD written = 0;
    if (!WriteFile(AsHandle(file), at, chunk, &written, nullptr)) return 0;
    if (written == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return 0;
    }
    at += written;
    size -= written;
  }
  return 1;
}

void CloseFileHandle(FileHandle file) {
  if (IsOpenHandle(file)) CloseHandle(AsHandle(file));
}

char PathSeparator() { return '\\'; }

void PlatformErrorText(char* buffer, size_t size) {
  DWORD code = GetLastError();
  if (buffer == nullptr || size == 0) return;
  char text[512];
  DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, text, sizeof text, nullptr);
  if (length == 0) {
    static const char kDigits[] = "0123456789";
    char number[16];
    int count = 0;
    DWORD rest = code;
    do {
      number[count++] = kDigits[rest % 10];
      rest /= 10;
    } while (rest != 0);
    std::memcpy(text, "Error ", 6);
    length = 6;
    while (count > 0) text[length++] = number[--count];
  }
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' ||
                        text[length - 1] == ' '))
    --length;
  if (length >= size) length = DWORD(size - 1);
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
  SetLastError(code);
}

void PlatformSetLastError(int code) { SetLastError(DWORD(code)); }
