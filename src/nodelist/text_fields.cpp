#include "nodelist/text_fields.h"

#include <cstdio>

void FormatAddress(FtnAddress address, char* output, uint16_t depth) {
  if (address.Point != 0) depth = 8;
  char* at = output;
  char* end = output + kAddressTextSize;
  at += std::snprintf(at, end - at, "%u", unsigned{address.Zone});
  if (depth >= 2)
    at += std::snprintf(at, end - at, ":%u", unsigned{address.Net});
  if (depth >= 4)
    at += std::snprintf(at, end - at, "/%u", unsigned{address.Node});
  if (depth >= 6) std::snprintf(at, end - at, ".%u", unsigned{address.Point});
}

uint32_t ParseDecimal(const char* text, const char** end) {
  uint32_t value = 0;
  while (*text >= '0' && *text <= '9') {
    value = value * 10 + static_cast<uint32_t>(*text - '0');
    ++text;
  }
  if (end) *end = text;
  return value;
}

uint32_t ParseDecimal(const char* text) { return ParseDecimal(text, nullptr); }

void CopyClipped(char* destination, const char* source, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    destination[i] = source[i];
    if (source[i] == '\0') return;
  }
  if (size > 0) destination[size - 1] = '\0';
}
