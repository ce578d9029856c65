// The index walk over arbitrary bytes as an index file. Input: u8 mode
// (bit 0: sysop search; bits 1-4: key length; bit 5: OnePerNextPart),
// 8 bytes of key (an address, or the sysop name), then the index. The data
// file is a small sound one, so that entries pointing at offsets 0, 40 or
// 80 are decoded and delivered.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_common.h"
#include "nodelist/file_set.h"
#include "nodelist/index_search.h"

namespace {

// Three 40-byte data records: 22 fixed bytes, a 2-byte phone, no password
// and 16 packed bytes (24 characters of blanks), nodes 1, 2 and 3.
void BuildData(unsigned char* dat) {
  std::memset(dat, 0, 120);
  for (int i = 0; i < 3; ++i) {
    unsigned char* r = dat + 40 * i;
    r[0] = 2;     // zone 2
    r[2] = 0x9C;  // net 5020
    r[3] = 0x13;
    r[4] = static_cast<unsigned char>(i + 1);
    r[15] = 2;  // phone length
    r[17] = 8;  // system, sysop, location lengths
    r[18] = 8;
    r[19] = 8;
    r[20] = 16;  // packed length
    r[21] = 8;   // 2400 bps
    r[22] = '1';
    r[23] = '2';
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 9) return 0;
  static unsigned char dat[120];
  static int built = 0;
  if (!built) BuildData(dat);
  built = 1;
  uint8_t mode = data[0];
  size_t count = 0;
  fuzz::ResetNodelist((mode & 0x20) ? OnePerNextPart : 0, &count);
  Nodelist.DataFile.View = dat;
  Nodelist.DataFile.Size = sizeof(dat);
  Nodelist.SearchKind = (mode & 1) ? SearchBySysop : SearchByAddress;
  Nodelist.KeyLength = static_cast<int16_t>((mode >> 1) & 0x0F);
  std::memcpy(&SearchKey.Zone, data + 1, 2);
  std::memcpy(&SearchKey.Net, data + 3, 2);
  std::memcpy(&SearchKey.Node, data + 5, 2);
  std::memcpy(&SearchKey.HubOrPoint, data + 7, 2);
  std::memcpy(SearchKey.SysopName, data + 1, 8);
  unsigned char* index = fuzz::ExactCopy(data + 9, size - 9);
  Nodelist.ActiveIndex = index;
  Nodelist.ActiveIndexSize = size - 9;
  PrepareSearchKey(&Nodelist);
  StartSearch(&Nodelist);
  if (Search.Depth != 0 || Search.Visits > Search.BlockCount) __builtin_trap();
  fuzz::CheckText(LastErrorText);
  delete[] index;
  return 0;
}
