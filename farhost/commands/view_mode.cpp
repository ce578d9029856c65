#include "farhost/commands/view_mode.h"

#include <cstring>
#include <vector>

#include "farhost/host/host_panels.h"

namespace {

PanelView ReadModeView(FarHost* host, PanelModel* panel, int mode) {
  OpenPluginInfo info;
  std::memset(static_cast<void*>(&info), 0, sizeof(info));
  host->Exports().GetOpenPluginInfo(panel->Plugin, &info);
  return ModeView(info, mode);
}

}  // namespace

std::string ModeColumnTypes(FarHost* host, PanelModel* panel, int mode) {
  if (mode < 0 || mode > 9) return std::string();
  return ReadModeView(host, panel, mode).ColumnTypes;
}

int ChangeViewMode(FarHost* host, PanelModel* panel, int mode) {
  if (mode < 0 || mode > 9) return 0;
  panel->View = ReadModeView(host, panel, mode);
  panel->ViewMode = mode;
  // The plugin gets a buffer of its own: the string must not change under
  // the host.
  const std::string& types = panel->View.ColumnTypes;
  std::vector<char> parameter(types.begin(), types.end());
  parameter.push_back('\0');
  host->Exports().ProcessEvent(panel->Plugin, FE_CHANGEVIEWMODE,
                               parameter.data());
  return 1;
}
