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

size_t FlagsRestLength(const char* flags, size_t length) {
  if (flags == nullptr || length <= kFlagsColumnText) return 0;
  if (length <= kFlagsTextRoom) return length - kFlagsColumnText;
  // Whole flags only: up to the last comma within the room (the comma
  // itself is left out).
  size_t end = kFlagsTextRoom;
  while (end > kFlagsColumnText && flags[end] != ',') --end;
  return end - kFlagsColumnText;
}

namespace {

int EndpointCount(const EndpointList* list) {
  int count = list->Count < kMaxEndpoints ? list->Count : kMaxEndpoints;
  return count > 0 ? count : 0;
}

size_t RestBytes(size_t restLength) {
  size_t length = restLength < kFlagsRestRoom ? restLength : kFlagsRestRoom;
  return length > 0 ? 1 + length : 0;
}

}  // namespace

size_t ExtraBlockBytes(const EndpointList* list, size_t restLength) {
  int count = EndpointCount(list);
  size_t rest = RestBytes(restLength);
  if (count == 0 && rest == 0) return 0;
  size_t bytes = 1;
  for (int i = 0; i < count; ++i)
    bytes += kEndpointRecordHead +
             strnlen(list->Items[i].Host, kEndpointHostSize - 1);
  return bytes + rest;
}

uint32_t WriteItemExtras(void* block, const EndpointList* list,
                         const char* rest, size_t restLength) {
  int count = EndpointCount(list);
  size_t length = rest ? restLength : 0;
  if (length > kFlagsRestRoom) length = kFlagsRestRoom;
  if (count == 0 && length == 0) return kItemUserDataSize;
  unsigned char* at = static_cast<unsigned char*>(block) + kItemUserDataSize;
  *at++ = static_cast<unsigned char>(count);
  for (int i = 0; i < count; ++i) {
    const Endpoint& e = list->Items[i];
    size_t hostLength = strnlen(e.Host, kEndpointHostSize - 1);
    at[0] = e.Protocol;
    at[1] = e.Source;
    at[2] = static_cast<unsigned char>(e.Port & 0xFF);
    at[3] = static_cast<unsigned char>(e.Port >> 8);
    at[4] = static_cast<unsigned char>(hostLength);
    std::memcpy(at + kEndpointRecordHead, e.Host, hostLength);
    at += kEndpointRecordHead + hostLength;
  }
  if (length > 0) {
    *at++ = static_cast<unsigned char>(length);
    std::memcpy(at, rest, length);
    at += length;
  }
  return static_cast<uint32_t>(at - static_cast<unsigned char*>(block));
}

namespace {

// Reads the endpoints after the address bytes into *list (when not null)
// and returns where they end, or null when they are not sound. A count of
// 0 gives none.
const unsigned char* WalkEndpoints(const unsigned char* at, size_t left,
                                   EndpointList* list) {
  EndpointList ignored;
  if (list == nullptr) list = &ignored;
  list->Count = 0;
  if (left == 0) return nullptr;
  int count = at[0];
  if (count > kMaxEndpoints) return nullptr;
  ++at;
  --left;
  for (int i = 0; i < count; ++i) {
    size_t used = ReadEndpoint(at, left, &list->Items[i]);
    if (used == 0) return nullptr;
    at += used;
    left -= used;
  }
  list->Count = count;
  return at;
}

}  // namespace

int ReadItemEndpoints(const PluginPanelItem* item, EndpointList* list) {
  list->Count = 0;
  uint32_t size = 0;
  const unsigned char* block = BlockOf(item, &size);
  if (block == nullptr || size == kItemUserDataSize) return 0;
  if (!WalkEndpoints(block + kItemUserDataSize, size - kItemUserDataSize, list))
    list->Count = 0;
  return list->Count;
}

size_t ReadItemFlagsRest(const PluginPanelItem* item, char* output,
                         size_t size) {
  output[0] = '\0';
  uint32_t blockSize = 0;
  const unsigned char* block = BlockOf(item, &blockSize);
  if (block == nullptr || blockSize == kItemUserDataSize) return 0;
  const unsigned char* end = block + blockSize;
  const unsigned char* at = WalkEndpoints(
      block + kItemUserDataSize, blockSize - kItemUserDataSize, nullptr);
  if (at == nullptr || at >= end) return 0;
  size_t length = at[0];
  if (length == 0 || length > kFlagsRestRoom ||
      static_cast<size_t>(end - at - 1) < length ||
      std::memchr(at + 1, 0, length) != nullptr)
    return 0;
  if (length >= size) length = size - 1;
  std::memcpy(output, at + 1, length);
  output[length] = '\0';
  return length;
}
