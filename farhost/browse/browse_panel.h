// One of the browser's two panels, whatever it shows: a plain directory of
// the file system or a plugin panel. The browser's keys work on this
// interface; each kind keeps its own items, cursor and view mode.
#ifndef TOLVANE_FARHOST_BROWSE_BROWSE_PANEL_H
#define TOLVANE_FARHOST_BROWSE_BROWSE_PANEL_H

#include <string>

#include "farhost/browse/panel_draw.h"
#include "farhost/tui/keys.h"
#include "host/far_api.h"

class BrowsePanel {
 public:
  virtual ~BrowsePanel() = default;

  // 1 for a plugin panel.
  virtual int IsPlugin() const = 0;

  // Fills everything but the frame's position and focus.
  virtual void Picture(PanelPicture* picture) = 0;

  // Whether the current view mode takes the whole screen.
  virtual int FullScreen() = 0;

  virtual int Count() = 0;
  virtual int Current() = 0;
  virtual int Top() = 0;
  // Moves the cursor (clamped); the top item follows as the host keeps it
  // visible in rows rows.
  virtual void SetCursor(int current, int rows) = 0;

  // Reads the items again, keeping the cursor on the same name.
  virtual void Reread() = 0;

  // The host's Enter on the current item: into a folder, up on "..".
  // Returns 0 when there is nothing to enter (a file) or, for a plugin panel
  // at its root, when ".." is to close the panel.
  virtual int EnterCurrent() = 0;

  // The host's going up (Ctrl+PgUp); 0 when already at the top (a plugin
  // panel is then to be closed).
  virtual int GoUp() = 0;

  // The directory shown in the command line's prompt (OEM).
  virtual std::string PromptPath() = 0;

  // A plugin panel offers the key to the plugin first (ProcessKey); 1 when
  // the plugin handled it. A file-system panel returns 0.
  virtual int OfferKey(const KeyEvent& key) = 0;

  // Ctrl+0..Ctrl+9: the view mode; a plugin panel tells the plugin.
  virtual void SetViewMode(int mode) = 0;

  // The key bar label of F1..F12 (index 0..11) with the modifiers
  // (PKF_*); null for the host's default label.
  virtual const char* KeyBarLabel(unsigned control, int index) = 0;
};

#endif  // TOLVANE_FARHOST_BROWSE_BROWSE_PANEL_H
