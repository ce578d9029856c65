#include "farhost/commands/internet_commands.h"

#include <algorithm>
#include <tuple>

#include "farhost/commands/endpoint_lines.h"
#include "farhost/commands/file_fetch.h"
#include "farhost/commands/find_walk.h"
#include "farhost/commands/list_format.h"
#include "farhost/commands/show_command.h"

namespace {

// "zone:net/node", with ".point" for a point.
std::string EntryAddress(const AddressBlock& block) {
  std::string text = std::to_string(block.Zone);
  text += ':';
  text += std::to_string(block.Net);
  text += '/';
  text += std::to_string(block.Node);
  if (block.Point != 0) {
    text += '.';
    text += std::to_string(block.Point);
  }
  return text;
}

// Prints one entry's endpoints; 0 when it has none or cannot be found.
int ConnectOne(ScriptRunState* run, PanelModel* panel, const std::string& text,
               int there, std::ostream& out) {
  std::string file;
  int index = FetchShownEntry(run, panel, text, there, OPM_VIEW, &file);
  if (index < 0) return 0;
  AddressBlock block;
  ReadAddressBlock(panel->Items[static_cast<size_t>(index)], &block);
  std::vector<EndpointLine> lines = ParseEndpointLines(file);
  if (lines.empty()) {
    *run->Err << "tolvane: " << text << " has no internet endpoint\n";
    return 0;
  }
  for (const EndpointLine& line : lines)
    out << EntryAddress(block) << "\t" << line.Protocol << "\t" << line.Host
        << "\t" << line.Port << "\t" << line.Source << "\n";
  return 1;
}

// One node line: the entry's address and its binkp hosts.
struct BinkdNode {
  AddressBlock Block;
  std::string Hosts;  // "host:port;host:port"
};

// The entries the walk found in one directory, whose files are fetched
// together in one GetFiles call.
struct EntryBatch {
  std::string Folder;  // the directory's path in the walk
  PanelModel Entries;
};

// A batch is fetched when the walk leaves its directory, or when it holds
// this many entries.
const size_t kBatchEntries = 1024;

struct BinkdWalk {
  FarHost* Host;
  HANDLE Plugin;
  std::vector<EntryBatch> Open;  // the directories along the walk's path
  std::vector<BinkdNode> Nodes;
};

// The binkp endpoints of a description file, "host:port;host:port".
std::string BinkpHosts(const std::vector<EndpointLine>& lines) {
  std::string hosts;
  for (const EndpointLine& line : lines)
    if (line.Protocol == "binkp") {
      if (!hosts.empty()) hosts += ';';
      hosts += EndpointHostPort(line);
    }
  return hosts;
}

// Adds the entry's node line, unless it has no binkp endpoint or asks not
// to be called (Hold, Down): a mailer must not call it.
void AddNode(BinkdWalk* walk, const PluginPanelItem& item,
             const ItemDescription& endpoints) {
  if (endpoints.NoCalls) return;
  AddressBlock block;
  std::string hosts = BinkpHosts(endpoints.Lines);
  if (!hosts.empty() && ReadAddressBlock(item, &block))
    walk->Nodes.push_back(BinkdNode{block, hosts});
}

void FetchBatch(BinkdWalk* walk, EntryBatch* batch) {
  batch->Entries.Plugin = walk->Plugin;
  BindItems(&batch->Entries);
  std::vector<ItemDescription> endpoints =
      PanelDescriptions(walk->Host, batch->Entries);
  for (size_t i = 0; i < endpoints.size(); ++i)
    AddNode(walk, batch->Entries.Items[i], endpoints[i]);
  batch->Entries.Copies.clear();
  batch->Entries.Items.clear();
}

// Whether the walk's path lies in folder (or is it).
int LiesIn(const std::string& path, const std::string& folder) {
  return path.compare(0, folder.size(), folder) == 0 &&
         (path.size() == folder.size() || path[folder.size()] == '\\');
}

void OnEntryFound(const FindHit& hit, void* context) {
  if (hit.Directory || hit.Whole == nullptr) return;
  BinkdWalk* walk = static_cast<BinkdWalk*>(context);
  std::string folder = hit.Path.substr(0, hit.Path.rfind('\\'));
  while (!walk->Open.empty() && !LiesIn(folder, walk->Open.back().Folder)) {
    FetchBatch(walk, &walk->Open.back());
    walk->Open.pop_back();
  }
  if (walk->Open.empty() || walk->Open.back().Folder != folder)
    walk->Open.push_back(EntryBatch{folder, PanelModel()});
  EntryBatch& batch = walk->Open.back();
  batch.Entries.Copies.push_back(*hit.Whole);
  if (batch.Entries.Copies.size() >= kBatchEntries) FetchBatch(walk, &batch);
}

void FetchOpenBatches(BinkdWalk* walk) {
  for (; !walk->Open.empty(); walk->Open.pop_back())
    FetchBatch(walk, &walk->Open.back());
}

int ComesBefore(const BinkdNode& a, const BinkdNode& b) {
  return std::tie(a.Block.Zone, a.Block.Net, a.Block.Node, a.Block.Point) <
         std::tie(b.Block.Zone, b.Block.Net, b.Block.Node, b.Block.Point);
}

// The file search skips the node whose points a node listing shows: its
// own entry ("0", described ".."), taken here from the listing itself.
void AddListedNode(BinkdWalk* walk, const PanelModel& panel) {
  if (panel.Items.empty() || panel.Items[0].Description == nullptr ||
      std::string(panel.Items[0].Description) != "..")
    return;
  std::string file;
  if (!FetchItemFile(walk->Host, walk->Plugin, panel.Items[0],
                     OPM_FIND | OPM_SILENT, &file))
    return;
  ItemDescription endpoints;
  endpoints.NoCalls = TakesNoCalls(file);
  endpoints.Lines = ParseEndpointLines(file);
  AddNode(walk, panel.Items[0], endpoints);
}

}  // namespace

int RunConnect(const ScriptOptions& options,
               const std::vector<std::string>& addresses, std::ostream& out,
               std::ostream& err) {
  return RunForEntries(options, addresses, ConnectOne, out, err);
}

int RunBinkd(const ScriptOptions& options, const std::string* path,
             const std::string& domain, std::ostream& out, std::ostream& err) {
  ConsoleScriptRun run(options, err);
  PanelModel* panel = StartScriptRun(&run.Run, &run.Ui, &run.Status);
  if (panel != nullptr && path != nullptr &&
      !MoveScriptPanel(&run.Run, panel, *path)) {
    run.Status = kExitFailed;
    return run.Finish();
  }
  if (panel == nullptr) return run.Finish();
  FarHost* host = run.Run.Host.get();
  BinkdWalk walk{host, panel->Plugin, {}};
  if (path == nullptr)
    host->Exports().SetDirectory(panel->Plugin, "\\", OPM_FIND);
  else
    AddListedNode(&walk, *panel);
  FindLimits limits;
  limits.WholeItems = 1;
  FindResult result = FindFiles(host, panel, "*", limits, OnEntryFound, &walk);
  FetchOpenBatches(&walk);
  if (result.CutShort) {
    err << "tolvane: the search stopped: " << result.Reason << "\n";
    run.Status = kExitWalkCut;
  }
  std::stable_sort(walk.Nodes.begin(), walk.Nodes.end(), ComesBefore);
  for (const BinkdNode& node : walk.Nodes)
    out << "node " << EntryAddress(node.Block) << "@" << domain << " "
        << node.Hosts << "\n";
  return run.Finish();
}
