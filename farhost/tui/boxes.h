// The modal loops behind TerminalUi, one file each. Each pushes a painter
// for its box onto the stage's layers while it runs and pops it when it
// returns.
#ifndef TOLVANE_FARHOST_TUI_BOXES_H
#define TOLVANE_FARHOST_TUI_BOXES_H

#include <string>

#include "farhost/host/host_ui.h"
#include "farhost/tui/box_stage.h"

// The index of the pressed button, or -1.
int RunMessageBox(BoxStage* ui, const MessageRequest& box);

// The chosen item or -1; *breakCode the break key's index or -1.
int RunMenuBox(BoxStage* ui, const MenuRequest& menu, int* breakCode);

// The index of the item that closed the dialog, or -1. editLimit, when not
// 0, lowers the number of bytes every edit field accepts (the Data field's
// size less one at most).
int RunDialogBox(BoxStage* ui, int x1, int y1, int x2, int y2,
                 FarDialogItem* items, int count, int editLimit);

// A dialog item as the host builds its own dialogs: zero-filled, with the
// type, the rectangle, the flags and the text (cut to fit Data).
FarDialogItem DialogItem(int type, int x1, int y1, int x2, int y2, DWORD flags,
                         const std::string& text);

#endif  // TOLVANE_FARHOST_TUI_BOXES_H
