// The settings store through the platform interface: on Windows the real
// registry (each test under its own key), on POSIX the REGEDIT4 file (each
// test with its own file). Tests of the file itself skip on Windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/platform_test_support.h"

namespace {

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = folder_.File("registry.reg");
    SetEnvironment("TOLVANE_REGISTRY", file_);
    key_ = UniqueName("Software\\TolvaneTest\\");
  }
  void TearDown() override {
    EXPECT_EQ(SettingsDeleteTree(key_.c_str()), 1);
    PlatformFailNth(kFaultSettingsWrite, 0, 0);
  }

  // Sets one value under a subkey of the test's key (created as needed).
  int Set(const std::string& sub, const char* name, uint32_t type,
          const void* data, uint32_t size) {
    SettingsKey key = 0;
    if (!SettingsCreateKey(Path(sub).c_str(), &key)) return 0;
    int ok = SettingsSetValue(key, name, type, data, size);
    SettingsCloseKey(key);
    return ok;
  }
  int SetText(const std::string& sub, const char* name, const char* text) {
    return Set(sub, name, kSettingsString, text, uint32_t(strlen(text) + 1));
  }

  // Reads one value into a buffer of `capacity` bytes; "" and type 0 when
  // it cannot be read.
  std::string Get(const std::string& sub, const char* name,
                  uint32_t capacity = 8192, uint32_t* type = nullptr) {
    SettingsKey key = 0;
    if (!SettingsOpenKey(Path(sub).c_str(), &key)) return "<no key>";
    std::string buffer(capacity, '\0');
    uint32_t size = capacity;
    int ok = SettingsQueryValue(key, name, &buffer[0], &size, type);
    SettingsCloseKey(key);
    return ok ? buffer.substr(0, size) : "<failed>";
  }

  std::string Path(const std::string& sub) const {
    return sub.empty() ? key_ : key_ + "\\" + sub;
  }
  bool Exists(const std::string& sub) const {
    SettingsKey key = 0;
    if (!SettingsOpenKey(Path(sub).c_str(), &key)) return false;
    SettingsCloseKey(key);
    return true;
  }

  TempFolder folder_;
  std::string file_;
  std::string key_;
};

