#include "commands/events.h"

#include <cstring>

#include "config/settings.h"
#include "host/far_api.h"
#include "panel/panel_modes.h"

namespace {

void NoteViewMode(PanelInstance* panel, const char* columnTypes) {
  int mode = FindViewMode(columnTypes);
  if (mode < 0) return;
  if (panel->Flags & PF_CLOSING) {
    panel->ViewMode = static_cast<uint32_t>(mode);
    return;
  }
  StartPanelMode = mode;
  WriteDwordSetting("Start Panel Mode", static_cast<uint32_t>(mode));
}

}  // namespace

int FindViewMode(const char* columnTypes) {
  if (columnTypes == nullptr) return -1;
  for (int mode = 0; mode < kModeCount; ++mode)
    if (std::strcmp(ModeColumnString(mode, kColumnTypes), columnTypes) == 0)
      return mode;
  return -1;
}

int PanelProcessEvent(PanelInstance* panel, int event, void* parameter) {
  if (panel == nullptr) return 0;
  if (event == FE_CLOSE)
    panel->Flags |= PF_CLOSING;
  else if (event == FE_CHANGEVIEWMODE)
    NoteViewMode(panel, static_cast<const char*>(parameter));
  return 0;
}
