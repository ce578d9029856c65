// Nodelists and difference files for the tools' tests: a list's lines, a
// list with a correct CRC, a difference file made the way the publishers'
// tools make one, packing with the zip program, and the compiler program
// run from its command words.
#ifndef TOLVANE_TOOLS_TEST_LISTS_H
#define TOLVANE_TOOLS_TEST_LISTS_H

#include <string>
#include <vector>

namespace v7test {

// The lines of a list up to its ^Z, without their CR LF.
std::vector<std::string> ListLines(const std::string& text);

// A list: `head` + " : " + the CRC of the rest as its first line, then the
// body; CR LF line ends and a closing ^Z.
std::string MakeList(const std::string& head,
                     const std::vector<std::string>& body);

// A difference file that turns old_list into new_list: the old list's
// first line, then Dn, An (with its lines) and Cn commands along a longest
// common run of lines, and a closing ^Z.
std::string MakeNodediff(const std::string& old_list,
                         const std::string& new_list);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);

// Packs text into the ZIP archive `archive` as the one file `member`, with
// the zip program. Returns 1 when zip succeeded.
int ZipText(const std::string& archive, const std::string& member,
            const std::string& text);

// The result of running the compiler program.
struct ProgramRun {
  int status;  // 2 for a command-line error
  std::string out, err;
};

// Runs tolvane-compile with these words after the program name.
ProgramRun RunCompilerWords(const std::vector<std::string>& words);

}  // namespace v7test

#endif  // TOLVANE_TOOLS_TEST_LISTS_H
