#include "farhost/browse/file_ops.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>

#include "farhost/commands/name_mask.h"
#include "farhost/host/host_panels.h"
#include "farhost/sys/sys.h"

namespace {

// Removes a folder and the files directly in it (GetFiles writes no
// subfolders).
void RemoveFolder(const std::string& folder) {
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* e = readdir(dir)) {
      std::string name = e->d_name;
      if (name != "." && name != "..") unlink((folder + "/" + name).c_str());
    }
    closedir(dir);
  }
  rmdir(folder.c_str());
}

// The one file in a folder, or "".
std::string OnlyFile(const std::string& folder) {
  std::string found;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* e = readdir(dir)) {
      std::string name = e->d_name;
      if (name != "." && name != "..") found = folder + "/" + name;
    }
    closedir(dir);
  }
  return found;
}

std::string CurDirOf(FarHost* host, HANDLE plugin) {
  OpenPluginInfo info;
  std::memset(&info, 0, sizeof(info));
  host->Exports().GetOpenPluginInfo(plugin, &info);
  return info.CurDir != nullptr ? info.CurDir : "";
}

struct Walk {
  FarHost* Host;
  HANDLE Plugin;
  std::string Masks, Text;
  std::vector<SearchHit> Hits;
  int Items;
};

int HoldsText(Walk* w, const PluginPanelItem& item) {
  if (w->Text.empty()) return 1;
  std::string contents;
  return FetchItemContents(w->Host, w->Plugin, item, OPM_FIND | OPM_SILENT,
                           &contents) &&
         ContainsNoCase(contents, w->Text);
}

void WalkFolder(Walk* w, int depth) {
  PluginPanelItem* items = nullptr;
  int count = 0;
  if (!w->Host->Exports().GetFindData(w->Plugin, &items, &count, OPM_FIND))
    return;
  std::string folder = CurDirOf(w->Host, w->Plugin);
  std::vector<std::string> folders;
  for (int i = 0; i < count && items != nullptr; ++i) {
    const PluginPanelItem& item = items[i];
    std::string name(
        item.FindData.cFileName,
        strnlen(item.FindData.cFileName, sizeof(item.FindData.cFileName)));
    if (name == ".." || ++w->Items > kFindMaxItems) continue;
    if (MaskMatches(w->Host->cases, w->Masks.c_str(), name.c_str()) &&
        HoldsText(w, item) && w->Hits.size() < kFindMaxHits)
      w->Hits.push_back(SearchHit{folder, name});
    if (item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      folders.push_back(name);
  }
  w->Host->Exports().FreeFindData(w->Plugin, items, count);
  if (depth >= kFindMaxDepth) return;
  for (const std::string& name : folders) {
    if (w->Items > kFindMaxItems || w->Hits.size() >= kFindMaxHits) return;
    if (!w->Host->Exports().SetDirectory(w->Plugin, name.c_str(), OPM_FIND))
      continue;
    WalkFolder(w, depth + 1);
    w->Host->Exports().SetDirectory(w->Plugin, "..", OPM_FIND);
  }
}

}  // namespace

int ContainsNoCase(const std::string& text, const std::string& needle) {
  if (needle.empty()) return 1;
  for (size_t i = 0; i + needle.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < needle.size() &&
           std::toupper(static_cast<unsigned char>(text[i + k])) ==
               std::toupper(static_cast<unsigned char>(needle[k])))
      ++k;
    if (k == needle.size()) return 1;
  }
  return 0;
}

int WithItemFile(FarHost* host, HANDLE plugin, const PluginPanelItem& item,
                 int opMode,
                 const std::function<void(const std::string&)>& use) {
  std::string folder;
  if (!SysMakeTempDir("tolvane-view-", &folder)) return 0;
  char dest[NM];
  std::snprintf(dest, sizeof(dest), "%s", folder.c_str());
  PluginPanelItem copy = item;
  int written = host->Exports().GetFiles(plugin, &copy, 1, 0, dest, opMode);
  std::string file = OnlyFile(folder);
  if (written && !file.empty()) use(file);
  RemoveFolder(folder);
  return written && !file.empty();
}

int FetchItemContents(FarHost* host, HANDLE plugin, const PluginPanelItem& item,
                      int opMode, std::string* contents) {
  return WithItemFile(host, plugin, item, opMode,
                      [contents](const std::string& path) {
                        std::ifstream in(path, std::ios::binary);
                        std::ostringstream text;
                        text << in.rdbuf();
                        *contents = text.str().substr(0, 1 << 20);
                      });
}

std::vector<SearchHit> WalkPluginFind(FarHost* host, PanelModel* panel,
                                      const std::string& masks,
                                      const std::string& text) {
  Walk w{host, panel->Plugin, masks, text, {}, 0};
  WalkFolder(&w, 0);
  RefreshPanel(host, panel);
  return w.Hits;
}
