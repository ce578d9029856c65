// The host's way of getting at an entry's contents: GetFiles into a fresh
// temporary folder, the file read back, the folder removed. The viewer
// (OPM_VIEW), the editor (OPM_EDIT) and the file search's text match
// (OPM_FIND) all go through it.
#ifndef TOLVANE_FARHOST_FILE_FETCH_H
#define TOLVANE_FARHOST_FILE_FETCH_H

#include <string>
#include <vector>

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

// Hands GetFiles copies of several items in one call (move 0, the
// operation mode) into one fresh temporary folder and reads back each
// item's file: (*fetched)[i] is 1 when the file named after item i's file
// name was written, with its bytes in (*texts)[i]. The items' names must
// differ; "." and "..", and names with a path separator, are never read.
// The folder is removed before returning. Returns GetFiles' result (0
// also when no temporary folder could be made or items is empty).
int FetchItemFiles(FarHost* host, HANDLE plugin,
                   const std::vector<PluginPanelItem>& items, int opMode,
                   std::vector<std::string>* texts, std::vector<int>* fetched);

// Whether text holds needle, letters compared without regard to case in
// the code page of the table. An empty needle is found everywhere.
int TextContainsNoCase(const CaseTable* cases, const std::string& text,
                       const std::string& needle);

// The text as the viewer shows it: every CR LF and every lone CR become a
// line feed.
std::string ViewerLines(const std::string& text);

#endif  // TOLVANE_FARHOST_FILE_FETCH_H
