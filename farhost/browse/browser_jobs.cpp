// The browser's jobs on entries: F3 view, F4 edit, Alt+F7 file search.
#include "farhost/browse/browser_jobs.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "farhost/browse/file_ops.h"
#include "farhost/browse/fs_panel.h"
#include "farhost/browse/plugin_panel.h"
#include "farhost/browse/viewers.h"
#include "farhost/commands/find_walk.h"
#include "farhost/host/host_panels.h"
#include "farhost/sys/sys.h"
#include "farhost/tui/boxes.h"
#include "farhost/tui/screen.h"

namespace {

std::string ReadFile(const std::string& path, size_t limit) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str().substr(0, limit);
}

// Runs the editor on a file with the terminal given back meanwhile:
// $EDITOR (through the shell, so that it may carry options), else vi.
void RunEditor(TerminalUi* ui, const std::string& path) {
  std::string editor;
  if (!SysGetEnv("EDITOR", &editor) || editor.empty()) editor = "vi";
  ui->Stop();
  pid_t child = fork();
  if (child == 0) {
    execl("/bin/sh", "sh", "-c", (editor + " \"$1\"").c_str(), "sh",
          path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  if (child > 0)
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  ui->Start();
}

void ViewPluginItem(Browser* b, PluginPanel* panel, int edit) {
  PanelModel* model = panel->Model();
  int at = model->CurrentItem;
  if (at < 0 || at >= static_cast<int>(model->Items.size())) return;
  const PluginPanelItem& item = model->Items[static_cast<size_t>(at)];
  std::string name(
      item.FindData.cFileName,
      strnlen(item.FindData.cFileName, sizeof(item.FindData.cFileName)));
  if (name == "..") return;
  WithItemFile(b->Host, model->Plugin, item, edit ? OPM_EDIT : OPM_VIEW,
               [b, edit, &name](const std::string& path) {
                 if (edit)
                   RunEditor(b->Ui, path);
                 else
                   RunTextViewer(b->Ui, name, ReadFile(path, 1 << 22));
               });
}

void ViewDiskFile(Browser* b, FsPanel* panel, int edit) {
  if (panel->Count() == 0) return;
  PanelPicture picture;
  panel->Picture(&picture);
  if (picture.Style(panel->Current()) == kItemFolder) return;
  std::string name = picture.Cell(panel->Current(), "N");
  if (name == "..") return;
  std::vector<DirEntry> entries;
  ReadDirListing(panel->Folder(), &entries);
  std::string path = JoinFolder(
      panel->Folder(), entries[static_cast<size_t>(panel->Current())].Name);
  if (edit)
    RunEditor(b->Ui, path);
  else
    RunTextViewer(b->Ui, name, ReadFile(path, 1 << 22));
}

// The search dialog; 0 when cancelled.
int AskFind(Browser* b, std::string* masks, std::string* text) {
  FarDialogItem items[] = {
      DialogItem(DI_DOUBLEBOX, 3, 1, 72, 8, 0, "Find file"),
      DialogItem(DI_TEXT, 5, 2, 0, 2, 0, "A file mask or several file masks:"),
      DialogItem(DI_EDIT, 5, 3, 70, 3, DIF_HISTORY, *masks),
      DialogItem(DI_TEXT, 5, 4, 0, 4, 0, "Containing text:"),
      DialogItem(DI_EDIT, 5, 5, 70, 5, DIF_HISTORY, *text),
      DialogItem(DI_TEXT, 0, 6, 0, 6, DIF_SEPARATOR | DIF_BOXCOLOR, ""),
      DialogItem(DI_BUTTON, 0, 7, 0, 7, DIF_CENTERGROUP, "&Find"),
      DialogItem(DI_BUTTON, 0, 7, 0, 7, DIF_CENTERGROUP, "Cancel"),
  };
  items[2].History = "Masks";
  items[4].History = "SearchText";
  items[2].Focus = 1;
  items[6].DefaultButton = 1;
  DialogRequest dialog{-1,
                       -1,
                       76,
                       10,
                       "FindFile",
                       items,
                       static_cast<int>(sizeof(items) / sizeof(items[0]))};
  int closed = b->Ui->Dialog(dialog);
  if (closed != 6 && closed != 2 && closed != 4) return 0;
  *masks = items[2].Data;
  *text = items[4].Data;
  return 1;
}

// One hit of the file search: the plugin's directory (its CurDir) where
// the item was listed, and the item's name.
struct SearchHit {
  std::string Folder;
  std::string Name;
};

struct HitList {
  FarHost* Host;
  HANDLE Plugin;
  std::vector<SearchHit> Hits;
};

// The plugin stands in the hit's directory: its CurDir names the folder.
void CollectHit(const FindHit& hit, void* context) {
  HitList* list = static_cast<HitList*>(context);
  OpenPluginInfo info;
  std::memset(&info, 0, sizeof(info));
  list->Host->Exports().GetOpenPluginInfo(list->Plugin, &info);
  size_t slash = hit.Path.find_last_of('\\');
  list->Hits.push_back(SearchHit{info.CurDir != nullptr ? info.CurDir : "",
                                 hit.Path.substr(slash + 1)});
}

// The hits in a menu; Enter on one opens its folder with the cursor on it.
// A search that stopped at a bound says so below the list.
void ShowHits(Browser* b, PluginPanel* panel,
              const std::vector<SearchHit>& hits, const FindResult& result) {
  MenuRequest menu{FMENU_WRAPMODE, -1, -1, 0, "Find file", "", "FindFile"};
  menu.Bottom = std::to_string(hits.size()) + " found";
  if (result.CutShort) menu.Bottom += "; the search stopped: " + result.Reason;
  for (const SearchHit& hit : hits) {
    std::string folder = hit.Folder;
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    menu.Items.push_back(MenuLine{folder + hit.Name, menu.Items.empty(), 0, 0});
  }
  if (hits.empty()) menu.Items.push_back(MenuLine{"Nothing found", 1, 0, 0});
  int breakCode = -1;
  int chosen = b->Ui->Menu(menu, &breakCode);
  if (chosen < 0 || chosen >= static_cast<int>(hits.size())) return;
  const SearchHit& hit = hits[static_cast<size_t>(chosen)];
  std::string folder = hit.Folder.empty() ? "\\" : hit.Folder;
  if (panel->Move(folder, 0)) panel->SelectName(hit.Name);
}

}  // namespace

void ViewCurrent(Browser* b, int edit) {
  BrowsePanel* panel = b->Panels[b->Active].get();
  if (panel->IsPlugin())
    ViewPluginItem(b, static_cast<PluginPanel*>(panel), edit);
  else
    ViewDiskFile(b, static_cast<FsPanel*>(panel), edit);
  ActivatePanel(b);
}

void FindFiles(Browser* b) {
  BrowsePanel* panel = b->Panels[b->Active].get();
  if (!panel->IsPlugin()) {
    MessageRequest box{0,
                       "",
                       "Find file",
                       {"The file search walks a plugin panel:",
                        "open Tolvane in this panel first (F11)"},
                       {"OK"}};
    b->Ui->Message(box);
    return;
  }
  static std::string masks = "*", text;
  if (!AskFind(b, &masks, &text)) return;
  PluginPanel* plugin = static_cast<PluginPanel*>(panel);
  MessageRequest box{0, "", "Find file", {"Searching..."}, {}};
  b->Ui->Message(box);  // drawn; no buttons: returns at once
  // Tighter bounds than the command's, at most 2000 hits for the menu; the
  // plugin keeps quiet (OPM_SILENT) about an entry file it cannot write, as
  // in the file manager's own search.
  FindLimits limits;
  limits.MaxDepth = 8;
  limits.MaxItems = 200000;
  limits.MaxHits = 2000;
  limits.FetchMode = OPM_FIND | OPM_SILENT;
  PanelModel* model = plugin->Model();
  HitList list{b->Host, model->Plugin, {}};
  FindResult result = FindFilesContaining(b->Host, model, masks, text, limits,
                                          CollectHit, &list);
  RefreshPanel(b->Host, model);  // the walk listed other directories
  ShowHits(b, plugin, list.Hits, result);
}
