// Decoding of nodelist entries: the V7 data record with its base-40 packed
// texts and, with V7+, the entry's record in the V7+ data file with its
// nodelist line. The index walk calls ReadNodeRecord once per matching
// entry; the result goes to the file set's OnMatch.
//
// Every offset and length read from the files is checked against the
// mapped sizes. A record that fails a check is not delivered: the file set
// is marked Damaged (ReportDamage) and the search goes on.
#ifndef TOLVANE_NODELIST_RECORD_READER_H
#define TOLVANE_NODELIST_RECORD_READER_H

#include <cstdint>

#include "nodelist/endpoints.h"
#include "nodelist/records.h"

// The longest unpacked text: 127 words of three characters, and a
// terminator.
enum { kMaxPackedWords = 127, kUnpackedTextSize = 3 * kMaxPackedWords + 1 };

// Decodes the record at byte `offset` of files->DataFile into a fresh
// NodeRecord on this frame (only the fixed fields with FixedFieldsOnly;
// with UsePlusData also its V7+ part from files->PlusFile), calls OnMatch
// with it and MatchData and returns OnMatch's result. Returns 0 without
// calling OnMatch when the record is damaged. A record without the V7+
// offset while UsePlusData is set is delivered as a plain V7 record with a
// warning in LastErrorText. OnMatch may leave by ResumeSearchContext: no
// object with a destructor lives in this frame.
int ReadNodeRecord(NodelistFiles* files, uint32_t offset);

// The V7+ nodelist line of the record being delivered, as it stands in the
// mapped V7+ data file, while OnMatch runs; null when the record has none
// (no V7+ part, no line, or FixedFieldsOnly). CurrentPlusPieces are the
// pieces of that line that the endpoint rules read, found while the line
// was parsed (Flags null without a line).
extern const char* CurrentPlusLine;
extern LinePieces CurrentPlusPieces;

// Unpacks packedLength / 2 little-endian words (an odd last byte is
// ignored) into three characters each, followed by a terminator; output
// needs room for 3 * (packedLength / 2) + 1 characters. Alphabet entry 39
// gives a zero byte; a word above 63999 gives a blank for its first
// character. Returns the number of characters written before the
// terminator.
int UnpackText(int packedLength, const unsigned char* packedWords,
               char* output);

// Fills Keyword, DisplaySystem, DisplayLocation, DisplaySysop and FlagsText
// from a zero-terminated V7+ nodelist line, each cut to its field, and,
// unless record->NodeFlags has the continuous-mail bit, OnlineStart and
// OnlineEnd from the first T flag after the first U flag. An invalid time
// letter leaves the hours as they were and writes "Invalid time flag '%s'"
// as a warning (ReportWarning). FlagsText is cleared first; the other
// fields are written only when the line reaches them. With pieces, also
// notes where the system name, the phone and the flags lie in the line
// (as FindLinePieces does).
void ParsePlusLine(NodeRecord* record, const char* line,
                   LinePieces* pieces = nullptr);

// Minutes after midnight for a time letter: A..X the whole hours 0..23,
// a..x half an hour later. Any other character gives -1.
int TimeLetterToMinutes(char letter);

#endif  // TOLVANE_NODELIST_RECORD_READER_H
