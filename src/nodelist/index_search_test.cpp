#include "nodelist/index_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "nodelist/test_harness.h"

namespace {

using test_harness::Addresses;
using test_harness::Images;
using test_images::IndexEntry;

struct Entry {
  uint16_t Zone, Net, Node, Point;
  const char* Sysop;  // as the sysop index holds it
};

const Entry kEntries[] = {
    {1, 100, 0, 0, "Host, One"},     {1, 100, 1, 0, "Doe, John"},
    {1, 100, 1, 1, "Point, One"},    {1, 100, 1, 2, "Point, Two"},
    {1, 100, 2, 0, "Smi"},           {1, 200, 0, 0, "Smith, John"},
    {1, 200, 5, 0, "smithson, Ann"}, {2, 2, 0, 0, "Smithy"},
    {2, 5020, 0, 0, "Smyth, Bob"},   {2, 5020, 1, 0, "Smith, Johnny"},
    {2, 5020, 1, 7, "Zed"},          {2, 5020, 2, 0, "Young, Al"},
    {2, 5030, 0, 0, "Xu, Li"},       {3, 4, 5, 0, "Smith"},
};

std::string AddressKeyOf(const Entry& e) {
  return e.Point ? test_images::PointKey(e.Zone, e.Net, e.Node, e.Point)
                 : test_images::NodeKey(e.Zone, e.Net, e.Node);
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(c));
  return text;
}

uint32_t BlockSizeFor(size_t perBlock) { return perBlock > 3 ? 512 : 128; }

// The data file of kEntries and the offsets of their records.
std::vector<uint32_t> WriteRecords(Images* images) {
  std::vector<uint32_t> offsets;
  for (const Entry& e : kEntries) {
    test_images::RecordFields fields{};
    fields.Zone = e.Zone;
    fields.Net = e.Net;
    fields.Node = e.Node;
    fields.HubOrPoint = e.Point;
    fields.NodeFlags = e.Point ? v7::kFlagPoint : 0;
    fields.Sysop = e.Sysop;
    offsets.push_back(test_images::AppendRecord(&images->Data, fields));
  }
  return offsets;
}

Images AddressImages(size_t perBlock) {
  Images images;
  std::vector<uint32_t> offsets = WriteRecords(&images);
  std::vector<IndexEntry> entries;
  for (size_t i = 0; i < std::size(kEntries); ++i)
    entries.push_back({AddressKeyOf(kEntries[i]), offsets[i]});
  images.Index =
      test_images::BuildIndex(entries, BlockSizeFor(perBlock), perBlock);
  return images;
}

Images SysopImages(size_t perBlock) {
  Images images;
  std::vector<uint32_t> offsets = WriteRecords(&images);
  std::vector<IndexEntry> entries;
  for (size_t i = 0; i < std::size(kEntries); ++i)
    entries.push_back({kEntries[i].Sysop, offsets[i]});
  std::stable_sort(entries.begin(), entries.end(),
                   [](const IndexEntry& a, const IndexEntry& b) {
                     return Upper(a.Key) < Upper(b.Key);
                   });
  images.Index =
      test_images::BuildIndex(entries, BlockSizeFor(perBlock), perBlock);
  return images;
}

// One leaf, a tree of three levels and a tree of four.
const size_t kTreeShapes[] = {100, 3, 2};

struct AddressCase {
  FtnAddress Key;
  int KeyLength;
  uint16_t Flags;
  const char* Expected;
};

