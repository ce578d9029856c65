// The tolvane program: runs the plugin in farhost from the command line.
//
//   tolvane [--plugin PATH] [--codepage 437|866] [--lang NAME] info
#include <CLI/CLI.hpp>
#include <iostream>
#include <string>

#include "farhost/host.h"
#include "farhost/info_command.h"
#include "farhost/sys.h"

namespace {

std::string DefaultPluginPath() {
  return SysJoinPath(SysExecutableDir(), SysDefaultPluginName());
}

void AddCommonOptions(CLI::App* app, HostOptions* options) {
  app->add_option("--plugin", options->PluginPath,
                  "the plugin binary (default: plugin folder beside tolvane)");
  app->add_option("--codepage", options->CodePage,
                  "OEM code page of the plugin's texts: 437 or 866")
      ->check(CLI::IsMember({437, 866}));
  app->add_option("--lang", options->Language,
                  "language of the messages (default: from the locale)");
}

}  // namespace

int main(int argc, char** argv) {
  HostOptions options;
  options.Language.clear();
  CLI::App app{"Tolvane: the FidoNet nodelist panel, run in farhost"};
  app.require_subcommand(1);
  AddCommonOptions(&app, &options);
  app.fallthrough();  // common options may follow the command
  CLI::App* info = app.add_subcommand(
      "info", "show what the plugin registers with the host");
  CLI11_PARSE(app, argc, argv);
  if (options.PluginPath.empty()) options.PluginPath = DefaultPluginPath();
  if (options.Language.empty()) options.Language = LanguageFromEnvironment();
  if (info->parsed()) return RunInfo(options, std::cout, std::cerr);
  return 1;
}
