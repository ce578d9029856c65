// `tolvane connect` and `tolvane binkd`: how to reach nodes over the
// internet, read as the host reads an entry's contents, from the
// description files the plugin writes (endpoint_lines.h).
#ifndef TOLVANE_FARHOST_INTERNET_COMMANDS_H
#define TOLVANE_FARHOST_INTERNET_COMMANDS_H

#include <ostream>
#include <string>
#include <vector>

#include "farhost/commands/script_run.h"

// `tolvane connect ADDRESS...`: for each entry (found as `show` finds it)
// one tab-separated line per endpoint: the address (zone:net/node, with
// .point for a point), protocol, host (an IPv6 address without
// brackets), port and source. Returns an ExitStatus: kExitFailed when an
// address is malformed, missing or has no endpoint (said on the error
// stream; the other addresses are still printed).
int RunConnect(const ScriptOptions& options,
               const std::vector<std::string>& addresses, std::ostream& out,
               std::ostream& err);

// `tolvane binkd [PATH] [--domain NAME]`: one binkd "node" line for every
// entry under PATH (a zone, a net, a node with its points, or a sysop
// search "?name"; the whole nodelist without PATH) that has a binkp
// endpoint and takes calls (Hold and Down entries are left out):
// "node 2:5020/1042@fidonet f1042.g0x.ru:24556", its binkp
// endpoints joined by ';', in address order. The entries are found by the
// host's file search from PATH (find_walk.h), each node's own entry added
// when PATH names a node. Returns an ExitStatus (kExitWalkCut when the
// walk hit its bound; the lines found are printed).
int RunBinkd(const ScriptOptions& options, const std::string* path,
             const std::string& domain, std::ostream& out, std::ostream& err);

#endif  // TOLVANE_FARHOST_INTERNET_COMMANDS_H
