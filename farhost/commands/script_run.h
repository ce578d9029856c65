// One scripted run of the plugin for the scripting commands:
// scratch settings, a host on a given front end, a panel opened from the
// plugins menu, and at the end every panel closed and the faults reported;
// with the program's options and exit statuses that every command shares.
// The front end must outlive the run.
#ifndef TOLVANE_FARHOST_SCRIPT_RUN_H
#define TOLVANE_FARHOST_SCRIPT_RUN_H

#include <memory>
#include <ostream>
#include <string>

#include "farhost/commands/scratch_settings.h"
#include "farhost/console/console_ui.h"
#include "farhost/host/host.h"

// Exit statuses of the tolvane program.
enum ExitStatus {
  kExitOk = 0,
  kExitFailed = 1,       // no plugin, no panel, a refused path, host faults
  kExitUsage = 2,        // bad arguments, or no command
  kExitPluginError = 3,  // the plugin showed an error box (output may follow)
  kExitWalkCut = 4,      // find: the walk hit its bound; the list is partial
};

struct ScriptOptions {
  HostOptions Host;  // Host.RootKey: where the stored settings are
  SettingsOverrides Overrides;
  std::string SamplePath;  // the bundled compiled sample nodelist's folder
};

// Members go in reverse order: the plugin is unloaded before the scratch
// key is deleted.
struct ScriptRunState {
  ScriptOptions Options;
  std::ostream* Err = nullptr;
  ScratchSettings Scratch;
  std::unique_ptr<FarHost> Host;
};

// Makes the scratch settings, loads and starts the plugin on the front end
// and opens a panel: from the plugins menu, at the start path; or, given a
// path, from the host's command line with it ("V7:PATH"), which lists that
// path alone (taken from the root). Returns null with *status set (the
// reason on the error stream) when there is nothing to work on. Given
// atPath too, a path the plugin refuses is no failure: the panel is opened
// from the plugins menu instead, and *atPath tells which of the two opened.
PanelModel* StartScriptRun(ScriptRunState* run, HostUi* ui, int* status,
                           const std::string* path = nullptr,
                           int* atPath = nullptr);

// A run whose boxes go to the error stream as text. The front end comes
// first, so that the run ends before it.
struct ConsoleScriptRun {
  ConsoleScriptRun(const ScriptOptions& options, std::ostream& err);
  ConsoleUi Ui;
  ScriptRunState Run;
  int Status = kExitOk;
  // FinishScriptRun with Status and the boxes shown.
  int Finish();
};

// Closes every panel and reports the host's record of faults. The status:
// the interruption's (SysInterruption) when the run was interrupted, else
// kExitPluginError when the plugin showed boxesShown > 0 boxes, else
// kExitFailed for a fault of the plugin when status was kExitOk, else
// status.
int FinishScriptRun(ScriptRunState* run, int status, int boxesShown);

// Moves the panel with SetDirectory(path, 0); says so on the error stream
// when the plugin refuses.
int MoveScriptPanel(ScriptRunState* run, PanelModel* panel,
                    const std::string& path);

#endif  // TOLVANE_FARHOST_SCRIPT_RUN_H
