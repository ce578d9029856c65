// Drawing one panel in the file manager's look: a double frame with the
// title in its top edge, the column titles, the items in the columns of the
// current mode (separated by single lines), a separator, the status line
// with the mode's status columns of the current item, and the bottom edge.
// The panel does not know how its items are held: it asks for each cell.
#ifndef TOLVANE_FARHOST_BROWSE_PANEL_DRAW_H
#define TOLVANE_FARHOST_BROWSE_PANEL_DRAW_H

#include <functional>
#include <string>
#include <vector>

#include "farhost/browse/column_layout.h"

enum PanelItemStyle { kItemPlain, kItemFolder, kItemMarked };

struct PanelPicture {
  int X1, Y1, X2, Y2;  // the frame, inclusive
  std::string Title;   // OEM text, shown centred in the top edge
  int Focused;         // the active panel: title and cursor highlighted
  int Count, Current, Top;
  std::vector<PanelColumn> Columns;
  std::vector<std::string> ColumnTitles;  // OEM; missing ones from the type
  std::vector<PanelColumn> Status;
  std::function<std::string(int item, const std::string& type)> Cell;
  std::function<PanelItemStyle(int item)> Style;
};

// Rows of items a panel with the frame from y1 to y2 shows (at least 1).
int PanelItemRows(int y1, int y2);

// The first item shown so that current is visible, moving the old top as
// little as possible; never past the point where the last page would not
// be full. Pure.
int KeepCurrentVisible(int count, int current, int top, int rows);

// The title the host shows over a column of a type when the plugin gives
// none: "Name", "Description", "Owner", "Size", ...; "" for custom columns.
std::string DefaultColumnTitle(const std::string& type);

// Whether a column type is a number, drawn right-aligned ("S", "LN", ...).
int IsNumericColumn(const std::string& type);

// Draws the panel on the screen (clipped to it).
void DrawPanel(const PanelPicture& picture);

#endif  // TOLVANE_FARHOST_BROWSE_PANEL_DRAW_H
