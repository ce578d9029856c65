// `tolvane key PATH KEY...`: opens a panel at PATH and presses keys by
// name, answering the boxes they open from the key list, and after each key
// prints where the panel stands:
//
//   # KEY -> cursor N, directory CURDIR, command line TEXT
//
// followed by the panel in the tab-separated format of `tolvane ls`.
//
// Keys: Up, Down, Home, End, PgUp, PgDn move the host's cursor; Enter,
// CtrlEnter, CtrlPgUp, CtrlPgDn, CtrlIns, CtrlF3..CtrlF12 and F7 go to
// ProcessKey (Enter as the host's Enter: ProcessKey first, then the host's
// own); F7:NAME is F7 with NAME typed into the search box; Ctrl0..Ctrl9
// switch the view mode; CmdLine:TEXT sets the host's command line. Answers
// for the boxes a key opens follow it: Menu:N, Button:N, Dialog:N,
// Input:TEXT and Esc.
#ifndef TOLVANE_FARHOST_KEY_COMMAND_H
#define TOLVANE_FARHOST_KEY_COMMAND_H

#include <ostream>
#include <string>
#include <vector>

#include "farhost/commands/script_commands.h"
#include "farhost/scripted/scripted_ui.h"

struct KeyStep {
  enum Kind { kMove, kPluginKey, kViewMode, kCommandLine };
  std::string Name;  // the key as typed, without its answers
  Kind kind;
  int Code;          // kMove: the move; kPluginKey: the VK code; kViewMode
  unsigned Control;  // PKF_CONTROL or 0
  std::string Text;  // kCommandLine
  std::vector<UiAnswer> Answers;
};

// The cursor moves of kMove.
enum { kMoveUp, kMoveDown, kMoveHome, kMoveEnd, kMovePageUp, kMovePageDown };

// Turns the key list into steps; 0 with *error naming the first token that
// is not a key or an answer (or an answer before any key).
int ParseKeySteps(const std::vector<std::string>& tokens,
                  std::vector<KeyStep>* steps, std::string* error);

// Moves the cursor of the panel as the host does for a kMove code; the
// page moves go kPanelPageRows items.
void MovePanelCursor(PanelModel* panel, int move);

// Runs the steps on a panel at path (null: the start path). Returns an
// ExitStatus: kExitUsage for a bad key list, kExitPluginError when the
// plugin showed a message box (its text on the error stream), kExitFailed
// when a key left answers unused or opened a box nobody answered.
int RunKey(const ScriptOptions& options, const std::string* path,
           const std::vector<std::string>& tokens, std::ostream& out,
           std::ostream& err);

#endif  // TOLVANE_FARHOST_KEY_COMMAND_H
