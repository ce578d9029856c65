#include "farhost/browse/file_ops.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>

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

}  // namespace

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
  if (written && file.empty())
    host->RecordError("GetFiles reported success but wrote no file");
  if (written && !file.empty()) use(file);
  RemoveFolder(folder);
  return written && !file.empty();
}
