// ParsePlusLine over an arbitrary line. Input: u8 (bit 0: the record has
// the continuous-mail flag), then the line, which is terminated here.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_common.h"
#include "nodelist/record_reader.h"
#include "nodelist/v7_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  char* line = new char[size];
  std::memcpy(line, data + 1, size - 1);
  line[size - 1] = '\0';
  NodeRecord record;
  std::memset(&record, 0, sizeof(record));
  record.NodeFlags = (data[0] & 1) ? v7::kFlagContinuousMail : 0;
  Nodelist.Damaged = 0;
  LastErrorText[0] = '\0';
  ParsePlusLine(&record, line);
  fuzz::CheckRecord(record);
  fuzz::CheckText(LastErrorText);
  delete[] line;
  return 0;
}
