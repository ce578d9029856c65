// The two in-place filters that bring node names into shape for display,
// and the pointer to the one that the settings choose. CapitaliseWords lives
// with the nodelist's text routines, which build sysop keys with it too.
#ifndef TOLVANE_PANEL_NAME_FILTERS_H
#define TOLVANE_PANEL_NAME_FILTERS_H

#include "nodelist/text_fields.h"

// Each "_" becomes a blank; nothing else changes.
void UnderscoresToSpaces(char* text);

typedef void (*NameFilter)(char* text);

// UnderscoresToSpaces with V7+ data, CapitaliseWords without (set by
// ApplySettings).
extern NameFilter NameCaseFilter;

#endif  // TOLVANE_PANEL_NAME_FILTERS_H
