// `tolvane show ADDRESS...`: each entry's description file as the viewer
// shows it, fetched with GetFiles(OPM_VIEW) from the listing that holds
// the entry.
#ifndef TOLVANE_FARHOST_SHOW_COMMAND_H
#define TOLVANE_FARHOST_SHOW_COMMAND_H

#include <ostream>
#include <string>
#include <vector>

#include "farhost/commands/script_commands.h"
#include "farhost/commands/script_run.h"

// An address as typed: "zone", "zone:net", "zone:net/node" or
// "zone:net/node.point"; Parts tells how many of the four were given.
struct ShownAddress {
  int Parts;
  unsigned Zone, Net, Node, Point;
};

// Parses an address; 0 for anything else (a number above 65535, an empty
// part, a stray character).
int ParseShownAddress(const std::string& text, ShownAddress* address);

// The panel path of the listing that holds the entry: "\" for a zone,
// "\zone" for a net, "\zone:net" for a node, "\zone:net/node" for a point.
std::string ListingOf(const ShownAddress& address);

// Whether an item's address block names the entry: zone, net, node and
// point as typed, the parts not typed 0 (a zone's own entry carries its
// zone as its net).
int BlockNamesEntry(const PluginPanelItem& item, const ShownAddress& address);

// Moves the panel to the listing that holds the entry the typed address
// names (unless `there` tells that it lists it already) and fetches the entry's
// description file with GetFiles(opMode) into *file. Returns the entry's index
// in the panel, or -1 when the text is no address, the nodelist lacks the entry
// or the plugin gave no file (each said on the run's error stream).
int FetchShownEntry(ScriptRunState* run, PanelModel* panel,
                    const std::string& text, int there, int opMode,
                    std::string* file);

// Works on one entry that a typed address names: prints what it has to
// say about it on `out`, or says on the run's error stream why not and
// returns 0. `there` tells that the panel lists the entry's listing.
typedef int (*EntryRoutine)(ScriptRunState* run, PanelModel* panel,
                            const std::string& text, int there,
                            std::ostream& out);

// A run over the entries `addresses` name: the panel opens at the first
// entry's listing, from the host's command line, rather than at the start
// path and then moving there (where the plugin refuses that path, or the
// first text is no address, at the start path), and `one` is called for
// each address in turn. Returns an ExitStatus: kExitFailed when any call
// returned 0 (or kExitPluginError when the plugin showed a box).
int RunForEntries(const ScriptOptions& options,
                  const std::vector<std::string>& addresses, EntryRoutine one,
                  std::ostream& out, std::ostream& err);

// Prints the files one after another, converted from the OEM code page to
// UTF-8 with LF line ends. An address that is malformed or that the
// nodelist lacks is named on the error stream and the rest still printed.
// Returns an ExitStatus: kExitFailed when any address gave no file (or
// kExitPluginError when the plugin showed a box).
int RunShow(const ScriptOptions& options,
            const std::vector<std::string>& addresses, std::ostream& out,
            std::ostream& err);

#endif  // TOLVANE_FARHOST_SHOW_COMMAND_H
