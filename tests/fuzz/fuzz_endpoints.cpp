// The endpoint decoder over an arbitrary V7+ line, and the endpoint block
// of an item as the host hands it back. Input: u8 (bit 0: the rest is a
// user data block, else a line), then the line or the block. A decoded
// line must give sound endpoints, the same whether the decoder finds the
// line's pieces itself or takes them from the V7+ line parser, and they
// must survive the block unchanged; a block is read within its Size only.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "nodelist/endpoints.h"
#include "nodelist/record_reader.h"
#include "panel/item_user_data.h"

namespace {

void CheckEndpoint(const Endpoint& e) {
  size_t length = strnlen(e.Host, kEndpointHostSize);
  if (length == 0 || length >= kEndpointHostSize || e.Port == 0 ||
      e.Protocol < kProtocolBinkp || e.Protocol > kLastProtocol ||
      e.Source > kLastSource ||
      EndpointSourceName(e.Protocol, e.Source)[0] == 0)
    __builtin_trap();
  char address[kEndpointAddressSize];
  FormatEndpointAddress(e, address, sizeof(address));
  char small[8];
  FormatEndpointAddress(e, small, sizeof(small));
  if (std::strlen(small) >= sizeof(small)) __builtin_trap();
}

PluginPanelItem ItemWithBlock(unsigned char* block) {
  PluginPanelItem item;
  std::memset(&item, 0, sizeof(item));
  item.Flags = PPIF_USERDATA;
  item.UserData = reinterpret_cast<uintptr_t>(block);
  return item;
}

int SameEndpoints(const EndpointList& a, const EndpointList& b) {
  if (a.Count != b.Count) return 0;
  for (int i = 0; i < a.Count; ++i)
    if (std::memcmp(&a.Items[i], &b.Items[i], 4) != 0 ||
        std::strcmp(a.Items[i].Host, b.Items[i].Host) != 0)
      return 0;
  return 1;
}

void DecodeLine(const uint8_t* data, size_t size) {
  std::vector<char> line(data, data + size);
  line.push_back('\0');
  EndpointList list;
  int count = DecodeEndpoints(line.data(), &list);
  if (count != list.Count || count < 0 || count > kMaxEndpoints)
    __builtin_trap();
  for (int i = 0; i < count; ++i) CheckEndpoint(list.Items[i]);
  NodeRecord record;
  std::memset(&record, 0, sizeof(record));
  LinePieces pieces;
  ParsePlusLine(&record, line.data(), &pieces);
  EndpointList parsed;
  DecodeLinePieces(pieces, &parsed);
  if (!SameEndpoints(list, parsed)) __builtin_trap();
  // Through the block, exactly as large as the item's area gives room for:
  // the same endpoints come back.
  std::vector<unsigned char> block(kItemUserDataSize +
                                   EndpointBlockBytes(&list));
  uint32_t used = WriteItemEndpoints(block.data(), &list);
  if (used != block.size() || used > kUserDataBlockRoom) __builtin_trap();
  std::memcpy(block.data(), &used, sizeof(used));
  block.resize(used);
  PluginPanelItem item = ItemWithBlock(block.data());
  EndpointList back;
  ReadItemEndpoints(&item, &back);
  if (!SameEndpoints(list, back)) __builtin_trap();
}

// The block holds exactly its Size bytes, as the host's copy does.
void ReadBlock(const uint8_t* data, size_t size) {
  std::vector<unsigned char> block(data, data + size);
  if (block.size() < sizeof(uint32_t)) block.resize(sizeof(uint32_t));
  uint32_t length = static_cast<uint32_t>(block.size());
  std::memcpy(block.data(), &length, sizeof(length));
  PluginPanelItem item = ItemWithBlock(block.data());
  EndpointList list;
  int count = ReadItemEndpoints(&item, &list);
  if (count != list.Count || count < 0 || count > kMaxEndpoints)
    __builtin_trap();
  for (int i = 0; i < count; ++i) CheckEndpoint(list.Items[i]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  if (data[0] & 1)
    ReadBlock(data + 1, size - 1);
  else
    DecodeLine(data + 1, size - 1);
  return 0;
}
