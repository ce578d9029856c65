#include "panel/item_memory.h"

#include <cstring>

#include "panel/item_list.h"
#include "platform/platform.h"

namespace {

// What a list's header records: everything the list wrote lies in
// [0, ItemsEnd) or [AreasStart, kItemListReservation) of its space.
struct ListHeader {
  size_t ItemsEnd;
  size_t AreasStart;
};

// The header takes the first 64 KiB of the reservation, so that the
// reservation stays a whole number of pages on every system (the platform
// commits such reservations in large steps) and the items stay aligned;
// only its first page is ever committed.
const size_t kHeaderSize = 64 * 1024;
static_assert(sizeof(ListHeader) <= kHeaderSize &&
                  kHeaderSize % alignof(PluginPanelItem) == 0 &&
                  kItemListReservation % kHeaderSize == 0,
              "the header keeps the items aligned and the size in pages");

const size_t kReservationSize = kHeaderSize + kItemListReservation;

void* Kept = nullptr;  // the items of the reservation kept back

unsigned char* BaseOf(void* items) {
  return static_cast<unsigned char*>(items) - kHeaderSize;
}

ListHeader* HeaderOf(void* items) {
  return reinterpret_cast<ListHeader*>(BaseOf(items));
}

void* FreshListMemory() {
  void* base = ReserveAddressSpace(kReservationSize);
  if (base == nullptr) return nullptr;
  if (!CommitAddressRange(base, 0, sizeof(ListHeader))) {
    ReleaseAddressSpace(base, kReservationSize);
    return nullptr;
  }
  void* items = static_cast<unsigned char*>(base) + kHeaderSize;
  *HeaderOf(items) = ListHeader{0, kItemListReservation};
  return items;
}

// Makes the kept space read as fresh: what the last list wrote is zeroed.
void ClearUsedParts(void* items) {
  ListHeader* header = HeaderOf(items);
  unsigned char* bytes = static_cast<unsigned char*>(items);
  std::memset(bytes, 0, header->ItemsEnd);
  std::memset(bytes + header->AreasStart, 0,
              kItemListReservation - header->AreasStart);
  *header = ListHeader{0, kItemListReservation};
}

}  // namespace

void* TakeListMemory() {
  if (Kept == nullptr) return FreshListMemory();
  void* items = Kept;
  Kept = nullptr;
  const ListHeader* header = HeaderOf(items);
  if (header->ItemsEnd > header->AreasStart ||
      header->AreasStart > kItemListReservation) {
    ReleaseListMemory(items);  // not as this module left it: not reused
    return FreshListMemory();
  }
  ClearUsedParts(items);
  return items;
}

int CommitListItem(void* items, size_t offset, size_t bytes) {
  if (!CommitAddressRange(BaseOf(items), kHeaderSize + offset, bytes)) return 0;
  ListHeader* header = HeaderOf(items);
  if (offset + bytes > header->ItemsEnd) header->ItemsEnd = offset + bytes;
  return 1;
}

int CommitListArea(void* items, size_t offset, size_t bytes) {
  if (!CommitAddressRange(BaseOf(items), kHeaderSize + offset, bytes)) return 0;
  ListHeader* header = HeaderOf(items);
  if (offset < header->AreasStart) header->AreasStart = offset;
  return 1;
}

void GiveBackListMemory(void* items) {
  if (items == nullptr || items == Kept) return;
  if (Kept == nullptr) {
    Kept = items;
    return;
  }
  ReleaseListMemory(items);
}

void ReleaseListMemory(void* items) {
  if (items != nullptr) ReleaseAddressSpace(BaseOf(items), kReservationSize);
}

void ReleaseKeptListMemory() {
  ReleaseListMemory(Kept);
  Kept = nullptr;
}
