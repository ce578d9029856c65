// The settings store on POSIX: registry keys and values in one REGEDIT4
// file (see regedit_file.h), so that settings exported from a Windows
// installation can be imported as they are.
//
// Reads take the file as it is at that moment and never create anything.
// Every change runs under an exclusive lock on "<file>.lock": re-read the
// file, apply the change, write a temporary file beside it, flush it and
// rename it over the file. A file that does not parse is first copied to
// "<file>.bad" (or ".bad.1", ...) and then counts as empty.
//
// Sections: the file; changes under the lock; keys and values; private
// copies.
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/platform_seams.h"
#include "platform/regedit_file.h"

namespace {

// Values above this size are refused, so that the file stays well below
// the size the parser accepts.
const uint32_t kMaxValueSize = 1u << 20;

// ---------------------------------------------------------------------------
// The file.

// A private copy (SettingsUsePrivateCopy) is not flushed to disk: it is
// thrown away after the run.
int FileIsPrivateCopy() {
  const char* flag = std::getenv("TOLVANE_REGISTRY_PRIVATE");
  return flag != nullptr && *flag != '\0';
}

// $TOLVANE_REGISTRY, else $XDG_CONFIG_HOME/tolvane/registry.reg, else
// ~/.config/tolvane/registry.reg. Looked up at every call.
int SettingsFilePath(std::string* path) {
  const char* chosen = std::getenv("TOLVANE_REGISTRY");
  if (chosen != nullptr && *chosen != '\0') {
    *path = chosen;
    return 1;
  }
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') {
    *path = std::string(config) + "/tolvane/registry.reg";
    return 1;
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    const passwd* user = getpwuid(getuid());
    home = user != nullptr ? user->pw_dir : nullptr;
  }
  if (home == nullptr || *home == '\0') {
    errno = ENOENT;
    return 0;
  }
  *path = std::string(home) + "/.config/tolvane/registry.reg";
  return 1;
}

int OpenFile(const std::string& path, int flags, mode_t mode) {
  int fd;
  do {
    fd = open(path.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

void CloseKeepingError(int fd) {
  int saved = errno;
  close(fd);
  errno = saved;
}

int WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t done = write(fd, data, size);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return 0;
    data += done;
    size -= size_t(done);
  }
  return 1;
}

// Reads up to one byte more than the parser accepts (so that a larger file
// is refused by it). A missing file reads as empty with *missing set.
int ReadSettingsFile(const std::string& path, std::string* bytes,
                     int* missing) {
  bytes->clear();
  *missing = 0;
  int fd = OpenFile(path, O_RDONLY, 0);
  if (fd < 0) {
    *missing = errno == ENOENT;
    return *missing;
  }
  char chunk[16384];
  while (bytes->size() <= kMaxRegeditFileSize) {
    ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      CloseKeepingError(fd);
      return 0;
    }
    if (got == 0) break;
    bytes->append(chunk, size_t(got));
  }
  close(fd);
  return 1;
}

// The document in the file; *parsed is 0 when the file did not parse (the
// document is then empty).
int LoadSettings(const std::string& path, RegDocument* doc, int* parsed) {
  std::string bytes;
  int missing = 0;
  if (!ReadSettingsFile(path, &bytes, &missing)) return 0;
  *parsed = ParseRegeditText(bytes.data(), bytes.size(), doc);
  return 1;
}

