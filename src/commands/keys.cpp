#include "commands/keys.h"

#include <cstring>

#include "config/settings.h"
#include "host/host_binding.h"
#include "host/messages.h"
#include "host/startup.h"
#include "nodelist/text_fields.h"
#include "panel/item_user_data.h"
#include "panel/navigation.h"

char CurrentItemText[kCurrentItemTextSize];
SetDirectoryRoutine CommandSetDirectory = PanelSetDirectory;

namespace {

// Windows virtual-key codes of Ctrl+F3 .. Ctrl+F12.
enum { kKeyF3 = 114, kKeyF10 = 121, kKeyF11 = 122, kKeyF12 = 123 };

// The host's command line is read whole; the host asks for at least 1 KB.
enum { kCommandLineSize = 4096 };

// The result length the input box gets after the "?" of SearchRequest:
// a whole sysop name with its terminator, as the panel keeps it. A host
// that counts the length without the terminator may give one character
// more; SearchRequest has room for it and the panel's cut below.
enum { kSearchInputLength = kSearchTextSize };

// A sort menu label longer than this is cut, so that the label, "Ctrl-F"
// and two digits fit the host's 128-byte menu text.
enum { kSortLabelRoom = sizeof(FarMenuItem::Text) - 1 - 8 };

HANDLE HandleOf(PanelInstance* panel) { return static_cast<HANDLE>(panel); }

int Control(PanelInstance* panel, int command, void* parameter) {
  if (!Host.Control) return 0;
  return Host.Control(HandleOf(panel), command, parameter);
}

// Reads the panel's state; 1 when it has items and its current item is
// one of them.
int ReadPanelInfo(PanelInstance* panel, PanelInfo* info) {
  std::memset(info, 0, sizeof(*info));
  if (!Control(panel, FCTL_GETPANELINFO, info)) {
    std::memset(info, 0, sizeof(*info));
    return 0;
  }
  return info->PanelItems != nullptr && info->ItemsNumber > 0 &&
         info->CurrentItem >= 0 && info->CurrentItem < info->ItemsNumber;
}

int CommandLineHasText(PanelInstance* panel) {
  char line[kCommandLineSize];
  line[0] = '\0';
  Control(panel, FCTL_GETCMDLINE, line);
  line[sizeof(line) - 1] = '\0';
  return line[0] != '\0';
}

void Redraw(PanelInstance* panel, int currentItem) {
  PanelRedrawInfo redraw;
  redraw.CurrentItem = currentItem;
  redraw.TopPanelItem = 0;
  Control(panel, FCTL_REDRAWPANEL, &redraw);
}

void RefreshAndRedrawTop(PanelInstance* panel) {
  Control(panel, FCTL_UPDATEPANEL, nullptr);
  Redraw(panel, 0);
}

int IsDotDot(const char* text) {
  return text != nullptr && std::strcmp(text, "..") == 0;
}

int IsDotDotName(const PluginPanelItem* item) {
  const char* name = item->FindData.cFileName;
  return strnlen(name, sizeof(item->FindData.cFileName)) == 2 &&
         name[0] == '.' && name[1] == '.';
}

// The entry to look for after a move: its node, or in a search listing
// its point (a point 0 means: look for the node).
struct CursorTarget {
  int Wanted;
  uint16_t Node;
  uint16_t Point;
};

int FindTarget(PanelInstance* panel, const CursorTarget& target) {
  PanelInfo info;
  if (!ReadPanelInfo(panel, &info)) return 0;
  for (int i = 1; i < info.ItemsNumber; ++i) {
    ItemUserData data;
    if (!ReadItemUserData(&info.PanelItems[i], &data)) continue;
    if (target.Point != 0 ? data.Point == target.Point
                          : data.Node == target.Node)
      return i;
  }
  return 0;
}

// Decides step 4 of the Enter action: -1 leave the entry to the host,
// 0 nothing to do, 1 go without keeping the cursor, 2 go keeping it.
int EnterDecision(PanelInstance* panel, const PluginPanelItem* item,
                  int hasData, const ItemUserData& data) {
  if (panel->SearchText[0] != '\0') return 2;
  if (IsDotDotName(item)) return -1;
  if (IsDotDot(item->Description)) return 2;
  // Listings shown in the panel give a block to every entry but "..";
  // an entry without one cannot be told from a point and is not entered.
  if (!hasData) return 0;
  return data.Point == 0 ? 1 : 0;
}

int RunSearchCommand(PanelInstance* panel) {
  if (!Host.InputBox) return 1;
  SearchRequest[0] = '?';
  SearchRequest[kSearchRequestSize - 1] = '\0';
  char* name = SearchRequest + 1;
  if (!Host.InputBox(MessageTable[MSearchKey], MessageTable[MSearchPrompt],
                     "SearchText", name, name, kSearchInputLength,
                     SearchHelpTopic, FIB_BUTTONS))
    return 1;
  SearchRequest[kSearchRequestSize - 1] = '\0';
  // The panel keeps at most kSearchTextSize - 1 characters of the name:
  // the rest is cut here, after the blanks that the navigation strips in
  // front of it.
  size_t blanks = std::strspn(name, " \t");
  if (std::strlen(name + blanks) >= kSearchTextSize)
    name[blanks + kSearchTextSize - 1] = '\0';
  CommandSetDirectory(panel, SearchRequest, 0);
  RefreshAndRedrawTop(panel);
  return 1;
}

int LeaveSearch(PanelInstance* panel) {
  if (panel->SearchText[0] == '\0') return 0;
  CommandSetDirectory(panel, "..", 0);
  RefreshAndRedrawTop(panel);
  return 1;
}

void InsertCurrentItemText(PanelInstance* panel) {
  ReadCurrentItemText(panel);
  size_t length = std::strlen(CurrentItemText);
  CurrentItemText[length] = ' ';
  CurrentItemText[length + 1] = '\0';
  Control(panel, FCTL_INSERTCMDLINE, CurrentItemText);
}

int CopyCurrentItemText(PanelInstance* panel) {
  if (CommandLineHasText(panel)) return 0;
  ReadCurrentItemText(panel);
  if (HostFunctions.CopyToClipboard)
    HostFunctions.CopyToClipboard(CurrentItemText);
  return 1;
}

int ProcessPlainKey(PanelInstance* panel, int key) {
  if (key == VK_RETURN) {
    if (CommandLineHasText(panel)) return 0;
    return RunEnterAction(panel);
  }
  if (key == VK_F7) return RunSearchCommand(panel);
  return 0;
}

int ProcessControlKey(PanelInstance* panel, int key) {
  switch (key) {
    case VK_RETURN:
      InsertCurrentItemText(panel);
      return 1;
    case VK_PRIOR:
      return LeaveSearch(panel);
    case VK_NEXT:
      return RunEnterAction(panel);
    // Ins of the keypad is Ins too; from a terminal the host sends every
    // Ins so.
    case VK_INSERT:
    case VK_NUMPAD0:
      return CopyCurrentItemText(panel);
    case kKeyF11:
      return 1;  // the host's own Ctrl+F11 does not apply here
    case kKeyF12:
      return RunSortMenu(panel);
    default:
      break;
  }
  if (key >= kKeyF3 && key <= kKeyF10) {
    ChangeSortOrder(panel, key - kKeyF3);
    return 1;
  }
  return 0;
}

}  // namespace

