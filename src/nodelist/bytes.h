// Little-endian numbers read byte by byte from the mapped files, so that no
// read depends on alignment. Callers check the bounds first.
#ifndef TOLVANE_NODELIST_BYTES_H
#define TOLVANE_NODELIST_BYTES_H

#include <cstddef>
#include <cstdint>

inline uint16_t ReadU16(const unsigned char* at) {
  return static_cast<uint16_t>(at[0] | (at[1] << 8));
}

inline uint32_t ReadU32(const unsigned char* at) {
  return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) |
         (static_cast<uint32_t>(at[2]) << 16) |
         (static_cast<uint32_t>(at[3]) << 24);
}

// 1 when [offset, offset + length) lies inside a view of `size` bytes; the
// sum is formed in 64 bits so that it cannot wrap.
inline int RangeFits(uint64_t offset, uint64_t length, size_t size) {
  return offset <= size && length <= size - offset;
}

#endif  // TOLVANE_NODELIST_BYTES_H
