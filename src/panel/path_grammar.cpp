#include "panel/path_grammar.h"

#include <cstring>

namespace {

enum { kZone = 0, kNet = 1, kNode = 2, kPoint = 3, kParts = 4 };

// The parse in progress: parts[i] is known for i < level / 2.
struct PathState {
  uint16_t Parts[kParts];
  int Level;
};

int IsDigit(char c) { return c >= '0' && c <= '9'; }

// The separator that follows a part inside a fragment (none after the
// point).
char SeparatorAfter(int part) {
  static const char kAfter[kParts] = {':', '/', '.', '\0'};
  return kAfter[part];
}

// The part that a fragment begins with; -1 when its first separator is
// not one of ":/.".
int FirstPart(const char* fragment, size_t length, int level, size_t* skip) {
  *skip = 0;
  for (size_t i = 0; i < length; ++i) {
    const char* hit = std::strchr(":/.", fragment[i]);
    if (fragment[i] == '\0' || hit == nullptr) continue;
    int separator = static_cast<int>(hit - ":/.");  // 0 ':', 1 '/', 2 '.'
    if (i > 0) return separator;                    // the part it follows
    *skip = 1;
    return separator + 1;  // the part it introduces
  }
  int part = level / 2;
  return part > kPoint ? kPoint : part;
}

// Reads the run of digits at `at` as one address part into *value and
// moves *at past it. 0 when there is no digit or the number does not fit
// 16 bits: it would name another node.
int ReadPartNumber(const char** at, const char* end, uint16_t* value) {
  const char* p = *at;
  uint32_t number = 0;
  for (; p != end && IsDigit(*p); ++p) {
    number = number * 10 + static_cast<uint32_t>(*p - '0');
    if (number > 0xFFFF) return 0;
  }
  if (p == *at) return 0;
  *value = static_cast<uint16_t>(number);
  *at = p;
  return 1;
}

// Reads numbers and separators from `part` on; 1 when the whole fragment
// is read.
int ReadFragment(const char* at, const char* end, int part, PathState* state) {
  for (;;) {
    if (!ReadPartNumber(&at, end, &state->Parts[part])) return 0;
    state->Level = 2 * (part + 1);
    if (at == end) return 1;
    if (part == kPoint || *at != SeparatorAfter(part)) return 0;
    ++at;
    if (at == end) return 1;  // a separator may end the fragment
    ++part;
  }
}

int ReadComponent(const char* text, size_t length, PathState* state) {
  if (length == 2 && text[0] == '.' && text[1] == '.') {
    if (state->Level == 0) return 0;
    state->Level -= 2;
    return 1;
  }
  if (length == 1 && text[0] == '.') return 1;
  size_t skip = 0;
  int part = FirstPart(text, length, state->Level, &skip);
  if (2 * part > state->Level) return 0;
  for (int i = part; i < kParts; ++i) state->Parts[i] = 0;
  return ReadFragment(text + skip, text + length, part, state);
}

}  // namespace

int ParsePanelPath(const char* text, FtnAddress* address, uint16_t* level) {
  while (*text == ' ' || *text == '\t') ++text;
  PathState state = {
      {address->Zone, address->Net, address->Node, address->Point},
      *level > 8 ? 8 : *level};
  if (*text == '\\') {
    ++text;
    state = PathState{{0, 0, 0, 0}, 0};
  }
  while (*text != '\0') {
    const char* end = std::strchr(text, '\\');
    size_t length = end ? static_cast<size_t>(end - text) : std::strlen(text);
    if (length > kMaxPathComponent) return 0;
    if (length > 0 && !ReadComponent(text, length, &state)) return 0;
    text += length;
    if (*text == '\\') ++text;
  }
  uint16_t* parts[kParts] = {&address->Zone, &address->Net, &address->Node,
                             &address->Point};
  for (int i = 0; i < kParts; ++i)
    *parts[i] = 2 * i < state.Level ? state.Parts[i] : 0;
  *level = static_cast<uint16_t>(state.Level);
  return 1;
}
