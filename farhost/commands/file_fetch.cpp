#include "farhost/commands/file_fetch.h"

#include <cstring>
#include <utility>

#include "farhost/sys/sys.h"

int FetchItemFile(FarHost* host, HANDLE plugin, const PluginPanelItem& item,
                  int opMode, std::string* text) {
  text->clear();
  std::vector<std::string> texts;
  std::vector<int> fetched;
  // 1 means done, as the host takes it: the file is opened. A missing one
  // is then the plugin's fault, which the host's viewer would show.
  if (!FetchItemFiles(host, plugin, {item}, opMode, &texts, &fetched)) return 0;
  if (!fetched[0]) {
    host->RecordError(std::string("GetFiles reported success but wrote no "
                                  "file ") +
                      item.FindData.cFileName);
    return 0;
  }
  *text = std::move(texts[0]);
  return 1;
}

int FetchEntryFile(FarHost* host, PanelModel* panel, int itemIndex, int opMode,
                   std::string* text) {
  if (itemIndex < 0 || itemIndex >= static_cast<int>(panel->Items.size())) {
    text->clear();
    return 0;
  }
  return FetchItemFile(host, panel->Plugin,
                       panel->Items[static_cast<size_t>(itemIndex)], opMode,
                       text);
}

namespace {

int IsFileNameInFolder(const char* name) {
  std::string text = name;
  return !text.empty() && text != "." && text != ".." &&
         text.find_first_of("/\\") == std::string::npos;
}

}  // namespace

int FetchItemFiles(FarHost* host, HANDLE plugin,
                   const std::vector<PluginPanelItem>& items, int opMode,
                   std::vector<std::string>* texts, std::vector<int>* fetched) {
  texts->assign(items.size(), std::string());
  fetched->assign(items.size(), 0);
  if (items.empty()) return 0;
  std::string folder;
  if (!SysMakeTempDir("farhost_get_", &folder)) {
    host->RecordError("no temporary folder for GetFiles");
    return 0;
  }
  int done = 0;
  char destination[NM];
  if (folder.size() < sizeof(destination)) {
    std::memcpy(destination, folder.c_str(), folder.size() + 1);
    // The plugin gets its own copies, as from the host's selection.
    std::vector<PluginPanelItem> copies = items;
    done = host->Exports().GetFiles(plugin, copies.data(),
                                    static_cast<int>(copies.size()), 0,
                                    destination, opMode) != 0;
    for (size_t i = 0; done && i < items.size(); ++i) {
      const char* name = items[i].FindData.cFileName;
      (*fetched)[i] =
          IsFileNameInFolder(name) &&
          SysReadFile(SysJoinPath(folder, name), kMaxFetchedFile, &(*texts)[i]);
    }
  }
  SysRemoveTree(folder);
  return done;
}

int TextContainsNoCase(const CaseTable* cases, const std::string& text,
                       const std::string& needle) {
  if (needle.size() > text.size()) return 0;
  auto upper = [cases](char c) {
    unsigned char byte = static_cast<unsigned char>(c);
    return cases != nullptr ? OemUpper(cases, byte) : byte;
  };
  for (size_t start = 0; start + needle.size() <= text.size(); ++start) {
    size_t i = 0;
    while (i < needle.size() && upper(text[start + i]) == upper(needle[i])) ++i;
    if (i == needle.size()) return 1;
  }
  return 0;
}

std::string ViewerLines(const std::string& text) {
  std::string lines;
  lines.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      lines.push_back(text[i]);
      continue;
    }
    lines.push_back('\n');
    if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  return lines;
}
