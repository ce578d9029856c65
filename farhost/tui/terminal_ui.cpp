// TerminalUi: the host's boxes on the terminal, each through its box loop;
// the input box is a small dialog as the file manager builds it.
#include "farhost/tui/terminal_ui.h"

#include <algorithm>
#include <cstring>

#include "farhost/tui/boxes.h"
#include "farhost/tui/screen.h"

namespace {

// The input box's dialog: frame, prompt, edit line; with buttons also a
// separator, OK and Cancel.
enum {
  kInputFrame,
  kInputPrompt,
  kInputEdit,
  kInputSeparator,
  kInputOk,
  kInputCancel,
  kInputItems
};
const int kInputWidth = 76;
// The edit line's DIF_MANUALADDHISTORY (the bit DIF_NOBRACKETS has on
// buttons): the box adds its answer to the history itself.
const DWORD kManualAddHistory = DIF_NOBRACKETS;

// Builds the items; returns how many there are.
int BuildInputItems(const InputRequest& input, const std::string& initial,
                    FarDialogItem* items) {
  bool buttons = (input.Flags & FIB_BUTTONS) != 0;
  int bottom = buttons ? 6 : 4;
  items[kInputFrame] =
      DialogItem(DI_DOUBLEBOX, 3, 1, kInputWidth - 4, bottom, 0, input.Title);
  items[kInputPrompt] = DialogItem(DI_TEXT, 5, 2, 0, 2, 0, input.Prompt);
  int type = (input.Flags & FIB_PASSWORD) ? DI_PSWEDIT : DI_EDIT;
  DWORD flags = input.History.empty() ? 0 : DIF_HISTORY | kManualAddHistory;
  items[kInputEdit] =
      DialogItem(type, 5, 3, kInputWidth - 6, 3, flags, initial);
  items[kInputEdit].History = input.History.c_str();
  items[kInputEdit].Focus = 1;
  if (!buttons) return kInputSeparator;
  items[kInputSeparator] =
      DialogItem(DI_TEXT, 0, 4, 0, 4, DIF_SEPARATOR | DIF_BOXCOLOR, "");
  items[kInputOk] = DialogItem(DI_BUTTON, 0, 5, 0, 5, DIF_CENTERGROUP, "OK");
  items[kInputOk].DefaultButton = 1;
  items[kInputCancel] =
      DialogItem(DI_BUTTON, 0, 5, 0, 5, DIF_CENTERGROUP, "Cancel");
  return kInputItems;
}

}  // namespace

TerminalUi::TerminalUi(const TerminalUiOptions& options)
    : BoxStage(options.HistoryPath), options_(options) {}

TerminalUi::~TerminalUi() { ScreenClose(); }

int TerminalUi::Start() { return ScreenOpen(options_.CodePage); }

void TerminalUi::Stop() { ScreenClose(); }

int TerminalUi::Message(const MessageRequest& box) {
  if (!Start()) return -1;
  HelpScope scope(this, box.HelpTopic, 1);
  return RunMessageBox(this, box);
}

int TerminalUi::Menu(const MenuRequest& menu, int* breakCode) {
  *breakCode = -1;
  if (!Start()) return -1;
  HelpScope scope(this, menu.HelpTopic, 1);
  return RunMenuBox(this, menu, breakCode);
}

int TerminalUi::Dialog(const DialogRequest& dialog) {
  if (!Start() || dialog.Items == nullptr || dialog.ItemsNumber <= 0) return -1;
  HelpScope scope(this, dialog.HelpTopic, 1);
  return RunDialogBox(this, dialog.X1, dialog.Y1, dialog.X2, dialog.Y2,
                      dialog.Items, dialog.ItemsNumber, 0);
}

int TerminalUi::InputBox(const InputRequest& input, std::string* text) {
  if (!Start()) return 0;
  HelpScope scope(this, input.HelpTopic, 0);
  std::string initial = input.Initial;
  if (initial.empty() && !input.History.empty() &&
      !(input.Flags & FIB_NOUSELASTHISTORY))
    initial = Histories().Last(input.History);
  FarDialogItem items[kInputItems];
  int count = BuildInputItems(input, initial, items);
  int limit = input.Length > 1 ? input.Length - 1 : 1;
  int height = (input.Flags & FIB_BUTTONS) ? 8 : 6;
  for (;;) {
    int closed =
        RunDialogBox(this, -1, -1, kInputWidth, height, items, count, limit);
    if (closed != kInputEdit && closed != kInputOk) return 0;
    std::string answer(items[kInputEdit].Data,
                       strnlen(items[kInputEdit].Data, sizeof(items[0].Data)));
    if (answer.empty() && !(input.Flags & FIB_ENABLEEMPTY)) continue;
    Histories().Add(input.History, answer);
    HistoryChanged();
    *text = answer;
    return 1;
  }
}
