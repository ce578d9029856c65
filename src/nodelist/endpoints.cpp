#include "nodelist/endpoints.h"

#include <cstring>

#include "nodelist/text_fields.h"
#include "nodelist/top_level_domains.h"

namespace {

// A piece of the line: its first character and its length.
struct Span {
  const char* Text;
  size_t Length;
};

struct ProtocolFlag {
  const char* Flag;
  const char* Name;
  uint16_t DefaultPort;
};

// Indexed by EndpointProtocol.
const ProtocolFlag kProtocols[] = {
    {"", "", 0},           {"IBN", "binkp", 24554}, {"IFC", "ifcico", 60179},
    {"ITN", "telnet", 23}, {"IVM", "vmodem", 3141}, {"IFT", "ftp", 21},
};

const char* const kSourceNames[] = {"", "INA", "phone", "system name"};

// Fields of a nodelist line; from kFlagsField on the rest is the flags.
enum { kSystemNameField = 2, kPhoneField = 5, kFlagsField = 7 };

int IsDigit(char c) { return c >= '0' && c <= '9'; }
int IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
int IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

int SameNoCase(const char* a, const char* b, size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (Upper(a[i]) != Upper(b[i])) return 0;
  return 1;
}

// Flag names of three letters: "IBN", "INA", ...
int NameIs(Span name, const char* flag) {
  return name.Length == 3 && SameNoCase(name.Text, flag, 3);
}

Span Before(Span s, const char* at) {
  return Span{s.Text, static_cast<size_t>(at - s.Text)};
}
Span After(Span s, const char* at) {
  return Span{at + 1, s.Length - static_cast<size_t>(at + 1 - s.Text)};
}
// The values are short: a plain loop beats a library call here.
const char* Find(Span s, char c) {
  for (size_t i = 0; i < s.Length; ++i)
    if (s.Text[i] == c) return s.Text + i;
  return nullptr;
}

int IsAllDigits(Span s) {
  if (s.Length == 0) return 0;
  for (size_t i = 0; i < s.Length; ++i)
    if (!IsDigit(s.Text[i])) return 0;
  return 1;
}

// A port: one to five digits, 1 to 65535.
int ParsePort(Span s, uint16_t* port) {
  if (!IsAllDigits(s) || s.Length > 5) return 0;
  uint32_t value = 0;
  for (size_t i = 0; i < s.Length; ++i) value = value * 10 + (s.Text[i] - '0');
  if (value == 0 || value > 65535) return 0;
  *port = static_cast<uint16_t>(value);
  return 1;
}

// Four numbers of one to three digits, each at most 255, separated by
// `separator`. Returns 1 with the numbers.
int ParseQuad(Span s, char separator, unsigned parts[4]) {
  size_t at = 0;
  for (int part = 0; part < 4; ++part) {
    size_t start = at;
    unsigned value = 0;
    while (at < s.Length && IsDigit(s.Text[at]) && at - start < 3)
      value = value * 10 + static_cast<unsigned>(s.Text[at++] - '0');
    if (at == start || value > 255) return 0;
    parts[part] = value;
    if (part < 3 && (at == s.Length || s.Text[at++] != separator)) return 0;
  }
  return at == s.Length;
}

int IsIpv4Host(Span s) {
  unsigned parts[4];
  return ParseQuad(s, '.', parts) &&
         (parts[0] | parts[1] | parts[2] | parts[3]);
}

// An IPv6 address without brackets: eight groups of one to four hex
// digits, or fewer with one "::", the last two groups possibly written as
// an IPv4 address. The all-zero address is refused.
int IsIpv6(Span s) {
  if (s.Length < 2 || s.Length >= kEndpointHostSize) return 0;
  int groups = 0, compressed = 0, nonZero = 0;
  size_t i = 0;
  if (s.Text[0] == ':') {
    if (s.Text[1] != ':') return 0;
    compressed = 1;
    i = 2;
  }
  while (i < s.Length) {
    size_t start = i;
    while (i < s.Length && IsHexDigit(s.Text[i])) ++i;
    if (i < s.Length && s.Text[i] == '.') {
      unsigned parts[4];
      if (!ParseQuad(Span{s.Text + start, s.Length - start}, '.', parts))
        return 0;
      nonZero |= (parts[0] | parts[1] | parts[2] | parts[3]) != 0;
      groups += 2;
      break;
    }
    if (i == start || i - start > 4) return 0;
    for (size_t k = start; k < i; ++k) nonZero |= s.Text[k] != '0';
    ++groups;
    if (i == s.Length) break;
    if (s.Text[i++] != ':' || i == s.Length) return 0;
    if (s.Text[i] == ':') {
      if (compressed) return 0;
      compressed = 1;
      ++i;
    }
  }
  return nonZero && (compressed ? groups <= 7 : groups == 8);
}

// Letters, digits, hyphens and dots in labels that are not empty and do
// not start or end with a hyphen, with at least one letter. A final dot
// (a fully qualified name, "evg33.ru.") is part of the name.
int IsHostName(Span s) {
  if (s.Length == 0 || s.Length >= kEndpointHostSize) return 0;
  size_t end = s.Length;
  if (end > 1 && s.Text[end - 1] == '.') --end;
  int letters = 0;
  size_t label = 0;  // characters in the current label
  for (size_t i = 0; i < end; ++i) {
    char c = s.Text[i];
    if (c == '.') {
      if (label == 0 || s.Text[i - 1] == '-') return 0;
      label = 0;
      continue;
    }
    if (c == '-' && label == 0) return 0;
    if (!IsLetter(c) && !IsDigit(c) && c != '-') return 0;
    letters |= IsLetter(c);
    ++label;
  }
  return letters && label > 0 && s.Text[end - 1] != '-';
}

int IsHost(Span s) { return IsIpv4Host(s) || IsHostName(s); }

// A system name taken for a host: an IPv4 address, or a host name with a
// dot before a last label that is a top-level domain ("St.Petersburg" and
// "DREAMWEB.BBS" are names of systems, not hosts).
int IsDomainName(Span s) {
  if (IsIpv4Host(s)) return 1;
  if (!IsHostName(s)) return 0;
  size_t end = s.Text[s.Length - 1] == '.' ? s.Length - 1 : s.Length;
  size_t last = end;
  while (last > 0 && s.Text[last - 1] != '.') --last;
  return last > 0 && IsTopLevelDomain(s.Text + last, end - last);
}

// Drops a "scheme://" from the front of the value. Returns 0 when "://"
// follows something that is not a scheme.
int DropScheme(Span* value) {
  for (size_t i = 0; i + 3 <= value->Length; ++i) {
    if (value->Text[i] != ':' || value->Text[i + 1] != '/' ||
        value->Text[i + 2] != '/')
      continue;
    if (i == 0 || !IsLetter(value->Text[0])) return 0;
    for (size_t k = 1; k < i; ++k) {
      char c = value->Text[k];
      if (!IsLetter(c) && !IsDigit(c) && c != '+' && c != '-' && c != '.')
        return 0;
    }
    value->Text += i + 3;
    value->Length -= i + 3;
    return 1;
  }
  return 1;
}

// "[address]..." at the front of the value: the address and what follows
// the bracket. Returns 0 unless the brackets hold an IPv6 address.
int TakeBracketed(Span value, Span* host, Span* rest) {
  const char* close = Find(value, ']');
  if (close == nullptr) return 0;
  *host = Span{value.Text + 1, static_cast<size_t>(close - value.Text - 1)};
  *rest = After(value, close);
  return IsIpv6(*host);
}

size_t CountColons(Span s) {
  size_t count = 0;
  for (size_t i = 0; i < s.Length; ++i) count += s.Text[i] == ':';
  return count;
}

enum ValueKind { kValueEmpty, kValueGood, kValueBad };

// The value of a protocol flag: a port, a host, or both. Host.Length 0:
// no host; Port 0: the protocol's own.
struct FlagValue {
  Span Host;
  uint16_t Port;
};

ValueKind ParseBracketedValue(Span value, FlagValue* out) {
  Span rest;
  if (!TakeBracketed(value, &out->Host, &rest)) return kValueBad;
  if (rest.Length == 0) return kValueGood;
  if (rest.Text[0] != ':') return kValueBad;
  return ParsePort(After(rest, rest.Text), &out->Port) ? kValueGood : kValueBad;
}

ValueKind ParseProtocolValue(Span value, FlagValue* out) {
  *out = FlagValue{Span{nullptr, 0}, 0};
  if (value.Length == 0) return kValueEmpty;
  if (!DropScheme(&value) || value.Length == 0) return kValueBad;
  if (value.Text[0] == '[') return ParseBracketedValue(value, out);
  size_t colons = CountColons(value);
  if (colons == 0) {
    if (IsAllDigits(value))
      return ParsePort(value, &out->Port) ? kValueGood : kValueBad;
    if (!IsHost(value)) return kValueBad;
    out->Host = value;
    return kValueGood;
  }
  if (colons == 1) {
    const char* colon = Find(value, ':');
    Span host = Before(value, colon);
    if (!IsHost(host) || !ParsePort(After(value, colon), &out->Port))
      return kValueBad;
    out->Host = host;
    return kValueGood;
  }
  if (!IsIpv6(value)) return kValueBad;
  out->Host = value;
  return kValueGood;
}

// An INA host, and the port written after it (0 when none).
struct InaHost {
  Span Host;
  uint16_t Port;
};

// The port of ":port" at the front of rest; 0 for anything else.
uint16_t PortAfter(Span rest) {
  uint16_t port = 0;
  if (rest.Length > 0 && rest.Text[0] == ':')
    ParsePort(After(rest, rest.Text), &port);
  return port;
}

// The host of an INA value and a port after it; whatever else follows the
// host is ignored.
int ParseInaValue(Span value, InaHost* ina) {
  ina->Port = 0;
  if (!DropScheme(&value) || value.Length == 0) return 0;
  if (value.Text[0] == '[') {
    Span rest;
    if (!TakeBracketed(value, &ina->Host, &rest)) return 0;
    ina->Port = PortAfter(rest);
    return 1;
  }
  if (CountColons(value) >= 2 && IsIpv6(value)) {
    ina->Host = value;
    return 1;
  }
  const char* colon = Find(value, ':');
  Span name = colon ? Before(value, colon) : value;
  if (!IsHost(name)) return 0;
  ina->Host = name;
  if (colon)
    ina->Port =
        PortAfter(Span{colon, value.Length - Before(value, colon).Length});
  return 1;
}

// One flag: its name and its value (empty without a colon).
struct Flag {
  Span Name;
  Span Value;
};

// Takes the flag at *at and moves *at to the next one (null after the
// last). Returns 0 when there is none left.
int TakeFlag(const char** at, Flag* flag) {
  const char* start = *at;
  if (start == nullptr) return 0;
  const char* colon = nullptr;
  const char* end = start;
  for (; *end != ',' && *end != '\0'; ++end)
    if (*end == ':' && colon == nullptr) colon = end;
  Span text{start, static_cast<size_t>(end - start)};
  if (colon == nullptr)
    *flag = Flag{text, Span{end, 0}};
  else
    *flag = Flag{Before(text, colon), After(text, colon)};
  *at = *end != '\0' ? end + 1 : nullptr;
  return 1;
}

int ProtocolOf(Span name) {
  if (name.Length != 3 || Upper(name.Text[0]) != 'I') return 0;
  for (int p = kProtocolBinkp; p <= kLastProtocol; ++p)
    if (NameIs(name, kProtocols[p].Flag)) return p;
  return 0;
}

struct Decoder {
  EndpointList* List;
  const LinePieces* Pieces;
  InaHost InaHosts[kMaxEndpoints];
  int InaCount;
  int HasInaFlag;     // any INA flag, usable or not: no fallback then
  int FallbackKnown;  // FindFallback has run
  int HasFallback;
  char Fallback[kEndpointHostSize];  // from the phone or the system name
  uint8_t FallbackSource;
};

// A protocol flag met in the pass over the flags, taken once every INA
// host is known.
struct PendingFlag {
  int Protocol;
  Span Value;
};
enum { kPendingFlags = 16 };

// One pass over the flags: collects the INA hosts and the first
// kPendingFlags protocol flags; *rest is where the next protocol flag
// begins when more follow, else null.
int ScanFlags(const char* flags, Decoder* d, PendingFlag* pending,
              const char** rest) {
  int count = 0;
  *rest = nullptr;
  Flag flag;
  InaHost host;
  for (const char *at = flags, *start = flags; TakeFlag(&at, &flag);
       start = at) {
    if (flag.Name.Length != 3 || Upper(flag.Name.Text[0]) != 'I') continue;
    int protocol = ProtocolOf(flag.Name);
    if (protocol != 0 && count < kPendingFlags) {
      pending[count++] = PendingFlag{protocol, flag.Value};
    } else if (protocol != 0) {
      if (*rest == nullptr) *rest = start;
    } else if (NameIs(flag.Name, "INA")) {
      d->HasInaFlag = 1;
      if (d->InaCount < kMaxEndpoints && ParseInaValue(flag.Value, &host))
        d->InaHosts[d->InaCount++] = host;
    }
  }
  return count;
}

// The address of a phone written 000-a-b-c-d, as "a.b.c.d".
int PhoneAddress(Span phone, char* host) {
  if (phone.Length < 4 || std::memcmp(phone.Text, "000-", 4) != 0) return 0;
  unsigned parts[4];
  if (!ParseQuad(Span{phone.Text + 4, phone.Length - 4}, '-', parts) ||
      (parts[0] | parts[1] | parts[2] | parts[3]) == 0)
    return 0;
  for (int i = 0; i < 4; ++i) {
    host = WriteDecimal(host, static_cast<uint16_t>(parts[i]));
    *host++ = i < 3 ? '.' : '\0';
  }
  return 1;
}

// The host for flags without one when the entry has no INA flag; looked
// for only when such a flag comes.
void FindFallback(Decoder* d) {
  d->FallbackKnown = 1;
  const LinePieces& pieces = *d->Pieces;
  if (PhoneAddress(Span{pieces.Phone, pieces.PhoneLength}, d->Fallback)) {
    d->FallbackSource = kSourcePhone;
    d->HasFallback = 1;
    return;
  }
  Span name{pieces.SystemName, pieces.SystemNameLength};
  if (!IsDomainName(name)) return;
  std::memcpy(d->Fallback, name.Text, name.Length);
  d->Fallback[name.Length] = '\0';
  d->FallbackSource = kSourceSystemName;
  d->HasFallback = 1;
}

int SameEndpoint(const Endpoint& e, int protocol, Span host, uint16_t port) {
  return e.Protocol == protocol && e.Port == port &&
         std::strlen(e.Host) == host.Length &&
         SameNoCase(e.Host, host.Text, host.Length);
}

// Makes room for a binkp endpoint in a full list by dropping its last
// endpoint of another protocol; 0 when every one is binkp.
int DropLastNonBinkp(EndpointList* list) {
  for (int i = list->Count - 1; i >= 0; --i) {
    if (list->Items[i].Protocol == kProtocolBinkp) continue;
    for (int k = i + 1; k < list->Count; ++k)
      list->Items[k - 1] = list->Items[k];
    --list->Count;
    return 1;
  }
  return 0;
}

// Adds an endpoint unless it is there already. A full list keeps its
// binkp endpoints first: a binkp endpoint displaces the last one of
// another protocol, which mailers use less.
void Add(EndpointList* list, int protocol, int source, Span host,
         uint16_t port) {
  for (int i = 0; i < list->Count; ++i)
    if (SameEndpoint(list->Items[i], protocol, host, port)) return;
  if (list->Count == kMaxEndpoints &&
      (protocol != kProtocolBinkp || !DropLastNonBinkp(list)))
    return;
  Endpoint& e = list->Items[list->Count++];
  e.Protocol = static_cast<uint8_t>(protocol);
  e.Source = static_cast<uint8_t>(source);
  e.Port = port;
  std::memcpy(e.Host, host.Text, host.Length);
  e.Host[host.Length] = '\0';
}

void AddProtocolFlag(Decoder* d, int protocol, Span value) {
  FlagValue parsed;
  if (ParseProtocolValue(value, &parsed) == kValueBad) return;
  uint16_t port = parsed.Port ? parsed.Port : kProtocols[protocol].DefaultPort;
  if (parsed.Host.Length > 0) {
    Add(d->List, protocol, kSourceOwnFlag, parsed.Host, port);
    return;
  }
  // A port written on an INA host is the binkp port of that host unless
  // the flag gives its own; other protocols keep theirs.
  for (int i = 0; i < d->InaCount; ++i) {
    const InaHost& ina = d->InaHosts[i];
    int inaPort = protocol == kProtocolBinkp && !parsed.Port && ina.Port;
    Add(d->List, protocol, kSourceIna, ina.Host, inaPort ? ina.Port : port);
  }
  if (d->HasInaFlag) return;
  if (!d->FallbackKnown) FindFallback(d);
  if (d->HasFallback)
    Add(d->List, protocol, d->FallbackSource,
        Span{d->Fallback, std::strlen(d->Fallback)}, port);
}

}  // namespace

