// An entry's flags in words, for its description file: what each flag
// means in the plugin's language (the texts MCategoryOperation on of the
// message table), with the values a flag carries and the time flags in
// UTC and in local time as the panel shows them (UtcOffsetMinutes).
// Nothing is looked up anywhere; every text is cut to the room given.
#ifndef TOLVANE_COMMANDS_FLAG_WORDS_H
#define TOLVANE_COMMANDS_FLAG_WORDS_H

#include <cstddef>

#include "nodelist/flag_table.h"

// The label of a flag's line: the flag as written up to its first colon,
// a U prefix included ("IBN", "UZEC", "TXH"), cut to size - 1.
void FlagLabel(const FlagInfo& flag, char* label, size_t size);

// What the flag means: "category: meaning" for a standard flag ("internet:
// binkp on port 24556", "time: online 23:00-07:00 UTC (02:00-10:00
// local)"), "user flag: not a standard flag" for a user flag outside the
// lists and "not a standard flag" for any other flag. Cut to size - 1.
void DescribeFlag(const FlagInfo& flag, char* text, size_t size);

#endif  // TOLVANE_COMMANDS_FLAG_WORDS_H
