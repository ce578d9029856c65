#include "farhost/script_commands.h"

#include <memory>

#include "farhost/console_ui.h"
#include "farhost/find_walk.h"
#include "farhost/host_panels.h"
#include "farhost/list_format.h"
#include "farhost/sys.h"
#include "farhost/table_format.h"

namespace {

const int kTableWidth = 100;

// One scripted run: scratch settings, the front end and the host, torn
// down in the reverse order (the plugin is unloaded before the scratch key
// is deleted).
struct ScriptRun {
  explicit ScriptRun(const ScriptOptions& o, std::ostream* err)
      : Options(o), Ui(o.Host.CodePage, err), Err(err) {}

  ScriptOptions Options;
  ScratchSettings Scratch;
  ConsoleUi Ui;
  std::ostream* Err;
  std::unique_ptr<FarHost> Host;
};

// Makes the scratch key, loads and starts the plugin and opens a panel
// from the plugins menu. Returns null (with the status in *status) when
// there is nothing to work on.
PanelModel* StartRun(ScriptRun* run, int* status) {
  std::string error;
  if (!run->Scratch.Create(run->Options.Host.RootKey, run->Options.Overrides,
                           run->Options.SamplePath, &error)) {
    *run->Err << "tolvane: " << error << "\n";
    *status = kExitFailed;
    return nullptr;
  }
  HostOptions hostOptions = run->Options.Host;
  hostOptions.RootKey = run->Scratch.RootKey();
  run->Host = std::make_unique<FarHost>(hostOptions, &run->Ui);
  if (!run->Host->Load(&error)) {
    *run->Err << "tolvane: " << error << "\n";
    *status = kExitFailed;
    return nullptr;
  }
  run->Host->StartPlugin();
  PluginInfo info;
  run->Host->QueryPluginInfo(&info);
  PanelModel* panel = OpenPanel(run->Host.get(), OPEN_PLUGINSMENU, 0);
  if (panel == nullptr) {
    *run->Err << "tolvane: the plugin opened no panel\n";
    *status = kExitFailed;
  }
  return panel;
}

// The status at the end: a box the plugin showed decides first, then the
// host's record of faults, then the command's own status.
int FinishRun(ScriptRun* run, int status) {
  if (run->Host != nullptr) {
    CloseAllPanels(run->Host.get());
    for (const std::string& fault : run->Host->errors)
      *run->Err << "tolvane: host: " << fault << "\n";
    if (status == kExitOk && !run->Host->errors.empty()) status = kExitFailed;
  }
  if (run->Ui.MessagesShown() > 0) return kExitPluginError;
  return status;
}

void PrintListing(const PanelModel& panel, ListFormat format, int codePage,
                  std::ostream& out) {
  if (format == kListTsv)
    WriteTsvListing(panel, codePage, out);
  else if (format == kListJson)
    WriteJsonListing(panel, codePage, out);
  else
    WriteTableListing(panel, codePage, kTableWidth, out);
}

struct HitPrinter {
  std::ostream* Out;
  int CodePage;
};

void PrintHit(const FindHit& hit, void* context) {
  HitPrinter* printer = static_cast<HitPrinter*>(context);
  std::string text;
  SysOemToUtf8(printer->CodePage, hit.Path, &text);
  *printer->Out << text << (hit.Directory ? "\\" : "") << "\n";
}

}  // namespace

std::string BundledSamplePath() {
  return SysJoinPath(SysExecutableDir(), "sample");
}

int RunLs(const ScriptOptions& options, const std::string* path,
          ListFormat format, std::ostream& out, std::ostream& err) {
  ScriptRun run(options, &err);
  int status = kExitOk;
  PanelModel* panel = StartRun(&run, &status);
  if (panel != nullptr && path != nullptr &&
      !ChangeDirectory(run.Host.get(), panel, *path, 0)) {
    err << "tolvane: the plugin did not move to " << *path << "\n";
    panel = nullptr;
    status = kExitFailed;
  }
  if (panel != nullptr)
    PrintListing(*panel, format, options.Host.CodePage, out);
  return FinishRun(&run, status);
}

int RunFind(const ScriptOptions& options, const std::string& mask,
            std::ostream& out, std::ostream& err,
            const std::string& containing) {
  ScriptRun run(options, &err);
  int status = kExitOk;
  PanelModel* panel = StartRun(&run, &status);
  if (panel == nullptr) return FinishRun(&run, status);
  run.Host->Exports().SetDirectory(panel->Plugin, "\\", OPM_FIND);
  HitPrinter printer{&out, options.Host.CodePage};
  FindResult result =
      FindFilesContaining(run.Host.get(), panel, mask, containing, FindLimits(),
                          PrintHit, &printer);
  if (result.CutShort) {
    err << "tolvane: the search stopped: " << result.Reason << "\n";
    status = kExitWalkCut;
  }
  return FinishRun(&run, status);
}
