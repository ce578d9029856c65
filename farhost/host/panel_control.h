// The panel commands of the host's Control service, on the host's panel
// models: 1 FCTL_GETPANELINFO, 3 FCTL_UPDATEPANEL, 4 FCTL_UPDATEANOTHERPANEL,
// 5 FCTL_REDRAWPANEL and 6 FCTL_REDRAWANOTHERPANEL. The handle
// INVALID_HANDLE_VALUE names the active panel.
#ifndef TOLVANE_FARHOST_PANEL_CONTROL_H
#define TOLVANE_FARHOST_PANEL_CONTROL_H

#include "farhost/host/host.h"

// The panel rectangles: the left side is columns 0..39, the right side
// 40..79, both rows 1..22 of an 80x25 screen.
FarRect PanelRectOf(int side);

// Fills *info (zero-filled first) from the model: PanelType 0 (a file
// panel), Plugin 1, PanelRect, PanelItems (the host's copies, valid until
// the next refresh), ItemsNumber, SelectedItems with the current item as
// the one selected (none for an empty panel), CurrentItem, TopPanelItem,
// Visible 1, Focus (1 for the active panel), ViewMode, ColumnTypes and
// ColumnWidths of the current mode and CurDir (cut to their fields),
// SortMode.
void FillPanelInfo(const FarHost* host, const PanelModel& panel,
                   PanelInfo* info);

// Runs one of the panel commands above. Returns the host's answer: 1 when
// done, 0 for an unknown handle, a null PanelInfo, a refresh from within a
// refresh, or a command that is not a panel command. The Redraw fields of
// *call record a PanelRedrawInfo handed to commands 5 and 6.
int RunPanelControl(FarHost* host, HANDLE plugin, int command, void* param,
                    ControlCall* call);

// Whether RunPanelControl takes the command.
int IsPanelCommand(int command);

#endif  // TOLVANE_FARHOST_PANEL_CONTROL_H
