// The panel items of one listing, built in place in one reservation of
// address space: the items grow up from its start, each item's texts grow
// down from its end, and the whole list is released with one call.
//
// Every item owns one text area directly below the previous item's area
// (the first one ends at the end of the reservation); its Description
// points at the area's start. A plain item's area holds the description
// only; a detailed item's area holds, in this order, the description, the
// ten column pointers, C0 .. C9 and the user data block (ItemUserData and
// the entry's endpoints, so a detailed area is as large as its entry's
// endpoints need). The pieces keep their natural alignment and every area
// size is a multiple of the pointer size, so the pointer arrays of all
// areas stay aligned.
#ifndef TOLVANE_PANEL_ITEM_LIST_H
#define TOLVANE_PANEL_ITEM_LIST_H

#include <cstddef>

#include "host/far_api.h"
#include "nodelist/records.h"
#include "nodelist/text_fields.h"
#include "panel/item_user_data.h"

// The list: Items is also the base of the reservation. Empty is (null, 0).
struct PanelItemList {
  PluginPanelItem* Items;
  int Count;
};

enum : size_t { kItemListReservation = 0x6C0000 };

enum { kColumnCount = 10 };  // custom columns C0 .. C9

namespace item_area {

constexpr size_t AlignUp(size_t value, size_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

constexpr size_t kPointerAlign = alignof(char*);

// Each column text is as large as the NodeRecord field that fills it.
constexpr size_t kDescriptionSize = kAddressTextSize;
constexpr size_t kC0Size = sizeof(NodeRecord::Keyword);
constexpr size_t kC1Size = sizeof(NodeRecord::DisplaySystem);
constexpr size_t kC2Size = sizeof(NodeRecord::DisplayLocation);
constexpr size_t kC3Size = sizeof(NodeRecord::FlagsText);
constexpr size_t kC4Size = sizeof(NodeRecord::Phone);
constexpr size_t kC5Size = sizeof("00:00-00:00");
constexpr size_t kC6Size = sizeof(NodeRecord::Password);
constexpr size_t kC7Size = 9;  // the speed in bits per second, "65535"
constexpr size_t kC8Size = sizeof(NodeRecord::DisplaySysop);
constexpr size_t kC9Size = 64;  // how to reach the entry, at most 63

constexpr size_t kColumnsOffset = AlignUp(kDescriptionSize, kPointerAlign);
constexpr size_t kC0Offset = kColumnsOffset + kColumnCount * sizeof(char*);
constexpr size_t kC1Offset = kC0Offset + kC0Size;
constexpr size_t kC2Offset = kC1Offset + kC1Size;
constexpr size_t kC3Offset = kC2Offset + kC2Size;
constexpr size_t kC4Offset = kC3Offset + kC3Size;
constexpr size_t kC5Offset = kC4Offset + kC4Size;
constexpr size_t kC6Offset = kC5Offset + kC5Size;
constexpr size_t kC7Offset = kC6Offset + kC6Size;
constexpr size_t kC8Offset = kC7Offset + kC7Size;
constexpr size_t kC9Offset = kC8Offset + kC8Size;
constexpr size_t kUserDataOffset = kC9Offset + kC9Size;

constexpr size_t kPlainSize = AlignUp(kDescriptionSize, kPointerAlign);
// A detailed area holds as many bytes of endpoints and further flags as
// its entry needs (0 to kExtraBlockRoom) after the address bytes of its
// user data block.
constexpr size_t DetailedSize(size_t extraBytes) {
  return AlignUp(kUserDataOffset + kItemUserDataSize + extraBytes,
                 kPointerAlign);
}
constexpr size_t kDetailedSize = DetailedSize(0);
constexpr size_t kLargestDetailedSize = DetailedSize(kExtraBlockRoom);

// Offsets of C0 .. C9 in a detailed area.
constexpr size_t kColumnOffsets[kColumnCount] = {
    kC0Offset, kC1Offset, kC2Offset, kC3Offset, kC4Offset,
    kC5Offset, kC6Offset, kC7Offset, kC8Offset, kC9Offset};
constexpr size_t kColumnSizes[kColumnCount] = {
    kC0Size, kC1Size, kC2Size, kC3Size, kC4Size,
    kC5Size, kC6Size, kC7Size, kC8Size, kC9Size};

static_assert(kDetailedSize % kPointerAlign == 0 &&
                  kPlainSize % kPointerAlign == 0,
              "areas keep the pointer arrays aligned");
static_assert(sizeof(void*) != 4 ||
                  (kDetailedSize == 384 && kLargestDetailedSize == 1108 &&
                   kPlainSize == 24),
              "the 32-bit areas are 384 (1108 with eight endpoints of 63 "
              "characters and 239 characters of flags) and 24 bytes");
static_assert(kC3Size - 1 == kFlagsColumnText,
              "the block keeps the flags past the flags column");

}  // namespace item_area

// The size of an item's text area (a detailed one without endpoints).
size_t ItemAreaSize(int detailed);

enum AddItemResult {
  kItemAdded = 0,
  kListFull = 1,    // the record is left out; warned once per list
  kListFailed = 2,  // memory failure: the list has been released
};

// Appends one zero-filled item with its text area (reserving the address
// space at the first item). A detailed item has its area laid out: ten
// column pointers (CustomColumnNumber 10), Owner at C8, UserData at a user
// data block whose Size is set (22: no endpoints yet) with room for
// extraBytes more (at most kExtraBlockRoom), PPIF_USERDATA in Flags.
// When the item would reach its own area the list is full: the first
// time, message 5 is shown under message 0 and the list is marked (the
// first item's FindData.dwReserved0 is 1). A reservation or commit failure
// releases the list, shows message 6 under message 0 and gives
// kListFailed.
AddItemResult AddPanelItem(PanelItemList* list, int detailed,
                           size_t extraBytes = 0);

// The last item of a non-empty list, and the start of its text area.
PluginPanelItem* LastPanelItem(PanelItemList* list);
char* ItemArea(PluginPanelItem* item);

// Releases the reservation behind list->Items, if any, and empties the
// list; the memory may be kept back for the next list (item_memory.h).
void FreePanelItems(PanelItemList* list);

#endif  // TOLVANE_PANEL_ITEM_LIST_H
