// How to reach an entry over the internet: its endpoints (protocol, host,
// port and where the host came from), decoded from the entry's V7+
// nodelist line by the rules that mailers' nodelist tools apply to the
// FidoNet internet flags. Nothing is looked up on the network and nothing
// is allocated; the line is only read.
//
// The rules, in short:
// - The protocol flags IBN (binkp, port 24554), IFC (ifcico, 60179), ITN
//   (telnet, 23), IVM (vmodem, 3141) and IFT (ftp, 21) may stand alone or
//   carry a port ("IBN:24556"), a host ("IBN:bbs.example.org") or both
//   ("IBN:bbs.example.org:24556", "IBN:[2001:db8::1]:24556").
// - A flag without its own host takes every INA host of the entry, in
//   order. An entry without any INA flag takes instead the IP address of a
//   phone written 000-a-b-c-d, or else the system name when it is an IPv4
//   address or a host name whose last label is a top-level domain
//   (top_level_domains.h); else it gives none. In an entry with INA flags
//   whose hosts are unusable such a flag gives none: the entry has said
//   where it is, and it is not at the phone or the system name.
// - Flag names are matched without regard to case, wherever they stand in
//   the flags (user flags after U too). An INA value gives a host and, for
//   binkp, a port ("INA:hub.example.us:24556" is binkp on 24556 when the
//   IBN flag names no port); other protocols keep their own ports, and
//   anything else after the host is ignored. A "scheme://" before a value
//   is dropped. A value that is then neither a host nor a port makes the
//   flag give nothing. Endpoints that come out the same are given once.
//
// Where the rules leave a case open:
// - An all-digit value is a port: "IBN:24556" never names a host. A port
//   is 1 to 65535.
// - A host is a name of letters, digits, hyphens and dots (no empty label,
//   no label that starts or ends with a hyphen, at least one letter; a
//   final dot, as in "evg33.ru.", is kept as written) or an
//   IPv4 address; 0.0.0.0 and an all-zero IPv6 address name no host (the
//   000-0-0-0-0 phone of internet-only systems gives none). Hosts longer
//   than kEndpointHostSize - 1 characters are not taken (never cut).
// - An IPv6 address is written in brackets, with an optional port after
//   them ("[2001:db8::1]:24556"); a value that is a whole IPv6 address
//   without brackets is taken as that address without a port.
// - An empty value ("IBN:") is taken as the flag alone.
// - At most kMaxEndpoints endpoints are kept, in the order of the flags:
//   every binkp endpoint (up to the bound) and the first ones of the
//   other protocols in the room left.
#ifndef TOLVANE_NODELIST_ENDPOINTS_H
#define TOLVANE_NODELIST_ENDPOINTS_H

#include <cstddef>
#include <cstdint>

enum EndpointProtocol : uint8_t {
  kProtocolBinkp = 1,
  kProtocolIfcico = 2,
  kProtocolTelnet = 3,
  kProtocolVmodem = 4,
  kProtocolFtp = 5,
  kLastProtocol = kProtocolFtp,
};

// Where the host of an endpoint came from.
enum EndpointSource : uint8_t {
  kSourceOwnFlag = 0,  // the protocol flag names its own host
  kSourceIna = 1,
  kSourcePhone = 2,
  kSourceSystemName = 3,
  kLastSource = kSourceSystemName,
};

enum {
  kMaxEndpoints = 8,
  kEndpointHostSize = 64,  // 63 characters and the terminator
  // "[host]:65535" and the terminator.
  kEndpointAddressSize = kEndpointHostSize + 2 + 6,
};

struct Endpoint {
  uint8_t Protocol;  // EndpointProtocol
  uint8_t Source;    // EndpointSource
  uint16_t Port;
  char Host[kEndpointHostSize];  // an IPv6 address without its brackets
};

struct EndpointList {
  int Count;
  Endpoint Items[kMaxEndpoints];
};

// The pieces of a nodelist line (keyword, number, system name, location,
// sysop, phone, speed, flags...) that the rules read: the system name and
// the phone, and where the flags begin (null when the line ends before
// them). The spans point into the line.
struct LinePieces {
  const char* SystemName;
  size_t SystemNameLength;
  const char* Phone;
  size_t PhoneLength;
  const char* Flags;
};

// Finds the pieces of a zero-terminated line.
void FindLinePieces(const char* line, LinePieces* pieces);

// Fills *list with the endpoints of a zero-terminated V7+ nodelist line
// and returns their number, 0 for a line without internet flags or hosts.
// A null line gives 0.
int DecodeEndpoints(const char* line, EndpointList* list);

// The same from the pieces of a line that the caller has found already
// (the record reader finds them as it reads the line).
int DecodeLinePieces(const LinePieces& pieces, EndpointList* list);

// "binkp", "ifcico", "telnet", "vmodem", "ftp"; "" for another number.
const char* EndpointProtocolName(int protocol);

// The flag of a protocol: "IBN", "IFC", "ITN", "IVM", "IFT"; "" otherwise.
const char* EndpointProtocolFlag(int protocol);

// The port a protocol flag without one of its own means (IBN 24554, IFC
// 60179, ITN 23, IVM 3141, IFT 21); 0 for another number.
uint16_t EndpointDefaultPort(int protocol);

// Where the host came from: the protocol's flag ("IBN", ...) for its own
// host, else "INA", "phone" or "system name"; "" for another number.
const char* EndpointSourceName(int protocol, int source);

// Writes "host:port", or "[address]:port" for an IPv6 address, into
// output (size bytes, at least 1), cut to size - 1 characters.
void FormatEndpointAddress(const Endpoint& endpoint, char* output, size_t size);

#endif  // TOLVANE_NODELIST_ENDPOINTS_H
