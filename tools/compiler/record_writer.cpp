// Data records of the V7 and V7+ files.
#include "compiler/record_writer.h"

#include <cstring>

#include "compiler/keys.h"
#include "nodelist/v7_format.h"

namespace v7c {

namespace {

struct AlphabetTables {
  uint8_t code[256];  // alphabet position of a mapped character
  char mapped[256];   // the character as the alphabet stores it
  AlphabetTables() {
    memset(code, 0, sizeof(code));
    for (unsigned i = 0; i < 256; ++i) mapped[i] = ' ';
    for (unsigned i = 0; i + 1 < v7::kAlphabetSize; ++i) {
      unsigned char c = static_cast<unsigned char>(v7::kAlphabet[i]);
      code[c] = static_cast<uint8_t>(i);
      mapped[c] = static_cast<char>(c);
      if (c >= 'A' && c <= 'Z') mapped[c + 32] = static_cast<char>(c);
    }
  }
};

const AlphabetTables kTables;

void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// The unpacked lengths of the three texts after cutting, and the total
// number of characters to pack, padding included.
struct TextLengths {
  size_t system, sysop, location, padded;
};

TextLengths LengthsOf(const Entry& e, int plus) {
  size_t len[3] = {e.system.length, e.sysop.length, e.location.length};
  size_t budget = kMaxPackedChars - (plus ? v7::kPlusOffsetDigits : 0);
  for (size_t& l : len)
    if (l > 255) l = 255;
  while (len[0] + len[1] + len[2] > budget) {
    size_t longest = 0;
    for (size_t i = 1; i < 3; ++i)
      if (len[i] > len[longest]) longest = i;
    --len[longest];
  }
  size_t total = len[0] + len[1] + len[2] + (plus ? v7::kPlusOffsetDigits : 0);
  return {len[0], len[1], len[2], (total + 2) / 3 * 3};
}

size_t AppendMapped(const char* text, size_t length, char* out) {
  for (size_t i = 0; i < length; ++i) out[i] = AlphabetChar(text[i]);
  return length;
}

size_t AppendHex(uint32_t value, char* out) {
  static const char kDigits[] = "0123456789ABCDEF";
  for (unsigned i = 0; i < v7::kPlusOffsetDigits; ++i)
    out[i] = kDigits[(value >> (4 * (v7::kPlusOffsetDigits - 1 - i))) & 15];
  return v7::kPlusOffsetDigits;
}

void PutFixedPart(const Entry& e, const RecordExtras& x, const TextLengths& t,
                  size_t phone_length, uint8_t* r) {
  memset(r, 0, v7::kRecFixedSize);
  Put16(r + v7::kRecZone, e.zone);
  Put16(r + v7::kRecNet, e.net);
  Put16(r + v7::kRecNode, e.node);
  Put16(r + v7::kRecHubOrPoint, e.hub_or_point);
  Put16(r + v7::kRecCallCost, x.call_cost);
  Put16(r + v7::kRecNodeFlags, e.node_flags);
  r[v7::kRecPhoneLen] = static_cast<uint8_t>(phone_length);
  r[v7::kRecPasswordLen] = static_cast<uint8_t>(x.password_length);
  r[v7::kRecSystemLen] = static_cast<uint8_t>(t.system);
  r[v7::kRecSysopLen] = static_cast<uint8_t>(t.sysop);
  r[v7::kRecLocationLen] = static_cast<uint8_t>(t.location);
  r[v7::kRecPackedLen] = static_cast<uint8_t>(t.padded / 3 * 2);
  uint32_t baud = e.speed / 300;
  r[v7::kRecBaud] = static_cast<uint8_t>(baud > 255 ? 255 : baud);
}

}  // namespace

char AlphabetChar(char c) { return kTables.mapped[static_cast<uint8_t>(c)]; }

size_t PackBase40(const char* text, size_t length, uint8_t* out) {
  size_t n = 0;
  for (size_t i = 0; i + 2 < length; i += 3) {
    const uint8_t* code = kTables.code;
    unsigned w = code[static_cast<uint8_t>(text[i])] * 1600u +
                 code[static_cast<uint8_t>(text[i + 1])] * 40u +
                 code[static_cast<uint8_t>(text[i + 2])];
    Put16(out + n, w);
    n += 2;
  }
  return n;
}

size_t DataRecordSize(const Entry& e, const RecordExtras& extras) {
  char phone[kMaxPhone];
  size_t phone_length =
      StoredPhone(e.line + e.phone.offset, e.phone.length, phone);
  return v7::kRecFixedSize + phone_length + extras.password_length +
         LengthsOf(e, extras.plus).padded / 3 * 2;
}

void WriteDataRecord(const Entry& e, const RecordExtras& extras,
                     ByteSink* out) {
  char phone[kMaxPhone];
  size_t phone_length =
      StoredPhone(e.line + e.phone.offset, e.phone.length, phone);
  TextLengths t = LengthsOf(e, extras.plus);
  char text[kMaxPackedChars + 3];
  size_t n = AppendMapped(e.line + e.system.offset, t.system, text);
  n += AppendMapped(e.line + e.sysop.offset, t.sysop, text + n);
  n += AppendMapped(e.line + e.location.offset, t.location, text + n);
  if (extras.plus) n += AppendHex(extras.dtp_offset, text + n);
  while (n < t.padded) text[n++] = ' ';
  size_t size = v7::kRecFixedSize + phone_length + extras.password_length +
                t.padded / 3 * 2;
  uint8_t* r = SinkRoom(out, size);
  PutFixedPart(e, extras, t, phone_length, r);
  r += v7::kRecFixedSize;
  memcpy(r, phone, phone_length);
  r += phone_length;
  if (extras.password_length)
    memcpy(r, extras.password, extras.password_length);
  r += extras.password_length;
  PackBase40(text, t.padded, r);
  SinkCommit(out, size);
}

void WritePlusHeader(uint16_t top_count, uint32_t first_top, ByteSink* out) {
  uint8_t* h = SinkRoom(out, v7::kDtpHeaderSize);
  memset(h, 0, v7::kDtpHeaderSize);
  // The control part ends where the top-level link block begins.
  Put16(h + v7::kDtpControlSize, v7::kDtpTopCount);
  h[v7::kDtpVersion] = 0;
  h[v7::kDtpLinkSize] = v7::kDtpUsualLinkSize;
  h[v7::kDtpFurtherSize] = v7::kDtpUsualFurtherSize;
  Put16(h + v7::kDtpTopCount, top_count);
  Put32(h + v7::kDtpTopFirst, first_top);
  SinkCommit(out, v7::kDtpHeaderSize);
}

size_t PlusRecordSize(const Entry& e) {
  int point = (e.node_flags & v7::kFlagPoint) != 0;
  return v7::kDtpUsualLinkSize + (point ? 0 : v7::kDtpUsualFurtherSize) + 2 +
         e.line_length + 1;
}

void WritePlusRecord(const Entry& e, const PlusLinks& links, ByteSink* out) {
  size_t size = PlusRecordSize(e);
  uint8_t* r = SinkRoom(out, size);
  memset(r, 0, size - e.line_length - 1);
  Put16(r + v7::kLnkRegion, links.region);
  Put16(r + v7::kLnkHub, links.hub);
  Put32(r + v7::kLnkNextSysop, links.next_sysop);
  Put32(r + v7::kLnkNextPhone, links.next_phone);
  Put32(r + v7::kLnkNextSibling, links.next_sibling);
  r[v7::kLnkSysopSeq] = links.sysop_seq;
  r[v7::kLnkPhoneSeq] = links.phone_seq;
  r += v7::kDtpUsualLinkSize;
  if (!(e.node_flags & v7::kFlagPoint)) {
    Put16(r + v7::kFurDownlinks, links.downlinks);
    Put32(r + v7::kFurFirstDown, links.first_downlink);
    r += v7::kDtpUsualFurtherSize;
  }
  Put16(r, e.line_length + 1);
  memcpy(r + 2, e.line, e.line_length);
  r[2 + e.line_length] = 0;
  SinkCommit(out, size);
}

}  // namespace v7c
