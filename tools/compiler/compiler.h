// The V7/V7+ compiler in memory: from nodelist and pointlist texts to the
// images of the data files and indexes. File handling is in output_set.h.
#ifndef TOLVANE_TOOLS_COMPILER_COMPILER_H
#define TOLVANE_TOOLS_COMPILER_COMPILER_H

#include <cstdint>
#include <vector>

#include "compiler/byte_sink.h"
#include "compiler/entry_table.h"
#include "compiler/side_tables.h"

namespace v7c {

struct CompileOptions {
  int plus;             // write the V7+ files and the DTP offsets in DAT
  uint16_t block_size;  // index block size, v7::kUsualBlockSize normally
};

// The counts that the summary line reports.
struct CompileStats {
  uint32_t entries;  // systems compiled, points included
  uint32_t points;
  uint32_t down;        // Down entries skipped
  uint32_t duplicates;  // entries replaced by a later one of the same address
  uint32_t malformed;   // lines reported and not compiled
};

// The images of the files of one set. dtp and pdx stay empty without plus.
struct CompiledSet {
  std::vector<uint8_t> dat, ndx, sdx, dtp, pdx;
};

// Where the files of one set go; dtp and pdx are used only with plus.
struct SetSinks {
  ByteSink *dat, *ndx, *sdx, *dtp, *pdx;
};

// Compiles the sources (the nodelist first, then pointlists) into the
// sinks, each file front to back; the caller flushes them and checks
// their ok. Passwords and costs may be null. Warnings go to the reporter.
// Returns 1 when at least one entry was compiled, 0 otherwise (then
// nothing was written).
int CompileNodelistTo(const std::vector<SourceText>& sources,
                      const PasswordTable* passwords, const CostTable* costs,
                      const CompileOptions& options, const SetSinks& sinks,
                      CompileStats* stats, Reporter* reporter);

// The same into images in memory (set left empty when it returns 0).
int CompileNodelist(const std::vector<SourceText>& sources,
                    const PasswordTable* passwords, const CostTable* costs,
                    const CompileOptions& options, CompiledSet* set,
                    CompileStats* stats, Reporter* reporter);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_COMPILER_H
