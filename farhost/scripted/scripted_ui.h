// The scripted front end for tests: every box the plugin opens is recorded,
// and each is answered from a queue the test fills beforehand. An empty
// queue answers "cancel" and the call is marked unanswered; an answer of the
// wrong kind or out of range also cancels and says why in the record.
#ifndef TOLVANE_FARHOST_SCRIPTED_UI_H
#define TOLVANE_FARHOST_SCRIPTED_UI_H

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "farhost/host/host_ui.h"

// A change a dialog answer makes to one item before the dialog closes.
struct DialogEdit {
  int Item;
  int SetsText;  // 1: Data := Text; 0: Selected := Selected
  std::string Text;
  int Selected;
};

struct UiAnswer {
  enum Kind { kCancel, kButton, kMenuItem, kInputText, kDialogClose };
  Kind kind = kCancel;
  int Index = -1;  // button, menu item or closing dialog item
  int BreakCode = -1;
  std::string Text;
  std::vector<DialogEdit> Edits;

  static UiAnswer Cancel();
  static UiAnswer Button(int index);
  // A menu choice; breakCode names the break key that closed the menu.
  static UiAnswer MenuItem(int index, int breakCode = -1);
  static UiAnswer Input(const std::string& text);
  static UiAnswer DialogClose(int item);
  // For DialogClose: set an item's text / its Selected state first.
  UiAnswer& SetText(int item, const std::string& text);
  UiAnswer& Check(int item, int selected = 1);
};

// One dialog item as the plugin handed it over.
struct DialogItemRecord {
  int Type, X1, Y1, X2, Y2, Focus;
  intptr_t Selected;
  std::string History;  // edit items with DIF_HISTORY
  DWORD Flags;
  int DefaultButton;
  std::string Data;
};

struct UiCall {
  enum Kind { kMessage, kMenu, kDialog, kInputBox };
  Kind kind;
  MessageRequest Message;
  MenuRequest Menu;
  int DialogX1 = 0, DialogY1 = 0, DialogX2 = 0, DialogY2 = 0;
  std::string DialogHelp;
  std::vector<DialogItemRecord> DialogItems;
  InputRequest Input;
  int Result = -1;
  int Unanswered = 0;  // the queue was empty
  std::string Fault;   // why the answer did not fit, or empty
};

class ScriptedUi : public HostUi {
 public:
  void Push(const UiAnswer& answer) { answers_.push_back(answer); }
  size_t Pending() const { return answers_.size(); }
  const std::vector<UiCall>& Calls() const { return calls_; }

  int Message(const MessageRequest& box) override;
  int Menu(const MenuRequest& menu, int* breakCode) override;
  int Dialog(const DialogRequest& dialog) override;
  int InputBox(const InputRequest& input, std::string* text) override;

 private:
  // Takes the next answer into *answer; 0 (marking the call) when empty.
  int Next(UiCall* call, UiAnswer* answer);
  int Expect(UiAnswer::Kind kind, const UiAnswer& answer, UiCall* call);

  std::deque<UiAnswer> answers_;
  std::vector<UiCall> calls_;
};

#endif  // TOLVANE_FARHOST_SCRIPTED_UI_H
