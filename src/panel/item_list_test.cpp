#include "panel/item_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "panel/item_memory.h"
#include "panel/panel_test_support.h"

namespace {

using panel_test::Boxes;

class ItemListTest : public panel_test::PanelTest {
 protected:
  void TearDown() override {
    FreePanelItems(&list_);
    PlatformFailNth(kFaultCommit, 0, 0);
    PlatformFailNth(kFaultReserve, 0, 0);
    PanelTest::TearDown();
  }
  // Adds items until the list reports full; returns the count then.
  int FillUntilFull(int detailed, size_t endpointBytes = 0) {
    for (;;) {
      AddItemResult result = AddPanelItem(&list_, detailed, endpointBytes);
      if (result == kListFull) return list_.Count;
      if (result != kItemAdded) return -1;
    }
  }
  PanelItemList list_ = {nullptr, 0};
};

// The capacity that the layout gives: items grow up, areas down, and the
// list is full when the next item would reach its own area.
int ExpectedCapacity(size_t areaSize) {
  size_t step = sizeof(PluginPanelItem) + areaSize;
  return static_cast<int>((kItemListReservation - 1) / step);
}

TEST_F(ItemListTest, CapacityFollowsFromTheRecordSizes) {
  const struct {
    int Detailed;
    int Capacity;
  } kLists[] = {{1, ExpectedCapacity(ItemAreaSize(1))},
                {0, ExpectedCapacity(ItemAreaSize(0))}};
  for (const auto& kind : kLists) {
    Boxes().clear();
    EXPECT_EQ(FillUntilFull(kind.Detailed), kind.Capacity);
    EXPECT_EQ(AddPanelItem(&list_, kind.Detailed), kListFull);
    // One warning per list, however many records are left out.
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0], "M0|M5|M46");
    EXPECT_EQ(list_.Items[0].FindData.dwReserved0, 1u);
    // The last item and its area are whole and do not overlap.
    PluginPanelItem* last = LastPanelItem(&list_);
    EXPECT_LT(reinterpret_cast<char*>(last + 1), last->Description);
    FreePanelItems(&list_);
    EXPECT_EQ(list_.Items, nullptr);
    EXPECT_EQ(list_.Count, 0);
  }
}

// The figures of the 32-bit host: 366-byte items, 384-byte detailed areas
// (1108 with eight endpoints of 63 characters and 239 characters of flags)
// and 24-byte plain ones.
TEST_F(ItemListTest, ThirtyTwoBitCapacities) {
  if (sizeof(void*) != 4) GTEST_SKIP() << "32-bit build only";
  EXPECT_EQ(FillUntilFull(1), 9437);
  FreePanelItems(&list_);
  EXPECT_EQ(FillUntilFull(0), 18148);
  FreePanelItems(&list_);
  EXPECT_EQ(FillUntilFull(1, kExtraBlockRoom), 4801);
  // A net listing: ".." and 9,436 nodes.
  FreePanelItems(&list_);
  ASSERT_EQ(AddPanelItem(&list_, 0), kItemAdded);
  EXPECT_EQ(FillUntilFull(1), 9437);
}

// A node's point list: its own entry and as many points as fit.
TEST_F(ItemListTest, MixedListKeepsEveryAreaBelowTheLast) {
  ASSERT_EQ(AddPanelItem(&list_, 0), kItemAdded);
  int count = FillUntilFull(1);
  EXPECT_EQ(count,
            1 + static_cast<int>((kItemListReservation - ItemAreaSize(0) -
                                  sizeof(PluginPanelItem) - 1) /
                                 (sizeof(PluginPanelItem) + ItemAreaSize(1))));
  char* end = reinterpret_cast<char*>(list_.Items) + kItemListReservation;
  for (int i = 0; i < count; ++i) {
    char* area = list_.Items[i].Description;
    size_t size = ItemAreaSize(i == 0 ? 0 : 1);
    ASSERT_EQ(area + size, end) << i;
    end = area;
  }
}

