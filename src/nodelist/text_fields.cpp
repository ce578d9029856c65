#include "nodelist/text_fields.h"

#include <cstring>

// Listings format an address and a few numbers for every entry, so this
// stays away from the printf machinery.
char* WriteDecimal(char* at, uint16_t value) {
  char digits[5];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value = static_cast<uint16_t>(value / 10);
  } while (value != 0);
  while (n > 0) *at++ = digits[--n];
  return at;
}

// The longest text, "65535:65535/65535.65535", has 23 characters and fits
// kAddressTextSize with its terminator.
void FormatAddress(FtnAddress address, char* output, uint16_t depth) {
  if (address.Point != 0) depth = 8;
  char* at = WriteDecimal(output, address.Zone);
  if (depth >= 2) {
    *at++ = ':';
    at = WriteDecimal(at, address.Net);
  }
  if (depth >= 4) {
    *at++ = '/';
    at = WriteDecimal(at, address.Node);
  }
  if (depth >= 6) {
    *at++ = '.';
    at = WriteDecimal(at, address.Point);
  }
  *at = '\0';
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
  if (size == 0) return;
  size_t length = strnlen(source, size);
  if (length == size) length = size - 1;
  std::memcpy(destination, source, length);
  destination[length] = '\0';
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
