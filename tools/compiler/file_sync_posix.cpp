// Durable writes on POSIX systems.
#include <fcntl.h>
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

}  // namespace v7c
