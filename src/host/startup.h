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

// The help topic of the sysop search box. An input box carries no plugin
// number, so the host looks a plain topic up in its own help; this one
// names the plugin's help folder as the host's help links do: "<", the
// module's folder up to and including its last separator, ">SearchSysop"
// ("<C:\Far\Plugins\Tolvane\>SearchSysop"). Plain "SearchSysop" when
// the module's name has no folder.
enum { kSearchHelpTopicSize = NM + 16 };
extern char SearchHelpTopic[kSearchHelpTopicSize];

// Keeps the host's entries and a private copy of its standard functions,
// sets the defaults, forms the settings key and the search box's help
// topic, fetches the language strings and loads the stored settings.
void PluginSetStartupInfo(const PluginStartupInfo* info);

// One entry in the plugins and configuration menus, one in the disks menu
// while OptionDisksMenu is set, and the command prefix "V7".
void PluginGetPluginInfo(PluginInfo* info);

#endif  // TOLVANE_HOST_STARTUP_H
