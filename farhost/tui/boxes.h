// The modal loops behind TerminalUi, one file each. Each pushes a painter
// for its box onto the UI's layers while it runs and pops it when it
// returns.
#ifndef TOLVANE_FARHOST_TUI_BOXES_H
#define TOLVANE_FARHOST_TUI_BOXES_H

#include "farhost/host/host_ui.h"
#include "farhost/tui/keys.h"
#include "farhost/tui/terminal_ui.h"

// The index of the pressed button, or -1.
int RunMessageBox(TerminalUi* ui, const MessageRequest& box);

// The chosen item or -1; *breakCode the break key's index or -1.
int RunMenuBox(TerminalUi* ui, const MenuRequest& menu, int* breakCode);

// The index of the item that closed the dialog, or -1. editLimit, when not
// 0, lowers the number of bytes every edit field accepts (the Data field's
// size less one at most).
int RunDialogBox(TerminalUi* ui, int x1, int y1, int x2, int y2,
                 FarDialogItem* items, int count, int editLimit);

// Redraws and waits for a key; a size change redraws and waits again.
void WaitKey(TerminalUi* ui, KeyEvent* key);

#endif  // TOLVANE_FARHOST_TUI_BOXES_H
