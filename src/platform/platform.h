// The operating system, as the rest of Tolvane sees it. Everything that
// touches the system goes through these functions; platform_posix.cpp and
// platform_win32.cpp implement them and the build picks one.
//
// Functions return 1 on success and 0 on failure and never throw. On failure
// they leave the system's error for PlatformErrorText and state below what
// they leave behind.
#ifndef TOLVANE_PLATFORM_PLATFORM_H
#define TOLVANE_PLATFORM_PLATFORM_H

#include <csetjmp>
#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------
// Handles. A file handle is a system file descriptor (POSIX) or a HANDLE
// (Windows) held in an integer. kInvalidFile is the closed value on both
// systems (-1, which is INVALID_HANDLE_VALUE on Windows). A handle of 0 is
// never closed: the zero-filled slots of load time count as closed.
typedef intptr_t FileHandle;
const FileHandle kInvalidFile = -1;

// One read-only mapping of a whole file. File is kInvalidFile (or 0) when
// closed, Mapping is 0 when there is no mapping object (always 0 on POSIX),
// View is null when nothing is mapped. Size is the number of bytes that may
// be read at View; every offset taken from the file is checked against it.
struct MappedFile {
  FileHandle File;
  intptr_t Mapping;
  const unsigned char* View;
  size_t Size;
};

// Opens an existing file for shared reading with the random-access hint and
// maps all of it read-only. On POSIX, when no file has exactly that name, a
// file in the same directory whose name differs only in ASCII letter case
// is taken instead (as Windows would find it). A zero-length file maps as an
// empty view (View not null, Size 0). Returns 1 on success. On failure
// returns 0 and leaves whatever was obtained in *slot for UnmapFile.
int MapFileReadOnly(const char* path, MappedFile* slot);

// Releases what *slot holds, in the order view, mapping, file, and marks
// the slot closed (File kInvalidFile, Mapping 0, View null, Size 0). Safe on
// a zero-filled slot, on a closed slot and when called twice.
void UnmapFile(MappedFile* slot);

// What tells whether a file was replaced or changed since it was looked
// at: its identity (device and file number; volume and file index on
// Windows), its size and its modification time at the system's full
// resolution. Compared whole with SameFileStamp.
struct FileStamp {
  uint64_t Device;
  uint64_t Number;
  uint64_t Size;
  int64_t ModifiedSeconds;
  int64_t ModifiedFraction;  // nanoseconds, or 100 ns units on Windows
};

// The stamp of the file behind an open handle. 0 on failure.
int StampOfOpenFile(FileHandle file, FileStamp* stamp);

// The stamp of the file that MapFileReadOnly would open at path now (the
// same letter-case rule). 0 when there is none or it cannot be looked at.
int StampOfPath(const char* path, FileStamp* stamp);

inline int SameFileStamp(const FileStamp& a, const FileStamp& b) {
  return a.Device == b.Device && a.Number == b.Number && a.Size == b.Size &&
         a.ModifiedSeconds == b.ModifiedSeconds &&
         a.ModifiedFraction == b.ModifiedFraction;
}

// A mapped file that another program cuts short after it was mapped: on
// POSIX a read past its new end raises SIGBUS. While a guard is armed that
// signal continues at the guard's setjmp (with 1) instead of ending the
// process. DisarmMappedReads puts the process's own handling back; it is
// safe when nothing is armed. SuspendMappedReads ends the guard but leaves
// its handler in place, so that the next ArmMappedReads costs no system
// call (a SIGBUS meanwhile meets the process's own handling as after
// DisarmMappedReads). Windows cannot cut a mapped file short, so there the
// guard never fires.
void ArmMappedReads(std::jmp_buf* resume);
void SuspendMappedReads();
void DisarmMappedReads();

// 1 when the file behind a mapped slot is now shorter than its view.
int MappedFileCutShort(const MappedFile* slot);

// ---------------------------------------------------------------------------
// Address space for item lists.

// Reserves `bytes` of address space with no access. Returns null on failure.
void* ReserveAddressSpace(size_t bytes);

