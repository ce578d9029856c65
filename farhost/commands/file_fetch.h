// The host's way of getting at an entry's contents: GetFiles into a fresh
// temporary folder, the file read back, the folder removed. The viewer
// (OPM_VIEW), the editor (OPM_EDIT) and the file search's text match
// (OPM_FIND) all go through it.
#ifndef TOLVANE_FARHOST_FILE_FETCH_H
#define TOLVANE_FARHOST_FILE_FETCH_H

#include <string>

#include "farhost/host/host.h"

// The largest entry file the host reads back.
enum : size_t { kMaxFetchedFile = 1 << 20 };

// Hands GetFiles a copy of one item (move 0, a destination buffer of NM
// bytes holding the temporary folder's path, the operation mode) and, when
// it returns 1 (done), reads the file named after the item's file name
// into *text. The folder is removed before returning. Returns 1 with the
// file's bytes; 0 when no temporary folder could be made or GetFiles
// returned 0; also 0 when it returned 1 without writing the file, which is
// recorded as the plugin's fault.
int FetchItemFile(FarHost* host, HANDLE plugin, const PluginPanelItem& item,
                  int opMode, std::string* text);

// FetchItemFile for item itemIndex of the panel; 0 for an index outside
// the list.
int FetchEntryFile(FarHost* host, PanelModel* panel, int itemIndex, int opMode,
                   std::string* text);

// Whether text holds needle, letters compared without regard to case in
// the code page of the table. An empty needle is found everywhere.
int TextContainsNoCase(const CaseTable* cases, const std::string& text,
                       const std::string& needle);

// The text as the viewer shows it: every CR LF and every lone CR become a
// line feed.
std::string ViewerLines(const std::string& text);

#endif  // TOLVANE_FARHOST_FILE_FETCH_H
