// The check of a nodelist. Sections: reporting, the form of a line, the
// fields and the address of an entry, its flags, the whole file.
#include "compiler/list_check.h"

#include <cstdarg>
#include <cstring>
#include <unordered_map>

#include "compiler/input_file.h"
#include "compiler/keys.h"
#include "compiler/nodelist_line.h"
#include "nodelist/endpoints.h"
#include "nodelist/flag_table.h"

namespace v7c {

namespace {

// ---------------------------------------------------------------------
// Reporting.

enum class Severity { kError, kWarning, kNote };

// The rules of the nodelist format that the check holds a list to.
const size_t kMaxListLine = 157;
const uint16_t kMaxNumber = 32767;
// What of a line or a flag a message quotes.
const size_t kQuoted = 40;

struct Checker {
  const std::string* name;
  FILE* out;
  CheckCounts counts;
  uint32_t shown;
  // Where the lines stand in the hierarchy. A segment starts below the
  // zone (or the net); a part not known yet is 0 and shown as '?'.
  uint16_t zone, net;
  int in_boss;
  uint16_t boss_zone, boss_net, boss_node;
  std::unordered_map<uint64_t, uint32_t> first_line;  // by address
  uint32_t lf_lines, first_lf_line;
};

void Report(Checker* c, uint32_t line, Severity severity, const char* format,
            ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 4, 5)))
#endif
    ;

void Report(Checker* c, uint32_t line, Severity severity, const char* format,
            ...) {
  static const char* const kNames[] = {"error", "warning", "note"};
  uint32_t* count = severity == Severity::kError     ? &c->counts.errors
                    : severity == Severity::kWarning ? &c->counts.warnings
                                                     : &c->counts.notes;
  ++*count;
  if (c->shown >= kMaxShownProblems) return;
  if (++c->shown == kMaxShownProblems) {
    fprintf(c->out,
            "%s: more than %u problems; the rest are counted, not shown\n",
            c->name->c_str(), kMaxShownProblems - 1);
    return;
  }
  char text[512];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  if (line > 0)
    fprintf(c->out, "%s:%u: %s: %s\n", c->name->c_str(), line,
            kNames[static_cast<int>(severity)], text);
  else
    fprintf(c->out, "%s: %s: %s\n", c->name->c_str(),
            kNames[static_cast<int>(severity)], text);
}

// Text from the list as a message quotes it: at most kQuoted characters,
// control bytes shown as '?'.
std::string Quote(const char* text, size_t length) {
  std::string quoted;
  size_t n = length < kQuoted ? length : kQuoted;
  for (size_t i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    quoted += (c < 0x20 || c == 0x7F) ? '?' : static_cast<char>(c);
  }
  if (n < length) quoted += "...";
  return quoted;
}

// ---------------------------------------------------------------------
// The form of a line.

int IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// Reports what is wrong with the bytes of a line. Returns 0 when the line
// is no text, so that its fields are not looked at.
int CheckLineForm(Checker* c, const ListLine& line) {
  if (line.end == LineEnd::kLf && c->lf_lines++ == 0)
    c->first_lf_line = line.number;
  if (line.end == LineEnd::kNone && line.length > 0)
    Report(c, line.number, Severity::kWarning, "the last line has no line end");
  if (line.length > kMaxListLine)
    Report(c, line.number, Severity::kWarning,
           "the line is %lu characters long; a nodelist line has at most %lu",
           static_cast<unsigned long>(line.length),
           static_cast<unsigned long>(kMaxListLine));
  if (line.length > 0 &&
      (line.text[line.length - 1] == ' ' || line.text[line.length - 1] == '\t'))
    Report(c, line.number, Severity::kWarning, "blanks at the end of the line");
  const unsigned char* bytes =
      reinterpret_cast<const unsigned char*>(line.text);
  for (size_t i = 0; i < line.length; ++i) {
    if (!IsControl(bytes[i])) continue;
    if (bytes[i] == '\r')
      Report(c, line.number, Severity::kError,
             "a CR that no LF follows (line ends of CR alone?)");
    else
      Report(c, line.number, Severity::kError,
             "the line holds a control byte 0x%02X at column %lu: it is not "
             "text",
             bytes[i], static_cast<unsigned long>(i + 1));
    return 0;
  }
  return 1;
}

// ---------------------------------------------------------------------
// The fields and the address of an entry.

struct Address {
  uint16_t zone, net, node, point;
};

uint64_t KeyOf(const Address& a) {
  return (uint64_t{a.zone} << 48) | (uint64_t{a.net} << 32) |
         (uint64_t{a.node} << 16) | a.point;
}

std::string FormatAddress(const Address& a) {
  auto part = [](uint16_t n) {
    return n == 0 ? std::string("?") : std::to_string(n);
  };
  std::string text =
      part(a.zone) + ":" + part(a.net) + "/" + std::to_string(a.node);
  if (a.point != 0) text += "." + std::to_string(a.point);
  return text;
}