TEST(WalkBlock, AddressSearchesDeliverTheMatchingEntriesInOrder) {
  static const AddressCase cases[] = {
      {{0, 0, 0, 0}, 0, OnePerNextPart, "1:100/0.0 2:2/0.0 3:4/5.0"},
      {{9, 9, 9, 9},
       0,
       0,
       "1:100/0.0 1:100/1.0 1:100/1.1 1:100/1.2 1:100/2.0 1:200/0.0 "
       "1:200/5.0 2:2/0.0 2:5020/0.0 2:5020/1.0 2:5020/1.7 2:5020/2.0 "
       "2:5030/0.0 3:4/5.0"},
      {{2, 0, 0, 0}, 2, OnePerNextPart, "2:2/0.0 2:5020/0.0 2:5030/0.0"},
      {{1, 0, 0, 0}, 2, OnePerNextPart, "1:100/0.0 1:200/0.0"},
      {{2, 5020, 0, 0}, 4, OnePerNextPart, "2:5020/0.0 2:5020/1.0 2:5020/2.0"},
      {{2, 5020, 0, 0}, 4, 0, "2:5020/0.0 2:5020/1.0 2:5020/1.7 2:5020/2.0"},
      {{1, 100, 1, 0}, 6, 0, "1:100/1.0 1:100/1.1 1:100/1.2"},
      {{1, 100, 1, 0}, 6, OnePerNextPart, "1:100/1.0 1:100/1.1 1:100/1.2"},
      {{2, 5020, 1, 0}, 8, 0, "2:5020/1.0"},
      {{2, 5020, 1, 7}, 8, 0, "2:5020/1.7"},
      {{1, 100, 1, 2}, 8, 0, "1:100/1.2"},
      {{2, 5020, 1, 9}, 8, 0, ""},
      {{1, 300, 0, 0}, 4, 0, ""},
      {{4, 0, 0, 0}, 2, 0, ""},
      {{0, 0, 0, 0}, 2, 0, ""},
      {{3, 4, 5, 0}, 99, 0, "3:4/5.0"},  // clamped to 8
  };
  for (size_t shape : kTreeShapes) {
    Images images = AddressImages(shape);
    for (const AddressCase& c : cases) {
      std::string found = Addresses(
          test_harness::SearchAddress(images, c.Key, c.KeyLength, c.Flags));
      EXPECT_EQ(c.Expected, found)
          << "tree " << shape << ", key " << c.Key.Zone << ":" << c.Key.Net
          << "/" << c.Key.Node << "." << c.Key.Point << " length "
          << c.KeyLength;
      EXPECT_EQ(0, Nodelist.Damaged);
    }
  }
}

TEST(WalkBlock, FullAddressSearchVisitsOnePathAndNeighbours) {
  Images images = AddressImages(2);
  test_harness::SearchAddress(images, {2, 5020, 1, 7}, 8);
  uint32_t blocks =
      static_cast<uint32_t>(images.Index.size() / BlockSizeFor(2)) - 1;
  EXPECT_LE(Search.Visits, 8u);
  EXPECT_LT(Search.Visits, blocks);
}

TEST(WalkBlock, RememberedNextPartStartsAfreshInEverySearch) {
  Images images = AddressImages(3);
  // The first search delivers node 5 last; the second starts with node 5.
  EXPECT_EQ("1:200/0.0 1:200/5.0",
            Addresses(test_harness::SearchAddress(images, {1, 200, 0, 0}, 4,
                                                  OnePerNextPart)));
  EXPECT_EQ("3:4/5.0", Addresses(test_harness::SearchAddress(
                           images, {3, 4, 0, 0}, 4, OnePerNextPart)));
}

TEST(WalkBlock, EmptyIndexBlockLeadsIntoItsFirstChild) {
  Images images = AddressImages(100);
  test_images::WriteBlock(&images.Index, BlockSizeFor(100), 2, 1, {}, {});
  test_images::PutU32(&images.Index, v7::kCtlRoot, 2);
  EXPECT_EQ("2:5020/0.0 2:5020/1.0 2:5020/2.0",
            Addresses(test_harness::SearchAddress(images, {2, 5020, 0, 0}, 4,
                                                  OnePerNextPart)));
  EXPECT_EQ(0, Nodelist.Damaged);
}

struct SysopCase {
  const char* Typed;
  const char* Expected;
};

TEST(WalkBlock, SysopSearchMatchesPrefixesBothWays) {
  static const SysopCase cases[] = {
      {"Smith", "1:100/2.0 3:4/5.0 1:200/0.0 2:5020/1.0 1:200/5.0 2:2/0.0"},
      {"SMITH", "1:100/2.0 3:4/5.0 1:200/0.0 2:5020/1.0 1:200/5.0 2:2/0.0"},
      {"John Smith", "1:100/2.0 3:4/5.0 1:200/0.0 2:5020/1.0"},
      {"john smith", "1:100/2.0 3:4/5.0 1:200/0.0 2:5020/1.0"},
      {"Johnny Smith", "1:100/2.0 3:4/5.0 1:200/0.0 2:5020/1.0"},
      // Smi and Smith are beginnings of the key with Smith, John between
      // them and it: found in every tree.
      {"Ann Smithson", "1:100/2.0 3:4/5.0 1:200/5.0"},
      {"Nobody", ""},
      {"Zed", "2:5020/1.7"},
  };
  for (size_t shape : kTreeShapes) {
    Images images = SysopImages(shape);
    for (const SysopCase& c : cases) {
      EXPECT_EQ(c.Expected,
                Addresses(test_harness::SearchSysop(images, c.Typed)))
          << "tree " << shape << ", " << c.Typed;
    }
  }
}

