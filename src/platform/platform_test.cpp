// The platform layer's system side: mapping files, address space, new
// files, error texts, the fault seams and the fixed clock and zone. Tests
// that depend on POSIX behaviour skip themselves on Windows.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/platform_test_support.h"

namespace {

const char* Role() {
  const char* role = std::getenv("TOLVANE_CHILD_ROLE");
  return role != nullptr ? role : "";
}

std::string Mapped(const MappedFile& slot) {
  return std::string(reinterpret_cast<const char*>(slot.View), slot.Size);
}

void ExpectClosed(const MappedFile& slot) {
  EXPECT_EQ(slot.File, kInvalidFile);
  EXPECT_EQ(slot.Mapping, 0);
  EXPECT_EQ(slot.View, nullptr);
  EXPECT_EQ(slot.Size, 0u);
}

TEST(MapFile, MapsWholeFilesAndEmptyOnes) {
  TempFolder folder;
  static const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"text", "Nodelist data"},
      {"zero-length", ""},
      {"binary, more than a page", std::string(70000, '\xA5') + "end"},
  };
  for (const auto& c : cases) {
    std::string path = folder.File("file.dat");
    WriteWholeFile(path, c.bytes);
    MappedFile slot{};
    ASSERT_EQ(MapFileReadOnly(path.c_str(), &slot), 1) << c.what;
    EXPECT_NE(slot.View, nullptr) << c.what;
    EXPECT_EQ(slot.Size, c.bytes.size()) << c.what;
    EXPECT_EQ(Mapped(slot), c.bytes) << c.what;
    UnmapFile(&slot);
    ExpectClosed(slot);
    UnmapFile(&slot);
    ExpectClosed(slot);
  }
}

TEST(MapFile, MissingFileFailsAndLeavesAClosedSlot) {
  TempFolder folder;
  MappedFile slot{};
  EXPECT_EQ(MapFileReadOnly(folder.File("absent.dat").c_str(), &slot), 0);
  char text[200];
  PlatformErrorText(text, sizeof text);
  EXPECT_GT(std::strlen(text), 0u);
  UnmapFile(&slot);
  ExpectClosed(slot);
  // A directory is no file to map.
  EXPECT_EQ(MapFileReadOnly(folder.Path().c_str(), &slot), 0);
  UnmapFile(&slot);
  ExpectClosed(slot);
}

TEST(MapFile, ZeroFilledSlotUnmapsAsClosed) {
  MappedFile slot;
  std::memset(&slot, 0, sizeof slot);
  UnmapFile(&slot);
  ExpectClosed(slot);
  CloseFileHandle(0);
  CloseFileHandle(kInvalidFile);
}

TEST(MapFile, FindsANameThatDiffersInCase) {
  TempFolder folder;
  WriteWholeFile(folder.File("NODEX.DAT"), "upper");
  MappedFile slot{};
  ASSERT_EQ(MapFileReadOnly(folder.File("nodex.dat").c_str(), &slot), 1);
  EXPECT_EQ(Mapped(slot), "upper");
  UnmapFile(&slot);
  EXPECT_EQ(MapFileReadOnly(folder.File("nodex.da").c_str(), &slot), 0);
  UnmapFile(&slot);
  if (!IsPosix()) GTEST_SKIP() << "two names differing in case need POSIX";
  WriteWholeFile(folder.File("nodex.dat"), "lower");
  static const struct {
    const char* name;
    const char* content;
  } cases[] = {
      {"nodex.dat", "lower"},  // the exact name wins
      {"NODEX.DAT", "upper"},
      {"Nodex.Dat", "upper"},  // of several, the first in byte order
  };
  for (const auto& c : cases) {
    ASSERT_EQ(MapFileReadOnly(folder.File(c.name).c_str(), &slot), 1) << c.name;
    EXPECT_EQ(Mapped(slot), c.content) << c.name;
    UnmapFile(&slot);
  }
}

