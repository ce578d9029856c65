#include "reliability_support.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "farhost/host/lng_file.h"
#include "farhost/host/services.h"
#include "farhost/sys/sys.h"
#include "platform/platform.h"

std::string CorpusFolder() { return TOLVANE_RELIABILITY_CORPUS; }

int LoadBaseSet(FileSet* set, std::string* error) {
  return LoadBaseSetFrom(CorpusFolder(), set, error);
}

ScratchFolder::ScratchFolder() {
  SysMakeTempDir("tolvane_reliability_", &path_);
  path_ += SysPathSeparator();
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void ScratchFolder::Write(const FileSet& files) const {
  for (const auto& [name, bytes] : files) {
    std::ofstream out(path_ + name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
  }
}

std::string TestPluginPath() {
  return SysJoinPath(SysJoinPath(SysExecutableDir(), "plugin-test"),
                     TOLVANE_TEST_PLUGIN_NAME);
}

std::string PluginMessage(int n) {
  LngFile file;
  std::string folder = SysJoinPath(SysExecutableDir(), "plugin-test");
  LoadLngFile(SysJoinPath(folder, "Tolvane_eng.lng"), &file);
  if (n < 0 || size_t(n) >= file.Messages.size()) return std::string();
  return file.Messages[n];
}

HostedPlugin::HostedPlugin(const std::string& nodelistDir) {
  static int serial = 0;
  rootKey_ = "Software\\TolvaneReliability\\run" +
             std::to_string(SysProcessId()) + "_" + std::to_string(++serial);
  SettingsDeleteTree(rootKey_.c_str());
  SettingsKey key;
  std::string path = rootKey_ + "\\Tolvane";
  if (SettingsCreateKey(path.c_str(), &key)) {
    SettingsSetValue(key, "Path to nodelist", kSettingsString,
                     nodelistDir.c_str(),
                     static_cast<uint32_t>(nodelistDir.size() + 1));
    SettingsCloseKey(key);
  }
  HostOptions options;
  options.PluginPath = TestPluginPath();
  options.RootKey = rootKey_;
  options.Language = "English";
  host_ = std::make_unique<FarHost>(options, &ui_);
}

HostedPlugin::~HostedPlugin() {
  CloseAllPanels(host_.get());
  host_.reset();
  SettingsDeleteTree(rootKey_.c_str());
}

int HostedPlugin::Start(std::string* error) {
  if (!host_->Load(error)) return 0;
  StartPlugin(host_.get());
  return 1;
}

std::vector<std::string> HostedPlugin::Messages() const {
  std::vector<std::string> boxes;
  for (const UiCall& call : ui_.Calls()) {
    if (call.kind != UiCall::kMessage) continue;
    std::string text = call.Message.Title;
    for (const std::string& line : call.Message.Lines) text += " | " + line;
    boxes.push_back(text);
  }
  return boxes;
}

int MoveAndList(const PluginExports& plugin, HANDLE panel,
                const std::string& path, int opMode) {
  if (!plugin.SetDirectory(panel, path.c_str(), opMode)) return -1;
  PluginPanelItem* items = nullptr;
  int count = 0;
  if (!plugin.GetFindData(panel, &items, &count, opMode)) return -1;
  plugin.FreeFindData(panel, items, count);
  return count;
}

Watchdog::Watchdog(const std::string& what, int seconds) {
  thread_ = std::thread([this, what, seconds] {
    std::unique_lock<std::mutex> lock(mutex_);
    if (done_.wait_for(lock, std::chrono::seconds(seconds),
                       [this] { return finished_; }))
      return;
    std::fprintf(stderr, "FAILED: %s did not finish within %d s\n",
                 what.c_str(), seconds);
    std::fflush(stderr);
    std::_Exit(3);
  });
}

Watchdog::~Watchdog() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
  }
  done_.notify_one();
  thread_.join();
}

int ReadMemoryFigures(long* vmSizeKiB, long* vmRssKiB) {
  std::ifstream status("/proc/self/status");
  std::string line;
  *vmSizeKiB = 0;
  *vmRssKiB = 0;
  while (std::getline(status, line)) {
    if (line.rfind("VmSize:", 0) == 0) *vmSizeKiB = std::atol(line.c_str() + 7);
    if (line.rfind("VmRSS:", 0) == 0) *vmRssKiB = std::atol(line.c_str() + 6);
  }
  return *vmSizeKiB > 0 && *vmRssKiB > 0;
}

bool IsPosixSystem() { return SysPathSeparator() == '/'; }

long EnvNumber(const char* name, long fallback) {
  std::string value;
  if (!SysGetEnv(name, &value) || value.empty()) return fallback;
  return std::strtol(value.c_str(), nullptr, 10);
}
