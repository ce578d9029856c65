// ParsePanelPath over an arbitrary path. Input: u8 level (taken modulo 5,
// times 2: 0..8), 8 bytes of the current address, then the path text,
// which is terminated here. A path that is accepted leaves a level of 0..8
// with every part beyond it cleared; a refused one changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "panel/path_grammar.h"

namespace {

uint16_t PartAt(const FtnAddress& a, int index) {
  const uint16_t parts[] = {a.Zone, a.Net, a.Node, a.Point};
  return parts[index];
}

void CheckAccepted(const FtnAddress& address, uint16_t level) {
  if (level > 8 || level % 2 != 0) __builtin_trap();
  for (int part = level / 2; part < 4; ++part)
    if (PartAt(address, part) != 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 9) return 0;
  uint16_t level = static_cast<uint16_t>((data[0] % 5) * 2);
  FtnAddress address;
  std::memcpy(&address, data + 1, sizeof(address));
  const FtnAddress before = address;
  char* text = new char[size - 8];
  std::memcpy(text, data + 9, size - 9);
  text[size - 9] = '\0';
  if (ParsePanelPath(text, &address, &level)) {
    CheckAccepted(address, level);
  } else if (std::memcmp(&address, &before, sizeof(address)) != 0 ||
             level != (data[0] % 5) * 2) {
    __builtin_trap();
  }
  delete[] text;
  return 0;
}