void FindLinePieces(const char* line, LinePieces* pieces) {
  *pieces = LinePieces{line, 0, line, 0, nullptr};
  int field = 0;
  const char* start = line;
  for (const char* at = line;; ++at) {
    if (*at != ',' && *at != '\0') continue;
    size_t length = static_cast<size_t>(at - start);
    if (field == kSystemNameField) {
      pieces->SystemName = start;
      pieces->SystemNameLength = length;
    }
    if (field == kPhoneField) {
      pieces->Phone = start;
      pieces->PhoneLength = length;
    }
    if (*at == '\0') return;
    start = at + 1;
    if (++field == kFlagsField) {
      pieces->Flags = start;
      return;
    }
  }
}

int DecodeEndpoints(const char* line, EndpointList* list) {
  list->Count = 0;
  if (line == nullptr) return 0;
  LinePieces pieces;
  FindLinePieces(line, &pieces);
  return DecodeLinePieces(pieces, list);
}

int DecodeLinePieces(const LinePieces& pieces, EndpointList* list) {
  list->Count = 0;
  if (pieces.Flags == nullptr) return 0;
  Decoder d;
  d.List = list;
  d.Pieces = &pieces;
  d.InaCount = 0;
  d.HasInaFlag = 0;
  d.FallbackKnown = 0;
  d.HasFallback = 0;
  PendingFlag pending[kPendingFlags];
  const char* rest = nullptr;
  int count = ScanFlags(pieces.Flags, &d, pending, &rest);
  for (int i = 0; i < count; ++i)
    AddProtocolFlag(&d, pending[i].Protocol, pending[i].Value);
  Flag flag;
  for (const char* at = rest; TakeFlag(&at, &flag);) {
    int protocol = ProtocolOf(flag.Name);
    if (protocol != 0) AddProtocolFlag(&d, protocol, flag.Value);
  }
  return list->Count;
}

