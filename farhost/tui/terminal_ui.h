// The interactive front end of farhost: the host's message boxes, menus,
// dialogs and input boxes drawn on the terminal in the file manager's look
// (ncursesw), with the plugin's OEM texts shown through the code page.
//
// Every box is modal: it returns when the user closes it. What lies under
// the boxes (the panels) is painted by layers that the caller pushes on the
// stage (box_stage.h); every redraw, after a size change too, paints the
// layers bottom-up and then the boxes that are open. Without a terminal
// every box is cancelled.
#ifndef TOLVANE_FARHOST_TUI_TERMINAL_UI_H
#define TOLVANE_FARHOST_TUI_TERMINAL_UI_H

#include <string>

#include "farhost/host/host_ui.h"
#include "farhost/tui/box_stage.h"

struct TerminalUiOptions {
  int CodePage = 866;       // 866 or 437: the plugin's texts
  std::string HistoryPath;  // where histories persist; empty: memory only
};

class TerminalUi : public HostUi, public BoxStage {
 public:
  explicit TerminalUi(const TerminalUiOptions& options);
  ~TerminalUi() override;  // puts the terminal back
  TerminalUi(const TerminalUi&) = delete;
  TerminalUi& operator=(const TerminalUi&) = delete;

  // Takes over the terminal (the boxes also do this when first shown).
  // Returns 0 when there is no terminal.
  int Start();

  // Gives the terminal back as it was; the next box takes it again.
  void Stop();

  // Message box: title in the top frame, centred lines (FMSG_LEFTALIGN:
  // left-aligned; a line starting with \x01 or \x02 is a single or double
  // separator), buttons on the last row; FMSG_WARNING in the warning
  // colours. Without buttons the box is drawn and -1 returned at once.
  int Message(const MessageRequest& box) override;

  // Menu: Up, Down, Home, End, PgUp, PgDn move; Enter chooses; Esc cancels;
  // a hot key chooses its item; a break key closes with its index.
  int Menu(const MenuRequest& menu, int* breakCode) override;

  // Dialog on the plugin's items; see dialog_box.cpp for the keys.
  int Dialog(const DialogRequest& dialog) override;

  // Input box: title, prompt and an edit line with history; FIB_BUTTONS
  // adds OK and Cancel. Without FIB_ENABLEEMPTY an empty line is not
  // accepted.
  int InputBox(const InputRequest& input, std::string* text) override;

 private:
  TerminalUiOptions options_;
};

#endif  // TOLVANE_FARHOST_TUI_TERMINAL_UI_H
