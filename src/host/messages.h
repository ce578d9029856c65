// The plugin's language strings and the key bar built from them.
//
// MessageTable[n] is the host's string number n of the plugin's language
// file, fetched by LoadMessages; the strings belong to the host and are
// handed on as they are. The enum is the one list of message numbers; the
// language files in lang/ hold exactly kMessageCount quoted lines in this
// order (a test counts them).
#ifndef TOLVANE_HOST_MESSAGES_H
#define TOLVANE_HOST_MESSAGES_H

#include "host/far_api.h"

enum MessageNumber {
  MPluginName = 0,       // display name: menus, error box title
  MCfgPathLabel = 1,     // main dialog: nodelist directory label
  MCfgPlusData = 2,      // main dialog: V7+ check box
  MCfgSharedSysop = 3,   // main dialog: shared sysop index check box
  MCfgNameLabel = 4,     // main dialog: nodelist name label
  MListFull = 5,         // listing full, further entries dropped
  MNoMemory = 6,         // no memory for the listing
  MNodelistError = 7,    // error box title for nodelist failures
  MBadPath = 8,          // "%s '%.80s'" prefix for a path that won't parse
  MNoEntry = 9,          // a directory change finds no entry
  MExportError = 10,     // title: an export file cannot be created
  MAddress = 11,         // column N and Z, sort 0, Ctrl+F3
  MZoneWord = 12,        // zone level word in the title
  MNetWord = 13,         // net level word in the title
  MNodeWord = 14,        // node level word; export label of a plain node
  MTooManyColumns = 15,  // a typed column string names too many columns
  MKind = 16,            // column C0
  MSysop = 17,           // columns O and C8; sort 2; Ctrl+F5
  MSystem = 18,          // column C1; sort 1; Ctrl+F4
  MLocation = 19,        // column C2; sort 3; Ctrl+F6
  MFlags = 20,           // column C3
  MPhone = 21,           // column C4; sort 4; Ctrl+F7
  MOnline = 22,          // column C5
  MPassword = 23,        // column C6
  MSpeed = 24,           // column C7; sort 5; Ctrl+F8
  MCallCost = 25,        // sort 6; Ctrl+F9; export label of the cost
  MHierarchy = 26,       // sort 7; Ctrl+F10; export label of the hub
  MRegion = 27,          // export label of the region
  MModeItem = 28,        // "%s &%d" panel-mode menu entries
  MCfgMain = 29,         // configuration menu 1, main dialog title
  MCfgSeparator = 30,    // main dialog separator caption
  MCfgAbout = 31,        // configuration menu 4 (About)
  MCfgDisksMenu = 32,    // main dialog: disks menu check box
  MCfgDigit = 33,        // main dialog: text beside the digit field
  MCfgModes = 34,        // configuration menu 2, panel-mode menu title
  MCfgColTypes = 35,     // panel-mode dialog labels
  MCfgColWidths = 36,
  MCfgStatusTypes = 37,
  MCfgStatusWidths = 38,
  MCfgFullScreen = 39,
  MCfgMarkNoPhone = 40,  // main dialog: mark nodes without a phone
  MCfgMarkOffline = 41,  // main dialog: mark nodes not available now
  MSortMenuTitle = 42,   // title of the sort menu
  MSearchTitle = 43,     // panel title while search results are shown
  MSearchKey = 44,       // F7 label; search input box title
  MSearchPrompt = 45,    // search input box prompt
  MOk = 46,              // the confirming button
  MCancel = 47,          // the cancelling button
  MInternet = 48,        // column C9: how to reach the entry
  // Flags in words, in the description file: the categories in the order
  // of FlagCategory (nodelist/flag_table.h) from kCategoryOperation on,
  // then the texts that take a value ("%s" in them is filled in), then one
  // fixed text per flag meaning from kFirstPlainMeaning on.
  MCategoryOperation = 49,
  MCategoryLast = MCategoryOperation + 9,  // robot
  MFlagNotStandard = 59,                   // a flag outside the lists
  MFlagProtocolAlone = 60,                 // "binkp on the usual port 24554"
  MFlagProtocolPort = 61,                  // "binkp on port 24556"
  MFlagProtocolHost = 62,                  // "binkp at host"
  MFlagHost = 63,                          // INA:host
  MFlagHostMissing = 64,                   // INA without a host
  MFlagOnline = 65,        // Txy: the window in UTC and local time
  MFlagZoneMailHour = 66,  // #nn of a zone: the zone, UTC, local
  MFlagMailHour = 67,      // #nn of no zone: UTC, local
  MFlagGateway = 68,       // Gx: where to
  MFlagUnreadable = 69,    // a time or mail-hour flag that cannot be read
  MFlagPlainFirst = 70,    // U, CM, ICM, ... PING
  kMessageCount = 134,
};

extern const char* MessageTable[kMessageCount];

// The names of the eight sort orders, in order: the sort menu's entries
// and the key bar's Ctrl+F3 .. Ctrl+F10 labels.
enum { kSortOrderLabels = 8 };
extern const int SortOrderLabels[kSortOrderLabels];
extern KeyBarTitles KeyBarLabels;

// Fetches the strings again from the host and refills the key bar.
void LoadMessages();

// One warning box: title MessageTable[titleNumber], one line of text, one
// button (MOk). Its answer is not used.
void ShowError(int titleNumber, const char* text);

#endif  // TOLVANE_HOST_MESSAGES_H
