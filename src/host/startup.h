// Start-up: the host hands over its functions (SetStartupInfo) and asks
// what the plugin registers in its menus (GetPluginInfo).
#ifndef TOLVANE_HOST_STARTUP_H
#define TOLVANE_HOST_STARTUP_H

#include "host/far_api.h"

// "?" followed by the last sysop name searched for; edited by the search
// command after its "?".
enum { kSearchRequestSize = 32 };
extern char SearchRequest[kSearchRequestSize];

// Keeps the host's entries and a private copy of its standard functions,
// sets the defaults, forms the settings key, fetches the language strings
// and loads the stored settings.
void PluginSetStartupInfo(const PluginStartupInfo* info);

// One entry in the plugins and configuration menus, one in the disks menu
// while OptionDisksMenu is set, and the command prefix "V7".
void PluginGetPluginInfo(PluginInfo* info);

#endif  // TOLVANE_HOST_STARTUP_H
