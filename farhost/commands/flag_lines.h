// An entry's flags in words as its description file gives them: the flags
// line (the seventh line) lists the flags, and the file ends with one line
// per flag in the same order, labelled with the flag and valued with what
// it means, "category: meaning" ("internet: binkp on port 24556"), or the
// meaning alone for a flag outside the standard lists. The texts are the
// plugin's, in its language and OEM code page.
#ifndef TOLVANE_FARHOST_FLAG_LINES_H
#define TOLVANE_FARHOST_FLAG_LINES_H

#include <string>
#include <vector>

struct FlagLine {
  std::string Flag;      // as written up to its first colon ("IBN", "UZEC")
  std::string Value;     // after the first colon
  int HasValue = 0;      // the flag has a colon
  std::string Category;  // empty for a flag outside the standard lists
  std::string Meaning;
};

// The flag lines of a description file (CR LF or LF line ends), one per
// non-empty flag of its flags line. Empty when the file has fewer lines
// than the flags need or a flag line is not in the labelled form.
std::vector<FlagLine> ParseFlagLines(const std::string& file);

#endif  // TOLVANE_FARHOST_FLAG_LINES_H
