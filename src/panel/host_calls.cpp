#include "panel/host_calls.h"

#include <cstdlib>
#include <cstring>

#include "host/host_binding.h"

namespace {

int IsBlank(char c) { return c == ' ' || c == '\t'; }

void PlainTrimLeading(char* text) {
  size_t skip = 0;
  while (IsBlank(text[skip])) ++skip;
  if (skip > 0) std::memmove(text, text + skip, std::strlen(text + skip) + 1);
}

void PlainTrimTrailing(char* text) {
  size_t length = std::strlen(text);
  while (length > 0 && IsBlank(text[length - 1])) --length;
  text[length] = '\0';
}

int FoldCase(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c;
}

int PlainCompareNoCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    int x = FoldCase(static_cast<unsigned char>(*a));
    int y = FoldCase(static_cast<unsigned char>(*b));
    if (x != y || x == 0) return x - y;
  }
}

}  // namespace

void TrimText(char* text) {
  if (HostFunctions.Trim) {
    HostFunctions.Trim(text);
    return;
  }
  PlainTrimLeading(text);
  PlainTrimTrailing(text);
}

void TrimLeadingBlanks(char* text) {
  if (HostFunctions.LTrim)
    HostFunctions.LTrim(text);
  else
    PlainTrimLeading(text);
}

int CompareTextNoCase(const char* a, const char* b) {
  if (HostFunctions.LStricmp) return HostFunctions.LStricmp(a, b);
  return PlainCompareNoCase(a, b);
}

void SortRecords(void* base, size_t count, size_t width,
                 FarCompareFunc compare) {
  if (count < 2) return;
  if (HostFunctions.qsort)
    HostFunctions.qsort(base, count, width, compare);
  else
    std::qsort(base, count, width, compare);
}
