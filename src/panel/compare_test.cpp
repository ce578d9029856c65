#include "panel/compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config/settings.h"
#include "host/host_binding.h"
#include "panel/item_user_data.h"
#include "panel/panel_test_support.h"

namespace {

// One detailed item as the host hands it back: columns, owner, links and
// the user data block at an odd address.
struct TestItem {
  const char* System = "";
  const char* Location = "";
  const char* Phone = "";
  const char* Speed = "";
  const char* Sysop = "";
  DWORD Links = 0;
  uint16_t Zone = 2, Net = 345, Node = 6, Point = 0, Hub = 0, Region = 0,
           Level = 6;
};

struct Built {
  PluginPanelItem Item;
  char Columns[9][40];
  char* Pointers[9];
  char Owner[40];
  unsigned char Block[1 + sizeof(ItemUserData)];
};

void Build(const TestItem& t, Built* b) {
  std::memset(b, 0, sizeof(*b));
  const char* texts[9] = {"", t.System, t.Location, "",     t.Phone,
                          "", "",       t.Speed,    t.Sysop};
  for (int i = 0; i < 9; ++i) {
    std::snprintf(b->Columns[i], sizeof(b->Columns[i]), "%s", texts[i]);
    b->Pointers[i] = b->Columns[i];
  }
  std::snprintf(b->Owner, sizeof(b->Owner), "%s", t.Sysop);
  ItemUserData data = {sizeof(ItemUserData), t.Zone, t.Net,    t.Node, t.Point,
                       {0, 0, 0, 0},         t.Hub,  t.Region, t.Level};
  WriteItemUserData(b->Block + 1, &data);
  b->Item.CustomColumnData = b->Pointers;
  b->Item.CustomColumnNumber = 9;
  b->Item.Owner = b->Owner;
  b->Item.NumberOfLinks = t.Links;
  b->Item.UserData = reinterpret_cast<uintptr_t>(b->Block + 1);
  b->Item.Flags = PPIF_USERDATA;
}

TestItem Addr(uint16_t zone, uint16_t net, uint16_t node, uint16_t point = 0) {
  TestItem t;
  t.Zone = zone;
  t.Net = net;
  t.Node = node;
  t.Point = point;
  return t;
}

TestItem With(TestItem t, const char* TestItem::*field, const char* text) {
  t.*field = text;
  return t;
}

TestItem Links(TestItem t, DWORD links) {
  t.Links = links;
  return t;
}

TestItem Tree(uint16_t region, uint16_t net, uint16_t node, uint16_t hub,
              uint16_t level, uint16_t point = 0) {
  TestItem t = Addr(2, net, node, point);
  t.Region = region;
  t.Hub = hub;
  t.Level = level;
  return t;
}

struct CompareCase {
  int Order;
  TestItem A;
  TestItem B;
  int Expected;
};

const TestItem kA = Addr(2, 345, 6);
const TestItem kB = Addr(2, 345, 7);

const CompareCase kCases[] = {
    // Address order, part by part, as unsigned numbers.
    {0, Addr(1, 9, 9), Addr(2, 1, 1), -1},
    {0, Addr(2, 400, 1), Addr(2, 345, 9), 1},
    {0, Addr(2, 345, 6, 1), Addr(2, 345, 6), 1},
    {0, Addr(2, 345, 6), Addr(2, 345, 6), 0},
    {0, Addr(65535, 1, 1), Addr(1, 1, 1), 1},
    // Names without regard to case, then the address.
    {1, With(kB, &TestItem::System, "BBS"), With(kA, &TestItem::System, "bbs"),
     1},
    {1, With(kA, &TestItem::System, "Zeta"),
     With(kB, &TestItem::System, "alpha"), 1},
    {2, With(kA, &TestItem::Sysop, "smith"),
     With(kB, &TestItem::Sysop, "Jones"), 1},
    {3, With(kA, &TestItem::Location, "Berlin"),
     With(kB, &TestItem::Location, "berlin"), -1},
    // Phones byte by byte; a prefix first.
    {4, With(kB, &TestItem::Phone, "+1 555"),
     With(kA, &TestItem::Phone, "+1 5551"), -1},
    {4, With(kA, &TestItem::Phone, "a"), With(kB, &TestItem::Phone, "B"), 1},
    {4, With(kA, &TestItem::Phone, "\x80"), With(kB, &TestItem::Phone, "z"), 1},
    // Speeds as numbers; no digits count as 0.
    {5, With(kB, &TestItem::Speed, "9600"), With(kA, &TestItem::Speed, "33600"),
     -1},
    {5, With(kB, &TestItem::Speed, ""), With(kA, &TestItem::Speed, "300"), -1},
    {5, With(kB, &TestItem::Speed, "x"), With(kA, &TestItem::Speed, ""), 1},
    {6, Links(kB, 3), Links(kA, 40000), -1},
    {6, Links(kA, 7), Links(kB, 7), -1},
    // Hierarchy: zone, region, the region's own net first, nets.
    {7, Tree(50, 60, 0, 0, 4), Tree(51, 51, 0, 0, 4), -1},
    {7, Tree(50, 50, 0, 0, 4), Tree(50, 40, 0, 0, 4), -1},
    {7, Tree(50, 40, 0, 0, 4), Tree(50, 50, 0, 0, 4), 1},
    {7, Tree(50, 70, 0, 0, 4), Tree(50, 60, 0, 0, 4), 1},
    // Same net, nodes: no hub first, hub groups, the hub itself first.
    {7, Tree(50, 60, 9, 0, 6), Tree(50, 60, 1, 100, 6), -1},
    {7, Tree(50, 60, 100, 100, 6), Tree(50, 60, 5, 100, 6), -1},
    {7, Tree(50, 60, 5, 100, 6), Tree(50, 60, 100, 100, 6), 1},
    {7, Tree(50, 60, 7, 100, 6), Tree(50, 60, 5, 100, 6), 1},
    {7, Tree(50, 60, 5, 100, 6, 2), Tree(50, 60, 5, 100, 6, 1), 1},
    {7, Tree(50, 60, 5, 100, 6), Tree(50, 60, 5, 100, 6), 0},
    // Other levels: node, then point; the hub does not count.
    {7, Tree(50, 60, 5, 1, 8, 2), Tree(50, 60, 5, 9, 8, 1), 1},
    {7, Tree(50, 60, 4, 9, 4), Tree(50, 60, 5, 1, 4), -1},
    // Orders outside 0..7 leave everything equal.
    {8, kA, kB, 0},
    {9, kB, kA, 0},
    {-1, kA, kB, 0},
};

class CompareTest : public panel_test::PanelTest {};

TEST_F(CompareTest, EveryOrderAndItsFallBack) {
  Built a;
  Built b;
  int row = 0;
  for (const CompareCase& c : kCases) {
    SCOPED_TRACE(std::string("row ").append(std::to_string(row++)));
    SortOrder = c.Order;
    Build(c.A, &a);
    Build(c.B, &b);
    EXPECT_EQ(ComparePanelItems(&a.Item, &b.Item), c.Expected);
    EXPECT_EQ(ComparePanelItems(&b.Item, &a.Item), -c.Expected);
    EXPECT_EQ(ComparePanelItems(&a.Item, &a.Item), 0);
  }
}

TEST_F(CompareTest, HostCompareIgnoresTheHostsSortMode) {
  Built a;
  Built b;
  Build(With(kB, &TestItem::System, "alpha"), &a);
  Build(With(kA, &TestItem::System, "beta"), &b);
  PanelInstance* panel = &PanelSlots[0];
  for (int order = 0; order < 8; ++order) {
    SortOrder = order;
    int expected = ComparePanelItems(&a.Item, &b.Item);
    for (unsigned mode = 0; mode <= SM_NUMLINKS; ++mode)
      EXPECT_EQ(PanelCompare(panel, &a.Item, &b.Item, mode), expected);
  }
  EXPECT_EQ(PanelCompare(nullptr, &a.Item, &b.Item, SM_NAME), 0);
}

// Items without a block (the ".." item) are never read through: they go
// first, and two of them are equal.
TEST_F(CompareTest, ItemsWithoutUserDataGoFirst) {
  Built a;
  Build(With(kA, &TestItem::System, "x"), &a);
  PluginPanelItem bare[2];
  std::memset(bare, 0, sizeof(bare));
  bare[1].Flags = PPIF_USERDATA;  // the flag alone, no block
  for (int order = 0; order < 8; ++order) {
    SortOrder = order;
    for (PluginPanelItem& item : bare) {
      EXPECT_EQ(ComparePanelItems(&item, &a.Item), -1) << order;
      EXPECT_EQ(ComparePanelItems(&a.Item, &item), 1) << order;
    }
    EXPECT_EQ(ComparePanelItems(&bare[0], &bare[1]), 0) << order;
  }
}

// A net listing under the hierarchy order: nodes without a hub, then each
// hub followed by its nodes.
TEST_F(CompareTest, HierarchySortsANetListingByHubs) {
  const TestItem kNodes[] = {
      Tree(0, 60, 300, 200, 6), Tree(0, 60, 100, 100, 6), Tree(0, 60, 7, 0, 6),
      Tree(0, 60, 200, 200, 6), Tree(0, 60, 2, 100, 6),   Tree(0, 60, 1, 0, 6),
      Tree(0, 60, 150, 100, 6),
  };
  const int n = sizeof(kNodes) / sizeof(kNodes[0]);
  std::vector<Built> built(n);
  std::vector<PluginPanelItem> items;
  for (int i = 0; i < n; ++i) Build(kNodes[i], &built[i]);
  for (int i = 0; i < n; ++i) items.push_back(built[i].Item);
  SortOrder = 7;
  std::qsort(items.data(), items.size(), sizeof(PluginPanelItem),
             ComparePanelItems);
  std::string order;
  for (const PluginPanelItem& item : items) {
    ItemUserData data;
    ASSERT_TRUE(ReadItemUserData(&item, &data));
    order += std::to_string(data.Node) + " ";
  }
  EXPECT_EQ(order, "1 7 100 2 150 200 300 ");
}

// Search hits mix nodes and points: the hierarchy order is still one
// order, whatever order the hits come in. A point goes with its node as if
// the node were its hub.
TEST_F(CompareTest, HierarchyOrdersMixedSearchHitsOneWay) {
  const TestItem kHits[] = {
      Tree(0, 345, 5, 100, 6),    Tree(0, 345, 200, 0, 6),
      Tree(0, 345, 150, 1, 8, 1), Tree(0, 345, 100, 100, 6),
      Tree(0, 345, 100, 2, 8, 2), Tree(0, 345, 150, 100, 6),
  };
  const int n = sizeof(kHits) / sizeof(kHits[0]);
  std::vector<Built> built(n);
  for (int i = 0; i < n; ++i) Build(kHits[i], &built[i]);
  std::vector<int> input = {0, 1, 2, 3, 4, 5};
  SortOrder = 7;
  int permutations = 0;
  do {
    std::vector<PluginPanelItem> items;
    for (int i : input) items.push_back(built[i].Item);
    std::qsort(items.data(), items.size(), sizeof(PluginPanelItem),
               ComparePanelItems);
    std::string order;
    for (const PluginPanelItem& item : items) {
      ItemUserData data;
      ASSERT_TRUE(ReadItemUserData(&item, &data));
      order +=
          std::to_string(data.Node) + "." + std::to_string(data.Point) + " ";
    }
    ASSERT_EQ(order, "200.0 100.0 100.2 5.0 150.0 150.1 ")
        << "permutation " << permutations;
    ++permutations;
  } while (std::next_permutation(input.begin(), input.end()));
  EXPECT_EQ(permutations, 720);
}

}  // namespace
