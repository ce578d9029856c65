// farhost's core: the stand-in for the file manager that loads the plugin,
// keeps its open panels and records what the plugin asked of the host.
// The services handed to the plugin (services.h) and the host's work with
// panels (host_panels.h) are built on it; it calls neither.
//
// One FarHost is the active host of the process at a time: the services the
// plugin calls (which carry no host pointer) work on it. Creating a FarHost
// makes it the active one; destroying it closes its panels, unloads the
// plugin and clears the pointer.
#ifndef TOLVANE_FARHOST_HOST_H
#define TOLVANE_FARHOST_HOST_H

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "farhost/host/host_ui.h"
#include "farhost/host/lng_file.h"
#include "farhost/host/oem_case.h"
#include "farhost/host/panel_model.h"
#include "farhost/host/plugin_module.h"
#include "host/far_api.h"

extern const char* const kDefaultRootKey;  // "Software\Far\Plugins"

struct HostOptions {
  std::string PluginPath;
  std::string RootKey = kDefaultRootKey;  // handed to the plugin as is
  std::string Language = "English";       // matched against .lng headers
  int CodePage = 866;                     // 437 or 866
};

// The plugin's language file, chosen and read at the first GetMsg.
struct HostLanguage {
  int Loaded;        // the folder has been looked at
  std::string Path;  // the chosen file; empty when there is none
  LngFile File;
  int HighestRequested;  // highest message number asked for, -1 for none
};

// One Control call as the plugin made it.
struct ControlCall {
  HANDLE Plugin;
  int Command;
  int Result;
  int HasRedrawInfo;
  PanelRedrawInfo Redraw;
  std::string Text;  // the text of INSERTCMDLINE / SETCMDLINE
};

// The longest command line; GETCMDLINE copies at most this many bytes
// including the terminating NUL.
enum { kCommandLineSize = 1024 };

class FarHost {
 public:
  FarHost(const HostOptions& options, HostUi* ui);
  ~FarHost();
  FarHost(const FarHost&) = delete;
  FarHost& operator=(const FarHost&) = delete;

  // Loads the plugin binary and finds its entry points; 0 with *error set
  // when the file does not load or an entry point is missing.
  int Load(std::string* error);

  // Zero-fills *info and calls GetPluginInfo; keeps the command prefix.
  void QueryPluginInfo(PluginInfo* info);

  // Records a fault of the plugin's use of the host (what the real host
  // would show in a box); see Errors.
  void RecordError(const std::string& text);

  const PluginExports& Exports() const { return module_.Exports; }
  const std::string& PluginPath() const { return module_.Path; }

  HostOptions options;
  HostUi* ui;
  const CaseTable* cases;
  HostLanguage language;
  std::vector<std::string> errors;
  std::string clipboard;
  std::string commandLine;
  size_t commandCursor = 0;
  std::vector<ControlCall> controls;
  // The open plugin panels, oldest first; host_panels.h works on them and
  // ClosePanel removes them.
  std::vector<std::unique_ptr<PanelModel>> panels;
  PanelModel* activePanel = nullptr;           // null: no plugin panel is open
  std::string commandPrefix;                   // from GetPluginInfo
  std::map<int, std::string> missingMessages;  // markers handed out

 private:
  PluginModule module_;
};

// The host the services work on, or null.
FarHost* ActiveHost();

// The module number handed to the plugin. The host hands an object's
// address there, so the number fills the whole pointer-sized field: a
// plugin that keeps it in an int hands back another one.
constexpr intptr_t kHostModuleNumber =
    sizeof(intptr_t) > 4 ? static_cast<intptr_t>(0x7E57000000000001LL)
                         : static_cast<intptr_t>(0x7E570001);

// Records an error when a service gets another plugin number than the one
// handed out.
void CheckPluginNumber(FarHost* host, const char* service, intptr_t number);

// Sends FE_CLOSE (a panel may refuse unless forced) and ClosePlugin, and
// removes the panel. Returns 1 when the panel was closed.
int ClosePanel(FarHost* host, PanelModel* panel, int force);

// Closes every panel (forced), newest first.
void CloseAllPanels(FarHost* host);

// The language for a locale value (LC_ALL, LC_MESSAGES or LANG): "Russian"
// for values beginning with "ru", else "English".
std::string LanguageForLocale(const std::string& locale);

// The language of this process's locale: the first of LC_ALL, LC_MESSAGES
// and LANG that is set and not empty decides.
std::string LanguageFromEnvironment();

// Empty when a language file beside the plugin is named `language` (letter
// case ignored) or when there is none at all (loading reports that);
// otherwise a line naming the languages there, for a language asked for by
// name that the host would silently replace with English.
std::string UnknownLanguage(const std::string& pluginPath,
                            const std::string& language);

// Looks for the language file beside the plugin (once); afterwards
// host->language tells what was found.
void LoadHostLanguage(FarHost* host);

// A line that says when the chosen language file holds a different number
// of messages than the plugin asked for; empty when they agree or nothing
// was asked.
std::string LanguageCountWarning(const FarHost* host);

#endif  // TOLVANE_FARHOST_HOST_H
