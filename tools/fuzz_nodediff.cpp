// Fuzz target: arbitrary bytes split into a difference file and an old
// list (the first byte says where), applied; and the list date reader. A
// list made must end in ^Z and pass its own CRC.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "compiler/nodediff.h"
#include "compiler/nodelist_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  size_t cut = static_cast<size_t>(data[0]) * (size - 1) / 255;
  // Exactly sized copies, so that a read past either text is caught.
  std::vector<char> diff(data + 1, data + 1 + cut);
  std::vector<char> old(data + 1 + cut, data + size);
  std::string made, error;
  if (v7c::ApplyNodediff(diff.data(), diff.size(), old.data(), old.size(),
                         &made, &error)) {
    v7c::ListCrc crc = v7c::CheckListCrc(made.data(), made.size());
    if (made.empty() || made.back() != '\x1A' || !crc.claimed_present ||
        crc.claimed != crc.computed || !error.empty())
      __builtin_trap();
  } else if (!made.empty() || error.empty()) {
    __builtin_trap();
  }
  v7c::ListDate date;
  if (v7c::ParseListDate(old.data(), old.size(), &date) &&
      (date.day < 1 || date.day > 366))
    __builtin_trap();
  return 0;
}
