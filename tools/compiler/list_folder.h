// A nodelist folder as the weekly job reads it: its full lists and
// difference files, each with the date on its first line, and the files of
// those names that cannot serve. The files are NODELIST.* and NODEDIFF.*
// in any letter case, plain or packed (input_file.h), with one dot only, so
// that temporary files and damaged lists kept aside are left alone; the
// extensions of a compiled set (.DAT .NDX .SDX .DTP .PDX .BSY), which a
// set compiled into the same folder as NODELIST has, are not lists.
#ifndef TOLVANE_TOOLS_COMPILER_LIST_FOLDER_H
#define TOLVANE_TOOLS_COMPILER_LIST_FOLDER_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "compiler/nodelist_line.h"

namespace v7c {

// A list or a difference file. A difference file's date is that of the
// list it applies to, which its first line repeats.
struct DatedText {
  std::string file;  // its name in the folder; empty for a list made
  std::string name;  // for messages: the file, or FILE/MEMBER when packed
  std::string text;
  ListDate date;
  uint32_t key;  // ListDateKey(date)
  int crc_ok;    // lists: the CRC matches, or the first line gives none (or 0)
};

// A file of the folder that cannot be read, or whose first line gives no
// date. Its name may still give a day: ".081" the day, ".Z81" (any letter
// for the packer) the day's last two digits.
struct UnusableFile {
  std::string file;
  int is_list;
  int name_day;     // the number that the name gives
  int name_digits;  // 3, 2, or 0 when the name gives no day
};

struct NodelistFolder {
  std::string dir;
  std::vector<DatedText> lists;  // by date, then by file name
  std::vector<DatedText> diffs;  // by date, then by file name
  std::vector<UnusableFile> unusable;
};

// Reads every list and difference file of dir into *folder. A file that
// cannot serve goes to unusable, and a list that fails its CRC is kept with
// crc_ok 0; each is warned about by name on err. Returns 0 (with a message)
// only when the folder itself cannot be read.
int ReadNodelistFolder(const std::string& dir, NodelistFolder* folder,
                       FILE* err);

// The first line of a text, without its line end.
std::string FirstLine(const std::string& text);

// 1 when the day that an unusable file's name gives can be `day`.
int NameGivesDay(const UnusableFile& file, int day);

// Removes the temporary lists that a job which was killed left in dir
// (NODELIST.<extension>.<number>.tmp). Only for a job that holds the
// folder's lock: no other job is then writing one.
void RemoveLeftTempLists(const std::string& dir);

// Renames dir/file to a name beside it that says it is damaged
// (file.damaged, or file.damaged2 and on when that is taken), so that
// nothing is lost when a sound list takes its place. Returns 1 with *kept
// the new name, or 0 with *error.
int KeepDamagedFile(const std::string& dir, const std::string& file,
                    std::string* kept, std::string* error);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_LIST_FOLDER_H
