#include "panel/item_list.h"

#include <cstring>

#include "host/messages.h"
#include "panel/item_memory.h"

namespace {

const size_t kItemSize = sizeof(PluginPanelItem);

unsigned char* Base(const PanelItemList* list) {
  return reinterpret_cast<unsigned char*>(list->Items);
}

AddItemResult Fail(PanelItemList* list) {
  ReleaseListMemory(list->Items);
  list->Items = nullptr;
  list->Count = 0;
  ShowError(MPluginName, MessageTable[MNoMemory]);
  return kListFailed;
}

AddItemResult Full(PanelItemList* list) {
  if (list->Count == 0) return kListFull;
  FarFindData* first = &list->Items[0].FindData;
  if (first->dwReserved0 == 0) {
    first->dwReserved0 = 1;
    ShowError(MPluginName, MessageTable[MListFull]);
  }
  return kListFull;
}

// Where the next area ends: below the last item's area, or at the end of
// the reservation for the first item.
size_t NextAreaEnd(const PanelItemList* list) {
  if (list->Count == 0) return kItemListReservation;
  const PluginPanelItem* last = &list->Items[list->Count - 1];
  return static_cast<size_t>(
      reinterpret_cast<unsigned char*>(last->Description) - Base(list));
}

void LayOutDetailedArea(PluginPanelItem* item, char* area) {
  using namespace item_area;
  char** columns = reinterpret_cast<char**>(area + kColumnsOffset);
  for (int i = 0; i < kColumnCount; ++i) columns[i] = area + kColumnOffsets[i];
  item->CustomColumnData = columns;
  item->CustomColumnNumber = kColumnCount;
  item->Owner = area + kC8Offset;
  ItemUserData data;
  std::memset(&data, 0, sizeof(data));
  data.Size = sizeof(ItemUserData);
  WriteItemUserData(area + kUserDataOffset, &data);
  item->UserData = reinterpret_cast<uintptr_t>(area + kUserDataOffset);
  item->Flags |= PPIF_USERDATA;
}

}  // namespace

size_t ItemAreaSize(int detailed) {
  return detailed ? item_area::kDetailedSize : item_area::kPlainSize;
}

AddItemResult AddPanelItem(PanelItemList* list, int detailed,
                           size_t extraBytes) {
  if (list->Items == nullptr) {
    void* base = TakeListMemory();
    if (base == nullptr) return Fail(list);
    list->Items = static_cast<PluginPanelItem*>(base);
    list->Count = 0;
  }
  size_t itemStart = static_cast<size_t>(list->Count) * kItemSize;
  size_t itemEnd = itemStart + kItemSize;
  size_t areaEnd = NextAreaEnd(list);
  if (extraBytes > kExtraBlockRoom) extraBytes = kExtraBlockRoom;
  size_t areaSize =
      detailed ? item_area::DetailedSize(extraBytes) : item_area::kPlainSize;
  if (itemEnd > areaEnd) return Full(list);
  if (!CommitListItem(list->Items, itemStart, kItemSize)) return Fail(list);
  if (areaEnd < areaSize || itemEnd >= areaEnd - areaSize) return Full(list);
  size_t areaStart = areaEnd - areaSize;
  if (!CommitListArea(list->Items, areaStart, areaSize)) return Fail(list);
  PluginPanelItem* item = &list->Items[list->Count];
  ++list->Count;
  char* area = reinterpret_cast<char*>(Base(list) + areaStart);
  item->Description = area;
  if (detailed) LayOutDetailedArea(item, area);
  return kItemAdded;
}

PluginPanelItem* LastPanelItem(PanelItemList* list) {
  return list->Count > 0 ? &list->Items[list->Count - 1] : nullptr;
}

char* ItemArea(PluginPanelItem* item) { return item->Description; }

void FreePanelItems(PanelItemList* list) {
  GiveBackListMemory(list->Items);
  list->Items = nullptr;
  list->Count = 0;
}
