#include "nodelist/record_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "nodelist/test_harness.h"

namespace {

using test_harness::Images;
using test_images::AppendPlusEntry;
using test_images::AppendRecord;
using test_images::PlusHeader;
using test_images::PlusOffsetText;
using test_images::RecordFields;

// Decodes the record at `offset` as the walk would and returns what
// OnMatch received (the test fails when it received nothing).
NodeRecord Decode(const Images& images, uint32_t offset, uint16_t flags) {
  test_harness::Prepare(images, flags);
  std::vector<NodeRecord> found;
  Nodelist.MatchData = &found;
  EXPECT_EQ(1, ReadNodeRecord(&Nodelist, offset));
  EXPECT_EQ(1u, found.size());
  NodeRecord none;
  std::memset(&none, 0x55, sizeof(none));
  return found.empty() ? none : found[0];
}

RecordFields PlainNode() {
  return RecordFields{
      2,          5020,         1,
      100,        30,           v7::kFlagHub | v7::kFlagContinuousMail,
      96,         "7-095-123",  "SECRET",
      "Some BBS", "John Smith", "Moscow",
      ""};
}

TEST(UnpackText, DecodesThreeCharactersPerWord) {
  static const struct {
    std::vector<unsigned char> Packed;
    int Count;
    const char Expected[8];  // with the zero bytes that entry 39 gives
  } cases[] = {
      {{0, 0}, 3, {' ', ' ', ' ', 0}},
      {{0x3F, 0x06}, 3, {' ', 0, 0, 0}},            // 1599
      {{0x00, 0xFA}, 3, {' ', ' ', ' ', 0}},        // 64000: first is out
      {{0xFF, 0xFF}, 3, {' ', '9', 'U', 0}},        // 65535
      {{0x93, 0x06, 0x07}, 3, {'E', 'A', 'N', 0}},  // odd byte ignored
      {{}, 0, {0}},
  };
  for (const auto& c : cases) {
    char text[kUnpackedTextSize];
    std::memset(text, '#', sizeof(text));
    EXPECT_EQ(c.Count, UnpackText(static_cast<int>(c.Packed.size()),
                                  c.Packed.data(), text));
    EXPECT_EQ(0, std::memcmp(c.Expected, text, c.Count + 1))
        << "packed word " << (c.Packed.size() > 1 ? c.Packed[0] : 0);
  }
  test_images::Bytes packed = test_images::PackText("HELLO-O'K 09");
  char text[kUnpackedTextSize];
  EXPECT_EQ(12,
            UnpackText(static_cast<int>(packed.size()), packed.data(), text));
  EXPECT_STREQ("HELLO-O'K 09", text);
  test_images::Bytes longest(254, 0);
  EXPECT_EQ(381, UnpackText(254, longest.data(), text));
}

TEST(TimeLetterToMinutes, WholeAndHalfHours) {
  static const struct {
    char Letter;
    int Minutes;
  } cases[] = {
      {'A', 0},   {'a', 30}, {'B', 60}, {'X', 1380},  {'x', 1410},
      {'Y', -1},  {'y', -1}, {'9', -1}, {'@', -1},    {'`', -1},
      {'\0', -1}, {' ', -1}, {'[', -1}, {'\xC1', -1}, {'\xE1', -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.Minutes, TimeLetterToMinutes(c.Letter))
        << static_cast<int>(c.Letter);
}

TEST(ReadNodeRecord, FixedFieldsAndTexts) {
  Images images;
  uint32_t offset = AppendRecord(&images.Data, PlainNode());
  NodeRecord r = Decode(images, offset, 0);
  EXPECT_EQ(2, r.Zone);
  EXPECT_EQ(5020, r.Net);
  EXPECT_EQ(1, r.Node);
  EXPECT_EQ(100, r.HubOrPoint);
  EXPECT_EQ(30, r.CallCost);
  EXPECT_EQ(v7::kFlagHub | v7::kFlagContinuousMail, r.NodeFlags);
  EXPECT_EQ(28800, r.BaudRate);
  EXPECT_STREQ("7-095-123", r.Phone);
  EXPECT_STREQ("SECRET", r.Password);
  EXPECT_STREQ("SOME BBS", r.SystemName);
  EXPECT_STREQ("JOHN SMITH", r.SysopName);
  EXPECT_STREQ("MOSCOW", r.Location);
  EXPECT_STREQ("SOME BBS", r.DisplaySystem);
  EXPECT_STREQ("JOHN SMITH", r.DisplaySysop);
  EXPECT_STREQ("MOSCOW", r.DisplayLocation);
  EXPECT_STREQ("", r.Keyword);
  EXPECT_STREQ("", r.FlagsText);
  EXPECT_EQ(0, r.Region);
}

TEST(ReadNodeRecord, BaudRateIsKeptInSixteenBits) {
  static const struct {
    uint8_t Stored;
    uint16_t Expected;
  } cases[] = {{0, 0}, {1, 300}, {218, 65400}, {219, 164}, {255, 10964}};
  for (const auto& c : cases) {
    Images images;
    RecordFields fields = PlainNode();
    fields.Baud = c.Stored;
    uint32_t offset = AppendRecord(&images.Data, fields);
    EXPECT_EQ(c.Expected, Decode(images, offset, 0).BaudRate);
  }
}

TEST(ReadNodeRecord, LongTextsAreCutAndTheNextStartsAtItsStoredPlace) {
  Images images;
  RecordFields fields = PlainNode();
  fields.System = std::string(33, 'S') + "TAIL001";  // 40
  fields.Sysop = std::string(25, 'P') + "TAIL2";     // 30
  fields.Location = std::string(29, 'L') + "TAIL3";  // 34
  fields.Phone = std::string(39, '1') + "22222";
  fields.Password = "ABCDEFGHIJ";
  uint32_t offset = AppendRecord(&images.Data, fields);
  NodeRecord r = Decode(images, offset, 0);
  EXPECT_EQ(std::string(33, 'S'), r.SystemName);
  EXPECT_EQ(std::string(25, 'P'), r.SysopName);
  EXPECT_EQ(std::string(29, 'L'), r.Location);
  EXPECT_EQ(std::string(39, '1'), r.Phone);
  EXPECT_STREQ("ABCDEFGH", r.Password);
  EXPECT_EQ(std::string(33, 'S'), r.DisplaySystem);
}

TEST(ReadNodeRecord, FixedFieldsOnlyLeavesEveryTextEmpty) {
  Images images;
  images.Plus = PlusHeader();
  uint32_t plus = AppendPlusEntry(&images.Plus, 9, false, ",1,A,B,C,D,E,U,TAB");
  RecordFields fields = PlainNode();
  fields.After = PlusOffsetText(plus);
  fields.NodeFlags = 0;
  uint32_t offset = AppendRecord(&images.Data, fields);
  NodeRecord r = Decode(images, offset, FixedFieldsOnly | UsePlusData);
  EXPECT_EQ(5020, r.Net);
  EXPECT_EQ(28800, r.BaudRate);
  for (const char* text : {r.SysopName, r.SystemName, r.Phone, r.Location,
                           r.Password, r.DisplaySysop, r.DisplaySystem,
                           r.DisplayLocation, r.Keyword, r.FlagsText})
    EXPECT_STREQ("", text);
  EXPECT_EQ(0, r.Region);
  EXPECT_EQ(0, r.OnlineStart);
  EXPECT_EQ(0, r.OnlineEnd);
}

// A V7+ record set whose link block sizes differ from the usual ones, so
// that reading them from the header is tested.
struct PlusCase {
  bool Point;
  bool HasLine;
  const char* Line;
};

TEST(ReadNodeRecord, PlusPartGivesRegionAndTheLineFields) {
  static const PlusCase cases[] = {
      {false, true, ",123,Some_BBS,Town,John_Doe,-Unpublished-,300,CM,U,TAB"},
      {true, true, ",123,Some_BBS,Town,John_Doe,-Unpublished-,300,CM,U,TAB"},
  };
  for (const PlusCase& c : cases) {
    Images images;
    images.Plus = PlusHeader(20, 9);
    uint32_t plus = AppendPlusEntry(&images.Plus, 0x1234, c.Point, c.Line);
    RecordFields fields = PlainNode();
    fields.NodeFlags = c.Point ? v7::kFlagPoint : 0;
    fields.After = PlusOffsetText(plus);
    uint32_t offset = AppendRecord(&images.Data, fields);
    NodeRecord r = Decode(images, offset, UsePlusData);
    EXPECT_EQ(0x1234, r.Region);
    EXPECT_STREQ("", r.Keyword);
    EXPECT_STREQ("Some_BBS", r.DisplaySystem);
    EXPECT_STREQ("Town", r.DisplayLocation);
    EXPECT_STREQ("John_Doe", r.DisplaySysop);
    EXPECT_STREQ("CM,U,TAB", r.FlagsText);
    EXPECT_EQ(0, r.OnlineStart);
    EXPECT_EQ(60, r.OnlineEnd);
    EXPECT_STREQ("SOME BBS", r.SystemName);  // the V7 texts stay
    EXPECT_EQ(std::vector<std::string>{c.Line}, test_harness::PlusLines);
    EXPECT_EQ(nullptr, CurrentPlusLine);  // only while OnMatch runs
    EXPECT_STREQ("", LastErrorText);
  }
}

TEST(ReadNodeRecord, PlusRecordWithoutLineLeavesTheDisplayTextsEmpty) {
  for (uint16_t flag : {uint16_t{1}, uint16_t{2}}) {  // either bit
    Images images;
    images.Plus = PlusHeader();
    uint32_t plus = AppendPlusEntry(&images.Plus, 77, false, "", false);
    RecordFields fields = PlainNode();
    fields.After = PlusOffsetText(plus);
    NodeRecord r = Decode(images, AppendRecord(&images.Data, fields), flag);
    EXPECT_EQ(77, r.Region);
    EXPECT_STREQ("", r.DisplaySystem);
    EXPECT_STREQ("", r.DisplaySysop);
    EXPECT_STREQ("", r.DisplayLocation);
    EXPECT_STREQ("", r.Keyword);
    EXPECT_STREQ("", r.FlagsText);
    EXPECT_STREQ("SOME BBS", r.SystemName);
    EXPECT_EQ(std::vector<std::string>{"-"}, test_harness::PlusLines);
  }
}

TEST(ReadNodeRecord, MissingPlusOffsetGivesAPlainRecordAndAWarning) {
  static const char* const remainders[] = {"", "1234567", "0000000G",
                                           "-0000000"};
  for (const char* after : remainders) {
    Images images;
    images.Plus = PlusHeader();
    RecordFields fields = PlainNode();
    fields.After = after;
    NodeRecord r =
        Decode(images, AppendRecord(&images.Data, fields), UsePlusData);
    EXPECT_STREQ("SOME BBS", r.DisplaySystem) << after;
    EXPECT_STREQ("JOHN SMITH", r.DisplaySysop) << after;
    EXPECT_EQ(0, r.Region);
    EXPECT_STREQ("!Version7 Plus enabled, but not detected in this record",
                 LastErrorText);
    EXPECT_EQ(0, Nodelist.Damaged);
  }
}

TEST(ReadNodeRecord, PlusOffsetIsIgnoredWithoutUsePlusData) {
  Images images;
  RecordFields fields = PlainNode();
  fields.After = PlusOffsetText(0x7FFFFFFF);  // would be far outside
  NodeRecord r = Decode(images, AppendRecord(&images.Data, fields), 0);
  EXPECT_STREQ("MOSCOW", r.DisplayLocation);
  EXPECT_EQ(0, Nodelist.Damaged);
}

TEST(ReadNodeRecord, ReturnsTheResultOfOnMatch) {
  Images images;
  uint32_t offset = AppendRecord(&images.Data, PlainNode());
  test_harness::Prepare(images, 0);
  Nodelist.OnMatch = [](NodeRecord* r, void* data) {
    *static_cast<int*>(data) = r->Node;
    return 42;
  };
  int node = 0;
  Nodelist.MatchData = &node;
  EXPECT_EQ(42, ReadNodeRecord(&Nodelist, offset));
  EXPECT_EQ(1, node);
}

}  // namespace