// Moves the hierarchy on and gives the entry's address.
Address PlaceEntry(Checker* c, const ParsedLine& p) {
  uint16_t n = p.number;
  switch (p.kind) {
    case LineKind::kZone:
      c->zone = c->net = n;
      c->in_boss = 0;
      return {n, n, 0, 0};
    case LineKind::kRegion:
    case LineKind::kHost:
      c->net = n;
      c->in_boss = 0;
      return {c->zone, n, 0, 0};
    default:
      break;
  }
  if (p.kind == LineKind::kHub) c->in_boss = 0;
  if (c->in_boss) return {c->boss_zone, c->boss_net, c->boss_node, n};
  return {c->zone, c->net, n, 0};
}

void CheckDuplicate(Checker* c, uint32_t line, const Address& a) {
  auto [it, fresh] = c->first_line.emplace(KeyOf(a), line);
  if (!fresh)
    Report(c, line, Severity::kError,
           "%s is given twice; the first entry is at line %u",
           FormatAddress(a).c_str(), it->second);
}

int ListsAPhone(const char* phone, size_t length) {
  if (IsUnpublishedPhone(phone, length)) return 0;
  if (length >= 4 && memcmp(phone, "000-", 4) == 0) return 0;
  for (size_t i = 0; i < length; ++i)
    if (phone[i] >= '1' && phone[i] <= '9') return 1;
  return 0;
}

// ---------------------------------------------------------------------
// The flags of an entry.

int IsDigits(const char* text, size_t length) {
  if (length == 0) return 0;
  for (size_t i = 0; i < length; ++i)
    if (text[i] < '0' || text[i] > '9') return 0;
  return 1;
}

// The port a protocol flag's value gives, when it gives one: the value
// itself, the digits after "[address]:" or after the one colon of
// "host:port". *port is past 65535 for more than five digits.
int ValuePort(const FlagInfo& flag, uint32_t* port) {
  const char* v = flag.Value;
  size_t n = flag.ValueLength;
  if (!v || n == 0) return 0;
  size_t start = 0;
  if (v[0] == '[') {
    const char* close = static_cast<const char*>(memchr(v, ']', n));
    if (!close || close + 1 == v + n || close[1] != ':') return 0;
    start = static_cast<size_t>(close - v) + 2;
  } else if (!IsDigits(v, n)) {
    const char* colon = static_cast<const char*>(memchr(v, ':', n));
    if (!colon || memchr(colon + 1, ':', n - (colon + 1 - v))) return 0;
    start = static_cast<size_t>(colon - v) + 1;
  }
  if (!IsDigits(v + start, n - start)) return 0;
  *port = 0;
  for (size_t i = start; i < n; ++i)
    *port = (n - start > 5) ? 65536 : *port * 10 + (v[i] - '0');
  return 1;
}

// What the flags of an entry hold that the checks of the whole entry need.
struct FlagSummary {
  int has_ina;
  int protocol_flags;  // any protocol flag, older ones too
  int protocol_seen[kLastProtocol + 1];
  int port_reported[kLastProtocol + 1];  // its port is out of range
};

void CheckOneFlag(Checker* c, uint32_t line, const FlagInfo& f,
                  FlagSummary* s) {
  std::string quoted = Quote(f.Text, f.Length);
  if (f.Meaning == kMeaningHost) s->has_ina = 1;
  if (f.Meaning == kMeaningProtocol || f.Meaning == kMeaningBND ||
      f.Meaning == kMeaningTEL)
    s->protocol_flags = 1;
  if (f.Meaning == kMeaningProtocol) {
    s->protocol_seen[f.Protocol] = 1;
    uint32_t port = 0;
    if (ValuePort(f, &port) && (port == 0 || port > 65535)) {
      Report(c, line, Severity::kWarning,
             "%s: the port is out of range (1 to 65535)", quoted.c_str());
      s->port_reported[f.Protocol] = 1;
    }
  }
  if (f.Meaning == kMeaningUnreadable)
    Report(c, line, Severity::kWarning, "%s: this %s flag cannot be read",
           quoted.c_str(), f.Category == kCategoryTime ? "time" : "mail-hour");
  if (f.UserName && !f.User)
    Report(c, line, Severity::kWarning, "%s is a user flag and belongs after U",
           quoted.c_str());
  if (f.Meaning == kMeaningNotStandard && !f.User)
    Report(c, line, Severity::kNote, "%s is not a standard flag",
           quoted.c_str());
}

