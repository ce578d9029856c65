// Start-up: the host hands over its functions (SetStartupInfo) and asks
// what the plugin registers in its menus (GetPluginInfo).
#ifndef TOLVANE_HOST_STARTUP_H
#define TOLVANE_HOST_STARTUP_H

#include "host/far_api.h"
#include "nodelist/records.h"

// "?" followed by the last sysop name searched for; edited by the search
// command after its "?". Room for the "?", the input box's result length
// (kSearchNameSize) in characters and a terminator.
enum { kSearchRequestSize = 1 + kSearchNameSize + 1 };
extern char SearchRequest[kSearchRequestSize];

// Keeps the host's entries and a private copy of its standard functions,
// sets the defaults, forms the settings key, fetches the language strings
// and loads the stored settings.
void PluginSetStartupInfo(const PluginStartupInfo* info);

// One entry in the plugins and configuration menus, one in the disks menu
// while OptionDisksMenu is set, and the command prefix "V7".
void PluginGetPluginInfo(PluginInfo* info);

#endif  // TOLVANE_HOST_STARTUP_H
