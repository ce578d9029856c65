#include "nodelist/endpoints.h"

#include <cstring>

#include "nodelist/text_fields.h"

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

int NameIs(Span name, const char* flag) {
  size_t length = std::strlen(flag);
  return name.Length == length && SameNoCase(name.Text, flag, length);
}

Span Before(Span s, const char* at) {
  return Span{s.Text, static_cast<size_t>(at - s.Text)};
}
Span After(Span s, const char* at) {
  return Span{at + 1, s.Length - static_cast<size_t>(at + 1 - s.Text)};
}
const char* Find(Span s, char c) {
  return static_cast<const char*>(std::memchr(s.Text, c, s.Length));
}

// The start of field n of the line, or null when the line has fewer.
const char* FieldStart(const char* line, int field) {
  for (; field > 0; --field) {
    line = std::strchr(line, ',');
    if (line == nullptr) return nullptr;
    ++line;
  }
  return line;
}

// The piece of text from start to the next comma or the end.
Span UpToComma(const char* start) {
  const char* comma = std::strchr(start, ',');
  return Span{start,
              comma ? static_cast<size_t>(comma - start) : std::strlen(start)};
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
// not start or end with a hyphen, with at least one letter.
int IsHostName(Span s) {
  if (s.Length == 0 || s.Length >= kEndpointHostSize) return 0;
  int letters = 0;
  size_t label = 0;  // characters in the current label
  for (size_t i = 0; i < s.Length; ++i) {
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
  return letters && label > 0 && s.Text[s.Length - 1] != '-';
}

int IsHost(Span s) { return IsIpv4Host(s) || IsHostName(s); }

// A system name taken for a host: an IPv4 address, or a host name with a
// dot before a last label of two or more letters.
int IsDomainName(Span s) {
  if (IsIpv4Host(s)) return 1;
  if (!IsHostName(s)) return 0;
  size_t last = s.Length;
  while (last > 0 && s.Text[last - 1] != '.') --last;
  if (last == 0 || s.Length - last < 2) return 0;
  for (size_t i = last; i < s.Length; ++i)
    if (!IsLetter(s.Text[i])) return 0;
  return 1;
}

// Drops a "scheme://" from the front of the value. Returns 0 when "://"
// follows something that is not a scheme.
int DropScheme(Span* value) {
  for (size_t i = 0; i + 3 <= value->Length; ++i) {
    if (std::memcmp(value->Text + i, "://", 3) != 0) continue;
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

// The host of an INA value; whatever follows it is ignored.
int ParseInaValue(Span value, Span* host) {
  if (!DropScheme(&value) || value.Length == 0) return 0;
  if (value.Text[0] == '[') {
    Span rest;
    return TakeBracketed(value, host, &rest);
  }
  if (CountColons(value) >= 2 && IsIpv6(value)) {
    *host = value;
    return 1;
  }
  const char* colon = Find(value, ':');
  Span name = colon ? Before(value, colon) : value;
  if (!IsHost(name)) return 0;
  *host = name;
  return 1;
}

// One flag: its name and its value (empty without a colon).
struct Flag {
  Span Name;
  Span Value;
};

Flag SplitFlag(Span flag) {
  const char* colon = Find(flag, ':');
  if (colon == nullptr) return Flag{flag, Span{flag.Text + flag.Length, 0}};
  return Flag{Before(flag, colon), After(flag, colon)};
}

// Takes the flag at *at and moves *at to the next one (null after the
// last). Returns 0 when there is none left.
int TakeFlag(const char** at, Flag* flag) {
  if (*at == nullptr) return 0;
  Span text = UpToComma(*at);
  *flag = SplitFlag(text);
  *at = (*at)[text.Length] != '\0' ? *at + text.Length + 1 : nullptr;
  return 1;
}

int ProtocolOf(Span name) {
  for (int p = kProtocolBinkp; p <= kLastProtocol; ++p)
    if (NameIs(name, kProtocols[p].Flag)) return p;
  return 0;
}

struct Decoder {
  EndpointList* List;
  Span InaHosts[kMaxEndpoints];
  int InaCount;
  char Fallback[kEndpointHostSize];  // from the phone or the system name
  uint8_t FallbackSource;
  int HasFallback;
};

void CollectInaHosts(const char* flags, Decoder* d) {
  Flag flag;
  Span host;
  for (const char* at = flags; TakeFlag(&at, &flag);)
    if (d->InaCount < kMaxEndpoints && NameIs(flag.Name, "INA") &&
        ParseInaValue(flag.Value, &host))
      d->InaHosts[d->InaCount++] = host;
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

void FindFallback(const char* line, Decoder* d) {
  const char* phone = FieldStart(line, kPhoneField);
  if (phone && PhoneAddress(UpToComma(phone), d->Fallback)) {
    d->FallbackSource = kSourcePhone;
    d->HasFallback = 1;
    return;
  }
  const char* system = FieldStart(line, kSystemNameField);
  if (system == nullptr) return;
  Span name = UpToComma(system);
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

void Add(EndpointList* list, int protocol, int source, Span host,
         uint16_t port) {
  for (int i = 0; i < list->Count; ++i)
    if (SameEndpoint(list->Items[i], protocol, host, port)) return;
  if (list->Count == kMaxEndpoints) return;
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
  } else if (d->InaCount > 0) {
    for (int i = 0; i < d->InaCount; ++i)
      Add(d->List, protocol, kSourceIna, d->InaHosts[i], port);
  } else if (d->HasFallback) {
    Add(d->List, protocol, d->FallbackSource,
        Span{d->Fallback, std::strlen(d->Fallback)}, port);
  }
}

char* Append(char* at, const char* text) {
  size_t length = std::strlen(text);
  std::memcpy(at, text, length);
  return at + length;
}

}  // namespace

int DecodeEndpoints(const char* line, EndpointList* list) {
  list->Count = 0;
  const char* flags = line ? FieldStart(line, kFlagsField) : nullptr;
  if (flags == nullptr) return 0;
  Decoder d;
  d.List = list;
  d.InaCount = 0;
  d.HasFallback = 0;
  CollectInaHosts(flags, &d);
  if (d.InaCount == 0) FindFallback(line, &d);
  Flag flag;
  for (const char* at = flags; TakeFlag(&at, &flag);) {
    int protocol = ProtocolOf(flag.Name);
    if (protocol != 0) AddProtocolFlag(&d, protocol, flag.Value);
  }
  return list->Count;
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
  char host[kEndpointHostSize];
  CopyClipped(host, endpoint.Host, sizeof(host));
  int ipv6 = std::strchr(host, ':') != nullptr;
  char* at = text;
  if (ipv6) *at++ = '[';
  at = Append(at, host);
  if (ipv6) *at++ = ']';
  *at++ = ':';
  *WriteDecimal(at, endpoint.Port) = '\0';
  CopyClipped(output, text, size);
}
