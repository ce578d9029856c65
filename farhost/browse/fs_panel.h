// The browser's file-system panel: a folder of the disk in the columns
// Name, Size, Date, Time; Enter goes into folders and up on "..".
#ifndef TOLVANE_FARHOST_BROWSE_FS_PANEL_H
#define TOLVANE_FARHOST_BROWSE_FS_PANEL_H

#include <vector>

#include "farhost/browse/browse_panel.h"
#include "farhost/browse/dir_listing.h"

class FsPanel : public BrowsePanel {
 public:
  FsPanel(const CodePage* page, const std::string& folder);

  // The folder shown (UTF-8).
  const std::string& Folder() const { return folder_; }

  // Shows another folder; 0 (nothing changed) when it cannot be read.
  // The cursor goes to the entry named select, if any, else to the first.
  int ChangeFolder(const std::string& folder, const std::string& select);

  int IsPlugin() const override { return 0; }
  void Picture(PanelPicture* picture) override;
  int FullScreen() override { return 0; }
  int Count() override { return static_cast<int>(entries_.size()); }
  int Current() override { return current_; }
  int Top() override { return top_; }
  void SetCursor(int current, int rows) override;
  void Reread() override;
  int EnterCurrent() override;
  int GoUp() override;
  std::string PromptPath() override;
  int OfferKey(const KeyEvent&) override { return 0; }
  void SetViewMode(int) override {}
  const char* KeyBarLabel(unsigned, int) override { return nullptr; }

 private:
  const CodePage* page_;
  std::string folder_;
  std::vector<DirEntry> entries_;
  int current_ = 0;
  int top_ = 0;
};

#endif  // TOLVANE_FARHOST_BROWSE_FS_PANEL_H
