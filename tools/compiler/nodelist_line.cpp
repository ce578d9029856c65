// The text nodelist, one line at a time.
#include "compiler/nodelist_line.h"

#include <cstring>

namespace v7c {

namespace {

// value[0] is the usual byte table; value[k] gives the effect of a byte
// followed by k zero bytes, so that eight bytes are taken in one step.
struct CrcTable {
  uint16_t value[8][256];
  CrcTable() {
    for (unsigned i = 0; i < 256; ++i) {
      uint16_t crc = static_cast<uint16_t>(i << 8);
      for (int bit = 0; bit < 8; ++bit)
        crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021
                                                   : crc << 1);
      value[0][i] = crc;
    }
    for (int k = 1; k < 8; ++k)
      for (unsigned i = 0; i < 256; ++i)
        value[k][i] = static_cast<uint16_t>((value[k - 1][i] << 8) ^
                                            value[0][value[k - 1][i] >> 8]);
  }
};

const CrcTable kCrcTable;

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

int IsDigit(char c) { return c >= '0' && c <= '9'; }

int EqualsNoCase(const char* text, size_t length, const char* word) {
  size_t n = strlen(word);
  if (n != length) return 0;
  for (size_t i = 0; i < n; ++i)
    if (UpperAscii(text[i]) != UpperAscii(word[i])) return 0;
  return 1;
}

struct KeywordName {
  const char* name;
  LineKind kind;
};

const KeywordName kKeywords[] = {
    {"Zone", LineKind::kZone},   {"Region", LineKind::kRegion},
    {"Host", LineKind::kHost},   {"Hub", LineKind::kHub},
    {"Pvt", LineKind::kPvt},     {"Hold", LineKind::kHold},
    {"Down", LineKind::kDown},   {"Boss", LineKind::kBoss},
    {"Point", LineKind::kPoint},
};

int KeywordKind(const char* text, size_t length, LineKind* kind) {
  if (length == 0) {
    *kind = LineKind::kNode;
    return 1;
  }
  for (const KeywordName& k : kKeywords) {
    if (EqualsNoCase(text, length, k.name)) {
      *kind = k.kind;
      return 1;
    }
  }
  return 0;
}

// Splits the line at commas into at most `max` spans; the last span takes
// the rest of the line, commas included. Returns the number of fields.
size_t SplitFields(const char* line, size_t length, FieldSpan* spans,
                   size_t max) {
  size_t count = 0, start = 0;
  while (count + 1 < max) {
    const void* comma = memchr(line + start, ',', length - start);
    if (!comma) break;
    size_t end = static_cast<const char*>(comma) - line;
    spans[count++] = {static_cast<uint16_t>(start),
                      static_cast<uint16_t>(end - start)};
    start = end + 1;
  }
  spans[count++] = {static_cast<uint16_t>(start),
                    static_cast<uint16_t>(length - start)};
  return count;
}

// Reads the decimal speed; saturates instead of overflowing.
int ParseSpeed(const char* text, size_t length, uint32_t* value) {
  if (length == 0) return 0;
  uint64_t v = 0;
  for (size_t i = 0; i < length; ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    v = v * 10 + static_cast<unsigned>(text[i] - '0');
    if (v > 0xFFFFFFFFu) v = 0xFFFFFFFFu;
  }
  *value = static_cast<uint32_t>(v);
  return 1;
}

// Looks for a flag that is exactly CM among the comma-separated flags.
int HasCmFlag(const char* flags, size_t length) {
  size_t start = 0;
  while (start <= length) {
    const void* comma = memchr(flags + start, ',', length - start);
    size_t end = comma ? static_cast<const char*>(comma) - flags : length;
    if (EqualsNoCase(flags + start, end - start, "CM")) return 1;
    start = end + 1;
  }
  return 0;
}

int ParseBossLine(const char* line, const FieldSpan* f, size_t count,
                  ParsedLine* out, const char** why) {
  uint16_t point = 0;
  if (count < 2 ||
      !ParseFtnAddress(line + f[1].offset, f[1].length, &out->boss_zone,
                       &out->boss_net, &out->boss_node, &point) ||
      point != 0) {
    *why = "Boss line without a node address z:n/f";
    return 0;
  }
  return 1;
}

}  // namespace

uint16_t UpdateCrc16(uint16_t crc, const char* data, size_t length) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(data);
  const uint16_t(*t)[256] = kCrcTable.value;
  size_t i = 0;
  for (; i + 8 <= length; i += 8) {
    crc = static_cast<uint16_t>(
        t[7][(crc >> 8) ^ p[i]] ^ t[6][(crc & 0xFF) ^ p[i + 1]] ^
        t[5][p[i + 2]] ^ t[4][p[i + 3]] ^ t[3][p[i + 4]] ^ t[2][p[i + 5]] ^
        t[1][p[i + 6]] ^ t[0][p[i + 7]]);
  }
  for (; i < length; ++i)
    crc = static_cast<uint16_t>((crc << 8) ^ t[0][(crc >> 8) ^ p[i]]);
  return crc;
}

void StartListLines(const char* text, size_t size, ListLines* lines) {
  const void* eof = memchr(text, 0x1A, size);
  lines->text = text;
  lines->end =
      eof ? static_cast<size_t>(static_cast<const char*>(eof) - text) : size;
  lines->pos = 0;
  lines->number = 0;
}

int NextListLine(ListLines* lines, ListLine* line) {
  if (lines->pos >= lines->end) return 0;
  const char* start = lines->text + lines->pos;
  size_t left = lines->end - lines->pos;
  const void* lf = memchr(start, '\n', left);
  size_t length =
      lf ? static_cast<size_t>(static_cast<const char*>(lf) - start) : left;
  line->text = start;
  line->number = ++lines->number;
  line->end = lf ? LineEnd::kLf : LineEnd::kNone;
  if (lf && length > 0 && start[length - 1] == '\r') {
    --length;
    line->end = LineEnd::kCrLf;
  }
  line->length = length;
  lines->pos +=
      (lf ? static_cast<size_t>(static_cast<const char*>(lf) - start) + 1
          : left);
  return 1;
}