TEST(AddressSpace, CommitsZeroedRangesThatKeepTheirContents) {
  const size_t kReserved = size_t(4) << 20;
  unsigned char* base =
      static_cast<unsigned char*>(ReserveAddressSpace(kReserved));
  ASSERT_NE(base, nullptr);
  static const struct {
    size_t offset;
    size_t bytes;
  } ranges[] = {
      {0, 1},
      {5000, 10},  // small and unaligned
      {65535, 2},  // across a page boundary
      {1 << 20, 300000},
      {kReserved - 7, 7},  // the very end
  };
  for (const auto& r : ranges) {
    ASSERT_EQ(CommitAddressRange(base, r.offset, r.bytes), 1) << r.offset;
    for (size_t i = 0; i < r.bytes; ++i)
      ASSERT_EQ(base[r.offset + i], 0) << r.offset << "+" << i;
    std::memset(base + r.offset, 0x5A, r.bytes);
    ASSERT_EQ(CommitAddressRange(base, r.offset, r.bytes), 1);
    EXPECT_EQ(base[r.offset], 0x5A);
    EXPECT_EQ(base[r.offset + r.bytes - 1], 0x5A);
  }
  EXPECT_EQ(CommitAddressRange(base, SIZE_MAX - 2, 10), 0);
  EXPECT_EQ(CommitAddressRange(nullptr, 0, 10), 0);
  ReleaseAddressSpace(base, kReserved);
  ReleaseAddressSpace(nullptr, kReserved);
}

// An item list's reservation (not a multiple of any large page size) grown
// the way lists grow: records upward from the start, texts downward from
// the end, each piece zero when committed and kept while the other end
// grows; a commit in the untouched middle works too.
TEST(AddressSpace, GrowsFromBothEndsOfAnItemListReservation) {
  const size_t kReserved = 0x6C0000;
  const size_t kRecord = 366, kText = 316, kCount = 9000;
  unsigned char* base =
      static_cast<unsigned char*>(ReserveAddressSpace(kReserved));
  ASSERT_NE(base, nullptr);
  for (size_t k = 0; k < kCount; ++k) {
    size_t record = k * kRecord, text = kReserved - (k + 1) * kText;
    ASSERT_EQ(CommitAddressRange(base, record, kRecord), 1) << k;
    ASSERT_EQ(CommitAddressRange(base, text, kText), 1) << k;
    ASSERT_EQ(base[record], 0) << k;
    ASSERT_EQ(base[record + kRecord - 1], 0) << k;
    ASSERT_EQ(base[text], 0) << k;
    ASSERT_EQ(base[text + kText - 1], 0) << k;
    std::memset(base + record, int(k % 251) + 1, kRecord);
    std::memset(base + text, int(k % 241) + 1, kText);
  }
  for (size_t k = 0; k < kCount; k += 997) {
    EXPECT_EQ(base[k * kRecord + kRecord / 2], int(k % 251) + 1) << k;
    EXPECT_EQ(base[kReserved - (k + 1) * kText], int(k % 241) + 1) << k;
  }
  const size_t kMiddle = kCount * kRecord + 100000;
  ASSERT_EQ(CommitAddressRange(base, kMiddle, 10), 1);
  EXPECT_EQ(base[kMiddle], 0);
  base[kMiddle] = 7;
  EXPECT_EQ(CommitAddressRange(base, 0, kRecord), 1);
  EXPECT_EQ(base[0], 1);
  EXPECT_EQ(base[kMiddle], 7);
  EXPECT_EQ(CommitAddressRange(base, kReserved - 1, 2), 0);
  ReleaseAddressSpace(base, kReserved);
}

TEST(NewFiles, CreatesOnceWritesAllAndNeverOverwrites) {
  TempFolder folder;
  std::string path = folder.File("2-5020-1.txt");
  FileHandle file = kInvalidFile;
  ASSERT_EQ(CreateNewFile(path.c_str(), &file), 1);
  EXPECT_NE(file, kInvalidFile);
  EXPECT_NE(file, 0);
  std::string text = std::string(100000, 'n') + "\r\n";
  EXPECT_EQ(WriteFileBytes(file, text.data(), text.size()), 1);
  EXPECT_EQ(WriteFileBytes(file, "", 0), 1);
  CloseFileHandle(file);
  EXPECT_EQ(ReadWholeFile(path), text);
  FileHandle again = 0;
  EXPECT_EQ(CreateNewFile(path.c_str(), &again), 0);
  EXPECT_EQ(again, kInvalidFile);
  EXPECT_EQ(ReadWholeFile(path), text);
  EXPECT_EQ(CreateNewFile(folder.File("no/such/dir.txt").c_str(), &again), 0);
  EXPECT_EQ(WriteFileBytes(kInvalidFile, "x", 1), 0);
}

