#include "nodelist/file_set.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "nodelist/test_harness.h"

namespace {

namespace fs = std::filesystem;
using test_harness::Addresses;
using test_harness::Images;

struct NameCase {
  const char* Directory;
  const char* Base;
  uint16_t Kind;
  uint16_t Flags;
  const char* Data;
  const char* Plus;
  const char* Index;
};

TEST(BuildFileNames, FormsDirectoryBaseAndExtension) {
  static const NameCase cases[] = {
      {"", "NODEX", SearchByAddress, 0, "NODEX.DAT", "", "NODEX.NDX"},
      {nullptr, "NODEX", SearchByAddress, 0, "NODEX.DAT", "", "NODEX.NDX"},
      {"/nl/", "NODEX", SearchBySysop, 0, "/nl/NODEX.DAT", "", "/nl/NODEX.SDX"},
      {"/nl/", "NODEX", SearchBySysop, SharedSysopIndex | UsePlusData,
       "/nl/NODEX.DAT", "/nl/NODEX.DTP", "/nl/SYSOP.NDX"},
      {"", "NODEX", SearchBySysop, SharedSysopIndex, "NODEX.DAT", "",
       "SYSOP.NDX"},
      {"", "NODEX", SearchByAddress, SharedSysopIndex, "NODEX.DAT", "",
       "NODEX.NDX"},
      {"C:\\FIDO\\", "net5020", SearchByAddress, 1, "C:\\FIDO\\net5020.DAT",
       "C:\\FIDO\\net5020.DTP", "C:\\FIDO\\net5020.NDX"},
      {"d/", "x", SearchByAddress, 2, "d/x.DAT", "d/x.DTP", "d/x.NDX"},
      {"d/", "x", SearchByPhone, 0, "d/x.DAT", "", "d/x.PDX"},
      {"d", "x", SearchByAddress, 0, "dx.DAT", "", "dx.NDX"},
  };
  for (const NameCase& c : cases) {
    NodelistFiles files{};
    files.Directory = c.Directory;
    files.NodelistName = c.Base;
    files.SearchKind = c.Kind;
    files.Flags = c.Flags;
    FileSetNames names;
    std::memset(&names, '#', sizeof(names));
    EXPECT_EQ(1, BuildFileNames(&files, &names)) << c.Data;
    EXPECT_STREQ(c.Data, names.Data.Text);
    EXPECT_STREQ(c.Plus, names.Plus.Text);
    EXPECT_STREQ(c.Index, names.Index.Text);
  }
}

TEST(BuildFileNames, NamesPastTheirRoomAreCutAndMarked) {
  static const struct {
    size_t DirectoryLength;
    int Fits;
  } cases[] = {{250, 1}, {251, 0}, {400, 0}};
  for (const auto& c : cases) {
    std::string directory(c.DirectoryLength, 'd');
    NodelistFiles files{};
    files.Directory = directory.c_str();
    files.NodelistName = "NODEX";  // + ".DAT": 9 characters
    files.SearchKind = SearchByAddress;
    FileSetNames names;
    EXPECT_EQ(c.Fits, BuildFileNames(&files, &names));
    EXPECT_EQ(c.Fits, names.Data.Fits);
    size_t expected = c.Fits ? c.DirectoryLength + 9 : size_t{kFileNameRoom};
    EXPECT_EQ(expected, std::strlen(names.Data.Text));
  }
}

TEST(BuildSysopKey, SurnameFirstCapitalisedAndCut) {
  static const struct {
    const char* Typed;
    const char* Key;
  } cases[] = {
      {"John Smith", "Smith, John"},
      {"john SMITH", "Smith, John"},
      {"Jan van Dijk", "Dijk, Jan Van"},
      {"Smith", "Smith"},
      {"Smith ", ", Smith"},
      {"", ""},
      {"O'BRIEN-SMITH JOHN", "John, O'Brien-Smith"},
      {"Maximiliana Konstantinovs", "Konstantinovs, Maximilian"},
      // The whole name is read, the key cut.
      {"Dennis Alexis Valin Dittrich", "Dittrich, Dennis Alexis V"},
  };
  for (const auto& c : cases) {
    char key[kMaxSysopKeyLength + 1];
    std::memset(key, '#', sizeof(key));
    EXPECT_EQ(static_cast<int>(std::strlen(c.Key)), BuildSysopKey(c.Typed, key))
        << c.Typed;
    EXPECT_STREQ(c.Key, key) << c.Typed;
  }
}

TEST(OpenAndSearch, TwentyFiveCharacterKeyMatchesEveryLongerName) {
  Images images;
  std::vector<test_images::IndexEntry> entries;
  const char* names[] = {"Konstantinovs, Maximiliana",
                         "Konstantinovs, Maximilianus",
                         "Konstantinovs, Maximo"};
  for (uint16_t i = 0; i < 3; ++i) {
    test_images::RecordFields fields{};
    fields.Zone = 2;
    fields.Node = i;
    entries.push_back(
        {names[i], test_images::AppendRecord(&images.Data, fields)});
  }
  images.Index = test_images::BuildIndex(entries);
  EXPECT_EQ("2:0/0.0 2:0/1.0", Addresses(test_harness::SearchSysop(
                                   images, "Maximiliana Konstantinovs")));
}

// The file that CutDataAtFirstMatch cuts, and whether the system refused
// (Windows does not cut a mapped file).
fs::path CutFile;
bool CutRefused;

// A folder of its own for each test, removed afterwards.
class FileSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    folder_ = fs::temp_directory_path() /
              ("tolvane-nodelist-" + std::to_string(stamp));
    fs::create_directories(folder_);
    directory_ = folder_.string() + PathSeparator();
    std::memset(&Nodelist, 0, sizeof(Nodelist));
    std::memset(&SearchKey, 0, sizeof(SearchKey));
    Nodelist.Directory = directory_.c_str();
    Nodelist.NodelistName = "NODEX";
    Nodelist.Key = &SearchKey;
    Nodelist.OnMatch = test_harness::CollectRecord;
    Nodelist.MatchData = &found_;
    Nodelist.SearchKind = SearchByAddress;
    HostFunctions.LStrnicmp = test_harness::TestStrnicmp;
    LastErrorText[0] = '\0';
  }
  void TearDown() override {
    CloseFileSet(&Nodelist);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  void Write(const std::string& name, const test_images::Bytes& bytes) {
    std::ofstream out(folder_ / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  // Two nodes, 2:5020/1 "John Smith" and 2:5020/2 "Ann Doe", with V7+.
  void WriteNodelist(const std::string& base, const std::string& sysopIndex) {
    Images images;
    images.Plus = test_images::PlusHeader();
    std::vector<test_images::IndexEntry> byAddress, bySysop;
    const char* sysops[] = {"John Smith", "Ann Doe"};
    const char* keys[] = {"Smith, John", "Doe, Ann"};
    for (uint16_t node = 1; node <= 2; ++node) {
      test_images::RecordFields fields{};
      fields.Zone = 2;
      fields.Net = 5020;
      fields.Node = node;
      fields.Sysop = sysops[node - 1];
      fields.After = test_images::PlusOffsetText(test_images::AppendPlusEntry(
          &images.Plus, 50, false, ",1,BBS,Town,Sysop,-Unpublished-,300"));
      uint32_t at = test_images::AppendRecord(&images.Data, fields);
      byAddress.push_back({test_images::NodeKey(2, 5020, node), at});
      bySysop.insert(bySysop.begin(), {keys[node - 1], at});
    }
    Write(base + ".DAT", images.Data);
    Write(base + ".DTP", images.Plus);
    Write(base + ".NDX", test_images::BuildIndex(byAddress));
    Write(sysopIndex, test_images::BuildIndex(bySysop));
  }
  std::string Expect(const char* fileName) {
    return "Unable to open " + directory_ + fileName;
  }

  fs::path folder_;
  std::string directory_;
  std::vector<NodeRecord> found_;
};

TEST_F(FileSetTest, ResultCodesNameTheFileThatFailed) {
  EXPECT_EQ(7, OpenAndSearch(&Nodelist));
  EXPECT_EQ(Expect("NODEX.DAT"), LastErrorText);
  CloseFileSet(&Nodelist);

  Write("NODEX.DAT", {});
  Nodelist.Flags = UsePlusData;
  EXPECT_EQ(4, OpenAndSearch(&Nodelist));
  EXPECT_EQ(Expect("NODEX.DTP"), LastErrorText);
  EXPECT_NE(nullptr, Nodelist.DataFile.View);      // left for CloseFileSet
  EXPECT_EQ(nullptr, Nodelist.AddressIndex.View);  // never opened
  CloseFileSet(&Nodelist);

  Nodelist.Flags = 0;  // no V7+ file wanted: its absence does no harm
  EXPECT_EQ(1, OpenAndSearch(&Nodelist));
  EXPECT_EQ(Expect("NODEX.NDX"), LastErrorText);
  CloseFileSet(&Nodelist);

  Nodelist.SearchKind = SearchBySysop;
  EXPECT_EQ(1, OpenAndSearch(&Nodelist));
  EXPECT_EQ(Expect("NODEX.SDX"), LastErrorText);
  CloseFileSet(&Nodelist);

  Nodelist.SearchKind = 9;
  EXPECT_EQ(1, OpenAndSearch(&Nodelist));
  EXPECT_STREQ("Unknown search kind 9", LastErrorText);
  EXPECT_TRUE(found_.empty());
}

TEST_F(FileSetTest, NameTooLongForItsRoomFailsNamingTheCutName) {
  std::string name(300, 'N');
  Nodelist.NodelistName = name.c_str();
  EXPECT_EQ(7, OpenAndSearch(&Nodelist));
  std::string cut = (directory_ + name).substr(0, kFileNameRoom);
  EXPECT_EQ(("Unable to open " + cut).substr(0, kLastErrorTextSize - 1),
            LastErrorText);
  EXPECT_EQ(nullptr, Nodelist.DataFile.View);
}

TEST_F(FileSetTest, SearchesDeliverFromTheMappedFiles) {
  WriteNodelist("NODEX", "NODEX.SDX");
  Nodelist.Flags = UsePlusData;
  Nodelist.KeyLength = 4;
  SearchKey.Zone = 2;
  SearchKey.Net = 5020;
  Nodelist.Damaged = 1;  // from an earlier search
  EXPECT_EQ(12, OpenAndSearch(&Nodelist));
  EXPECT_EQ(0, Nodelist.Damaged);
  EXPECT_EQ("2:5020/1.0 2:5020/2.0", Addresses(found_));
  EXPECT_EQ(50, found_[0].Region);
  EXPECT_EQ(Nodelist.AddressIndex.View, Nodelist.ActiveIndex);
  CloseFileSet(&Nodelist);

  found_.clear();
  Nodelist.SearchKind = SearchBySysop;
  std::strcpy(SearchKey.SysopName, "ann doe");
  EXPECT_EQ(12, OpenAndSearch(&Nodelist));
  EXPECT_EQ("2:5020/2.0", Addresses(found_));
  EXPECT_EQ(Nodelist.SysopIndex.View, Nodelist.ActiveIndex);
}

TEST_F(FileSetTest, SharedSysopIndexIgnoresTheBaseName) {
  WriteNodelist("NET", "SYSOP.NDX");
  Nodelist.NodelistName = "NET";
  Nodelist.SearchKind = SearchBySysop;
  Nodelist.Flags = SharedSysopIndex;
  std::strcpy(SearchKey.SysopName, "John Smith");
  EXPECT_EQ(12, OpenAndSearch(&Nodelist));
  EXPECT_EQ("2:5020/1.0", Addresses(found_));
}

TEST_F(FileSetTest, FindsFilesWhoseExtensionsDifferInCase) {
  WriteNodelist("NODEX", "NODEX.SDX");
  fs::rename(folder_ / "NODEX.DAT", folder_ / "NODEX.dat");
  fs::rename(folder_ / "NODEX.NDX", folder_ / "nodex.ndx");
  EXPECT_EQ(12, OpenAndSearch(&Nodelist));
  EXPECT_EQ("2:5020/1.0 2:5020/2.0", Addresses(found_));
}

TEST_F(FileSetTest, DamagedIndexStillEndsTheSearchWithItsName) {
  WriteNodelist("NODEX", "NODEX.SDX");
  Write("NODEX.NDX", {});
  EXPECT_EQ(12, OpenAndSearch(&Nodelist));
  EXPECT_EQ(1, Nodelist.Damaged);
  EXPECT_EQ(
      "Damaged nodelist file " + directory_ + "NODEX.NDX: index too short 0",
      LastErrorText);
  EXPECT_TRUE(found_.empty());
}

// Cuts NODEX.DAT to nothing at the first entry delivered, as another
// program rewriting the file in place would.
int CutDataAtFirstMatch(NodeRecord* record, void* data) {
  auto* found = static_cast<std::vector<NodeRecord>*>(data);
  if (found->empty()) {
    std::error_code error;
    fs::resize_file(CutFile, 0, error);
    CutRefused = static_cast<bool>(error);
  }
  found->push_back(*record);
  return 1;
}

TEST_F(FileSetTest, FileCutShortWhileReadEndsTheSearchAsDamage) {
  WriteNodelist("NODEX", "NODEX.SDX");
  uintmax_t size = fs::file_size(folder_ / "NODEX.DAT");
  CutFile = folder_ / "NODEX.DAT";
  Nodelist.OnMatch = CutDataAtFirstMatch;
  Nodelist.KeyLength = 4;
  SearchKey.Zone = 2;
  SearchKey.Net = 5020;
  EXPECT_EQ(12, OpenAndSearch(&Nodelist));
  if (CutRefused) GTEST_SKIP() << "this system does not cut a mapped file";
  EXPECT_EQ(1, Nodelist.Damaged);
  EXPECT_EQ("2:5020/1.0", Addresses(found_));
  EXPECT_EQ("Damaged nodelist file " + directory_ +
                "NODEX.DAT: cut short while it was read, size was " +
                std::to_string(size),
            LastErrorText);
  CloseFileSet(&Nodelist);

  // The guard is gone with the search, and the next search works again.
  WriteNodelist("NODEX", "NODEX.SDX");
  Nodelist.OnMatch = test_harness::CollectRecord;
  found_.clear();
  EXPECT_EQ(12, OpenAndSearch(&Nodelist));
  EXPECT_EQ(0, Nodelist.Damaged);
  EXPECT_EQ("2:5020/1.0 2:5020/2.0", Addresses(found_));
}

// A set left mapped after a search (as the host's file search leaves it)
// serves the next search while its files are unchanged; when one was
// replaced every file is mapped afresh, never the new index beside the
// old data. A failing map shows whether a search mapped anything.
TEST_F(FileSetTest, SetLeftMappedServesTheNextSearchWhileUnchanged) {
  WriteNodelist("NODEX", "NODEX.SDX");
  Nodelist.Flags = UsePlusData;
  Nodelist.KeyLength = 4;
  SearchKey.Zone = 2;
  SearchKey.Net = 5020;
  ASSERT_EQ(12, OpenAndSearch(&Nodelist));
  PlatformFailNth(kFaultMap, 1, 1);
  found_.clear();
  EXPECT_EQ(12, OpenAndSearch(&Nodelist));
  EXPECT_EQ("2:5020/1.0 2:5020/2.0", Addresses(found_));
  // Another index, another name: the set is mapped afresh.
  Nodelist.SearchKind = SearchBySysop;
  std::strcpy(SearchKey.SysopName, "ann doe");
  EXPECT_EQ(7, OpenAndSearch(&Nodelist));
  PlatformFailNth(kFaultMap, 0, 0);
  ASSERT_EQ(12, OpenAndSearch(&Nodelist));
  Nodelist.SearchKind = SearchByAddress;
  ASSERT_EQ(12, OpenAndSearch(&Nodelist));

  // A compiler replaces the index with one of three entries (each points
  // at the first record: only their number matters here).
  std::vector<test_images::IndexEntry> byAddress;
  for (uint16_t node = 1; node <= 3; ++node)
    byAddress.push_back({test_images::NodeKey(2, 5020, node), 0});
  Write("NODEX.NDX.new", test_images::BuildIndex(byAddress));
  std::error_code refused;
  fs::rename(folder_ / "NODEX.NDX.new", folder_ / "NODEX.NDX", refused);
  if (refused) {
    CloseFileSet(&Nodelist);
    GTEST_SKIP() << "this system does not replace a mapped file";
  }
  // The files are compared with their names at most once a millisecond.
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  PlatformFailNth(kFaultMap, 1, 1);
  EXPECT_EQ(7, OpenAndSearch(&Nodelist)) << "the data file is mapped again";
  PlatformFailNth(kFaultMap, 0, 0);
  CloseFileSet(&Nodelist);
  found_.clear();
  EXPECT_EQ(12, OpenAndSearch(&Nodelist));
  EXPECT_EQ(3u, found_.size());
}

TEST_F(FileSetTest, CloseFileSetIsHarmlessWhenClosedOrNeverOpened) {
  CloseFileSet(&Nodelist);  // zero-filled slots, as after load
  CloseFileSet(&Nodelist);
  EXPECT_EQ(nullptr, Nodelist.DataFile.View);
  EXPECT_EQ(kInvalidFile, Nodelist.DataFile.File);
  WriteNodelist("NODEX", "NODEX.SDX");
  EXPECT_EQ(12, OpenAndSearch(&Nodelist));
  CloseFileSet(&Nodelist);
  CloseFileSet(&Nodelist);
  for (const MappedFile* slot :
       {&Nodelist.DataFile, &Nodelist.PlusFile, &Nodelist.AddressIndex,
        &Nodelist.SysopIndex}) {
    EXPECT_EQ(nullptr, slot->View);
    EXPECT_EQ(kInvalidFile, slot->File);
  }
  EXPECT_EQ(nullptr, Nodelist.ActiveIndex);
  EXPECT_EQ(12, OpenAndSearch(&Nodelist));  // opens again after closing
}

}  // namespace
