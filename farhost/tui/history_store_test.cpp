#include "farhost/tui/history_store.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string TempPath(const char* name) {
  return ::testing::TempDir() + "tui_history_" + std::to_string(getpid()) +
         "_" + name;
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

TEST(HistoryStore, MostRecentFirstWithoutDuplicates) {
  HistoryStore store;
  store.Add("SearchText", "Ivanov");
  store.Add("SearchText", "Petrov");
  store.Add("SearchText", "Ivanov");
  store.Add("Other", "x");
  store.Add("SearchText", "");  // empty texts are not kept
  store.Add("", "nameless");
  EXPECT_EQ((std::vector<std::string>{"Ivanov", "Petrov"}),
            store.Entries("SearchText"));
  EXPECT_EQ("Ivanov", store.Last("SearchText"));
  EXPECT_EQ("", store.Last("Unknown"));
  EXPECT_TRUE(store.Entries("").empty());
}

TEST(HistoryStore, KeepsTheNewestTwenty) {
  HistoryStore store;
  for (int i = 0; i < kMaxHistoryEntries + 5; ++i)
    store.Add("h", "entry " + std::to_string(i));
  const std::vector<std::string>& list = store.Entries("h");
  ASSERT_EQ(static_cast<size_t>(kMaxHistoryEntries), list.size());
  EXPECT_EQ("entry 24", list.front());
  EXPECT_EQ("entry 5", list.back());
  store.Add("h", std::string(kMaxHistoryText + 10, 'a'));
  EXPECT_EQ(static_cast<size_t>(kMaxHistoryText), store.Last("h").size());
}

TEST(HistoryStore, EscapesRoundTrip) {
  static const char* const kTexts[] = {
      "plain", "a\\b", "tab\there", "two\nlines\r", "\\t literally", ""};
  for (const char* text : kTexts) {
    std::string escaped = EscapeHistoryText(text), back;
    EXPECT_EQ(std::string::npos, escaped.find_first_of("\t\n\r")) << text;
    ASSERT_EQ(1, UnescapeHistoryText(escaped, &back)) << text;
    EXPECT_EQ(text, back);
  }
  std::string out;
  EXPECT_EQ(0, UnescapeHistoryText("ends in \\", &out));
  EXPECT_EQ(0, UnescapeHistoryText("\\x", &out));
}

TEST(HistoryStore, SaveAndLoad) {
  std::string path = TempPath("roundtrip");
  HistoryStore store;
  store.Add("Tolvane\\PathHistory", "C:\\FIDO\\NODELIST\\");
  store.Add("Tolvane\\PathHistory", "/srv/fido/nodelist/");
  store.Add("Search\tText", "\x88\xa2\xa0\xad\nsecond line");
  ASSERT_EQ(1, store.Save(path));
  HistoryStore loaded;
  loaded.Add("stale", "gone after loading");
  ASSERT_EQ(1, loaded.Load(path));
  EXPECT_EQ(store.Entries("Tolvane\\PathHistory"),
            loaded.Entries("Tolvane\\PathHistory"));
  EXPECT_EQ(store.Entries("Search\tText"), loaded.Entries("Search\tText"));
  EXPECT_TRUE(loaded.Entries("stale").empty());
  std::remove(path.c_str());
}

TEST(HistoryStore, MissingFileIsEmpty) {
  HistoryStore store;
  store.Add("h", "x");
  EXPECT_EQ(1, store.Load(TempPath("does_not_exist")));
  EXPECT_TRUE(store.Entries("h").empty());
}

// Damaged files: a wrong header refuses the file; bad lines, duplicates,
// over-long texts and entries beyond the limit are skipped.
TEST(HistoryStore, DamagedFiles) {
  std::string path = TempPath("damaged");
  static const struct {
    const char* Content;
    int Result;
    size_t Entries;  // of "h"
  } kCases[] = {
      {"not a history\nh\tx\n", 0, 0},
      {"", 0, 0},
      {"farhost-history 1\n", 1, 0},
      {"farhost-history 1\r\nh\tx\r\n", 1, 1},
      {"farhost-history 1\nh\tx\nno tab here\nh\tbad \\q escape\nh\ty", 1, 2},
      {"farhost-history 1\nh\tx\nh\tx\nh\t\n", 1, 1},
  };
  for (const auto& c : kCases) {
    WriteFile(path, c.Content);
    HistoryStore store;
    EXPECT_EQ(c.Result, store.Load(path)) << c.Content;
    EXPECT_EQ(c.Entries, store.Entries("h").size()) << c.Content;
  }
  std::string many = "farhost-history 1\n";
  for (int i = 0; i < 30; ++i) many += "h\t" + std::to_string(i) + "\n";
  many += "h\t" + std::string(kMaxHistoryText + 1, 'z') + "\n";
  many += "h\t" + std::string(100000, 'z') + "\n";
  WriteFile(path, many);
  HistoryStore store;
  ASSERT_EQ(1, store.Load(path));
  ASSERT_EQ(static_cast<size_t>(kMaxHistoryEntries), store.Entries("h").size());
  EXPECT_EQ("0", store.Last("h"));
  std::remove(path.c_str());
}

TEST(HistoryStore, SaveIntoMissingFolderFails) {
  HistoryStore store;
  store.Add("h", "x");
  EXPECT_EQ(0, store.Save(TempPath("no_such_dir") + "/sub/history"));
}

}  // namespace
