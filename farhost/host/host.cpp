#include "farhost/host/host.h"

#include <cstring>

#include "farhost/host/host_panels.h"
#include "farhost/sys/sys.h"

const char* const kDefaultRootKey = "Software\\Far\\Plugins";

namespace {

FarHost* active_host = nullptr;

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

FarHost::FarHost(const HostOptions& hostOptions, HostUi* hostUi)
    : options(hostOptions),
      ui(hostUi),
      cases(CaseTableFor(hostOptions.CodePage)),
      language{0, std::string(), LngFile{}, -1},
      module_{} {
  if (cases == nullptr) cases = CaseTableFor(866);
  active_host = this;
}

FarHost::~FarHost() {
  if (module_.Library != nullptr) CloseAllPanels(this);
  UnloadPluginModule(&module_);
  if (active_host == this) active_host = nullptr;
}

FarHost* ActiveHost() { return active_host; }

int FarHost::Load(std::string* error) {
  return LoadPluginModule(options.PluginPath, &module_, error);
}

void FarHost::StartPlugin() {
  PluginStartupInfo info;
  FarStandardFunctions functions;
  FillStartupInfo(this, &info, &functions);
  module_.Exports.SetStartupInfo(&info);
  // Whatever the plugin kept of these records must be its own copy.
  std::memset(static_cast<void*>(&info), 0xA5, sizeof(info));
  std::memset(static_cast<void*>(&functions), 0xA5, sizeof(functions));
}

void FarHost::QueryPluginInfo(PluginInfo* info) {
  std::memset(static_cast<void*>(info), 0, sizeof(*info));
  module_.Exports.GetPluginInfo(info);
  commandPrefix =
      info->CommandPrefix != nullptr
          ? std::string(info->CommandPrefix, strnlen(info->CommandPrefix, NM))
          : std::string();
}

void FarHost::RecordError(const std::string& text) { errors.push_back(text); }

std::string LanguageForLocale(const std::string& locale) {
  if (locale.size() >= 2 && (locale[0] == 'r' || locale[0] == 'R') &&
      (locale[1] == 'u' || locale[1] == 'U'))
    return "Russian";
  return "English";
}

std::string LanguageFromEnvironment() {
  static const char* const kVariables[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  for (const char* name : kVariables) {
    std::string value;
    if (SysGetEnv(name, &value) && !value.empty())
      return LanguageForLocale(value);
  }
  return "English";
}

void LoadHostLanguage(FarHost* host) {
  if (host->language.Loaded) return;
  host->language.Loaded = 1;
  // The loaded binary's folder; before loading, the one the options name.
  std::string folder =
      FolderOf(host->PluginPath().empty() ? host->options.PluginPath
                                          : host->PluginPath());
  std::vector<LngCandidate> files = ScanLngFolder(folder);
  int chosen = ChooseLngFile(files, host->options.Language);
  if (chosen < 0) {
    host->RecordError("no language file (*.lng) in " + folder);
    return;
  }
  host->language.Path = files[static_cast<size_t>(chosen)].Path;
  if (!LoadLngFile(host->language.Path, &host->language.File))
    host->RecordError("cannot read " + host->language.Path);
}

std::string LanguageCountWarning(const FarHost* host) {
  const HostLanguage& lang = host->language;
  long long asked = static_cast<long long>(lang.HighestRequested) + 1;
  long long held = static_cast<long long>(lang.File.Messages.size());
  if (lang.HighestRequested < 0 || asked == held) return std::string();
  return lang.Path + " holds " + std::to_string(held) +
         " messages; the plugin asked for " + std::to_string(asked);
}
