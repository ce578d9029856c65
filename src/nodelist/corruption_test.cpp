// Damaged nodelist files: a sound set of images is corrupted at named
// offsets, and the search must deliver what can still be read, never read
// outside the files, and report the damage with the file's name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nodelist/record_reader.h"
#include "nodelist/test_harness.h"

namespace {

using test_harness::Addresses;
using test_harness::Images;
using test_images::Bytes;

// Six nodes 1:1/1..6 with V7+ parts. The index has blocks of 64 bytes:
// leaves 1 (nodes 1, 2), 2 (3, 4) and 3 (5, 6) under the root, block 4.
const uint32_t kBlock = 64;
const size_t kLeaf1 = 1 * kBlock, kLeaf2 = 2 * kBlock, kRoot = 4 * kBlock;
const size_t kEntry0 = v7::kBlkHeaderSize;
const size_t kLeafEntry1 = kEntry0 + v7::kLeafEntrySize;
const size_t kIndexEntry1 = kEntry0 + v7::kIndexEntrySize;
const char kAll[] = "1:1/1.0 1:1/2.0 1:1/3.0 1:1/4.0 1:1/5.0 1:1/6.0";

Images SoundImages() {
  Images images;
  images.Plus = test_images::PlusHeader();
  std::vector<test_images::IndexEntry> entries;
  for (uint16_t node = 1; node <= 6; ++node) {
    std::string line = ",";
    line += std::to_string(node) + ",BBS,Town,Sysop,-Unpublished-,300,XA";
    uint32_t plus = test_images::AppendPlusEntry(&images.Plus, 10, false, line);
    test_images::RecordFields fields{};
    fields.Zone = 1;
    fields.Net = 1;
    fields.Node = node;
    fields.System = "BBS";
    fields.After = test_images::PlusOffsetText(plus);
    uint32_t offset = test_images::AppendRecord(&images.Data, fields);
    entries.push_back({test_images::NodeKey(1, 1, node), offset});
  }
  images.Index = test_images::BuildIndex(entries, kBlock, 2);
  return images;
}

enum Target { kData, kPlus, kIndex };

struct Corruption {
  const char* Name;
  Target File;
  long Offset;  // where Bytes are written; -1: none
  std::vector<unsigned char> Bytes;
  long Keep;           // bytes kept from the file's start; -1: all
  const char* Damage;  // expected in LastErrorText
  const char* Delivered;
};

Bytes* FileOf(Images* images, Target target) {
  return target == kData ? &images->Data
                         : (target == kPlus ? &images->Plus : &images->Index);
}

void Apply(const Corruption& c, Images* images) {
  Bytes* file = FileOf(images, c.File);
  if (c.Offset >= 0)
    for (size_t i = 0; i < c.Bytes.size(); ++i)
      (*file)[c.Offset + i] = c.Bytes[i];
  if (c.Keep >= 0) file->resize(c.Keep);
}

TEST(Corruption, SoundImagesAreReadWhole) {
  Images images = SoundImages();
  EXPECT_EQ(kAll,
            Addresses(test_harness::SearchAddress(images, {}, 0, UsePlusData)));
  EXPECT_EQ(0, Nodelist.Damaged);
  EXPECT_STREQ("", LastErrorText);
  EXPECT_EQ(5u * kBlock, images.Index.size());
}

TEST(Corruption, DamageIsReportedAndTheRestIsDelivered) {
  const long cut = -2;  // marker: keep all but the last few bytes (below)
  static const Corruption cases[] = {
      {"zero-length index",
       kIndex,
       -1,
       {},
       0,
       "TEST.NDX: index too short 0",
       ""},
      {"index shorter than its control block",
       kIndex,
       -1,
       {},
       5,
       "TEST.NDX: index too short 5",
       ""},
      {"block size 0",
       kIndex,
       v7::kCtlBlockSize,
       {0, 0},
       -1,
       "TEST.NDX: bad block size 0",
       ""},
      {"block size below one entry",
       kIndex,
       v7::kCtlBlockSize,
       {23, 0},
       -1,
       "TEST.NDX: bad block size 23",
       ""},
      {"block size beyond the file",
       kIndex,
       v7::kCtlBlockSize,
       {0, 2},
       -1,
       "TEST.NDX: bad block size 512",
       ""},
      {"root is the control block",
       kIndex,
       v7::kCtlRoot,
       {0, 0, 0, 0},
       -1,
       "child points to the control block 0",
       ""},
      {"root beyond the file",
       kIndex,
       v7::kCtlRoot,
       {5, 0, 0, 0},
       -1,
       "block number out of range 5",
       ""},
      {"root points at itself",
       kIndex,
       kRoot + v7::kBlkFirstChild,
       {4, 0, 0, 0},
       -1,
       "loop at block 4",
       "1:1/3.0 1:1/4.0 1:1/5.0 1:1/6.0"},
      {"child points to the control block",
       kIndex,
       kRoot + kEntry0 + v7::kEntChild,
       {0, 0, 0, 0},
       -1,
       "child points to the control block 0",
       "1:1/1.0 1:1/2.0 1:1/5.0 1:1/6.0"},
      {"leaf key runs off the block",
       kIndex,
       kLeaf1 + kEntry0 + v7::kEntKeyOffset,
       {60, 0},
       -1,
       "bad key in block 1",
       "1:1/2.0 1:1/3.0 1:1/4.0 1:1/5.0 1:1/6.0"},
      {"leaf key length beyond the block",
       kIndex,
       kLeaf1 + kLeafEntry1 + v7::kEntKeyLength,
       {0xFF, 0xFF},
       -1,
       "bad key in block 1",
       "1:1/1.0 1:1/3.0 1:1/4.0 1:1/5.0 1:1/6.0"},
      {"address key of 7 bytes",
       kIndex,
       kLeaf1 + kEntry0 + v7::kEntKeyLength,
       {7, 0},
       -1,
       "bad key in block 1",
       "1:1/2.0 1:1/3.0 1:1/4.0 1:1/5.0 1:1/6.0"},
      {"index key runs off the block",
       kIndex,
       kRoot + kIndexEntry1 + v7::kEntKeyOffset,
       {0xFF, 0xFF},
       -1,
       "bad key in block 4",
       kAll},
      {"entry count beyond the block",
       kIndex,
       kLeaf2 + v7::kBlkCount,
       {100, 0},
       -1,
       "bad entry count in block 2",
       "1:1/1.0 1:1/2.0 1:1/5.0 1:1/6.0"},
      {"negative entry count",
       kIndex,
       kLeaf2 + v7::kBlkCount,
       {0xFF, 0xFF},
       -1,
       "bad entry count in block 2",
       "1:1/1.0 1:1/2.0 1:1/5.0 1:1/6.0"},
      {"index cut inside its last block",
       kIndex,
       -1,
       {},
       4 * kBlock + 10,
       "block number out of range 4",
       ""},
      {"data offset past the data file",
       kIndex,
       kLeaf1 + kLeafEntry1 + v7::kEntData,
       {0xFF, 0xFF, 0, 0},
       -1,
       "TEST.DAT: record offset past the end 65535",
       "1:1/1.0 1:1/3.0 1:1/4.0 1:1/5.0 1:1/6.0"},
      {"zero-length data file",
       kData,
       -1,
       {},
       0,
       "TEST.DAT: record offset past the end 0",
       ""},
      {"data file cut inside its last record",
       kData,
       -1,
       {},
       cut,
       "TEST.DAT: record runs past the end",
       "1:1/1.0 1:1/2.0 1:1/3.0 1:1/4.0 1:1/5.0"},
      {"text lengths exceed the record",
       kData,
       v7::kRecSystemLen,
       {200},
       -1,
       "TEST.DAT: text lengths exceed the record 0",
       "1:1/2.0 1:1/3.0 1:1/4.0 1:1/5.0 1:1/6.0"},
      {"zero-length V7+ file",
       kPlus,
       -1,
       {},
       0,
       "TEST.DTP: header too short 0",
       ""},
      {"V7+ line without its end",
       kPlus,
       -1,
       {},
       -3,
       "TEST.DTP: line does not match its length",
       "1:1/1.0 1:1/2.0 1:1/3.0 1:1/4.0 1:1/5.0"},
      {"V7+ link blocks beyond the file",
       kPlus,
       v7::kDtpLinkSize,
       {255, 255},
       -1,
       "TEST.DTP: line length past the end",
       ""},
  };
  for (const Corruption& c : cases) {
    Images images = SoundImages();
    Corruption applied = c;
    if (c.Keep == cut)
      applied.Keep = static_cast<long>(FileOf(&images, c.File)->size()) - 3;
    if (c.Keep == -3) applied.Keep = static_cast<long>(images.Plus.size()) - 1;
    Apply(applied, &images);
    std::string found =
        Addresses(test_harness::SearchAddress(images, {}, 0, UsePlusData));
    EXPECT_EQ(c.Delivered, found) << c.Name;
    EXPECT_EQ(1, Nodelist.Damaged) << c.Name;
    EXPECT_NE(std::string::npos, std::string(LastErrorText).find(c.Damage))
        << c.Name << ": " << LastErrorText;
    EXPECT_EQ(0, std::string(LastErrorText).find("Damaged nodelist file "))
        << c.Name;
  }
}

TEST(Corruption, TheFirstDamageTextIsKept) {
  Images images = SoundImages();
  images.Index[kLeaf1 + kEntry0 + v7::kEntKeyLength] = 7;
  images.Data[v7::kRecSystemLen] = 200;  // node 1, never reached
  images.Index[kLeaf2 + v7::kBlkCount] = 100;
  test_harness::SearchAddress(images, {}, 0, UsePlusData);
  EXPECT_STREQ("Damaged nodelist file TEST.NDX: bad key in block 1",
               LastErrorText);
}

TEST(Corruption, LaterWarningsKeepTheDamageText) {
  Images images;
  images.Plus = test_images::PlusHeader();
  test_images::RecordFields fields{};
  fields.System = "BBS";
  uint32_t damaged = test_images::AppendRecord(&images.Data, fields);
  uint32_t plain = test_images::AppendRecord(&images.Data, fields);
  images.Data[damaged + v7::kRecSysopLen] = 250;
  test_harness::Prepare(images, UsePlusData);
  std::vector<NodeRecord> found;
  Nodelist.MatchData = &found;
  EXPECT_EQ(0, ReadNodeRecord(&Nodelist, damaged));
  EXPECT_EQ(1, ReadNodeRecord(&Nodelist, plain));
  EXPECT_EQ(1u, found.size());
  EXPECT_STREQ(
      "Damaged nodelist file TEST.DAT: text lengths exceed the record 0",
      LastErrorText);
}

TEST(Corruption, PlusOffsetsBeyondTheFileAreDamage) {
  static const uint32_t offsets[] = {0x7FFFFFFF, 0xFFFFFFFF, 0xFFFFFFFE};
  for (uint32_t offset : offsets) {
    Images images;
    images.Plus = test_images::PlusHeader();
    test_images::RecordFields fields{};
    fields.After = test_images::PlusOffsetText(offset);
    uint32_t at = test_images::AppendRecord(&images.Data, fields);
    test_harness::Prepare(images, UsePlusData);
    std::vector<NodeRecord> found;
    Nodelist.MatchData = &found;
    EXPECT_EQ(0, ReadNodeRecord(&Nodelist, at));
    EXPECT_TRUE(found.empty());
    EXPECT_NE(nullptr, std::strstr(LastErrorText,
                                   "TEST.DTP: record offset past the end"))
        << LastErrorText;
  }
}

// A chain of empty index blocks, each leading into the next.
Bytes ChainOfIndexBlocks(uint32_t length) {
  Images sound = SoundImages();
  Bytes image(kBlock, 0);
  for (uint32_t block = 1; block <= length; ++block)
    test_images::WriteBlock(&image, kBlock, block, block + 1, {}, {});
  test_images::WriteBlock(&image, kBlock, length + 1, v7::kLeafMark,
                          {{test_images::NodeKey(1, 1, 1), 0}}, {});
  test_images::PutU16(&image, v7::kCtlBlockSize, kBlock);
  test_images::PutU32(&image, v7::kCtlRoot, 1);
  return image;
}

TEST(Corruption, TheWalkHasADepthLimit) {
  Images images = SoundImages();
  images.Index = ChainOfIndexBlocks(kMaxWalkDepth - 1);
  EXPECT_EQ("1:1/1.0",
            Addresses(test_harness::SearchAddress(images, {}, 0, UsePlusData)));
  EXPECT_EQ(0, Nodelist.Damaged);
  images.Index = ChainOfIndexBlocks(kMaxWalkDepth);
  EXPECT_EQ("",
            Addresses(test_harness::SearchAddress(images, {}, 0, UsePlusData)));
  EXPECT_NE(nullptr, std::strstr(LastErrorText, "tree too deep at block 33"));
}

TEST(Corruption, SharedSubtreesCannotMultiplyTheWalk) {
  // Every child of every index block is the next block: without a bound
  // the walk would visit the last leaf 3^19 times.
  Images images = SoundImages();
  Bytes image(kBlock, 0);
  const uint32_t levels = 20;
  for (uint32_t block = 1; block < levels; ++block) {
    std::vector<test_images::IndexEntry> keys(
        2, {test_images::NodeKey(1, 1, 1), 0});
    test_images::WriteBlock(&image, kBlock, block, block + 1, keys,
                            {block + 1, block + 1});
  }
  test_images::WriteBlock(&image, kBlock, levels, v7::kLeafMark,
                          {{test_images::NodeKey(1, 1, 1), 0}}, {});
  test_images::PutU16(&image, v7::kCtlBlockSize, kBlock);
  test_images::PutU32(&image, v7::kCtlRoot, 1);
  images.Index = image;
  std::vector<NodeRecord> found =
      test_harness::SearchAddress(images, {}, 0, UsePlusData);
  EXPECT_EQ(1u, found.size());
  EXPECT_LE(Search.Visits, levels);
  EXPECT_NE(nullptr, std::strstr(LastErrorText, "block reached twice"));
}

}  // namespace
