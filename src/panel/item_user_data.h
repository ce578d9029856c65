// The block of data that every detailed panel item carries (the item's
// UserData points at it and its Flags have PPIF_USERDATA; the host copies
// the block with the item, as many bytes as its first 32-bit word gives).
//
// The block begins with the 22 address bytes of ItemUserData, the same on
// every platform. When the entry can be reached over the internet, its
// endpoints follow: a count byte (1 to kMaxEndpoints), then per endpoint
// its protocol, its source, its port (16 bits, little-endian), the length
// of its host (1 to 63) and the host's characters without a terminator.
// When the entry's flags are longer than its flags column holds (63
// characters), the rest of them follows the endpoints (after a count byte
// of 0 when there are none): a length byte (1 to kFlagsRestRoom) and the
// characters. The flags are kept up to kFlagsTextRoom characters in all,
// and then only whole flags. Size covers the whole block: 22 without
// endpoints or more flags, at most kUserDataBlockRoom with both. Read and
// write it with the routines below, never through a pointer cast, since
// the host may hand it back at any alignment.
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
  kFlagsColumnText = 63,  // what the flags column C3 holds
  kFlagsTextRoom = 239,   // the most of an entry's flags that is kept
  kFlagsRestRoom = kFlagsTextRoom - kFlagsColumnText,
  kExtraBlockRoom = kEndpointBlockRoom + 1 + kFlagsRestRoom,
  kUserDataBlockRoom = kItemUserDataSize + kExtraBlockRoom,
};
static_assert(sizeof(ItemUserData) == kItemUserDataSize,
              "ItemUserData is a 22-byte block");

// Copies the address bytes of an item's block into *data; 0 (and *data
// zeroed) when the item has no block (no PPIF_USERDATA, a null UserData or
// a Size below 22).
int ReadItemUserData(const PluginPanelItem* item, ItemUserData* data);

// Writes *data into the block at `block` (kItemUserDataSize bytes).
void WriteItemUserData(void* block, const ItemUserData* data);

// The length of the rest of an entry's flags that its block keeps: 0 when
// flags[0..length) fit the flags column, else what follows the column's
// characters up to kFlagsTextRoom in all, cut back to the last whole flag
// when the flags go on beyond that.
size_t FlagsRestLength(const char* flags, size_t length);

// The bytes that the endpoints of *list and restLength characters of more
// flags take after the address bytes of a block: 0 when there are
// neither, at most kExtraBlockRoom.
size_t ExtraBlockBytes(const EndpointList* list, size_t restLength);

// Writes the endpoints of *list and rest[0..restLength) (restLength at most
// kFlagsRestRoom) after the address bytes of the block at `block`
// (kItemUserDataSize + ExtraBlockBytes bytes) and returns the size of the
// whole block for its Size field: kItemUserDataSize with neither.
uint32_t WriteItemExtras(void* block, const EndpointList* list,
                         const char* rest, size_t restLength);

// Reads the endpoints of an item's block into *list and returns their
// number. Only the Size bytes of the block are read; a block of 22 bytes
// has none, and a block whose endpoints do not fit its Size or hold a
// protocol, source, port or host length out of range gives none.
int ReadItemEndpoints(const PluginPanelItem* item, EndpointList* list);

// Copies the rest of the entry's flags that the block keeps into output
// (size bytes, at least 1) and returns its length: 0 when there is none or
// the block does not hold it soundly within its Size. Cut to size - 1.
size_t ReadItemFlagsRest(const PluginPanelItem* item, char* output,
                         size_t size);

#endif  // TOLVANE_PANEL_ITEM_USER_DATA_H
