// Synthetic nodelists of any size with the shape of real ones: zones with
// regions, nets from a handful to thousands of nodes, hubs, Pvt/Hold/Down
// entries, points in a Boss-format pointlist, and sysop names drawn from
// skewed pools so that common names collide. Deterministic for a seed.
#ifndef TOLVANE_TOOLS_GENERATOR_GENERATOR_H
#define TOLVANE_TOOLS_GENERATOR_GENERATOR_H

#include <cstdint>
#include <string>

namespace v7gen {

struct GeneratorOptions {
  uint32_t entries;  // entry lines in all, points included (at least 20)
  uint64_t seed;
  int with_points;  // make about a tenth of the entries points
};

// The lists and the facts a benchmark needs about them.
struct GeneratedList {
  std::string nodelist;   // CR LF lines, CRC line, closing ^Z
  std::string pointlist;  // empty without points
  uint32_t nodelist_entries, points, down;
  std::string rare_key;  // the one unique sysop, as "Surname, Given"
  std::string rare_address;
  std::string common_prefix;  // the most frequent surname
  uint32_t common_count;      // sysop keys that begin with it (any case)
  std::string big_net;        // "zone:net" of the 5,000-node net, or empty
  std::string big_boss;       // the node with 500 points, or empty
};

// Generates the lists. Returns 1, or 0 when options.entries is below 20.
int GenerateNodelist(const GeneratorOptions& options, GeneratedList* out);

}  // namespace v7gen

#endif  // TOLVANE_TOOLS_GENERATOR_GENERATOR_H
