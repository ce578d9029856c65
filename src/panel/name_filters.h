// The two in-place filters that bring node names into shape for display,
// and the pointer to the one that the settings choose.
#ifndef TOLVANE_PANEL_NAME_FILTERS_H
#define TOLVANE_PANEL_NAME_FILTERS_H

// Each "_" becomes a blank; nothing else changes.
void UnderscoresToSpaces(char* text);

// Within each run of ASCII letters the first becomes upper case and the
// rest lower case; any other byte (bytes from 0x80 up included) ends the run
// and stays as it is. "JOHN O'BRIEN-SMITH" gives "John O'Brien-Smith".
void CapitaliseWords(char* text);

typedef void (*NameFilter)(char* text);

// UnderscoresToSpaces with V7+ data, CapitaliseWords without (set by
// ApplySettings).
extern NameFilter NameCaseFilter;

#endif  // TOLVANE_PANEL_NAME_FILTERS_H
