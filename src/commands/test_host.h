// A scripted host for the unit tests of the commands and the configuration
// dialogs: the host entries record every call and answer from queues
// (an empty queue cancels), the panel is a list of items that the test
// builds, and FCTL_UPDATEPANEL can swap in the next list. Test-only: no
// product code includes this header.
#ifndef TOLVANE_COMMANDS_TEST_HOST_H
#define TOLVANE_COMMANDS_TEST_HOST_H

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "host/host_binding.h"
#include "host/messages.h"
#include "panel/item_user_data.h"

struct RecordedControl {
  HANDLE Handle;
  int Command;
  bool NullParameter;
  PanelRedrawInfo Redraw;  // FCTL_REDRAWPANEL with a parameter
  std::string Text;        // FCTL_INSERTCMDLINE
};

struct RecordedMenu {
  int X, Y, MaxHeight;
  DWORD Flags;
  std::string Title, Help;
  bool BottomNull, BreakKeysNull;
  std::vector<FarMenuItem> Items;
};

struct RecordedDialog {
  int X1, Y1, X2, Y2;
  std::string Help;
  std::vector<FarDialogItem> Items;  // as the plugin built them
};

struct RecordedMessage {
  DWORD Flags;
  bool HelpNull;
  std::vector<std::string> Lines;
  int Buttons;
};

struct RecordedInput {
  std::string Title, Prompt, History, Source, Help;
  int Length;
  DWORD Flags;
};

struct TestHost {
  // The panel.
  std::vector<PluginPanelItem> Items;
  int CurrentItem = 0;
  FarRect Rect = {0, 1, 39, 20};
  std::deque<std::vector<PluginPanelItem>> AfterUpdate;
  std::string CommandLine;

  // Answers.
  std::deque<int> MenuAnswers;
  std::deque<int> DialogAnswers;
  // Called before a dialog answers: the test plays the user's edits.
  std::function<void(size_t call, FarDialogItem* items, int count)> EditDialog;
  std::deque<std::string> InputAnswers;  // each confirms with its text

  // Records.
  std::vector<RecordedControl> Controls;
  std::vector<RecordedMenu> Menus;
  std::vector<RecordedDialog> Dialogs;
  std::vector<RecordedMessage> Messages;
  std::vector<RecordedInput> Inputs;
  std::vector<std::string> Clipboard;
  int UpperCaseCalls = 0;

  // The language strings: "m0" .. "m47" unless a test sets its own.
  std::array<std::string, kMessageCount> Texts;

  // Storage that stays in place while item lists are copied and swapped.
  std::deque<std::string> Strings;
  std::deque<std::array<unsigned char, 32>> Blocks;
  std::deque<std::array<char*, 9>> ColumnArrays;

  const char* Keep(const std::string& text) {
    Strings.push_back(text);
    return Strings.back().c_str();
  }

  // An item as the listing builds it; the address block is placed at an
  // odd address, as a host copy may be.
  PluginPanelItem Item(const char* name, const char* description,
                       const ItemUserData* data = nullptr) {
    PluginPanelItem item;
    std::memset(&item, 0, sizeof(item));
    std::snprintf(item.FindData.cFileName, sizeof(item.FindData.cFileName),
                  "%s", name);
    item.Description = const_cast<char*>(Keep(description));
    if (data != nullptr) {
      Blocks.emplace_back();
      unsigned char* block = Blocks.back().data() + 1;
      WriteItemUserData(block, data);
      item.UserData = reinterpret_cast<uintptr_t>(block);
      item.Flags |= PPIF_USERDATA;
    }
    return item;
  }

  void SetColumns(PluginPanelItem* item,
                  const std::array<const char*, 9>& columns) {
    ColumnArrays.emplace_back();
    for (int i = 0; i < 9; ++i)
      ColumnArrays.back()[i] = const_cast<char*>(Keep(columns[i]));
    item->CustomColumnData = ColumnArrays.back().data();
    item->CustomColumnNumber = 9;
  }

  std::vector<int> Commands() const {
    std::vector<int> commands;
    for (const RecordedControl& c : Controls) commands.push_back(c.Command);
    return commands;
  }
};

inline TestHost* ActiveTestHost;

inline ItemUserData UserData(uint16_t zone, uint16_t net, uint16_t node,
                             uint16_t point, uint16_t hub = 0,
                             uint16_t region = 0, uint16_t level = 6) {
  ItemUserData data;
  std::memset(&data, 0, sizeof(data));
  data.Size = kItemUserDataSize;
  data.Zone = zone;
  data.Net = net;
  data.Node = node;
  data.Point = point;
  data.Hub = hub;
  data.Region = region;
  data.Level = level;
  return data;
}

