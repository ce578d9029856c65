// The block of data that every detailed panel item carries (the item's
// UserData points at it and its Flags have PPIF_USERDATA; the host copies
// the block with the item, as many bytes as its first 32-bit word gives).
//
// The block begins with the 22 address bytes of ItemUserData, the same on
// every platform. When the entry can be reached over the internet, its
// endpoints follow: a count byte (1 to kMaxEndpoints), then per endpoint
// its protocol, its source, its port (16 bits, little-endian), the length
// of its host (1 to 63) and the host's characters without a terminator.
// Size covers the whole block: 22 without endpoints, at most
// kUserDataBlockRoom with them. Read and write it with the routines below,
// never through a pointer cast, since the host may hand it back at any
// alignment.
#ifndef TOLVANE_PANEL_ITEM_USER_DATA_H
#define TOLVANE_PANEL_ITEM_USER_DATA_H

#include <cstddef>
#include <cstdint>

#include "host/far_api.h"
#include "nodelist/endpoints.h"

#pragma pack(push, 2)
struct ItemUserData {
  uint32_t Size;  // of the whole block: 22, or more with endpoints
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

enum : size_t {
  kItemUserDataSize = 22,
  kEndpointRecordHead = 5,  // protocol, source, port, host length
  kEndpointBlockRoom =
      1 + kMaxEndpoints * (kEndpointRecordHead + kEndpointHostSize - 1),
  kUserDataBlockRoom = kItemUserDataSize + kEndpointBlockRoom,
};
static_assert(sizeof(ItemUserData) == kItemUserDataSize,
              "ItemUserData is a 22-byte block");

// Copies the address bytes of an item's block into *data; 0 (and *data
// zeroed) when the item has no block (no PPIF_USERDATA, a null UserData or
// a Size below 22).
int ReadItemUserData(const PluginPanelItem* item, ItemUserData* data);

// Writes *data into the block at `block` (kItemUserDataSize bytes).
void WriteItemUserData(void* block, const ItemUserData* data);

// The bytes that the endpoints of *list take after the address bytes of a
// block: 0 when it is empty, at most kEndpointBlockRoom.
size_t EndpointBlockBytes(const EndpointList* list);

// Writes the endpoints of *list after the address bytes of the block at
// `block` (kItemUserDataSize + EndpointBlockBytes(list) bytes) and returns
// the size of the whole block for its Size field: kItemUserDataSize when
// the list is empty.
uint32_t WriteItemEndpoints(void* block, const EndpointList* list);

// Reads the endpoints of an item's block into *list and returns their
// number. Only the Size bytes of the block are read; a block of 22 bytes
// has none, and a block whose endpoints do not fit its Size or hold a
// protocol, source, port or host length out of range gives none.
int ReadItemEndpoints(const PluginPanelItem* item, EndpointList* list);

#endif  // TOLVANE_PANEL_ITEM_USER_DATA_H
