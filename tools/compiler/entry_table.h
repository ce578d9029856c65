// The entries of a nodelist and its pointlists as the compiler holds them
// between reading and writing: one compact record per compiled system, its
// place in the hierarchy and the spans of its line. Also the reporter that
// carries warnings to the caller.
#ifndef TOLVANE_TOOLS_COMPILER_ENTRY_TABLE_H
#define TOLVANE_TOOLS_COMPILER_ENTRY_TABLE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "compiler/nodelist_line.h"

namespace v7c {

const uint32_t kNoEntry = 0xFFFFFFFFu;

// Receives each warning as one line of text (without a line end); counts
// them. emit may be null to drop the texts.
struct Reporter {
  void (*emit)(void* context, const char* text);
  void* context;
  uint32_t warnings;
};

// Formats a warning and hands it to the reporter; texts are cut at 1 KiB.
void Warn(Reporter* reporter, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// One input text: a nodelist or a pointlist in the Boss format, with the
// name used in warnings. The text must stay alive while its entries are used.
struct SourceText {
  std::string name;
  std::string text;
  int is_pointlist;
};

// One compiled system. Texts are spans of its raw line.
struct Entry {
  const char* line;  // the raw line, without CR/LF
  uint32_t line_length;
  uint32_t line_number;
  uint32_t parent;  // the coordinator, hub or boss entry; kNoEntry
  FieldSpan system, location, sysop, phone;
  uint32_t speed;  // bits per second
  uint16_t zone, net, node, point;
  uint16_t hub_or_point;  // data record hub field, or the point number
  uint16_t region;
  uint16_t node_flags;  // v7::kFlag* bits
  uint16_t source;      // index of its SourceText
  LineKind kind;
};

// What reading the sources found, besides the entries.
struct ReadCounts {
  uint32_t malformed;  // lines reported and not compiled
  uint32_t down;       // Down entries skipped
};

// Reads every entry line of one source into *entries (appending), keeping
// the hierarchy state of the nodelist: Zone, Region and Host start a net,
// Hub a hub group, Boss the points of one node. Comments (;) and empty
// lines are skipped, the text ends at ^Z. Malformed lines are reported
// with their line numbers and counted, Down entries counted and skipped,
// or with keep_down kept as nodes of kind kDown. A point's parent is left
// kNoEntry; ResolvePoints fills it.
void ReadSource(const SourceText& source, uint16_t source_index,
                std::vector<Entry>* entries, ReadCounts* counts,
                Reporter* reporter, int keep_down = 0);

// The address as one sortable number: zone, net, node, point from the top.
inline uint64_t AddressKey(const Entry& e) {
  return (static_cast<uint64_t>(e.zone) << 48) |
         (static_cast<uint64_t>(e.net) << 32) |
         (static_cast<uint64_t>(e.node) << 16) | e.point;
}

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_ENTRY_TABLE_H
