#include "farhost/host/host_panels.h"

#include <cstring>

#include "farhost/host/std_text.h"

namespace {

const int kEnterKey = 13;  // VK_RETURN

std::string TextOf(const char* text, size_t limit) {
  return text != nullptr ? std::string(text, strnlen(text, limit))
                         : std::string();
}

// The titles of a mode: one per column when the plugin gives an array.
std::vector<std::string> ModeTitles(const PanelMode& mode, size_t columns) {
  std::vector<std::string> titles;
  if (mode.ColumnTitles == nullptr) return titles;
  for (size_t i = 0; i < columns; ++i)
    titles.push_back(TextOf(mode.ColumnTitles[i], kMaxItemText));
  return titles;
}

size_t ColumnCount(const std::string& types) {
  size_t count = 1;
  for (char c : types)
    if (c == ',') ++count;
  return count;
}

// The host's own column layouts, for modes the plugin does not offer.
const char* const kHostModeTypes[10] = {
    "N,S,D,T",         "N,N,N", "N,N",   "N,S,D,T", "N,S",
    "N,S,P,D,T,DM,DA", "N,Z",   "N,S,Z", "N,S,O",   "N,S,LN"};

void ApplyViewMode(PanelModel* panel, const OpenPluginInfo& info) {
  if (info.StartPanelMode >= '0' && info.StartPanelMode <= '9')
    panel->ViewMode = info.StartPanelMode - '0';
  panel->View = ModeView(info, panel->ViewMode);
}

PanelModel* AddPanel(FarHost* host, HANDLE plugin) {
  auto panel = std::make_unique<PanelModel>();
  panel->Plugin = plugin;
  if (host->activePanel != nullptr) panel->Side = 1 - host->activePanel->Side;
  host->panels.push_back(std::move(panel));
  host->activePanel = host->panels.back().get();
  return host->activePanel;
}

// The host's own order: by name without regard to case, then bytes.
int HostOrder(const FarHost* host, const PluginPanelItem& a,
              const PluginPanelItem& b) {
  int order = OemCompareNoCase(host->cases, a.FindData.cFileName,
                               b.FindData.cFileName, -1);
  if (order != 0) return order;
  return std::strcmp(a.FindData.cFileName, b.FindData.cFileName);
}

int CompareItems(FarHost* host, const PanelModel& panel,
                 const PluginPanelItem& a, const PluginPanelItem& b) {
  CompareFunc compare = host->Exports().Compare;
  int order =
      compare != nullptr
          ? compare(panel.Plugin, &a, &b, static_cast<unsigned>(panel.SortMode))
          : -2;
  if (order == -2) order = HostOrder(host, a, b);
  order = order < 0 ? -1 : (order > 0 ? 1 : 0);
  return panel.SortReverse ? -order : order;
}

// A stable merge sort of indices; sound for any answers of the plugin.
template <typename Compare>
void MergeSort(std::vector<size_t>* order, std::vector<size_t>* scratch,
               size_t begin, size_t end,
               const std::vector<PluginPanelItem>& items, const Compare& less) {
  if (end - begin < 2) return;
  size_t middle = begin + (end - begin) / 2;
  MergeSort(order, scratch, begin, middle, items, less);
  MergeSort(order, scratch, middle, end, items, less);
  size_t left = begin, right = middle, out = begin;
  while (left < middle && right < end) {
    bool takeRight = less(items[(*order)[right]], items[(*order)[left]]) < 0;
    (*scratch)[out++] = takeRight ? (*order)[right++] : (*order)[left++];
  }
  while (left < middle) (*scratch)[out++] = (*order)[left++];
  while (right < end) (*scratch)[out++] = (*order)[right++];
  for (size_t i = begin; i < end; ++i) (*order)[i] = (*scratch)[i];
}

void ApplyOrder(PanelModel* panel, const std::vector<size_t>& order) {
  std::vector<HostItemCopy> sorted;
  sorted.reserve(order.size());
  for (size_t index : order) sorted.push_back(std::move(panel->Copies[index]));
  panel->Copies = std::move(sorted);
  BindItems(panel);
}

}  // namespace

PanelView ModeView(const OpenPluginInfo& info, int mode) {
  PanelView view;
  if (mode < 0 || mode > 9) return view;
  if (info.PanelModesArray == nullptr || mode >= info.PanelModesNumber) {
    view.ColumnTypes = kHostModeTypes[mode];
    return view;
  }
  const PanelMode& chosen = info.PanelModesArray[mode];
  view.ColumnTypes = TextOf(chosen.ColumnTypes, 79);
  view.ColumnWidths = TextOf(chosen.ColumnWidths, 79);
  view.Titles = ModeTitles(chosen, ColumnCount(view.ColumnTypes));
  return view;
}

PanelModel* OpenPanel(FarHost* host, int openFrom, intptr_t item) {
  if (host->panels.size() >= kMaxHostPanels) return nullptr;
  HANDLE plugin = host->Exports().OpenPlugin(openFrom, item);
  if (plugin == INVALID_HANDLE_VALUE || plugin == nullptr) return nullptr;
  PanelModel* panel = AddPanel(host, plugin);
  RefreshPanel(host, panel);
  return panel;
}

