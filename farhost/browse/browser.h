// `tolvane` (no command) and `tolvane browse [PATH]`: farhost's interactive
// front end. Two panels side by side (Tab switches), each showing a plugin
// panel or a plain directory, the command line and the key bar, drawn with
// ncurses in the file manager's look and driven through the plugin's
// exported entry points only.
#ifndef TOLVANE_FARHOST_BROWSE_BROWSER_H
#define TOLVANE_FARHOST_BROWSE_BROWSER_H

#include <string>

#include "farhost/host/host.h"

struct BrowseOptions {
  HostOptions Host;         // plugin, RootKey, language, code page
  std::string PanelPath;    // where the left panel opens ("" = start path)
  std::string Folder;       // the right panel's folder ("" = current)
  std::string HistoryPath;  // histories of the boxes ("" = memory only)
};

// Runs the browser until the user quits. Returns the exit status: 0, or 1
// when the plugin does not load or there is no terminal (said on stderr).
int RunBrowser(const BrowseOptions& options);

#endif  // TOLVANE_FARHOST_BROWSE_BROWSER_H
