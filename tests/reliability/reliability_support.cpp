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

namespace {

std::string Trimmed(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string::npos) return std::string();
  size_t end = text.find_last_not_of(" \t\r");
  return text.substr(begin, end - begin + 1);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "OFFSET: XX XX .." into the file at that offset.
int ApplyBytes(const std::string& line, std::string* file) {
  size_t colon = line.find(':');
  char* end = nullptr;
  unsigned long offset = std::strtoul(line.c_str(), &end, 16);
  if (end != line.c_str() + colon) return 0;
  std::istringstream bytes(line.substr(colon + 1));
  std::string pair;
  while (bytes >> pair) {
    if (pair.size() != 2 || HexValue(pair[0]) < 0 || HexValue(pair[1]) < 0)
      return 0;
    if (file->size() <= offset) file->resize(offset + 1, '\0');
    (*file)[offset++] =
        static_cast<char>(HexValue(pair[0]) * 16 + HexValue(pair[1]));
  }
  return 1;
}

int ApplyLine(const std::string& line, int create, DamageCase* out,
              std::string** file) {
  if (line.rfind("file ", 0) == 0) {
    std::string name = Trimmed(line.substr(5));
    if (!create && out->Files.count(name) == 0) return 0;
    *file = &out->Files[name];
    return 1;
  }
  if (line.rfind("list ", 0) == 0) {
    out->ListPath = Trimmed(line.substr(5));
    return 1;
  }
  if (line.rfind("expect ", 0) == 0) {
    out->Expect = Trimmed(line.substr(7));
    return 1;
  }
  if (*file == nullptr) return 0;
  if (line.rfind("truncate ", 0) == 0) {
    size_t size = std::strtoul(line.c_str() + 9, nullptr, 10);
    if (size < (*file)->size()) (*file)->resize(size);
    return 1;
  }
  return ApplyBytes(line, *file);
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

int ParseHexText(const std::string& text, int create, DamageCase* out,
                 std::string* error) {
  std::istringstream lines(text);
  std::string line;
  std::string* file = nullptr;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    line = Trimmed(line);
    if (line.empty()) continue;
    if (line[0] == '#') {
      if (out->Description.empty()) out->Description = Trimmed(line.substr(1));
      continue;
    }
    if (!ApplyLine(line, create, out, &file)) {
      *error = "line " + std::to_string(number) + ": " + line;
      return 0;
    }
  }
  return 1;
}

std::string CorpusFolder() { return TOLVANE_RELIABILITY_CORPUS; }

int LoadBaseSet(FileSet* set, std::string* error) {
  DamageCase base;
  std::string path = CorpusFolder() + "/base.hex";
  std::string text = ReadText(path);
  if (text.empty()) {
    *error = "cannot read " + path;
    return 0;
  }
  if (!ParseHexText(text, 1, &base, error)) return 0;
  *set = base.Files;
  return 1;
}

int LoadDamageCase(const std::string& path, DamageCase* out,
                   std::string* error) {
  if (!LoadBaseSet(&out->Files, error)) return 0;
  out->Name = std::filesystem::path(path).stem().string();
  std::string text = ReadText(path);
  if (text.empty()) {
    *error = "cannot read " + path;
    return 0;
  }
  if (!ParseHexText(text, 0, out, error)) return 0;
  if (out->Expect.empty()) *error = path + ": no expect line";
  return !out->Expect.empty();
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
