// The tolvane program: runs the plugin in farhost from the command line.
//
//   tolvane [options] info
//   tolvane [options] ls [PATH] [--format table|tsv|json]
//   tolvane [options] find MASK
//   tolvane [options] show|connect ADDRESS...
//   tolvane [options] binkd [PATH] [--domain NAME]
#include <CLI/CLI.hpp>
#include <iostream>
#include <string>
#include <vector>

#include "farhost/commands/info_command.h"
#include "farhost/commands/internet_commands.h"
#include "farhost/commands/key_command.h"
#include "farhost/commands/program_files.h"
#include "farhost/commands/script_commands.h"
#include "farhost/commands/show_command.h"
#include "farhost/host/host.h"
#include "farhost/sys/sys.h"
#include "version/version.h"
#if TOLVANE_BROWSER
#include "farhost/browse/browse_command.h"
#endif

namespace {

const char kUsage[] =
    "usage: tolvane [options] COMMAND\n"
    "commands:\n"
    "  info          show what the plugin registers with the host\n"
    "  ls [PATH]     list the panel at the start path or at PATH\n"
    "                (2:5020, \\2\\5020\\1, ?smith for a sysop search)\n"
    "  find MASK     search the whole tree for names matching MASK (* ?)\n"
    "                [--containing TEXT]: only entries whose file holds TEXT\n"
    "  show ADDRESS...  print each entry's description file\n"
    "  connect ADDRESS...  how to reach each entry over the internet:\n"
    "                address, protocol, host, port, source per line\n"
    "  binkd [PATH]  binkd node lines for the entries under PATH (default:\n"
    "                the whole nodelist) [--domain NAME, default fidonet]\n"
    "  key PATH KEY...  press keys on the panel at PATH, print the panel\n"
    "  browse [PATH] the interactive browser (also with no command)\n"
    "Run 'tolvane --help' for the options.\n";

const char kFooter[] =
    "Settings: the plugin's stored settings under ROOT\\Tolvane (the\n"
    "registry; on Linux the file named by TOLVANE_REGISTRY). The scripting\n"
    "commands work on a scratch copy with the overrides and never change\n"
    "them.\n"
    "\n"
    "Exit status:\n"
    "  0  success\n"
    "  1  the plugin did not load or opened no panel, a path was refused\n"
    "     without a message, or the plugin misused the host; show and\n"
    "     connect: an address gave no file or (connect) no endpoint\n"
    "  2  bad arguments, or no command\n"
    "  3  the plugin showed an error box (its text is on standard error;\n"
    "     a listing that was made is printed all the same)\n"
    "  4  find, binkd: the search stopped at its bound; the list is partial\n"
    "  130, 143  interrupted (Ctrl+C, SIGTERM): what was found so far is\n"
    "     printed and the scratch settings are removed all the same";

void AddHostOptions(CLI::App* app, ScriptOptions* options) {
  HostOptions* host = &options->Host;
  app->add_option("--plugin", host->PluginPath,
                  "the plugin binary (default: the plugin installed with "
                  "tolvane)");
  app->add_option("--codepage", host->CodePage,
                  "OEM code page of the plugin's texts: 437 or 866")
      ->check(CLI::IsMember({437, 866}));
  app->add_option("--lang", host->Language,
                  "language of the messages (default: from the locale)");
  app->add_option("--root-key", host->RootKey,
                  "root key of the stored settings (default: " +
                      std::string(kDefaultRootKey) + ")");
}

void AddOverrides(CLI::App* app, SettingsOverrides* o) {
  app->add_option("--nodelist", o->NodelistPath,
                  "folder of the compiled nodelist, for this run only");
  app->add_option("--name", o->NodelistName,
                  "base name of the nodelist files, for this run only");
  app->add_option("--options", o->Options,
                  "the Options bits, for this run only")
      ->each([o](const std::string&) { o->HasOptions = 1; });
  app->add_option("--sort", o->SortOrder, "sort order 0-7, for this run only")
      ->check(CLI::Range(0, 7));
  app->add_option("--mode", o->PanelMode, "view mode 0-9, for this run only")
      ->check(CLI::Range(0, 9));
}

ListFormat FormatOf(const std::string& name) {
  if (name == "tsv") return kListTsv;
  if (name == "json") return kListJson;
  return kListTable;
}

}  // namespace

