// A small V7/V7+ reader for the tools' tests, written apart from the
// compiler: it checks the index files' structure and decodes records, so
// that the tests see the files as a reader would.
#ifndef TOLVANE_TOOLS_TEST_READER_H
#define TOLVANE_TOOLS_TEST_READER_H

#include <cstdint>
#include <string>
#include <vector>

namespace v7test {

inline uint32_t Get16(const std::vector<uint8_t>& f, size_t at) {
  return at + 2 <= f.size() ? f[at] | (f[at + 1] << 8) : 0xDEAD;
}

inline uint32_t Get32(const std::vector<uint8_t>& f, size_t at) {
  return at + 4 <= f.size() ? Get16(f, at) | (Get16(f, at + 2) << 16)
                            : 0xDEADBEEF;
}

// One leaf entry as the leaf chain gives it.
struct LeafKey {
  std::string key;
  uint32_t data;
};

// The result of checking an index file; `error` is empty when every
// structural rule held.
struct IndexCheck {
  std::string error;
  std::vector<LeafKey> leaves;  // leaf chain order
  uint32_t levels = 0;
};

// Checks the control block (parity, block size, highest block, first and
// last leaf), walks the leaf chain forwards and back, and walks the tree
// from the root: equal depth everywhere, every index key equal to the
// first key and data offset of its right subtree, each level's blocks
// linked both ways in order, the key areas inside their blocks.
IndexCheck CheckIndex(const std::vector<uint8_t>& file);

// The fields of one data record.
struct Record {
  uint16_t zone, net, node, hub_or_point, cost, flags;
  uint32_t baud;
  std::string phone, password, system, sysop, location, rest;
  uint32_t packed_length;
};

// Decodes the record at `offset`; returns 0 when it runs past the file.
int DecodeRecord(const std::vector<uint8_t>& dat, uint32_t offset, Record* out);

// The V7+ record of an entry.
struct PlusRecord {
  uint16_t region, hub;
  uint32_t next_sysop, next_phone, next_sibling;
  uint8_t sysop_seq, phone_seq;
  uint16_t downlinks;
  uint32_t first_downlink;
  std::string line;
};

// Decodes the V7+ record at `offset` using the header's block sizes.
int DecodePlus(const std::vector<uint8_t>& dtp, uint32_t offset, int point,
               PlusRecord* out);

}  // namespace v7test

#endif  // TOLVANE_TOOLS_TEST_READER_H
