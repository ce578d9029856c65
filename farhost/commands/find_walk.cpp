#include "farhost/commands/find_walk.h"

#include <cstring>

#include "farhost/commands/file_fetch.h"
#include "farhost/commands/name_mask.h"
#include "farhost/sys/sys.h"

namespace {

struct Walk {
  FarHost* Host;
  HANDLE Plugin;
  const std::string* Mask;
  const std::string* Text;  // containing text; empty: names only
  FindLimits Limits;
  FindHitRoutine OnHit;
  void* Context;
  FindResult Result;
};

void CutShort(Walk* walk, const std::string& reason) {
  if (walk->Result.CutShort) return;
  walk->Result.CutShort = 1;
  walk->Result.Reason = reason;
}

// The directory's items, copied; the plugin's list is freed at once.
std::vector<HostItemCopy> ListDirectory(Walk* walk) {
  PluginPanelItem* items = nullptr;
  int count = 0;
  std::vector<HostItemCopy> copies;
  const PluginExports& plugin = walk->Host->Exports();
  if (!plugin.GetFindData(walk->Plugin, &items, &count, OPM_FIND))
    return copies;
  CopyPluginItems(items, count, &copies, &walk->Host->errors);
  plugin.FreeFindData(walk->Plugin, items, count);
  ++walk->Result.Directories;
  return copies;
}

int IsDots(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

void WalkDirectory(Walk* walk, const std::string& path, int depth);

// Whether a matching item passes the containing-text test. The plugin
// gets the item bound to the host's own copies of its texts and block.
int HoldsText(Walk* walk, const HostItemCopy& item, int directory) {
  if (walk->Text->empty()) return 1;
  if (directory) return 0;
  PanelModel bound;
  bound.Copies.push_back(item);
  BindItems(&bound);
  std::string file;
  return FetchItemFile(walk->Host, walk->Plugin, bound.Items[0],
                       walk->Limits.FetchMode, &file) &&
         TextContainsNoCase(walk->Host->cases, file, *walk->Text);
}

void EnterDirectory(Walk* walk, const std::string& path, const char* name,
                    int depth) {
  if (depth >= walk->Limits.MaxDepth) {
    CutShort(walk, "deeper than " + std::to_string(walk->Limits.MaxDepth) +
                       " directories at " + path + "\\" + name);
    return;
  }
  const PluginExports& plugin = walk->Host->Exports();
  if (!plugin.SetDirectory(walk->Plugin, name, OPM_FIND)) return;
  WalkDirectory(walk, path + "\\" + name, depth + 1);
  if (!plugin.SetDirectory(walk->Plugin, "..", OPM_FIND))
    CutShort(walk, "the plugin did not go back up from " + path + "\\" + name);
}

void WalkDirectory(Walk* walk, const std::string& path, int depth) {
  std::vector<HostItemCopy> items = ListDirectory(walk);
  for (const HostItemCopy& item : items) {
    if (walk->Result.CutShort) return;
    if (SysInterruption()) {
      CutShort(walk, "interrupted");
      return;
    }
    if (++walk->Result.Items > walk->Limits.MaxItems) {
      CutShort(walk,
               "more than " + std::to_string(walk->Limits.MaxItems) + " items");
      return;
    }
    const char* name = item.Item.FindData.cFileName;
    if (IsDots(name)) continue;
    int directory =
        (item.Item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (MaskMatches(walk->Host->cases, walk->Mask->c_str(), name) &&
        HoldsText(walk, item, directory)) {
      ++walk->Result.Hits;
      walk->OnHit(FindHit{path + "\\" + name, directory, &item.Item},
                  walk->Context);
      if (walk->Result.Hits == walk->Limits.MaxHits)
        CutShort(walk, "at " + std::to_string(walk->Limits.MaxHits) + " hits");
    }
    if (directory && !walk->Result.CutShort)
      EnterDirectory(walk, path, name, depth);
  }
}

}  // namespace

FindResult FindFiles(FarHost* host, PanelModel* panel, const std::string& mask,
                     const FindLimits& limits, FindHitRoutine onHit,
                     void* context) {
  return FindFilesContaining(host, panel, mask, std::string(), limits, onHit,
                             context);
}

FindResult FindFilesContaining(FarHost* host, PanelModel* panel,
                               const std::string& mask, const std::string& text,
                               const FindLimits& limits, FindHitRoutine onHit,
                               void* context) {
  Walk walk{
      host,   panel->Plugin, &mask,   &text,
      limits, onHit,         context, FindResult{0, 0, 0, 0, std::string()}};
  WalkDirectory(&walk, std::string(), 0);
  return walk.Result;
}
