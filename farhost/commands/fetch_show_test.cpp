// The host's text helpers for entry files and the addresses of `show`.
#include <gtest/gtest.h>

#include "farhost/commands/file_fetch.h"
#include "farhost/commands/show_command.h"

namespace {

TEST(FileFetch, ContainsIgnoresCaseInTheCodePage) {
  struct Row {
    const char* Text;
    const char* Needle;
    int CodePage;
    int Found;
  };
  const Row rows[] = {
      {"System : Arbat Hub", "arbat hub", 866, 1},
      {"System : Arbat Hub", "ARBAT  HUB", 866, 0},
      {"abc", "", 866, 1},
      {"", "a", 866, 0},
      {"ab", "abc", 866, 0},
      {"xx\x8f\xe0\xa8\xa2\xa5\xe2", "\xaf\x90\x88", 866, 1},  // Привет
      {"\x8e\x99", "\x84\x94", 437, 1},                        // Ä Ö / ä ö
      {"\x8e\x99", "\x84\x84", 437, 0},
      {"caf\x90", "CAF\x82", 437, 1},  // É / é
      {"tail match", "MATCH", 437, 1},
  };
  for (const Row& row : rows)
    EXPECT_EQ(
        TextContainsNoCase(CaseTableFor(row.CodePage), row.Text, row.Needle),
        row.Found)
        << row.Text << " / " << row.Needle;
}

TEST(FileFetch, ViewerLinesEndInLineFeeds) {
  const char* const rows[][2] = {
      {"a\r\nb\r\n", "a\nb\n"}, {"a\rb", "a\nb"},   {"a\n\r\n", "a\n\n"},
      {"\r\r\n", "\n\n"},       {"plain", "plain"}, {"", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(ViewerLines(row[0]), row[1]);
}

TEST(ShowAddress, ParsesFourDepthsAndNamesTheListing) {
  struct Row {
    const char* Text;
    int Ok, Parts;
    const char* Listing;
  };
  const Row rows[] = {
      {"2", 1, 1, "\\"},
      {"2:5020", 1, 2, "\\2"},
      {"2:5020/100", 1, 3, "\\2:5020"},
      {"2:5020/100.10", 1, 4, "\\2:5020/100"},
      {"65535:0/0.0", 1, 4, "\\65535:0/0"},
      {"65536", 0, 0, nullptr},
      {"2:", 0, 0, nullptr},
      {"2/5020", 0, 0, nullptr},
      {"2:5020/100.1.2", 0, 0, nullptr},
      {"2:5020/x", 0, 0, nullptr},
      {"", 0, 0, nullptr},
      {" 2", 0, 0, nullptr},
  };
  for (const Row& row : rows) {
    ShownAddress address;
    ASSERT_EQ(ParseShownAddress(row.Text, &address), row.Ok) << row.Text;
    if (!row.Ok) continue;
    EXPECT_EQ(address.Parts, row.Parts);
    EXPECT_EQ(ListingOf(address), row.Listing);
  }
}

}  // namespace