int main(int argc, char** argv) {
  SysUseLargeHeapPages();
  SysSetBinaryOutput();
  ScriptOptions options;
  options.Host.Language.clear();
  CLI::App app{"Tolvane: the FidoNet nodelist panel, run in farhost"};
  app.footer(kFooter);
  app.set_version_flag("--version", VersionLine("tolvane"),
                       "print the version and the commit it was built from");
  app.require_subcommand(0, 1);
  AddHostOptions(&app, &options);
  AddOverrides(&app, &options.Overrides);
  app.fallthrough();  // common options may follow the command
  CLI::App* info = app.add_subcommand(
      "info", "show what the plugin registers with the host");
  CLI::App* ls = app.add_subcommand("ls", "list the panel at a path");
  std::string path, format = "table", mask;
  ls->add_option("PATH", path, "a panel path; default: the start path");
  ls->add_option("--format", format, "table (default), tsv or json")
      ->check(CLI::IsMember({"table", "tsv", "json"}));
  CLI::App* find = app.add_subcommand("find", "search the tree by file name");
  find->add_option("MASK", mask, "file-name mask with * and ?")->required();
  std::string containing;
  find->add_option("--containing", containing,
                   "only entries whose description file holds the text");
  CLI::App* show = app.add_subcommand(
      "show", "print entries' description files, as the viewer shows them");
  std::vector<std::string> addresses, keys;
  show->add_option("ADDRESS", addresses, "zone, zone:net, zone:net/node[.pt]")
      ->required();
  CLI::App* connect = app.add_subcommand(
      "connect", "how to reach entries over the internet, from their files");
  connect->add_option("ADDRESS", addresses, "zone:net/node[.pt]")->required();
  CLI::App* binkd = app.add_subcommand(
      "binkd", "binkd node lines for the entries under a path with binkp");
  std::string domain = "fidonet";
  binkd->add_option("PATH", path, "a panel path; default: the whole nodelist");
  binkd->add_option("--domain", domain, "the domain of the node lines")
      ->check([](const std::string& name) {
        if (name.empty() || name.find_first_of(" \t@;") != std::string::npos)
          return std::string("a domain is a word without blanks, '@' or ';'");
        return std::string();
      });
  CLI::App* key = app.add_subcommand(
      "key", "press keys on a panel and print it after each (for scripts)");
  key->add_option("PATH", path, "a panel path")->required();
  key->add_option("KEY", keys, "keys and the answers for their boxes")
      ->required();
  CLI::App* browse = app.add_subcommand(
      "browse", "the interactive browser (also with no command)");
  browse->add_option("PATH", path, "a panel path; default: the start path");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? kExitOk : kExitUsage;
  }
  if (options.Host.PluginPath.empty())
    options.Host.PluginPath = ProgramPluginPath();
  if (app.count("--lang") > 0) {
    std::string unknown =
        UnknownLanguage(options.Host.PluginPath, options.Host.Language);
    if (!unknown.empty()) {
      std::cerr << "tolvane: " << unknown << "\n";
      return kExitUsage;
    }
  }
  if (options.Host.Language.empty())
    options.Host.Language = LanguageFromEnvironment();
  options.SamplePath = ProgramSamplePath();
  if (info->parsed()) return RunInfo(options.Host, std::cout, std::cerr);
  // A scripted command that is interrupted still deletes its scratch
  // settings before it ends.
  if (ls->parsed() || find->parsed() || show->parsed() || key->parsed() ||
      connect->parsed() || binkd->parsed())
    SysCatchInterrupts();
  if (ls->parsed())
    return RunLs(options, ls->count("PATH") > 0 ? &path : nullptr,
                 FormatOf(format), std::cout, std::cerr);
  if (find->parsed())
    return RunFind(options, mask, std::cout, std::cerr, containing);
  if (show->parsed()) return RunShow(options, addresses, std::cout, std::cerr);
  if (connect->parsed())
    return RunConnect(options, addresses, std::cout, std::cerr);
  if (binkd->parsed())
    return RunBinkd(options, binkd->count("PATH") > 0 ? &path : nullptr, domain,
                    std::cout, std::cerr);
  if (key->parsed()) return RunKey(options, &path, keys, std::cout, std::cerr);
#if TOLVANE_BROWSER
  if (browse->parsed() || app.get_subcommands().empty())
    return RunBrowseCommand(options,
                            browse->count("PATH") > 0 ? &path : nullptr);
#endif
  std::cout << kUsage;
  return kExitUsage;
}
