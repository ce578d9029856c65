// One open panel of the plugin and the fixed table of three panel slots.
// The handle the host holds for a panel is the address of its slot.
#ifndef TOLVANE_PANEL_PANEL_INSTANCE_H
#define TOLVANE_PANEL_PANEL_INSTANCE_H

#include <cstdint>

#include "host/far_api.h"
#include "nodelist/records.h"

// Panel flags.
enum : uint32_t {
  PF_CLOSING = 0x1,   // FE_CLOSE came: no own panel modes, view in ViewMode
  PF_INUSE = 0x2,     // slot taken
  PF_FROMITEM = 0x4,  // the next SetDirectory comes from an item's Enter
  PF_FOUND = 0x8,     // the trial listing delivered at least one record
};

// Levels: twice the number of known address parts.
enum : uint16_t {
  kLevelRoot = 0,
  kLevelZone = 2,
  kLevelNet = 4,
  kLevelNode = 6,
  kLevelPoint = 8,  // parsed for a point; never stored in a panel
};

enum {
  kPanelSlots = 3,
  kCurDirSize = 30,
  kTitleSize = 38,
  kSearchTextSize = kSearchNameSize,  // a whole sysop name
};

struct PanelInstance {
  FtnAddress Address;  // every part beyond Level is 0
  uint32_t Flags;
  uint32_t ViewMode;  // 0..9, kept once the panel is closing
  char CurDir[kCurDirSize];
  uint16_t Level;
  char Title[kTitleSize];
  char SearchText[kSearchTextSize];  // empty while browsing
  PluginPanelItem* PendingItems;     // the trial listing's list
  int32_t PendingCount;              // 0: nothing pending
};

extern PanelInstance PanelSlots[kPanelSlots];

// The slot behind a host handle, or null when the handle is not one of
// the three slots.
PanelInstance* PanelFromHandle(HANDLE handle);

#endif  // TOLVANE_PANEL_PANEL_INSTANCE_H
