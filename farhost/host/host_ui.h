// The one user interface of farhost. The host's services (Message, Menu,
// Dialog, InputBox) turn the plugin's arguments into the requests below and
// hand them to a front end: scripted (tests), command line, or the terminal.
// Texts are the plugin's 8-bit OEM strings, as given.
#ifndef TOLVANE_FARHOST_HOST_UI_H
#define TOLVANE_FARHOST_HOST_UI_H

#include <string>
#include <vector>

#include "host/far_api.h"

// A message box: title, body lines and buttons, already split. With an
// FMSG_MB_* flag the host has put in the buttons itself.
struct MessageRequest {
  DWORD Flags;
  std::string HelpTopic;
  std::string Title;
  std::vector<std::string> Lines;
  std::vector<std::string> Buttons;
};

struct MenuLine {
  std::string Text;
  int Selected;
  int Checked;
  int Separator;
};

struct MenuRequest {
  DWORD Flags;
  int X, Y, MaxHeight;
  std::string Title;
  std::string Bottom;
  std::string HelpTopic;
  std::vector<int> BreakKeys;  // without the terminating 0
  std::vector<MenuLine> Items;
};

// A dialog works on the plugin's own items: a front end writes the results
// (Data, Selected) back into them, as the host does.
struct DialogRequest {
  int X1, Y1, X2, Y2;
  std::string HelpTopic;
  FarDialogItem* Items;
  int ItemsNumber;
};

struct InputRequest {
  std::string Title;
  std::string Prompt;
  std::string History;
  std::string Initial;
  std::string HelpTopic;
  int Length;  // the plugin's buffer size
  DWORD Flags;
};

class HostUi {
 public:
  virtual ~HostUi() = default;
  // The index of the pressed button, or -1 when the box was cancelled.
  virtual int Message(const MessageRequest& box) = 0;
  // The chosen item, or -1. *breakCode gets the index of the break key that
  // closed the menu, or -1.
  virtual int Menu(const MenuRequest& menu, int* breakCode) = 0;
  // The index of the item that closed the dialog, or -1.
  virtual int Dialog(const DialogRequest& dialog) = 0;
  // 1 with the entered text in *text, or 0 when cancelled.
  virtual int InputBox(const InputRequest& input, std::string* text) = 0;
};

#endif  // TOLVANE_FARHOST_HOST_UI_H
