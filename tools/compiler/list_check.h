// The check of a text nodelist or of a segment of one (--check): every
// line against the nodelist's rules, each problem reported with its line
// number and one of three severities. Nothing is written but the report.
//
// Errors: a line that is not keyword,number,name,location,sysop,phone,
// speed[,flags] (too few fields, an unknown keyword, a number that is not
// one or is out of range), bytes that are no text, an address given twice,
// a CRC on the first line that the text does not give, an empty file.
// Warnings: a line longer than 157 characters, blanks at a line's end, a
// line end other than CR LF, an empty line, no ^Z at the end, a speed that
// is not a number, a node (not Pvt or Down) that lists neither a phone nor
// an internet address, INA without a protocol flag, a protocol flag that
// gets no host, a port out of range, a time or mail-hour flag that cannot
// be read, a user flag before U. Notes: a flag outside the standard lists,
// a first line without a CRC (as in a segment).
#ifndef TOLVANE_TOOLS_COMPILER_LIST_CHECK_H
#define TOLVANE_TOOLS_COMPILER_LIST_CHECK_H

#include <cstdint>
#include <cstdio>
#include <string>

#include "compiler/output_set.h"

namespace v7c {

struct CheckCounts {
  uint32_t errors;
  uint32_t warnings;
  uint32_t notes;
};

// The most problems printed; the rest are counted.
const uint32_t kMaxShownProblems = 1000;

// Checks text, the whole of a list named `name`, and prints one line per
// problem to out: "NAME:LINE: error: what" (a problem of the whole file
// has no line number). Returns the counts.
CheckCounts CheckListText(const std::string& name, const std::string& text,
                          FILE* out);

// The --check mode for args.inputs[0], plain or packed: the problems and a
// closing line with the counts to out. Returns 0 when nothing above a note
// was found, 1 otherwise, 2 when the file cannot be read (said on err).
int RunCheck(const CompilerArgs& args, FILE* out, FILE* err);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_LIST_CHECK_H
