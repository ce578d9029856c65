// Durable writes on Windows: the C runtime's commit is FlushFileBuffers.
#include <io.h>

#include "compiler/file_sync.h"

namespace v7c {

int SyncFileToDisk(FILE* file) {
  if (fflush(file) != 0) return 0;
  return _commit(_fileno(file)) == 0;
}

void StartWriteback(FILE*, uint64_t, uint64_t) {}

void AdviseLargeBuffer(void*, size_t) {}

}  // namespace v7c