// Copies from to a new file `to`, flushed to disk unless `flush` is 0;
// fails with EEXIST when `to` exists.
int CopyToNewFile(const std::string& from, const std::string& to, int flush) {
  int in = OpenFile(from, O_RDONLY, 0);
  if (in < 0) return 0;
  int out = OpenFile(to, O_WRONLY | O_CREAT | O_EXCL, 0600);
  if (out < 0) {
    CloseKeepingError(in);
    return 0;
  }
  char chunk[16384];
  int ok = 1;
  for (;;) {
    ssize_t got = read(in, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    if (!WriteAll(out, chunk, size_t(got))) {
      ok = 0;
      break;
    }
  }
  if (ok && flush) ok = fsync(out) == 0;
  CloseKeepingError(in);
  CloseKeepingError(out);
  if (!ok) unlink(to.c_str());
  return ok;
}

// Keeps an unparseable file as "<file>.bad", or ".bad.N" for the first free
// N, before it is replaced.
int KeepBadCopy(const std::string& path) {
  for (int n = 0; n < 1000; ++n) {
    std::string name = path + ".bad";
    if (n > 0) name += "." + std::to_string(n);
    if (CopyToNewFile(path, name, !FileIsPrivateCopy())) return 1;
    if (errno != EEXIST) return 0;
  }
  return 0;
}

void SyncDirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
  if (dir.empty()) dir = "/";
  int fd = OpenFile(dir, O_RDONLY | O_DIRECTORY, 0);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// Writes text to a temporary file beside path, flushes it (unless it is a
// private copy) and renames it over path, keeping the old file's
// permissions. Only the holder of the
// lock writes, so the temporary file has one fixed name: a writer killed
// before its rename leaves that one file, which the next writer truncates
// and reuses.
int ReplaceFile(const std::string& path, const std::string& text) {
  std::string temp = path + ".tmp";
  int fd = OpenFile(temp, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) return 0;
  struct stat old;
  if (stat(path.c_str(), &old) == 0) fchmod(fd, old.st_mode & 07777);
  int flush = !FileIsPrivateCopy();
  int ok = WriteAll(fd, text.data(), text.size()) && (!flush || fsync(fd) == 0);
  CloseKeepingError(fd);
  if (ok) ok = rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    int saved = errno;
    unlink(temp.c_str());
    errno = saved;
    return 0;
  }
  if (flush) SyncDirectoryOf(path);
  return 1;
}

// Creates the directories above path (mode 0700 for new ones).
int MakeParentDirectories(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    std::string dir = path.substr(0, slash);
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return 0;
  }
  return 1;
}

// ---------------------------------------------------------------------------
// Changes under the lock.

enum ChangeResult { kChangeFailed = 0, kChanged = 1, kUnchanged = 2 };
typedef int (*DocumentChange)(RegDocument* doc, const void* request);

int ChangeLocked(const std::string& path, DocumentChange change,
                 const void* request) {
  RegDocument doc;
  int parsed = 0;
  if (!LoadSettings(path, &doc, &parsed)) return 0;
  if (!parsed && !KeepBadCopy(path)) return 0;
  int result = change(&doc, request);
  if (result == kChangeFailed) return 0;
  // A file kept as .bad is replaced even when nothing changed, so that it
  // is not copied again at the next write.
  if (result == kUnchanged && parsed) return 1;
  std::string text = FormatRegeditText(doc);
  if (text.size() > kMaxRegeditFileSize) {
    errno = EFBIG;
    return 0;
  }
  return ReplaceFile(path, text);
}

int ChangeSettingsFile(DocumentChange change, const void* request) {
  std::string path;
  if (!SettingsFilePath(&path) || !MakeParentDirectories(path)) return 0;
  int lock = OpenFile(path + ".lock", O_RDWR | O_CREAT, 0600);
  if (lock < 0) return 0;
  int locked;
  do {
    locked = flock(lock, LOCK_EX);
  } while (locked != 0 && errno == EINTR);
  int ok = locked == 0 && ChangeLocked(path, change, request);
  CloseKeepingError(lock);  // closing releases the lock
  return ok;
}

// ---------------------------------------------------------------------------
// Keys and values.

struct OpenSettingsKey {
  std::string Path;  // full path, "HKEY_CURRENT_USER\..."
  int Writable;      // opened by SettingsCreateKey
};

struct ValueRequest {
  const std::string* Path;
  std::string Name;
  uint32_t Type;
  const void* Data;
  uint32_t Size;
};

struct TreeRequest {
  std::string From;
  std::string To;
};

int EnsureKeyChange(RegDocument* doc, const void* request) {
  const std::string* path = static_cast<const std::string*>(request);
  if (FindRegKey(*doc, *path) >= 0) return kUnchanged;
  EnsureRegKey(doc, *path);
  return kChanged;
}

int SetValueChange(RegDocument* doc, const void* request) {
  const ValueRequest* value = static_cast<const ValueRequest*>(request);
  size_t index = EnsureRegKey(doc, *value->Path);
  SetRegValue(&doc->Keys[index], value->Name, value->Type, value->Data,
              value->Size);
  return kChanged;
}

int CopyTreeChange(RegDocument* doc, const void* request) {
  const TreeRequest* tree = static_cast<const TreeRequest*>(request);
  if (CopyRegTree(doc, tree->From, tree->To)) return kChanged;
  errno = EINVAL;
  return kChangeFailed;
}

