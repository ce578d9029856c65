// The host's model of one open plugin panel: the plugin handle, the host's
// own copy of the items, the cursor, the view and sort mode and what
// GetOpenPluginInfo said about the panel. Control commands 1, 3, 5 and 6
// (panel_control.cpp) and the host's own jobs (host_panels.cpp) work on it.
//
// Items are copied right after GetFindData, after which FreeFindData is
// called at once: names, descriptions, owner, custom column texts and,
// with PPIF_USERDATA, the UserData block (its first 32-bit word is its
// size). Items[] points into the copies and stays valid until the next
// refresh of the panel.
#ifndef TOLVANE_FARHOST_PANEL_MODEL_H
#define TOLVANE_FARHOST_PANEL_MODEL_H

#include <string>
#include <vector>

#include "host/far_api.h"

// Bounds on what the host takes from a plugin: longer texts are cut, larger
// blocks and counts are refused (the fault is recorded).
enum : size_t {
  kMaxItemText = 4096,          // bytes of one description / column text
  kMaxUserDataBlock = 0x10000,  // bytes of one UserData block
};
enum { kMaxCustomColumns = 10, kMaxListedItems = 1000000 };

// One item as the host keeps it; Item's pointers are bound to its texts.
// The description, the owner and the column texts lie one after another in
// Texts, each ended by a NUL (an absent description or owner takes no
// room), so that a listing of thousands of items makes a few blocks per
// item rather than one per text.
struct HostItemCopy {
  PluginPanelItem Item;
  int HasDescription, HasOwner;
  int ColumnCount;
  std::string Texts;
  std::vector<char*> ColumnPointers;
  std::vector<unsigned char> UserData;  // with PPIF_USERDATA
};

// The columns of the panel's current view mode.
struct PanelView {
  std::string ColumnTypes;          // "C0,Z,C1"
  std::string ColumnWidths;         // "6,15,0"
  std::vector<std::string> Titles;  // one per column; empty: none given
};

struct PanelModel {
  HANDLE Plugin = nullptr;
  int Side = 0;  // 0 left, 1 right
  std::vector<HostItemCopy> Copies;
  std::vector<PluginPanelItem> Items;  // bound to Copies
  int CurrentItem = 0;
  int TopItem = 0;
  int ViewMode = 2;        // the host's own default, "medium"
  int SortMode = SM_NAME;  // SM_*
  int SortReverse = 0;
  std::string CurDir;  // "" when the plugin gives none
  std::string Title;
  std::string Format;
  DWORD InfoFlags = 0;  // OPIF_*
  PanelView View;
  int Refreshing = 0;     // inside RefreshPanel (no nested refresh)
  int FindDataCalls = 0;  // GetFindData calls made for this panel
};

// Copies count items from the plugin's array into *copies (replacing what
// it held) and binds each copy's Item to its own strings and block (moving
// or copying a HostItemCopy afterwards needs BindItems again). Texts are cut at
// kMaxItemText bytes; a UserData block whose size word is below 4 or above
// kMaxUserDataBlock is not copied (the item keeps PPIF_USERDATA cleared and a
// fault is added to *faults). Columns beyond kMaxCustomColumns are dropped.
void CopyPluginItems(const PluginPanelItem* items, int count,
                     std::vector<HostItemCopy>* copies,
                     std::vector<std::string>* faults);

// Points every copy's item at its own strings and fills model->Items.
void BindItems(PanelModel* model);

// The index of the first item whose file name equals name (byte for
// byte), or -1.
int FindItemByName(const PanelModel& model, const std::string& name);

// Keeps CurrentItem and TopItem within the list (0 for an empty list) and
// the cursor on the screen page that starts at TopItem.
void ClampCursor(PanelModel* model, int pageHeight);

// The number of item rows a panel shows: the panel's height less its
// frame, column titles and status line.
enum { kPanelPageRows = 17 };

#endif  // TOLVANE_FARHOST_PANEL_MODEL_H
