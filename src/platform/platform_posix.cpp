// The platform layer on POSIX systems: file mapping, clock and zone, new
// files and error texts. The settings store is in settings_posix.cpp, the
// item lists' address space in address_space_posix.cpp.
//
// Sections: descriptors; file mapping; clock and zone; new files and
// errors.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/platform_seams.h"

namespace {

// What an empty file maps to: a readable address with no bytes to read.
const unsigned char kEmptyView[1] = {0};

// ---------------------------------------------------------------------------
// Descriptors.

// Descriptor 0 stands for "closed" in zero-filled slots, so a file that
// opens as 0 (standard input was closed) is moved to a higher number.
int AvoidDescriptorZero(int fd) {
  if (fd != 0) return fd;
  int moved = fcntl(0, F_DUPFD_CLOEXEC, 3);
  int saved = errno;
  close(0);
  errno = saved;
  return moved;
}

int OpenDescriptor(const char* path, int flags, mode_t mode) {
  int fd;
  do {
    fd = open(path, flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd < 0 ? fd : AvoidDescriptorZero(fd);
}

int IsOpenHandle(FileHandle file) { return file != kInvalidFile && file != 0; }

// ---------------------------------------------------------------------------
// File mapping.

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

int EqualNoCase(const char* a, const char* b) {
  while (*a != '\0' && LowerAscii(*a) == LowerAscii(*b)) {
    ++a;
    ++b;
  }
  return *a == '\0' && *b == '\0';
}

// The name in path's directory that equals path's last component without
// regard to ASCII case; of several, the first in byte order so that the
// choice does not depend on the directory's order. 0 when there is none.
int FindNameNoCase(const char* path, std::string* found) {
  const char* slash = std::strrchr(path, '/');
  std::string dir = slash == nullptr ? "." : std::string(path, slash);
  if (slash == path) dir = "/";
  const char* name = slash == nullptr ? path : slash + 1;
  DIR* listing = opendir(dir.c_str());
  if (listing == nullptr) return 0;
  std::string best;
  while (const dirent* entry = readdir(listing)) {
    if (!EqualNoCase(entry->d_name, name)) continue;
    if (best.empty() || best.compare(entry->d_name) > 0) best = entry->d_name;
  }
  closedir(listing);
  if (best.empty()) return 0;
  *found = slash == nullptr ? best : std::string(path, slash + 1) + best;
  return 1;
}

// Opens the exact name, else a name differing only in letter case (the
// nodelist compilers of other systems write NODEX.DAT, nodex.ndx, ...).
int OpenForMapping(const char* path) {
  int fd = OpenDescriptor(path, O_RDONLY, 0);
  if (fd >= 0 || errno != ENOENT) return fd;
  std::string other;
  try {
    if (!FindNameNoCase(path, &other)) {
      errno = ENOENT;
      return -1;
    }
  } catch (...) {
    errno = ENOMEM;
    return -1;
  }
  return OpenDescriptor(other.c_str(), O_RDONLY, 0);
}

// Maps the whole of an open descriptor into slot.
int MapDescriptor(MappedFile* slot) {
  struct stat info;
  if (fstat(int(slot->File), &info) != 0) return 0;
  if (!S_ISREG(info.st_mode)) {
    errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    return 0;
  }
  if (info.st_size == 0) {
    slot->View = kEmptyView;
    return 1;
  }
  if (uintmax_t(info.st_size) > SIZE_MAX) {
    errno = EFBIG;
    return 0;
  }
  size_t size = size_t(info.st_size);
  void* view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, int(slot->File), 0);
  if (view == MAP_FAILED) return 0;
  posix_madvise(view, size, POSIX_MADV_RANDOM);
  slot->View = static_cast<const unsigned char*>(view);
  slot->Size = size;
  return 1;
}

}  // namespace

int MapFileReadOnly(const char* path, MappedFile* slot) {
  *slot = MappedFile{kInvalidFile, 0, nullptr, 0};
  if (SeamFails(kFaultMap)) {
    errno = EACCES;
    return 0;
  }
  if (path == nullptr) {
    errno = EINVAL;
    return 0;
  }
  int fd = OpenForMapping(path);
  if (fd < 0) return 0;
  slot->File = fd;
  return MapDescriptor(slot);
}

void UnmapFile(MappedFile* slot) {
  if (slot->View != nullptr && slot->View != kEmptyView && slot->Size > 0)
    munmap(const_cast<unsigned char*>(slot->View), slot->Size);
  if (IsOpenHandle(slot->File)) close(int(slot->File));
  *slot = MappedFile{kInvalidFile, 0, nullptr, 0};
}

namespace {

void StampOfStat(const struct stat& info, FileStamp* stamp) {
  stamp->Device = uint64_t(info.st_dev);
  stamp->Number = uint64_t(info.st_ino);
  stamp->Size = uint64_t(info.st_size);
  stamp->ModifiedSeconds = int64_t(info.st_mtim.tv_sec);
  stamp->ModifiedFraction = int64_t(info.st_mtim.tv_nsec);
}

}  // namespace

int StampOfOpenFile(FileHandle file, FileStamp* stamp) {
  struct stat info;
  if (!IsOpenHandle(file) || fstat(int(file), &info) != 0) return 0;
  StampOfStat(info, stamp);
  return 1;
}

int StampOfPath(const char* path, FileStamp* stamp) {
  if (path == nullptr) {
    errno = EINVAL;
    return 0;
  }
  struct stat info;
  if (stat(path, &info) != 0) {
    if (errno != ENOENT) return 0;
    std::string other;
    try {
      if (!FindNameNoCase(path, &other)) return 0;
    } catch (...) {
      errno = ENOMEM;
      return 0;
    }
    if (stat(other.c_str(), &info) != 0) return 0;
  }
  StampOfStat(info, stamp);
  return 1;
}

// ---------------------------------------------------------------------------
// Guarded reads of mapped files.

namespace {

std::jmp_buf* volatile g_resume = nullptr;
struct sigaction g_previousBus;
int g_armed = 0;

// Continues at the armed guard. Without one the process's own handling is
// put back; returning then repeats the read, which meets that handling.
void ResumeAfterCut(int) {
  std::jmp_buf* resume = g_resume;
  if (resume == nullptr) {
    sigaction(SIGBUS, &g_previousBus, nullptr);
    return;
  }
  g_resume = nullptr;
  std::longjmp(*resume, 1);
}

}  // namespace

void ArmMappedReads(std::jmp_buf* resume) {
  if (!g_armed) {
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_handler = ResumeAfterCut;
    sigemptyset(&action.sa_mask);
    // The handler leaves by longjmp: SIGBUS must not stay blocked.
    action.sa_flags = SA_NODEFER;
    if (sigaction(SIGBUS, &action, &g_previousBus) != 0) return;
    g_armed = 1;
  }
  g_resume = resume;
}

void SuspendMappedReads() { g_resume = nullptr; }

void DisarmMappedReads() {
  g_resume = nullptr;
  if (!g_armed) return;
  sigaction(SIGBUS, &g_previousBus, nullptr);
  g_armed = 0;
}

int MappedFileCutShort(const MappedFile* slot) {
  struct stat info;
  if (!IsOpenHandle(slot->File) || fstat(int(slot->File), &info) != 0) return 0;
  return info.st_size >= 0 && uintmax_t(info.st_size) < slot->Size;
}

// ---------------------------------------------------------------------------
// Clock and zone.

namespace {

// Whether the zone is to be read again (tzset): when TZ was changed, else
// at most once a second, since every listing of detailed items asks and
// the host's file search makes hundreds of thousands of listings.
int ZoneMayHaveChanged(time_t now) {
  static time_t readAt = time_t(-1);
  static char readTz[256];
  static int readTzSet = -1;
  const char* tz = std::getenv("TZ");
  int tzSet = tz != nullptr;
  size_t length = tz != nullptr ? std::strlen(tz) : 0;
  int sameTz = tzSet == readTzSet && length < sizeof(readTz) &&
               (tz == nullptr || std::memcmp(tz, readTz, length + 1) == 0);
  if (sameTz && now == readAt) return 0;
  readAt = now;
  readTzSet = tzSet;
  if (tz != nullptr && length < sizeof(readTz))
    std::memcpy(readTz, tz, length + 1);
  return 1;
}

}  // namespace

// The zone as the system reports it for this moment: Bias is the whole
// offset in effect now (UTC = local + Bias), StandardBias and DaylightBias
// are 0, and State is 2 in daylight-saving time, else 1. So Bias plus the
// part that State selects is always the current offset, as on Windows,
// without guessing the zone's rules for the other half of the year.
int GetZoneBias(ZoneBias* zone) {
  if (SeamZone(zone)) return 1;
  time_t now = time(nullptr);
  struct tm local;
  if (ZoneMayHaveChanged(now)) tzset();
  if (now == time_t(-1) || localtime_r(&now, &local) == nullptr) return 0;
  zone->Bias = int32_t(-local.tm_gmtoff / 60);
  zone->StandardBias = 0;
  zone->DaylightBias = 0;
  zone->State = local.tm_isdst > 0 ? 2 : 1;
  return 1;
}

int GetLocalTimeOfDay(int* hour, int* minute) {
  if (SeamClock(hour, minute)) return 1;
  time_t now = time(nullptr);
  struct tm local;
  if (now == time_t(-1) || localtime_r(&now, &local) == nullptr) return 0;
  *hour = local.tm_hour;
  *minute = local.tm_min;
  return 1;
}

int64_t MonotonicMicroseconds() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// ---------------------------------------------------------------------------
// New files and errors.

int CreateNewFile(const char* path, FileHandle* file) {
  *file = kInvalidFile;
  if (path == nullptr) {
    errno = EINVAL;
    return 0;
  }
  int fd = OpenDescriptor(path, O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (fd < 0) return 0;
  *file = fd;
  return 1;
}

int WriteFileBytes(FileHandle file, const void* data, size_t size) {
  if (!IsOpenHandle(file)) {
    errno = EBADF;
    return 0;
  }
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t written = write(int(file), at, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = EIO;
      return 0;
    }
    at += written;
    size -= size_t(written);
  }
  return 1;
}

void CloseFileHandle(FileHandle file) {
  if (IsOpenHandle(file)) close(int(file));
}

char PathSeparator() { return '/'; }

namespace {

// strerror_r comes in two shapes (GNU returns the text, XSI fills buf).
[[maybe_unused]] const char* ErrorString(int result, const char* buffer) {
  return result == 0 ? buffer : "Unknown error";
}
[[maybe_unused]] const char* ErrorString(const char* result, const char*) {
  return result;
}

}  // namespace

void PlatformErrorText(char* buffer, size_t size) {
  int code = errno;
  if (buffer == nullptr || size == 0) return;
  char text[256] = "";
  const char* message = ErrorString(strerror_r(code, text, sizeof text), text);
  size_t length = std::strlen(message);
  while (length > 0 &&
         (message[length - 1] == '\n' || message[length - 1] == '\r'))
    --length;
  if (length >= size) length = size - 1;
  std::memcpy(buffer, message, length);
  buffer[length] = '\0';
  errno = code;
}

void PlatformSetLastError(int code) { errno = code; }