TEST_F(Settings, ValuesOfEachTypeRoundTrip) {
  std::string big(5000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = char(i % 251);
  static const struct {
    const char* name;
    uint32_t type;
    std::string data;
  } cases[] = {
      {"Path to nodelist", kSettingsString,
       std::string("C:\\FIDO\\NODELIST\\", 18)},
      {"Start Path", kSettingsString, std::string("\\2:345", 7)},
      {"Quoted", kSettingsString, std::string("say \"hi\"", 9)},
      {"Empty", kSettingsString, std::string("", 1)},
      {"OEM text", kSettingsString, std::string("\x8f\xe0\xa8\xa2\xa5\xe2", 7)},
      {"Options", kSettingsDword, std::string("\x09\0\0\0", 4)},
      {"Negative", kSettingsDword, std::string("\xff\xff\xff\xff", 4)},
      {"ColumnTypes", kSettingsBinary, big},
      {"No bytes", kSettingsBinary, ""},
      {"", kSettingsString, std::string("default", 8)},
  };
  for (const auto& c : cases)
    ASSERT_EQ(Set("", c.name, c.type, c.data.data(), uint32_t(c.data.size())),
              1)
        << c.name;
  for (const auto& c : cases) {
    uint32_t type = 0;
    EXPECT_EQ(Get("", c.name, 8192, &type), c.data) << c.name;
    EXPECT_EQ(type, c.type) << c.name;
  }
  // Names are matched without regard to case; a write keeps one value.
  EXPECT_EQ(Get("", "path TO NODELIST"), cases[0].data);
  ASSERT_EQ(SetText("", "OPTIONS", "now text"), 1);
  uint32_t type = 0;
  EXPECT_EQ(Get("", "options", 100, &type), std::string("now text", 9));
  EXPECT_EQ(type, uint32_t(kSettingsString));
}

TEST_F(Settings, ReadsFailForMissingOrOversizedValues) {
  ASSERT_EQ(SetText("", "Nodelist Name", "NODEX"), 1);
  EXPECT_EQ(Get("", "Nodelist Name", 6), std::string("NODEX", 6));
  EXPECT_EQ(Get("", "Nodelist Name", 5), "<failed>");
  EXPECT_EQ(Get("", "Absent"), "<failed>");
  EXPECT_EQ(Get("Absent", "Nodelist Name"), "<no key>");
  SettingsKey key = 0;
  ASSERT_EQ(SettingsOpenKey(key_.c_str(), &key), 1);
  uint32_t size = 3;
  char small[3];
  EXPECT_EQ(SettingsQueryValue(key, "Nodelist Name", small, &size, nullptr), 0);
  EXPECT_EQ(size, 6u);  // the size it would need
  size = 0;
  EXPECT_EQ(SettingsQueryValue(key, "Nodelist Name", nullptr, &size, nullptr),
            1);
  EXPECT_EQ(size, 6u);
  // A key opened for reading takes no writes.
  EXPECT_EQ(SettingsSetValue(key, "X", kSettingsDword, "\0\0\0\0", 4), 0);
  SettingsCloseKey(key);
  EXPECT_EQ(Get("", "X"), "<failed>");
}

TEST_F(Settings, KeysComeIntoBeingWithTheirParents) {
  EXPECT_FALSE(Exists(""));
  ASSERT_EQ(SetText("Sub\\Deeper", "V", "1"), 1);
  EXPECT_TRUE(Exists(""));
  EXPECT_TRUE(Exists("sub"));
  EXPECT_TRUE(Exists("SUB\\deeper"));
  EXPECT_FALSE(Exists("Sub\\Deep"));
  SettingsKey key = 0;
  EXPECT_EQ(SettingsCreateKey("Bad\\\\Path", &key), 0);
  EXPECT_EQ(key, 0);
}

TEST_F(Settings, SubkeysAreListedOnceEach) {
  ASSERT_EQ(SetText("B", "V", "1"), 1);
  ASSERT_EQ(SetText("A\\X", "V", "1"), 1);
  ASSERT_EQ(SetText("a\\Y", "V", "1"), 1);
  ASSERT_EQ(SetText("C\\D\\E", "V", "1"), 1);
  SettingsKey key = 0;
  ASSERT_EQ(SettingsOpenKey(Path("").c_str(), &key), 1);
  std::vector<std::string> names;
  char name[16];
  for (uint32_t i = 0; SettingsSubkeyName(key, i, name, sizeof(name)); ++i)
    names.push_back(name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "C"}));
  char small[1];
  EXPECT_EQ(SettingsSubkeyName(key, 0, small, sizeof(small)), 0);
  SettingsCloseKey(key);
  ASSERT_EQ(SettingsOpenKey(Path("B").c_str(), &key), 1);
  EXPECT_EQ(SettingsSubkeyName(key, 0, name, sizeof(name)), 0);
  SettingsCloseKey(key);
}

TEST_F(Settings, TreesAreCopiedAndDeleted) {
  ASSERT_EQ(SetText("From", "A", "a"), 1);
  ASSERT_EQ(SetText("From\\Child", "B", "b"), 1);
  ASSERT_EQ(SetText("To", "Old", "gone"), 1);
  ASSERT_EQ(SettingsCopyTree(Path("From").c_str(), Path("To").c_str()), 1);
  EXPECT_EQ(Get("To", "A"), std::string("a", 2));
  EXPECT_EQ(Get("To\\Child", "B"), std::string("b", 2));
  EXPECT_EQ(Get("To", "Old"), "<failed>");
  // The copy is independent of its source.
  ASSERT_EQ(SetText("To", "A", "changed"), 1);
  EXPECT_EQ(Get("From", "A"), std::string("a", 2));
  // Copying into itself is refused and changes nothing.
  EXPECT_EQ(SettingsCopyTree(Path("From").c_str(), Path("From\\X").c_str()), 0);
  EXPECT_FALSE(Exists("From\\X"));

  ASSERT_EQ(SettingsDeleteTree(Path("From").c_str()), 1);
  EXPECT_FALSE(Exists("From"));
  EXPECT_FALSE(Exists("From\\Child"));
  EXPECT_EQ(SettingsDeleteTree(Path("From").c_str()), 1);
  EXPECT_EQ(SettingsDeleteTree(""), 0);
  // A missing source gives an empty target.
  ASSERT_EQ(SettingsCopyTree(Path("From").c_str(), Path("To").c_str()), 1);
  EXPECT_TRUE(Exists("To"));
  EXPECT_EQ(Get("To", "A"), "<failed>");
  EXPECT_FALSE(Exists("To\\Child"));
}

