// A panel's life: OpenPlugin, GetOpenPluginInfo, ClosePlugin, and the
// text of its location.
#include "panel/navigation.h"

#include <cstdio>
#include <cstring>

#include "config/settings.h"
#include "host/host_binding.h"
#include "host/messages.h"
#include "nodelist/file_set.h"
#include "nodelist/text_fields.h"
#include "panel/item_memory.h"
#include "panel/listing.h"
#include "panel/panel_modes.h"

namespace {

const char kFormat[] = "V7";
const char kStartPathValue[] = "Start Path";
const DWORD kPanelFlags = OPIF_USEHIGHLIGHTING | OPIF_RAWSELECTION |
                          OPIF_FINDFOLDERS | OPIF_USEATTRHIGHLIGHTING;

PanelInstance* TakeFreeSlot() {
  for (PanelInstance& slot : PanelSlots) {
    if (slot.Flags & PF_INUSE) continue;
    std::memset(&slot, 0, sizeof(slot));
    slot.Flags = PF_INUSE;
    return &slot;
  }
  return nullptr;
}

// Whether nothing but the blanks that the host's Trim removes (blanks and
// tabs) was typed, however many: blank means the start path.
int IsBlankText(const char* text) {
  for (; *text != '\0'; ++text)
    if (*text != ' ' && *text != '\t') return 0;
  return 1;
}

// Moves silently to the stored start path; a path that is missing, does
// not fit its 32 bytes or no longer resolves leaves the panel at the root.
void GoToStartPath(PanelInstance* panel) {
  SettingsKey key;
  if (!SettingsOpenKey(SettingsKeyPath, &key)) return;
  char path[kStartPathSize];
  std::memset(path, 0, sizeof(path));
  int read = ReadValue(key, kStartPathValue, path, sizeof(path));
  SettingsCloseKey(key);
  if (read && std::memchr(path, '\0', sizeof(path)) != nullptr)
    PanelSetDirectory(panel, path, OPM_SILENT);
}

const char* KindWord(uint16_t level) {
  switch (level) {
    case kLevelZone:
      return MessageTable[MZoneWord];
    case kLevelNet:
      return MessageTable[MNetWord];
    case kLevelNode:
      return MessageTable[MNodeWord];
  }
  return "";
}

int ClampedMode(int32_t mode) {
  return mode >= 0 && mode < kModeCount ? mode : 0;
}

}  // namespace

HANDLE PanelOpenPlugin(int openFrom, intptr_t item) {
  LoadMessages();
  PanelInstance* panel = TakeFreeSlot();
  if (panel == nullptr) return INVALID_HANDLE_VALUE;
  if (openFrom == OPEN_COMMANDLINE) {
    const char* text = reinterpret_cast<const char*>(item);
    if (text != nullptr && !IsBlankText(text)) {
      if (PanelSetDirectory(panel, text, 0)) return panel;
      PanelClosePlugin(panel);
      return INVALID_HANDLE_VALUE;
    }
    GoToStartPath(panel);
  } else if (openFrom == OPEN_DISKMENU || openFrom == OPEN_PLUGINSMENU) {
    GoToStartPath(panel);
  }
  return panel;
}

void PanelClosePlugin(PanelInstance* panel) {
  if (panel == nullptr) return;
  ReleasePendingList(panel);
  std::memset(panel, 0, sizeof(*panel));
  CloseFileSet(&Nodelist);
  ReleaseKeptListMemory();
}

void PanelGetOpenPluginInfo(PanelInstance* panel, OpenPluginInfo* info) {
  // The host asks whenever it shows the panel: a set left mapped by its
  // file search is closed, so that a panel that merely shows never keeps
  // a compiler from replacing the files (Windows cannot rename over a
  // mapped file).
  CloseFileSet(&Nodelist);
  if (info == nullptr) return;
  std::memset(info, 0, sizeof(*info));
  if (panel == nullptr) return;
  FormatPanelLocation(panel);
  info->StructSize = sizeof(OpenPluginInfo);
  info->Flags = kPanelFlags;
  info->CurDir = panel->CurDir;
  info->Format = kFormat;
  info->PanelTitle =
      panel->SearchText[0] ? MessageTable[MSearchTitle] : panel->Title;
  int closing = (panel->Flags & PF_CLOSING) != 0;
  if (!closing) {
    info->PanelModesArray = PanelModeTable.Modes;
    info->PanelModesNumber = kModeCount;
  }
  int mode = closing ? static_cast<int32_t>(panel->ViewMode) : StartPanelMode;
  info->StartPanelMode = '0' + ClampedMode(mode);
  info->StartSortMode = SM_UNSORTED;
  info->KeyBar = &KeyBarLabels;
}

void FormatPanelLocation(PanelInstance* panel) {
  std::memcpy(panel->CurDir, "\\", 2);
  uint16_t level = panel->Level;
  if (level != kLevelRoot) {
    FtnAddress address = panel->Address;
    ClearPartsBeyond(&address, level);
    char text[kAddressTextSize];
    FormatAddress(address, text, static_cast<uint16_t>(level - 2));
    std::snprintf(panel->CurDir + 1, sizeof(panel->CurDir) - 1, "%s", text);
  }
  const char* location =
      level != kLevelRoot ? panel->CurDir + 1 : panel->CurDir;
  const char* kind = KindWord(level);
  std::snprintf(panel->Title, sizeof(panel->Title), "%s - %s %s", kFormat,
                kind ? kind : "", location);
}

void ClearPartsBeyond(FtnAddress* address, uint16_t level) {
  if (level < kLevelZone) address->Zone = 0;
  if (level < kLevelNet) address->Net = 0;
  if (level < kLevelNode) address->Node = 0;
  if (level < kLevelPoint) address->Point = 0;
}

void ShowPathError(const char* text) {
  char message[128];
  const char* prefix = MessageTable[MBadPath];
  std::snprintf(message, sizeof(message), "%s '%.80s'", prefix ? prefix : "",
                text);
  ShowError(MPluginName, message);
}
