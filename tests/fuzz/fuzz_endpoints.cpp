// The endpoint decoder over an arbitrary V7+ line, the flags in words of
// that line, and the block of an item (endpoints and the flags past the
// flags column) as the host hands it back. Input: u8 (bit 0: the rest is a
// user data block, else a line), then the line or the block. A decoded
// line must give sound endpoints, the same whether the decoder finds the
// line's pieces itself or takes them from the V7+ line parser, and they
// and the rest of the flags must survive the block unchanged; every flag's
// words fit their buffer; a block is read within its Size only.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "commands/flag_words.h"
#include "host/messages.h"
#include "nodelist/endpoints.h"
#include "nodelist/flag_table.h"
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

// Language texts that take every value they are given, so that the
// longest descriptions are made.
void FillMessages() {
  static const char kText[] = "%s %s %s %% %d";
  for (int n = 0; n < kMessageCount; ++n) MessageTable[n] = kText;
}

void DescribeFlags(const char* flags, size_t length) {
  FlagCursor cursor;
  StartFlags(&cursor, flags, length);
  FlagInfo flag;
  int count = 0;
  while (NextFlag(&cursor, &flag)) {
    if (flag.Length == 0 || flag.Text < flags ||
        flag.Text + flag.Length > flags + length ||
        flag.Category > kLastFlagCategory || flag.Meaning >= kFlagMeaningCount)
      __builtin_trap();
    char label[17], text[64];
    FlagLabel(flag, label, sizeof(label));
    DescribeFlag(flag, text, sizeof(text));
    if (std::strlen(label) >= sizeof(label) ||
        std::strlen(text) >= sizeof(text))
      __builtin_trap();
    if (++count > static_cast<int>(length)) __builtin_trap();
  }
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
  size_t flagsLength = pieces.Flags ? std::strlen(pieces.Flags) : 0;
  DescribeFlags(pieces.Flags, flagsLength);
  size_t rest = FlagsRestLength(pieces.Flags, flagsLength);
  if (rest > kFlagsRestRoom ||
      (rest > 0 && kFlagsColumnText + rest > flagsLength))
    __builtin_trap();
  // Through the block, exactly as large as the item's area gives room for:
  // the same endpoints and flags come back.
  std::vector<unsigned char> block(kItemUserDataSize +
                                   ExtraBlockBytes(&list, rest));
  const char* restText = rest ? pieces.Flags + kFlagsColumnText : nullptr;
  uint32_t used = WriteItemExtras(block.data(), &list, restText, rest);
  if (used != block.size() || used > kUserDataBlockRoom) __builtin_trap();
  std::memcpy(block.data(), &used, sizeof(used));
  block.resize(used);
  PluginPanelItem item = ItemWithBlock(block.data());
  EndpointList back;
  ReadItemEndpoints(&item, &back);
  if (!SameEndpoints(list, back)) __builtin_trap();
  char restBack[kFlagsRestRoom + 1];
  if (ReadItemFlagsRest(&item, restBack, sizeof(restBack)) != rest ||
      (rest > 0 && std::memcmp(restBack, restText, rest) != 0))
    __builtin_trap();
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
  char rest[16];
  if (ReadItemFlagsRest(&item, rest, sizeof(rest)) >= sizeof(rest))
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  FillMessages();
  if (data[0] & 1)
    ReadBlock(data + 1, size - 1);
  else
    DecodeLine(data + 1, size - 1);
  return 0;
}
