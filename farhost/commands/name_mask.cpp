#include "farhost/commands/name_mask.h"

#include <cstring>
#include <string>

namespace {

int SameLetter(const CaseTable* cases, char a, char b) {
  return OemUpper(cases, static_cast<unsigned char>(a)) ==
         OemUpper(cases, static_cast<unsigned char>(b));
}

// One mask of [mask, maskEnd) against the whole name. The classic greedy
// match with one remembered star: linear in practice, quadratic at worst.
int MatchOne(const CaseTable* cases, const char* mask, const char* maskEnd,
             const char* name) {
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name != '\0') {
    if (mask < maskEnd && *mask == '*') {
      star = ++mask;
      resume = name;
    } else if (mask < maskEnd &&
               (*mask == '?' || SameLetter(cases, *mask, *name))) {
      ++mask;
      ++name;
    } else if (star != nullptr) {
      mask = star;
      name = ++resume;
    } else {
      return 0;
    }
  }
  while (mask < maskEnd && *mask == '*') ++mask;
  if (mask == maskEnd) return 1;
  // The name ended: ".*" left in the mask also matches no extension.
  return maskEnd - mask == 2 && mask[0] == '.' && mask[1] == '*';
}

}  // namespace

int MaskMatches(const CaseTable* cases, const char* mask, const char* name) {
  const char* begin = mask;
  while (true) {
    const char* end = std::strchr(begin, ',');
    if (end == nullptr) end = begin + std::strlen(begin);
    if (end > begin && MatchOne(cases, begin, end, name)) return 1;
    if (*end == '\0') return 0;
    begin = end + 1;
  }
}
