// `tolvane` with no command and `tolvane browse [PATH]`: picks the settings
// the interactive session runs on and starts the browser. Without
// overrides the plugin gets the stored root key, so the configuration, the
// sort, the view mode and the start path persist; when no nodelist folder
// is stored there, the bundled sample's folder is stored as "Path to
// nodelist" first. With overrides (--nodelist and friends) the session runs
// on scratch settings that are deleted when it ends.
#ifndef TOLVANE_FARHOST_BROWSE_BROWSE_COMMAND_H
#define TOLVANE_FARHOST_BROWSE_BROWSE_COMMAND_H

#include <string>

#include "farhost/commands/script_commands.h"

// Whether any override is set.
int HasOverrides(const SettingsOverrides& overrides);

// Stores samplePath (with a trailing separator) as "Path to nodelist" under
// root\Tolvane unless a value of that name is stored. Returns 1 when the
// value is there afterwards.
int SeedNodelistPath(const std::string& root, const std::string& samplePath);

// Where the browser keeps its histories: "history" beside the settings
// file ($TOLVANE_REGISTRY's folder, else $XDG_CONFIG_HOME/tolvane, else
// ~/.config/tolvane). Empty when none of these is known.
std::string BrowserHistoryPath();

// Runs the browser; path (or null) is where the left panel opens. Returns
// an ExitStatus.
int RunBrowseCommand(const ScriptOptions& options, const std::string* path);

#endif  // TOLVANE_FARHOST_BROWSE_BROWSE_COMMAND_H
