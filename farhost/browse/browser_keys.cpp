// The browser's keys: every key goes to the plugin's ProcessKey first when
// the active panel is a plugin panel; what the plugin leaves is the host's.
#include "farhost/browse/browser_keys.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "farhost/browse/browser_jobs.h"
#include "farhost/browse/fs_panel.h"
#include "farhost/browse/plugin_panel.h"
#include "farhost/sys/sys.h"
#include "farhost/tui/edit_line.h"
#include "farhost/tui/screen.h"

namespace {

const char* const kCommandHistory = "farhost\\CommandLine";

int Is(const KeyEvent& key, int vk, unsigned control) {
  return key.Key == vk &&
         (key.Control & (PKF_CONTROL | PKF_ALT | PKF_SHIFT)) == control;
}

BrowsePanel* Active(Browser* b) { return b->Panels[b->Active].get(); }

int Message(Browser* b, const std::string& title,
            const std::vector<std::string>& lines) {
  MessageRequest box{0, "", title, lines, {"OK"}};
  return b->Ui->Message(box);
}

void SetCommandLine(Browser* b, const std::string& text) {
  b->Host->commandLine = text.substr(0, kCommandLineSize - 1);
  b->Host->commandCursor = b->Host->commandLine.size();
}

std::string WorkingFolder() {
  char buffer[4096];
  return getcwd(buffer, sizeof(buffer)) != nullptr ? buffer : "/";
}

// A plugin panel that can go no further up closes and shows the folder.
void ClosePluginPanel(Browser* b, int side) {
  OpenFolderIn(b, side, WorkingFolder());
}

void MoveCursor(Browser* b, const KeyEvent& key) {
  BrowsePanel* panel = Active(b);
  int rows = PanelRows(b, b->Active), at = panel->Current();
  switch (key.Key) {
    case VK_UP:
      at--;
      break;
    case VK_DOWN:
      at++;
      break;
    case VK_PRIOR:
      at -= rows - 1;
      break;
    case VK_NEXT:
      at += rows - 1;
      break;
    case VK_HOME:
      at = 0;
      break;
    case VK_END:
      at = panel->Count() - 1;
      break;
    default:
      return;
  }
  panel->SetCursor(at, rows);
}

int StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return 0;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(text[i])) !=
        std::toupper(static_cast<unsigned char>(prefix[i])))
      return 0;
  return 1;
}

void ChangeFolderCommand(Browser* b, const std::string& argument) {
  if (Active(b)->IsPlugin()) {
    Message(b, "cd", {"cd works in a file-system panel"});
    return;
  }
  FsPanel* panel = static_cast<FsPanel*>(Active(b));
  std::string target = argument.empty() ? "/" : argument;
  if (target == "~") SysGetEnv("HOME", &target);
  if (!panel->ChangeFolder(JoinFolder(panel->Folder(), target), ".."))
    Message(b, "cd", {"Cannot open the folder:", target});
}

void RunCommandLine(Browser* b) {
  std::string line = b->Host->commandLine;
  b->Ui->Histories().Add(kCommandHistory, line);
  b->Ui->HistoryChanged();
  SetCommandLine(b, "");
  size_t start = line.find_first_not_of(' ');
  if (start == std::string::npos) return;
  line = line.substr(start);
  const std::string& prefix = b->Host->commandPrefix;
  if (!prefix.empty() && StartsWithNoCase(line, prefix + ":")) {
    std::string rest = line.substr(prefix.size() + 1);
    OpenPluginIn(b, b->Active, OPEN_COMMANDLINE,
                 reinterpret_cast<intptr_t>(rest.c_str()));
  } else if (line == "cd" || line.rfind("cd ", 0) == 0) {
    size_t arg = line.find_first_not_of(' ', 2);
    ChangeFolderCommand(b, arg == std::string::npos ? "" : line.substr(arg));
  } else {
    Message(b, "Command line",
            {"This host runs no shell commands:", line,
             "use " + (prefix.empty() ? std::string("V7") : prefix) +
                 ":path or cd folder"});
  }
}

void PressEnter(Browser* b, const KeyEvent& key) {
  BrowsePanel* panel = Active(b);
  if (!b->Host->commandLine.empty()) {
    if (!panel->OfferKey(key)) RunCommandLine(b);
    return;
  }
  if (panel->EnterCurrent() || !panel->IsPlugin()) return;
  PanelPicture picture;
  panel->Picture(&picture);
  if (panel->Count() > 0 && picture.Cell(panel->Current(), "N") == "..")
    ClosePluginPanel(b, b->Active);
}

