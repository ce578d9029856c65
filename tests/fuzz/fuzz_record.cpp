// The record decoder over arbitrary bytes as a data file and a V7+ data
// file. Input: u16 size of the data file part, u8 flags, u32 record offset,
// then the data file bytes and the V7+ data file bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz_common.h"
#include "nodelist/record_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 7) return 0;
  size_t split = data[0] | (data[1] << 8);
  uint16_t flags = data[2] & (UsePlusData | FixedFieldsOnly);
  uint32_t offset = data[3] | (data[4] << 8) | (data[5] << 16) |
                    (static_cast<uint32_t>(data[6]) << 24);
  data += 7;
  size -= 7;
  if (split > size) split = size;
  size_t count = 0;
  fuzz::ResetNodelist(flags, &count);
  unsigned char* dat = fuzz::ExactCopy(data, split);
  unsigned char* dtp = fuzz::ExactCopy(data + split, size - split);
  Nodelist.DataFile.View = dat;
  Nodelist.DataFile.Size = split;
  Nodelist.PlusFile.View = dtp;
  Nodelist.PlusFile.Size = size - split;
  // Mostly offsets inside the file, sometimes the raw one.
  if (split && !(offset & 0x80000000u)) offset %= split;
  ReadNodeRecord(&Nodelist, offset);
  fuzz::CheckText(LastErrorText);
  delete[] dat;
  delete[] dtp;
  return 0;
}
