#include "farhost/commands/script_commands.h"

#include "farhost/commands/endpoint_lines.h"
#include "farhost/commands/find_walk.h"
#include "farhost/commands/list_format.h"
#include "farhost/commands/script_run.h"
#include "farhost/commands/table_format.h"
#include "farhost/host/host_panels.h"
#include "farhost/sys/sys.h"

namespace {

const int kTableWidth = 100;

void PrintListing(FarHost* host, const PanelModel& panel, ListFormat format,
                  int codePage, std::ostream& out) {
  if (format == kListTsv)
    WriteTsvListing(panel, codePage, out);
  else if (format == kListJson)
    WriteJsonListing(panel, PanelDescriptions(host, panel), codePage, out);
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

int RunLs(const ScriptOptions& options, const std::string* path,
          ListFormat format, std::ostream& out, std::ostream& err) {
  ConsoleScriptRun run(options, err);
  PanelModel* panel = StartScriptRun(&run.Run, &run.Ui, &run.Status, path);
  if (panel != nullptr)
    PrintListing(run.Run.Host.get(), *panel, format, options.Host.CodePage,
                 out);
  return run.Finish();
}

int RunFind(const ScriptOptions& options, const std::string& mask,
            std::ostream& out, std::ostream& err,
            const std::string& containing) {
  ConsoleScriptRun run(options, err);
  PanelModel* panel = StartScriptRun(&run.Run, &run.Ui, &run.Status);
  if (panel == nullptr) return run.Finish();
  FarHost* host = run.Run.Host.get();
  host->Exports().SetDirectory(panel->Plugin, "\\", OPM_FIND);
  HitPrinter printer{&out, options.Host.CodePage};
  FindResult result = FindFilesContaining(host, panel, mask, containing,
                                          FindLimits(), PrintHit, &printer);
  if (result.CutShort) {
    err << "tolvane: the search stopped: " << result.Reason << "\n";
    run.Status = kExitWalkCut;
  }
  return run.Finish();
}
