#include "farhost/commands/find_walk.h"

#include <cstring>
#include <memory>

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

// An item as the walk needs it: its name and kind, and the host's whole
// copy only for the containing-text test, which fetches the item's file.
struct WalkItem {
  std::string Name;
  int Directory;
  std::unique_ptr<HostItemCopy> Whole;
};

// Names and kinds of the plugin's items, at most kMaxListedItems of them.
void CopyNames(const PluginPanelItem* items, int count, Walk* walk,
               std::vector<WalkItem>* listed) {
  if (count > kMaxListedItems) {
    walk->Host->errors.push_back("GetFindData gave " + std::to_string(count) +
                                 " items; the host takes " +
                                 std::to_string(int{kMaxListedItems}));
    count = kMaxListedItems;
  }
  listed->resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const FarFindData& data = items[i].FindData;
    WalkItem& item = (*listed)[static_cast<size_t>(i)];
    item.Name.assign(data.cFileName,
                     strnlen(data.cFileName, sizeof(data.cFileName) - 1));
    item.Directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }
}

// Whole copies, for the containing-text test.
void CopyWhole(const PluginPanelItem* items, int count, Walk* walk,
               std::vector<WalkItem>* listed) {
  std::vector<HostItemCopy> copies;
  CopyPluginItems(items, count, &copies, &walk->Host->errors);
  listed->resize(copies.size());
  for (size_t i = 0; i < copies.size(); ++i) {
    WalkItem& item = (*listed)[i];
    item.Whole = std::make_unique<HostItemCopy>(copies[i]);
    item.Name = item.Whole->Item.FindData.cFileName;
    item.Directory = (item.Whole->Item.FindData.dwFileAttributes &
                      FILE_ATTRIBUTE_DIRECTORY) != 0;
  }
}

// The directory's items, copied; the plugin's list is freed at once.
std::vector<WalkItem> ListDirectory(Walk* walk) {
  PluginPanelItem* items = nullptr;
  int count = 0;
  std::vector<WalkItem> listed;
  const PluginExports& plugin = walk->Host->Exports();
  if (!plugin.GetFindData(walk->Plugin, &items, &count, OPM_FIND))
    return listed;
  if (count > 0 && items == nullptr)
    walk->Host->errors.push_back("GetFindData gave " + std::to_string(count) +
                                 " items and no array");
  else if (walk->Text->empty() && !walk->Limits.WholeItems)
    CopyNames(items, count, walk, &listed);
  else
    CopyWhole(items, count, walk, &listed);
  plugin.FreeFindData(walk->Plugin, items, count);
  ++walk->Result.Directories;
  return listed;
}

int IsDots(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

void WalkDirectory(Walk* walk, const std::string& path, int depth);

// Whether a matching item passes the containing-text test. The plugin
// gets the item bound to the host's own copies of its texts and block.
int HoldsText(Walk* walk, const WalkItem& item) {
  if (walk->Text->empty()) return 1;
  if (item.Directory || item.Whole == nullptr) return 0;
  PanelModel bound;
  bound.Copies.push_back(*item.Whole);
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
  std::vector<WalkItem> items = ListDirectory(walk);
  for (const WalkItem& item : items) {
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
    const char* name = item.Name.c_str();
    if (IsDots(name)) continue;
    int directory = item.Directory;
    if (MaskMatches(walk->Host->cases, walk->Mask->c_str(), name) &&
        HoldsText(walk, item)) {
      ++walk->Result.Hits;
      walk->OnHit(FindHit{path + "\\" + name, directory, item.Whole.get()},
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
