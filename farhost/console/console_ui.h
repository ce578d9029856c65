// The command-line front end: there is nobody to answer, so a message box
// is written to standard error (converted to UTF-8) and counts as an error
// the command reports through its exit status; menus, dialogs and input
// boxes are cancelled and said so on standard error.
#ifndef TOLVANE_FARHOST_CONSOLE_UI_H
#define TOLVANE_FARHOST_CONSOLE_UI_H

#include <ostream>

#include "farhost/host/host_ui.h"

class ConsoleUi : public HostUi {
 public:
  ConsoleUi(int codePage, std::ostream* err) : codePage_(codePage), err_(err) {}

  // The number of message boxes the plugin showed.
  int MessagesShown() const { return messages_; }

  int Message(const MessageRequest& box) override;
  int Menu(const MenuRequest& menu, int* breakCode) override;
  int Dialog(const DialogRequest& dialog) override;
  int InputBox(const InputRequest& input, std::string* text) override;

 private:
  std::string Show(const std::string& oem) const;

  int codePage_;
  std::ostream* err_;
  int messages_ = 0;
};

#endif  // TOLVANE_FARHOST_CONSOLE_UI_H
