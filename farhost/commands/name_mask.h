// File-name masks as the host's file search takes them: '*' stands for any
// run of characters (none included), '?' for exactly one, every other
// character for itself without regard to case by the rules of the OEM code
// page. A mask may list several masks separated by commas; a name matches
// when it matches one of them. As in the host, a mask that ends in ".*"
// also matches a name without that extension ("*.*" matches "abc").
#ifndef TOLVANE_FARHOST_NAME_MASK_H
#define TOLVANE_FARHOST_NAME_MASK_H

#include "farhost/host/oem_case.h"

// 1 when name matches mask. Runs in time bounded by the product of the
// two lengths (no backtracking blow-up). An empty mask matches nothing.
int MaskMatches(const CaseTable* cases, const char* mask, const char* name);

#endif  // TOLVANE_FARHOST_NAME_MASK_H
