// The compiler's own system layer: making written bytes durable before a
// temporary file is renamed over the old one, starting that work early,
// large pages for its large arrays, the number that makes a temporary
// name the process's own, and a lock that serialises the jobs on one
// folder. file_sync_posix.cpp and file_sync_win32.cpp implement it; the
// build picks one.
#ifndef TOLVANE_TOOLS_COMPILER_FILE_SYNC_H
#define TOLVANE_TOOLS_COMPILER_FILE_SYNC_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

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

// The system's number for this process: no other running process has it.
unsigned long CurrentProcessNumber();

// A lock between processes, held through a file that stays in place (an
// open handle, or -1). The system releases it when the holder ends, in
// whatever way, so a killed job never leaves it taken.
struct FileLock {
  intptr_t handle;
};

// Opens the file at path, creating it when missing (or only opening it
// for reading in a folder this process may not write), and takes its
// lock; while another process holds it, tries again every few
// milliseconds for up to wait_ms milliseconds. Returns 1 when this
// process holds it, or 0 with *busy 1 when the wait ran out, *busy 0 and
// *error when the file cannot be opened or locked.
int TakeFileLock(const std::string& path, int wait_ms, FileLock* lock,
                 int* busy, std::string* error);

// Releases a lock taken with TakeFileLock (the file stays).
void ReleaseFileLock(FileLock* lock);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_FILE_SYNC_H
