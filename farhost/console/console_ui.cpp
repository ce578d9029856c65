#include "farhost/console/console_ui.h"

#include "farhost/sys/sys.h"

std::string ConsoleUi::Show(const std::string& oem) const {
  std::string text;
  SysOemToUtf8(codePage_, oem, &text);
  return text;
}

int ConsoleUi::Message(const MessageRequest& box) {
  ++messages_;
  *err_ << Show(box.Title) << ":";
  for (const std::string& line : box.Lines) *err_ << " " << Show(line);
  *err_ << "\n";
  return box.Buttons.empty() ? -1 : 0;
}

int ConsoleUi::Menu(const MenuRequest& menu, int* breakCode) {
  *breakCode = -1;
  *err_ << "menu \"" << Show(menu.Title) << "\" cancelled: no terminal\n";
  return -1;
}

int ConsoleUi::Dialog(const DialogRequest& dialog) {
  *err_ << "dialog (" << dialog.ItemsNumber
        << " items) cancelled: no terminal\n";
  return -1;
}

int ConsoleUi::InputBox(const InputRequest& input, std::string*) {
  *err_ << "input box \"" << Show(input.Title) << "\" cancelled: no terminal\n";
  return 0;
}