int PanelProcessKey(PanelInstance* panel, int key, unsigned int controlState) {
  if (panel == nullptr) return 0;
  if (controlState == 0) return ProcessPlainKey(panel, key);
  if (controlState == PKF_CONTROL) return ProcessControlKey(panel, key);
  return 0;
}

void ReadCurrentItemText(PanelInstance* panel) {
  CurrentItemText[0] = '\0';
  PanelInfo info;
  if (!ReadPanelInfo(panel, &info)) return;
  const PluginPanelItem* item = &info.PanelItems[info.CurrentItem];
  ItemUserData data;
  if (ReadItemUserData(item, &data)) {
    FtnAddress address = {data.Zone, data.Net, data.Node, data.Point};
    char text[kAddressTextSize];
    FormatAddress(address, text, kLevelNet);
    CopyClipped(CurrentItemText, text, sizeof(CurrentItemText) - 1);
  } else if (item->Description != nullptr) {
    CopyClipped(CurrentItemText, item->Description,
                sizeof(CurrentItemText) - 1);
  }
}

int RunEnterAction(PanelInstance* panel) {
  PanelInfo info;
  if (!ReadPanelInfo(panel, &info)) return 1;
  const PluginPanelItem* item = &info.PanelItems[info.CurrentItem];
  ItemUserData data;
  int hasData = ReadItemUserData(item, &data);
  int decision = EnterDecision(panel, item, hasData, data);
  if (decision <= 0) return decision < 0 ? 0 : 1;

  // The item is read now: after the refresh the host's array is a new one.
  char directory[NM];
  CopyClipped(directory, item->Description ? item->Description : "",
              sizeof(directory));
  CursorTarget target = {decision == 2 && hasData, data.Node, 0};
  if (panel->SearchText[0] != '\0') target.Point = data.Point;

  panel->Flags |= PF_FROMITEM;
  if (!CommandSetDirectory(panel, directory, 0)) return 1;
  Control(panel, FCTL_UPDATEPANEL, nullptr);
  Redraw(panel, target.Wanted ? FindTarget(panel, target) : 0);
  return 1;
}

void ChangeSortOrder(PanelInstance* panel, int order) {
  if (order < 0 || order >= kSortOrderCount) return;
  SortOrder = order;
  Control(panel, FCTL_UPDATEPANEL, nullptr);
  Control(panel, FCTL_REDRAWPANEL, nullptr);
  WriteDwordSetting("SortOrder", static_cast<uint32_t>(order));
}

int RunSortMenu(PanelInstance* panel) {
  FarMenuItem items[kSortOrderCount];
  std::memset(items, 0, sizeof(items));
  for (int i = 0; i < kSortOrderCount; ++i) {
    char label[kSortLabelRoom + 1];
    CopyClipped(label, MessageTable[SortOrderLabels[i]], sizeof(label));
    HostFunctions.sprintf(items[i].Text, "%-17sCtrl-F%d", label, i + 3);
  }
  if (SortOrder >= 0 && SortOrder < kSortOrderCount) {
    items[SortOrder].Selected = 1;
    items[SortOrder].Checked = 1;
  }
  PanelInfo info;
  ReadPanelInfo(panel, &info);
  int left = info.PanelRect.left == 0 ? 4 : info.PanelRect.right - 33;
  if (!Host.Menu) return 1;
  int chosen = Host.Menu(Host.ModuleNumber, left, -1, 0, FMENU_AUTOHIGHLIGHT,
                         MessageTable[MSortMenuTitle], nullptr, "Iface",
                         nullptr, nullptr, items, kSortOrderCount);
  if (chosen >= 0 && chosen < kSortOrderCount) ChangeSortOrder(panel, chosen);
  return 1;
}
