#include "commands/events.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "commands/test_host.h"
#include "config/settings.h"
#include "panel/panel_modes.h"

namespace {

class EventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter;
    std::snprintf(SettingsKeyPath, sizeof(SettingsKeyPath),
                  "Software\\TolvaneTest\\events%d_%u\\Tolvane", ++counter,
                  static_cast<unsigned>(std::rand()));
    SettingsDeleteTree(SettingsKeyPath);
    InstallTestHost(&host);
    BindPanelModes();
    LoadColumnBlock(DefaultColumnBlock, DefaultColumnBlockLength);
    std::memset(&panel, 0, sizeof(panel));
    panel.Flags = PF_INUSE;
    StartPanelMode = 0;
  }
  void TearDown() override { SettingsDeleteTree(SettingsKeyPath); }
  uint32_t StoredMode() {
    SettingsKey key;
    uint32_t value = 0xDEADBEEF;
    if (SettingsOpenKey(SettingsKeyPath, &key)) {
      ReadValue(key, "Start Panel Mode", &value, sizeof(value));
      SettingsCloseKey(key);
    }
    return value;
  }
  int Event(int event, const char* parameter) {
    return PanelProcessEvent(&panel, event, const_cast<char*>(parameter));
  }

  TestHost host;
  PanelInstance panel;
};

TEST_F(EventsTest, ViewModeChangesFindTheFirstEqualMode) {
  std::strcpy(ModeColumnString(8, kColumnTypes), "C0,Z,C4");  // as mode 6
  struct Case {
    const char* ColumnTypes;
    int Mode;  // -1: ignored
  };
  const Case cases[] = {
      {"C0,Z,C3", 5},  {"C0,Z,C1", 0},   {"C0,Z,O", 9}, {"C0,Z,C4", 6},
      {"c0,z,c3", -1}, {"C0,Z,C3 ", -1}, {"C0,Z", -1},  {"", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ColumnTypes);
    StartPanelMode = 2;
    SettingsDeleteTree(SettingsKeyPath);
    EXPECT_EQ(FindViewMode(c.ColumnTypes), c.Mode);
    EXPECT_EQ(Event(FE_CHANGEVIEWMODE, c.ColumnTypes), 0);
    EXPECT_EQ(StartPanelMode, c.Mode < 0 ? 2 : c.Mode);
    EXPECT_EQ(StoredMode(), c.Mode < 0 ? 0xDEADBEEFu : uint32_t(c.Mode));
    EXPECT_EQ(panel.ViewMode, 0u);
  }
  EXPECT_EQ(Event(FE_CHANGEVIEWMODE, nullptr), 0);
  EXPECT_EQ(StartPanelMode, 2);
}

TEST_F(EventsTest, AfterCloseOnlyThePanelsViewModeChanges) {
  EXPECT_EQ(Event(FE_CHANGEVIEWMODE, "C0,Z,C2"), 0);
  EXPECT_EQ(StartPanelMode, 8);
  EXPECT_EQ(Event(FE_CLOSE, nullptr), 0);
  EXPECT_EQ(panel.Flags, uint32_t(PF_INUSE | PF_CLOSING));
  EXPECT_EQ(Event(FE_CHANGEVIEWMODE, "C0,Z,C3"), 0);
  EXPECT_EQ(panel.ViewMode, 5u);
  EXPECT_EQ(StartPanelMode, 8);
  EXPECT_EQ(StoredMode(), 8u);
  EXPECT_EQ(Event(FE_CHANGEVIEWMODE, "nothing like it"), 0);
  EXPECT_EQ(panel.ViewMode, 5u);
}

TEST_F(EventsTest, OtherEventsChangeNothing) {
  const int events[] = {FE_REDRAW, FE_IDLE, FE_BREAK, FE_COMMAND, 99};
  for (int event : events) EXPECT_EQ(Event(event, "C0,Z,C3"), 0);
  EXPECT_EQ(panel.Flags, uint32_t(PF_INUSE));
  EXPECT_EQ(StartPanelMode, 0);
  EXPECT_EQ(StoredMode(), 0xDEADBEEFu);
  EXPECT_EQ(PanelProcessEvent(nullptr, FE_CLOSE, nullptr), 0);
}

}  // namespace
