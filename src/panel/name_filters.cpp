#include "panel/name_filters.h"

NameFilter NameCaseFilter = CapitaliseWords;

void UnderscoresToSpaces(char* text) {
  for (; *text; ++text) {
    if (*text == '_') *text = ' ';
  }
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