int DeleteTreeChange(RegDocument* doc, const void* request) {
  const TreeRequest* tree = static_cast<const TreeRequest*>(request);
  return DeleteRegTree(doc, tree->From) ? kChanged : kUnchanged;
}

int ReturnKey(const std::string& path, int writable, SettingsKey* key) {
  *key = reinterpret_cast<SettingsKey>(new OpenSettingsKey{path, writable});
  return 1;
}

// A key path below the root (the root itself may not be replaced).
int SubkeyPath(const char* path, std::string* full) {
  if (path == nullptr || *path == '\0' || !UserKeyPath(path, full)) {
    errno = EINVAL;
    return 0;
  }
  return 1;
}

int OpenKey(const char* path, SettingsKey* key) {
  std::string full;
  std::string file;
  RegDocument doc;
  int parsed = 0;
  if (!UserKeyPath(path, &full)) {
    errno = EINVAL;
    return 0;
  }
  if (!SettingsFilePath(&file) || !LoadSettings(file, &doc, &parsed)) return 0;
  if (full.find('\\') != std::string::npos && !RegKeyExists(doc, full)) {
    errno = ENOENT;
    return 0;
  }
  return ReturnKey(full, 0, key);
}

int QueryValue(const OpenSettingsKey* open, const char* name, void* buffer,
               uint32_t* size, uint32_t* type) {
  std::string file;
  RegDocument doc;
  int parsed = 0;
  if (!SettingsFilePath(&file) || !LoadSettings(file, &doc, &parsed)) return 0;
  int index = FindRegKey(doc, open->Path);
  const RegValue* value =
      index < 0 ? nullptr : FindRegValue(doc.Keys[size_t(index)], name);
  if (value == nullptr) {
    errno = ENOENT;
    return 0;
  }
  uint32_t needed = uint32_t(value->Data.size());
  if (buffer != nullptr && needed > *size) {
    *size = needed;
    errno = EOVERFLOW;
    return 0;
  }
  if (buffer != nullptr) std::memcpy(buffer, value->Data.data(), needed);
  *size = needed;
  if (type != nullptr) *type = value->Type;
  return 1;
}

int CheckedValueRequest(ValueRequest* request) {
  if ((request->Data == nullptr && request->Size > 0) ||
      request->Name.find_first_of("\r\n") != std::string::npos) {
    errno = EINVAL;
    return 0;
  }
  if (request->Size > kMaxValueSize) {
    errno = EFBIG;
    return 0;
  }
  return 1;
}

}  // namespace

int SettingsOpenKey(const char* path, SettingsKey* key) {
  *key = 0;
  try {
    return OpenKey(path, key);
  } catch (...) {
    errno = ENOMEM;
    return 0;
  }
}

int SettingsCreateKey(const char* path, SettingsKey* key) {
  *key = 0;
  try {
    std::string full;
    if (!UserKeyPath(path, &full)) {
      errno = EINVAL;
      return 0;
    }
    if (!ChangeSettingsFile(EnsureKeyChange, &full)) return 0;
    return ReturnKey(full, 1, key);
  } catch (...) {
    errno = ENOMEM;
    return 0;
  }
}

void SettingsCloseKey(SettingsKey key) {
  delete reinterpret_cast<OpenSettingsKey*>(key);
}

int SettingsQueryValue(SettingsKey key, const char* name, void* buffer,
                       uint32_t* size, uint32_t* type) {
  if (key == 0 || size == nullptr) {
    errno = key == 0 ? EBADF : EINVAL;
    return 0;
  }
  try {
    return QueryValue(reinterpret_cast<const OpenSettingsKey*>(key),
                      name != nullptr ? name : "", buffer, size, type);
  } catch (...) {
    errno = ENOMEM;
    return 0;
  }
}

int SettingsSetValue(SettingsKey key, const char* name, uint32_t type,
                     const void* data, uint32_t size) {
  if (key == 0) {
    errno = EBADF;
    return 0;
  }
  const OpenSettingsKey* open = reinterpret_cast<const OpenSettingsKey*>(key);
  if (!open->Writable || SeamFails(kFaultSettingsWrite)) {
    errno = EACCES;
    return 0;
  }
  try {
    ValueRequest request{&open->Path, name != nullptr ? name : "", type, data,
                         size};
    return CheckedValueRequest(&request) &&
           ChangeSettingsFile(SetValueChange, &request);
  } catch (...) {
    errno = ENOMEM;
    return 0;
  }
}

