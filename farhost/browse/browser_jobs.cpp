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
#include "farhost/sys/sys.h"
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

FarDialogItem DialogItem(int type, int x1, int y, int x2, DWORD flags,
                         const char* text) {
  FarDialogItem item;
  std::memset(&item, 0, sizeof(item));
  item.Type = type;
  item.X1 = x1;
  item.Y1 = item.Y2 = y;
  item.X2 = x2;
  item.Flags = flags;
  std::snprintf(item.Data, sizeof(item.Data), "%s", text);
  return item;
}

// The search dialog; 0 when cancelled.
int AskFind(Browser* b, std::string* masks, std::string* text) {
  FarDialogItem items[] = {
      DialogItem(DI_DOUBLEBOX, 3, 1, 72, 0, "Find file"),
      DialogItem(DI_TEXT, 5, 2, 0, 0, "A file mask or several file masks:"),
      DialogItem(DI_EDIT, 5, 3, 70, DIF_HISTORY, masks->c_str()),
      DialogItem(DI_TEXT, 5, 4, 0, 0, "Containing text:"),
      DialogItem(DI_EDIT, 5, 5, 70, DIF_HISTORY, text->c_str()),
      DialogItem(DI_TEXT, 0, 6, 0, DIF_SEPARATOR | DIF_BOXCOLOR, ""),
      DialogItem(DI_BUTTON, 0, 7, 0, DIF_CENTERGROUP, "&Find"),
      DialogItem(DI_BUTTON, 0, 7, 0, DIF_CENTERGROUP, "Cancel"),
  };
  items[0].Y2 = 8;
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

// The hits in a menu; Enter on one opens its folder with the cursor on it.
void ShowHits(Browser* b, PluginPanel* panel,
              const std::vector<SearchHit>& hits) {
  MenuRequest menu{FMENU_WRAPMODE,
                   -1,
                   -1,
                   0,
                   "Find file",
                   std::to_string(hits.size()) + " found",
                   "FindFile",
                   {},
                   {}};
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
  std::vector<SearchHit> hits =
      WalkPluginFind(b->Host, plugin->Model(), masks, text);
  ShowHits(b, plugin, hits);
}
