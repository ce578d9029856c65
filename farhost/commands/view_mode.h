// The host's view-mode switch (Ctrl+0..Ctrl+9): the panel takes the mode,
// the mode's columns come from the plugin's panel modes, and the plugin is
// told with FE_CHANGEVIEWMODE and the mode's column types.
#ifndef TOLVANE_FARHOST_VIEW_MODE_H
#define TOLVANE_FARHOST_VIEW_MODE_H

#include <string>

#include "farhost/host/host.h"

// The column types of mode 0..9: the plugin's PanelModesArray entry from
// GetOpenPluginInfo when it offers that mode, else the host's own layout.
// Empty for a mode outside 0..9.
std::string ModeColumnTypes(FarHost* host, PanelModel* panel, int mode);

// Sets the panel's view mode and columns and calls
// ProcessEvent(FE_CHANGEVIEWMODE, column types). Returns 0 for a mode
// outside 0..9 (nothing happens), else 1.
int ChangeViewMode(FarHost* host, PanelModel* panel, int mode);

#endif  // TOLVANE_FARHOST_VIEW_MODE_H
