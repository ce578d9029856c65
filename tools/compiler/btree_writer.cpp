// The bottom-up B+-tree writer.
#include "compiler/btree_writer.h"

#include <cstring>
#include <utility>

#include "nodelist/v7_format.h"

namespace v7c {

namespace {

void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// A block of one level as the level above needs it: its number and the
// first item of its subtree.
struct BuiltBlock {
  uint32_t number;
  size_t first_item;
};

// One level of the tree as planned before anything is written: its blocks
// and, for an index level, where in the level below each block's children
// begin (one more start closes the list).
struct Level {
  std::vector<BuiltBlock> blocks;
  std::vector<size_t> starts;
};

IndexItem Clipped(IndexItem item) {
  if (item.length > kMaxIndexKey) item.length = kMaxIndexKey;
  return item;
}

// Leaves packed full in key order; starts holds each leaf's first item.
Level PlanLeaves(const IndexItem* items, size_t count, uint32_t block_size,
                 uint32_t* next_number) {
  Level level;
  level.blocks.push_back({(*next_number)++, 0});
  uint32_t used = v7::kBlkHeaderSize;
  for (size_t i = 0; i < count; ++i) {
    uint32_t need = v7::kLeafEntrySize + Clipped(items[i]).length;
    if (used + need > block_size) {
      level.blocks.push_back({(*next_number)++, i});
      used = v7::kBlkHeaderSize;
    }
    used += need;
  }
  for (const BuiltBlock& b : level.blocks) level.starts.push_back(b.first_item);
  level.starts.push_back(count);
  return level;
}

// Splits the blocks below into parents: each parent is filled as far as
// its entries fit; the last parent gets at least one entry as well.
Level PlanParents(const std::vector<BuiltBlock>& below, const IndexItem* items,
                  uint32_t block_size, uint32_t* next_number) {
  std::vector<size_t> starts = {0};
  uint32_t used = v7::kBlkHeaderSize;
  for (size_t i = 1; i < below.size(); ++i) {
    uint32_t need =
        v7::kIndexEntrySize + Clipped(items[below[i].first_item]).length;
    if (i > starts.back() + 1 && used + need > block_size) {
      starts.push_back(i);
      used = v7::kBlkHeaderSize;
      continue;
    }
    used += need;
  }
  if (starts.size() > 1 && starts.back() == below.size() - 1) --starts.back();
  Level level;
  for (size_t start : starts)
    level.blocks.push_back({(*next_number)++, below[start].first_item});
  level.starts = std::move(starts);
  level.starts.push_back(below.size());
  return level;
}

// Fills one block in place: header, entries from the front, keys from the
// back. The first entry of an index block is its first child alone.
class BlockFiller {
 public:
  BlockFiller(uint8_t* block, uint32_t block_size, uint32_t entry_size)
      : b_(block), entry_size_(entry_size), key_start_(block_size) {
    memset(b_, 0, block_size);
  }

  void Header(uint32_t first_child, uint32_t prev, uint32_t next) {
    Put32(b_ + v7::kBlkFirstChild, first_child);
    Put32(b_ + v7::kBlkPrev, prev);
    Put32(b_ + v7::kBlkNext, next);
  }

  void Add(const IndexItem& item, uint32_t child) {
    key_start_ -= item.length;
    memcpy(b_ + key_start_, item.key, item.length);
    uint8_t* e = b_ + v7::kBlkHeaderSize + count_ * entry_size_;
    Put16(e + v7::kEntKeyOffset, key_start_);
    Put16(e + v7::kEntKeyLength, item.length);
    Put32(e + v7::kEntData, item.data);
    if (entry_size_ == v7::kIndexEntrySize) Put32(e + v7::kEntChild, child);
    ++count_;
  }

  void Close() {
    Put16(b_ + v7::kBlkCount, count_);
    Put16(b_ + v7::kBlkKeyStart, key_start_);
  }

 private:
  uint8_t* b_;
  uint32_t entry_size_;
  uint32_t key_start_;
  uint32_t count_ = 0;
};

// Writes the blocks of one level in order, linked both ways.
void WriteLevel(const Level& level, const Level* below, const IndexItem* items,
                uint32_t block_size, ByteSink* out) {
  size_t n = level.blocks.size();
  for (size_t p = 0; p < n; ++p) {
    uint32_t number = level.blocks[p].number;
    BlockFiller block(SinkRoom(out, block_size), block_size,
                      below ? v7::kIndexEntrySize : v7::kLeafEntrySize);
    size_t first = level.starts[p], end = level.starts[p + 1];
    if (below) {
      block.Header(below->blocks[first].number, p ? number - 1 : 0,
                   p + 1 < n ? number + 1 : 0);
      for (size_t i = first + 1; i < end; ++i)
        block.Add(Clipped(items[below->blocks[i].first_item]),
                  below->blocks[i].number);
    } else {
      block.Header(v7::kLeafMark, p ? number - 1 : 0,
                   p + 1 < n ? number + 1 : 0);
      for (size_t i = first; i < end; ++i) block.Add(Clipped(items[i]), 0);
    }
    block.Close();
    SinkCommit(out, block_size);
  }
}

void WriteControlBlock(uint32_t block_size, uint32_t root, uint32_t high,
                       uint32_t first_leaf, uint32_t last_leaf, uint16_t levels,
                       ByteSink* out) {
  uint8_t* c = SinkRoom(out, block_size);
  memset(c, 0, block_size);
  Put16(c + v7::kCtlBlockSize, block_size);
  Put32(c + v7::kCtlRoot, root);
  Put32(c + v7::kCtlHighBlock, high);
  Put32(c + v7::kCtlFirstLeaf, first_leaf);
  Put32(c + v7::kCtlLastLeaf, last_leaf);
  Put32(c + v7::kCtlFreeList, 0);
  Put16(c + v7::kCtlLevels, levels);
  uint16_t parity = 0;
  for (uint32_t off = 0; off < v7::kCtlParity; off += 2)
    parity ^= static_cast<uint16_t>(c[off] | (c[off + 1] << 8));
  Put16(c + v7::kCtlParity, parity);
  SinkCommit(out, block_size);
}

}  // namespace

void WriteIndexFile(const IndexItem* items, size_t count, uint16_t block_size,
                    ByteSink* out) {
  uint32_t next_number = 1;  // block 0 is the control block
  std::vector<Level> levels;
  levels.push_back(PlanLeaves(items, count, block_size, &next_number));
  while (levels.back().blocks.size() > 1)
    levels.push_back(
        PlanParents(levels.back().blocks, items, block_size, &next_number));
  const Level& leaves = levels.front();
  WriteControlBlock(block_size, levels.back().blocks[0].number, next_number - 1,
                    leaves.blocks.front().number, leaves.blocks.back().number,
                    static_cast<uint16_t>(levels.size()), out);
  for (size_t l = 0; l < levels.size(); ++l)
    WriteLevel(levels[l], l ? &levels[l - 1] : nullptr, items, block_size, out);
}

std::vector<uint8_t> BuildIndexFile(const IndexItem* items, size_t count,
                                    uint16_t block_size) {
  std::vector<uint8_t> image;
  ByteSink sink;
  OpenSink(&sink, AppendToVector, &image, 1 << 16);
  WriteIndexFile(items, count, block_size, &sink);
  FlushSink(&sink);
  return image;
}

}  // namespace v7c
