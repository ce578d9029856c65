// The browser's keys: every key goes to the plugin's ProcessKey first when
// the active panel is a plugin panel; what the plugin leaves is the host's.
#ifndef TOLVANE_FARHOST_BROWSE_BROWSER_KEYS_H
#define TOLVANE_FARHOST_BROWSE_BROWSER_KEYS_H

#include "farhost/browse/browser_state.h"

// Handles one key: the plugin's ProcessKey first, then the host's keys.
void HandleBrowserKey(Browser* b, const KeyEvent& key);

#endif  // TOLVANE_FARHOST_BROWSE_BROWSER_KEYS_H
