#include "panel/listing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "panel/item_user_data.h"
#include "panel/panel_test_support.h"

namespace {

using panel_test::Boxes;

NodeRecord Record(uint16_t zone, uint16_t net, uint16_t node, uint16_t flags,
                  uint16_t hubOrPoint = 0) {
  NodeRecord record;
  std::memset(&record, 0, sizeof(record));
  record.Zone = zone;
  record.Net = net;
  record.Node = node;
  record.NodeFlags = flags;
  record.HubOrPoint = hubOrPoint;
  std::strcpy(record.Phone, "7-095-555-0000");
  return record;
}

NodeRecord Point(uint16_t zone, uint16_t net, uint16_t node, uint16_t point) {
  return Record(zone, net, node, v7::kFlagPoint, point);
}

// "name|description|attributes|level" of one item; level "-" without a
// user data block.
std::string Describe(const PluginPanelItem& item) {
  ItemUserData data;
  char text[400];
  int has = ReadItemUserData(&item, &data);
  std::snprintf(text, sizeof(text), "%s|%s|%x|%s", item.FindData.cFileName,
                item.Description, unsigned(item.FindData.dwFileAttributes),
                has ? std::to_string(data.Level).c_str() : "-");
  return text;
}

std::string DescribeAll(const PanelItemList& list) {
  std::string all;
  for (int i = 0; i < list.Count; ++i)
    all += (i ? " ; " : "") + Describe(list.Items[i]);
  return all;
}

class ListingTest : public panel_test::PanelTest {
 protected:
  void TearDown() override {
    FreePanelItems(&Listing.List);
    PlatformFailNth(kFaultCommit, 0, 0);
    PanelTest::TearDown();
  }
  // Prepares Listing for the panel as GetFindData would.
  void Prepare(uint16_t level, FtnAddress address, const char* search,
               int findMode) {
    std::memset(&panel_, 0, sizeof(panel_));
    panel_.Flags = PF_INUSE;
    panel_.Level = level;
    panel_.Address = address;
    std::snprintf(panel_.SearchText, sizeof(panel_.SearchText), "%s", search);
    FreePanelItems(&Listing.List);
    Listing.Panel = &panel_;
    Listing.FindMode = findMode;
    Listing.Searching = search[0] != '\0';
    Listing.Detailed = !findMode || level >= kLevelNode || Listing.Searching;
  }
  PluginPanelItem* Fill(const NodeRecord& record) {
    NodeRecord copy = record;
    OnNodeMatch(&copy, &Listing);
    return LastPanelItem(&Listing.List);
  }
  PanelInstance panel_;
};

struct ShapeCase {
  uint16_t Level;
  FtnAddress Address;
  const char* Search;
  int FindMode;
  NodeRecord Entry;
  const char* Expected;
};

const ShapeCase kShapes[] = {
    {0, {}, "", 0, Record(2, 2, 0, v7::kFlagZone), "2|2|0|2"},
    {2, {2}, "", 0, Record(2, 345, 0, v7::kFlagHost), "345|2:345|0|4"},
    {4, {2, 345}, "", 0, Record(2, 345, 6, 0), "6|2:345/6|0|6"},
    {4, {2, 345}, "", 0, Record(2, 345, 0, v7::kFlagHost), "0|2:345/0|0|6"},
    {6, {2, 345, 6}, "", 0, Record(2, 345, 6, v7::kFlagHub), "0|..|0|6"},
    {6, {2, 345, 6}, "", 0, Point(2, 345, 6, 7), "7|2:345/6.7|0|8"},
    {4, {2, 345}, "smith", 0, Record(2, 345, 6, 0), "2.345.6|2:345/6|0|6"},
    {0, {}, "smith", 0, Point(2, 345, 6, 7), "2.345.6.7|2:345/6.7|0|8"},
    {0, {}, "smith", 1, Point(2, 345, 6, 7), "2.345.6.7|2:345/6.7|0|8"},
    // The host's file search: directory items where it must descend.
    {0, {}, "", 1, Record(2, 2, 0, v7::kFlagZone), "2|2|10|-"},
    {2, {2}, "", 1, Record(2, 345, 0, 0), "345|2:345|10|-"},
    {4,
     {2, 345},
     "",
     1,
     Record(2, 345, 6, 0),
     "6|2:345/6|10|- ; 6|2:345/6|0|6"},
    {4, {2, 345}, "smith", 1, Record(2, 345, 6, 0), "2.345.6|2:345/6|0|6"},
    {6, {2, 345, 6}, "", 1, Record(2, 345, 6, 0), ""},
    {6, {2, 345, 6}, "", 1, Point(2, 345, 6, 65535), "65535|2:345/6.65535|0|8"},
    {4,
     {65535, 65535},
     "",
     0,
     Record(65535, 65535, 65535, 0),
     "65535|65535:65535/65535|0|6"},
};

TEST_F(ListingTest, EachLevelNamesAndDescribesItsEntries) {
  for (const ShapeCase& c : kShapes) {
    Prepare(c.Level, c.Address, c.Search, c.FindMode);
    Fill(c.Entry);
    SCOPED_TRACE(c.Expected);
    EXPECT_EQ(DescribeAll(Listing.List), c.Expected);
    EXPECT_TRUE(panel_.Flags & PF_FOUND);
    FreePanelItems(&Listing.List);
  }
}

TEST_F(ListingTest, DetailedItemCarriesEveryColumn) {
  Prepare(kLevelNode, {2, 345, 6}, "", 0);
  NodeRecord record = Point(2, 345, 6, 7);
  record.CallCost = 250;
  record.Region = 50;
  record.BaudRate = 33600;
  std::strcpy(record.DisplaySystem, "BOB'S BBS");
  std::strcpy(record.DisplayLocation, "NEW_YORK NY");
  std::strcpy(record.FlagsText, "CM,XA,IBN");
  std::strcpy(record.Phone, "1-212-555-0100");
  std::strcpy(record.Password, "SECRET");
  std::strcpy(record.DisplaySysop, "MC-DONALD'S JOE");
  std::strcpy(record.Keyword, "Pvt");
  PluginPanelItem* item = Fill(record);
  ASSERT_NE(item, nullptr);
  const char* kColumns[kColumnCount] = {
      "Point", "Bob'S Bbs", "New_York Ny", "CM,XA,IBN",       "1-212-555-0100",
      "",      "SECRET",    "33600",       "Mc-Donald'S Joe", ""};
  for (int i = 0; i < kColumnCount; ++i)
    EXPECT_STREQ(item->CustomColumnData[i], kColumns[i]) << i;
  EXPECT_STREQ(item->Owner, "Mc-Donald'S Joe");
  EXPECT_EQ(item->NumberOfLinks, 250u);
  ItemUserData data;
  ASSERT_EQ(ReadItemUserData(item, &data), 1);
  const ItemUserData kExpected = {
      sizeof(ItemUserData), 2, 345, 6, 7, {}, 7, 50, 8};
  EXPECT_EQ(std::memcmp(&data, &kExpected, sizeof(data)), 0);

  // With V7+ data: the keyword, and underscores become blanks.
  Options |= OptionPlusData;
  ApplySettings();
  item = Fill(record);
  EXPECT_STREQ(item->CustomColumnData[0], "Pvt");
  EXPECT_STREQ(item->CustomColumnData[2], "NEW YORK NY");
  EXPECT_STREQ(item->CustomColumnData[8], "MC-DONALD'S JOE");
}

TEST_F(ListingTest, KindWordFollowsTheFirstFlag) {
  const struct {
    uint16_t Flags;
    const char* Word;
  } kKinds[] = {
      {v7::kFlagZone | v7::kFlagHost, "Zone"},
      {v7::kFlagRegion | v7::kFlagHub, "Region"},
      {v7::kFlagHost, "Host"},
      {v7::kFlagHub | v7::kFlagContinuousMail, "Hub"},
      {v7::kFlagPoint, "Point"},
      {0, ""},
      {v7::kFlagContinuousMail, ""},
  };
  Prepare(kLevelNet, {2, 345}, "", 0);
  for (const auto& kind : kKinds) {
    PluginPanelItem* item = Fill(Record(2, 345, 1, kind.Flags, 1));
    EXPECT_STREQ(item->CustomColumnData[0], kind.Word) << kind.Flags;
  }
}

// UTC online hours shown in local time, by the zone the system reports.
TEST_F(ListingTest, OnlineHoursInLocalTime) {
  const struct {
    ZoneBias Zone;
    int32_t Offset;
    uint16_t Start, End;
    const char* Shown;
  } kZones[] = {
      {{-180, 0, 0, 1}, 180, 22 * 60, 2 * 60, "01:00-05:00"},
      {{300, 0, 0, 1}, -300, 2 * 60, 6 * 60, "21:00-01:00"},
      {{300, 0, -60, 2}, -240, 2 * 60, 6 * 60, "22:00-02:00"},
      {{300, 0, -60, 1}, -300, 23 * 60 + 30, 30, "18:30-19:30"},
      {{-60, 0, -60, 0}, 60, 23 * 60, 0, "00:00-01:00"},
      {{0, 0, 0, 0}, 0, 0, 23 * 60 + 59, "00:00-23:59"},
      {{-840, 0, 0, 1}, 840, 12 * 60, 12 * 60 + 1, "02:00-02:01"},
  };
  Prepare(kLevelNet, {2, 345}, "", 0);
  for (const auto& z : kZones) {
    PlatformSetTestZone(&z.Zone);
    RefreshTimeOfDay();
    EXPECT_EQ(UtcOffsetMinutes, z.Offset);
    NodeRecord record = Record(2, 345, 1, 0);
    record.OnlineStart = z.Start;
    record.OnlineEnd = z.End;
    EXPECT_STREQ(Fill(record)->CustomColumnData[5], z.Shown);
  }
}

TEST_F(ListingTest, MarksNodesWithoutPhoneOrNotAvailableNow) {
  const struct {
    uint32_t Options;
    uint16_t Flags;
    const char* Phone;
    uint16_t Start, End;  // local, the offset is 0
    int Hour, Minute;
    const char* Shown;
    DWORD Attributes;
  } kMarks[] = {
      {OptionMarkUnavailable, 0, "1", 22 * 60, 6 * 60, 23, 30, "22:00-06:00",
       0},
      {OptionMarkUnavailable, 0, "1", 22 * 60, 6 * 60, 5, 59, "22:00-06:00", 0},
      {OptionMarkUnavailable, 0, "1", 22 * 60, 6 * 60, 6, 0, "22:00-06:00",
       FILE_ATTRIBUTE_HIDDEN},
      {OptionMarkUnavailable, 0, "1", 22 * 60, 6 * 60, 21, 59, "22:00-06:00",
       FILE_ATTRIBUTE_HIDDEN},
      {OptionMarkUnavailable, 0, "1", 9 * 60, 17 * 60, 9, 0, "09:00-17:00", 0},
      {OptionMarkUnavailable, 0, "1", 9 * 60, 17 * 60, 17, 0, "09:00-17:00",
       FILE_ATTRIBUTE_HIDDEN},
      {OptionMarkUnavailable, 0, "1", 10 * 60, 10 * 60, 10, 0, "10:00-10:00",
       FILE_ATTRIBUTE_HIDDEN},
      {OptionMarkUnavailable, 0, "1", 0, 0, 12, 0, "", FILE_ATTRIBUTE_HIDDEN},
      {0, 0, "1", 0, 0, 12, 0, "", 0},
      {0, 0, "1", 22 * 60, 6 * 60, 12, 0, "22:00-06:00", 0},
      {OptionMarkUnavailable, v7::kFlagContinuousMail, "1", 0, 0, 12, 0, "CM",
       0},
      {OptionMarkUnavailable | OptionMarkNoPhone, v7::kFlagContinuousMail, "",
       0, 0, 12, 0, "CM", FILE_ATTRIBUTE_HIDDEN},
      {OptionMarkNoPhone, 0, "", 0, 0, 12, 0, "", FILE_ATTRIBUTE_HIDDEN},
      {OptionMarkUnavailable | OptionMarkNoPhone, 0, "", 9 * 60, 17 * 60, 12, 0,
       "09:00-17:00", FILE_ATTRIBUTE_HIDDEN},
      {0, 0, "", 0, 0, 12, 0, "", 0},
  };
  const ZoneBias kUtc = {0, 0, 0, 0};
  PlatformSetTestZone(&kUtc);
  Prepare(kLevelNet, {2, 345}, "", 0);
  int row = 0;
  for (const auto& m : kMarks) {
    SCOPED_TRACE(std::string("row ").append(std::to_string(row++)));
    Options = m.Options;
    NowMinutes = -1;
    PlatformSetTestClock(m.Hour, m.Minute);
    RefreshTimeOfDay();
    if (m.Options & OptionMarkUnavailable)
      EXPECT_EQ(NowMinutes, m.Hour * 60 + m.Minute);
    else
      EXPECT_EQ(NowMinutes, -1);  // the clock is read only for the mark
    NodeRecord record = Record(2, 345, 1, m.Flags);
    std::strcpy(record.Phone, m.Phone);
    record.OnlineStart = m.Start;
    record.OnlineEnd = m.End;
    PluginPanelItem* item = Fill(record);
    EXPECT_STREQ(item->CustomColumnData[5], m.Shown);
    EXPECT_EQ(item->FindData.dwFileAttributes, m.Attributes);
  }
}

// A memory failure abandons the search at the resume point, with the list
// released.
TEST_F(ListingTest, MemoryFailureResumesTheListing) {
  Prepare(kLevelNet, {2, 345}, "", 0);
  Fill(Record(2, 345, 1, 0));
  ASSERT_EQ(Listing.List.Count, 1);
  PlatformFailNth(kFaultCommit, 1, 0);
  volatile int resumed = 0;
  if (SaveSearchContext(&Listing.Resume) == 0) {
    NodeRecord record = Record(2, 345, 2, 0);
    OnNodeMatch(&record, &Listing);
  } else {
    resumed = 1;
  }
  EXPECT_EQ(resumed, 1);
  EXPECT_EQ(Listing.List.Items, nullptr);
  EXPECT_EQ(Listing.List.Count, 0);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "M0|M6|M46");
}

TEST_F(ListingTest, MissingNodelistFailsAndLeavesTheSearch) {
  std::snprintf(NodelistPath, sizeof(NodelistPath), "%s",
                "no-such-nodelist-dir/");
  PanelInstance* panel = &PanelSlots[0];
  panel->Flags = PF_INUSE;
  std::strcpy(panel->SearchText, "smith");
  PluginPanelItem* items = reinterpret_cast<PluginPanelItem*>(1);
  int count = 5;
  EXPECT_EQ(PanelGetFindData(panel, &items, &count, 0), 0);
  EXPECT_EQ(items, nullptr);
  EXPECT_EQ(count, 0);
  EXPECT_STREQ(panel->SearchText, "");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "M7|Unable to open no-such-nodelist-dir/NODEX.DAT|M46");
  EXPECT_EQ(PanelGetFindData(nullptr, &items, &count, 0), 0);
}

}  // namespace
