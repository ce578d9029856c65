// The V7+ nodelist line of an entry: its fields and its online hours.
#include <cstring>

#include "nodelist/record_reader.h"
#include "nodelist/text_fields.h"
#include "nodelist/v7_format.h"

namespace {

// Field numbers of a nodelist line; from kFlagsField on the rest of the
// line is the flags.
enum {
  kKeywordField = 0,
  kSystemField = 2,
  kLocationField = 3,
  kSysopField = 4,
  kPhoneField = 5,
  kFlagsField = 7,
};

char* FieldDestination(NodeRecord* record, int field, size_t* size) {
  switch (field) {
    case kKeywordField:
      *size = sizeof(record->Keyword);
      return record->Keyword;
    case kSystemField:
      *size = sizeof(record->DisplaySystem);
      return record->DisplaySystem;
    case kLocationField:
      *size = sizeof(record->DisplayLocation);
      return record->DisplayLocation;
    case kSysopField:
      *size = sizeof(record->DisplaySysop);
      return record->DisplaySysop;
  }
  return nullptr;
}

// Copies a field of `length` characters; the character after it (comma or
// terminator) becomes the terminator.
void CopyField(char* field, size_t size, const char* text, size_t length) {
  CopyClipped(field, text, length + 1 < size ? length + 1 : size);
}

// Notes where a field that the endpoint rules read lies.
void NotePiece(LinePieces* pieces, int field, const char* text, size_t length) {
  if (field == kSystemField) {
    pieces->SystemName = text;
    pieces->SystemNameLength = length;
  } else if (field == kPhoneField) {
    pieces->Phone = text;
    pieces->PhoneLength = length;
  }
}

// Stores the fields of the line (and notes the pieces). Returns the start
// of the flags part, or null when the line ends before it.
const char* StoreFields(NodeRecord* record, const char* line,
                        LinePieces* pieces) {
  int field = kKeywordField;
  if (*line == ',') {
    ++line;
    field = kKeywordField + 1;
  }
  if (*line == '\0') return nullptr;
  for (;; ++field) {
    if (field == kFlagsField) {
      CopyField(record->FlagsText, sizeof(record->FlagsText), line,
                std::strlen(line));
      return line;
    }
    const char* end = std::strchr(line, ',');
    if (!end) end = line + std::strlen(line);
    size_t size = 0;
    char* destination = FieldDestination(record, field, &size);
    if (destination) CopyField(destination, size, line, end - line);
    NotePiece(pieces, field, line, static_cast<size_t>(end - line));
    if (*end == '\0') return nullptr;
    line = end + 1;
  }
}

// The flag after the one at `flag`, or null at the end of the line.
const char* NextFlag(const char* flag) {
  const char* comma = std::strchr(flag, ',');
  return comma ? comma + 1 : nullptr;
}

// The first flag from `flag` on whose first character is `upper` in either
// case.
const char* FindFlag(const char* flag, char upper) {
  char lower = static_cast<char>(upper | 0x20);
  for (; flag; flag = NextFlag(flag))
    if (*flag == upper || *flag == lower) return flag;
  return nullptr;
}

void ReadOnlineHours(NodeRecord* record, const char* flags) {
  if (record->NodeFlags & v7::kFlagContinuousMail) return;
  const char* online = FindFlag(flags, 'U');
  if (!online) return;
  const char* time = FindFlag(NextFlag(online), 'T');
  if (!time) return;
  const char* letters = time + 1;
  int start = TimeLetterToMinutes(letters[0]);
  int end = letters[0] ? TimeLetterToMinutes(letters[1]) : -1;
  if (start < 0 || end < 0) {
    ReportWarning("Invalid time flag '%s'", start < 0 ? letters : letters + 1);
    return;
  }
  record->OnlineStart = static_cast<uint16_t>(start);
  record->OnlineEnd = static_cast<uint16_t>(end);
}

}  // namespace

void ParsePlusLine(NodeRecord* record, const char* line, LinePieces* pieces) {
  record->FlagsText[0] = '\0';
  LinePieces found = {line, 0, line, 0, nullptr};
  found.Flags = StoreFields(record, line, &found);
  if (found.Flags) ReadOnlineHours(record, found.Flags);
  if (pieces) *pieces = found;
}

int TimeLetterToMinutes(char letter) {
  int half = (letter & 0x20) != 0;
  signed char upper = static_cast<signed char>(letter & ~0x20);
  if (upper > 'X') return -1;
  int minutes = (upper - 'A') * 60 + (half ? 30 : 0);
  return minutes < 0 ? -1 : minutes;
}
