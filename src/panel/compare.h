// The plugin's own ordering of panel items: one comparison for the sort at
// the end of a listing and for the host's Compare entry point, by the
// process-wide SortOrder (0 address, 1 system name, 2 sysop, 3 location,
// 4 phone, 5 speed, 6 call cost, 7 nodelist hierarchy). Every order falls
// back to address order.
#ifndef TOLVANE_PANEL_COMPARE_H
#define TOLVANE_PANEL_COMPARE_H

#include "host/far_api.h"
#include "panel/panel_instance.h"

enum {
  kSortByAddress = 0,
  kSortBySystem = 1,
  kSortBySysop = 2,
  kSortByLocation = 3,
  kSortByPhone = 4,
  kSortBySpeed = 5,
  kSortByCallCost = 6,
  kSortByHierarchy = 7,
};

// qsort comparison over two PluginPanelItem records: -1 when a goes
// first, 1 when b does, 0 when equal. The same item, and any SortOrder
// above 7, give 0. An item without an ItemUserData block (the ".." item,
// plain directory items) is never read through: it goes before every item
// that has one, and two such items compare equal.
int FARAPIV ComparePanelItems(const void* a, const void* b);

// The host's Compare: ComparePanelItems whatever the host's sort mode, so
// the plugin's order results; never the value that leaves the order to
// the host. A null panel or item gives 0.
int PanelCompare(PanelInstance* panel, const PluginPanelItem* item1,
                 const PluginPanelItem* item2, unsigned int mode);

#endif  // TOLVANE_PANEL_COMPARE_H
