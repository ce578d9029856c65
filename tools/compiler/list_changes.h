// What changed from one text nodelist to another: entries added, removed,
// gone Down and changed, matched by address, with the fields that changed
// (old and new), the flags as sets (added and removed) and the internet
// endpoints gained and lost (by the rules of nodelist/endpoints.h), in
// address order. A removed entry whose sysop and system name appear at an
// added address (the same names, letter case and '_' for blanks aside)
// is said to have moved there. Both lists are read as the compiler reads
// them (entry_table.h), Down entries kept.
#ifndef TOLVANE_TOOLS_COMPILER_LIST_CHANGES_H
#define TOLVANE_TOOLS_COMPILER_LIST_CHANGES_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "compiler/entry_table.h"
#include "nodelist/endpoints.h"

namespace v7c {

enum class ChangeKind : uint8_t { kAdded, kRemoved, kDown, kChanged };

struct FieldChange {
  const char* field;  // "keyword", "system", "location", "sysop", "phone",
                      // "speed", "hub"
  std::string old_text, new_text;
};

struct EntryChange {
  uint16_t zone, net, node, point;
  ChangeKind kind;
  // The entry's own fields: the new ones, the old ones when removed.
  std::string keyword, system, location, sysop;
  std::vector<FieldChange> fields;
  std::vector<std::string> flags_added, flags_removed;
  std::vector<Endpoint> endpoints_gained, endpoints_lost;
  std::string moved_to, moved_from;  // the other address of a move
};

// One list as the report names it.
struct ListSide {
  std::string name;
  int dated;  // the first line gives a date
  ListDate date;
  uint32_t entries;
};

struct ChangeReport {
  ListSide old_list, new_list;
  std::vector<EntryChange> changes;  // in address order
  uint32_t added, removed, down, changed, moved;
};

// Compares the entries of two lists. Malformed lines go to the reporter.
// Returns 1, or 0 when a list holds no entry at all (the report is then
// left empty).
int CompareLists(const SourceText& old_list, const SourceText& new_list,
                 ChangeReport* report, Reporter* reporter);

// The report as text: a heading, the changes grouped by zone and by net
// with one block per entry, and a closing line with the counts.
void WriteChangesText(const ChangeReport& report, FILE* out);

// The report as one JSON object with the keys old, new (name, year, day,
// entries), summary (the counts) and changes (one object per entry).
// Bytes above 127 are written as the characters U+0080..U+00FF of the same
// value, so no byte of a list is lost.
void WriteChangesJson(const ChangeReport& report, FILE* out);

// Reads two lists (plain or packed), compares them and writes the report
// in text or JSON to out. Returns 0 with or without changes, 1 when a list
// cannot be read or holds no entry (said on err).
int RunChanges(const std::string& old_path, const std::string& new_path,
               int json, FILE* out, FILE* err);

// Writes the report from one list to another as text into the file at
// path (through a temporary name). Returns 1, or 0 with the reason on err.
int WriteChangesFile(const std::string& path, const SourceText& old_list,
                     const SourceText& new_list, FILE* err);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_LIST_CHANGES_H
