#include "panel/name_filters.h"

#include <cstring>

NameFilter NameCaseFilter = CapitaliseWords;

void UnderscoresToSpaces(char* text) {
  while ((text = std::strchr(text, '_')) != nullptr) *text++ = ' ';
}
