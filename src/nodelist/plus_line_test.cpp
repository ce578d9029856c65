#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "nodelist/record_reader.h"
#include "nodelist/v7_format.h"

namespace {

struct FieldCase {
  const char* Line;
  const char* Keyword;
  const char* System;
  const char* Location;
  const char* Sysop;
  const char* Flags;
};

NodeRecord Parse(const char* line, uint16_t nodeFlags) {
  NodeRecord r;
  std::memset(&r, 0, sizeof(r));
  std::strcpy(r.FlagsText, "stale");
  r.NodeFlags = nodeFlags;
  LastErrorText[0] = '\0';
  Nodelist.Damaged = 0;
  ParsePlusLine(&r, line);
  return r;
}

TEST(ParsePlusLine, SplitsTheFieldsIntoTheirPlaces) {
  static const FieldCase cases[] = {
      {",123,Some_BBS,Town,John_Doe,-Unpublished-,300,CM,U,TAB", "", "Some_BBS",
       "Town", "John_Doe", "CM,U,TAB"},
      {"Hub,100,Hub_BBS,City,Jane_Roe,7-095-1,9600,XA,IBN", "Hub", "Hub_BBS",
       "City", "Jane_Roe", "XA,IBN"},
      {"Host,5020,Net,Place", "Host", "Net", "Place", "", ""},
      {",1", "", "", "", "", ""},
      {",", "", "", "", "", ""},
      {"", "", "", "", "", ""},
      {"Zone", "Zone", "", "", "", ""},
      {",1,,,,,,", "", "", "", "", ""},
      {"LongKeyword1,1,S", "LongKeywo", "S", "", "", ""},
      {",1,S,L,P,Ph,Sp,A,B,,C", "", "S", "L", "P", "A,B,,C"},
  };
  for (const FieldCase& c : cases) {
    NodeRecord r = Parse(c.Line, 0);
    EXPECT_STREQ(c.Keyword, r.Keyword) << c.Line;
    EXPECT_STREQ(c.System, r.DisplaySystem) << c.Line;
    EXPECT_STREQ(c.Location, r.DisplayLocation) << c.Line;
    EXPECT_STREQ(c.Sysop, r.DisplaySysop) << c.Line;
    EXPECT_STREQ(c.Flags, r.FlagsText) << c.Line;
  }
}

TEST(ParsePlusLine, CutsEachFieldToItsRoom) {
  std::string line = std::string("Keyword123,1,") + std::string(40, 's') + "," +
                     std::string(35, 'l') + "," + std::string(30, 'p') +
                     ",phone,300," + std::string(70, 'f');
  NodeRecord r = Parse(line.c_str(), 0);
  EXPECT_STREQ("Keyword12", r.Keyword);
  EXPECT_EQ(std::string(33, 's'), r.DisplaySystem);
  EXPECT_EQ(std::string(29, 'l'), r.DisplayLocation);
  EXPECT_EQ(std::string(25, 'p'), r.DisplaySysop);
  EXPECT_EQ(std::string(63, 'f'), r.FlagsText);
}

struct HoursCase {
  const char* Flags;
  uint16_t NodeFlags;
  int Start;
  int End;
  const char* Warning;
};

TEST(ParsePlusLine, OnlineHoursFromTheFirstTFlagAfterU) {
  const uint16_t cm = v7::kFlagContinuousMail;
  static const HoursCase cases[] = {
      {"CM,U,TAB", 0, 0, 60, ""},
      {"CM,U,TAB", cm, 0, 0, ""},
      {"XA,U,TBx", 0, 60, 1410, ""},
      {"XA,TBx", 0, 0, 0, ""},
      {"U,T9A", 0, 0, 0, "Invalid time flag '9A'"},
      {"U,TA9,XA", 0, 0, 0, "Invalid time flag '9,XA'"},
      {"U,T", 0, 0, 0, "Invalid time flag ''"},
      {"U,TAA", 0, 0, 0, ""},
      {"u,tcd", 0, 150, 210, ""},         // lower case: half hours
      {"TAB,U", 0, 0, 0, ""},             // T before U is not taken
      {"U,XA,TCD,TEF", 0, 120, 180, ""},  // the first T after U
      {"XU,TAB", 0, 0, 0, ""},            // U must start a flag
      {"UTAB", 0, 0, 0, ""},              // a U flag is never its T
      {"IBN,U,ITN,TXx", 0, 1380, 1410, ""},
  };
  for (const HoursCase& c : cases) {
    std::string line = std::string(",1,S,L,P,Ph,300,") + c.Flags;
    NodeRecord r = Parse(line.c_str(), c.NodeFlags);
    EXPECT_EQ(c.Start, r.OnlineStart) << c.Flags;
    EXPECT_EQ(c.End, r.OnlineEnd) << c.Flags;
    EXPECT_STREQ(c.Warning, LastErrorText) << c.Flags;
    EXPECT_EQ(0, Nodelist.Damaged) << c.Flags;
  }
}

TEST(ParsePlusLine, HoursAreReadFromTheLineBeyondTheStoredFlags) {
  std::string line =
      std::string(",1,S,L,P,Ph,300,") + std::string(70, 'X') + ",U,TCD";
  NodeRecord r = Parse(line.c_str(), 0);
  EXPECT_EQ(63u, std::strlen(r.FlagsText));
  EXPECT_EQ(120, r.OnlineStart);
  EXPECT_EQ(180, r.OnlineEnd);
}

TEST(ParsePlusLine, WarningKeepsAnEarlierDamageText) {
  NodeRecord r;
  std::memset(&r, 0, sizeof(r));
  std::strcpy(LastErrorText, "Damaged nodelist file X.DAT: earlier 1");
  Nodelist.Damaged = 1;
  ParsePlusLine(&r, ",1,S,L,P,Ph,300,U,T9A");
  EXPECT_STREQ("Damaged nodelist file X.DAT: earlier 1", LastErrorText);
  Nodelist.Damaged = 0;
}

}  // namespace
