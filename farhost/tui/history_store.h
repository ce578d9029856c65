// The histories of the host's edit fields and input boxes, one list per
// history name, most recent first, at most kMaxHistoryEntries each. Texts
// are the plugin's OEM bytes. The lists live in memory; Load and Save
// exchange them with a file whose path the caller chooses.
//
// File format, one text file: the line "farhost-history 1", then one line
// per entry, "name<TAB>text", each list's entries most recent first; a
// backslash, tab, CR or LF inside a name or text is written as \\, \t, \r
// or \n.
#ifndef TOLVANE_FARHOST_TUI_HISTORY_STORE_H
#define TOLVANE_FARHOST_TUI_HISTORY_STORE_H

#include <map>
#include <string>
#include <vector>

enum {
  kMaxHistoryEntries = 20,
  kMaxHistoryText = 511,    // a dialog field's text without its NUL
  kMaxHistoryNames = 1000,  // lists beyond this many are not loaded
};

class HistoryStore {
 public:
  // The list of a name, most recent first; empty for an unknown name.
  const std::vector<std::string>& Entries(const std::string& name) const;

  // The most recent entry of a name, or "".
  std::string Last(const std::string& name) const;

  // Puts text first in the name's list, removing an equal older entry and
  // the entries beyond the limit. Empty texts and names are not kept; a
  // text is cut to kMaxHistoryText bytes.
  void Add(const std::string& name, const std::string& text);

  // Replaces the lists with those of the file. A missing file gives empty
  // lists and 1. Returns 0 (lists empty) when the file cannot be read or is
  // not a history file; lines that cannot be understood are skipped.
  int Load(const std::string& path);

  // Writes the lists to a new file beside path and renames it over path, so
  // that the old file stays whole if writing fails. Returns 1 on success.
  int Save(const std::string& path) const;

 private:
  std::map<std::string, std::vector<std::string>> lists_;
};

// The escaped form of a text for one line of the file, and back. Unescape
// returns 0 for a malformed escape.
std::string EscapeHistoryText(const std::string& text);
int UnescapeHistoryText(const std::string& text, std::string* out);

#endif  // TOLVANE_FARHOST_TUI_HISTORY_STORE_H
