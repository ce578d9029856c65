// Address space for item lists on POSIX systems: reservations with no
// access, commits that make ranges readable and writable, and releases.
//
// Item lists grow from both ends of a reservation, a few hundred bytes at a
// time. Each mprotect splits or merges the mapping and every fresh page
// costs a fault, so the committed ends of the last few reservations are
// remembered and commits are made in whole steps that are filled at once
// (MADV_POPULATE_WRITE): a range that lies in an end already committed
// needs no system call. Where the system offers transparent huge pages for
// advised mappings, large reservations start an aligned region of 2 MiB
// chunks; each end grows in 64 KiB steps while it is small (a small
// list fills no huge page) and a chunk at a time beyond that. When an end
// outgrows the small steps, its first chunk is committed whole and turned
// into one huge page (MADV_COLLAPSE, which keeps what was written), so that
// one huge page takes the place of 512 small ones and their faults: on a
// virtual machine the first touch of each small page can cost several
// microseconds. Reservations beyond the table are committed page by page.
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "platform/platform_seams.h"

namespace {

const size_t kSmallStep = 64 * 1024;
const size_t kHugeStep = 2 * 1024 * 1024;
// An end grows in small steps up to this distance from the region's edge.
const size_t kSmallEnd = 256 * 1024;

#if defined(__linux__) && !defined(MADV_COLLAPSE)
#define MADV_COLLAPSE 25  // Linux 6.1 and later; older kernels refuse it
#endif

struct Reservation {
  uintptr_t Base;     // what the caller got; the mapping starts there
  size_t Size;        // what the caller asked for
  size_t RegionSize;  // the mapping: Size, or whole chunks beyond it
  size_t Step;        // commit step: 64 KiB, or a huge-page chunk
  size_t LowEnd;      // [Base, Base + LowEnd) is committed
  size_t HighStart;   // [Base + HighStart, Base + Size) is too
};
Reservation g_reservations[16];

size_t PageSize() { return size_t(sysconf(_SC_PAGESIZE)); }

// 1 when advised anonymous mappings get huge pages of kHugeStep bytes.
int HugePagesOffered() {
#ifndef MADV_HUGEPAGE
  return 0;
#endif
  static int offered = -1;
  if (offered >= 0) return offered;
  offered = 0;
  FILE* file = std::fopen("/sys/kernel/mm/transparent_hugepage/enabled", "r");
  char text[128] = {0};
  if (file != nullptr) {
    if (std::fgets(text, sizeof(text), file) == nullptr) text[0] = '\0';
    std::fclose(file);
  }
  long hugeSize = 0;
  file = std::fopen("/sys/kernel/mm/transparent_hugepage/hpage_pmd_size", "r");
  if (file != nullptr) {
    if (std::fscanf(file, "%ld", &hugeSize) != 1) hugeSize = 0;
    std::fclose(file);
  }
  offered = size_t(hugeSize) == kHugeStep &&
            (std::strstr(text, "[always]") || std::strstr(text, "[madvise]"));
  return offered;
}

Reservation* FindReservation(void* base) {
  for (Reservation& r : g_reservations)
    if (r.Base != 0 && r.Base == uintptr_t(base)) return &r;
  return nullptr;
}

Reservation* FreeSlot() {
  for (Reservation& r : g_reservations)
    if (r.Base == 0) return &r;
  return nullptr;
}

// Makes [first, end) readable and writable and fills it with pages now.
// Filling is best effort: a kernel without it faults the pages in later.
int ProtectReadWrite(uintptr_t first, uintptr_t end) {
  void* start = reinterpret_cast<void*>(first);
  if (mprotect(start, end - first, PROT_READ | PROT_WRITE) != 0) return 0;
#ifdef MADV_POPULATE_WRITE
  madvise(start, end - first, MADV_POPULATE_WRITE);
#endif
  return 1;
}

size_t RoundUp(size_t value, size_t step, size_t limit) {
  size_t rounded = value % step ? value + (step - value % step) : value;
  return rounded > limit || rounded < value ? limit : rounded;
}

// The step in which an end grows to a point `distance` bytes from its
// edge: small steps while the end is small, whole chunks beyond.
size_t GrowthStep(const Reservation* r, size_t distance) {
  return distance <= kSmallEnd ? kSmallStep : r->Step;
}

// Makes the chunk [first, first + kHugeStep) readable and writable without
// filling it, and asks for it as one huge page with what it holds. Best
// effort: without it, the pages come one by one when they are touched.
int CommitChunkWhole(uintptr_t first) {
  void* start = reinterpret_cast<void*>(first);
  if (mprotect(start, kHugeStep, PROT_READ | PROT_WRITE) != 0) return 0;
#ifdef MADV_COLLAPSE
  madvise(start, kHugeStep, MADV_COLLAPSE);
#endif
  return 1;
}

// Commits [offset, end) of a remembered reservation; 0 when the range is
// not next to either committed end (the caller commits it plainly).
int CommitAtAnEnd(Reservation* r, size_t offset, size_t end, int* ok) {
  if (end <= r->LowEnd || offset >= r->HighStart) return *ok = 1;
  // An end's first chunk becomes one huge page when the end outgrows the
  // small steps; the two ends' first chunks must be different chunks.
  const size_t lastChunk = (r->Size - 1) - (r->Size - 1) % kHugeStep;
  const int chunked = r->Step == kHugeStep && lastChunk >= kHugeStep;
  if (offset <= r->LowEnd) {
    size_t newEnd = RoundUp(end, GrowthStep(r, end), r->RegionSize);
    size_t from = r->LowEnd;
    if (chunked && end > kSmallEnd && from < kHugeStep) {
      if (!(*ok = CommitChunkWhole(r->Base))) return 1;
      r->LowEnd = from = kHugeStep;
    }
    *ok = newEnd <= from || ProtectReadWrite(r->Base + from, r->Base + newEnd);
    if (*ok && newEnd > r->LowEnd) r->LowEnd = newEnd;
    return 1;
  }
  if (end >= r->HighStart) {
    size_t step = GrowthStep(r, r->Size - offset);
    size_t newStart = offset - offset % step;
    size_t to = r->HighStart;
    if (chunked && r->Size - newStart > kSmallEnd && to > lastChunk) {
      // The chunk may reach past Size into the region's unused tail.
      if (!(*ok = CommitChunkWhole(r->Base + lastChunk))) return 1;
      r->HighStart = to = lastChunk;
    }
    *ok = newStart >= to || ProtectReadWrite(r->Base + newStart, r->Base + to);
    if (*ok && newStart < r->HighStart) r->HighStart = newStart;
    return 1;
  }
  return 0;
}

void* MapNothing(size_t bytes) {
  void* base = mmap(nullptr, bytes, PROT_NONE,
                    MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  return base == MAP_FAILED ? nullptr : base;
}

// A region of whole huge-page chunks, aligned to them, whose first `bytes`
// are handed out; the rest of its last chunk is never used. Null when it
// cannot be had; the caller falls back.
void* ReserveInChunks(size_t bytes, Reservation* slot) {
  size_t regionSize = RoundUp(bytes, kHugeStep, SIZE_MAX);
  if (regionSize == SIZE_MAX || regionSize > SIZE_MAX - kHugeStep)
    return nullptr;
  void* raw = MapNothing(regionSize + kHugeStep);
  if (raw == nullptr) return nullptr;
  uintptr_t start = uintptr_t(raw);
  uintptr_t region = RoundUp(start, kHugeStep, UINTPTR_MAX);
  if (region > start) munmap(raw, region - start);
  uintptr_t tail = region + regionSize;
  if (start + regionSize + kHugeStep > tail)
    munmap(reinterpret_cast<void*>(tail),
           start + regionSize + kHugeStep - tail);
#ifdef MADV_HUGEPAGE
  madvise(reinterpret_cast<void*>(region), regionSize, MADV_HUGEPAGE);
#endif
  *slot = Reservation{region, bytes, regionSize, kHugeStep, 0, bytes};
  return reinterpret_cast<void*>(region);
}

}  // namespace

void* ReserveAddressSpace(size_t bytes) {
  if (SeamFails(kFaultReserve)) {
    errno = ENOMEM;
    return nullptr;
  }
  if (bytes == 0) {
    errno = EINVAL;
    return nullptr;
  }
  size_t page = PageSize();
  Reservation* slot = bytes % page == 0 ? FreeSlot() : nullptr;
  if (slot != nullptr && bytes >= kHugeStep && HugePagesOffered()) {
    void* base = ReserveInChunks(bytes, slot);
    if (base != nullptr) return base;
  }
  void* base = MapNothing(bytes);
  if (base == nullptr) return nullptr;
  if (slot != nullptr && kSmallStep % page == 0)
    *slot = Reservation{uintptr_t(base), bytes, bytes, kSmallStep, 0, bytes};
  return base;
}

int CommitAddressRange(void* base, size_t offset, size_t bytes) {
  if (SeamFails(kFaultCommit)) {
    errno = ENOMEM;
    return 0;
  }
  if (base == nullptr || offset > SIZE_MAX - bytes) {
    errno = EINVAL;
    return 0;
  }
  if (bytes == 0) return 1;
  Reservation* r = FindReservation(base);
  if (r != nullptr) {
    // Past the end lies memory that is not the caller's to open.
    if (offset + bytes > r->Size) {
      errno = EINVAL;
      return 0;
    }
    int ok = 0;
    if (CommitAtAnEnd(r, offset, offset + bytes, &ok)) return ok;
  }
  size_t page = PageSize();
  uintptr_t start = uintptr_t(base) + offset;
  uintptr_t first = start - start % page;
  uintptr_t end = start + bytes;
  if (end % page != 0) end += page - end % page;
  if (end < start) {
    errno = EINVAL;
    return 0;
  }
  return ProtectReadWrite(first, end);
}

void ReleaseAddressSpace(void* base, size_t bytes) {
  if (base == nullptr) return;
  Reservation* r = FindReservation(base);
  if (r != nullptr) {
    munmap(reinterpret_cast<void*>(r->Base), r->RegionSize);
    *r = Reservation{};
    return;
  }
  munmap(base, bytes);
}
