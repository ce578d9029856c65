#include "farhost/host/host.h"

#include <cstring>

#include "farhost/sys/sys.h"

const char* const kDefaultRootKey = "Software\\Far\\Plugins";

namespace {

FarHost* active_host = nullptr;

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

void RemovePanel(FarHost* host, PanelModel* panel) {
  for (size_t i = 0; i < host->panels.size(); ++i) {
    if (host->panels[i].get() != panel) continue;
    host->panels.erase(host->panels.begin() + static_cast<long>(i));
    break;
  }
  if (host->activePanel == panel)
    host->activePanel =
        host->panels.empty() ? nullptr : host->panels.back().get();
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

void FarHost::QueryPluginInfo(PluginInfo* info) {
  std::memset(static_cast<void*>(info), 0, sizeof(*info));
  module_.Exports.GetPluginInfo(info);
  commandPrefix =
      info->CommandPrefix != nullptr
          ? std::string(info->CommandPrefix, strnlen(info->CommandPrefix, NM))
          : std::string();
}

void FarHost::RecordError(const std::string& text) { errors.push_back(text); }

void CheckPluginNumber(FarHost* host, const char* service, intptr_t number) {
  if (number != kHostModuleNumber)
    host->RecordError(std::string(service) + ": plugin number " +
                      std::to_string(number) + ", not the " +
                      std::to_string(kHostModuleNumber) + " handed out");
}

int ClosePanel(FarHost* host, PanelModel* panel, int force) {
  int refused = host->Exports().ProcessEvent(panel->Plugin, FE_CLOSE, nullptr);
  if (refused && !force) return 0;
  host->Exports().ClosePlugin(panel->Plugin);
  RemovePanel(host, panel);
  return 1;
}

void CloseAllPanels(FarHost* host) {
  while (!host->panels.empty()) ClosePanel(host, host->panels.back().get(), 1);
}

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

std::string UnknownLanguage(const std::string& pluginPath,
                            const std::string& language) {
  std::vector<LngCandidate> files = ScanLngFolder(FolderOf(pluginPath));
  if (files.empty() || FindLngFile(files, language) >= 0) return std::string();
  std::string names;
  for (const LngCandidate& file : files)
    names += (names.empty() ? "" : ", ") + file.LanguageName;
  return "no language file for \"" + language + "\" beside the plugin; " +
         "languages: " + names;
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
