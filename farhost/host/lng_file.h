// The host's language files (*.lng): parsing one file's bytes and choosing
// the file for a language among those beside the plugin, as the host does.
#ifndef TOLVANE_FARHOST_LNG_FILE_H
#define TOLVANE_FARHOST_LNG_FILE_H

#include <cstddef>
#include <string>
#include <vector>

// Longest line the host reads; the rest of a longer line is dropped.
enum { kLngMaxLine = 1023 };

struct LngFile {
  int HasHeader;                      // a ".Language=" line was found
  std::string LanguageName;           // the name before the first comma
  std::string Description;            // the text after it
  std::vector<std::string> Messages;  // message n is the n-th quoted line
  int LongLines;                      // lines cut to kLngMaxLine
};

// Parses the bytes of a language file. Lines end at LF (a CR before it is a
// trailing blank). The header is the first line that starts with
// ".Language=" (letter case ignored). Every line whose first byte is a
// double quote is one message: trailing blanks (space, tab, CR) are removed,
// the escapes \n \r \t \b \\ \" and a doubled "" are decoded (any other \x
// stays as it is), then one closing quote at the end is removed. A message
// ends at an embedded NUL. Every other line is ignored. Never fails; any
// byte sequence gives some result.
void ParseLngBuffer(const unsigned char* data, size_t size, LngFile* out);

// One language file found beside a plugin.
struct LngCandidate {
  std::string Path;
  std::string LanguageName;
};

// The index of the first file whose language name equals `language`
// without regard to ASCII case; -1 when there is none.
int FindLngFile(const std::vector<LngCandidate>& files,
                const std::string& language);

// The index of the file the host takes for a language: the first whose name
// equals `language` without regard to ASCII case, else the first named
// "English", else the last one. -1 when the list is empty.
int ChooseLngFile(const std::vector<LngCandidate>& files,
                  const std::string& language);

// Lists the *.lng files of a folder (extension case ignored), sorted by file
// name without regard to case, with the language name of each header. Files
// that cannot be read are left out.
std::vector<LngCandidate> ScanLngFolder(const std::string& folder);

// Reads and parses one file. Returns 0 when it cannot be read.
int LoadLngFile(const std::string& path, LngFile* out);

#endif  // TOLVANE_FARHOST_LNG_FILE_H
