// The compiler's own system layer: making written bytes durable before a
// temporary file is renamed over the old one, starting that work early,
// and large pages for its large arrays. file_sync_posix.cpp and
// file_sync_win32.cpp implement it; the build picks one.
#ifndef TOLVANE_TOOLS_COMPILER_FILE_SYNC_H
#define TOLVANE_TOOLS_COMPILER_FILE_SYNC_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace v7c {

// Flushes the stream and waits until the system holds its bytes on the
// disk (fsync, FlushFileBuffers). Returns 1, or 0 when either fails.
int SyncFileToDisk(FILE* file);

// Asks the system to begin writing bytes [offset, offset + size) of the
// file to the disk now, without waiting for it, so that the final sync
// finds less to do. Where the system has no such call it does nothing.
void StartWriteback(FILE* file, uint64_t offset, uint64_t size);

// Tells the system that [data, data + size), memory not yet touched, will
// be filled whole: where it offers large pages for such memory, it may
// back the range with them (fewer faults). Nothing else changes.
void AdviseLargeBuffer(void* data, size_t size);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_FILE_SYNC_H
