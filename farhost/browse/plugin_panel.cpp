#include "farhost/browse/plugin_panel.h"

#include <cstring>

#include "farhost/host/host_panels.h"

const char* const kNoLabel = "\x01";

namespace {

std::string Text(const char* text) { return text != nullptr ? text : ""; }

const int kMaxPanelModes = 10;

HostPanelMode CopyMode(const PanelMode& mode) {
  HostPanelMode copy{Text(mode.ColumnTypes),
                     Text(mode.ColumnWidths),
                     Text(mode.StatusColumnTypes),
                     Text(mode.StatusColumnWidths),
                     {},
                     mode.FullScreen != 0};
  size_t columns = ParsePanelColumns(copy.Types, copy.Widths).size();
  if (mode.ColumnTitles != nullptr)
    for (size_t i = 0; i < columns; ++i)
      copy.Titles.push_back(Text(mode.ColumnTitles[i]));
  return copy;
}

}  // namespace

void CopyPanelDecor(const OpenPluginInfo& info, PanelDecor* decor) {
  int count = info.PanelModesArray != nullptr ? info.PanelModesNumber : 0;
  if (count > kMaxPanelModes) count = kMaxPanelModes;
  decor->Modes.clear();
  for (int i = 0; i < count; ++i)
    decor->Modes.push_back(CopyMode(info.PanelModesArray[i]));
  for (auto& group : decor->KeyBar) group.assign(12, kNoLabel);
  if (info.KeyBar == nullptr) return;
  char* const* groups[7] = {
      info.KeyBar->Titles,          info.KeyBar->CtrlTitles,
      info.KeyBar->AltTitles,       info.KeyBar->ShiftTitles,
      info.KeyBar->CtrlShiftTitles, info.KeyBar->AltShiftTitles,
      info.KeyBar->CtrlAltTitles};
  for (int g = 0; g < 7; ++g)
    for (int i = 0; i < 12; ++i)
      if (groups[g][i] != nullptr)
        decor->KeyBar[g][static_cast<size_t>(i)] = groups[g][i];
}

int KeyBarGroup(unsigned control) {
  switch (control & (PKF_CONTROL | PKF_ALT | PKF_SHIFT)) {
    case 0:
      return 0;
    case PKF_CONTROL:
      return 1;
    case PKF_ALT:
      return 2;
    case PKF_SHIFT:
      return 3;
    case PKF_CONTROL | PKF_SHIFT:
      return 4;
    case PKF_ALT | PKF_SHIFT:
      return 5;
    case PKF_CONTROL | PKF_ALT:
      return 6;
    default:
      return -1;
  }
}

std::string PluginItemCell(const PluginPanelItem& item,
                           const std::string& type) {
  if (type == "N")
    return std::string(
        item.FindData.cFileName,
        strnlen(item.FindData.cFileName, sizeof(item.FindData.cFileName)));
  if (type == "Z") return Text(item.Description);
  if (type == "O") return Text(item.Owner);
  if (type == "LN") return std::to_string(item.NumberOfLinks);
  if (type == "S")
    return std::to_string(
        static_cast<unsigned long long>(item.FindData.nFileSizeHigh) << 32 |
        item.FindData.nFileSizeLow);
  if (type.size() == 2 && type[0] == 'C' && type[1] >= '0' && type[1] <= '9') {
    int column = type[1] - '0';
    if (column < item.CustomColumnNumber && item.CustomColumnData != nullptr)
      return Text(item.CustomColumnData[column]);
  }
  return std::string();
}

std::unique_ptr<PluginPanel> PluginPanel::Open(FarHost* host, int side,
                                               int openFrom, intptr_t item) {
  PanelModel* model = OpenPanel(host, openFrom, item);
  if (model == nullptr) return nullptr;
  model->Side = side;
  std::unique_ptr<PluginPanel> panel(new PluginPanel(host, model));
  panel->ReadDecor();
  return panel;
}

PluginPanel::~PluginPanel() { ClosePanel(host_, model_, 1); }