TEST_F(Settings, InjectedWriteFaults) {
  static const struct {
    int nth;
    int repeat;
    int results[4];
  } plans[] = {
      {2, 0, {1, 0, 1, 1}},
      {1, 1, {0, 0, 0, 0}},
  };
  for (const auto& plan : plans) {
    SettingsKey key = 0;
    ASSERT_EQ(SettingsCreateKey(key_.c_str(), &key), 1);
    PlatformFailNth(kFaultSettingsWrite, plan.nth, plan.repeat);
    for (int i = 0; i < 4; ++i) {
      std::string name = "Value" + std::to_string(i);
      uint32_t data = uint32_t(i);
      EXPECT_EQ(SettingsSetValue(key, name.c_str(), kSettingsDword, &data, 4),
                plan.results[i]);
      EXPECT_EQ(Get("", name.c_str()) != "<failed>", plan.results[i] == 1);
    }
    PlatformFailNth(kFaultSettingsWrite, 0, 0);
    SettingsCloseKey(key);
    ASSERT_EQ(SettingsDeleteTree(key_.c_str()), 1);
  }
}

// --- The file on POSIX ------------------------------------------------------

class SettingsFile : public Settings {
 protected:
  void SetUp() override {
    Settings::SetUp();
    if (!IsPosix()) GTEST_SKIP() << "the settings file exists on POSIX only";
  }
  void TearDown() override {
    if (IsPosix()) Settings::TearDown();
  }
};

TEST_F(SettingsFile, IsWrittenAsRegedit4Text) {
  key_ = "Software\\Far\\Plugins\\Tolvane";
  ASSERT_EQ(SetText("", "Start Path", "\\2:345"), 1);
  uint32_t options = 10;
  ASSERT_EQ(Set("", "Options", kSettingsDword, &options, 4), 1);
  std::string bytes(24, '\x2b');
  ASSERT_EQ(Set("", "ColumnTypes", kSettingsBinary, bytes.data(), 24), 1);
  EXPECT_EQ(ReadWholeFile(file_),
            "REGEDIT4\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software]\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Far]\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Far\\Plugins]\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Far\\Plugins\\Tolvane]\r\n"
            "\"Start Path\"=\"\\\\2:345\"\r\n"
            "\"Options\"=dword:0000000a\r\n"
            "\"ColumnTypes\"=hex:2b,2b,2b,2b,2b,2b,2b,2b,2b,2b,2b,2b,2b,2b,2b,"
            "2b,2b,2b,2b,2b,\\\r\n"
            "  2b,2b,2b,2b\r\n\r\n");
  EXPECT_FALSE(FileExists(file_ + ".bad"));
}

TEST_F(SettingsFile, ReadsImportedTextAndKeepsItsSpelling) {
  WriteWholeFile(file_,
                 "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Mixed]\n"
                 "\"ValueName\"=\"v\"\n"
                 "\"Multi\"=hex(7):61,00,62,00,\\\n  00,00\n"
                 "\"Expand\"=hex(2):25,00\n");
  key_ = "software\\mixed";
  uint32_t type = 0;
  EXPECT_EQ(Get("", "VALUENAME"), std::string("v", 2));
  EXPECT_EQ(Get("", "multi", 100, &type), std::string("a\0b\0\0\0", 6));
  EXPECT_EQ(type, 7u);
  ASSERT_EQ(SetText("", "valuename", "w"), 1);
  std::string text = ReadWholeFile(file_);
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\SOFTWARE\\Mixed]\r\n"
                      "\"ValueName\"=\"w\"\r\n"
                      "\"Multi\"=hex(7):61,00,62,00,\\\r\n  00,00\r\n"
                      "\"Expand\"=hex(2):25,00\r\n"),
            std::string::npos)
      << text;
  key_ = "SOFTWARE";
}

