// The index writer alone, at the sizes where a level just fills up.
#include "compiler/btree_writer.h"

#include <gtest/gtest.h>

#include <vector>

#include "nodelist/v7_format.h"
#include "test_reader.h"

namespace {

// With 6-byte keys a leaf holds 35 entries and an index block 27 entries,
// that is 28 children; 28 * 35 + 1 items leave one child for a last parent.
struct TreeCase {
  size_t items;
  uint32_t levels;
};

const TreeCase kTrees[] = {
    {0, 1},   {1, 1},   {35, 1},   {36, 2},           {980, 2},
    {981, 3}, {982, 3}, {1015, 3}, {28 * 28 * 35, 3}, {28 * 28 * 35 + 1, 4},
};

TEST(BtreeWriter, EveryLevelSoundAtTheEdges) {
  for (const TreeCase& t : kTrees) {
    SCOPED_TRACE(t.items);
    std::vector<uint8_t> keys(t.items * 6);
    std::vector<v7c::IndexItem> items(t.items);
    for (size_t i = 0; i < t.items; ++i) {
      // Big-endian counters sort as bytes, which the reader compares.
      for (int b = 0; b < 6; ++b)
        keys[i * 6 + b] = static_cast<uint8_t>(i >> (8 * (5 - b)));
      items[i] = {keys.data() + i * 6, 6, static_cast<uint32_t>(i * 10)};
    }
    std::vector<uint8_t> file =
        v7c::BuildIndexFile(items.data(), items.size(), v7::kUsualBlockSize);
    v7test::IndexCheck check = v7test::CheckIndex(file);
    EXPECT_EQ(check.error, "");
    EXPECT_EQ(check.levels, t.levels);
    ASSERT_EQ(check.leaves.size(), t.items);
    for (size_t i = 0; i < t.items; ++i)
      ASSERT_EQ(check.leaves[i].data, i * 10);
    for (size_t b = 1; b < file.size() / v7::kUsualBlockSize; ++b) {
      size_t at = b * v7::kUsualBlockSize;
      if (v7test::Get32(file, at) != v7::kLeafMark) {
        EXPECT_GE(v7test::Get16(file, at + v7::kBlkCount), 1u) << "block " << b;
      }
    }
  }
}

TEST(BtreeWriter, LongKeysAreCut) {
  std::vector<uint8_t> key(200, 'K');
  v7c::IndexItem item = {key.data(), 200, 1};
  std::vector<uint8_t> file =
      v7c::BuildIndexFile(&item, 1, v7::kUsualBlockSize);
  v7test::IndexCheck check = v7test::CheckIndex(file);
  ASSERT_EQ(check.leaves.size(), 1u);
  EXPECT_EQ(check.leaves[0].key.size(), v7c::kMaxIndexKey);
}

}  // namespace
