// The line parser, the CRC, phones, sysop keys and the two side files.
#include "compiler/nodelist_line.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "compiler/keys.h"
#include "compiler/side_tables.h"

namespace {

struct LineCase {
  const char* line;
  int ok;
  v7c::LineKind kind;
  uint16_t number;
  uint32_t speed;
  int cm;
  const char* flags_or_why;
};

const LineCase kLines[] = {
    {",1,Sys,Town,John_Doe,1-2-3,9600,CM,XA", 1, v7c::LineKind::kNode, 1, 9600,
     1, "CM,XA"},
    {"zone,2,Sys,Town,John_Doe,1-2-3,300", 1, v7c::LineKind::kZone, 2, 300, 0,
     ""},
    {"HOLD,65535,S,T,N,P,33600,XA,ICM", 1, v7c::LineKind::kHold, 65535, 33600,
     0, "XA,ICM"},
    {"Pvt,7,S,T,N,-Unpublished-,99999999999,U,cm", 1, v7c::LineKind::kPvt, 7,
     0xFFFFFFFFu, 1, "U,cm"},
    {"Boss,2:5020/100", 1, v7c::LineKind::kBoss, 0, 0, 0, ""},
    {",65536,S,T,N,P,300", 0, v7c::LineKind::kNode, 0, 0, 0,
     "the number field is not a number from 0 to 65535"},
    {",-1,S,T,N,P,300", 0, v7c::LineKind::kNode, 0, 0, 0,
     "the number field is not a number from 0 to 65535"},
    {"Zone,0,S,T,N,P,300", 0, v7c::LineKind::kNode, 0, 0, 0, "zone number 0"},
    {"Node,1,S,T,N,P,300", 0, v7c::LineKind::kNode, 0, 0, 0, "unknown keyword"},
    {",1,S,T,N,P", 0, v7c::LineKind::kNode, 0, 0, 0, "fewer than 7 fields"},
    {"Boss,2:5020", 0, v7c::LineKind::kNode, 0, 0, 0,
     "Boss line without a node address z:n/f"},
    {"Boss,2:5020/1.5", 0, v7c::LineKind::kNode, 0, 0, 0,
     "Boss line without a node address z:n/f"},
};

TEST(NodelistLine, ParsesFieldsAndRefusesMalformedLines) {
  for (const LineCase& t : kLines) {
    SCOPED_TRACE(t.line);
    v7c::ParsedLine p;
    const char* why = "";
    std::string line = t.line;
    ASSERT_EQ(v7c::ParseNodelistLine(line.data(), line.size(), &p, &why), t.ok);
    if (!t.ok) {
      EXPECT_STREQ(why, t.flags_or_why);
      continue;
    }
    EXPECT_EQ(p.kind, t.kind);
    if (t.kind == v7c::LineKind::kBoss) {
      EXPECT_EQ(p.boss_zone, 2);
      EXPECT_EQ(p.boss_net, 5020);
      EXPECT_EQ(p.boss_node, 100);
      continue;
    }
    EXPECT_EQ(p.number, t.number);
    EXPECT_EQ(p.speed_value, t.speed);
    EXPECT_EQ(p.has_cm, t.cm);
    EXPECT_EQ(line.substr(p.flags.offset, p.flags.length), t.flags_or_why);
  }
  std::string zero(
      ","
      "1,S,T,N,P,300\0x",
      16);
  v7c::ParsedLine p;
  const char* why = "";
  EXPECT_EQ(v7c::ParseNodelistLine(zero.data(), zero.size(), &p, &why), 0);
}

uint16_t BitwiseCrc(const std::string& s) {
  uint16_t crc = 0;
  for (unsigned char c : s) {
    crc ^= static_cast<uint16_t>(c << 8);
    for (int i = 0; i < 8; ++i)
      crc =
          static_cast<uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
  }
  return crc;
}

TEST(NodelistLine, CrcMatchesTheBitwiseDefinition) {
  EXPECT_EQ(v7c::UpdateCrc16(0, "123456789", 9), 0x31C3);  // XMODEM check
  std::string text;
  for (int i = 0; i < 300; ++i) {
    text.push_back(static_cast<char>(i * 37 + 11));
    EXPECT_EQ(v7c::UpdateCrc16(0, text.data(), text.size()), BitwiseCrc(text));
  }
}

TEST(NodelistLine, ListCrcCoversTheBodyUpToControlZ) {
  std::string body = ",1,S,T,N,P,300\r\n";
  std::string crc = std::to_string(BitwiseCrc(body));
  struct {
    std::string list;
    int present;
    bool match;
  } cases[] = {
      {";A Day 100 : " + crc + "\r\n" + body + "\x1A", 1, true},
      {";A Day 100 : " + crc + "\r\n" + body + "\x1Agarbage", 1, true},
      {";A Day 100 :" + crc + " \r\n" + body, 1, true},
      {";A Day 100 : " + crc + "\r\n" + body + ",2\r\n", 1, false},
      {";A Day 100\r\n" + body, 0, false},
      {";A Day 100 : 12x\r\n" + body, 0, false},
  };
  for (const auto& t : cases) {
    v7c::ListCrc r = v7c::CheckListCrc(t.list.data(), t.list.size());
    EXPECT_EQ(r.claimed_present, t.present) << t.list;
    EXPECT_EQ(r.claimed_present && r.claimed == r.computed, t.match) << t.list;
  }
}

TEST(NodelistLine, ListDateFromTheFirstLine) {
  struct {
    const char* text;
    int ok;
    unsigned year, day;
  } cases[] = {
      {";A FidoNet Nodelist for Friday, January 2, 2009 -- Day number 002 : "
       "56661\r\n",
       1, 2009, 2},
      {";A Friday, June 26, 2026 -- day number 177", 1, 2026, 177},
      {";A Friday, December 31, 2032 -- Day number 366 : 1", 1, 2032, 366},
      {";A Friday, 2026 -- Day number 367 : 1", 0, 0, 0},
      {";A Friday, 20261 -- Day number 7 : 1", 0, 0, 0},  // no 4-digit year
      {";A Friday -- Day number 7 : 2026", 0, 0, 0},      // year after it
      {";A Friday, 2026 -- Day number\r\n12", 0, 0, 0},
      {";A Friday, 2026 --\r\nDay number 12", 0, 0, 0},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.text);
    v7c::ListDate d = {0, 0};
    ASSERT_EQ(v7c::ParseListDate(t.text, strlen(t.text), &d), t.ok);
    if (t.ok) {
      EXPECT_EQ(d.year * 1000 + d.day, t.year * 1000 + t.day);
    }
  }
}

