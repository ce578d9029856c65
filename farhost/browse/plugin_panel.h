// A plugin panel in the browser: the host's panel model (host_panels.h)
// seen through the BrowsePanel interface, plus what the browser draws that
// the model does not keep: the status columns, the full-screen flag and
// the column titles of each mode, and the key bar, all copied from
// GetOpenPluginInfo after every refresh.
#ifndef TOLVANE_FARHOST_BROWSE_PLUGIN_PANEL_H
#define TOLVANE_FARHOST_BROWSE_PLUGIN_PANEL_H

#include <memory>
#include <string>
#include <vector>

#include "farhost/browse/browse_panel.h"
#include "farhost/host/host.h"
#include "farhost/host/panel_model.h"

// One panel mode as the host keeps it (the plugin's strings copied).
struct HostPanelMode {
  std::string Types, Widths, StatusTypes, StatusWidths;
  std::vector<std::string> Titles;
  int FullScreen;
};

// Copies of a plugin's panel modes (at most 10) and key bar (7 groups of
// 12; a label the plugin left null is kNoLabel). Pure.
extern const char* const kNoLabel;
struct PanelDecor {
  std::vector<HostPanelMode> Modes;
  std::vector<std::string> KeyBar[7];
};
void CopyPanelDecor(const OpenPluginInfo& info, PanelDecor* decor);

// The key bar group of a control state: 0 plain, 1 Ctrl, 2 Alt, 3 Shift,
// 4 Ctrl+Shift, 5 Alt+Shift, 6 Ctrl+Alt; -1 for all three.
int KeyBarGroup(unsigned control);

class PluginPanel : public BrowsePanel {
 public:
  // Opens the plugin (OpenPlugin(openFrom, item)) on a side; null when it
  // refuses.
  static std::unique_ptr<PluginPanel> Open(FarHost* host, int side,
                                           int openFrom, intptr_t item);
  // Closes the panel: FE_CLOSE, then ClosePlugin.
  ~PluginPanel() override;

  PanelModel* Model() const { return model_; }

  // Makes this the panel the host's services work on (the active one).
  void Activate();

  // Moves the panel with SetDirectory; 0 when the plugin refused.
  int Move(const std::string& dir, int opMode);

  // Puts the cursor on the item with this file name, if any.
  void SelectName(const std::string& name);

  // Whether the plugin changed the panel in the last call: re-reads the
  // decor after every refresh the plugin asked for.
  void Refresh();

  int IsPlugin() const override { return 1; }
  void Picture(PanelPicture* picture) override;
  int FullScreen() override;
  int Count() override;
  int Current() override { return model_->CurrentItem; }
  int Top() override { return model_->TopItem; }
  void SetCursor(int current, int rows) override;
  void Reread() override { Refresh(); }
  int EnterCurrent() override;
  int GoUp() override;
  std::string PromptPath() override { return model_->CurDir; }
  int OfferKey(const KeyEvent& key) override;
  void SetViewMode(int mode) override;
  const char* KeyBarLabel(unsigned control, int index) override;

 private:
  PluginPanel(FarHost* host, PanelModel* model) : host_(host), model_(model) {}
  void ReadDecor();
  const HostPanelMode* Mode() const;

  FarHost* host_;
  PanelModel* model_;
  PanelDecor decor_;
};

// The text of an item's column: N name, Z description, O owner, C0..C9
// custom columns, LN links, S size; "" for others. Pure.
std::string PluginItemCell(const PluginPanelItem& item,
                           const std::string& type);

#endif  // TOLVANE_FARHOST_BROWSE_PLUGIN_PANEL_H
