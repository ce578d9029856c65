// Fuzz target: arbitrary bytes as one nodelist line, then as a whole
// nodelist with the same bytes as its pointlist, through the compiler.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "compiler/compiler.h"
#include "compiler/nodelist_line.h"
#include "nodelist/v7_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  v7c::ParsedLine parsed;
  const char* why = nullptr;
  if (v7c::ParseNodelistLine(text, size, &parsed, &why)) {
    const v7c::FieldSpan spans[] = {parsed.system, parsed.location,
                                    parsed.sysop,  parsed.phone,
                                    parsed.speed,  parsed.flags};
    for (const v7c::FieldSpan& f : spans)
      if (static_cast<size_t>(f.offset) + f.length > size) __builtin_trap();
  }
  v7c::CheckListCrc(text, size);
  std::vector<v7c::SourceText> sources = {
      {"fuzz", std::string(text, size), 0},
      {"fuzzpoints", std::string(text, size), 1}};
  v7c::Reporter reporter = {nullptr, nullptr, 0};
  v7c::CompiledSet set;
  v7c::CompileStats stats;
  v7c::CompileOptions options = {1, v7::kUsualBlockSize};
  v7c::CompileNodelist(sources, nullptr, nullptr, options, &set, &stats,
                       &reporter);
  return 0;
}
