#include "farhost/scripted/scripted_ui.h"

#include <cstring>

UiAnswer UiAnswer::Cancel() { return UiAnswer(); }

UiAnswer UiAnswer::Button(int index) {
  UiAnswer a;
  a.kind = kButton;
  a.Index = index;
  return a;
}

UiAnswer UiAnswer::MenuItem(int index, int breakCode) {
  UiAnswer a;
  a.kind = kMenuItem;
  a.Index = index;
  a.BreakCode = breakCode;
  return a;
}

UiAnswer UiAnswer::Input(const std::string& text) {
  UiAnswer a;
  a.kind = kInputText;
  a.Text = text;
  return a;
}

UiAnswer UiAnswer::DialogClose(int item) {
  UiAnswer a;
  a.kind = kDialogClose;
  a.Index = item;
  return a;
}

UiAnswer& UiAnswer::SetText(int item, const std::string& text) {
  Edits.push_back({item, 1, text, 0});
  return *this;
}

UiAnswer& UiAnswer::Check(int item, int selected) {
  Edits.push_back({item, 0, std::string(), selected});
  return *this;
}

namespace {

const char* const kKindNames[] = {"cancel", "button", "menu item", "input text",
                                  "dialog close"};

DialogItemRecord RecordItem(const FarDialogItem& item) {
  DialogItemRecord r{
      item.Type,  item.X1, item.Y1, item.X2,    item.Y2,
      item.Focus, 0,       "",      item.Flags, item.DefaultButton,
      ""};
  bool isEdit = item.Type == DI_EDIT || item.Type == DI_FIXEDIT ||
                item.Type == DI_PSWEDIT;
  if (isEdit && (item.Flags & DIF_HISTORY)) {
    if (item.History != nullptr) r.History = item.History;
  } else {
    r.Selected = item.Selected;
  }
  r.Data.assign(item.Data, strnlen(item.Data, sizeof(item.Data)));
  return r;
}

// Applies the answer's edits; returns 0 and names the fault when an edit
// names an item that does not exist.
int ApplyEdits(const UiAnswer& answer, const DialogRequest& dialog,
               UiCall* call) {
  for (const DialogEdit& edit : answer.Edits) {
    if (edit.Item < 0 || edit.Item >= dialog.ItemsNumber) {
      call->Fault =
          "edit of item " + std::to_string(edit.Item) + " outside the dialog";
      return 0;
    }
    FarDialogItem& item = dialog.Items[edit.Item];
    if (edit.SetsText) {
      size_t length = edit.Text.size();
      if (length > sizeof(item.Data) - 1) length = sizeof(item.Data) - 1;
      std::memcpy(item.Data, edit.Text.data(), length);
      item.Data[length] = '\0';
    } else {
      item.Selected = edit.Selected;
    }
  }
  return 1;
}

}  // namespace

int ScriptedUi::Next(UiCall* call, UiAnswer* answer) {
  if (answers_.empty()) {
    call->Unanswered = 1;
    return 0;
  }
  *answer = answers_.front();
  answers_.pop_front();
  return 1;
}

int ScriptedUi::Expect(UiAnswer::Kind kind, const UiAnswer& answer,
                       UiCall* call) {
  if (answer.kind == kind) return 1;
  if (answer.kind != UiAnswer::kCancel)
    call->Fault = std::string("expected an answer of kind ") +
                  kKindNames[kind] + ", the queue held " +
                  kKindNames[answer.kind];
  return 0;
}

int ScriptedUi::Message(const MessageRequest& box) {
  UiCall call{UiCall::kMessage, box, {}, 0, 0, 0, 0, "", {}, {}, -1, 0, ""};
  UiAnswer answer;
  if (Next(&call, &answer) && Expect(UiAnswer::kButton, answer, &call)) {
    if (answer.Index >= 0 &&
        answer.Index < static_cast<int>(box.Buttons.size()))
      call.Result = answer.Index;
    else
      call.Fault = "no button " + std::to_string(answer.Index);
  }
  calls_.push_back(call);
  return call.Result;
}

int ScriptedUi::Menu(const MenuRequest& menu, int* breakCode) {
  UiCall call{UiCall::kMenu, {}, menu, 0, 0, 0, 0, "", {}, {}, -1, 0, ""};
  UiAnswer answer;
  *breakCode = -1;
  if (Next(&call, &answer) && Expect(UiAnswer::kMenuItem, answer, &call)) {
    if (answer.Index >= 0 &&
        answer.Index < static_cast<int>(menu.Items.size())) {
      call.Result = answer.Index;
      *breakCode = answer.BreakCode;
    } else {
      call.Fault = "no menu item " + std::to_string(answer.Index);
    }
  }
  calls_.push_back(call);
  return call.Result;
}

int ScriptedUi::Dialog(const DialogRequest& dialog) {
  UiCall call{
      UiCall::kDialog,  {}, {}, dialog.X1, dialog.Y1, dialog.X2, dialog.Y2,
      dialog.HelpTopic, {}, {}, -1,        0,         ""};
  for (int i = 0; i < dialog.ItemsNumber; ++i)
    call.DialogItems.push_back(RecordItem(dialog.Items[i]));
  UiAnswer answer;
  if (Next(&call, &answer) && Expect(UiAnswer::kDialogClose, answer, &call)) {
    if (answer.Index < 0 || answer.Index >= dialog.ItemsNumber)
      call.Fault = "no dialog item " + std::to_string(answer.Index);
    else if (ApplyEdits(answer, dialog, &call))
      call.Result = answer.Index;
  }
  calls_.push_back(call);
  return call.Result;
}

int ScriptedUi::InputBox(const InputRequest& input, std::string* text) {
  UiCall call{UiCall::kInputBox, {}, {}, 0, 0, 0, 0, "", {}, input, 0, 0, ""};
  UiAnswer answer;
  if (Next(&call, &answer) && Expect(UiAnswer::kInputText, answer, &call)) {
    *text = answer.Text;
    call.Result = 1;
  }
  calls_.push_back(call);
  return call.Result;
}
