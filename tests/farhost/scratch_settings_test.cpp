// Scratch settings keys: their names, and the clean-up of keys that runs
// killed outright left in the stored settings.
#include "farhost/commands/scratch_settings.h"

#include "farhost/sys/sys.h"
#include "platform/platform.h"
#include "plugin_fixture.h"

namespace {

// No system gives out process ids this large.
const unsigned long kEndedPid = 999999999;

TEST(ScratchKeyNames, RoundTripAndRefuseWhatTheyDoNotMake) {
  std::string machine;
  unsigned long pid = 0;
  std::string name = ScratchKeyName("box-7.example.org", 4321, 12);
  EXPECT_EQ(name, ".tolvane-scratch-box-7.example.org-4321-12");
  ASSERT_TRUE(ParseScratchKeyName(name, &machine, &pid));
  EXPECT_EQ(machine, "box-7.example.org");
  EXPECT_EQ(pid, 4321u);

  EXPECT_EQ(ScratchKeyName("my box\\x", 1, 1), ".tolvane-scratch-my_box_x-1-1");
  EXPECT_EQ(ScratchKeyName("", 1, 2), ".tolvane-scratch-machine-1-2");
  std::string longName = ScratchKeyName(std::string(100, 'h'), 5, 6);
  ASSERT_TRUE(ParseScratchKeyName(longName, &machine, &pid));
  EXPECT_EQ(machine, std::string(63, 'h'));

  for (const char* other :
       {"Tolvane", ".tolvane-scratch-", ".tolvane-scratch-h-12",
        ".tolvane-scratch--1-2", ".tolvane-scratch-h-x-1",
        ".tolvane-scratch-h-1-", ".tolvane-scratch-h-1234567890-1",
        ".tolvane-scratch-h-1-2x"})
    EXPECT_FALSE(ParseScratchKeyName(other, &machine, &pid)) << other;
}

TEST(ScratchKeyNames, TellRunningProcessesFromEndedOnes) {
  EXPECT_TRUE(SysProcessRuns(SysProcessId()));
  EXPECT_FALSE(SysProcessRuns(kEndedPid));
}

class AbandonedScratch : public PluginTest {
 protected:
  std::string MakeKey(const std::string& name) {
    std::string path = rootKey_ + "\\" + name + "\\Tolvane";
    SettingsKey key;
    EXPECT_TRUE(SettingsCreateKey(path.c_str(), &key)) << path;
    const char text[] = "C:\\FIDO\\";
    EXPECT_TRUE(SettingsSetValue(key, "Path to nodelist", kSettingsString, text,
                                 sizeof(text)));
    SettingsCloseKey(key);
    return rootKey_ + "\\" + name;
  }

  static int Exists(const std::string& path) {
    SettingsKey key;
    if (!SettingsOpenKey(path.c_str(), &key)) return 0;
    SettingsCloseKey(key);
    return 1;
  }
};

TEST_F(AbandonedScratch, OnlyEndedRunsOfThisMachineAreRemoved) {
  std::string here = SysHostName();
  std::string ended = MakeKey(ScratchKeyName(here, kEndedPid, 1));
  std::string endedToo = MakeKey(ScratchKeyName(here, kEndedPid, 2));
  std::string own = MakeKey(ScratchKeyName(here, SysProcessId(), 900));
  std::string elsewhere =
      MakeKey(ScratchKeyName(here + "-other", kEndedPid, 1));
  std::string stored = MakeKey("Tolvane");

  // Private copies' folders in the temporary folder go the same way.
  std::string temp = SysTempDir();
  std::string endedFolder =
      SysJoinPath(temp, ScratchKeyName(here, kEndedPid, 7));
  std::string ownFolder =
      SysJoinPath(temp, ScratchKeyName(here, SysProcessId(), 901));
  ASSERT_TRUE(SysMakeDir(endedFolder));
  ASSERT_TRUE(SysMakeDir(ownFolder));

  EXPECT_EQ(RemoveAbandonedScratch(rootKey_), 3);
  EXPECT_FALSE(Exists(ended));
  EXPECT_FALSE(Exists(endedToo));
  EXPECT_TRUE(Exists(own));
  EXPECT_TRUE(Exists(elsewhere));
  EXPECT_TRUE(Exists(stored));
  EXPECT_TRUE(SysListDir(endedFolder).empty());
  EXPECT_EQ(SysMakeDir(endedFolder), 1) << "the folder was removed";
  EXPECT_EQ(SysMakeDir(ownFolder), 0) << "the folder of a running process";
  SysRemoveTree(endedFolder);
  SysRemoveTree(ownFolder);
  EXPECT_EQ(RemoveAbandonedScratch(rootKey_), 0);
  EXPECT_EQ(RemoveAbandonedScratch(rootKey_ + "\\Missing"), 0);
}

TEST_F(AbandonedScratch, TheNextRunCleansUpAndLeavesNothingOfItsOwn) {
  std::string ended = MakeKey(ScratchKeyName(SysHostName(), kEndedPid, 3));
  {
    ScratchSettings scratch;
    std::string error;
    SettingsOverrides overrides;
    overrides.SortOrder = 5;
    ASSERT_TRUE(scratch.Create(rootKey_, overrides, "", &error)) << error;
    EXPECT_FALSE(Exists(ended));
    // The run sees its overrides; the stored key is not touched.
    std::string plugin = scratch.RootKey() + "\\Tolvane";
    SettingsKey key;
    ASSERT_TRUE(SettingsOpenKey(plugin.c_str(), &key));
    uint32_t order = 0, size = sizeof(order);
    EXPECT_TRUE(SettingsQueryValue(key, "SortOrder", &order, &size, nullptr));
    EXPECT_EQ(order, 5u);
    SettingsCloseKey(key);
  }
  EXPECT_FALSE(Exists(rootKey_ + "\\Tolvane"));
  SettingsKey key;
  ASSERT_TRUE(SettingsOpenKey(rootKey_.c_str(), &key));
  char name[256];
  EXPECT_FALSE(SettingsSubkeyName(key, 0, name, sizeof(name))) << name;
  SettingsCloseKey(key);
  // Nor a folder of this process in the temporary folder.
  for (const std::string& entry : SysListDir(SysTempDir())) {
    std::string machine;
    unsigned long pid = 0;
    if (ParseScratchKeyName(entry, &machine, &pid)) {
      EXPECT_NE(pid, SysProcessId()) << entry;
    }
  }
}

}  // namespace