void GoUp(Browser* b) {
  if (!Active(b)->GoUp() && Active(b)->IsPlugin())
    ClosePluginPanel(b, b->Active);
}

// The disks menu of one side: the file system's folders and the plugin's
// disks-menu entries.
void DisksMenu(Browser* b, int side) {
  MenuRequest menu{FMENU_WRAPMODE, -1, -1, 0, "Change panel", "", "", {}, {}};
  std::string home;
  if (!SysGetEnv("HOME", &home)) home = "/";
  menu.Items.push_back(MenuLine{"&Current folder", 1, 0, 0});
  menu.Items.push_back(MenuLine{"&Home folder", 0, 0, 0});
  menu.Items.push_back(MenuLine{"&Root folder", 0, 0, 0});
  const PluginInfo& info = b->Info;
  int plugins =
      info.DiskMenuStrings != nullptr ? info.DiskMenuStringsNumber : 0;
  if (plugins > 16) plugins = 16;
  if (plugins > 0) menu.Items.push_back(MenuLine{"", 0, 0, 1});
  for (int i = 0; i < plugins; ++i) {
    int digit = info.DiskMenuNumbers != nullptr ? info.DiskMenuNumbers[i] : 0;
    std::string text =
        digit > 0 && digit < 10 ? "&" + std::to_string(digit) + "  " : "   ";
    menu.Items.push_back(MenuLine{text + info.DiskMenuStrings[i], 0, 0, 0});
  }
  int breakCode = -1;
  int chosen = b->Ui->Menu(menu, &breakCode);
  if (chosen < 0) return;
  b->Active = side;
  if (chosen == 0) OpenFolderIn(b, side, WorkingFolder());
  if (chosen == 1) OpenFolderIn(b, side, home);
  if (chosen == 2) OpenFolderIn(b, side, "/");
  if (chosen >= 4) OpenPluginIn(b, side, OPEN_DISKMENU, chosen - 4);
  ActivatePanel(b);
}

// A menu of the plugin's strings (at most 16) under a title; the chosen
// index, or -1. With no strings the menu shows `none` when it is given,
// else it is not shown at all.
int ChoosePluginString(Browser* b, const char* title,
                       const char* const* strings, int number,
                       const char* none) {
  int count = strings != nullptr ? number : 0;
  if (count > 16) count = 16;
  if (count <= 0 && none == nullptr) return -1;
  MenuRequest menu{
      FMENU_WRAPMODE | FMENU_AUTOHIGHLIGHT, -1, -1, 0, title, "", "", {}, {}};
  for (int i = 0; i < count; ++i)
    menu.Items.push_back(MenuLine{strings[i], i == 0, 0, 0});
  if (count <= 0) menu.Items.push_back(MenuLine{none, 1, 0, 0});
  int breakCode = -1;
  int chosen = b->Ui->Menu(menu, &breakCode);
  return chosen >= 0 && chosen < count ? chosen : -1;
}

// F11: the plugins menu; the chosen entry opens in the active panel.
void PluginsMenu(Browser* b) {
  const PluginInfo& info = b->Info;
  int chosen = ChoosePluginString(b, "Plugin commands", info.PluginMenuStrings,
                                  info.PluginMenuStringsNumber, "(none)");
  if (chosen >= 0) OpenPluginIn(b, b->Active, OPEN_PLUGINSMENU, chosen);
}

// F9: the plugins' configuration menu; Configure for the chosen entry,
// then the plugin panels are read again.
void ConfigMenu(Browser* b) {
  const PluginInfo& info = b->Info;
  int chosen =
      ChoosePluginString(b, "Plugins configuration", info.PluginConfigStrings,
                         info.PluginConfigStringsNumber, nullptr);
  if (chosen < 0) return;
  b->Host->Exports().Configure(chosen);
  for (auto& panel : b->Panels)
    if (panel->IsPlugin()) panel->Reread();
  ActivatePanel(b);
}

void CommandHistory(Browser* b, int step) {
  const std::vector<std::string>& entries =
      b->Ui->Histories().Entries(kCommandHistory);
  if (entries.empty()) return;
  int at = -1;
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i] == b->Host->commandLine) at = static_cast<int>(i);
  at += step;
  if (at < 0) {
    SetCommandLine(b, "");
    return;
  }
  if (at >= static_cast<int>(entries.size()))
    at = static_cast<int>(entries.size()) - 1;
  SetCommandLine(b, entries[static_cast<size_t>(at)]);
}

