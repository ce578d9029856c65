// bench_listing: times the plugin's listings as the host calls them. The
// release plugin is loaded through farhost's library and driven through its
// exported entry points only; every operation is timed in-process.
//
//   bench_listing [--plugin PATH] [--runs N] [--no-warmup] CASE...
//
// Cases (settings come from TOLVANE_REGISTRY as the plugin reads them):
//   move:PATH     SetDirectory(PATH, OPM_SILENT) + GetFindData + FreeFindData
//                 (PATH is absolute, so every run does the same work)
//   enter:PATH    the same with opMode 0, the interactive move, which also
//                 stores the start path
//   search:NAME   SetDirectory("?NAME") + GetFindData + FreeFindData, then
//                 ".." (not timed)
//   find          farhost's file search (FindFiles) with the mask "*" from
//                 the root: the whole tree walked with OPM_FIND
//
// Prints one line per case: "CASE items=N median_us=M min_us=L runs=R",
// where N is the number of items of one run (for find: all items looked
// at). The panel is opened as the host opens it (OpenPanel); the listing
// cases then call the plugin's entry points directly, so that the host's
// own copying of the items is not counted.
// One warm-up run precedes the timed ones unless --no-warmup is given. Under
// callgrind, collect with
// --toggle-collect=bench_measured_operation to count the timed runs only.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "farhost/commands/find_walk.h"
#include "farhost/host/host.h"
#include "farhost/host/host_panels.h"
#include "farhost/host/services.h"
#include "farhost/scripted/scripted_ui.h"
#include "farhost/sys/sys.h"

namespace {

struct BenchCase {
  std::string Kind;  // move, enter, search, find
  std::string Argument;
  std::string Text;  // as given on the command line
};

struct Session {
  FarHost* Host;
  PanelModel* Model;  // the host's panel, opened from the plugins menu
  const PluginExports* Plugin;
  HANDLE Panel;  // its plugin handle
};

long ListAndFree(const Session& s, int opMode) {
  PluginPanelItem* items = nullptr;
  int count = 0;
  if (!s.Plugin->GetFindData(s.Panel, &items, &count, opMode)) return -1;
  s.Plugin->FreeFindData(s.Panel, items, count);
  return count;
}

long Move(const Session& s, const std::string& path, int opMode) {
  if (!s.Plugin->SetDirectory(s.Panel, path.c_str(), opMode)) return -1;
  return ListAndFree(s, opMode);
}

void CountHit(const FindHit&, void* hits) { ++*static_cast<long*>(hits); }

// farhost's file search from the root with the mask "*": every item of the
// tree is looked at and matches. Returns the number of items looked at.
long FindEverything(const Session& s) {
  s.Plugin->SetDirectory(s.Panel, "\\", OPM_FIND);
  long hits = 0;
  FindResult result =
      FindFiles(s.Host, s.Model, "*", FindLimits(), CountHit, &hits);
  return result.CutShort ? -1 : result.Items;
}

long RunCase(const Session& s, const BenchCase& c) {
  if (c.Kind == "move") return Move(s, c.Argument, OPM_SILENT);
  if (c.Kind == "enter") return Move(s, c.Argument, 0);
  if (c.Kind == "search") return Move(s, "?" + c.Argument, 0);
  if (c.Kind == "find") return FindEverything(s);
  return -1;
}

// Undoes what a case leaves behind that would change the next run (not
// timed): a search is left with "..". A move needs nothing: its path is
// absolute, so the next run does the same work from there, and its
// baseline, the bare walk, also runs back to back. Going back to the root
// instead would walk the whole index between two runs and leave the
// caches cold for the measured one only.
void ResetPanel(const Session& s, const BenchCase& c) {
  if (c.Kind == "search") s.Plugin->SetDirectory(s.Panel, "..", 0);
}

}  // namespace

// The timed operation under its own plain name, for callgrind's
// --toggle-collect.
extern "C" __attribute__((noinline)) long bench_measured_operation(
    const void* session, const void* benchCase) {
  return RunCase(*static_cast<const Session*>(session),
                 *static_cast<const BenchCase*>(benchCase));
}

namespace {

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int ParseCase(const char* text, BenchCase* c) {
  c->Text = text;
  const char* colon = std::strchr(text, ':');
  c->Kind = colon ? std::string(text, colon) : std::string(text);
  c->Argument = colon ? std::string(colon + 1) : std::string();
  if (c->Kind == "find") return 1;
  return (c->Kind == "move" || c->Kind == "enter" || c->Kind == "search") &&
         !c->Argument.empty();
}

int Measure(const Session& s, const BenchCase& c, int runs, int warmUp) {
  long items = -2;
  if (warmUp) {
    items = RunCase(s, c);
    ResetPanel(s, c);
  }
  std::vector<double> micros;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    long n = bench_measured_operation(&s, &c);
    auto end = std::chrono::steady_clock::now();
    ResetPanel(s, c);
    if (items == -2) items = n;
    if (n != items) items = -1;
    micros.push_back(
        std::chrono::duration<double, std::micro>(end - start).count());
  }
  std::printf("%s items=%ld median_us=%.1f min_us=%.1f runs=%d\n",
              c.Text.c_str(), items, Median(micros),
              *std::min_element(micros.begin(), micros.end()), runs);
  std::fflush(stdout);
  return items >= 0;
}

const char kUsage[] =
    "usage: bench_listing [--plugin PATH] [--runs N] [--no-warmup] "
    "move:PATH|enter:PATH|search:NAME|find ...\n";

}  // namespace

int main(int argc, char** argv) {
  HostOptions options;
  options.PluginPath =
      SysJoinPath(SysJoinPath(SysExecutableDir(), "plugin"), "tolvane.so");
  int runs = 7;
  int warmUp = 1;
  std::vector<BenchCase> cases;
  for (int i = 1; i < argc; ++i) {
    BenchCase c;
    if (!std::strcmp(argv[i], "--plugin") && i + 1 < argc) {
      options.PluginPath = argv[++i];
    } else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (!std::strcmp(argv[i], "--no-warmup")) {
      warmUp = 0;
    } else if (ParseCase(argv[i], &c)) {
      cases.push_back(c);
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  ScriptedUi ui;
  FarHost host(options, &ui);
  std::string error;
  if (!host.Load(&error)) {
    std::fprintf(stderr, "bench_listing: %s\n", error.c_str());
    return 1;
  }
  StartPlugin(&host);
  PanelModel* model = OpenPanel(&host, OPEN_PLUGINSMENU, 0);
  if (model == nullptr) {
    std::fprintf(stderr, "bench_listing: OpenPlugin failed\n");
    return 1;
  }
  Session s = {&host, model, &host.Exports(), model->Plugin};
  int ok = 1;
  for (const BenchCase& c : cases) ok &= Measure(s, c, runs, warmUp);
  CloseAllPanels(&host);
  for (const UiCall& call : ui.Calls()) {
    if (call.kind != UiCall::kMessage) continue;
    std::string text = call.Message.Title;
    for (const std::string& line : call.Message.Lines) text += " / " + line;
    std::fprintf(stderr, "bench_listing: the plugin said: %s\n", text.c_str());
    ok = 0;
  }
  return ok ? 0 : 1;
}
