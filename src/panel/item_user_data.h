// The block of address data that every detailed panel item carries (the
// item's UserData points at it and its Flags have PPIF_USERDATA; the host
// copies the block with the item). 22 bytes on every platform: read and
// write it with ReadItemUserData / WriteItemUserData, never through a
// pointer cast, since the host may hand it back at any alignment.
#ifndef TOLVANE_PANEL_ITEM_USER_DATA_H
#define TOLVANE_PANEL_ITEM_USER_DATA_H

#include <cstdint>

#include "host/far_api.h"

#pragma pack(push, 2)
struct ItemUserData {
  uint32_t Size;  // 22
  uint16_t Zone;
  uint16_t Net;
  uint16_t Node;
  uint16_t Point;  // the point number of a point, else 0
  uint8_t Reserved[4];
  uint16_t Hub;     // the hub of a node; the point number of a point
  uint16_t Region;  // 0 without V7+ data
  uint16_t Level;   // the level at which this entry lists as a directory
};
#pragma pack(pop)

enum { kItemUserDataSize = 22 };
static_assert(sizeof(ItemUserData) == kItemUserDataSize,
              "ItemUserData is a 22-byte block");

// Copies the block of an item into *data; 0 (and *data zeroed) when the
// item has no block (no PPIF_USERDATA, a null UserData or a Size below 22).
int ReadItemUserData(const PluginPanelItem* item, ItemUserData* data);

// Writes *data into the block at `block` (kItemUserDataSize bytes).
void WriteItemUserData(void* block, const ItemUserData* data);

#endif  // TOLVANE_PANEL_ITEM_USER_DATA_H
