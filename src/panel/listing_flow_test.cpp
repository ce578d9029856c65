// Whole listings over small nodelists written into a temporary directory.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/settings.h"
#include "nodelist/file_set.h"
#include "panel/item_user_data.h"
#include "panel/listing.h"
#include "panel/panel_test_support.h"

namespace {

using panel_test::Boxes;
using panel_test::Names;

class ListingFlowTest : public panel_test::PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    WriteNodelist(panel_test::SampleNodelist());
    panel_ = &PanelSlots[0];
    panel_->Flags = PF_INUSE;
  }
  // Lists the panel at `level` and `address` and returns the names.
  std::string List(uint16_t level, FtnAddress address, int opMode = 0,
                   const char* search = "") {
    panel_->Level = level;
    panel_->Address = address;
    std::snprintf(panel_->SearchText, sizeof(panel_->SearchText), "%s", search);
    PluginPanelItem* items = nullptr;
    int count = -1;
    if (!PanelGetFindData(panel_, &items, &count, opMode)) return "failed";
    std::string names = Names(items, count);
    attributes_.clear();
    for (int i = 0; i < count; ++i)
      attributes_ += std::to_string(items[i].FindData.dwFileAttributes) + " ";
    PanelFreeFindData(panel_, items, count);
    return names;
  }
  PanelInstance* panel_;
  std::string attributes_;
};

TEST_F(ListingFlowTest, EachLevelListsItsChildren) {
  const struct {
    uint16_t Level;
    FtnAddress Address;
    int SortOrder;
    const char* Names;
  } kLevels[] = {
      {0, {}, 0, "1 2"},
      {2, {2}, 0, ".. 2 50 345"},
      {4, {2, 345}, 0, ".. 0 6 7"},
      {6, {2, 345, 6}, 0, "0 1 2"},
      {4, {2, 999}, 0, ".."},
      {0, {}, 2, "1 2"},             // by sysop: Ann Lee, Carl Ross
      {4, {2, 345}, 2, ".. 7 0 6"},  // Ada Abel, Eve Wolf, John Smith
      {6, {2, 345, 6}, 2, "0 2 1"},  // the node stays first
  };
  for (const auto& l : kLevels) {
    SortOrder = l.SortOrder;
    EXPECT_EQ(List(l.Level, l.Address), l.Names) << l.Level;
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ListingFlowTest, SearchHitsAreSortedBehindTheDotDotItem) {
  EXPECT_EQ(List(4, {2, 345}, 0, "smith"), ".. 2.345.6 2.345.6.2");
  SortOrder = 2;  // Jane before John
  EXPECT_EQ(List(4, {2, 345}, 0, "smith"), ".. 2.345.6.2 2.345.6");
  EXPECT_EQ(List(0, {}, 0, "nobody"), "..");
}

TEST_F(ListingFlowTest, FindModeGivesDirectoriesWhereTheSearchDescends) {
  const unsigned kDir = FILE_ATTRIBUTE_DIRECTORY;
  EXPECT_EQ(List(0, {}, OPM_FIND), "1 2");
  EXPECT_EQ(attributes_,
            std::to_string(kDir) + " " + std::to_string(kDir) + " ");
  EXPECT_EQ(List(2, {2}, OPM_FIND), ".. 2 50 345");
  EXPECT_EQ(List(4, {2, 345}, OPM_FIND), ".. 0 0 6 6 7 7");
  EXPECT_EQ(attributes_, "0 16 0 16 0 16 0 ");
  SortOrder = 2;  // nothing is sorted in find mode
  EXPECT_EQ(List(6, {2, 345, 6}, OPM_FIND), "1 2");
}

TEST_F(ListingFlowTest, PendingListIsHandedOverOnce) {
  PluginPanelItem* pending = nullptr;
  int pendingCount = 0;
  panel_->Level = 4;
  panel_->Address = FtnAddress{2, 345};
  ASSERT_EQ(PanelGetFindData(panel_, &pending, &pendingCount, 0), 1);
  // The list is the host's alone: the listing keeps no copy that a later
  // step could free a second time (its memory may serve another list).
  EXPECT_EQ(Listing.List.Items, nullptr);
  panel_->PendingItems = pending;
  panel_->PendingCount = pendingCount;
  PluginPanelItem* items = nullptr;
  int count = 0;
  ASSERT_EQ(PanelGetFindData(panel_, &items, &count, 0), 1);
  EXPECT_EQ(items, pending);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(panel_->PendingItems, nullptr);
  EXPECT_EQ(panel_->PendingCount, 0);
  PanelFreeFindData(panel_, items, count);
}

// Damage met in the index is reported once; what could be read is kept.
TEST_F(ListingFlowTest, DamageIsReportedAndTheRestIsListed) {
  std::vector<test_images::IndexEntry> broken = {
      {test_images::NodeKey(2, 345, 8), 0x7FFFFFF0u},
      {test_images::NodeKey(2, 345, 9), 0x7FFFFFF0u}};
  WriteNodelist(panel_test::SampleNodelist(), broken);
  EXPECT_EQ(List(4, {2, 345}), ".. 0 6 7");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].rfind("M7|Damaged nodelist file ", 0), 0u) << Boxes()[0];
}

TEST_F(ListingFlowTest, MemoryFailureMidListingReleasesEverything) {
  // Reservation, then item and area of "..", of node 0, of node 6: the
  // commit of node 7's item fails.
  PlatformFailNth(kFaultCommit, 7, 0);
  EXPECT_EQ(List(4, {2, 345}), "failed");
  PlatformFailNth(kFaultCommit, 0, 0);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "M0|M6|M46");
  EXPECT_STREQ(panel_->SearchText, "");
}

}  // namespace
