// Durable writes, process numbers and file locks on POSIX systems.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "compiler/file_sync.h"

namespace v7c {

int SyncFileToDisk(FILE* file) {
  if (fflush(file) != 0) return 0;
  return fsync(fileno(file)) == 0;
}

void StartWriteback(FILE* file, uint64_t offset, uint64_t size) {
#if defined(__linux__)
  sync_file_range(fileno(file), static_cast<off_t>(offset),
                  static_cast<off_t>(size), SYNC_FILE_RANGE_WRITE);
#else
  (void)file;
  (void)offset;
  (void)size;
#endif
}

void AdviseLargeBuffer(void* data, size_t size) {
#if defined(MADV_HUGEPAGE)
  const uintptr_t kLarge = uintptr_t{2} << 20;
  uintptr_t first =
      (reinterpret_cast<uintptr_t>(data) + kLarge - 1) & ~(kLarge - 1);
  uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size) & ~(kLarge - 1);
  if (end > first)
    madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)size;
#endif
}

unsigned long CurrentProcessNumber() {
  return static_cast<unsigned long>(getpid());
}

// flock: the lock belongs to the open file, so it is released when the
// holder closes it or ends, and two opens exclude each other even within
// one process.
int TakeFileLock(const std::string& path, int wait_ms, FileLock* lock,
                 int* busy, std::string* error) {
  lock->handle = -1;
  *busy = 0;
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  int why = errno;
  if (fd < 0 && (why == EACCES || why == EROFS || why == EPERM))
    fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);  // a folder read only
  if (fd < 0) {
    *error = "cannot open " + path + ": " + strerror(why);
    return 0;
  }
  auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) {
      *error = "cannot lock " + path + ": " + strerror(errno);
      close(fd);
      return 0;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      *busy = 1;
      close(fd);
      return 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  lock->handle = fd;
  return 1;
}

void ReleaseFileLock(FileLock* lock) {
  if (lock->handle < 0) return;
  close(static_cast<int>(lock->handle));  // releases the flock
  lock->handle = -1;
}

}  // namespace v7c
