#include "panel/compare.h"

#include <cstring>

#include "config/settings.h"
#include "nodelist/text_fields.h"
#include "panel/host_calls.h"
#include "panel/item_user_data.h"

namespace {

enum {
  kColumnSystem = 1,
  kColumnLocation = 2,
  kColumnPhone = 4,
  kColumnSpeed = 7
};

int Sign(long long difference) {
  return difference > 0 ? 1 : (difference < 0 ? -1 : 0);
}

int CompareNumbers(uint32_t a, uint32_t b) { return a < b ? -1 : (a > b); }

// Column i of an item, or "" when the item has no such column.
const char* ColumnText(const PluginPanelItem* item, int column) {
  if (item->CustomColumnData == nullptr || column >= item->CustomColumnNumber)
    return "";
  const char* text = item->CustomColumnData[column];
  return text ? text : "";
}

const char* OwnerText(const PluginPanelItem* item) {
  return item->Owner ? item->Owner : "";
}

// Zone, net, node, point: the first difference decides.
int CompareAddresses(const ItemUserData& a, const ItemUserData& b) {
  if (a.Zone != b.Zone) return CompareNumbers(a.Zone, b.Zone);
  if (a.Net != b.Net) return CompareNumbers(a.Net, b.Net);
  if (a.Node != b.Node) return CompareNumbers(a.Node, b.Node);
  return CompareNumbers(a.Point, b.Point);
}

// An item's place in the nodelist hierarchy, compared part by part: one
// key for every kind of item, so that a listing that mixes kinds (nodes and
// points among search hits) has one order whatever the input order.
struct HierarchyKey {
  uint32_t Parts[8];
};

// Zone, region, the region's own net before the others, net; within the
// net the group: a node's hub (0 for none, before every hub), and for any
// other item its own node, as if it served the item as hub (a point
// follows its boss node); the group's head (the hub itself) first, then
// node and point.
HierarchyKey HierarchyKeyOf(const ItemUserData& d) {
  uint32_t group = d.Level == kLevelNode ? d.Hub : d.Node;
  return {{d.Zone, d.Region, d.Net != d.Region, d.Net, group, d.Node != group,
           d.Node, d.Point}};
}

int CompareHierarchy(const ItemUserData& a, const ItemUserData& b) {
  HierarchyKey x = HierarchyKeyOf(a);
  HierarchyKey y = HierarchyKeyOf(b);
  for (int i = 0; i < 8; ++i)
    if (x.Parts[i] != y.Parts[i]) return CompareNumbers(x.Parts[i], y.Parts[i]);
  return 0;
}

// Bytes as unsigned values; a prefix goes first.
int CompareBytes(const char* a, const char* b) {
  return Sign(std::strcmp(a, b));
}

int ComparePrimary(uint32_t order, const PluginPanelItem* a,
                   const PluginPanelItem* b) {
  switch (order) {
    case kSortBySystem:
      return Sign(CompareTextNoCase(ColumnText(a, kColumnSystem),
                                    ColumnText(b, kColumnSystem)));
    case kSortBySysop:
      return Sign(CompareTextNoCase(OwnerText(a), OwnerText(b)));
    case kSortByLocation:
      return Sign(CompareTextNoCase(ColumnText(a, kColumnLocation),
                                    ColumnText(b, kColumnLocation)));
    case kSortByPhone:
      return CompareBytes(ColumnText(a, kColumnPhone),
                          ColumnText(b, kColumnPhone));
    case kSortBySpeed:
      return CompareNumbers(ParseDecimal(ColumnText(a, kColumnSpeed)),
                            ParseDecimal(ColumnText(b, kColumnSpeed)));
    case kSortByCallCost:
      return CompareNumbers(a->NumberOfLinks, b->NumberOfLinks);
  }
  return 0;
}

}  // namespace

int FARAPIV ComparePanelItems(const void* first, const void* second) {
  if (first == second) return 0;
  uint32_t order = static_cast<uint32_t>(SortOrder);
  if (order > kSortByHierarchy) return 0;
  const PluginPanelItem* a = static_cast<const PluginPanelItem*>(first);
  const PluginPanelItem* b = static_cast<const PluginPanelItem*>(second);
  ItemUserData dataA;
  ItemUserData dataB;
  int hasA = ReadItemUserData(a, &dataA);
  int hasB = ReadItemUserData(b, &dataB);
  if (!hasA || !hasB) return hasA - hasB;
  if (order == kSortByHierarchy) return CompareHierarchy(dataA, dataB);
  int primary = ComparePrimary(order, a, b);
  return primary != 0 ? primary : CompareAddresses(dataA, dataB);
}

int PanelCompare(PanelInstance* panel, const PluginPanelItem* item1,
                 const PluginPanelItem* item2, unsigned int) {
  if (panel == nullptr || item1 == nullptr || item2 == nullptr) return 0;
  return ComparePanelItems(item1, item2);
}
