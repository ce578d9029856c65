// SetDirectory: the host's find-mode walk, the sysop search command, and
// moves by path with a trial listing before they are committed.
#include <cstring>

#include "config/settings.h"
#include "host/host_binding.h"
#include "host/messages.h"
#include "nodelist/text_fields.h"
#include "panel/host_calls.h"
#include "panel/listing.h"
#include "panel/navigation.h"
#include "panel/path_grammar.h"

namespace {

// Room for a directory text; a longer path is refused as invalid.
enum { kDirTextSize = 1024 };

uint16_t* PartAt(FtnAddress* address, uint16_t level) {
  uint16_t* parts[] = {&address->Zone, &address->Net, &address->Node,
                       &address->Point};
  return parts[level / 2];
}

// The leading digits of a name in find mode as an address part (0 when
// there are none); 0 when they make a number past 65535, which names no
// node, as in every other path.
int FindModePart(const char* dir, uint16_t* part) {
  uint32_t number = 0;
  for (; *dir >= '0' && *dir <= '9'; ++dir) {
    number = number * 10 + static_cast<uint32_t>(*dir - '0');
    if (number > 0xFFFF) return 0;
  }
  *part = static_cast<uint16_t>(number);
  return 1;
}

// The host's file search names directories as the listing named them;
// nothing is listed or reported. The level stays within 0..6.
int FindModeMove(PanelInstance* panel, const char* dir) {
  if (panel->SearchText[0] != '\0') return 0;
  if (std::strcmp(dir, "..") == 0) {
    if (panel->Level < kLevelZone) return 0;
    panel->Level = static_cast<uint16_t>(panel->Level - 2);
  } else if (std::strcmp(dir, "\\") == 0) {
    panel->Level = kLevelRoot;
  } else {
    uint16_t part = 0;
    if (panel->Level >= kLevelNode || !FindModePart(dir, &part)) return 0;
    *PartAt(&panel->Address, panel->Level) = part;
    panel->Level = static_cast<uint16_t>(panel->Level + 2);
  }
  ClearPartsBeyond(&panel->Address, panel->Level);
  return 1;
}

int StartSysopSearch(PanelInstance* panel, char* name) {
  TrimLeadingBlanks(name);
  if (name[0] == '\0') return 0;
  CopyClipped(panel->SearchText, name, sizeof(panel->SearchText));
  return 1;
}

int RefusePath(const PanelInstance* panel, const char* text, int opMode) {
  if (opMode & OPM_SILENT) return 0;
  if (panel->Level == kLevelRoot && std::strcmp(text, "..") == 0) return 0;
  ShowPathError(text);
  return 0;
}

// A point opens its node; a node among search hits, entered from its item,
// opens its net.
void AdjustTarget(const PanelInstance* panel, int fromItem, FtnAddress* address,
                  uint16_t* level) {
  if (*level == kLevelPoint) {
    *level = kLevelNode;
    address->Point = 0;
  } else if (fromItem && *level == kLevelNode && panel->SearchText[0] != '\0') {
    *level = kLevelNet;
    address->Node = 0;
  }
}

void SaveStartPath(PanelInstance* panel) {
  FormatPanelLocation(panel);
  SettingsKey key;
  if (!SettingsCreateKey(SettingsKeyPath, &key)) return;
  WriteStringValue(key, "Start Path", panel->CurDir);
  SettingsCloseKey(key);
}

// Installs the target, lists it as a trial and keeps the list pending;
// restores the panel when the listing fails or finds nothing there.
int TryMove(PanelInstance* panel, FtnAddress address, uint16_t level,
            int opMode) {
  const FtnAddress savedAddress = panel->Address;
  const uint16_t savedLevel = panel->Level;
  const char savedSearch = panel->SearchText[0];
  panel->Address = address;
  panel->Level = level;
  panel->SearchText[0] = '\0';
  panel->Flags &= ~PF_FOUND;
  int listed = PanelGetFindData(panel, &panel->PendingItems,
                                &panel->PendingCount, opMode);
  if (listed && !(panel->Flags & PF_FOUND)) {
    ReleasePendingList(panel);
    if (!(opMode & OPM_SILENT))
      ShowError(MNodelistError, MessageTable[MNoEntry]);
    listed = 0;
  }
  if (!listed) {
    panel->Address = savedAddress;
    panel->Level = savedLevel;
    panel->SearchText[0] = savedSearch;
    return 0;
  }
  if (opMode == 0) SaveStartPath(panel);
  return 1;
}

}  // namespace

int PanelSetDirectory(PanelInstance* panel, const char* dir, int opMode) {
  if (panel == nullptr || dir == nullptr) return 0;
  int fromItem = (panel->Flags & PF_FROMITEM) != 0;
  panel->Flags &= ~PF_FROMITEM;
  ReleasePendingList(panel);
  if (opMode & OPM_FIND) return FindModeMove(panel, dir);
  char text[kDirTextSize];
  int fits = strnlen(dir, sizeof(text)) < sizeof(text);
  CopyClipped(text, dir, sizeof(text));
  TrimText(text);
  if (text[0] == '?') return StartSysopSearch(panel, text + 1);
  if (panel->SearchText[0] != '\0' && std::strcmp(text, "..") == 0) {
    panel->SearchText[0] = '\0';
    return 1;
  }
  FtnAddress address = panel->Address;
  uint16_t level = panel->Level;
  if (!fits || !ParsePanelPath(text, &address, &level))
    return RefusePath(panel, text, opMode);
  AdjustTarget(panel, fromItem, &address, &level);
  return TryMove(panel, address, level, opMode);
}