TEST(WalkBlock, SysopSearchUsesThePlainCompareWithoutTheHost) {
  Images images = SysopImages(100);
  test_harness::Prepare(images, 0);
  Nodelist.SearchKind = SearchBySysop;
  std::strcpy(SearchKey.SysopName, "smithy");
  HostFunctions.LStrnicmp = nullptr;
  EXPECT_EQ("1:100/2.0 3:4/5.0 2:2/0.0", Addresses(test_harness::Walk()));
}

TEST(CompareAddressKey, NodeSortsBeforeItsPoints) {
  static const struct {
    std::string Entry;
    FtnAddress Key;
    int Length;
    int Sign;
  } cases[] = {
      {test_images::NodeKey(2, 5020, 1), {2, 5020, 1, 0}, 8, 0},
      {test_images::NodeKey(2, 5020, 1), {2, 5020, 1, 3}, 8, -1},
      {test_images::NodeKey(2, 5020, 1), {2, 5020, 1, 3}, 6, -1},
      {test_images::PointKey(2, 5020, 1, 3), {2, 5020, 1, 0}, 8, 1},
      {test_images::PointKey(2, 5020, 1, 3), {2, 5020, 1, 0}, 6, 0},
      {test_images::PointKey(2, 5020, 1, 3), {2, 5020, 1, 4}, 8, -1},
      {test_images::NodeKey(65535, 1, 1), {1, 1, 1, 0}, 2, 1},
      {test_images::NodeKey(1, 1, 1), {65535, 1, 1, 0}, 2, -1},
      {test_images::NodeKey(1, 1, 1), {65535, 1, 1, 0}, 1, 0},
      {test_images::NodeKey(1, 2, 9), {1, 3, 0, 0}, 4, -1},
      {test_images::NodeKey(1, 2, 9), {1, 2, 0, 0}, 4, 0},
  };
  for (const auto& c : cases) {
    Search.KeyLength = c.Length;
    int result = CompareAddressKey(
        reinterpret_cast<const unsigned char*>(c.Entry.data()), &c.Key,
        static_cast<int>(c.Entry.size()));
    EXPECT_EQ(c.Sign, (result > 0) - (result < 0))
        << "length " << c.Length << " point " << c.Key.Point;
  }
}

// Abandoning: OnMatch leaves the walk at its second record.
SearchContext Abandon;
int AbandonAtSecond(NodeRecord* record, void* data) {
  auto* found = static_cast<std::vector<NodeRecord>*>(data);
  found->push_back(*record);
  if (found->size() == 2) ResumeSearchContext(&Abandon);
  return 1;
}

TEST(ResumeSearchContext, LeavesEveryLevelOfTheWalkAtOnce) {
  Images images = AddressImages(2);
  test_harness::Prepare(images, 0);
  Nodelist.SearchKind = SearchByAddress;
  Nodelist.KeyLength = 0;
  Nodelist.OnMatch = AbandonAtSecond;
  std::vector<NodeRecord> found;
  Nodelist.MatchData = &found;
  PrepareSearchKey(&Nodelist);
  volatile int resumed = 0;
  if (SaveSearchContext(&Abandon) == 0) {
    StartSearch(&Nodelist);
  } else {
    resumed = 1;
  }
  EXPECT_EQ(1, resumed);
  EXPECT_EQ("1:100/0.0 1:100/1.0", Addresses(found));
  // The next search starts from a clean path.
  EXPECT_EQ("3:4/5.0",
            Addresses(test_harness::SearchAddress(images, {3, 4, 5, 0}, 8)));
  EXPECT_EQ(0, Nodelist.Damaged);
}

}  // namespace
