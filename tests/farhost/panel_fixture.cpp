#include "panel_fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "farhost/host/services.h"
#include "farhost/sys/sys.h"
#include "platform/platform.h"

std::string SamplePath() {
  return SysJoinPath(SysJoinPath(SysExecutableDir(), "sample"), "");
}

std::string NamesOf(const PanelModel& panel) {
  std::string names;
  for (const PluginPanelItem& item : panel.Items)
    names += (names.empty() ? "" : " ") + std::string(item.FindData.cFileName);
  return names;
}

std::vector<std::string> BoxesOf(const ScriptedUi& ui) {
  std::vector<std::string> boxes;
  for (const UiCall& call : ui.Calls()) {
    if (call.kind != UiCall::kMessage) continue;
    std::string text = call.Message.Title;
    for (const std::string& line : call.Message.Lines) text += "|" + line;
    boxes.push_back(text);
  }
  return boxes;
}

void PanelTest::SetUp() {
  PluginTest::SetUp();
  messages_ = MessagesOf("Tolvane_eng.lng");
  ASSERT_GT(messages_.size(), 47u);
  WriteText("Path to nodelist", SamplePath());
}

void PanelTest::WriteText(const char* name, const std::string& value) const {
  SettingsKey key;
  std::string path = rootKey_ + "\\Tolvane";
  ASSERT_TRUE(SettingsCreateKey(path.c_str(), &key));
  EXPECT_TRUE(SettingsSetValue(key, name, kSettingsString, value.c_str(),
                               static_cast<uint32_t>(value.size() + 1)));
  SettingsCloseKey(key);
}

std::string PanelTest::ReadText(const char* name) const {
  SettingsKey key;
  std::string path = rootKey_ + "\\Tolvane";
  if (!SettingsOpenKey(path.c_str(), &key)) return std::string();
  char buffer[512] = "";
  uint32_t size = sizeof(buffer) - 1;
  if (!SettingsQueryValue(key, name, buffer, &size, nullptr)) buffer[0] = 0;
  SettingsCloseKey(key);
  return buffer;
}

FarHost* PanelTest::Start() {
  host_ = std::make_unique<FarHost>(Options(), &ui_);
  std::string error;
  EXPECT_TRUE(host_->Load(&error)) << error;
  StartPlugin(host_.get());
  PluginInfo info;
  host_->QueryPluginInfo(&info);
  return host_.get();
}

PanelModel* PanelTest::Open(const char* path) {
  if (host_ == nullptr) Start();
  PanelModel* panel = OpenPanel(host_.get(), OPEN_PLUGINSMENU, 0);
  EXPECT_NE(panel, nullptr);
  if (panel != nullptr && path != nullptr) {
    // Absolute, so that the start path of an earlier move does not count.
    std::string target = path[0] == '\\' || path[0] == '?'
                             ? std::string(path)
                             : "\\" + std::string(path);
    EXPECT_TRUE(ChangeDirectory(host_.get(), panel, target, 0)) << path;
  }
  return panel;
}

namespace {

std::string ReadWhole(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file),
                     std::istreambuf_iterator<char>());
}

}  // namespace

namespace {

uint32_t ReadU32(const std::string& bytes, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2]))
             << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

uint16_t ReadU16(const std::string& bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                               static_cast<unsigned char>(bytes[at + 1]) << 8);
}

}  // namespace

std::string DamagedSample(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  std::filesystem::copy(SysJoinPath(SysExecutableDir(), "sample"), folder,
                        std::filesystem::copy_options::recursive, error);
  EXPECT_FALSE(error) << error.message();
  std::string index = SysJoinPath(folder, "NODEX.NDX");
  std::ifstream in(index, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)),
                    std::istreambuf_iterator<char>());
  in.close();
  if (bytes.size() < 26) {
    ADD_FAILURE() << "no index in " << folder;
    return folder;
  }
  size_t block = ReadU16(bytes, 0);
  size_t root = ReadU32(bytes, 2) * block;
  int count = root + 16 <= bytes.size()
                  ? static_cast<int16_t>(ReadU16(bytes, root + 12))
                  : 0;
  size_t child = root + 16 + static_cast<size_t>(count - 1) * 12 + 8;
  if (count <= 0 || child + 2 > bytes.size()) {
    ADD_FAILURE() << "no root entries in " << index;
    return folder;
  }
  bytes[child] = '\x7F';
  bytes[child + 1] = '\x7F';
  std::ofstream(index, std::ios::binary | std::ios::trunc) << bytes;
  return SysJoinPath(folder, "");
}

ToolRun RunTool(const char* tool, const std::string& arguments) {
  TempFolder folder;
  std::string errFile = SysJoinPath(folder.Path(), "stderr.txt");
  std::string program =
      SysJoinPath(SysExecutableDir(), std::string(tool) + TOLVANE_EXE_SUFFIX);
  std::string command = SysQuoteArgument(program) + " " + arguments + " 2>" +
                        SysQuoteArgument(errFile);
  ToolRun run{-1, std::string(), std::string()};
  if (!SysRunCommand(command, &run.Out, &run.Status)) return run;
  run.Err = ReadWhole(errFile);
  return run;
}

ToolRun CompileNodelist(const std::string& folder, const std::string& nodelist,
                        const std::string& pointlist) {
  std::string listPath = SysJoinPath(folder, "NODELIST.001");
  std::ofstream(listPath, std::ios::binary) << nodelist;
  std::string arguments = "--out " + SysQuoteArgument(folder) +
                          " --name NODEX " + SysQuoteArgument(listPath);
  if (!pointlist.empty()) {
    std::string pointPath = SysJoinPath(folder, "POINTS.001");
    std::ofstream(pointPath, std::ios::binary) << pointlist;
    arguments += " " + SysQuoteArgument(pointPath);
  }
  return RunTool("tolvane-compile", arguments);
}

TempFolder::TempFolder() { SysMakeTempDir("farhost_panel_", &path_); }

TempFolder::~TempFolder() {
  std::error_code error;
  if (!path_.empty()) std::filesystem::remove_all(path_, error);
}
