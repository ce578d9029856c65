// Fuzz target: arbitrary bytes as a list to check, and split into an old
// and a new list (the first byte says where) whose changes are reported
// as text and as JSON. Nothing may read past either text; every count the
// check gives must match what it printed within its bound.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "compiler/list_changes.h"
#include "compiler/list_check.h"

namespace {

FILE* Discard() {
  static FILE* sink = fopen("/dev/null", "w");
  return sink;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const char* text = reinterpret_cast<const char*>(data);
  std::string whole(text + 1, size - 1);
  v7c::CheckCounts counts = v7c::CheckListText("fuzz", whole, Discard());
  if (whole.empty() && counts.errors != 1) __builtin_trap();
  size_t cut = static_cast<size_t>(data[0]) * (size - 1) / 255;
  v7c::SourceText old_list = {"old", std::string(text + 1, cut), 0};
  v7c::SourceText new_list = {"new",
                              std::string(text + 1 + cut, size - 1 - cut), 0};
  v7c::Reporter quiet = {nullptr, nullptr, 0};
  v7c::ChangeReport report;
  if (v7c::CompareLists(old_list, new_list, &report, &quiet)) {
    if (report.added + report.removed + report.down + report.changed !=
            report.changes.size() ||
        report.moved > report.removed)
      __builtin_trap();
    v7c::WriteChangesText(report, Discard());
    v7c::WriteChangesJson(report, Discard());
  }
  return 0;
}