TEST(ErrorText, IsClippedTerminatedAndWithoutLineEnd) {
  // 2 is "file not found" both as errno and as a Windows error code.
  PlatformSetLastError(2);
  char text[300];
  std::memset(text, 'Z', sizeof text);
  PlatformErrorText(text, sizeof text);
  size_t length = std::strlen(text);
  ASSERT_GT(length, 4u);
  EXPECT_NE(text[length - 1], '\n');
  EXPECT_NE(text[length - 1], '\r');
  char small[5];
  std::memset(small, 'Z', sizeof small);
  PlatformSetLastError(2);
  PlatformErrorText(small, sizeof small);
  EXPECT_EQ(std::strlen(small), 4u);
  EXPECT_EQ(std::string(small), std::string(text, 4));
}

TEST(Seams, FailTheNthCallOfEachKind) {
  ASSERT_EQ(PlatformFaultsAvailable(), 1);
  TempFolder folder;
  std::string path = folder.File("map.dat");
  WriteWholeFile(path, "x");
  void* base = ReserveAddressSpace(1 << 16);
  ASSERT_NE(base, nullptr);
  // One call of each kind; 1 when it succeeded.
  auto call = [&](PlatformFault kind) -> int {
    if (kind == kFaultMap) {
      MappedFile slot{};
      int ok = MapFileReadOnly(path.c_str(), &slot);
      UnmapFile(&slot);
      return ok;
    }
    if (kind == kFaultReserve) {
      void* more = ReserveAddressSpace(1 << 16);
      ReleaseAddressSpace(more, 1 << 16);
      return more != nullptr;
    }
    return CommitAddressRange(base, 100, 10);
  };
  static const struct {
    int nth;
    int repeat;
    int results[5];
  } plans[] = {
      {1, 0, {0, 1, 1, 1, 1}},
      {3, 0, {1, 1, 0, 1, 1}},
      {2, 1, {1, 0, 0, 0, 0}},
      {0, 0, {1, 1, 1, 1, 1}},
  };
  for (PlatformFault kind : {kFaultMap, kFaultReserve, kFaultCommit}) {
    for (const auto& plan : plans) {
      PlatformFailNth(kind, plan.nth, plan.repeat);
      for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(call(kind), plan.results[i])
            << "kind " << kind << " nth " << plan.nth << " call " << i + 1;
        if (plan.results[i] == 0) {
          char text[200];
          PlatformErrorText(text, sizeof text);
          EXPECT_GT(std::strlen(text), 0u);
        }
      }
    }
    PlatformFailNth(kind, 0, 0);
  }
  ReleaseAddressSpace(base, 1 << 16);
}

TEST(Seams, FixTheClockAndTheZone) {
  PlatformSetTestClock(23, 59);
  int hour = -1;
  int minute = -1;
  ASSERT_EQ(GetLocalTimeOfDay(&hour, &minute), 1);
  EXPECT_EQ(hour, 23);
  EXPECT_EQ(minute, 59);
  PlatformSetTestClock(-1, 0);
  ASSERT_EQ(GetLocalTimeOfDay(&hour, &minute), 1);
  EXPECT_TRUE(hour >= 0 && hour < 24 && minute >= 0 && minute < 60);

  const ZoneBias fixed{-180, 0, -60, 2};
  PlatformSetTestZone(&fixed);
  ZoneBias zone{};
  ASSERT_EQ(GetZoneBias(&zone), 1);
  EXPECT_EQ(zone.Bias, -180);
  EXPECT_EQ(zone.DaylightBias, -60);
  EXPECT_EQ(zone.State, 2);
  PlatformSetTestZone(nullptr);
  ASSERT_EQ(GetZoneBias(&zone), 1);
  EXPECT_TRUE(zone.State >= 0 && zone.State <= 2);
  EXPECT_TRUE(zone.Bias >= -14 * 60 && zone.Bias <= 12 * 60);
}