TEST(Keys, PhonesAsStoredAndIndexed) {
  static const char* const kCases[][3] = {
      {"-Unpublished-", "", "-Unpublished-"},
      {"UNPUBLISHED", "", "-Unpublished-"},
      {"", "", "-Unpublished-"},
      {"000-192-168-1-20", "192.168.1.20", "192.168.1.20"},
      {"000-1-2-3", "000-1-2-3", "000123"},
      {"000-1-2-3-4-5", "000-1-2-3-4-5", "00012345"},
      {"000-1234-1-1-1", "000-1234-1-1-1", "0001234111"},
      {"7-095-555-0101", "7-095-555-0101", "70955550101"},
      {"1-2-3-4-5-6-7-8-9-10-11-12-13-14-15-16-17",
       "1-2-3-4-5-6-7-8-9-10-11-12-13-14-15-16-", "12345678910111213141516"},
  };
  for (const auto& t : kCases) {
    SCOPED_TRACE(t[0]);
    char out[v7c::kMaxPhone];
    size_t n = v7c::StoredPhone(t[0], strlen(t[0]), out);
    EXPECT_EQ(std::string(out, n), t[1]);
    n = v7c::PhoneKey(t[0], strlen(t[0]), out);
    EXPECT_EQ(std::string(out, n), t[2]);
  }
}