void PasteClipboard(Browser* b) {
  std::string& line = b->Host->commandLine;
  size_t at = b->Host->commandCursor <= line.size() ? b->Host->commandCursor
                                                    : line.size();
  std::string text =
      b->Host->clipboard.substr(0, kCommandLineSize - 1 - line.size());
  line.insert(at, text);
  b->Host->commandCursor = at + text.size();
}

void FsEntryToCommandLine(Browser* b, int clipboard) {
  BrowsePanel* panel = Active(b);
  if (panel->Count() == 0) return;
  PanelPicture picture;
  panel->Picture(&picture);
  std::string name = picture.Cell(panel->Current(), "N");
  if (clipboard) {
    b->Host->clipboard = name;
    return;
  }
  SetCommandLine(b, b->Host->commandLine + name + " ");
}

int EditCommandLine(Browser* b, const KeyEvent& key) {
  EditLine line = MakeEditLine(b->Host->commandLine, kCommandLineSize - 1, 0);
  line.Cursor =
      static_cast<int>(std::min(b->Host->commandCursor, line.Text.size()));
  if (line.Text.empty() && (key.Key == VK_HOME || key.Key == VK_END ||
                            key.Key == VK_LEFT || key.Key == VK_RIGHT))
    return 0;
  if (!EditKey(&line, key, ScreenCodePage())) return 0;
  b->Host->commandLine = line.Text;
  b->Host->commandCursor = static_cast<size_t>(line.Cursor);
  return 1;
}

void Escape(Browser* b) {
  if (!b->Host->commandLine.empty()) {
    SetCommandLine(b, "");
    return;
  }
  if (b->EscapePressed) b->Quit = 1;
  b->EscapePressed = 1;
}

// The host's own keys; 1 when the key was one of them.
int HostKey(Browser* b, const KeyEvent& key) {
  const unsigned none = 0;
  if (Is(key, VK_RETURN, none))
    PressEnter(b, key);
  else if (Is(key, kVkTab, none)) {
    b->Active ^= 1;
    ActivatePanel(b);
  } else if (Is(key, VK_PRIOR, PKF_CONTROL))
    GoUp(b);
  else if (Is(key, VK_NEXT, PKF_CONTROL))
    Active(b)->EnterCurrent();
  else if (Is(key, VK_F1, none))
    ShowHelp(b, "", 1);
  else if (Is(key, VK_F3, none))
    ViewCurrent(b, 0);
  else if (Is(key, VK_F4, none))
    ViewCurrent(b, 1);
  else if (Is(key, VK_F7, PKF_ALT))
    FindFiles(b);
  else if (Is(key, VkFunction(9), none))
    ConfigMenu(b);
  else if (Is(key, VK_F10, none))
    b->Quit = 1;
  else if (Is(key, VK_F11, none))
    PluginsMenu(b);
  else if (Is(key, VK_F1, PKF_ALT))
    DisksMenu(b, 0);
  else if (Is(key, VkFunction(2), PKF_ALT))
    DisksMenu(b, 1);
  else if (Is(key, VkFunction(8), PKF_ALT))
    CommandHistory(b, 0);
  else if (Is(key, 'R', PKF_CONTROL))
    Active(b)->Reread();
  else if (Is(key, 'E', PKF_CONTROL))
    CommandHistory(b, 1);
  else if (Is(key, 'X', PKF_CONTROL))
    CommandHistory(b, -1);
  else if (Is(key, VK_INSERT, PKF_SHIFT))
    PasteClipboard(b);
  else if (Is(key, VK_INSERT, PKF_CONTROL))
    FsEntryToCommandLine(b, 1);
  else if (Is(key, VK_RETURN, PKF_CONTROL))
    FsEntryToCommandLine(b, 0);
  else if (key.Key >= '0' && key.Key <= '9' && Is(key, key.Key, PKF_CONTROL))
    Active(b)->SetViewMode(key.Key - '0');
  else if (EditCommandLine(b, key))
    return 1;
  else if ((key.Control & (PKF_CONTROL | PKF_ALT)) == 0)
    MoveCursor(b, key);
  else
    return 0;
  return 1;
}

}  // namespace

void HandleBrowserKey(Browser* b, const KeyEvent& key) {
  if (key.Key >= VK_F1 && key.Key <= VK_F12)
    b->BarControl = key.Control;
  else if (key.Key != 0)
    b->BarControl = 0;
  if (Is(key, kVkEscape, 0)) {
    if (!Active(b)->OfferKey(key)) Escape(b);
    return;
  }
  b->EscapePressed = 0;
  BrowsePanel* panel = Active(b);
  int enter = Is(key, VK_RETURN, 0) && b->Host->commandLine.empty();
  if (!enter && panel->OfferKey(key)) return;
  HostKey(b, key);
}
