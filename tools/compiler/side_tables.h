// The compiler's two optional side files: node passwords and the call cost
// table. Both are plain text, one entry per line; blank lines and lines
// starting with ';' or '#' are skipped, malformed lines are warnings.
#ifndef TOLVANE_TOOLS_COMPILER_SIDE_TABLES_H
#define TOLVANE_TOOLS_COMPILER_SIDE_TABLES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "compiler/entry_table.h"

namespace v7c {

const size_t kMaxPassword = 8;

// Passwords by address (AddressKey form), at most kMaxPassword characters.
struct PasswordTable {
  std::unordered_map<uint64_t, std::string> by_address;
};

// Reads lines "zone:net/node[.point] password". A line without both
// fields, with a bad address or a password longer than kMaxPassword is
// reported and ignored; a second password for an address replaces the
// first with a warning.
void ReadPasswordTable(const std::string& name, const std::string& text,
                       PasswordTable* table, Reporter* reporter);

// Call costs by phone prefix (dashes removed, compared without case).
struct CostTable {
  int present;  // 0: no table was given
  std::vector<std::string> prefixes;
  std::unordered_map<std::string_view, uint16_t> by_prefix;
  size_t longest;
};

// The cost of unpublished systems, whatever the table says.
const uint16_t kUnpublishedCost = 0xFFFF;

// Reads lines "phone-prefix cost" (cost 0..65535); the prefix "*" matches
// every phone and serves as the default. Malformed lines are reported and
// ignored; a repeated prefix replaces the earlier cost with a warning.
void ReadCostTable(const std::string& name, const std::string& text,
                   CostTable* table, Reporter* reporter);

// The cost for a phone index key: kUnpublishedCost for unpublished
// systems, else the cost of the longest matching prefix, else 0.
uint16_t LookUpCost(const CostTable& table, const char* key, size_t length,
                    int unpublished);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_SIDE_TABLES_H
