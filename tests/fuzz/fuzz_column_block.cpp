// The stored column block over arbitrary bytes: LoadColumnBlock, then
// BuildColumnBlock. The built block must respect the limits (30 characters
// a string, 15 columns a mode string, kColumnBlockMax bytes) and must load
// back into the very same table: building it again gives the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "panel/panel_modes.h"

namespace {

// Starts every run from the built-in table, so that strings the input
// does not reach are the same in both rounds.
void LoadDefaults() {
  static int bound = 0;
  if (!bound) BindPanelModes();
  bound = 1;
  LoadColumnBlock(DefaultColumnBlock, DefaultColumnBlockLength);
}

void CheckLimits(const char* block, size_t length) {
  if (length > kColumnBlockMax || length == 0 || block[length - 1] != '\0')
    __builtin_trap();
  for (int i = 0; i < kColumnStringCount; ++i) {
    const char* s = ModeColumnString(i / kModeStrings,
                                     static_cast<ModeString>(i % kModeStrings));
    size_t n = strnlen(s, kColumnStringSize);
    if (n >= kColumnStringSize) __builtin_trap();
    if (std::count(s, s + n, ',') >= kMaxColumns) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static char first[kColumnBlockMax];
  static char second[kColumnBlockMax];
  char* input = new char[size ? size : 1];
  if (size) std::memcpy(input, data, size);
  LoadDefaults();
  LoadColumnBlock(input, size);
  size_t firstLength = BuildColumnBlock(first);
  CheckLimits(first, firstLength);
  LoadDefaults();
  LoadColumnBlock(first, firstLength);
  size_t secondLength = BuildColumnBlock(second);
  if (secondLength != firstLength ||
      std::memcmp(first, second, firstLength) != 0)
    __builtin_trap();
  delete[] input;
  return 0;
}
