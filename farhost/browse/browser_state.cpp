// The browser's shared routines: the screen layout (two panels, the
// command line, the key bar), the panels opened in it, the help and the
// clipboard.
#include "farhost/browse/browser_state.h"

#include "farhost/browse/clipboard.h"
#include "farhost/browse/fs_panel.h"
#include "farhost/browse/plugin_panel.h"
#include "farhost/browse/viewers.h"
#include "farhost/tui/screen.h"

namespace {

const char* const kDefaultLabels[4][12] = {
    {"Help", "UserMn", "View", "Edit", "Copy", "RenMov", "MkFold", "Delete",
     "ConfMn", "Quit", "Plugin", "Screen"},
    {"Left", "Right", "Name", "Extens", "Modif", "Size", "Unsort", "Creatn",
     "Access", "Descr", "Owner", "Sort"},
    {"Left", "Right", "View", "Edit", "Print", "MkLink", "Find", "Histry",
     "Video", "Tree", "ViewHs", "FoldHs"},
    {"", "", "", "Edit..", "Copy", "Rename", "", "Delete", "Save", "Last",
     "Group", "SelUp"},
};

const char* DefaultLabel(unsigned control, int index) {
  switch (control & (PKF_CONTROL | PKF_ALT | PKF_SHIFT)) {
    case 0:
      return kDefaultLabels[0][index];
    case PKF_CONTROL:
      return kDefaultLabels[1][index];
    case PKF_ALT:
      return kDefaultLabels[2][index];
    case PKF_SHIFT:
      return kDefaultLabels[3][index];
    default:
      return "";
  }
}

void PaintKeyBar(Browser* b) {
  int width = ScreenWidth(), y = ScreenHeight() - 1;
  BrowsePanel* panel = b->Panels[b->Active].get();
  int cell = width / 12 > 0 ? width / 12 : 1;
  for (int i = 0; i < 12; ++i) {
    int x = i * cell;
    int end = i == 11 ? width : x + cell;
    std::string number = std::to_string(i + 1);
    const char* label = panel->KeyBarLabel(b->BarControl, i);
    if (label == nullptr) label = DefaultLabel(b->BarControl, i);
    ScreenText(x, y, end - x, number, kColorKeyBarNumber);
    int at = x + static_cast<int>(number.size());
    ScreenFill(at, y, end - 2, y, kColorKeyBarLabel);
    ScreenText(at, y, end - 1 - at, label, kColorKeyBarLabel);
    ScreenPut(end - 1, y, ' ', kColorKeyBarNumber);
  }
}

void PaintCommandLine(Browser* b) {
  int width = ScreenWidth(), y = ScreenHeight() - 2;
  std::string prompt = b->Panels[b->Active]->PromptPath() + ">";
  ScreenFill(0, y, width - 1, y, kColorBackground);
  int room = width - static_cast<int>(prompt.size()) - 1;
  if (room < 10) {  // a long path leaves the line its room
    prompt = prompt.substr(prompt.size() - static_cast<size_t>(width / 3));
    room = width - static_cast<int>(prompt.size()) - 1;
  }
  ScreenText(0, y, width, prompt, kColorBackground);
  const std::string& line = b->Host->commandLine;
  size_t cursor = b->Host->commandCursor;
  if (cursor > line.size()) cursor = line.size();
  size_t scroll = cursor > static_cast<size_t>(room) ? cursor - room : 0;
  int x = static_cast<int>(prompt.size());
  ScreenText(x, y, room + 1, line.substr(scroll), kColorBackground);
  ScreenShowCursor(x + static_cast<int>(cursor - scroll), y);
}

void PaintPanel(Browser* b, int side) {
  PanelPicture p;
  if (!PanelRect(b, side, &p.X1, &p.Y1, &p.X2, &p.Y2)) return;
  BrowsePanel* panel = b->Panels[side].get();
  panel->SetCursor(panel->Current(), PanelItemRows(p.Y1, p.Y2));
  panel->Picture(&p);
  p.Focused = side == b->Active;
  DrawPanel(p);
}

}  // namespace

int PanelRect(Browser* b, int side, int* x1, int* y1, int* x2, int* y2) {
  int width = ScreenWidth(), height = ScreenHeight();
  *y1 = 0;
  *y2 = height - 3 > 4 ? height - 3 : 4;
  if (b->Panels[b->Active]->FullScreen()) {
    *x1 = 0;
    *x2 = width - 1;
    return side == b->Active;
  }
  int half = width / 2;
  *x1 = side == 0 ? 0 : half;
  *x2 = side == 0 ? half - 1 : width - 1;
  return 1;
}

int PanelRows(Browser* b, int side) {
  int x1, y1, x2, y2;
  PanelRect(b, side, &x1, &y1, &x2, &y2);
  return PanelItemRows(y1, y2);
}

void PaintBrowser(Browser* b) {
  PaintPanel(b, 0);
  PaintPanel(b, 1);
  PaintKeyBar(b);
  PaintCommandLine(b);
}

int OpenPluginIn(Browser* b, int side, int openFrom, intptr_t item) {
  std::unique_ptr<PluginPanel> panel =
      PluginPanel::Open(b->Host, side, openFrom, item);
  SyncClipboard(b);
  if (!panel) return 0;
  b->Panels[side].reset();  // a plugin panel there closes first
  b->Panels[side] = std::move(panel);
  ActivatePanel(b);
  return 1;
}

void OpenFolderIn(Browser* b, int side, const std::string& folder) {
  b->Panels[side].reset();  // a plugin panel closes first
  b->Panels[side] = std::make_unique<FsPanel>(ScreenCodePage(), folder);
  ActivatePanel(b);
}

void ActivatePanel(Browser* b) {
  b->Host->activePanel = nullptr;
  if (b->Panels[b->Active] && b->Panels[b->Active]->IsPlugin())
    static_cast<PluginPanel*>(b->Panels[b->Active].get())->Activate();
}

void ShowHelp(Browser* b, const std::string& topic, int fromPlugin) {
  HelpReference place = ResolveHelpTopic(topic, fromPlugin);
  std::string name = place.Topic.empty() ? "Contents" : place.Topic;
  if (place.Source == kFolderHelp) {
    HelpFile file;
    LoadHelpFile(place.Folder, b->Host->options.Language, &file);
    RunHelpViewer(b->Ui, file, name);
    return;
  }
  if (place.Source == kHostHelp) {  // farhost has no help of its own
    RunHelpViewer(b->Ui, HelpFile{}, name);
    return;
  }
  if (!b->HelpLoaded) {
    std::string path = b->Host->PluginPath();
    std::string folder = path.substr(0, path.find_last_of('/'));
    b->HelpLoaded =
        LoadHelpFile(folder, b->Host->options.Language, &b->Help) ? 1 : -1;
  }
  RunHelpViewer(b->Ui, b->Help, name);
}

void SyncClipboard(Browser* b) {
  if (b->Host->clipboard == b->LastClipboard) return;
  b->LastClipboard = b->Host->clipboard;
  SendToTerminalClipboard(ScreenCodePage(), b->LastClipboard);
}
