// GetFindData and FreeFindData: one nodelist search per listing, its items
// collected by OnNodeMatch, sorted by the chosen key. The file set is
// closed after every listing but those of the host's file search
// (OPM_FIND), which leave it mapped for the next directory; the next other
// listing, GetOpenPluginInfo and ClosePlugin close it.
#include "panel/listing.h"

#include <cstring>

#include "config/settings.h"
#include "host/messages.h"
#include "nodelist/file_set.h"
#include "nodelist/text_fields.h"
#include "nodelist/v7_format.h"
#include "panel/compare.h"
#include "panel/host_calls.h"
#include "panel/item_memory.h"

ListingContext Listing;

namespace {

// Sets the address search of a browsing listing; 1 when a ".." item
// leads the list.
int PrepareAddressSearch(const PanelInstance* panel) {
  Nodelist.SearchKind = SearchByAddress;
  Nodelist.Flags |= OnePerNextPart;
  if (!Listing.Detailed && panel->Level != kLevelNet)
    Nodelist.Flags |= FixedFieldsOnly;
  Nodelist.KeyLength = static_cast<int16_t>(panel->Level);
  if (panel->Level != kLevelRoot) {
    SearchKey.Zone = panel->Address.Zone;
    SearchKey.Net = panel->Address.Net;
    SearchKey.Node = panel->Address.Node;
  }
  Listing.Leading = panel->Level != kLevelRoot ? 1 : 0;
  return panel->Level == kLevelZone || panel->Level == kLevelNet;
}

int PrepareSysopSearch(const PanelInstance* panel) {
  Nodelist.SearchKind = SearchBySysop;
  CopyClipped(SearchKey.SysopName, panel->SearchText,
              sizeof(SearchKey.SysopName));
  Listing.Leading = 1;
  return 1;
}

// Sets the search parameters of Nodelist for the listing; 1 when a ".."
// item leads the list.
int PrepareSearch(PanelInstance* panel) {
  std::memset(&SearchKey, 0, sizeof(SearchKey));
  Nodelist.Flags = OpenFlags;
  Nodelist.MatchData = &Listing;
  if (Listing.Searching) return PrepareSysopSearch(panel);
  return PrepareAddressSearch(panel);
}

void StartListing(PanelInstance* panel, PluginPanelItem** items, int* count,
                  int opMode) {
  std::memset(&Listing, 0, sizeof(Listing));
  Listing.Panel = panel;
  Listing.Items = items;
  Listing.Count = count;
  Listing.FindMode = (opMode & OPM_FIND) != 0;
  Listing.Searching = panel->SearchText[0] != '\0';
  Listing.Detailed =
      !Listing.FindMode || panel->Level >= kLevelNode || Listing.Searching;
}

// The ".." item: plain, named and described "..", no attributes.
int AddDotDotItem(PanelItemList* list) {
  if (AddPanelItem(list, 0) != kItemAdded) return list->Items != nullptr;
  PluginPanelItem* item = LastPanelItem(list);
  std::memcpy(item->FindData.cFileName, "..", 3);
  std::memcpy(item->Description, "..", 3);
  return 1;
}

void SortListing() {
  if (!Listing.Detailed || Listing.FindMode) return;
  if (SortOrder == 0 && !Listing.Searching) return;
  if (Listing.List.Count <= Listing.Leading) return;
  SortRecords(Listing.List.Items + Listing.Leading,
              static_cast<size_t>(Listing.List.Count - Listing.Leading),
              sizeof(PluginPanelItem), ComparePanelItems);
}

// Step of an abandoned or failed listing: nothing is handed out and the
// panel leaves search mode.
int FailListing() {
  CloseFileSet(&Nodelist);
  // Not kept for the next list: a failed listing gives its memory back.
  ReleaseListMemory(Listing.List.Items);
  Listing.List = PanelItemList{nullptr, 0};
  *Listing.Items = nullptr;
  *Listing.Count = 0;
  Listing.Panel->SearchText[0] = '\0';
  return 0;
}

// Runs the search after the resume point is saved. Plain data only: an
// abandoned search leaves this frame by the non-local exit.
int RunListing() {
  PanelInstance* panel = Listing.Panel;
  int dotDot = PrepareSearch(panel);
  if (dotDot && !AddDotDotItem(&Listing.List)) return FailListing();
  if (Listing.Detailed || (Listing.FindMode && panel->Level == kLevelNet))
    RefreshTimeOfDay();
  // A listing the user sees reads the files as they are now; the host's
  // file search keeps the set mapped from one directory to the next.
  if (!Listing.FindMode) CloseFileSet(&Nodelist);
  if (OpenAndSearch(&Nodelist) != kSearchDone) {
    ShowError(MNodelistError, LastErrorText);
    return FailListing();
  }
  if (!Listing.FindMode || Nodelist.Damaged) CloseFileSet(&Nodelist);
  if (Nodelist.Damaged) ShowError(MNodelistError, LastErrorText);
  SortListing();
  *Listing.Items = Listing.List.Items;
  *Listing.Count = Listing.List.Count;
  // The list is the host's now, freed by FreeFindData: no copy of it stays
  // behind that could free it a second time.
  Listing.List = PanelItemList{nullptr, 0};
  return 1;
}

int HandOverPendingList(PanelInstance* panel, PluginPanelItem** items,
                        int* count) {
  *items = panel->PendingItems;
  *count = panel->PendingCount;
  panel->PendingItems = nullptr;
  panel->PendingCount = 0;
  return 1;
}

}  // namespace

int PanelGetFindData(PanelInstance* panel, PluginPanelItem** items, int* count,
                     int opMode) {
  if (items == nullptr || count == nullptr) return 0;
  if (panel != nullptr && panel->PendingCount > 0)
    return HandOverPendingList(panel, items, count);
  *items = nullptr;
  *count = 0;
  if (panel == nullptr) return 0;
  StartListing(panel, items, count, opMode);
  if (SaveSearchContext(&Listing.Resume) != 0) return FailListing();
  return RunListing();
}

void PanelFreeFindData(PanelInstance* panel, PluginPanelItem* items, int) {
  if (panel == nullptr) return;
  PanelItemList list = {items, 0};
  FreePanelItems(&list);
}

void ReleasePendingList(PanelInstance* panel) {
  PanelItemList list = {panel->PendingItems, panel->PendingCount};
  FreePanelItems(&list);
  panel->PendingItems = nullptr;
  panel->PendingCount = 0;
}

int OnNodeMatch(NodeRecord* record, void* matchData) {
  ListingContext* listing = static_cast<ListingContext*>(matchData);
  PanelInstance* panel = listing->Panel;
  panel->Flags |= PF_FOUND;
  int browsing = !listing->Searching;
  int isPoint = (record->NodeFlags & v7::kFlagPoint) != 0;
  if (listing->FindMode && browsing && panel->Level >= kLevelNode && !isPoint)
    return 0;
  if (!FillPanelItem(panel, record, &listing->List, listing->Detailed))
    ResumeSearchContext(&listing->Resume);
  if (browsing && listing->FindMode && panel->Level == kLevelNet &&
      !FillPanelItem(panel, record, &listing->List, !listing->Detailed))
    ResumeSearchContext(&listing->Resume);
  return 0;
}
