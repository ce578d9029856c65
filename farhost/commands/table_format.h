// The table `tolvane ls` prints by default: the columns of the panel's
// view mode with their titles, as the panel would show them on a screen
// of a given width.
#ifndef TOLVANE_FARHOST_TABLE_FORMAT_H
#define TOLVANE_FARHOST_TABLE_FORMAT_H

#include <ostream>
#include <string>
#include <vector>

#include "farhost/host/panel_model.h"

struct TableColumn {
  std::string Code;   // "N", "Z", "O", "C0".."C9", "LN", ...
  std::string Title;  // OEM text; the code when the mode gives no title
  int Width;
};

// Lays out the mode's columns in totalWidth characters, one character
// between neighbours. A width is a number, "N%" (a share of the total) or
// 0 / missing / unreadable ("the rest"): the columns of the rest share what
// the others leave, at least one character each.
std::vector<TableColumn> LayoutColumns(const PanelView& view, int totalWidth);

// The OEM text an item shows in a column: N the file name, Z the
// description, O the owner, C0..C9 a custom column, LN the number of
// links, S the size ("<DIR>" for a directory); other codes show nothing.
std::string ColumnText(const PluginPanelItem& item, const std::string& code);

// The title row, then one row per item; each cell cut or padded to its
// width in characters (after conversion to UTF-8), cells separated by
// U+2502, trailing blanks removed.
void WriteTableListing(const PanelModel& panel, int codePage, int totalWidth,
                       std::ostream& out);

#endif  // TOLVANE_FARHOST_TABLE_FORMAT_H