// The rules on how to reach an entry: a phone or an internet address, and
// a host for each protocol flag.
void CheckReach(Checker* c, const ListLine& line, const ParsedLine& p,
                const FlagSummary& s) {
  std::string text(line.text, line.length);
  EndpointList endpoints;
  DecodeEndpoints(text.c_str(), &endpoints);
  if (s.has_ina && !s.protocol_flags)
    Report(c, line.number, Severity::kWarning,
           "INA without an internet protocol flag (IBN, IFC, ITN, IVM, IFT)");
  if (endpoints.Count < kMaxEndpoints) {
    for (int protocol = 1; protocol <= kLastProtocol; ++protocol) {
      int found = 0;
      for (int i = 0; i < endpoints.Count; ++i)
        found |= endpoints.Items[i].Protocol == protocol;
      if (s.protocol_seen[protocol] && !found && !s.port_reported[protocol])
        Report(c, line.number, Severity::kWarning,
               "%s gets no host: the flag gives none, and neither do INA, "
               "the phone or the system name",
               EndpointProtocolFlag(protocol));
    }
  }
  int reached = endpoints.Count > 0 ||
                ListsAPhone(line.text + p.phone.offset, p.phone.length);
  if (!reached && p.kind != LineKind::kPvt && !c->in_boss)
    Report(c, line.number, Severity::kWarning,
           "lists neither a phone nor an internet address (only Pvt and Down "
           "entries may)");
}

// The flags, one by one, and then how to reach the entry; a Down entry
// is not reached at all.
void CheckFlags(Checker* c, const ListLine& line, const ParsedLine& p) {
  FlagSummary summary = {};
  FlagCursor cursor;
  StartFlags(&cursor, line.text + p.flags.offset, p.flags.length);
  FlagInfo flag;
  while (NextFlag(&cursor, &flag)) CheckOneFlag(c, line.number, flag, &summary);
  if (p.kind != LineKind::kDown) CheckReach(c, line, p, summary);
}

// ---------------------------------------------------------------------
// An entry line.

void CheckEntry(Checker* c, const ListLine& line) {
  ParsedLine p;
  const char* why = nullptr;
  if (!ParseNodelistLine(line.text, line.length, &p, &why)) {
    Report(c, line.number, Severity::kError, "%s: %s", why,
           Quote(line.text, line.length).c_str());
    return;
  }
  if (p.kind == LineKind::kBoss) {
    c->in_boss = 1;
    c->boss_zone = p.boss_zone;
    c->boss_net = p.boss_net;
    c->boss_node = p.boss_node;
    return;
  }
  if (p.kind == LineKind::kPoint && !c->in_boss)
    Report(c, line.number, Severity::kError,
           "a Point line outside a Boss block");
  if (p.number < 1 || p.number > kMaxNumber)
    Report(c, line.number, Severity::kError,
           "the number %u is out of range (1 to %u)", p.number, kMaxNumber);
  if (!p.speed_ok)
    Report(c, line.number, Severity::kWarning, "the speed '%s' is not a number",
           Quote(line.text + p.speed.offset, p.speed.length).c_str());
  CheckDuplicate(c, line.number, PlaceEntry(c, p));
  CheckFlags(c, line, p);
}

// ---------------------------------------------------------------------
// The whole file.

void CheckEnd(Checker* c, const std::string& text) {
  if (c->lf_lines > 0)
    Report(c, c->first_lf_line, Severity::kWarning,
           "%u line%s end%s in LF alone, not CR LF (the first here)",
           c->lf_lines, c->lf_lines == 1 ? "" : "s",
           c->lf_lines == 1 ? "s" : "");
  const void* eof = memchr(text.data(), 0x1A, text.size());
  if (!eof) Report(c, 0, Severity::kWarning, "no ^Z at the end of the list");
  ListCrc crc = CheckListCrc(text.data(), text.size());
  if (!crc.claimed_present)
    Report(c, 1, Severity::kNote,
           "the first line gives no CRC (as in a segment)");
  else if (crc.claimed != crc.computed)
    Report(c, 1, Severity::kError,
           "CRC mismatch: the first line says %u, the text gives %u",
           crc.claimed, crc.computed);
}

}  // namespace

CheckCounts CheckListText(const std::string& name, const std::string& text,
                          FILE* out) {
  Checker c = {};
  c.name = &name;
  c.out = out;
  if (text.empty()) {
    Report(&c, 0, Severity::kError, "the file is empty");
    return c.counts;
  }
  ListLines lines;
  StartListLines(text.data(), text.size(), &lines);
  ListLine line;
  while (NextListLine(&lines, &line)) {
    if (!CheckLineForm(&c, line)) continue;
    if (line.length == 0)
      Report(&c, line.number, Severity::kWarning, "empty line");
    else if (line.text[0] != ';')
      CheckEntry(&c, line);
  }
  CheckEnd(&c, text);
  return c.counts;
}

int RunCheck(const CompilerArgs& args, FILE* out, FILE* err) {
  InputText input;
  std::string error;
  if (!ReadInputText(args.inputs[0], &input, &error)) {
    fprintf(err, "error: %s\n", error.c_str());
    return 2;
  }
  CheckCounts counts = CheckListText(input.name, input.text, out);
  fprintf(out, "%s: %u error%s, %u warning%s, %u note%s\n", input.name.c_str(),
          counts.errors, counts.errors == 1 ? "" : "s", counts.warnings,
          counts.warnings == 1 ? "" : "s", counts.notes,
          counts.notes == 1 ? "" : "s");
  return counts.errors + counts.warnings > 0 ? 1 : 0;
}

}  // namespace v7c