uint16_t EndpointDefaultPort(int protocol) {
  return protocol >= kProtocolBinkp && protocol <= kLastProtocol
             ? kProtocols[protocol].DefaultPort
             : 0;
}

const char* EndpointProtocolName(int protocol) {
  return protocol >= kProtocolBinkp && protocol <= kLastProtocol
             ? kProtocols[protocol].Name
             : "";
}

const char* EndpointProtocolFlag(int protocol) {
  return protocol >= kProtocolBinkp && protocol <= kLastProtocol
             ? kProtocols[protocol].Flag
             : "";
}

const char* EndpointSourceName(int protocol, int source) {
  if (source == kSourceOwnFlag) return EndpointProtocolFlag(protocol);
  return source > kSourceOwnFlag && source <= kLastSource ? kSourceNames[source]
                                                          : "";
}

void FormatEndpointAddress(const Endpoint& endpoint, char* output,
                           size_t size) {
  char text[kEndpointAddressSize];
  char* at = text + 1;
  int ipv6 = 0;
  for (size_t i = 0; i < kEndpointHostSize - 1 && endpoint.Host[i]; ++i) {
    ipv6 |= endpoint.Host[i] == ':';
    *at++ = endpoint.Host[i];
  }
  char* start = text + 1;
  if (ipv6) {
    *--start = '[';
    *at++ = ']';
  }
  *at++ = ':';
  *WriteDecimal(at, endpoint.Port) = '\0';
  CopyClipped(output, start, size);
}
