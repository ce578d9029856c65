// The compiler's output read back through the tests' own reader: a small
// nodelist with every kind of entry, checked record by record.
#include "compiler/compiler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "compiler/nodelist_line.h"
#include "nodelist/v7_format.h"
#include "test_reader.h"

namespace {

using v7test::Get16;

// Lines are joined with CR LF; the CRC line and ^Z are added.
std::string ListOf(const std::vector<std::string>& lines, bool good_crc) {
  std::string body;
  for (const std::string& l : lines) body.append(l).append("\r\n");
  uint16_t crc = v7c::UpdateCrc16(0, body.data(), body.size());
  std::string list = ";A Test list -- Day number 100 : ";
  list.append(std::to_string(good_crc ? crc : crc ^ 1)).append("\r\n");
  return list.append(body).append("\x1A");
}

const std::vector<std::string> kNodelist = {
    ";S a comment line",
    "Zone,2,Europe,Brussels,Zoe_Zonecoord,32-2-555-0100,33600,CM,XA",
    ",1,Zone_Mail,Antwerp,Jan_de_Vries,32-3-555-0101,9600,CM",
    "Region,24,Germany,Berlin,Klaus_Mueller,49-30-555-0124,19200,XA,U,TWC",
    "Host,240,Net_240,Hamburg,Sean_O'Brien,49-40-555-0240,2400,CM",
    ",5,Loose_Node,Kiel,Anne_Smith-Jones,000-10-0-0-5,14400,CM,IBN",
    "Hub,100,Hub_Hundred,Luebeck,Ivan_Petrov,49-451-555-0100,28800,XA",
    ",101,Under_Hub,Luebeck,ivan_petrov,-Unpublished-,300,CM",
    "Pvt,102,Private_One,Rostock,Olga_Ivanova,-Unpublished-,1200",
    "Hold,103,Holding,Wismar,Yuri_Smirnov,49-385-555-0103,96000,CM",
    "Down,104,Gone,Wismar,Down_Sysop,49-385-555-0104,300",
    ",105,Dup_First,Schwerin,First_Sysop,49-385-555-0105,300",
    ",105,Dup_Second,Schwerin,Second_Sysop,49-451-555-0100,300",
    "Bogus,106,Bad,Town,Some_One,1-1,300",
    ",abc,Bad,Town,Some_One,1-1,300",
    ",107,Short",
    ",108,Speedless,Town,Name_Here,49-1-555,fast,XA",
    "Zone,3,Oceania,Sydney,IVAN_PETROV,61-2-555-0001,9600,CM,U,T9A",
};

const std::vector<std::string> kPointlist = {
    "Boss,2:240/5",
    ",1,Point_One,Kiel,Pete_Point,-Unpublished-,9600,XA",
    ",2,Point_Two,Kiel,Paula_Point,49-431-555-0002,2400",
    "Boss,2:240/999",
    ",1,Orphan,Nowhere,Lost_Point,-Unpublished-,300",
    "Hub,5,Not_Here,Town,Wrong_Place,1-1,300",
};

struct Compiled {
  v7c::CompiledSet set;
  v7c::CompileStats stats;
  std::vector<std::string> warnings;
  std::map<std::string, uint32_t> offsets;  // address text -> DAT offset
  int ok;
};

void Collect(void* context, const char* text) {
  static_cast<std::vector<std::string>*>(context)->push_back(text);
}

std::string AddressOf(const std::string& key) {
  std::vector<uint8_t> k(key.begin(), key.end());
  char text[32];
  if (key.size() == 8)
    snprintf(text, sizeof(text), "%u:%u/%u.%u", Get16(k, 0), Get16(k, 2),
             Get16(k, 4), Get16(k, 6));
  else
    snprintf(text, sizeof(text), "%u:%u/%u", Get16(k, 0), Get16(k, 2),
             Get16(k, 4));
  return text;
}

Compiled Compile(const std::vector<v7c::SourceText>& sources,
                 const v7c::PasswordTable* passwords = nullptr,
                 const v7c::CostTable* costs = nullptr, int plus = 1) {
  Compiled c;
  v7c::Reporter reporter = {Collect, &c.warnings, 0};
  v7c::CompileOptions options = {plus, v7::kUsualBlockSize};
  c.ok = v7c::CompileNodelist(sources, passwords, costs, options, &c.set,
                              &c.stats, &reporter);
  for (const v7test::LeafKey& k : v7test::CheckIndex(c.set.ndx).leaves)
    c.offsets[AddressOf(k.key)] = k.data;
  return c;
}

std::vector<v7c::SourceText> Sample() {
  return {{"NODELIST.100", ListOf(kNodelist, true), 0},
          {"POINTS.100", ListOf(kPointlist, true), 1}};
}

bool HasWarning(const Compiled& c, const std::string& part) {
  for (const std::string& w : c.warnings)
    if (w.find(part) != std::string::npos) return true;
  return false;
}

TEST(Compiler, CountsAndWarnings) {
  std::vector<v7c::SourceText> sources = Sample();
  Compiled c = Compile(sources);
  ASSERT_TRUE(c.ok);
  EXPECT_EQ(c.stats.entries, 15u);  // 12 nodelist systems + 3 points
  EXPECT_EQ(c.stats.points, 3u);
  EXPECT_EQ(c.stats.down, 1u);
  EXPECT_EQ(c.stats.duplicates, 1u);
  EXPECT_EQ(c.stats.malformed, 4u);
  static const char* const kExpected[] = {
      "NODELIST.100:15: malformed line (unknown keyword)",
      "NODELIST.100:16: malformed line (the number field",
      "NODELIST.100:17: malformed line (fewer than 7 fields)",
      "NODELIST.100:18: speed 'fast' is not a number",
      "NODELIST.100:14: 2:240/105 replaces the earlier entry at "
      "NODELIST.100:13",
      "POINTS.100:7: malformed line (only Boss and point lines",
      "the boss 2:240/999 of this point is not in the nodelist",
  };
  for (const char* w : kExpected) EXPECT_TRUE(HasWarning(c, w)) << w;
  EXPECT_EQ(c.offsets.count("2:240/104"), 0u) << "Down entries are skipped";
}

struct RecordCase {
  const char* address;
  uint16_t flags, hub_or_point, cost;
  uint32_t baud;
  const char* phone;
  const char* system;
  const char* sysop;
  const char* location;
};

const uint16_t kCm = v7::kFlagContinuousMail;
const RecordCase kRecords[] = {
    {"2:2/0", v7::kFlagZone | kCm, 0, 7, 33600, "32-2-555-0100", "EUROPE",
     "ZOE ZONECOORD", "BRUSSELS"},
    {"2:24/0", v7::kFlagRegion, 0, 9, 19200, "49-30-555-0124", "GERMANY",
     "KLAUS MUELLER", "BERLIN"},
    {"2:240/0", v7::kFlagHost | kCm, 0, 9, 2400, "49-40-555-0240", "NET 240",
     "SEAN O'BRIEN", "HAMBURG"},
    {"2:240/5", kCm, 0, 0, 14400, "10.0.0.5", "LOOSE NODE", "ANNE SMITH-JONES",
     "KIEL"},
    {"2:240/100", v7::kFlagHub, 100, 5, 28800, "49-451-555-0100", "HUB HUNDRED",
     "IVAN PETROV", "LUEBECK"},
    {"2:240/101", 0, 100, 0xFFFF, 300, "", "UNDER HUB", "IVAN PETROV",
     "LUEBECK"},
    {"2:240/103", 0, 100, 9, 255 * 300, "49-385-555-0103", "HOLDING",
     "YURI SMIRNOV", "WISMAR"},
    {"2:240/105", 0, 100, 5, 300, "49-451-555-0100", "DUP SECOND",
     "SECOND SYSOP", "SCHWERIN"},
    {"2:240/108", 0, 100, 9, 0, "49-1-555", "SPEEDLESS", "NAME HERE", "TOWN"},
    {"2:240/5.2", v7::kFlagPoint, 2, 9, 2400, "49-431-555-0002", "POINT TWO",
     "PAULA POINT", "KIEL"},
    {"2:240/999.1", v7::kFlagPoint, 1, 0xFFFF, 300, "", "ORPHAN", "LOST POINT",
     "NOWHERE"},
};

v7c::CostTable Costs() {
  v7c::CostTable costs = {};
  v7c::Reporter quiet = {nullptr, nullptr, 0};
  v7c::ReadCostTable("costs", "49 9\n4945 5\n32 7\n", &costs, &quiet);
  return costs;
}

TEST(Compiler, RecordsDecode) {
  std::vector<v7c::SourceText> sources = Sample();
  v7c::CostTable costs = Costs();
  Compiled c = Compile(sources, nullptr, &costs);
  for (const RecordCase& t : kRecords) {
    SCOPED_TRACE(t.address);
    ASSERT_EQ(c.offsets.count(t.address), 1u);
    v7test::Record r;
    ASSERT_TRUE(v7test::DecodeRecord(c.set.dat, c.offsets[t.address], &r));
    EXPECT_EQ(r.flags, t.flags);
    EXPECT_EQ(r.hub_or_point, t.hub_or_point);
    EXPECT_EQ(r.cost, t.cost);
    EXPECT_EQ(r.baud, t.baud);
    EXPECT_EQ(r.phone, t.phone);
    EXPECT_EQ(r.system, t.system);
    EXPECT_EQ(r.sysop, t.sysop);
    EXPECT_EQ(r.location, t.location);
    EXPECT_EQ(r.packed_length % 2, 0u);
    EXPECT_EQ(
        (r.system.size() + r.sysop.size() + r.location.size() + r.rest.size()) %
            3,
        0u);
  }
}

// The V7+ offset in each record leads to the entry's own line, byte for
// byte, and the links describe the hierarchy.
TEST(Compiler, PlusRecordsAndLinks) {
  std::vector<v7c::SourceText> sources = Sample();
  Compiled c = Compile(sources);
  std::map<uint32_t, std::string> by_offset;
  for (const auto& [address, offset] : c.offsets) by_offset[offset] = address;
  std::map<std::string, v7test::PlusRecord> plus;
  for (const auto& [address, offset] : c.offsets) {
    v7test::Record r;
    ASSERT_TRUE(v7test::DecodeRecord(c.set.dat, offset, &r));
    ASSERT_GE(r.rest.size(), 8u);
    uint32_t dtp =
        static_cast<uint32_t>(std::stoul(r.rest.substr(0, 8), nullptr, 16));
    ASSERT_TRUE(v7test::DecodePlus(c.set.dtp, dtp, r.flags & v7::kFlagPoint,
                                   &plus[address]));
  }
  EXPECT_EQ(plus["2:240/5"].line, kNodelist[5]);
  EXPECT_EQ(plus["2:240/105"].line, kNodelist[12]);
  EXPECT_EQ(plus["2:240/5.1"].line, kPointlist[1]);
  EXPECT_EQ(Get16(c.set.dtp, 5), 2u) << "two zones at the top";
  EXPECT_EQ(by_offset[v7test::Get32(c.set.dtp, 7)], "2:2/0");
  EXPECT_EQ(by_offset[plus["2:2/0"].next_sibling], "3:3/0");
  // Zone 2 holds its own node and the region; the host hangs from the
  // region, the hub and the loose node from the host.
  EXPECT_EQ(plus["2:2/0"].downlinks, 2u);
  EXPECT_EQ(by_offset[plus["2:2/0"].first_downlink], "2:2/1");
  EXPECT_EQ(by_offset[plus["2:2/1"].next_sibling], "2:24/0");
  EXPECT_EQ(plus["2:240/0"].downlinks, 2u);
  EXPECT_EQ(plus["2:240/100"].downlinks, 5u);
  EXPECT_EQ(plus["2:240/5"].downlinks, 2u);
  EXPECT_EQ(plus["2:240/101"].region, 24u);
  EXPECT_EQ(plus["2:240/5.1"].region, 24u);
  EXPECT_EQ(plus["2:2/1"].region, 0u);
  // Ivan Petrov runs three systems: one ring in any letter case.
  uint32_t at = c.offsets["2:240/100"];
  std::vector<std::string> ring;
  for (int i = 0; i < 4; ++i) {
    ring.push_back(by_offset[at]);
    at = plus[by_offset[at]].next_sysop;
  }
  EXPECT_EQ(ring, (std::vector<std::string>{"2:240/100", "2:240/101", "3:3/0",
                                            "2:240/100"}));
  EXPECT_EQ(plus["2:240/5"].next_sysop, v7::kNoLink);
  EXPECT_EQ(by_offset[plus["2:240/105"].next_phone], "2:240/100");
  EXPECT_EQ(plus["2:240/101"].next_phone, v7::kNoLink) << "unpublished";
}

std::vector<std::string> Keys(const std::vector<uint8_t>& index) {
  v7test::IndexCheck check = v7test::CheckIndex(index);
  EXPECT_EQ(check.error, "");
  std::vector<std::string> keys;
  for (const v7test::LeafKey& k : check.leaves) keys.push_back(k.key);
  return keys;
}

TEST(Compiler, IndexKeys) {
  std::vector<v7c::SourceText> sources = Sample();
  Compiled c = Compile(sources);
  std::vector<std::string> sysops = Keys(c.set.sdx);
  const std::vector<std::string> expected = {
      "Here, Name",    "Ivanova, Olga", "Mueller, Klaus", "O'Brien, Sean",
      "Petrov, Ivan",  "petrov, ivan",  "PETROV, IVAN",   "Point, Lost",
      "Point, Paula",  "Point, Pete",   "Smirnov, Yuri",  "Smith-Jones, Anne",
      "Sysop, Second", "Vries, Jan de", "Zonecoord, Zoe"};
  EXPECT_EQ(sysops, expected);
  std::vector<std::string> phones = Keys(c.set.pdx);
  ASSERT_EQ(phones.size(), 15u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(phones[i], "-Unpublished-");
  EXPECT_EQ(phones[4], "10.0.0.5");
  EXPECT_EQ(std::count(phones.begin(), phones.end(), "494515550100"), 2);
  std::vector<std::string> addresses;
  for (const std::string& k : Keys(c.set.ndx))
    addresses.push_back(AddressOf(k));
  EXPECT_EQ(addresses[0], "2:2/0");
  auto node = std::find(addresses.begin(), addresses.end(), "2:240/5");
  ASSERT_NE(node, addresses.end());
  EXPECT_EQ(*(node + 1), "2:240/5.1") << "a node sorts before its points";
  EXPECT_EQ(*(node + 2), "2:240/5.2");
}

}  // namespace
