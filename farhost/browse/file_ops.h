// The host's jobs on an entry's contents: viewing (F3) and editing (F4) an
// entry of a plugin panel through GetFiles into a fresh temporary folder,
// and the file search (Alt+F7) that walks a plugin panel with OPM_FIND.
#ifndef TOLVANE_FARHOST_BROWSE_FILE_OPS_H
#define TOLVANE_FARHOST_BROWSE_FILE_OPS_H

#include <functional>
#include <string>
#include <vector>

#include "farhost/host/host.h"
#include "farhost/host/panel_model.h"

// Whether text holds needle, ASCII case ignored; an empty needle is
// found everywhere. Pure.
int ContainsNoCase(const std::string& text, const std::string& needle);

// Has the plugin write one item with GetFiles(opMode) into a new temporary
// folder; *contents gets the file's bytes. The folder and the file are
// removed before it returns. 0 when the plugin wrote nothing.
int FetchItemContents(FarHost* host, HANDLE plugin, const PluginPanelItem& item,
                      int opMode, std::string* contents);

// Has the plugin write one item into a new temporary folder and runs
// use(path of the file) while it exists; the folder is removed afterwards
// whatever happened. 0 when the plugin wrote no file.
int WithItemFile(FarHost* host, HANDLE plugin, const PluginPanelItem& item,
                 int opMode,
                 const std::function<void(const std::string&)>& use);

// One hit of the file search: the panel's directory and the item's name.
struct SearchHit {
  std::string Folder;  // CurDir where the item was listed
  std::string Name;
};

// Bounds on the walk: folders deeper than this are not entered; the walk
// stops after this many items or hits.
enum { kFindMaxDepth = 8, kFindMaxItems = 200000, kFindMaxHits = 2000 };

// Walks the panel's plugin from its current directory with OPM_FIND
// (SetDirectory into each folder item and back with ".."), collecting the
// items whose name matches masks (name_mask.h) and, when text is not empty,
// whose contents (GetFiles with OPM_FIND) hold text. The panel is read again
// afterwards.
std::vector<SearchHit> WalkPluginFind(FarHost* host, PanelModel* panel,
                                      const std::string& masks,
                                      const std::string& text);

#endif  // TOLVANE_FARHOST_BROWSE_FILE_OPS_H
