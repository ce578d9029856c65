// The listings that `tolvane ls` prints from a panel's items: tab-separated
// lines, a JSON array, or a table in the columns of the panel's view mode.
// Texts are the plugin's OEM strings, converted to UTF-8 for output.
#ifndef TOLVANE_FARHOST_LIST_FORMAT_H
#define TOLVANE_FARHOST_LIST_FORMAT_H

#include <cstdint>
#include <ostream>
#include <string>

#include "farhost/commands/endpoint_lines.h"
#include "farhost/host/panel_model.h"

// The address block a detailed item carries (22 bytes: Size, Zone, Net,
// Node, Point, 4 reserved bytes, Hub, Region, Level; little-endian 16-bit
// numbers read byte by byte).
struct AddressBlock {
  uint16_t Zone, Net, Node, Point, Hub, Region, Level;
};

enum { kAddressBlockSize = 22 };

// Reads the block from the host's copy of an item; 0 when the item has no
// PPIF_USERDATA block of at least kAddressBlockSize bytes.
int ReadAddressBlock(const PluginPanelItem& item, AddressBlock* block);

// "zone:net/node.point", all four numbers.
std::string FormatBlockAddress(const AddressBlock& block);

// "D" for a directory, "H" for a hidden item, in that order; "" for none.
std::string AttributeLetters(DWORD attributes);

// A field for a tab-separated line: tab, line feed, carriage return and
// backslash are written \t, \n, \r and \\.
std::string EscapeField(const std::string& text);

// One line per item with 17 tab-separated fields: file name, description,
// attribute letters, number of links, C0..C8 (empty when the item has no
// custom columns), address, hub, region, level (empty without a block).
void WriteTsvListing(const PanelModel& panel, int codePage, std::ostream& out);

// An array of objects with the keys name, description, attributes, links,
// columns (nine texts or null), address, hub, region, level (null without a
// block), internet (the item's endpoints from `descriptions`, one per
// item: objects with protocol, host, port and source) and flags (objects
// with flag, value, category and meaning; value null for a flag without
// one, category null for a flag outside the standard lists); internet and
// flags are null when the description is not Known. Indented by two.
void WriteJsonListing(const PanelModel& panel,
                      const std::vector<ItemDescription>& descriptions,
                      int codePage, std::ostream& out);

#endif  // TOLVANE_FARHOST_LIST_FORMAT_H
