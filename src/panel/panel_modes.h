// The ten view modes the plugin offers the host: their column strings in
// the host's column syntax, full-screen flags and column titles, the
// built-in defaults, and the stored form (the column block, kept as the
// "ColumnTypes" setting).
//
// A column block is the 40 strings of the table in order (mode 0..9; per
// mode column types, column widths, status column types, status column
// widths), each followed by a NUL, with a "+" before the first string of a
// full-screen mode. Each string holds at most 30 characters and each mode
// at most 15 columns; a block that breaks these limits is cut to them.
#ifndef TOLVANE_PANEL_PANEL_MODES_H
#define TOLVANE_PANEL_PANEL_MODES_H

#include <cstddef>

#include "host/far_api.h"

enum {
  kModeCount = 10,
  kModeStrings = 4,  // column types, widths, status types, status widths
  kColumnStringCount = kModeCount * kModeStrings,
  kColumnStringSize = 31,  // 30 characters and the NUL
  kMaxColumns = 15,
  kColumnBlockMax = kColumnStringCount * kColumnStringSize + kModeCount,
};

enum ModeString {
  kColumnTypes = 0,
  kColumnWidths = 1,
  kStatusColumnTypes = 2,
  kStatusColumnWidths = 3,
};

struct PanelModeTableRecord {
  char Strings[kColumnStringCount][kColumnStringSize];
  const char* Titles[kModeCount][kMaxColumns];
  PanelMode Modes[kModeCount];  // FullScreen is the mode's flag
};

extern PanelModeTableRecord PanelModeTable;

// The built-in block (413 bytes) and its length.
extern const char DefaultColumnBlock[];
extern const size_t DefaultColumnBlockLength;

// Zeroes the table and binds each PanelMode to its strings and titles.
// Called once at library load.
void BindPanelModes();

// The string j of mode k.
char* ModeColumnString(int mode, ModeString which);

// Fills the table from a block of `length` bytes. Strings and flags beyond
// the block's end keep their contents; a string longer than 30 characters
// or with more than 15 columns is cut; a last string without its NUL ends
// at the block's end.
void LoadColumnBlock(const char* block, size_t length);

// Writes the table as a block into buffer (at least kColumnBlockMax bytes)
// and returns its length, every NUL included.
size_t BuildColumnBlock(char* buffer);

// Rebuilds the column titles of every mode with non-empty column types
// from the current MessageTable; codes without a title get "?".
void BuildColumnTitles();

#endif  // TOLVANE_PANEL_PANEL_MODES_H
