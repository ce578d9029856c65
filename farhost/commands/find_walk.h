// The host's file search over a plugin panel, as the host's Find File does
// for a plugin with OPIF_FINDFOLDERS: at each directory GetFindData with
// OPM_FIND (copied, then FreeFindData at once), every item's file name is
// matched against the mask (directory items too), and every directory item
// is entered with SetDirectory(name, OPM_FIND) and left with
// SetDirectory("..", OPM_FIND). Items named "." and ".." are neither
// matched nor entered.
//
// The walk is bounded so that a misbehaving plugin cannot keep it going:
// at most MaxDepth directories deep and MaxItems items looked at in all,
// and, when MaxHits is above 0, no further than its MaxHits-th match.
#ifndef TOLVANE_FARHOST_FIND_WALK_H
#define TOLVANE_FARHOST_FIND_WALK_H

#include <string>
#include <vector>

#include "farhost/host/host.h"

// The walk's bounds, and the mode GetFiles gets for the text test
// (OPM_SILENT added keeps the plugin's boxes out of the search).
struct FindLimits {
  int MaxDepth = 16;
  long MaxItems = 4000000;
  long MaxHits = 0;  // 0: every match
  int FetchMode = OPM_FIND;
  int WholeItems = 0;  // 1: the hits get the host's whole copies of items
};

// One match: the file names from the walk's start joined by '\', with a
// leading '\' ("\2\5020\1"), whether the item is a directory, and the
// host's whole copy of the item (valid during the call only) when the walk
// keeps them (a containing-text search, or FindLimits::WholeItems).
struct FindHit {
  std::string Path;
  int Directory;
  const HostItemCopy* Whole = nullptr;
};

// Called for every match, in the order of the walk, while the plugin
// stands in the directory that lists the match.
typedef void (*FindHitRoutine)(const FindHit& hit, void* context);

struct FindResult {
  long Items;          // items looked at
  long Hits;           // matches reported
  int Directories;     // directories listed
  int CutShort;        // a limit stopped the walk (the rest is not seen)
  std::string Reason;  // why, when CutShort
};

// Walks the plugin of `panel` from where it stands. The panel's own model
// is not touched; the plugin is back where it started when every
// SetDirectory("..") succeeded.
FindResult FindFiles(FarHost* host, PanelModel* panel, const std::string& mask,
                     const FindLimits& limits, FindHitRoutine onHit,
                     void* context);

// The search with "containing text": a non-directory item whose name
// matches is reported only when its file, fetched with GetFiles (mode
// FetchMode) into a temporary folder, holds the text (letters without regard to
// case in the host's code page); directory items are then not reported. An
// empty text searches by name alone, as FindFiles.
FindResult FindFilesContaining(FarHost* host, PanelModel* panel,
                               const std::string& mask, const std::string& text,
                               const FindLimits& limits, FindHitRoutine onHit,
                               void* context);

#endif  // TOLVANE_FARHOST_FIND_WALK_H
