// The host's own work with plugin panels: opening one (from the plugins
// menu or the command line with the plugin's prefix), refreshing it through
// GetOpenPluginInfo and GetFindData, moving it with SetDirectory, Enter on
// an item when ProcessKey leaves the key to the host, the host's own sort
// through Compare. Closing a panel is the core's (host.h).
//
// Habits of the real host kept here: GetFindData is called at every
// refresh, the items are copied and FreeFindData is called at once; the
// order delivered is kept under SM_UNSORTED; after going up with ".." the
// cursor lands on the item named like the directory just left.
#ifndef TOLVANE_FARHOST_HOST_PANELS_H
#define TOLVANE_FARHOST_HOST_PANELS_H

#include <string>

#include "farhost/host/host.h"

// At most this many panels are open at once (the host shows two sides; a
// third panel hides behind one of them).
enum { kMaxHostPanels = 8 };

// Calls OpenPlugin(openFrom, item) and, when the plugin gives a panel,
// adds it (on the side away from the active panel), makes it active and
// refreshes it. Returns the panel, or null when OpenPlugin refused
// (INVALID_HANDLE_VALUE or null) or kMaxHostPanels are open.
PanelModel* OpenPanel(FarHost* host, int openFrom, intptr_t item);

// The command line: text that begins with the plugin's command prefix
// (from GetPluginInfo, compared without regard to case) and a colon opens
// a panel with OpenPlugin(OPEN_COMMANDLINE, rest of the text). Returns the
// panel, or null when the prefix does not match or the plugin refused.
PanelModel* OpenFromCommandLine(FarHost* host, const std::string& line);

// Asks the plugin for its panel information and applies it: CurDir,
// title, format, flags, the view mode (StartPanelMode '0'..'9'; 0 keeps
// the mode) with the columns of that mode, the sort mode (StartSortMode,
// 0 keeps it) and order.
void ReadOpenPluginInfo(FarHost* host, PanelModel* panel);

// The columns of view mode 0..9: the plugin's PanelModesArray entry when it
// offers that mode, else the host's own layout. Empty outside 0..9.
PanelView ModeView(const OpenPluginInfo& info, int mode);

// Re-reads the panel: GetOpenPluginInfo, then GetFindData(opMode 0), the
// copy, FreeFindData, and the host's sort. A failed GetFindData leaves an
// empty list. The cursor is clamped. Returns GetFindData's result; 0
// without a call when the panel is already being refreshed.
int RefreshPanel(FarHost* host, PanelModel* panel);

// Sorts the items by the panel's sort mode: SM_UNSORTED keeps the order
// delivered; any other mode asks the plugin's Compare (its result -2, or
// any result outside -1..1 taken by sign, and a missing Compare fall back
// to the host's own order by name, case-insensitive in the code page).
// Items named ".." stay first. The sort is stable.
void SortPanelItems(FarHost* host, PanelModel* panel);

// The user picks a host sort mode: sets it and the order, re-sorts.
void SetHostSortMode(FarHost* host, PanelModel* panel, int mode, int reverse);

// Moves the panel with SetDirectory(dir, opMode) and, when the plugin
// agreed, refreshes it: after "..", the cursor goes, as the host's does, to
// the item named like the last part of the old CurDir (LastPartOfDir: only a
// drive letter's ':' counts, so "\2:5020" looks for "2:5020"), else to an
// item named like the whole old CurDir, else to the item of the name it was
// on, else it stays at its index; after any other move, to the first item.
// Returns SetDirectory's result; a refusal changes nothing in the host's
// model.
int ChangeDirectory(FarHost* host, PanelModel* panel, const std::string& dir,
                    int opMode);

// Enter on the active panel: ProcessKey(VK_RETURN) first; when it returns
// 0 and the command line is empty, the host's own EnterCurrentItem (with
// text on the command line, Enter is the command line's). Returns 1 when
// something was done (by the plugin or the host), 0 otherwise.
int PressEnter(FarHost* host);

// The host's own Enter on the panel's current item: ".." goes up and a
// directory item goes into it by its file name (ChangeDirectory with
// opMode 0). Returns ChangeDirectory's result; 0 for any other item or an
// empty panel.
int EnterCurrentItem(FarHost* host, PanelModel* panel);

// The panel of a handle: INVALID_HANDLE_VALUE names the active panel.
// Null when no open panel has the handle.
PanelModel* PanelByHandle(FarHost* host, HANDLE plugin);

// The panel shown on the other side from `panel`, or null.
PanelModel* AnotherPanel(FarHost* host, const PanelModel* panel);

#endif  // TOLVANE_FARHOST_HOST_PANELS_H
