#include "panel/name_filters.h"

#include <cstring>

NameFilter NameCaseFilter = CapitaliseWords;

void UnderscoresToSpaces(char* text) {
  while ((text = std::strchr(text, '_')) != nullptr) *text++ = ' ';
}

void CapitaliseWords(char* text) {
  bool inWord = false;
  for (; *text; ++text) {
    unsigned char c = static_cast<unsigned char>(*text);
    unsigned char upper = c & ~0x20u;
    if (upper >= 'A' && upper <= 'Z') {
      *text = static_cast<char>(inWord ? (c | 0x20u) : upper);
      inWord = true;
    } else {
      inWord = false;
    }
  }
}
