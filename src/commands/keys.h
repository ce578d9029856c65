// The keys the plugin takes over on its own panel: entering the entry under
// the cursor (keeping the cursor where the user expects it), leaving a
// search listing, the sysop search box (F7), the eight sort orders (Ctrl+F3
// to Ctrl+F10 and the sort menu on Ctrl+F12), and handing the current
// entry's address to the command line (Ctrl+Enter) or the clipboard
// (Ctrl+Ins, Ins of the keypad too). Every other key is left to the host.
#ifndef TOLVANE_COMMANDS_KEYS_H
#define TOLVANE_COMMANDS_KEYS_H

#include "host/far_api.h"
#include "panel/panel_instance.h"

// The longest address text (23 characters), the blank that Ctrl+Enter
// appends, and the terminator.
enum { kCurrentItemTextSize = 25 };
extern char CurrentItemText[kCurrentItemTextSize];

// How the commands move a panel: the navigation's SetDirectory (1 when the
// panel moved or entered / left a search, 0 when it refused and has said
// why). Set at load to PanelSetDirectory; a test may put its own routine
// here.
typedef int (*SetDirectoryRoutine)(PanelInstance* panel, const char* dir,
                                   int opMode);
extern SetDirectoryRoutine CommandSetDirectory;

// The host's ProcessKey for `panel`: 1 when the key was handled, 0 when the
// host is to handle it. Any modifier state other than none or Ctrl alone,
// and a null panel, give 0 at once.
int PanelProcessKey(PanelInstance* panel, int key, unsigned int controlState);

// Fills CurrentItemText with the current entry's text: its address
// (zone:net/node, with .point when the point is not 0) when the item
// carries an address block, else its description ("..") cut to 23
// characters; empty when the panel has no items.
void ReadCurrentItemText(PanelInstance* panel);

// Enter (with an empty command line) and Ctrl+PgDn: enters the current
// entry through SetDirectory. Returns 0 on ".." outside a search listing
// (the host goes up itself), else 1. After a move the cursor goes to the
// entry the user came from (a node left through its "0" entry, a search
// hit), else to item 0.
int RunEnterAction(PanelInstance* panel);

// Sets SortOrder to `order` (0..7), refreshes and redraws the panel and
// writes "SortOrder" at once.
void ChangeSortOrder(PanelInstance* panel, int order);

// The sort menu: eight items "%-17sCtrl-F%d", the current order selected
// and checked, left column 4 beside a panel at the screen's left edge, else
// the panel's right edge - 33. A choice changes the order; a cancel (or any
// index outside 0..7) changes nothing. Always 1.
int RunSortMenu(PanelInstance* panel);

#endif  // TOLVANE_COMMANDS_KEYS_H
