// Opening, describing, moving and closing a panel: the host entry points
// OpenPlugin, ClosePlugin, GetOpenPluginInfo and SetDirectory, and the
// text form of a location (CurDir "\2:345", Title "V7 - Net 2:345").
#ifndef TOLVANE_PANEL_NAVIGATION_H
#define TOLVANE_PANEL_NAVIGATION_H

#include <cstdint>

#include "host/far_api.h"
#include "panel/panel_instance.h"

// Takes the first free slot (the language strings are fetched again
// first) and returns it as the panel's handle, standing at the root; from
// the disks or plugins menu, or from the command line with nothing typed,
// it moves silently to the stored "Start Path". From the command line
// (OPEN_COMMANDLINE, item the typed text) it moves to the typed path;
// when that move is refused the slot is freed again. Returns
// INVALID_HANDLE_VALUE when all slots are taken or the typed path was
// refused.
HANDLE PanelOpenPlugin(int openFrom, intptr_t item);

// Zero-fills the slot, releasing a list still pending. Null does nothing.
void PanelClosePlugin(PanelInstance* panel);

// Fills the host's record; the texts live in the slot or the message
// table until the next call. A null panel gives a zeroed record.
void PanelGetOpenPluginInfo(PanelInstance* panel, OpenPluginInfo* info);

// Moves the panel. Returns 1 when it moved, entered or left a sysop
// search; 0 when refused (the panel is unchanged, and unless OPM_SILENT
// the reason was shown). In the host's find mode (OPM_FIND) it only walks
// the levels 0..6 by the listing's names. Otherwise: "?name" starts a
// search (the name cut to kSearchTextSize - 1 characters), ".." leaves
// one, and any other text is a path (ParsePanelPath) that is listed as a
// trial before the move is committed; the trial list stays pending for the
// host. An interactive move (opMode 0) stores CurDir as "Start Path".
int PanelSetDirectory(PanelInstance* panel, const char* dir, int opMode);

// Rebuilds CurDir and Title from Address and Level; both are cut to their
// fields.
void FormatPanelLocation(PanelInstance* panel);

// Zeroes every part of address beyond level (at level 2 the net, node
// and point; at 0 all four).
void ClearPartsBeyond(FtnAddress* address, uint16_t level);

// The error box for a path that does not parse: message 8 and at most 80
// characters of the path in single quotes, under message 0.
void ShowPathError(const char* text);

#endif  // TOLVANE_PANEL_NAVIGATION_H
