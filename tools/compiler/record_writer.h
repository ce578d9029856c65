// The data records: the V7 data file record (fixed part, phone, password,
// base-40 packed texts) and the V7+ record with its link blocks and line.
#ifndef TOLVANE_TOOLS_COMPILER_RECORD_WRITER_H
#define TOLVANE_TOOLS_COMPILER_RECORD_WRITER_H

#include <cstddef>
#include <cstdint>

#include "compiler/byte_sink.h"
#include "compiler/entry_table.h"

namespace v7c {

// Most characters a packed text can hold: 127 words of three (the packed
// length is one byte and counts whole words).
const size_t kMaxPackedChars = 381;

// Packs text[0..length) (length a multiple of 3, characters already mapped
// to the alphabet) into little-endian words at out. Returns bytes written.
size_t PackBase40(const char* text, size_t length, uint8_t* out);

// Maps a character to the packing alphabet: letters to upper case,
// underscores and every character outside the alphabet to a blank.
char AlphabetChar(char c);

// Everything of one data record that does not come from the line itself.
struct RecordExtras {
  uint16_t call_cost;
  const char* password;  // at most kMaxPassword bytes
  size_t password_length;
  int plus;  // append the DTP offset as 8 hex digits
  uint32_t dtp_offset;
};

// Size in bytes of the data record of e; the same as WriteDataRecord adds.
size_t DataRecordSize(const Entry& e, const RecordExtras& extras);

// Adds the data record of e to the sink. The three texts are cut, longest
// first, when together they would not fit the packed text.
void WriteDataRecord(const Entry& e, const RecordExtras& extras, ByteSink* out);

// The link fields of one V7+ record (DAT offsets, v7::kNoLink for none).
struct PlusLinks {
  uint16_t region, hub;
  uint32_t next_sysop, next_phone, next_sibling;
  uint8_t sysop_seq, phone_seq;
  uint16_t downlinks;
  uint32_t first_downlink;
};

// Writes the V7+ file header: control part, link block sizes, and the
// top-level link block (count of top-level systems and the first of them).
void WritePlusHeader(uint16_t top_count, uint32_t first_top, ByteSink* out);

// Size in bytes of the V7+ record of e.
size_t PlusRecordSize(const Entry& e);

// Adds the V7+ record of e: common link block, the further block unless
// e is a point, the line length with its zero and the line.
void WritePlusRecord(const Entry& e, const PlusLinks& links, ByteSink* out);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_RECORD_WRITER_H
