// Test support for the panel tests: a small stand-in host (messages read
// "M<n>", every message box recorded), a fresh settings key per test, and
// tiny V7 nodelists written into a temporary directory.
#ifndef TOLVANE_PANEL_PANEL_TEST_SUPPORT_H
#define TOLVANE_PANEL_PANEL_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "config/settings.h"
#include "host/host_binding.h"
#include "host/messages.h"
#include "nodelist/file_set.h"
#include "nodelist/records.h"
#include "nodelist/test_images.h"
#include "nodelist/v7_format.h"
#include "panel/listing.h"
#include "panel/name_filters.h"
#include "panel/navigation.h"
#include "panel/panel_instance.h"
#include "platform/platform.h"

namespace panel_test {

inline std::vector<std::string>& Boxes() {
  static std::vector<std::string> boxes;
  return boxes;
}

inline const char* FARAPI FakeGetMsg(intptr_t, int id) {
  static char texts[kMessageCount][16];
  if (id < 0 || id >= kMessageCount) return nullptr;
  std::snprintf(texts[id], sizeof(texts[id]), "M%d", id);
  return texts[id];
}

// Records "title|text|button" of every message box.
inline int FARAPI FakeMessage(intptr_t, DWORD, const char*,
                              const char* const* items, int count, int) {
  std::string box;
  for (int i = 0; i < count; ++i) {
    if (i) box.append("|");
    box.append(items[i]);
  }
  Boxes().push_back(box);
  return 0;
}

inline char* FARAPI FakeLTrim(char* text) {
  size_t skip = std::strspn(text, " ");
  std::memmove(text, text + skip, std::strlen(text + skip) + 1);
  return text;
}

inline char* FARAPI FakeTrim(char* text) {
  FakeLTrim(text);
  size_t n = std::strlen(text);
  while (n > 0 && text[n - 1] == ' ') text[--n] = '\0';
  return text;
}

inline int FARAPI FakeStricmp(const char* a, const char* b) {
  for (;; ++a, ++b) {
    int x = std::toupper(static_cast<unsigned char>(*a));
    int y = std::toupper(static_cast<unsigned char>(*b));
    if (x != y || x == 0) return x - y;
  }
}

inline int FARAPI FakeStrnicmp(const char* a, const char* b, int n) {
  for (int i = 0; i < n; ++i) {
    int x = std::toupper(static_cast<unsigned char>(a[i]));
    int y = std::toupper(static_cast<unsigned char>(b[i]));
    if (x != y || x == 0) return x - y;
  }
  return 0;
}

inline void FARAPI FakeQsort(void* base, size_t count, size_t width,
                             FarCompareFunc compare) {
  std::qsort(base, count, width, compare);
}

inline int FARAPI FakeAddEndSlash(char* path) {
  size_t n = std::strlen(path);
  if (n == 0 || path[n - 1] != PathSeparator()) {
    path[n] = PathSeparator();
    path[n + 1] = '\0';
  }
  return 1;
}

// The state of a freshly loaded and started plugin, with the fake host,
// default settings (V7+ off), its own settings key and no nodelist.
class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter;
    PrepareLibrary();
    std::memset(&Host, 0, sizeof(Host));
    Host.GetMsg = FakeGetMsg;
    Host.Message = FakeMessage;
    std::memset(&HostFunctions, 0, sizeof(HostFunctions));
    HostFunctions.Trim = FakeTrim;
    HostFunctions.LTrim = FakeLTrim;
    HostFunctions.LStricmp = FakeStricmp;
    HostFunctions.LStrnicmp = FakeStrnicmp;
    HostFunctions.qsort = FakeQsort;
    HostFunctions.AddEndSlash = FakeAddEndSlash;
    std::snprintf(SettingsKeyPath, sizeof(SettingsKeyPath),
                  "Software\\TolvaneTest\\panel%d_%u\\Tolvane", ++counter,
                  static_cast<unsigned>(std::rand()));
    SettingsDeleteTree(SettingsKeyPath);
    ResetSettings();
    Options = OptionMarkNoPhone;
    ApplySettings();
    LoadMessages();
    Boxes().clear();
    UtcOffsetMinutes = 0;
    NowMinutes = 0;
  }
  void TearDown() override {
    for (PanelInstance& slot : PanelSlots) ReleasePendingList(&slot);
    // A find listing keeps the set mapped until the host closes the
    // panel; Windows removes no mapped file.
    CloseFileSet(&Nodelist);
    SettingsDeleteTree(SettingsKeyPath);
    if (!directory_.empty()) std::filesystem::remove_all(directory_);
    PlatformSetTestClock(-1, 0);
    PlatformSetTestZone(nullptr);
  }

  // A temporary directory that becomes the nodelist directory.
  void UseNodelistDirectory() {
    static int counter;
    directory_ = std::filesystem::temp_directory_path() /
                 ("tolvane-panel-" + std::to_string(std::random_device{}()) +
                  "-" + std::to_string(++counter));
    std::filesystem::create_directories(directory_);
    std::string path = directory_.string() + PathSeparator();
    CopyClippedText(NodelistPath, path.c_str(), sizeof(NodelistPath));
  }

  static void CopyClippedText(char* to, const char* from, size_t size) {
    std::snprintf(to, size, "%s", from);
  }

  void WriteFile(const char* name, const test_images::Bytes& bytes) {
    std::ofstream out(directory_ / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }

  // Writes NODEX.DAT, NODEX.NDX and NODEX.SDX for the records (given in
  // address order).
  void WriteNodelist(const std::vector<test_images::RecordFields>& records,
                     std::vector<test_images::IndexEntry> extra = {}) {
    if (directory_.empty()) UseNodelistDirectory();
    test_images::Bytes dat;
    std::vector<test_images::IndexEntry> byAddress;
    std::vector<test_images::IndexEntry> bySysop;
    for (const test_images::RecordFields& entry : records) {
      uint32_t at = test_images::AppendRecord(&dat, entry);
      bool point = (entry.NodeFlags & v7::kFlagPoint) != 0;
      byAddress.push_back(
          {point ? test_images::PointKey(entry.Zone, entry.Net, entry.Node,
                                         entry.HubOrPoint)
                 : test_images::NodeKey(entry.Zone, entry.Net, entry.Node),
           at});
      bySysop.push_back({SysopKeyOf(entry.Sysop), at});
    }
    byAddress.insert(byAddress.end(), extra.begin(), extra.end());
    std::stable_sort(
        bySysop.begin(), bySysop.end(),
        [](const test_images::IndexEntry& a, const test_images::IndexEntry& b) {
          return FakeStricmp(a.Key.c_str(), b.Key.c_str()) < 0;
        });
    WriteFile("NODEX.DAT", dat);
    WriteFile("NODEX.NDX", test_images::BuildIndex(byAddress));
    WriteFile("NODEX.SDX", test_images::BuildIndex(bySysop));
  }

  // "JOHN SMITH" is indexed as "SMITH, JOHN".
  static std::string SysopKeyOf(const std::string& name) {
    size_t blank = name.rfind(' ');
    if (blank == std::string::npos) return name;
    std::string key = name.substr(blank + 1);
    key.append(", ");
    key.append(name, 0, blank);
    return key;
  }

  // Opens a panel as the host would; null when nothing was opened.
  PanelInstance* Open(int openFrom, const char* text = "") {
    HANDLE handle = PanelOpenPlugin(openFrom, reinterpret_cast<intptr_t>(text));
    return handle == INVALID_HANDLE_VALUE ? nullptr : PanelFromHandle(handle);
  }
  void StoreStartPath(const char* path) {
    SettingsKey key;
    ASSERT_TRUE(SettingsCreateKey(SettingsKeyPath, &key));
    ASSERT_TRUE(WriteStringValue(key, "Start Path", path));
    SettingsCloseKey(key);
  }
  std::string StoredStartPath() {
    SettingsKey key;
    char path[64] = "(none)";
    if (SettingsOpenKey(SettingsKeyPath, &key)) {
      ReadValue(key, "Start Path", path, sizeof(path));
      SettingsCloseKey(key);
    }
    return path;
  }
  // "zone:net/node.point Llevel" of a panel.
  static std::string At(const PanelInstance* panel) {
    char text[64];
    std::snprintf(text, sizeof(text), "%u:%u/%u.%u L%u",
                  unsigned{panel->Address.Zone}, unsigned{panel->Address.Net},
                  unsigned{panel->Address.Node}, unsigned{panel->Address.Point},
                  unsigned{panel->Level});
    return text;
  }

  std::filesystem::path directory_;
};

