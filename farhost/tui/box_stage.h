// What the terminal's boxes are drawn on and read from: the painters of what
// lies under them (layers, bottom-up), the help topics of the boxes that are
// open, and the edit-field histories. The box loops (boxes.h) and the
// browser's viewers use only this; TerminalUi is a stage that also answers
// the host's boxes by running those loops, so the loops never call back
// into it.
#ifndef TOLVANE_FARHOST_TUI_BOX_STAGE_H
#define TOLVANE_FARHOST_TUI_BOX_STAGE_H

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "farhost/tui/history_store.h"
#include "farhost/tui/keys.h"

class BoxStage {
 public:
  // Reads the histories from historyPath (empty: memory only).
  explicit BoxStage(const std::string& historyPath);
  BoxStage(const BoxStage&) = delete;
  BoxStage& operator=(const BoxStage&) = delete;

  // Painters of what lies under the boxes, bottom-up.
  void PushLayer(std::function<void()> paint);
  void PopLayer();

  // Paints every layer and sends it to the terminal.
  void Redraw();

  // Help for the boxes: while a box whose request named a help topic is
  // open, F1 calls show(topic, fromPlugin) instead of reaching the box.
  // fromPlugin is 1 for the boxes a plugin opens with its number (message,
  // menu, dialog) and 0 for an input box, which carries none. Null: F1 is
  // an ordinary key.
  void SetHelpHandler(std::function<void(const std::string&, int)> show);

  // Shows the help of the innermost open box for F1; returns 1 when the
  // key was taken for that. Not re-entered while help is shown.
  int OfferHelp(const KeyEvent& key);

  // The edit-field histories; saved to the history path after every change.
  HistoryStore& Histories() { return histories_; }
  void HistoryChanged();

 protected:
  ~BoxStage() = default;

 private:
  std::string historyPath_;
  HistoryStore histories_;
  std::vector<std::function<void()>> layers_;
  std::function<void(const std::string&, int)> help_;
  // Topic and fromPlugin of the open boxes, innermost last.
  std::vector<std::pair<std::string, int>> helpTopics_;
  int inHelp_ = 0;

  friend struct HelpScope;
};

// Keeps a box's help topic on the stage's list while the box is open.
struct HelpScope {
  HelpScope(BoxStage* stage, const std::string& topic, int fromPlugin);
  ~HelpScope();
  BoxStage* Stage;
};

// Redraws and waits for a key; a size change redraws and waits again, and
// F1 in a box with a help topic shows the help and waits again.
void WaitKey(BoxStage* stage, KeyEvent* key);

#endif  // TOLVANE_FARHOST_TUI_BOX_STAGE_H