PanelModel* OpenFromCommandLine(FarHost* host, const std::string& line) {
  const std::string& prefix = host->commandPrefix;
  if (prefix.empty() || line.size() <= prefix.size() ||
      line[prefix.size()] != ':' ||
      OemCompareNoCase(host->cases, line.c_str(), prefix.c_str(),
                       static_cast<long long>(prefix.size())) != 0)
    return nullptr;
  // The plugin may change the text in place, as the host's own buffer.
  std::vector<char> text(line.begin() + static_cast<long>(prefix.size()) + 1,
                         line.end());
  text.push_back('\0');
  return OpenPanel(host, OPEN_COMMANDLINE,
                   reinterpret_cast<intptr_t>(text.data()));
}

void ReadOpenPluginInfo(FarHost* host, PanelModel* panel) {
  OpenPluginInfo info;
  std::memset(static_cast<void*>(&info), 0, sizeof(info));
  host->Exports().GetOpenPluginInfo(panel->Plugin, &info);
  panel->CurDir = TextOf(info.CurDir, NM - 1);
  panel->Title = TextOf(info.PanelTitle, kMaxItemText);
  panel->Format = TextOf(info.Format, kMaxItemText);
  panel->InfoFlags = info.Flags;
  ApplyViewMode(panel, info);
  if (info.StartSortMode != SM_DEFAULT) {
    panel->SortMode = info.StartSortMode;
    panel->SortReverse = info.StartSortOrder != 0;
  }
}

int RefreshPanel(FarHost* host, PanelModel* panel) {
  if (panel->Refreshing) {
    host->RecordError("the panel was refreshed while it was being refreshed");
    return 0;
  }
  panel->Refreshing = 1;
  ReadOpenPluginInfo(host, panel);
  PluginPanelItem* items = nullptr;
  int count = 0;
  ++panel->FindDataCalls;
  int result = host->Exports().GetFindData(panel->Plugin, &items, &count, 0);
  if (!result) count = 0;
  CopyPluginItems(items, count, &panel->Copies, &host->errors);
  if (result) host->Exports().FreeFindData(panel->Plugin, items, count);
  BindItems(panel);
  SortPanelItems(host, panel);
  ClampCursor(panel, kPanelPageRows);
  panel->Refreshing = 0;
  return result;
}

void SortPanelItems(FarHost* host, PanelModel* panel) {
  if (panel->SortMode == SM_UNSORTED) return;
  size_t fixed = 0;
  while (fixed < panel->Items.size() &&
         std::strcmp(panel->Items[fixed].FindData.cFileName, "..") == 0)
    ++fixed;
  std::vector<size_t> order(panel->Items.size()), scratch(order.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  auto compare = [host, panel](const PluginPanelItem& a,
                               const PluginPanelItem& b) {
    return CompareItems(host, *panel, a, b);
  };
  MergeSort(&order, &scratch, fixed, order.size(), panel->Items, compare);
  ApplyOrder(panel, order);
}

void SetHostSortMode(FarHost* host, PanelModel* panel, int mode, int reverse) {
  panel->SortMode = mode;
  panel->SortReverse = reverse != 0;
  SortPanelItems(host, panel);
}

int ChangeDirectory(FarHost* host, PanelModel* panel, const std::string& dir,
                    int opMode) {
  std::string oldDir = panel->CurDir, current;
  if (!panel->Items.empty())
    current = panel->Items[static_cast<size_t>(panel->CurrentItem)]
                  .FindData.cFileName;
  if (!host->Exports().SetDirectory(panel->Plugin, dir.c_str(), opMode))
    return 0;
  RefreshPanel(host, panel);
  if (dir == "..") {
    // As the host: the item named by the last part of the old directory,
    // else one named by the whole of it; else the refresh keeps the cursor
    // on the name it was on, or at its index.
    int target = FindItemByName(*panel, LastPartOfDir(oldDir.c_str()));
    if (target < 0) target = FindItemByName(*panel, oldDir);
    if (target < 0) target = FindItemByName(*panel, current);
    if (target >= 0) panel->CurrentItem = target;
  } else {
    panel->CurrentItem = 0;
  }
  panel->TopItem = 0;
  ClampCursor(panel, kPanelPageRows);
  return 1;
}

int PressEnter(FarHost* host) {
  PanelModel* panel = host->activePanel;
  if (panel == nullptr) return 0;
  if (host->Exports().ProcessKey(panel->Plugin, kEnterKey, 0)) return 1;
  // With text on the command line the host's Enter belongs to it.
  if (!host->commandLine.empty()) return 0;
  return EnterCurrentItem(host, panel);
}

int EnterCurrentItem(FarHost* host, PanelModel* panel) {
  if (panel->Items.empty()) return 0;
  // Read before anything can refresh the list.
  const PluginPanelItem& item =
      panel->Items[static_cast<size_t>(panel->CurrentItem)];
  std::string name = item.FindData.cFileName;
  int directory = (item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  if (name != ".." && !directory) return 0;
  return ChangeDirectory(host, panel, name, 0);
}

PanelModel* PanelByHandle(FarHost* host, HANDLE plugin) {
  if (plugin == INVALID_HANDLE_VALUE) return host->activePanel;
  for (const std::unique_ptr<PanelModel>& panel : host->panels)
    if (panel->Plugin == plugin) return panel.get();
  return nullptr;
}

PanelModel* AnotherPanel(FarHost* host, const PanelModel* panel) {
  for (size_t i = host->panels.size(); i > 0; --i) {
    PanelModel* candidate = host->panels[i - 1].get();
    if (candidate != panel && candidate->Side != panel->Side) return candidate;
  }
  return nullptr;
}