// A record as the compiler would write it for the test nodelists.
inline test_images::RecordFields Entry(uint16_t zone, uint16_t net,
                                       uint16_t node, uint16_t flags,
                                       const char* sysop = "JOHN SMITH",
                                       uint16_t hubOrPoint = 0) {
  test_images::RecordFields entry = {};
  entry.Zone = zone;
  entry.Net = net;
  entry.Node = node;
  entry.HubOrPoint = hubOrPoint;
  entry.NodeFlags = flags;
  entry.Baud = 96;
  entry.Phone = "7-095-555-0000";
  entry.System = "SYSTEM";
  entry.Sysop = sysop;
  entry.Location = "MOSCOW";
  return entry;
}

// 1:1/0 with node 1:1/1; zone 2 with net 2:2/0 (its zone entry), region
// 2:50 and net 2:345 (host 0, nodes 6 and 7, points 6.1 and 6.2).
inline std::vector<test_images::RecordFields> SampleNodelist() {
  return {
      Entry(1, 1, 0, v7::kFlagZone, "ANN LEE"),
      Entry(1, 1, 1, 0, "BOB KAY"),
      Entry(2, 2, 0, v7::kFlagZone, "CARL ROSS"),
      Entry(2, 50, 0, v7::kFlagRegion, "DAN FOX"),
      Entry(2, 345, 0, v7::kFlagHost, "EVE WOLF"),
      Entry(2, 345, 6, v7::kFlagHub, "JOHN SMITH"),
      Entry(2, 345, 6, v7::kFlagPoint, "POINT ONE", 1),
      Entry(2, 345, 6, v7::kFlagPoint, "JANE SMITH", 2),
      Entry(2, 345, 7, 0, "ADA ABEL", 6),
  };
}

// The file names of a list, joined by blanks.
inline std::string Names(const PluginPanelItem* items, int count) {
  std::string names;
  for (int i = 0; i < count; ++i) {
    if (i) names.append(" ");
    names.append(items[i].FindData.cFileName);
  }
  return names;
}

}  // namespace panel_test

#endif  // TOLVANE_PANEL_PANEL_TEST_SUPPORT_H
