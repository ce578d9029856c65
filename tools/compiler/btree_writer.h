// Writes a V7 index file (NDX, SDX, SYSOP.NDX, PDX) from keys that are
// already in index order: a B+-tree of fixed-size blocks built bottom-up.
#ifndef TOLVANE_TOOLS_COMPILER_BTREE_WRITER_H
#define TOLVANE_TOOLS_COMPILER_BTREE_WRITER_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "compiler/byte_sink.h"

namespace v7c {

// One key of the index and the data-file offset of its record.
struct IndexItem {
  const uint8_t* key;
  uint16_t length;  // at most kMaxIndexKey
  uint32_t data;
};

// Longest key the writer accepts; longer keys are cut to it.
const uint16_t kMaxIndexKey = 64;

// Builds the whole index file image for items[0..count) in order:
// block 0 the control block with its parity; then the leaves (linked in
// key order, packed full), then each index level above them (every key
// repeats the first key of its right subtree with the same data offset),
// the root last. Every level's blocks are linked both ways. With no items
// the root is one empty leaf. The shape of the tree is planned first, so
// that the file is written front to back into the sink.
void WriteIndexFile(const IndexItem* items, size_t count, uint16_t block_size,
                    ByteSink* out);

// The same file as one image in memory.
std::vector<uint8_t> BuildIndexFile(const IndexItem* items, size_t count,
                                    uint16_t block_size);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_BTREE_WRITER_H