// Makes [offset, offset + bytes) of a reservation readable and writable
// (whole pages around it). Fresh pages read as zeros; committing a range
// again keeps its contents. Returns 0 on failure, the range then stays as
// it was.
int CommitAddressRange(void* base, size_t offset, size_t bytes);

// Releases a whole reservation made by ReserveAddressSpace with the same
// size. Null does nothing.
void ReleaseAddressSpace(void* base, size_t bytes);

// ---------------------------------------------------------------------------
// The settings store, with registry semantics, under HKEY_CURRENT_USER.
// Key paths are backslash-separated ("Software\Far\Plugins\Tolvane"); key
// and value names are matched without regard to ASCII case. On Windows this
// is the registry. On POSIX it is one text file in the REGEDIT4 format, at
// $TOLVANE_REGISTRY, else $XDG_CONFIG_HOME/tolvane/registry.reg, else
// ~/.config/tolvane/registry.reg; every write is atomic and taken under a
// lock after re-reading the file, so concurrent writers keep each other's
// values; reading never creates the file; a file that cannot be parsed is
// kept beside itself (".bad") before it is ever replaced. A file named by
// TOLVANE_REGISTRY while TOLVANE_REGISTRY_PRIVATE is set (a private copy,
// see SettingsUsePrivateCopy) is replaced without flushing it to disk.
typedef intptr_t SettingsKey;

enum SettingsType : uint32_t {
  kSettingsString = 1,  // REG_SZ: text with its terminating NUL
  kSettingsBinary = 3,  // REG_BINARY
  kSettingsDword = 4,   // REG_DWORD: 4 bytes, little-endian
};

// Opens an existing key for reading. Returns 0 when it does not exist.
int SettingsOpenKey(const char* path, SettingsKey* key);

// Opens a key for writing, creating it (and its parents) when missing.
int SettingsCreateKey(const char* path, SettingsKey* key);

void SettingsCloseKey(SettingsKey key);

// Reads a value into buffer. *size holds the buffer's capacity on entry and
// the value's size in bytes on success. A value larger than the buffer is a
// failed read (0, with the needed size in *size), as are a missing value
// and a missing key. The stored type goes to *type when type is not null.
// Bytes are copied as stored. A null buffer asks for the size alone.
int SettingsQueryValue(SettingsKey key, const char* name, void* buffer,
                       uint32_t* size, uint32_t* type);

// Writes one value; the file (or registry) holds it when this returns 1.
int SettingsSetValue(SettingsKey key, const char* name, uint32_t type,
                     const void* data, uint32_t size);

// The name of the index-th direct subkey (0, 1, ...) of an open key, into
// name (size bytes with the terminator). Returns 0 when there is no such
// subkey or its name does not fit.
int SettingsSubkeyName(SettingsKey key, uint32_t index, char* name,
                       uint32_t size);

// Copies the key `from` with its values and subkeys to `to` (replacing what
// `to` held). A missing `from` gives an empty `to`. Fails, changing
// nothing, when one key lies within the other. For farhost's scratch
// settings.
int SettingsCopyTree(const char* from, const char* to);

// Deletes a key with its values and subkeys. A missing key is success; ""
// (HKEY_CURRENT_USER itself) is refused.
int SettingsDeleteTree(const char* path);

// Scratch settings for farhost's scripted runs, which must leave the stored
// settings untouched: no write, no flush, no rename.
//
// SettingsCopyTreeVolatile copies as SettingsCopyTree does, but on Windows
// `to`, the parents of `to` that it creates and every key below it are
// volatile (REG_OPTION_VOLATILE): the registry holds them in memory only
// and drops them at the latest when the user logs off; a volatile key can
// have no lasting subkeys, so the caller makes sure that the parents meant
// to last exist. On POSIX it is SettingsCopyTree.
int SettingsCopyTreeVolatile(const char* from, const char* to);

// 1 where this process can work on a private copy of the settings (POSIX),
// 0 where it cannot (Windows: farhost uses a volatile key there).
int SettingsPrivateCopyOffered();

