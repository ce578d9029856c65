// The browser: start-up and the main loop.
#include "farhost/browse/browser.h"

#include <unistd.h>

#include <iostream>

#include "farhost/browse/browser_keys.h"
#include "farhost/browse/browser_state.h"
#include "farhost/host/services.h"

namespace {

std::string CurrentFolder() {
  char buffer[4096];
  if (getcwd(buffer, sizeof(buffer)) == nullptr) return "/";
  return buffer;
}

int StartBrowser(Browser* b, const BrowseOptions& options) {
  std::string error;
  if (!b->Host->Load(&error)) {
    std::cerr << error << "\n";
    return 0;
  }
  StartPlugin(b->Host);
  b->Host->QueryPluginInfo(&b->Info);
  if (!b->Ui->Start()) {
    std::cerr << "tolvane: the browser needs a terminal\n";
    return 0;
  }
  OpenFolderIn(b, 0, CurrentFolder());
  OpenFolderIn(b, 1, options.Folder.empty() ? CurrentFolder() : options.Folder);
  b->Ui->PushLayer([b] { PaintBrowser(b); });  // under the plugin's boxes
  if (options.PanelPath.empty())
    OpenPluginIn(b, 0, OPEN_PLUGINSMENU, 0);
  else
    OpenPluginIn(b, 0, OPEN_COMMANDLINE,
                 reinterpret_cast<intptr_t>(options.PanelPath.c_str()));
  return 1;
}

}  // namespace

int RunBrowser(const BrowseOptions& options) {
  TerminalUiOptions uiOptions;
  uiOptions.CodePage = options.Host.CodePage;
  uiOptions.HistoryPath = options.HistoryPath;
  TerminalUi ui(uiOptions);
  FarHost host(options.Host, &ui);
  Browser b{&host, &ui, PluginInfo{}, {}, 0, 0, 0, 0, "", HelpFile{}, 0};
  ui.SetHelpHandler([&b](const std::string& topic, int fromPlugin) {
    ShowHelp(&b, topic, fromPlugin);
  });
  if (!StartBrowser(&b, options)) return 1;
  KeyEvent key;
  while (!b.Quit) {
    WaitKey(&ui, &key);
    if (key.Key == kKeyClosed) break;
    HandleBrowserKey(&b, key);
    SyncClipboard(&b);
  }
  ui.PopLayer();
  b.Panels[0].reset();
  b.Panels[1].reset();
  ui.Stop();
  return 0;
}