TEST_F(SettingsFile, GarbageIsKeptAsideBeforeTheFirstWrite) {
  static const char* const kDamaged[] = {
      "not a registry file\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"V\"=hex:01,02,\\\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"V\"=\"no end quote\r\n",
  };
  int round = 0;
  for (const char* damaged : kDamaged) {
    WriteWholeFile(file_, damaged);
    EXPECT_FALSE(Exists(""));
    EXPECT_EQ(Get("", "V"), "<no key>");
    EXPECT_EQ(ReadWholeFile(file_), damaged);  // reading changes nothing
    ASSERT_EQ(SetText("", "V", "fresh"), 1);
    std::string kept = file_ + ".bad";
    if (round > 0) kept += "." + std::to_string(round);
    EXPECT_EQ(ReadWholeFile(kept), damaged);
    EXPECT_EQ(Get("", "V"), std::string("fresh", 6));
    ++round;
  }
  EXPECT_FALSE(FileExists(file_ + ".bad.3"));
}

TEST_F(SettingsFile, ReadingNeverCreatesTheFile) {
  std::string file = folder_.File("new/dir/registry.reg");
  SetEnvironment("TOLVANE_REGISTRY", file);
  EXPECT_FALSE(Exists(""));
  EXPECT_EQ(Get("", "V"), "<no key>");
  EXPECT_FALSE(FileExists(folder_.File("new")));
  ASSERT_EQ(SetText("", "V", "1"), 1);
  EXPECT_TRUE(FileExists(file));
}

TEST_F(SettingsFile, DefaultPlaceIsUnderTheConfigFolder) {
  SetEnvironment("TOLVANE_REGISTRY", "");
  SetEnvironment("XDG_CONFIG_HOME", folder_.File("config"));
  ASSERT_EQ(SetText("", "V", "1"), 1);
  EXPECT_TRUE(FileExists(folder_.File("config/tolvane/registry.reg")));
  EXPECT_EQ(Get("", "V"), std::string("1", 2));
  ASSERT_EQ(SettingsDeleteTree(key_.c_str()), 1);
  SetEnvironment("TOLVANE_REGISTRY", file_);
}

const int kWritesPerProcess = 40;

// The writer's half of the concurrency test below, in the child process.
TEST(SettingsChild, Writer) {
  const char* key = std::getenv("TOLVANE_CHILD_KEY");
  if (key == nullptr) GTEST_SKIP() << "runs only as a child";
  for (int i = 0; i < kWritesPerProcess; ++i) {
    SettingsKey open = 0;
    ASSERT_EQ(SettingsCreateKey(key, &open), 1);
    std::string name = "Child" + std::to_string(i);
    ASSERT_EQ(SettingsSetValue(open, name.c_str(), kSettingsDword, &i, 4), 1);
    SettingsCloseKey(open);
  }
  ReportChildDone("writer");
}

TEST_F(SettingsFile, TwoProcessesWritingKeepEachOthersValues) {
  FILE* child =
      StartChild("SettingsChild.Writer", "TOLVANE_CHILD_KEY='" + key_ + "'");
  ASSERT_NE(child, nullptr);
  for (int i = 0; i < kWritesPerProcess; ++i) {
    std::string name = "Parent" + std::to_string(i);
    ASSERT_EQ(Set("", name.c_str(), kSettingsDword, &i, 4), 1);
  }
  ASSERT_TRUE(PlayedItsRole(FinishChild(child), "writer"));
  for (int i = 0; i < kWritesPerProcess; ++i) {
    std::string value(reinterpret_cast<const char*>(&i), 4);
    for (const char* who : {"Parent", "Child"}) {
      std::string name = who + std::to_string(i);
      EXPECT_EQ(Get("", name.c_str()), value) << name;
    }
  }
  EXPECT_FALSE(FileExists(file_ + ".bad"));
}

}  // namespace
