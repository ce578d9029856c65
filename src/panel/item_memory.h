// The memory behind item lists. Each list lives in one reservation of
// address space (kItemListReservation bytes from the list's first item),
// behind a small header of its own that records how far the list has
// grown at either end. A freed list's reservation is kept back for the
// next list, which then finds it zero-filled as fresh memory: only what
// the freed list used is cleared, and nothing is reserved or committed
// again. The host's file search lists hundreds of thousands of small
// directories one after the other, each freed before the next is made.
// Nothing here depends on the sizes of items or text areas.
#ifndef TOLVANE_PANEL_ITEM_MEMORY_H
#define TOLVANE_PANEL_ITEM_MEMORY_H

#include <cstddef>

// Space for a new list: the kept reservation, or a fresh one. Returns the
// address of the list's first item, or null when address space cannot be
// had.
void* TakeListMemory();

// Commits `bytes` at `offset` (counted from the first item) for an item,
// which grows the list up from its start, or for a text area, which grows
// it down from its end. Returns 0 when the system refuses.
int CommitListItem(void* items, size_t offset, size_t bytes);
int CommitListArea(void* items, size_t offset, size_t bytes);

// A list is freed: its reservation is kept back for the next list, or
// released when one is kept already. Null does nothing.
void GiveBackListMemory(void* items);

// Releases a list's reservation at once (a list that failed).
void ReleaseListMemory(void* items);

// Releases the reservation kept back, if any.
void ReleaseKeptListMemory();

#endif  // TOLVANE_PANEL_ITEM_MEMORY_H
