// Shared pieces of the nodelist fuzz targets: exactly-sized copies of the
// input (so that a read past a view is caught), a counted compare standing
// in for the host's, and a check that every text of a record is terminated.
#ifndef TOLVANE_TESTS_FUZZ_FUZZ_COMMON_H
#define TOLVANE_TESTS_FUZZ_FUZZ_COMMON_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "host/host_binding.h"
#include "nodelist/records.h"

namespace fuzz {

template <size_t N>
void CheckText(const char (&text)[N]) {
  if (strnlen(text, N) >= N) __builtin_trap();
}

inline void CheckRecord(const NodeRecord& r) {
  CheckText(r.SysopName);
  CheckText(r.SystemName);
  CheckText(r.Phone);
  CheckText(r.Location);
  CheckText(r.Password);
  CheckText(r.DisplaySysop);
  CheckText(r.DisplaySystem);
  CheckText(r.DisplayLocation);
  CheckText(r.Keyword);
  CheckText(r.FlagsText);
  if (r.OnlineStart >= 1440 || r.OnlineEnd >= 1440) __builtin_trap();
}

inline int CheckAndCount(NodeRecord* record, void* count) {
  CheckRecord(*record);
  ++*static_cast<size_t*>(count);
  return 1;
}

// A heap block of exactly `size` bytes holding `data` (one byte when empty,
// so that the view is never null).
inline unsigned char* ExactCopy(const uint8_t* data, size_t size) {
  unsigned char* copy = new unsigned char[size ? size : 1];
  if (size) std::memcpy(copy, data, size);
  return copy;
}

// Clears the file set and the error text for one run.
inline void ResetNodelist(uint16_t flags, size_t* count) {
  std::memset(&Nodelist, 0, sizeof(Nodelist));
  std::memset(&SearchKey, 0, sizeof(SearchKey));
  LastErrorText[0] = '\0';
  // No host: sysop keys are compared by the database's own ASCII rule.
  HostFunctions.LStrnicmp = nullptr;
  Nodelist.Key = &SearchKey;
  Nodelist.Flags = flags;
  Nodelist.OnMatch = CheckAndCount;
  Nodelist.MatchData = count;
}

}  // namespace fuzz

#endif  // TOLVANE_TESTS_FUZZ_FUZZ_COMMON_H
