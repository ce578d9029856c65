#include "nodelist/record_reader.h"

#include <cstring>

#include "nodelist/bytes.h"
#include "nodelist/text_fields.h"
#include "nodelist/v7_format.h"

const char* CurrentPlusLine;
LinePieces CurrentPlusPieces;

namespace {

const char kNoPlusWarning[] =
    "!Version7 Plus enabled, but not detected in this record";

// Where the parts of one data record lie in the mapped data file.
struct StoredRecord {
  uint32_t Offset;
  const unsigned char* Fixed;
  const unsigned char* Phone;
  const unsigned char* Password;
  const unsigned char* Packed;
};

int LocateRecord(NodelistFiles* files, uint32_t offset, StoredRecord* stored) {
  const MappedFile& data = files->DataFile;
  if (!data.View || !RangeFits(offset, v7::kRecFixedSize, data.Size)) {
    ReportDamage(files, kDataFileKind, "record offset past the end", offset);
    return 0;
  }
  const unsigned char* fixed = data.View + offset;
  uint64_t variable = uint64_t{fixed[v7::kRecPhoneLen]} +
                      fixed[v7::kRecPasswordLen] + fixed[v7::kRecPackedLen];
  if (!RangeFits(uint64_t{offset} + v7::kRecFixedSize, variable, data.Size)) {
    ReportDamage(files, kDataFileKind, "record runs past the end", offset);
    return 0;
  }
  stored->Offset = offset;
  stored->Fixed = fixed;
  stored->Phone = fixed + v7::kRecFixedSize;
  stored->Password = stored->Phone + fixed[v7::kRecPhoneLen];
  stored->Packed = stored->Password + fixed[v7::kRecPasswordLen];
  return 1;
}

void ReadFixedFields(const unsigned char* fixed, NodeRecord* record) {
  record->Zone = ReadU16(fixed + v7::kRecZone);
  record->Net = ReadU16(fixed + v7::kRecNet);
  record->Node = ReadU16(fixed + v7::kRecNode);
  record->HubOrPoint = ReadU16(fixed + v7::kRecHubOrPoint);
  record->CallCost = ReadU16(fixed + v7::kRecCallCost);
  record->NodeFlags = ReadU16(fixed + v7::kRecNodeFlags);
  record->BaudRate = static_cast<uint16_t>(fixed[v7::kRecBaud] * 300u);
}

// Copies `length` stored bytes into a field, cut to the field's room.
void CopyStoredText(char* field, size_t size, const unsigned char* text,
                    unsigned length) {
  size_t count = length < size - 1 ? length : size - 1;
  std::memcpy(field, text, count);
  field[count] = '\0';
}

// One part of the unpacked text: `length` characters, cut to the field.
void CopyPart(char* field, size_t size, const char* text, unsigned length) {
  size_t room = size_t{length} + 1;
  CopyClipped(field, text, room < size ? room : size);
}

// Splits the unpacked text by the three stored lengths. Returns the number
// of characters after them, or -1 when the lengths need more than `count`.
int SplitTexts(const unsigned char* fixed, const char* text, int count,
               NodeRecord* record) {
  unsigned system = fixed[v7::kRecSystemLen];
  unsigned sysop = fixed[v7::kRecSysopLen];
  unsigned location = fixed[v7::kRecLocationLen];
  int used = static_cast<int>(system + sysop + location);
  if (used > count) return -1;
  CopyPart(record->SystemName, sizeof(record->SystemName), text, system);
  // The field is larger to carry a whole typed name as search key; a
  // decoded name keeps the length of its display field.
  CopyPart(record->SysopName, sizeof(record->DisplaySysop), text + system,
           sysop);
  CopyPart(record->Location, sizeof(record->Location), text + system + sysop,
           location);
  return count - used;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The V7+ offset from the first eight characters after the texts.
int ParsePlusOffset(const char* text, int count, uint32_t* offset) {
  if (count < static_cast<int>(v7::kPlusOffsetDigits)) return 0;
  uint32_t value = 0;
  for (unsigned i = 0; i < v7::kPlusOffsetDigits; ++i) {
    int digit = HexDigitValue(text[i]);
    if (digit < 0) return 0;
    value = (value << 4) | static_cast<uint32_t>(digit);
  }
  *offset = value;
  return 1;
}

// Reads the region and the nodelist line of the entry's V7+ record.
// Returns 0 when the record lies outside the V7+ data file.
// The stored length counts the line with its terminating zero; a length
// that counts the text alone is taken too. Anything else means the link
// block sizes or the offset are wrong, and the bytes there are no line.
int LineMatchesItsLength(const unsigned char* line, uint16_t length,
                         uint64_t room) {
  if (length == 0 || length > room) return 0;
  const void* zero = std::memchr(line, 0, length);
  if (zero != nullptr) return zero == line + length - 1;
  return length < room && line[length] == 0;
}

int ReadPlusPart(NodelistFiles* files, NodeRecord* record, uint32_t offset) {
  const MappedFile& plus = files->PlusFile;
  if (!plus.View || plus.Size <= v7::kDtpFurtherSize) {
    ReportDamage(files, kPlusFileKind, "header too short", plus.Size);
    return 0;
  }
  if (!RangeFits(offset, 2, plus.Size)) {
    ReportDamage(files, kPlusFileKind, "record offset past the end", offset);
    return 0;
  }
  record->Region = ReadU16(plus.View + offset + v7::kLnkRegion);
  uint64_t at = uint64_t{offset} + plus.View[v7::kDtpLinkSize];
  if (!(record->NodeFlags & v7::kFlagPoint))
    at += plus.View[v7::kDtpFurtherSize];
  if (!RangeFits(at, 2, plus.Size)) {
    ReportDamage(files, kPlusFileKind, "line length past the end", offset);
    return 0;
  }
  uint16_t length = ReadU16(plus.View + at);
  if (length == v7::kNoLine) return 1;
  const unsigned char* line = plus.View + at + 2;
  if (!LineMatchesItsLength(line, length, plus.Size - (at + 2))) {
    ReportDamage(files, kPlusFileKind, "line does not match its length",
                 offset);
    return 0;
  }
  CurrentPlusLine = reinterpret_cast<const char*>(line);
  ParsePlusLine(record, CurrentPlusLine, &CurrentPlusPieces);
  return 1;
}

void CopyDisplayTexts(NodeRecord* record) {
  std::memcpy(record->DisplaySystem, record->SystemName,
              sizeof(record->DisplaySystem));
  std::memcpy(record->DisplayLocation, record->Location,
              sizeof(record->DisplayLocation));
  std::memcpy(record->DisplaySysop, record->SysopName,
              sizeof(record->DisplaySysop));
}

// Phone, password, the packed texts and the V7+ part. Returns 0 when the
// record is damaged.
int DecodeTexts(NodelistFiles* files, const StoredRecord& stored,
                NodeRecord* record) {
  const unsigned char* fixed = stored.Fixed;
  CopyStoredText(record->Phone, sizeof(record->Phone), stored.Phone,
                 fixed[v7::kRecPhoneLen]);
  CopyStoredText(record->Password, sizeof(record->Password), stored.Password,
                 fixed[v7::kRecPasswordLen]);
  char text[kUnpackedTextSize];
  int count = UnpackText(fixed[v7::kRecPackedLen], stored.Packed, text);
  int left = SplitTexts(fixed, text, count, record);
  if (left < 0) {
    ReportDamage(files, kDataFileKind, "text lengths exceed the record",
                 stored.Offset);
    return 0;
  }
  if (files->Flags & UsePlusData) {
    uint32_t plusOffset = 0;
    if (ParsePlusOffset(text + (count - left), left, &plusOffset))
      return ReadPlusPart(files, record, plusOffset);
    ReportWarning(kNoPlusWarning, "");
  }
  CopyDisplayTexts(record);
  return 1;
}

}  // namespace

int UnpackText(int packedLength, const unsigned char* packedWords,
               char* output) {
  int words = packedLength > 0 ? packedLength / 2 : 0;
  char* at = output;
  for (int i = 0; i < words; ++i) {
    unsigned word = ReadU16(packedWords + 2 * i);
    unsigned first = word / 1600;
    unsigned entries[3] = {first < v7::kAlphabetSize ? first : 0,
                           (word / 40) % 40, word % 40};
    for (unsigned entry : entries) *at++ = v7::kAlphabet[entry];
  }
  *at = '\0';
  return static_cast<int>(at - output);
}

int ReadNodeRecord(NodelistFiles* files, uint32_t offset) {
  StoredRecord stored;
  CurrentPlusLine = nullptr;
  CurrentPlusPieces.Flags = nullptr;
  if (!LocateRecord(files, offset, &stored)) return 0;
  NodeRecord record;
  std::memset(&record, 0, sizeof(record));
  ReadFixedFields(stored.Fixed, &record);
  if (!(files->Flags & FixedFieldsOnly) && !DecodeTexts(files, stored, &record))
    return 0;
  int result = files->OnMatch ? files->OnMatch(&record, files->MatchData) : 0;
  CurrentPlusLine = nullptr;
  CurrentPlusPieces.Flags = nullptr;
  return result;
}
