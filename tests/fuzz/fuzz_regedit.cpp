// The settings file parser over arbitrary bytes. A text that parses is
// written out, parsed again and written again: the second document must
// hold the same keys and values (names, types, bytes) in the same order,
// and the two written texts must be the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/regedit_file.h"

namespace {

bool SameValues(const RegKey& a, const RegKey& b) {
  if (a.Path != b.Path || a.Values.size() != b.Values.size()) return false;
  for (size_t i = 0; i < a.Values.size(); ++i) {
    const RegValue& x = a.Values[i];
    const RegValue& y = b.Values[i];
    if (x.Name != y.Name || x.Type != y.Type || x.Data != y.Data) return false;
  }
  return true;
}

bool SameDocument(const RegDocument& a, const RegDocument& b) {
  if (a.Keys.size() != b.Keys.size()) return false;
  for (size_t i = 0; i < a.Keys.size(); ++i)
    if (!SameValues(a.Keys[i], b.Keys[i])) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  RegDocument doc;
  if (!ParseRegeditText(input.data(), input.size(), &doc)) {
    if (!doc.Keys.empty()) __builtin_trap();
    return 0;
  }
  std::string written = FormatRegeditText(doc);
  RegDocument again;
  if (!ParseRegeditText(written.data(), written.size(), &again))
    __builtin_trap();
  if (!SameDocument(doc, again)) __builtin_trap();
  if (FormatRegeditText(again) != written) __builtin_trap();
  return 0;
}
