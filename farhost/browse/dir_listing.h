// A plain directory listing of the file system, for a panel that shows no
// plugin: ".." first (except at "/"), then folders, then files, each group
// by name. Names are shown in the OEM code page (characters it lacks as
// '?'); entries whose name starts with '.' are marked hidden.
#ifndef TOLVANE_FARHOST_BROWSE_DIR_LISTING_H
#define TOLVANE_FARHOST_BROWSE_DIR_LISTING_H

#include <string>
#include <vector>

#include "farhost/tui/code_page.h"

struct DirEntry {
  std::string Name;  // as on disk (UTF-8)
  int Folder;
  int Hidden;
  unsigned long long Size;
  long long Modified;  // seconds since the epoch, local time shown
};

// Reads a folder. Returns 0 (and no entries) when it cannot be read;
// entries that vanish while being read are left out. At most kMaxDirEntries.
enum { kMaxDirEntries = 100000 };
int ReadDirListing(const std::string& folder, std::vector<DirEntry>* entries);

// The folder above path ("/a/b" -> "/a", "/a" -> "/"); "/" stays.
std::string ParentFolder(const std::string& path);

// path joined with a name, or the name itself when it is absolute; ".."
// goes up. Not resolved against the disk.
std::string JoinFolder(const std::string& path, const std::string& name);

// UTF-8 text in the OEM code page; malformed bytes and missing characters
// become '?'.
std::string Utf8ToOem(const CodePage* page, const std::string& utf8);

// The text of one column of an entry: N name, S size (folders "<Folder>",
// ".." "<Up>"), D date "dd.mm.yy", T time "hh:mm", anything else "".
std::string DirEntryCell(const CodePage* page, const DirEntry& entry,
                         const std::string& type);

#endif  // TOLVANE_FARHOST_BROWSE_DIR_LISTING_H
