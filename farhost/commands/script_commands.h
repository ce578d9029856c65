// The scripting commands of the tolvane program, `ls` and `find`. Each run
// loads the plugin into a FarHost with the command-line front end, hands it
// scratch settings (scratch_settings.h) and goes through the plugin's
// exported entry points as the host does. Boxes the plugin shows go to the
// error stream.
#ifndef TOLVANE_FARHOST_SCRIPT_COMMANDS_H
#define TOLVANE_FARHOST_SCRIPT_COMMANDS_H

#include <ostream>
#include <string>

#include "farhost/commands/script_run.h"

enum ListFormat { kListTable, kListTsv, kListJson };

// `tolvane ls [PATH]`: opens a panel from the plugins menu (the plugin
// moves to its stored start path), with a path then moves there with
// SetDirectory(path, 0), and prints the listing in the format (a table 100
// characters wide by default). Returns an ExitStatus: kExitPluginError
// when the plugin showed a box (the listing is printed when one was made),
// kExitFailed when nothing could be listed without a box or the host
// recorded a fault of the plugin.
int RunLs(const ScriptOptions& options, const std::string* path,
          ListFormat format, std::ostream& out, std::ostream& err);

// `tolvane find MASK`: opens a panel, goes to the root with
// SetDirectory("\", OPM_FIND) and runs the host's file search over the
// whole tree, printing one line per match: the file names from the root
// joined by '\' ("\2\5020\1"), with a trailing '\' for a directory item.
// With a containing text, only non-directory items whose file (GetFiles
// with OPM_FIND) holds the text, without regard to case, are printed.
// Returns an ExitStatus (kExitWalkCut when the walk hit its bound).
int RunFind(const ScriptOptions& options, const std::string& mask,
            std::ostream& out, std::ostream& err,
            const std::string& containing = std::string());

#endif  // TOLVANE_FARHOST_SCRIPT_COMMANDS_H
