// The listing: turns a panel's location, or its sysop search, into the
// panel items the host displays. One item per zone at the root, per net in
// a zone, per node in a net, the node and its points in a node, or one per
// search hit; in the host's find mode plain directory items where the
// host's file search must descend.
//
// A listing runs one nodelist search (OpenAndSearch), whose per-record
// routine OnNodeMatch appends items to a PanelItemList. A memory failure
// abandons the search through the resume point saved in the
// ListingContext, so OnNodeMatch, FillPanelItem and AddPanelItem hold
// plain data only.
#ifndef TOLVANE_PANEL_LISTING_H
#define TOLVANE_PANEL_LISTING_H

#include <cstdint>

#include "host/far_api.h"
#include "nodelist/index_search.h"
#include "nodelist/records.h"
#include "panel/item_list.h"
#include "panel/panel_instance.h"

// What GetFindData hands to OnNodeMatch through Nodelist.MatchData.
struct ListingContext {
  PanelInstance* Panel;
  PluginPanelItem** Items;  // where the finished list goes: the host's
  int* Count;               // out-parameters or the panel's pending list
  PanelItemList List;       // the list being built
  int Detailed;             // items carry all columns and ItemUserData
  int Searching;            // the panel shows sysop search hits
  int FindMode;             // the host's OPM_FIND bit of the call
  int Leading;              // items ahead of the sort ("..", the node)
  SearchContext Resume;     // where an abandoned search continues
};

extern ListingContext Listing;  // the one running listing

// Minutes to add to a UTC time of day for local time; refreshed by every
// listing that builds detailed items.
extern int32_t UtcOffsetMinutes;
// Local time of day in minutes; refreshed only while OptionMarkUnavailable
// is set.
extern int32_t NowMinutes;

// The host's GetFindData, also the trial listing of SetDirectory. A
// pending list is handed over as it is (and the panel forgets it).
// Otherwise lists the panel's location or search and returns 1 with the
// list in *items and *count; damage met in the nodelist is reported once
// (message 7 and LastErrorText) and the entries read are kept. Returns 0
// with (null, 0) when the files cannot be opened (message 7 with
// LastErrorText) or memory fails (message 6); the search text is then
// cleared. A null panel gives 0 without a message.
int PanelGetFindData(PanelInstance* panel, PluginPanelItem** items, int* count,
                     int opMode);

// The host's FreeFindData: releases a list handed out by GetFindData.
void PanelFreeFindData(PanelInstance* panel, PluginPanelItem* items, int count);

// Releases the panel's pending list, if any, and forgets it.
void ReleasePendingList(PanelInstance* panel);

// The per-record routine, bound once as Nodelist.OnMatch; matchData is the
// ListingContext. Marks the panel PF_FOUND and appends the record's item
// (twice in find mode at a net: a directory item, then a detailed one).
// Returns 0; on a memory failure it resumes at listing->Resume.
int OnNodeMatch(NodeRecord* record, void* matchData);

// Appends one item for record to list: a plain directory item, or with
// `detailed` the full columns, owner, links, ItemUserData and the hidden
// mark for a node without a phone or not available now (by Options).
// Returns 1 when filled or left out because the list is full, 0 on a
// memory failure (the list is then released).
int FillPanelItem(PanelInstance* panel, const NodeRecord* record,
                  PanelItemList* list, int detailed);

// FormatAddress of the record's address, whose point is HubOrPoint for a
// point record and 0 otherwise; text holds kAddressTextSize bytes.
void FormatRecordAddress(const NodeRecord* record, char* text, uint16_t depth);

// Reads the zone's offset into UtcOffsetMinutes (kept when the system
// cannot tell) and, while OptionMarkUnavailable is set, the local time of
// day into NowMinutes.
void RefreshTimeOfDay();

#endif  // TOLVANE_PANEL_LISTING_H
