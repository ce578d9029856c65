// The host's standard functions as the panel uses them, each with a plain
// stand-in for a host whose table lacks it, so that a missing entry never
// becomes a call through a null pointer.
#ifndef TOLVANE_PANEL_HOST_CALLS_H
#define TOLVANE_PANEL_HOST_CALLS_H

#include <cstddef>

#include "host/far_api.h"

// Removes blanks at both ends of text, in place (host Trim).
void TrimText(char* text);

// Removes leading blanks of text, in place (host LTrim).
void TrimLeadingBlanks(char* text);

// Case-insensitive comparison by the host's OEM rules (host LStricmp);
// negative, 0 or positive.
int CompareTextNoCase(const char* a, const char* b);

// Sorts count records of `width` bytes with the host's qsort.
void SortRecords(void* base, size_t count, size_t width,
                 FarCompareFunc compare);

#endif  // TOLVANE_PANEL_HOST_CALLS_H