int ParseNumber16(const char* text, size_t length, uint16_t* value) {
  if (length == 0 || length > 5) return 0;
  uint32_t v = 0;
  for (size_t i = 0; i < length; ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    v = v * 10 + static_cast<uint32_t>(text[i] - '0');
  }
  if (v > 0xFFFF) return 0;
  *value = static_cast<uint16_t>(v);
  return 1;
}

int ParseFtnAddress(const char* text, size_t length, uint16_t* zone,
                    uint16_t* net, uint16_t* node, uint16_t* point) {
  const char* end = text + length;
  const char* colon = static_cast<const char*>(memchr(text, ':', length));
  if (!colon) return 0;
  const char* slash = static_cast<const char*>(memchr(colon, '/', end - colon));
  if (!slash) return 0;
  const char* dot = static_cast<const char*>(memchr(slash, '.', end - slash));
  const char* node_end = dot ? dot : end;
  *point = 0;
  if (!ParseNumber16(text, colon - text, zone) ||
      !ParseNumber16(colon + 1, slash - colon - 1, net) ||
      !ParseNumber16(slash + 1, node_end - slash - 1, node))
    return 0;
  return !dot || ParseNumber16(dot + 1, end - dot - 1, point);
}

ListCrc CheckListCrc(const char* text, size_t length) {
  ListCrc result = {0, 0, 0};
  const char* eof = static_cast<const char*>(memchr(text, 0x1A, length));
  size_t body_end = eof ? static_cast<size_t>(eof - text) : length;
  const char* lf = static_cast<const char*>(memchr(text, '\n', body_end));
  size_t first_end = lf ? static_cast<size_t>(lf - text) : body_end;
  size_t body = lf ? first_end + 1 : body_end;
  result.computed = UpdateCrc16(0, text + body, body_end - body);
  size_t e = first_end;
  while (e > 0 && (text[e - 1] == '\r' || text[e - 1] == ' ')) --e;
  size_t d = e;
  while (d > 0 && text[d - 1] >= '0' && text[d - 1] <= '9') --d;
  size_t c = d;
  while (c > 0 && text[c - 1] == ' ') --c;
  if (d < e && e - d <= 9 && c > 0 && text[c - 1] == ':') {
    result.claimed_present = 1;
    for (size_t i = d; i < e; ++i)
      result.claimed = result.claimed * 10 + (text[i] - '0');
  }
  return result;
}

int ParseListDate(const char* text, size_t length, ListDate* date) {
  static const char kDayNumber[] = "day number";
  const size_t word = sizeof(kDayNumber) - 1;
  const char* lf = static_cast<const char*>(memchr(text, '\n', length));
  size_t end = lf ? static_cast<size_t>(lf - text) : length;
  size_t at = 0;
  while (at + word <= end && !EqualsNoCase(text + at, word, kDayNumber)) ++at;
  if (at + word > end) return 0;
  size_t d = at + word;
  while (d < end && text[d] == ' ') ++d;
  size_t digits = 0;
  uint32_t day = 0;
  for (; d + digits < end && digits < 4 && IsDigit(text[d + digits]); ++digits)
    day = day * 10 + static_cast<uint32_t>(text[d + digits] - '0');
  if (digits == 0 || digits > 3 || day < 1 || day > 366) return 0;
  for (size_t y = at; y >= 4; --y) {
    size_t s = y - 4;
    if (IsDigit(text[s]) && IsDigit(text[s + 1]) && IsDigit(text[s + 2]) &&
        IsDigit(text[s + 3]) && (s == 0 || !IsDigit(text[s - 1])) &&
        !IsDigit(text[y])) {
      uint32_t year = 0;
      for (size_t i = s; i < y; ++i)
        year = year * 10 + static_cast<uint32_t>(text[i] - '0');
      date->year = static_cast<uint16_t>(year);
      date->day = static_cast<uint16_t>(day);
      return 1;
    }
  }
  return 0;
}

int ParseNodelistLine(const char* line, size_t length, ParsedLine* out,
                      const char** why) {
  memset(out, 0, sizeof(*out));
  if (length > kMaxLineLength) {
    *why = "line too long";
    return 0;
  }
  if (memchr(line, 0, length)) {
    *why = "line contains a zero byte";
    return 0;
  }
  FieldSpan f[8];
  size_t count = SplitFields(line, length, f, 8);
  if (!KeywordKind(line + f[0].offset, f[0].length, &out->kind)) {
    *why = "unknown keyword";
    return 0;
  }
  if (out->kind == LineKind::kBoss)
    return ParseBossLine(line, f, count, out, why);
  if (count < 7) {
    *why = "fewer than 7 fields";
    return 0;
  }
  if (!ParseNumber16(line + f[1].offset, f[1].length, &out->number)) {
    *why = "the number field is not a number from 0 to 65535";
    return 0;
  }
  if (out->kind == LineKind::kZone && out->number == 0) {
    *why = "zone number 0";
    return 0;
  }
  out->system = f[2];
  out->location = f[3];
  out->sysop = f[4];
  out->phone = f[5];
  out->speed = f[6];
  out->flags = count > 7 ? f[7] : FieldSpan{static_cast<uint16_t>(length), 0};
  out->speed_ok =
      ParseSpeed(line + f[6].offset, f[6].length, &out->speed_value);
  out->has_cm = HasCmFlag(line + out->flags.offset, out->flags.length);
  return 1;
}

}  // namespace v7c
