#include "panel/item_user_data.h"

#include <cstring>

namespace {

// The block of an item and its Size; null when the item has none.
const unsigned char* BlockOf(const PluginPanelItem* item, uint32_t* size) {
  if (!item || !(item->Flags & PPIF_USERDATA) || item->UserData == 0)
    return nullptr;
  const unsigned char* block =
      reinterpret_cast<const unsigned char*>(item->UserData);
  std::memcpy(size, block, sizeof(*size));
  return *size >= kItemUserDataSize ? block : nullptr;
}

// Reads one endpoint at `at` (left bytes of the block remaining); returns
// the bytes it takes, 0 when it is not a sound endpoint.
size_t ReadEndpoint(const unsigned char* at, size_t left, Endpoint* e) {
  if (left < kEndpointRecordHead) return 0;
  size_t length = at[4];
  if (length == 0 || length >= kEndpointHostSize ||
      left - kEndpointRecordHead < length)
    return 0;
  e->Protocol = at[0];
  e->Source = at[1];
  e->Port = static_cast<uint16_t>(at[2] | (at[3] << 8));
  if (e->Protocol < kProtocolBinkp || e->Protocol > kLastProtocol ||
      e->Source > kLastSource || e->Port == 0)
    return 0;
  std::memcpy(e->Host, at + kEndpointRecordHead, length);
  e->Host[length] = '\0';
  if (std::strlen(e->Host) != length) return 0;
  return kEndpointRecordHead + length;
}

}  // namespace

int ReadItemUserData(const PluginPanelItem* item, ItemUserData* data) {
  std::memset(data, 0, sizeof(*data));
  uint32_t size = 0;
  const unsigned char* block = BlockOf(item, &size);
  if (block == nullptr) return 0;
  std::memcpy(data, block, kItemUserDataSize);
  return 1;
}

void WriteItemUserData(void* block, const ItemUserData* data) {
  std::memcpy(block, data, kItemUserDataSize);
}

size_t EndpointBlockBytes(const EndpointList* list) {
  int count = list->Count < kMaxEndpoints ? list->Count : kMaxEndpoints;
  if (count <= 0) return 0;
  size_t bytes = 1;
  for (int i = 0; i < count; ++i)
    bytes += kEndpointRecordHead +
             strnlen(list->Items[i].Host, kEndpointHostSize - 1);
  return bytes;
}

uint32_t WriteItemEndpoints(void* block, const EndpointList* list) {
  int count = list->Count < kMaxEndpoints ? list->Count : kMaxEndpoints;
  if (count <= 0) return kItemUserDataSize;
  unsigned char* at = static_cast<unsigned char*>(block) + kItemUserDataSize;
  *at++ = static_cast<unsigned char>(count);
  for (int i = 0; i < count; ++i) {
    const Endpoint& e = list->Items[i];
    size_t length = strnlen(e.Host, kEndpointHostSize - 1);
    at[0] = e.Protocol;
    at[1] = e.Source;
    at[2] = static_cast<unsigned char>(e.Port & 0xFF);
    at[3] = static_cast<unsigned char>(e.Port >> 8);
    at[4] = static_cast<unsigned char>(length);
    std::memcpy(at + kEndpointRecordHead, e.Host, length);
    at += kEndpointRecordHead + length;
  }
  return static_cast<uint32_t>(at - static_cast<unsigned char*>(block));
}

int ReadItemEndpoints(const PluginPanelItem* item, EndpointList* list) {
  list->Count = 0;
  uint32_t size = 0;
  const unsigned char* block = BlockOf(item, &size);
  if (block == nullptr || size == kItemUserDataSize) return 0;
  size_t left = size - kItemUserDataSize;
  const unsigned char* at = block + kItemUserDataSize;
  int count = at[0];
  if (count < 1 || count > kMaxEndpoints) return 0;
  ++at;
  --left;
  for (int i = 0; i < count; ++i) {
    size_t used = ReadEndpoint(at, left, &list->Items[i]);
    if (used == 0) return 0;
    at += used;
    left -= used;
  }
  list->Count = count;
  return count;
}