// Copies the settings file as it is now into the existing folder `folder`
// (a missing file leaves the copy missing) and points this process, and a
// plugin it loads, at the copy: TOLVANE_REGISTRY names it, and
// TOLVANE_REGISTRY_PRIVATE tells the store that the file is thrown away
// after the run, so its writes are atomic as ever but not flushed to disk.
// The stored file is only read. Returns 0, changing nothing, where
// SettingsPrivateCopyOffered is 0 or the copy cannot be made.
// SettingsEndPrivateCopy puts the previous environment back (the caller
// removes the folder).
int SettingsUsePrivateCopy(const char* folder);
void SettingsEndPrivateCopy();

// ---------------------------------------------------------------------------
// Clock and zone.

struct ZoneBias {
  int32_t Bias;          // minutes: UTC = local time + Bias
  int32_t StandardBias;  // added to Bias in standard time
  int32_t DaylightBias;  // added to Bias in daylight time
  int32_t State;         // 0 no daylight saving in the zone, 1 standard
                         // time now, 2 daylight time now
};

// The zone's bias now. Returns 0 when the system cannot tell.
int GetZoneBias(ZoneBias* zone);

// Local time of day now.
int GetLocalTimeOfDay(int* hour, int* minute);

// Microseconds on a clock that only goes forward, from an arbitrary start;
// read without a system call where the system allows.
int64_t MonotonicMicroseconds();

// ---------------------------------------------------------------------------
// New files and errors.

// Creates a file that must not exist yet, for writing; never overwrites.
int CreateNewFile(const char* path, FileHandle* file);

// Writes all of data; 0 on a short or failed write.
int WriteFileBytes(FileHandle file, const void* data, size_t size);

// Closes a file handle; kInvalidFile and 0 are ignored.
void CloseFileHandle(FileHandle file);

// The separator this system puts between directory and file names.
char PathSeparator();

// The system's text for the last error of this thread, cut to fit `size`
// (always terminated when size > 0).
void PlatformErrorText(char* buffer, size_t size);

// Sets the system's last-error value to "file not found" or "out of memory"
// style codes so that tests and callers can reproduce a failure's message.
void PlatformSetLastError(int code);

// ---------------------------------------------------------------------------
// Fault injection, compiled only into test builds (TOLVANE_TEST_SEAMS). In
// other builds these do nothing and PlatformFaultsAvailable returns 0.
//
// A test build also reads these environment variables once, at the first
// platform call: TOLVANE_FAIL_MAP, TOLVANE_FAIL_RESERVE, TOLVANE_FAIL_COMMIT,
// TOLVANE_FAIL_SETTINGS_WRITE (the number N of the call that fails, counted
// from 1; "N+" for that call and every later one), TOLVANE_TEST_CLOCK
// ("HH:MM", the local time of day) and
// TOLVANE_TEST_ZONE ("Bias,StandardBias,DaylightBias,State").
enum PlatformFault {
  kFaultMap = 0,
  kFaultReserve = 1,
  kFaultCommit = 2,
  kFaultSettingsWrite = 3,  // SettingsSetValue
  kFaultCount = 4,
};

int PlatformFaultsAvailable();

// Makes the nth call (from 1) of the kind fail from now on, counting anew;
// 0 switches the fault off. With `repeat` every call from the nth on fails.
void PlatformFailNth(PlatformFault kind, int nth, int repeat);

// Fixes the clock and the zone that GetLocalTimeOfDay and GetZoneBias
// report; a null zone or negative hour lets the real one through again.
void PlatformSetTestClock(int hour, int minute);
void PlatformSetTestZone(const ZoneBias* zone);

// ---------------------------------------------------------------------------
// Library load. The plugin's entry (DllMain on Windows, a constructor on
// POSIX; library_entry_*.cpp, linked into the plugin only) switches off
// thread notifications where the system has them and calls
// PrepareLibrary once, at process attach. The plugin defines it.
void PrepareLibrary();

#endif  // TOLVANE_PLATFORM_PLATFORM_H
