// The host's jobs on an entry's contents: viewing (F3) and editing (F4) an
// entry of a plugin panel through GetFiles into a fresh temporary folder.
#ifndef TOLVANE_FARHOST_BROWSE_FILE_OPS_H
#define TOLVANE_FARHOST_BROWSE_FILE_OPS_H

#include <functional>
#include <string>

#include "farhost/host/host.h"

// Has the plugin write one item into a new temporary folder and runs
// use(path of the file) while it exists; the folder is removed afterwards
// whatever happened. 0 when the plugin wrote no file.
int WithItemFile(FarHost* host, HANDLE plugin, const PluginPanelItem& item,
                 int opMode,
                 const std::function<void(const std::string&)>& use);

#endif  // TOLVANE_FARHOST_BROWSE_FILE_OPS_H