TEST_F(ItemListTest, DetailedItemIsLaidOutInItsArea) {
  ASSERT_EQ(AddPanelItem(&list_, 0), kItemAdded);
  // An area as large as its endpoints need, never more than the most
  // they can take.
  ASSERT_EQ(AddPanelItem(&list_, 1, 100), kItemAdded);
  ASSERT_EQ(AddPanelItem(&list_, 1, 100000), kItemAdded);
  EXPECT_EQ(list_.Items[1].Description + item_area::DetailedSize(100),
            list_.Items[0].Description);
  EXPECT_EQ(list_.Items[2].Description + item_area::kLargestDetailedSize,
            list_.Items[1].Description);
  FreePanelItems(&list_);
  ASSERT_EQ(AddPanelItem(&list_, 0), kItemAdded);
  ASSERT_EQ(AddPanelItem(&list_, 1), kItemAdded);
  const PluginPanelItem& plain = list_.Items[0];
  EXPECT_EQ(plain.CustomColumnData, nullptr);
  EXPECT_EQ(plain.UserData, 0u);
  EXPECT_EQ(plain.Flags, 0u);
  EXPECT_STREQ(plain.Description, "");
  const PluginPanelItem& item = list_.Items[1];
  char* area = item.Description;
  EXPECT_EQ(area + ItemAreaSize(1), plain.Description);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(item.CustomColumnData) % alignof(char*),
            0u);
  EXPECT_EQ(item.CustomColumnNumber, kColumnCount);
  EXPECT_EQ(item.Flags, static_cast<DWORD>(PPIF_USERDATA));
  EXPECT_EQ(item.Owner, item.CustomColumnData[8]);
  ItemUserData data;
  ASSERT_EQ(ReadItemUserData(&item, &data), 1);
  EXPECT_EQ(data.Size, sizeof(ItemUserData));
  // Every piece lies inside the area, in order, without overlapping.
  char* previous = reinterpret_cast<char*>(item.CustomColumnData) +
                   kColumnCount * sizeof(char*);
  for (int i = 0; i < kColumnCount; ++i) {
    char* column = item.CustomColumnData[i];
    EXPECT_GE(column, previous) << i;
    EXPECT_STREQ(column, "") << i;
    previous = column + item_area::kColumnSizes[i];
  }
  EXPECT_EQ(reinterpret_cast<char*>(item.UserData), previous);
  previous += sizeof(ItemUserData);
  EXPECT_LE(previous, area + ItemAreaSize(1));
}

// A freed list's memory serves the next list, which finds it as fresh
// memory however much the freed one wrote; a list made while another is
// alive gets memory of its own.
TEST_F(ItemListTest, FreedMemoryServesTheNextListAsFresh) {
  ReleaseKeptListMemory();
  ASSERT_EQ(AddPanelItem(&list_, 0), kItemAdded);
  int count = FillUntilFull(1);  // the full mark is written too
  for (int i = 0; i < count; ++i) {
    PluginPanelItem& item = list_.Items[i];
    std::memset(item.FindData.cFileName, 'n', 12);
    std::memset(item.Description, 'd', ItemAreaSize(i == 0 ? 0 : 1) - 1);
    item.FindData.dwFileAttributes = 0x12;
  }
  PluginPanelItem* first = list_.Items;
  FreePanelItems(&list_);

  PanelItemList other = {nullptr, 0};
  ASSERT_EQ(AddPanelItem(&list_, 1), kItemAdded);
  EXPECT_EQ(list_.Items, first);
  ASSERT_EQ(AddPanelItem(&other, 1), kItemAdded);
  EXPECT_NE(other.Items, first);
  FreePanelItems(&other);
  // Every byte of the first list is zero again but what the layout sets.
  EXPECT_GT(FillUntilFull(0), count);  // plain items over the whole space
  const PluginPanelItem& detailed = list_.Items[0];
  EXPECT_EQ(detailed.FindData.dwReserved0, 1u);  // this list's own mark
  EXPECT_STREQ(detailed.FindData.cFileName, "");
  EXPECT_EQ(detailed.FindData.dwFileAttributes, 0u);
  for (int i = 0; i < kColumnCount; ++i)
    EXPECT_STREQ(detailed.CustomColumnData[i], "") << i;
  for (int i = 1; i < list_.Count; ++i) {
    const PluginPanelItem& plain = list_.Items[i];
    ASSERT_STREQ(plain.FindData.cFileName, "") << i;
    ASSERT_EQ(plain.FindData.dwFileAttributes, 0u) << i;
    ASSERT_EQ(plain.Flags, 0u) << i;
    ASSERT_EQ(plain.UserData, 0u) << i;
    const char* area = plain.Description;
    for (size_t b = 0; b < ItemAreaSize(0); ++b) ASSERT_EQ(area[b], 0) << i;
  }
}

// A commit that fails releases the whole list and says so once.
TEST_F(ItemListTest, CommitFailureReleasesTheList) {
  for (int nth = 1; nth <= 4; ++nth) {
    Boxes().clear();
    PlatformFailNth(kFaultCommit, nth, 0);
    AddItemResult last = kItemAdded;
    for (int i = 0; i < 3 && last == kItemAdded; ++i)
      last = AddPanelItem(&list_, 1);
    EXPECT_EQ(last, kListFailed) << nth;
    EXPECT_EQ(list_.Items, nullptr);
    EXPECT_EQ(list_.Count, 0);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0], "M0|M6|M46");
  }
  PlatformFailNth(kFaultCommit, 0, 0);
  ReleaseKeptListMemory();  // a kept reservation would be taken instead
  PlatformFailNth(kFaultReserve, 1, 0);
  Boxes().clear();
  EXPECT_EQ(AddPanelItem(&list_, 0), kListFailed);
  EXPECT_EQ(list_.Items, nullptr);
  EXPECT_EQ(Boxes().size(), 1u);
}

}  // namespace
