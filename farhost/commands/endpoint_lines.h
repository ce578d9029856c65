// The internet endpoints of an entry as its description file lists them,
// after the entry's other lines: one line per endpoint, labelled with the
// protocol, "binkp           : f1042.g0x.ru:24556 (IBN)". The tolvane
// program reads endpoints this way, as the host's viewer shows them; it
// knows nothing of the nodelist itself.
#ifndef TOLVANE_FARHOST_ENDPOINT_LINES_H
#define TOLVANE_FARHOST_ENDPOINT_LINES_H

#include <string>
#include <vector>

#include "farhost/commands/flag_lines.h"
#include "farhost/host/host.h"

struct EndpointLine {
  std::string Protocol;  // binkp, ifcico, telnet, vmodem or ftp
  std::string Host;      // an IPv6 address without its brackets
  unsigned Port;         // 1 to 65535
  std::string Source;    // IBN, IFC, ITN, IVM, IFT, INA, phone, system name
};

// The endpoint lines of a description file (CR LF or LF line ends), in
// order. A line counts when its 16-character label is a protocol name and
// its value reads "host:port (source)" ("[address]:port" for IPv6) with a
// known source; every other line is not an endpoint.
std::vector<EndpointLine> ParseEndpointLines(const std::string& file);

// 1 when the entry of a description file asks not to be called: its first
// line, the entry's own, is labelled with the nodelist keyword Hold or
// Down (in any letter case). A binkd configuration leaves such entries out.
int TakesNoCalls(const std::string& file);

// "host:port", or "[address]:port" for an IPv6 address.
std::string EndpointHostPort(const EndpointLine& endpoint);

// What the description file of a panel's item lists: its endpoints and
// its flags in words. Known is 0 for an item the plugin wrote no file for
// (one without an address block, "..").
struct ItemDescription {
  int Known = 0;
  int NoCalls = 0;  // TakesNoCalls of its file
  std::vector<EndpointLine> Lines;
  std::vector<FlagLine> Flags;
};

// The endpoints and flags of every item of the panel, in the panel's
// order, from their description files: one GetFiles call for all of them
// (OPM_FIND | OPM_SILENT, as the host's file search asks) into one
// temporary folder.
std::vector<ItemDescription> PanelDescriptions(FarHost* host,
                                               const PanelModel& panel);

#endif  // TOLVANE_FARHOST_ENDPOINT_LINES_H
