// The bottom-up B+-tree writer.
#include "compiler/btree_writer.h"

#include <cstring>

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

// Fills blocks of one level into the image; tracks the open block.
class LevelWriter {
 public:
  LevelWriter(std::vector<uint8_t>* image, uint16_t block_size,
              uint32_t entry_size)
      : image_(image), block_size_(block_size), entry_size_(entry_size) {}

  // Starts a new block after the last one in the image.
  uint8_t* Open(uint32_t first_child, size_t first_item) {
    uint32_t number = static_cast<uint32_t>(image_->size() / block_size_);
    image_->resize(image_->size() + block_size_);
    uint8_t* b = Block(number);
    Put32(b + v7::kBlkFirstChild, first_child);
    uint32_t prev = blocks_.empty() ? 0 : blocks_.back().number;
    Put32(b + v7::kBlkPrev, prev);
    if (prev) Put32(Block(prev) + v7::kBlkNext, number);
    Put16(b + v7::kBlkKeyStart, block_size_);
    blocks_.push_back({number, first_item});
    count_ = 0;
    key_start_ = block_size_;
    return b;
  }

  int Fits(uint16_t key_length) const {
    return v7::kBlkHeaderSize + (count_ + 1) * entry_size_ + key_length <=
           key_start_;
  }

  // Appends one entry to the open block; child is used by index blocks.
  void Add(const IndexItem& item, uint32_t child) {
    uint8_t* b = Block(blocks_.back().number);
    key_start_ -= item.length;
    memcpy(b + key_start_, item.key, item.length);
    uint8_t* e = b + v7::kBlkHeaderSize + count_ * entry_size_;
    Put16(e + v7::kEntKeyOffset, key_start_);
    Put16(e + v7::kEntKeyLength, item.length);
    Put32(e + v7::kEntData, item.data);
    if (entry_size_ == v7::kIndexEntrySize) Put32(e + v7::kEntChild, child);
    ++count_;
    Put16(b + v7::kBlkCount, count_);
    Put16(b + v7::kBlkKeyStart, key_start_);
  }

  int Empty() const { return count_ == 0; }
  const std::vector<BuiltBlock>& blocks() const { return blocks_; }

 private:
  uint8_t* Block(uint32_t number) {
    return image_->data() + static_cast<size_t>(number) * block_size_;
  }

  std::vector<uint8_t>* image_;
  uint32_t block_size_;
  uint32_t entry_size_;
  std::vector<BuiltBlock> blocks_;
  uint32_t count_ = 0;
  uint32_t key_start_ = 0;
};

IndexItem Clipped(IndexItem item) {
  if (item.length > kMaxIndexKey) item.length = kMaxIndexKey;
  return item;
}

std::vector<BuiltBlock> WriteLeaves(const IndexItem* items, size_t count,
                                    std::vector<uint8_t>* image,
                                    uint16_t block_size) {
  LevelWriter level(image, block_size, v7::kLeafEntrySize);
  level.Open(v7::kLeafMark, 0);
  for (size_t i = 0; i < count; ++i) {
    IndexItem item = Clipped(items[i]);
    if (!level.Fits(item.length)) level.Open(v7::kLeafMark, i);
    level.Add(item, 0);
  }
  return level.blocks();
}

// Splits the blocks below into parents: returns the index in `below` of
// the first child of each parent. Each parent is filled as far as its
// entries fit; the last parent gets at least one entry as well.
std::vector<size_t> PlanParents(const std::vector<BuiltBlock>& below,
                                const IndexItem* items, uint32_t block_size) {
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
  return starts;
}

// One index level over the blocks below: each block is the first child of
// a parent or an entry there carrying its subtree's first key.
std::vector<BuiltBlock> WriteIndexLevel(const std::vector<BuiltBlock>& below,
                                        const IndexItem* items,
                                        std::vector<uint8_t>* image,
                                        uint16_t block_size) {
  std::vector<size_t> starts = PlanParents(below, items, block_size);
  LevelWriter level(image, block_size, v7::kIndexEntrySize);
  size_t next_start = 0;
  for (size_t i = 0; i < below.size(); ++i) {
    if (next_start < starts.size() && starts[next_start] == i) {
      level.Open(below[i].number, below[i].first_item);
      ++next_start;
      continue;
    }
    level.Add(Clipped(items[below[i].first_item]), below[i].number);
  }
  return level.blocks();
}

void WriteControlBlock(std::vector<uint8_t>* image, uint16_t block_size,
                       uint32_t root, uint32_t first_leaf, uint32_t last_leaf,
                       uint16_t levels) {
  uint8_t* c = image->data();
  Put16(c + v7::kCtlBlockSize, block_size);
  Put32(c + v7::kCtlRoot, root);
  Put32(c + v7::kCtlHighBlock,
        static_cast<uint32_t>(image->size() / block_size - 1));
  Put32(c + v7::kCtlFirstLeaf, first_leaf);
  Put32(c + v7::kCtlLastLeaf, last_leaf);
  Put32(c + v7::kCtlFreeList, 0);
  Put16(c + v7::kCtlLevels, levels);
  uint16_t parity = 0;
  for (uint32_t off = 0; off < v7::kCtlParity; off += 2)
    parity ^= static_cast<uint16_t>(c[off] | (c[off + 1] << 8));
  Put16(c + v7::kCtlParity, parity);
}

}  // namespace

std::vector<uint8_t> BuildIndexFile(const IndexItem* items, size_t count,
                                    uint16_t block_size) {
  std::vector<uint8_t> image(block_size, 0);
  std::vector<BuiltBlock> level = WriteLeaves(items, count, &image, block_size);
  uint32_t first_leaf = level.front().number;
  uint32_t last_leaf = level.back().number;
  uint16_t levels = 1;
  while (level.size() > 1) {
    level = WriteIndexLevel(level, items, &image, block_size);
    ++levels;
  }
  WriteControlBlock(&image, block_size, level[0].number, first_leaf, last_leaf,
                    levels);
  return image;
}

}  // namespace v7c
