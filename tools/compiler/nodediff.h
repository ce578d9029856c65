// Applying a nodediff, the weekly difference file that turns one nodelist
// into the next. Its first line repeats the first line of the list it
// applies to; then come commands, each on a line of its own: An adds the
// next n lines of the difference file, Cn copies n lines of the old list,
// Dn deletes n lines of the old list. The commands start at the old list's
// first line and use it up exactly; its closing ^Z is not a line.
#ifndef TOLVANE_TOOLS_COMPILER_NODEDIFF_H
#define TOLVANE_TOOLS_COMPILER_NODEDIFF_H

#include <cstddef>
#include <string>

namespace v7c {

// Applies the difference file diff[0..diff_size) to the list
// old_list[0..old_size). The list made has CR LF line ends and a closing
// ^Z, and its first line must give the CRC of the rest, which is checked.
// Returns 1 with the list in *result, or 0 with *result empty and *error
// saying what is wrong, with the difference file's line number where one
// line is at fault.
int ApplyNodediff(const char* diff, size_t diff_size, const char* old_list,
                  size_t old_size, std::string* result, std::string* error);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_NODEDIFF_H
