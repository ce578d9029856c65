// The text nodelist, one line at a time: the CRC-16 of the list, addresses
// written as text, and the fields of an entry line. Used by the compiler,
// the generator and the line fuzz target; nothing here allocates.
#ifndef TOLVANE_TOOLS_COMPILER_NODELIST_LINE_H
#define TOLVANE_TOOLS_COMPILER_NODELIST_LINE_H

#include <cstddef>
#include <cstdint>

namespace v7c {

// Continues a nodelist CRC-16 (polynomial 0x1021, MSB first, the XMODEM
// variant) over `length` bytes; start a list with crc 0.
uint16_t UpdateCrc16(uint16_t crc, const char* data, size_t length);

// Reads a decimal number of 1 to 5 digits that fits 16 bits, covering the
// whole of text[0..length). Returns 1 and sets *value, or 0.
int ParseNumber16(const char* text, size_t length, uint16_t* value);

// Reads "zone:net/node" or "zone:net/node.point" covering the whole text.
// Returns 1 and fills the four parts (point 0 when absent), or 0.
int ParseFtnAddress(const char* text, size_t length, uint16_t* zone,
                    uint16_t* net, uint16_t* node, uint16_t* point);

// Where the CRC line of a list stands: the number that the first line
// claims, and the CRC of everything after the first line's end up to the
// closing ^Z (or the end of the text).
struct ListCrc {
  int claimed_present;  // 1 when the first line ends in ": <number>"
  uint32_t claimed;
  uint16_t computed;
};

// Computes ListCrc for a whole list held in text[0..length).
ListCrc CheckListCrc(const char* text, size_t length);

// The date that the first line of a list gives, as in ";A FidoNet Nodelist
// for Friday, January 2, 2009 -- Day number 002 : 56661": the year and the
// day of the year.
struct ListDate {
  uint16_t year;
  uint16_t day;
};

// Reads the day number (1 to 366, after "Day number") and the year (the
// last four-digit number before it) from the first line of text[0..length).
// Returns 1, or 0 when the first line gives either not.
int ParseListDate(const char* text, size_t length, ListDate* date);

// Orders list dates across the turn of a year: day 361 of 2008 comes before
// day 002 of 2009.
inline uint32_t ListDateKey(const ListDate& date) {
  return date.year * 1000u + date.day;
}

// How a line of a list ended.
enum class LineEnd : uint8_t {
  kCrLf,  // CR LF, as nodelists are written
  kLf,    // LF alone
  kNone,  // the last line, without a line end
};

// One line of a list: its bytes without the line end (a CR before the LF
// is not part of it), its number (1 for the first line) and its end.
struct ListLine {
  const char* text;
  size_t length;
  uint32_t number;
  LineEnd end;
};

// Walks the lines of a list text up to its first ^Z, or to its end when it
// has none; nothing is copied.
struct ListLines {
  const char* text;
  size_t end;  // the ^Z, or the size of the text
  size_t pos;
  uint32_t number;
};

void StartListLines(const char* text, size_t size, ListLines* lines);

// Fills *line with the next line and returns 1, or returns 0 after the
// last one.
int NextListLine(ListLines* lines, ListLine* line);

// The kind of an entry line, from its first field (compared without case).
enum class LineKind : uint8_t {
  kNode,  // empty keyword: an ordinary node, or a point after Boss
  kZone,
  kRegion,
  kHost,
  kHub,
  kPvt,
  kHold,
  kDown,
  kBoss,   // pointlists: Boss,z:n/f starts the points of that node
  kPoint,  // Point,n: a point of the current Boss
};

// A field of a line: its first byte and its length, both within the line.
struct FieldSpan {
  uint16_t offset;
  uint16_t length;
};

// Lines longer than this are refused (the V7+ line length is 16 bits and
// counts the terminating zero).
const size_t kMaxLineLength = 65000;

// One entry line taken apart. For kBoss only the boss_* fields are set.
struct ParsedLine {
  LineKind kind;
  uint16_t number;
  uint16_t boss_zone, boss_net, boss_node;
  FieldSpan system, location, sysop, phone, speed, flags;
  uint32_t speed_value;  // bits per second, saturated at 0xFFFFFFFF
  int speed_ok;          // 0 when the speed field is not a decimal number
  int has_cm;            // 1 when one of the flags is exactly CM
};

// Parses an entry line (no CR or LF; comments are the caller's business).
// Returns 1 and fills *out, or 0 with *why set to a short reason text.
int ParseNodelistLine(const char* line, size_t length, ParsedLine* out,
                      const char** why);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_NODELIST_LINE_H
