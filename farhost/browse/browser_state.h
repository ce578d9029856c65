// The browser's state and the routines its loop (browser.cpp), its keys
// (browser_keys.cpp) and its jobs (browser_jobs.cpp) share: the screen
// layout, opening panels, the help and the clipboard (browser_state.cpp).
#ifndef TOLVANE_FARHOST_BROWSE_BROWSER_STATE_H
#define TOLVANE_FARHOST_BROWSE_BROWSER_STATE_H

#include <memory>
#include <string>

#include "farhost/browse/browse_panel.h"
#include "farhost/browse/help_file.h"
#include "farhost/host/host.h"
#include "farhost/tui/terminal_ui.h"

struct Browser {
  FarHost* Host;
  TerminalUi* Ui;
  PluginInfo Info;  // what GetPluginInfo registered
  std::unique_ptr<BrowsePanel> Panels[2];
  int Active;           // 0 left, 1 right
  unsigned BarControl;  // modifiers of the last function key (key bar group)
  int EscapePressed;    // the previous key was Esc on an empty command line
  int Quit;
  std::string LastClipboard;
  HelpFile Help;
  int HelpLoaded;
};

// The rectangle of a panel on the screen; the active full-screen panel
// takes the whole width and hides the other one (0 returned for it).
int PanelRect(Browser* b, int side, int* x1, int* y1, int* x2, int* y2);

// Item rows of a panel as it is laid out now.
int PanelRows(Browser* b, int side);

// Paints panels, command line and key bar (the bottom layer).
void PaintBrowser(Browser* b);

// Replaces a panel: with the plugin opened from openFrom with item
// (null for the file-system panel of the current folder). Returns 0 when
// the plugin refused (the panel stays as it was).
int OpenPluginIn(Browser* b, int side, int openFrom, intptr_t item);
void OpenFolderIn(Browser* b, int side, const std::string& folder);

// Points the host's services at the active panel's model (none for a
// file-system panel).
void ActivatePanel(Browser* b);

// The help of a box's topic, looked up as ResolveHelpTopic says (the
// plugin's, a folder's, or the host's own, which farhost does not have);
// Contents when the topic is empty.
void ShowHelp(Browser* b, const std::string& topic, int fromPlugin);

// Hands text the plugin copied to the terminal's clipboard.
void SyncClipboard(Browser* b);

#endif  // TOLVANE_FARHOST_BROWSE_BROWSER_STATE_H
