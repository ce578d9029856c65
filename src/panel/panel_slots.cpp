#include "panel/panel_instance.h"

PanelInstance PanelSlots[kPanelSlots];

PanelInstance* PanelFromHandle(HANDLE handle) {
  for (PanelInstance& slot : PanelSlots)
    if (handle == static_cast<HANDLE>(&slot)) return &slot;
  return nullptr;
}
