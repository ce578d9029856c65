// The columns of a panel mode as the host lays them out: the mode's column
// types ("C0,Z,C1") and widths ("6,15,0") split into columns, and the
// widths fitted into a panel's inner width by the host's rules. Pure
// computations.
#ifndef TOLVANE_FARHOST_BROWSE_COLUMN_LAYOUT_H
#define TOLVANE_FARHOST_BROWSE_COLUMN_LAYOUT_H

#include <string>
#include <vector>

// Columns beyond this many in one mode are not shown.
enum { kMaxPanelColumns = 20 };

struct PanelColumn {
  std::string Type;  // the column code: "N", "Z", "O", "C0".."C9", "LN", ...
  int Width;         // as asked for: 0 shares the rest
};

// Splits the types and widths strings at commas. There is one column per
// type, empty types included; a missing or non-numeric width counts as 0;
// blanks around a part are ignored. At most kMaxPanelColumns columns.
std::vector<PanelColumn> ParsePanelColumns(const std::string& types,
                                           const std::string& widths);

// The widths the columns get in an area of `inner` cells where neighbouring
// columns are separated by `gap` cells. Fixed widths are taken as asked;
// columns of width 0 share what is left equally, the last of them taking
// the remainder. When the fixed widths do not fit, the column that crosses
// the right edge is cut to what is left and the columns after it get 0
// (not shown). A width of 0 in the result means the column is not shown.
std::vector<int> FitColumnWidths(const std::vector<PanelColumn>& columns,
                                 int inner, int gap);

// Fits text into width cells: cut, or padded with blanks on the right
// (alignRight: on the left).
std::string FitText(const std::string& text, int width, int alignRight);

// Centres text in width cells (cut at the right when longer).
std::string CentreText(const std::string& text, int width);

#endif  // TOLVANE_FARHOST_BROWSE_COLUMN_LAYOUT_H
