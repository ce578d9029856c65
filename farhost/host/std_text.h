// Text helpers behind the standard functions, free of host state so that
// tests can call them directly. All of them accept null and then do nothing
// (returning null or 0).
#ifndef TOLVANE_FARHOST_STD_TEXT_H
#define TOLVANE_FARHOST_STD_TEXT_H

#include <cstdint>

// Leading blanks and tabs, an optional sign, then decimal digits; the value
// saturates at the int range instead of overflowing. 0 for no digits.
int TextToInt(const char* text);

// Writes value in radix 2..36 (lower-case digits) into buffer and returns
// buffer. A negative value gets a '-' in radix 10; in any other radix its
// two's complement is written unsigned, 32 bits wide when `narrow` (itoa)
// and 64 bits wide otherwise (itoa64), as the host's itoa does. Any other
// radix writes "". The buffer must hold 66 bytes (34 when narrow).
char* IntToText(int64_t value, int narrow, char* buffer, int radix);

// Removes every double quote, in place.
void RemoveQuotes(char* text);

// Removes leading (TrimLeft) or trailing (TrimRight) blanks and tabs in
// place and returns text.
char* TrimLeft(char* text);
char* TrimRight(char* text);

// The standard function PointToName, as the host's 8-bit one cuts: after
// every '/' or '\', and after a ':' only where it is the second character
// of the part cut so far (a drive letter's, as in "C:x"). So "\2:5020"
// gives "5020" and "\12:5020" gives "12:5020".
char* NameInPath(const char* path);

// The last part of a directory path as the host finds it when it places its
// cursor after going up: a leading drive letter and its ':' are skipped,
// then the part after the last '/' or '\'. No other ':' counts, so
// "\2:5020" gives "2:5020".
const char* LastPartOfDir(const char* path);

// Appends the separator unless the path is empty or already ends in '/' or
// '\'. Returns 1 when the path ends in a separator afterwards (or is empty),
// 0 for null or when the path already fills capacity - 1 bytes.
int AppendSeparator(char* path, char separator, int capacity);

#endif  // TOLVANE_FARHOST_STD_TEXT_H
