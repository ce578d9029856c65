// Durable writes on POSIX systems.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

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

}  // namespace v7c
