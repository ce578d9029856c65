#include "farhost/host/std_text.h"

#include <climits>
#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

int TextToInt(const char* text) {
  if (text == nullptr) return 0;
  while (IsBlank(*text)) ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

char* IntToText(int64_t value, int narrow, char* buffer, int radix) {
  if (buffer == nullptr) return nullptr;
  buffer[0] = '\0';
  if (radix < 2 || radix > 36) return buffer;
  bool negative = value < 0 && radix == 10;
  uint64_t magnitude = static_cast<uint64_t>(value);
  if (negative) magnitude = 0 - magnitude;
  if (narrow && !negative) magnitude &= 0xFFFFFFFFu;
  char digits[66];
  int count = 0;
  do {
    int digit = static_cast<int>(magnitude % static_cast<unsigned>(radix));
    digits[count++] =
        static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
    magnitude /= static_cast<unsigned>(radix);
  } while (magnitude != 0);
  char* out = buffer;
  if (negative) *out++ = '-';
  while (count > 0) *out++ = digits[--count];
  *out = '\0';
  return buffer;
}

void RemoveQuotes(char* text) {
  if (text == nullptr) return;
  char* out = text;
  for (const char* in = text; *in != '\0'; ++in)
    if (*in != '"') *out++ = *in;
  *out = '\0';
}

char* TrimLeft(char* text) {
  if (text == nullptr) return nullptr;
  size_t skip = 0;
  while (IsBlank(text[skip])) ++skip;
  if (skip > 0) std::memmove(text, text + skip, std::strlen(text + skip) + 1);
  return text;
}

char* TrimRight(char* text) {
  if (text == nullptr) return nullptr;
  size_t length = std::strlen(text);
  while (length > 0 && IsBlank(text[length - 1])) text[--length] = '\0';
  return text;
}

char* NameInPath(const char* path) {
  if (path == nullptr) return nullptr;
  const char* name = path;
  for (const char* p = path; *p != '\0'; ++p)
    if (*p == '/' || *p == '\\' || (*p == ':' && p == name + 1)) name = p + 1;
  return const_cast<char*>(name);
}

const char* LastPartOfDir(const char* path) {
  if (path == nullptr) return nullptr;
  if (path[0] != '\0' && path[1] == ':') path += 2;
  const char* name = path;
  for (const char* p = path; *p != '\0'; ++p)
    if (*p == '/' || *p == '\\') name = p + 1;
  return name;
}

int AppendSeparator(char* path, char separator, int capacity) {
  if (path == nullptr) return 0;
  size_t length = std::strlen(path);
  if (length == 0) return 1;
  char last = path[length - 1];
  if (last == '/' || last == '\\') return 1;
  if (capacity <= 0 || length + 1 >= static_cast<size_t>(capacity)) return 0;
  path[length] = separator;
  path[length + 1] = '\0';
  return 1;
}
