// The host's model of one open plugin panel, for the panel commands of
// Control (1 GETPANELINFO, 3 UPDATEPANEL, 5 REDRAWPANEL) and the host's own
// navigation. Declared here so that the host can say "no panel" today; the
// model itself is built with the panel commands of farhost.
//
// What it will hold, per open panel: the plugin handle; the host's own copy
// of the items (names, descriptions, owner, custom column texts, and the
// UserData block whose first 32-bit word is its size, copied when
// PPIF_USERDATA is set), taken right after GetFindData, after which the host
// calls FreeFindData; the current and top item; view mode and sort mode;
// the current directory from GetOpenPluginInfo.
#ifndef TOLVANE_FARHOST_PANEL_MODEL_H
#define TOLVANE_FARHOST_PANEL_MODEL_H

struct PanelModel;

#endif  // TOLVANE_FARHOST_PANEL_MODEL_H
