#include "farhost/browse/fs_panel.h"

FsPanel::FsPanel(const CodePage* page, const std::string& folder)
    : page_(page) {
  if (!ChangeFolder(folder, "")) ChangeFolder("/", "");
}

int FsPanel::ChangeFolder(const std::string& folder,
                          const std::string& select) {
  std::vector<DirEntry> entries;
  if (!ReadDirListing(folder, &entries)) return 0;
  folder_ = folder;
  entries_ = entries;
  current_ = top_ = 0;
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].Name == select) current_ = static_cast<int>(i);
  return 1;
}

void FsPanel::Picture(PanelPicture* p) {
  p->Title = Utf8ToOem(page_, folder_);
  p->Count = Count();
  p->Current = current_;
  p->Top = top_;
  p->Columns = ParsePanelColumns("N,S,D,T", "0,10,8,5");
  p->ColumnTitles.clear();
  p->Status = ParsePanelColumns("N,S,D,T", "0,10,8,5");
  p->Cell = [this](int item, const std::string& type) {
    return DirEntryCell(page_, entries_[static_cast<size_t>(item)], type);
  };
  p->Style = [this](int item) {
    const DirEntry& e = entries_[static_cast<size_t>(item)];
    if (e.Hidden) return kItemMarked;
    return e.Folder ? kItemFolder : kItemPlain;
  };
}

void FsPanel::SetCursor(int current, int rows) {
  int count = Count();
  if (current >= count) current = count - 1;
  if (current < 0) current = 0;
  current_ = current;
  top_ = KeepCurrentVisible(count, current_, top_, rows);
}

void FsPanel::Reread() {
  std::string name =
      current_ < Count() ? entries_[static_cast<size_t>(current_)].Name : "";
  int top = top_, current = current_;
  if (!ChangeFolder(folder_, name)) {
    ChangeFolder("/", "");
    return;
  }
  if (current_ == 0 && name != (entries_.empty() ? "" : entries_[0].Name))
    current_ = current < Count() ? current : Count() - 1;
  if (current_ < 0) current_ = 0;
  top_ = top;
}

int FsPanel::EnterCurrent() {
  if (current_ >= Count()) return 0;
  const DirEntry& entry = entries_[static_cast<size_t>(current_)];
  if (entry.Name == "..") return GoUp();
  if (!entry.Folder) return 0;
  return ChangeFolder(JoinFolder(folder_, entry.Name), "..");
}

int FsPanel::GoUp() {
  if (folder_ == "/") return 0;
  std::string left = folder_.substr(folder_.find_last_of('/') + 1);
  return ChangeFolder(ParentFolder(folder_), left);
}

std::string FsPanel::PromptPath() { return Utf8ToOem(page_, folder_); }
