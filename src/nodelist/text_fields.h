// Small text routines shared by the whole plugin: addresses as text,
// leading decimal numbers, names capitalised word by word, and copying a
// text into a fixed-size field.
#ifndef TOLVANE_NODELIST_TEXT_FIELDS_H
#define TOLVANE_NODELIST_TEXT_FIELDS_H

#include <cstddef>
#include <cstdint>

#include "nodelist/records.h"

// Room for the longest address text, "65535:65535/65535.65535", and its
// terminator.
enum { kAddressTextSize = 24 };

// Writes `address` into output (kAddressTextSize bytes) to the given depth,
// the number of address bytes after the zone to show: below 2 the zone
// alone, 2 zone:net, 4 zone:net/node, 6 or more the full address (ending
// in .0 for point 0). A non-zero point always gives the full address.
void FormatAddress(FtnAddress address, char* output, uint16_t depth);

// Writes value in decimal, one to five digits and no terminator, at `at`
// and returns the position after the last digit.
char* WriteDecimal(char* at, uint16_t value);

// Reads the ASCII digits at the start of text as a decimal number (32 bits,
// wrapping without a check) and stops at the first other character; 0 when
// text starts with none. No sign, no blanks skipped. The second form also
// stores the position of the first non-digit in *end when end is not null.
uint32_t ParseDecimal(const char* text);
uint32_t ParseDecimal(const char* text, const char** end);

// Within each run of ASCII letters the first becomes upper case and the
// rest lower case; any other byte (bytes from 0x80 up included) ends the run
// and stays as it is. "JOHN O'BRIEN-SMITH" gives "John O'Brien-Smith". In
// place.
void CapitaliseWords(char* text);

// Copies source until its terminator has been copied or `size` characters
// have been; in the second case the last of them becomes the terminator.
// The result has at most size - 1 characters and is terminated; a size of
// 0 writes nothing. Reads at most `size` characters of source.
void CopyClipped(char* destination, const char* source, size_t size);

#endif  // TOLVANE_NODELIST_TEXT_FIELDS_H
