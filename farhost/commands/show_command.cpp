#include "farhost/commands/show_command.h"

#include "farhost/commands/file_fetch.h"
#include "farhost/commands/list_format.h"
#include "farhost/commands/script_run.h"
#include "farhost/host/host_panels.h"
#include "farhost/sys/sys.h"

namespace {

// Reads digits at *pos into *value; 0 when there are none or the number
// is above 65535.
int ReadNumber(const std::string& text, size_t* pos, unsigned* value) {
  size_t start = *pos;
  unsigned long number = 0;
  while (*pos < text.size() && text[*pos] >= '0' && text[*pos] <= '9') {
    number = number * 10 + static_cast<unsigned long>(text[*pos] - '0');
    if (number > 65535) return 0;
    ++*pos;
  }
  *value = static_cast<unsigned>(number);
  return *pos > start;
}

// The index of the item that the address names, or -1.
int FindEntry(const PanelModel& panel, const ShownAddress& address) {
  for (size_t i = 0; i < panel.Items.size(); ++i)
    if (BlockNamesEntry(panel.Items[i], address)) return static_cast<int>(i);
  return -1;
}

// Fetches one entry's file as the viewer gets it and prints it; 0 when
// there is none (said on the error stream). `there` tells that the panel
// lists the entry's listing already.
int ShowOne(ScriptRunState* run, PanelModel* panel, const std::string& text,
            int there, std::ostream& out) {
  std::string file;
  if (FetchShownEntry(run, panel, text, there, OPM_VIEW, &file) < 0) return 0;
  std::string shown;
  SysOemToUtf8(run->Options.Host.CodePage, ViewerLines(file), &shown);
  out << shown;
  return 1;
}

}  // namespace

int ParseShownAddress(const std::string& text, ShownAddress* address) {
  static const char kSeparators[] = ":/.";
  *address = ShownAddress{0, 0, 0, 0, 0};
  unsigned* parts[] = {&address->Zone, &address->Net, &address->Node,
                       &address->Point};
  size_t pos = 0;
  for (int part = 0; part < 4; ++part) {
    if (!ReadNumber(text, &pos, parts[part])) return 0;
    address->Parts = part + 1;
    if (pos == text.size()) return 1;
    if (part == 3 || text[pos] != kSeparators[part]) return 0;
    ++pos;
  }
  return 0;
}

std::string ListingOf(const ShownAddress& address) {
  std::string zone = std::to_string(address.Zone);
  std::string net = zone + ":" + std::to_string(address.Net);
  switch (address.Parts) {
    case 1:
      return "\\";
    case 2:
      return "\\" + zone;
    case 3:
      return "\\" + net;
    default:
      return "\\" + net + "/" + std::to_string(address.Node);
  }
}

int BlockNamesEntry(const PluginPanelItem& item, const ShownAddress& address) {
  AddressBlock block;
  if (!ReadAddressBlock(item, &block)) return 0;
  if (block.Zone != address.Zone || block.Node != address.Node ||
      block.Point != address.Point)
    return 0;
  return address.Parts == 1 || block.Net == address.Net;
}

int FetchShownEntry(ScriptRunState* run, PanelModel* panel,
                    const std::string& text, int there, int opMode,
                    std::string* file) {
  std::ostream& err = *run->Err;
  file->clear();
  ShownAddress address;
  if (!ParseShownAddress(text, &address)) {
    err << "tolvane: not an address: " << text << "\n";
    return -1;
  }
  int index = -1;
  if (there || ChangeDirectory(run->Host.get(), panel, ListingOf(address), 0))
    index = FindEntry(*panel, address);
  if (index < 0) {
    err << "tolvane: " << text << " is not in the nodelist\n";
    return -1;
  }
  if (!FetchEntryFile(run->Host.get(), panel, index, opMode, file)) {
    err << "tolvane: the plugin gave no file for " << text << "\n";
    return -1;
  }
  return index;
}

int RunForEntries(const ScriptOptions& options,
                  const std::vector<std::string>& addresses, EntryRoutine one,
                  std::ostream& out, std::ostream& err) {
  ConsoleScriptRun run(options, err);
  ShownAddress first;
  int direct = !addresses.empty() && ParseShownAddress(addresses[0], &first);
  std::string path = direct ? ListingOf(first) : std::string();
  PanelModel* panel = StartScriptRun(&run.Run, &run.Ui, &run.Status,
                                     direct ? &path : nullptr, &direct);
  for (size_t i = 0; panel != nullptr && i < addresses.size(); ++i)
    if (!one(&run.Run, panel, addresses[i], direct && i == 0, out))
      run.Status = kExitFailed;
  return run.Finish();
}

int RunShow(const ScriptOptions& options,
            const std::vector<std::string>& addresses, std::ostream& out,
            std::ostream& err) {
  return RunForEntries(options, addresses, ShowOne, out, err);
}