TEST(Zone, FollowsTheSystemZone) {
  if (!IsPosix()) GTEST_SKIP() << "the TZ variable is a POSIX setting";
  const char* saved = std::getenv("TZ");
  std::string old = saved != nullptr ? saved : "";
  static const struct {
    const char* tz;
    int offset;  // minutes to add to local time for UTC
  } zones[] = {
      {"UTC0", 0}, {"EST5", 300}, {"<+0530>-5:30", -330}, {"<-01>1", 60}};
  for (const auto& z : zones) {
    SetEnvironment("TZ", z.tz);
    ZoneBias zone{};
    ASSERT_EQ(GetZoneBias(&zone), 1) << z.tz;
    int32_t part = zone.State == 2 ? zone.DaylightBias : zone.StandardBias;
    EXPECT_EQ(zone.Bias + part, z.offset) << z.tz;
    EXPECT_EQ(zone.State, 1) << z.tz;
  }
  SetEnvironment("TZ", old);
}

// Runs in a child process started by the tests below; does nothing in a
// plain run.
TEST(Child, Role) {
  std::string role = Role();
  if (role.empty()) GTEST_SKIP() << "runs only as a child";
  if (role == "stdin") {
    // Standard input is closed, so the first new descriptor would be 0.
    MappedFile slot{};
    ASSERT_EQ(MapFileReadOnly(std::getenv("TOLVANE_CHILD_FILE"), &slot), 1);
    EXPECT_NE(slot.File, 0);
    UnmapFile(&slot);
  } else if (role == "environment") {
    int hour = 0;
    int minute = 0;
    ASSERT_EQ(GetLocalTimeOfDay(&hour, &minute), 1);
    EXPECT_EQ(hour * 60 + minute, 7 * 60 + 45);
    ZoneBias zone{};
    ASSERT_EQ(GetZoneBias(&zone), 1);
    EXPECT_EQ(zone.Bias, -120);
    EXPECT_EQ(zone.StandardBias, 5);
    EXPECT_EQ(zone.DaylightBias, -60);
    EXPECT_EQ(zone.State, 1);
    MappedFile slot{};
    for (int expected : {1, 0, 0}) {
      EXPECT_EQ(MapFileReadOnly(std::getenv("TOLVANE_CHILD_FILE"), &slot),
                expected);
      UnmapFile(&slot);
    }
    void* base = ReserveAddressSpace(4096);
    EXPECT_EQ(base, nullptr);
    base = ReserveAddressSpace(4096);
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(CommitAddressRange(base, 0, 1), 1);  // 3 was set, not "+"
    ReleaseAddressSpace(base, 4096);
  } else {
    FAIL() << "no such role: " << role;
  }
  ReportChildDone(role);
}

TEST(Child, DescriptorZeroIsNeverHandedOut) {
  if (!IsPosix() || *Role() != '\0') GTEST_SKIP() << "needs POSIX children";
  TempFolder folder;
  std::string path = folder.File("stdin.dat");
  WriteWholeFile(path, "data");
  FILE* child = StartChild(
      "Child.Role",
      "TOLVANE_CHILD_ROLE=stdin TOLVANE_CHILD_FILE='" + path + "'", "0<&-");
  EXPECT_TRUE(PlayedItsRole(FinishChild(child), "stdin"));
}

TEST(Child, SeamsAreReadFromTheEnvironment) {
  if (!IsPosix() || *Role() != '\0') GTEST_SKIP() << "needs POSIX children";
  TempFolder folder;
  std::string path = folder.File("env.dat");
  WriteWholeFile(path, "data");
  std::string assign =
      "TOLVANE_CHILD_ROLE=environment TOLVANE_CHILD_FILE='" + path +
      "' TOLVANE_FAIL_MAP=2+ TOLVANE_FAIL_RESERVE=1 TOLVANE_FAIL_COMMIT=3 "
      "TOLVANE_TEST_CLOCK=07:45 TOLVANE_TEST_ZONE=-120,5,-60,1";
  EXPECT_TRUE(PlayedItsRole(FinishChild(StartChild("Child.Role", assign)),
                            "environment"));
}

}  // namespace
