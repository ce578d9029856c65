// Durable writes on Windows (the C runtime's commit is FlushFileBuffers),
// process numbers and file locks.
#include <io.h>
#include <windows.h>

#include <chrono>

#include "compiler/file_sync.h"

namespace v7c {

int SyncFileToDisk(FILE* file) {
  if (fflush(file) != 0) return 0;
  return _commit(_fileno(file)) == 0;
}

void StartWriteback(FILE*, uint64_t, uint64_t) {}

void AdviseLargeBuffer(void*, size_t) {}

unsigned long CurrentProcessNumber() { return GetCurrentProcessId(); }

// LockFileEx on the file's first byte: the lock belongs to the handle, and
// the system releases it when the handle is closed or the process ends.
int TakeFileLock(const std::string& path, int wait_ms, FileLock* lock,
                 int* busy, std::string* error) {
  lock->handle = -1;
  *busy = 0;
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD why = GetLastError();
  if (file == INVALID_HANDLE_VALUE && why == ERROR_ACCESS_DENIED)
    file = CreateFileA(path.c_str(), GENERIC_READ, share, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = "cannot open " + path + " (error " + std::to_string(why) + ")";
    return 0;
  }
  auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
  for (;;) {
    OVERLAPPED at = {};
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                   1, 0, &at))
      break;
    why = GetLastError();
    if (why != ERROR_LOCK_VIOLATION && why != ERROR_IO_PENDING) {
      *error = "cannot lock " + path + " (error " + std::to_string(why) + ")";
      CloseHandle(file);
      return 0;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      *busy = 1;
      CloseHandle(file);
      return 0;
    }
    Sleep(20);
  }
  lock->handle = reinterpret_cast<intptr_t>(file);
  return 1;
}

void ReleaseFileLock(FileLock* lock) {
  if (lock->handle == -1) return;
  CloseHandle(reinterpret_cast<HANDLE>(lock->handle));  // releases the lock
  lock->handle = -1;
}

}  // namespace v7c