inline int FARAPI TestControl(HANDLE handle, int command, void* parameter) {
  TestHost& h = *ActiveTestHost;
  RecordedControl record = {
      handle, command, parameter == nullptr, {-1, -1}, ""};
  switch (command) {
    case FCTL_GETPANELINFO: {
      PanelInfo* info = static_cast<PanelInfo*>(parameter);
      std::memset(info, 0, sizeof(*info));
      info->Plugin = 1;
      info->PanelRect = h.Rect;
      info->PanelItems = h.Items.empty() ? nullptr : h.Items.data();
      info->ItemsNumber = static_cast<int>(h.Items.size());
      info->CurrentItem = h.CurrentItem;
      break;
    }
    case FCTL_UPDATEPANEL:
      if (!h.AfterUpdate.empty()) {
        h.Items = h.AfterUpdate.front();
        h.AfterUpdate.pop_front();
      }
      break;
    case FCTL_REDRAWPANEL:
      if (parameter != nullptr) {
        record.Redraw = *static_cast<PanelRedrawInfo*>(parameter);
        h.CurrentItem = record.Redraw.CurrentItem;
      }
      break;
    case FCTL_GETCMDLINE:
      std::snprintf(static_cast<char*>(parameter), 1024, "%s",
                    h.CommandLine.c_str());
      break;
    case FCTL_INSERTCMDLINE:
      record.Text = static_cast<const char*>(parameter);
      break;
    default:
      break;
  }
  h.Controls.push_back(record);
  return 1;
}

inline int FARAPI TestMenu(intptr_t, int x, int y, int maxHeight, DWORD flags,
                           const char* title, const char* bottom,
                           const char* help, const int* breakKeys, int*,
                           const FarMenuItem* items, int count) {
  TestHost& h = *ActiveTestHost;
  h.Menus.push_back({x, y, maxHeight, flags, title ? title : "",
                     help ? help : "", bottom == nullptr, breakKeys == nullptr,
                     std::vector<FarMenuItem>(items, items + count)});
  if (h.MenuAnswers.empty()) return -1;
  int answer = h.MenuAnswers.front();
  h.MenuAnswers.pop_front();
  return answer;
}

inline int FARAPI TestDialog(intptr_t, int x1, int y1, int x2, int y2,
                             const char* help, FarDialogItem* items,
                             int count) {
  TestHost& h = *ActiveTestHost;
  h.Dialogs.push_back({x1, y1, x2, y2, help ? help : "",
                       std::vector<FarDialogItem>(items, items + count)});
  if (h.EditDialog) h.EditDialog(h.Dialogs.size() - 1, items, count);
  if (h.DialogAnswers.empty()) return -1;
  int answer = h.DialogAnswers.front();
  h.DialogAnswers.pop_front();
  return answer;
}

inline int FARAPI TestMessage(intptr_t, DWORD flags, const char* help,
                              const char* const* lines, int count,
                              int buttons) {
  TestHost& h = *ActiveTestHost;
  RecordedMessage record = {flags, help == nullptr, {}, buttons};
  for (int i = 0; i < count; ++i) record.Lines.push_back(lines[i]);
  h.Messages.push_back(record);
  return 0;
}

inline int FARAPI TestInputBox(const char* title, const char* prompt,
                               const char* history, const char* source,
                               char* destination, int length, const char* help,
                               DWORD flags) {
  TestHost& h = *ActiveTestHost;
  h.Inputs.push_back({title, prompt, history, source, help, length, flags});
  if (h.InputAnswers.empty()) return 0;
  std::snprintf(destination, static_cast<size_t>(length) + 1, "%s",
                h.InputAnswers.front().c_str());
  h.InputAnswers.pop_front();
  return 1;
}

inline int FARAPIV TestSprintf(char* buffer, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  int length = std::vsprintf(buffer, format, arguments);
  va_end(arguments);
  return length;
}

inline void FARAPI TestUpperCase(char* text) {
  ++ActiveTestHost->UpperCaseCalls;
  for (; *text; ++text)
    if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 32);
}

inline int FARAPI TestCopyToClipboard(const char* text) {
  ActiveTestHost->Clipboard.push_back(text);
  return 1;
}

inline int FARAPI TestAddEndSlash(char* path) {
  size_t length = std::strlen(path);
  if (length == 0 || path[length - 1] != '\\') {
    path[length] = '\\';
    path[length + 1] = '\0';
  }
  return 1;
}

// Makes `host` the host of the plugin: its entries, standard functions and
// language strings.
inline void InstallTestHost(TestHost* host) {
  ActiveTestHost = host;
  Host.ModuleNumber = 7;
  Host.Menu = TestMenu;
  Host.Dialog = TestDialog;
  Host.Message = TestMessage;
  Host.GetMsg = nullptr;
  Host.Control = TestControl;
  Host.InputBox = TestInputBox;
  std::memset(&HostFunctions, 0, sizeof(HostFunctions));
  HostFunctions.StructSize = sizeof(HostFunctions);
  HostFunctions.sprintf = TestSprintf;
  HostFunctions.LStrupr = TestUpperCase;
  HostFunctions.CopyToClipboard = TestCopyToClipboard;
  HostFunctions.AddEndSlash = TestAddEndSlash;
  for (int n = 0; n < kMessageCount; ++n) {
    if (host->Texts[n].empty()) {
      char text[16];
      std::snprintf(text, sizeof(text), "m%d", n);
      host->Texts[n] = text;
    }
    MessageTable[n] = host->Texts[n].c_str();
  }
}

#endif  // TOLVANE_COMMANDS_TEST_HOST_H
