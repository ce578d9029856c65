#include "farhost/commands/script_run.h"

#include "farhost/host/host_panels.h"
#include "farhost/host/services.h"
#include "farhost/sys/sys.h"

PanelModel* StartScriptRun(ScriptRunState* run, HostUi* ui, int* status,
                           const std::string* path, int* atPath) {
  std::string error;
  std::ostream& err = *run->Err;
  if (!run->Scratch.Create(run->Options.Host.RootKey, run->Options.Overrides,
                           run->Options.SamplePath, &error)) {
    err << "tolvane: " << error << "\n";
    *status = kExitFailed;
    return nullptr;
  }
  HostOptions hostOptions = run->Options.Host;
  hostOptions.RootKey = run->Scratch.RootKey();
  run->Host = std::make_unique<FarHost>(hostOptions, ui);
  if (!run->Host->Load(&error)) {
    err << "tolvane: " << error << "\n";
    *status = kExitFailed;
    return nullptr;
  }
  StartPlugin(run->Host.get());
  PluginInfo info;
  run->Host->QueryPluginInfo(&info);
  PanelModel* panel = path != nullptr
                          ? OpenPanel(run->Host.get(), OPEN_COMMANDLINE,
                                      reinterpret_cast<intptr_t>(path->c_str()))
                          : OpenPanel(run->Host.get(), OPEN_PLUGINSMENU, 0);
  if (atPath != nullptr) {
    *atPath = panel != nullptr;
    if (panel == nullptr)
      panel = OpenPanel(run->Host.get(), OPEN_PLUGINSMENU, 0);
    path = nullptr;
  }
  if (panel == nullptr) {
    if (path != nullptr)
      err << "tolvane: the plugin did not move to " << *path << "\n";
    else
      err << "tolvane: the plugin opened no panel\n";
    *status = kExitFailed;
  }
  return panel;
}

int FinishScriptRun(ScriptRunState* run, int status, int boxesShown) {
  if (run->Host != nullptr) {
    CloseAllPanels(run->Host.get());
    for (const std::string& fault : run->Host->errors)
      *run->Err << "tolvane: host: " << fault << "\n";
    if (status == kExitOk && !run->Host->errors.empty()) status = kExitFailed;
  }
  if (int interrupted = SysInterruption()) return interrupted;
  if (boxesShown > 0) return kExitPluginError;
  return status;
}

int MoveScriptPanel(ScriptRunState* run, PanelModel* panel,
                    const std::string& path) {
  if (ChangeDirectory(run->Host.get(), panel, path, 0)) return 1;
  *run->Err << "tolvane: the plugin did not move to " << path << "\n";
  return 0;
}

ConsoleScriptRun::ConsoleScriptRun(const ScriptOptions& options,
                                   std::ostream& err)
    : Ui(options.Host.CodePage, &err) {
  Run.Options = options;
  Run.Err = &err;
}

int ConsoleScriptRun::Finish() {
  return FinishScriptRun(&Run, Status, Ui.MessagesShown());
}
