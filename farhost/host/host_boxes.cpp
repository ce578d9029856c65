// The host's boxes: Message, Menu, Dialog and InputBox. Each one checks the
// plugin's arguments, turns them into a request for the front end and
// keeps the answer within what the host could return.
#include "farhost/host/host_boxes.h"

#include <cstring>

#include "farhost/host/host.h"
#include "platform/platform.h"

namespace {

const DWORD kMessageButtonMask = 0x000F0000u;

std::string Text(const char* text) { return text != nullptr ? text : ""; }

// The buttons the host puts in for an FMSG_MB_* flag; false for none.
bool StandardButtons(DWORD flags, std::vector<std::string>* buttons) {
  static const char* const kSets[][3] = {
      {"Ok", nullptr, nullptr},     {"Ok", "Cancel", nullptr},
      {"Abort", "Retry", "Ignore"}, {"Yes", "No", nullptr},
      {"Yes", "No", "Cancel"},      {"Retry", "Cancel", nullptr},
  };
  DWORD set = (flags & kMessageButtonMask) >> 16;
  if (set == 0) return false;
  buttons->clear();
  if (set > sizeof(kSets) / sizeof(kSets[0])) return true;
  for (const char* name : kSets[set - 1])
    if (name != nullptr) buttons->push_back(name);
  return true;
}

std::vector<std::string> SplitLines(const char* text) {
  std::vector<std::string> lines;
  std::string current;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == '\n') {
      lines.push_back(current);
      current.clear();
    } else {
      current.push_back(*p);
    }
  }
  lines.push_back(current);
  return lines;
}

// Gathers title, body and buttons. Returns 0 when the arguments cannot
// make a box (the reason is recorded).
int BuildMessage(FarHost* host, DWORD flags, const char* const* items,
                 int itemsNumber, int buttonsNumber, MessageRequest* box) {
  if (items == nullptr) {
    host->RecordError("Message: no items");
    return 0;
  }
  std::vector<std::string> lines;
  if (flags & FMSG_ALLINONE) {
    lines = SplitLines(reinterpret_cast<const char*>(items));
  } else {
    if (itemsNumber < 2) {
      host->RecordError("Message: fewer than 2 items");
      return 0;
    }
    for (int i = 0; i < itemsNumber; ++i) lines.push_back(Text(items[i]));
  }
  int body = static_cast<int>(lines.size()) - 1;
  if (!StandardButtons(flags, &box->Buttons)) {
    if (buttonsNumber < 0 || buttonsNumber > body) {
      host->RecordError("Message: " + std::to_string(buttonsNumber) +
                        " buttons for " + std::to_string(body) + " lines");
      return 0;
    }
    body -= buttonsNumber;
    box->Buttons.assign(lines.end() - buttonsNumber, lines.end());
  }
  box->Title = lines[0];
  box->Lines.assign(lines.begin() + 1, lines.begin() + 1 + body);
  return 1;
}

}  // namespace

int FARAPI HostMessage(intptr_t pluginNumber, DWORD flags,
                       const char* helpTopic, const char* const* items,
                       int itemsNumber, int buttonsNumber) {
  char systemError[256] = "";
  if (flags & FMSG_ERRORTYPE)
    PlatformErrorText(systemError, sizeof(systemError));
  FarHost* host = ActiveHost();
  if (host == nullptr) return -1;
  CheckPluginNumber(host, "Message", pluginNumber);
  MessageRequest box{flags, Text(helpTopic), "", {}, {}};
  if (!BuildMessage(host, flags, items, itemsNumber, buttonsNumber, &box))
    return -1;
  if (flags & FMSG_ERRORTYPE) box.Lines.insert(box.Lines.begin(), systemError);
  int answer = host->ui->Message(box);
  if (answer < -1 || answer >= static_cast<int>(box.Buttons.size()))
    answer = -1;
  return answer;
}

namespace {

const int kMaxBreakKeys = 256;

MenuRequest BuildMenu(int x, int y, int maxHeight, DWORD flags,
                      const char* title, const char* bottom,
                      const char* helpTopic, const int* breakKeys,
                      const FarMenuItem* items, int itemsNumber) {
  MenuRequest menu{flags,           x,  y, maxHeight, Text(title), Text(bottom),
                   Text(helpTopic), {}, {}};
  for (int i = 0; breakKeys != nullptr && breakKeys[i] != 0; ++i) {
    if (i == kMaxBreakKeys) break;
    menu.BreakKeys.push_back(breakKeys[i]);
  }
  for (int i = 0; i < itemsNumber; ++i) {
    const FarMenuItem& item = items[i];
    size_t length = strnlen(item.Text, sizeof(item.Text));
    menu.Items.push_back({std::string(item.Text, length), item.Selected,
                          item.Checked, item.Separator});
  }
  return menu;
}

}  // namespace

int FARAPI HostMenu(intptr_t pluginNumber, int x, int y, int maxHeight,
                    DWORD flags, const char* title, const char* bottom,
                    const char* helpTopic, const int* breakKeys, int* breakCode,
                    const FarMenuItem* items, int itemsNumber) {
  if (breakCode != nullptr) *breakCode = -1;
  FarHost* host = ActiveHost();
  if (host == nullptr) return -1;
  CheckPluginNumber(host, "Menu", pluginNumber);
  if (itemsNumber < 0 || (items == nullptr && itemsNumber > 0)) {
    host->RecordError("Menu: bad item list");
    return -1;
  }
  MenuRequest menu = BuildMenu(x, y, maxHeight, flags, title, bottom, helpTopic,
                               breakKeys, items, itemsNumber);
  int code = -1;
  int answer = host->ui->Menu(menu, &code);
  if (answer < -1 || answer >= itemsNumber) answer = -1;
  if (code < -1 || code >= static_cast<int>(menu.BreakKeys.size())) code = -1;
  if (breakCode != nullptr) *breakCode = code;
  return answer;
}

int FARAPI HostDialog(intptr_t pluginNumber, int x1, int y1, int x2, int y2,
                      const char* helpTopic, FarDialogItem* items,
                      int itemsNumber) {
  FarHost* host = ActiveHost();
  if (host == nullptr) return -1;
  CheckPluginNumber(host, "Dialog", pluginNumber);
  if (items == nullptr || itemsNumber <= 0) {
    host->RecordError("Dialog: no items");
    return -1;
  }
  DialogRequest dialog{x1, y1, x2, y2, Text(helpTopic), items, itemsNumber};
  int answer = host->ui->Dialog(dialog);
  if (answer < -1 || answer >= itemsNumber) answer = -1;
  return answer;
}

int FARAPI HostInputBox(const char* title, const char* subTitle,
                        const char* historyName, const char* srcText,
                        char* destText, int destLength, const char* helpTopic,
                        DWORD flags) {
  FarHost* host = ActiveHost();
  if (host == nullptr) return 0;
  if (destText == nullptr || destLength <= 0) {
    host->RecordError("InputBox: no buffer for the answer");
    return 0;
  }
  // The source text is taken before anything is written: the plugin may
  // pass one buffer as both.
  InputRequest input{Text(title),   Text(subTitle),  Text(historyName),
                     Text(srcText), Text(helpTopic), destLength,
                     flags};
  std::string answer;
  if (!host->ui->InputBox(input, &answer)) return 0;
  size_t length = answer.size();
  if (length > static_cast<size_t>(destLength) - 1)
    length = static_cast<size_t>(destLength) - 1;
  std::memcpy(destText, answer.data(), length);
  destText[length] = '\0';
  return 1;
}
