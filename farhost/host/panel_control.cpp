#include "farhost/host/panel_control.h"

#include <cstring>

#include "farhost/host/host_panels.h"

namespace {

void CopyField(char* field, size_t size, const std::string& text) {
  size_t length = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

PluginPanelItem* ItemsOf(const PanelModel& panel) {
  return panel.Items.empty() ? nullptr
                             : const_cast<PluginPanelItem*>(panel.Items.data());
}

int GetPanelInfo(FarHost* host, PanelModel* panel, void* param) {
  if (param == nullptr) return 0;
  FillPanelInfo(host, *panel, static_cast<PanelInfo*>(param));
  return 1;
}

// Re-reads the list; the cursor stays on the item of the same file name,
// else at the same index, clamped.
int UpdatePanel(FarHost* host, PanelModel* panel) {
  if (panel->Refreshing) {
    host->RecordError("FCTL_UPDATEPANEL while the panel is being refreshed");
    return 0;
  }
  std::string current;
  if (!panel->Items.empty())
    current = panel->Items[static_cast<size_t>(panel->CurrentItem)]
                  .FindData.cFileName;
  RefreshPanel(host, panel);
  int same = current.empty() ? -1 : FindItemByName(*panel, current);
  if (same >= 0) panel->CurrentItem = same;
  ClampCursor(panel, kPanelPageRows);
  return 1;
}

// With a PanelRedrawInfo the cursor and the top item are set as given,
// each kept within the list.
int RedrawPanel(PanelModel* panel, void* param, ControlCall* call) {
  if (param == nullptr) return 1;
  call->HasRedrawInfo = 1;
  std::memcpy(&call->Redraw, param, sizeof(call->Redraw));
  int last = static_cast<int>(panel->Items.size()) - 1;
  auto clamp = [last](int value) {
    return value > last ? (last < 0 ? 0 : last) : (value < 0 ? 0 : value);
  };
  panel->CurrentItem = clamp(call->Redraw.CurrentItem);
  panel->TopItem = clamp(call->Redraw.TopPanelItem);
  return 1;
}

void RecordRedrawInfo(void* param, ControlCall* call) {
  if (param == nullptr) return;
  call->HasRedrawInfo = 1;
  std::memcpy(&call->Redraw, param, sizeof(call->Redraw));
}

}  // namespace

FarRect PanelRectOf(int side) {
  return side == 0 ? FarRect{0, 1, 39, 22} : FarRect{40, 1, 79, 22};
}

void FillPanelInfo(const FarHost* host, const PanelModel& panel,
                   PanelInfo* info) {
  std::memset(static_cast<void*>(info), 0, sizeof(*info));
  info->PanelType = 0;
  info->Plugin = 1;
  info->PanelRect = PanelRectOf(panel.Side);
  info->PanelItems = ItemsOf(panel);
  info->ItemsNumber = static_cast<int>(panel.Items.size());
  if (info->PanelItems != nullptr) {
    info->SelectedItems = info->PanelItems + panel.CurrentItem;
    info->SelectedItemsNumber = 1;
  }
  info->CurrentItem = panel.CurrentItem;
  info->TopPanelItem = panel.TopItem;
  info->Visible = 1;
  info->Focus = host->activePanel == &panel ? 1 : 0;
  info->ViewMode = panel.ViewMode;
  CopyField(info->ColumnTypes, sizeof(info->ColumnTypes),
            panel.View.ColumnTypes);
  CopyField(info->ColumnWidths, sizeof(info->ColumnWidths),
            panel.View.ColumnWidths);
  CopyField(info->CurDir, sizeof(info->CurDir), panel.CurDir);
  info->SortMode = panel.SortMode;
}

int IsPanelCommand(int command) {
  return command == FCTL_GETPANELINFO || command == FCTL_UPDATEPANEL ||
         command == FCTL_UPDATEANOTHERPANEL || command == FCTL_REDRAWPANEL ||
         command == FCTL_REDRAWANOTHERPANEL;
}

int RunPanelControl(FarHost* host, HANDLE plugin, int command, void* param,
                    ControlCall* call) {
  PanelModel* panel = PanelByHandle(host, plugin);
  if (panel == nullptr) {
    RecordRedrawInfo(command == FCTL_REDRAWPANEL ? param : nullptr, call);
    if (plugin != INVALID_HANDLE_VALUE)
      host->RecordError("Control " + std::to_string(command) +
                        " for a handle that names no open panel");
    return 0;
  }
  PanelModel* other = AnotherPanel(host, panel);
  switch (command) {
    case FCTL_GETPANELINFO:
      return GetPanelInfo(host, panel, param);
    case FCTL_UPDATEPANEL:
      return UpdatePanel(host, panel);
    case FCTL_UPDATEANOTHERPANEL:
      return other != nullptr ? UpdatePanel(host, other) : 1;
    case FCTL_REDRAWPANEL:
      return RedrawPanel(panel, param, call);
    case FCTL_REDRAWANOTHERPANEL:
      if (other == nullptr) {
        RecordRedrawInfo(param, call);
        return 1;
      }
      return RedrawPanel(other, param, call);
    default:
      return 0;
  }
}