TEST(Keys, SysopKeys) {
  static const char* const kCases[][2] = {
      {"John_Smith", "Smith, John"},
      {"Jan_de_Vries", "Vries, Jan de"},
      {"Sean_O'Brien", "O'Brien, Sean"},
      {"Anne_Smith-Jones", "Smith-Jones, Anne"},
      {"Sysop", "Sysop"},
      {"__Mary_Ann__Lee_", "Lee, Mary Ann"},
      {"", ""},
  };
  for (const auto& t : kCases) {
    std::string out = "x";
    size_t n = v7c::AppendSysopKey(t[0], strlen(t[0]), &out);
    EXPECT_EQ(out.substr(1), t[1]) << t[0];
    EXPECT_EQ(n, strlen(t[1]));
  }
  EXPECT_LT(v7c::CompareFolded("smith", 5, "SMITHS", 6), 0);
  EXPECT_EQ(v7c::CompareFolded("o'brien", 7, "O'BRIEN", 7), 0);
  EXPECT_LT(v7c::CompareFolded("Z", 1, "\xC0", 1), 0) << "bytes unsigned";
  EXPECT_GT(v7c::CompareFolded("_", 1, "a", 1), 0) << "'_' (95) after 'A' (65)";
}

std::vector<std::string> g_warnings;
void Collect(void*, const char* text) { g_warnings.push_back(text); }

TEST(SideTables, PasswordsWithMalformedLines) {
  g_warnings.clear();
  v7c::Reporter reporter = {Collect, nullptr, 0};
  v7c::PasswordTable table;
  v7c::ReadPasswordTable("pw.txt",
                         "; comment\r\n"
                         "2:5020/100 SECRET\r\n"
                         "2:5020/100.7 pt\r\n"
                         "2:5020 bad\r\n"
                         "2:5020/1 TOOLONGPW\r\n"
                         "\r\n"
                         "2:5020/2\r\n"
                         "2:5020/100 NEWER\r\n",
                         &table, &reporter);
  EXPECT_EQ(table.by_address.size(), 2u);
  EXPECT_EQ(table.by_address[(2ull << 48) | (5020ull << 32) | (100 << 16)],
            "NEWER");
  EXPECT_EQ(table.by_address[(2ull << 48) | (5020ull << 32) | (100 << 16) | 7],
            "pt");
  std::vector<std::string> expected = {
      "pw.txt:4: expected 'zone:net/node[.point] password'",
      "pw.txt:5: password longer than 8 characters, ignored",
      "pw.txt:7: expected 'zone:net/node[.point] password'",
      "pw.txt:8: second password for 2:5020/100 replaces the first"};
  EXPECT_EQ(g_warnings, expected);
}

TEST(SideTables, CostTableLongestPrefixWins) {
  g_warnings.clear();
  v7c::Reporter reporter = {Collect, nullptr, 0};
  v7c::CostTable table = {};
  v7c::ReadCostTable("costs.txt",
                     "7 100\n7-095 20\n7095-555 5\n* 300\nx\n49 70000\n",
                     &table, &reporter);
  EXPECT_EQ(g_warnings.size(), 2u);
  struct {
    const char* key;
    int unpublished;
    uint16_t cost;
  } cases[] = {{"70955551234", 0, 5}, {"70951234", 0, 20}, {"7812", 0, 100},
               {"491234", 0, 300},    {"", 0, 300},        {"7095", 1, 0xFFFF}};
  for (const auto& t : cases)
    EXPECT_EQ(v7c::LookUpCost(table, t.key, strlen(t.key), t.unpublished),
              t.cost)
        << t.key;
  v7c::CostTable none = {};
  EXPECT_EQ(v7c::LookUpCost(none, "7095", 4, 0), 0);
  EXPECT_EQ(v7c::LookUpCost(none, "-Unpublished-", 13, 1), 0xFFFF);
}

}  // namespace