int SettingsSubkeyName(SettingsKey key, uint32_t index, char* name,
                       uint32_t size) {
  if (key == 0 || name == nullptr) {
    errno = key == 0 ? EBADF : EINVAL;
    return 0;
  }
  try {
    const OpenSettingsKey* open = reinterpret_cast<const OpenSettingsKey*>(key);
    std::string file;
    RegDocument doc;
    int parsed = 0;
    if (!SettingsFilePath(&file) || !LoadSettings(file, &doc, &parsed))
      return 0;
    std::vector<std::string> names = RegSubkeyNames(doc, open->Path);
    if (index >= names.size()) {
      errno = ENOENT;
      return 0;
    }
    const std::string& found = names[index];
    if (found.size() >= size) {
      errno = ERANGE;
      return 0;
    }
    std::memcpy(name, found.c_str(), found.size() + 1);
    return 1;
  } catch (...) {
    errno = ENOMEM;
    return 0;
  }
}

int SettingsCopyTree(const char* from, const char* to) {
  try {
    TreeRequest request;
    if (!SubkeyPath(from, &request.From) || !SubkeyPath(to, &request.To))
      return 0;
    return ChangeSettingsFile(CopyTreeChange, &request);
  } catch (...) {
    errno = ENOMEM;
    return 0;
  }
}

int SettingsDeleteTree(const char* path) {
  try {
    TreeRequest request;
    if (!SubkeyPath(path, &request.From)) return 0;
    return ChangeSettingsFile(DeleteTreeChange, &request);
  } catch (...) {
    errno = ENOMEM;
    return 0;
  }
}

int SettingsCopyTreeVolatile(const char* from, const char* to) {
  return SettingsCopyTree(from, to);
}

// ---------------------------------------------------------------------------
// Private copies.

namespace {

// The environment before SettingsUsePrivateCopy, for SettingsEndPrivateCopy.
struct SavedVariable {
  int Set;
  std::string Value;
};
SavedVariable g_savedPath, g_savedFlag;
int g_usingCopy = 0;

void Save(const char* name, SavedVariable* saved) {
  const char* value = std::getenv(name);
  saved->Set = value != nullptr;
  saved->Value = value != nullptr ? value : "";
}

void Restore(const char* name, const SavedVariable& saved) {
  if (saved.Set)
    setenv(name, saved.Value.c_str(), 1);
  else
    unsetenv(name);
}

// Copies the stored file into the folder as it is; a missing file leaves
// nothing to copy.
int CopyStoredFile(const std::string& copy) {
  std::string stored;
  if (!SettingsFilePath(&stored)) return 0;
  if (CopyToNewFile(stored, copy, 0)) return 1;
  return errno == ENOENT && access(stored.c_str(), F_OK) != 0;
}

}  // namespace

int SettingsPrivateCopyOffered() { return 1; }

int SettingsUsePrivateCopy(const char* folder) {
  try {
    if (folder == nullptr || *folder == '\0' || g_usingCopy) {
      errno = EINVAL;
      return 0;
    }
    std::string copy = std::string(folder) + "/registry.reg";
    if (!CopyStoredFile(copy)) return 0;
    Save("TOLVANE_REGISTRY", &g_savedPath);
    Save("TOLVANE_REGISTRY_PRIVATE", &g_savedFlag);
    if (setenv("TOLVANE_REGISTRY", copy.c_str(), 1) != 0 ||
        setenv("TOLVANE_REGISTRY_PRIVATE", "1", 1) != 0) {
      Restore("TOLVANE_REGISTRY", g_savedPath);
      Restore("TOLVANE_REGISTRY_PRIVATE", g_savedFlag);
      return 0;
    }
    g_usingCopy = 1;
    return 1;
  } catch (...) {
    errno = ENOMEM;
    return 0;
  }
}

void SettingsEndPrivateCopy() {
  if (!g_usingCopy) return;
  Restore("TOLVANE_REGISTRY", g_savedPath);
  Restore("TOLVANE_REGISTRY_PRIVATE", g_savedFlag);
  g_usingCopy = 0;
}
