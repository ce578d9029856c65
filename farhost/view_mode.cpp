#include "farhost/view_mode.h"

#include <cstring>
#include <vector>

namespace {

// The host's own layouts of the ten modes, for a plugin that offers fewer
// (the same table the panel uses when it applies a plugin's modes).
const char* const kHostModeTypes[10] = {
    "N,S,D,T",         "N,N,N", "N,N",   "N,S,D,T", "N,S",
    "N,S,P,D,T,DM,DA", "N,Z",   "N,S,Z", "N,S,O",   "N,S,LN"};

const size_t kMaxColumnText = 79;  // the host's column-string fields

std::string TextOf(const char* text) {
  return text != nullptr ? std::string(text, strnlen(text, kMaxColumnText))
                         : std::string();
}

size_t ColumnCount(const std::string& types) {
  size_t count = 1;
  for (char c : types)
    if (c == ',') ++count;
  return count;
}

// The columns of a mode as the plugin offers them, else the host's own.
PanelView ReadModeView(FarHost* host, PanelModel* panel, int mode) {
  PanelView view;
  OpenPluginInfo info;
  std::memset(static_cast<void*>(&info), 0, sizeof(info));
  host->Exports().GetOpenPluginInfo(panel->Plugin, &info);
  if (info.PanelModesArray == nullptr || mode >= info.PanelModesNumber) {
    view.ColumnTypes = kHostModeTypes[mode];
    return view;
  }
  const PanelMode& chosen = info.PanelModesArray[mode];
  view.ColumnTypes = TextOf(chosen.ColumnTypes);
  view.ColumnWidths = TextOf(chosen.ColumnWidths);
  if (chosen.ColumnTitles != nullptr)
    for (size_t i = 0; i < ColumnCount(view.ColumnTypes); ++i)
      view.Titles.push_back(TextOf(chosen.ColumnTitles[i]));
  return view;
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