void PluginPanel::Activate() { host_->activePanel = model_; }

void PluginPanel::ReadDecor() {
  OpenPluginInfo info;
  std::memset(&info, 0, sizeof(info));
  host_->Exports().GetOpenPluginInfo(model_->Plugin, &info);
  CopyPanelDecor(info, &decor_);
}

int PluginPanel::Move(const std::string& dir, int opMode) {
  int moved = ChangeDirectory(host_, model_, dir, opMode);
  ReadDecor();
  return moved;
}

void PluginPanel::SelectName(const std::string& name) {
  int index = FindItemByName(*model_, name);
  if (index >= 0) model_->CurrentItem = index;
}

void PluginPanel::Refresh() {
  RefreshPanel(host_, model_);
  ReadDecor();
}

const HostPanelMode* PluginPanel::Mode() const {
  int mode = model_->ViewMode;
  if (mode < 0 || mode >= static_cast<int>(decor_.Modes.size())) return nullptr;
  return &decor_.Modes[static_cast<size_t>(mode)];
}

int PluginPanel::Count() { return static_cast<int>(model_->Items.size()); }

void PluginPanel::Picture(PanelPicture* p) {
  const HostPanelMode* mode = Mode();
  p->Title = model_->Title;
  p->Count = Count();
  p->Current = model_->CurrentItem;
  p->Top = model_->TopItem;
  p->Columns =
      ParsePanelColumns(model_->View.ColumnTypes, model_->View.ColumnWidths);
  p->ColumnTitles = model_->View.Titles;
  p->Status = mode != nullptr
                  ? ParsePanelColumns(mode->StatusTypes, mode->StatusWidths)
                  : ParsePanelColumns("N", "0");
  p->Cell = [this](int item, const std::string& type) {
    return PluginItemCell(model_->Items[static_cast<size_t>(item)], type);
  };
  p->Style = [this](int item) {
    DWORD attributes =
        model_->Items[static_cast<size_t>(item)].FindData.dwFileAttributes;
    if (attributes & FILE_ATTRIBUTE_HIDDEN) return kItemMarked;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? kItemFolder : kItemPlain;
  };
}

int PluginPanel::FullScreen() {
  const HostPanelMode* mode = Mode();
  return mode != nullptr && mode->FullScreen;
}

void PluginPanel::SetCursor(int current, int rows) {
  model_->CurrentItem = current;
  ClampCursor(model_, rows);
  model_->TopItem =
      KeepCurrentVisible(Count(), model_->CurrentItem, model_->TopItem, rows);
}

int PluginPanel::EnterCurrent() {
  Activate();
  int done = PressEnter(host_);
  ReadDecor();
  return done;
}

int PluginPanel::GoUp() { return Move("..", 0); }

int PluginPanel::OfferKey(const KeyEvent& key) {
  if (key.Key == 0 || key.Key >= kKeyResize) return 0;
  Activate();
  int handled = host_->Exports().ProcessKey(model_->Plugin, key.Key,
                                            static_cast<unsigned>(key.Control));
  ReadDecor();
  return handled;
}

void PluginPanel::SetViewMode(int mode) {
  if (mode < 0 || mode >= static_cast<int>(decor_.Modes.size())) return;
  const HostPanelMode& chosen = decor_.Modes[static_cast<size_t>(mode)];
  model_->ViewMode = mode;
  model_->View = PanelView{chosen.Types, chosen.Widths, chosen.Titles};
  std::string types = chosen.Types;
  host_->Exports().ProcessEvent(model_->Plugin, FE_CHANGEVIEWMODE,
                                const_cast<char*>(types.c_str()));
}

const char* PluginPanel::KeyBarLabel(unsigned control, int index) {
  int group = KeyBarGroup(control);
  if (group < 0 || index < 0 || index >= 12) return nullptr;
  const std::vector<std::string>& labels = decor_.KeyBar[group];
  if (labels.empty() || labels[static_cast<size_t>(index)] == kNoLabel)
    return nullptr;
  return labels[static_cast<size_t>(index)].c_str();
}
