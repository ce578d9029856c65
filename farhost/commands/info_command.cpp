#include "farhost/commands/info_command.h"

#include <cstdio>

#include "farhost/console/console_ui.h"
#include "farhost/host/services.h"
#include "farhost/sys/sys.h"

namespace {

// More entries than any plugin registers: a larger count is a fault.
const int kMaxMenuStrings = 64;

struct Report {
  const FarHost* Host;
  std::ostream* Out;
  std::ostream* Err;
  int Faults;
};

std::string Utf8(const Report& r, const char* oem) {
  std::string text;
  SysOemToUtf8(r.Host->options.CodePage, oem != nullptr ? oem : "", &text);
  return text;
}

void Field(const Report& r, const char* label, const std::string& value) {
  char padded[32];
  std::snprintf(padded, sizeof(padded), "%-16s", label);
  *r.Out << padded << value << "\n";
}

// Lists a menu's strings, one line each; a count the host could not show
// is a fault.
void MenuStrings(Report* r, const char* label, const char* const* strings,
                 int count) {
  if (count < 0 || count > kMaxMenuStrings ||
      (count > 0 && strings == nullptr)) {
    *r->Err << label << ": " << count << " strings at "
            << (strings == nullptr ? "null" : "an address") << "\n";
    r->Faults++;
    return;
  }
  if (count == 0) Field(*r, label, "none");
  for (int i = 0; i < count; ++i) Field(*r, label, Utf8(*r, strings[i]));
}

void DisksMenu(Report* r, const PluginInfo& info) {
  if (info.DiskMenuStringsNumber != 1) {
    if (info.DiskMenuStringsNumber == 0)
      Field(*r, "disks menu", "not registered");
    else
      MenuStrings(r, "disks menu", info.DiskMenuStrings,
                  info.DiskMenuStringsNumber);
    return;
  }
  if (info.DiskMenuStrings == nullptr) {
    MenuStrings(r, "disks menu", nullptr, 1);
    return;
  }
  int digit = info.DiskMenuNumbers != nullptr ? info.DiskMenuNumbers[0] : 0;
  std::string hotkey = digit == 0 ? std::string("none") : std::to_string(digit);
  Field(*r, "disks menu",
        Utf8(*r, info.DiskMenuStrings[0]) + ", digit " + hotkey);
}

void Registration(Report* r, const PluginInfo& info) {
  if (info.StructSize != static_cast<int>(sizeof(PluginInfo))) {
    *r->Err << "PluginInfo.StructSize is " << info.StructSize << ", expected "
            << sizeof(PluginInfo) << "\n";
    r->Faults++;
  }
  MenuStrings(r, "plugins menu", info.PluginMenuStrings,
              info.PluginMenuStringsNumber);
  MenuStrings(r, "config menu", info.PluginConfigStrings,
              info.PluginConfigStringsNumber);
  DisksMenu(r, info);
  Field(*r, "command prefix",
        info.CommandPrefix != nullptr ? Utf8(*r, info.CommandPrefix) : "none");
  char flags[16];
  std::snprintf(flags, sizeof(flags), "0x%08x",
                static_cast<unsigned>(info.Flags));
  Field(*r, "flags", flags);
}

void Language(Report* r) {
  const HostLanguage& lang = r->Host->language;
  if (lang.Path.empty()) {
    Field(*r, "language file", "none");
    return;
  }
  Field(*r, "language file",
        lang.Path + " (" + lang.File.LanguageName + "), " +
            std::to_string(lang.File.Messages.size()) + " messages");
  std::string warning = LanguageCountWarning(r->Host);
  if (!warning.empty()) *r->Err << "warning: " << warning << "\n";
}

}  // namespace

int RunInfo(const HostOptions& options, std::ostream& out, std::ostream& err) {
  ConsoleUi ui(options.CodePage, &err);
  FarHost host(options, &ui);
  std::string error;
  if (!host.Load(&error)) {
    err << error << "\n";
    return 1;
  }
  StartPlugin(&host);
  PluginInfo info;
  host.QueryPluginInfo(&info);
  LoadHostLanguage(&host);
  Report report{&host, &out, &err, 0};
  Field(report, "plugin", host.PluginPath());
  Language(&report);
  Registration(&report, info);
  for (const std::string& fault : host.errors)
    err << "error: " << fault << "\n";
  bool failed =
      report.Faults > 0 || !host.errors.empty() || ui.MessagesShown() > 0;
  return failed ? 1 : 0;
}
