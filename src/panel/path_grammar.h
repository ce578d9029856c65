// The paths that a panel accepts as directories: "\" starts from the root,
// components are separated by "\", ".." goes up and "." stays, and any
// other component is an address fragment such as 2:345/6.7, /6, .7 or a
// bare number for the part at the current level.
#ifndef TOLVANE_PANEL_PATH_GRAMMAR_H
#define TOLVANE_PANEL_PATH_GRAMMAR_H

#include <cstdint>

#include "nodelist/records.h"

// Longest path component, in characters; a longer one is invalid.
enum { kMaxPathComponent = 259 };

// Parses text (leading blanks skipped) relative to *address at *level. On
// success replaces both (parts beyond the new level cleared; level 8 for a
// point) and returns 1. Returns 0 and leaves both untouched when the text
// is not a valid path: a part deeper than the known ones, a missing
// number, a number above 65535, a wrong separator, anything after the
// point, ".." at the root, or a component longer than kMaxPathComponent.
// Reads text up to its terminator only.
int ParsePanelPath(const char* text, FtnAddress* address, uint16_t* level);

#endif  // TOLVANE_PANEL_PATH_GRAMMAR_H
