#include <gtest/gtest.h>

#include "farhost/browse/clipboard.h"
#include "farhost/browse/column_layout.h"
#include "farhost/browse/dir_listing.h"
#include "farhost/browse/file_ops.h"
#include "farhost/browse/panel_draw.h"
#include "farhost/browse/viewers.h"

namespace {

TEST(ParsePanelColumns, TypesDecideTheCount) {
  static const struct {
    const char* Types;
    const char* Widths;
    std::vector<PanelColumn> Expected;
  } kCases[] = {
      {"C0,Z,C1", "6,15,0", {{"C0", 6}, {"Z", 15}, {"C1", 0}}},
      {"C0,,Z", "6", {{"C0", 6}, {"", 0}, {"Z", 0}}},
      {"N", "", {{"N", 0}}},
      {"N, S", " 10 ,x", {{"N", 10}, {"S", 0}}},
      {"N", "12345", {{"N", 0}}},  // absurd width: shares the rest
  };
  for (const auto& c : kCases) {
    std::vector<PanelColumn> got = ParsePanelColumns(c.Types, c.Widths);
    ASSERT_EQ(c.Expected.size(), got.size()) << c.Types;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(c.Expected[i].Type, got[i].Type) << c.Types;
      EXPECT_EQ(c.Expected[i].Width, got[i].Width) << c.Types;
    }
  }
  EXPECT_EQ(static_cast<size_t>(kMaxPanelColumns),
            ParsePanelColumns(std::string(100, ','), "").size());
}

TEST(FitColumnWidths, ZeroSharesTheRestAndOverflowIsCut) {
  static const struct {
    const char* Widths;
    int Inner;
    std::vector<int> Expected;
  } kCases[] = {
      {"6,15,0", 58, {6, 15, 35}},  // 58 - 2 gaps - 21
      {"0,10,0", 31, {9, 10, 10}},  // 29 - 10 = 19: 9, the last 10
      {"6,15,0", 20, {6, 13, 0}},   // the crossing column is cut
      {"6,15,24,0,5", 40, {6, 15, 17, 0, 0}},
      {"0", 0, {0}},
      {"5,5", 11, {5, 5}},  // exactly fits
  };
  for (const auto& c : kCases) {
    std::string types;
    for (size_t i = 0; i < c.Expected.size(); ++i) types += i ? ",N" : "N";
    std::vector<int> got =
        FitColumnWidths(ParsePanelColumns(types, c.Widths), c.Inner, 1);
    EXPECT_EQ(c.Expected, got) << c.Widths << " in " << c.Inner;
  }
}

TEST(FitText, CutPadAndCentre) {
  EXPECT_EQ("ab  ", FitText("ab", 4, 0));
  EXPECT_EQ("  ab", FitText("ab", 4, 1));
  EXPECT_EQ("abc", FitText("abcdef", 3, 1));
  EXPECT_EQ("", FitText("abc", 0, 0));
  EXPECT_EQ(" ab  ", CentreText("ab", 5));
  EXPECT_EQ("abcd", CentreText("abcdef", 4));
}

TEST(KeepCurrentVisible, MovesTheTopAsLittleAsPossible) {
  static const struct {
    int Count, Current, Top, Rows, Expected;
  } kCases[] = {
      {100, 5, 0, 10, 0},    {100, 12, 0, 10, 3},  {100, 12, 20, 10, 12},
      {100, 99, 95, 10, 90}, {5, 4, 3, 10, 0},     {0, 0, 7, 10, 0},
      {100, 500, 0, 10, 90}, {100, -3, 40, 10, 0},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(c.Expected, KeepCurrentVisible(c.Count, c.Current, c.Top, c.Rows))
        << c.Count << "/" << c.Current << "/" << c.Top;
}

TEST(PanelColumns, DefaultTitlesAndAlignment) {
  EXPECT_EQ("Name", DefaultColumnTitle("N"));
  EXPECT_EQ("Owner", DefaultColumnTitle("O"));
  EXPECT_EQ("", DefaultColumnTitle("C3"));
  EXPECT_TRUE(IsNumericColumn("LN"));
  EXPECT_FALSE(IsNumericColumn("C7"));
}

TEST(Base64, StandardAlphabetWithPadding) {
  static const struct {
    const char* In;
    const char* Out;
  } kCases[] = {{"", ""},
                {"f", "Zg=="},
                {"fo", "Zm8="},
                {"foo", "Zm9v"},
                {"foob", "Zm9vYg=="},
                {"2:5020/1", "Mjo1MDIwLzE="},
                {"\xff\xfe", "//4="}};
  for (const auto& c : kCases) EXPECT_EQ(c.Out, Base64Encode(c.In)) << c.In;
}

TEST(Osc52, CarriesTheUtf8Text) {
  const CodePage* page = CodePageFor(866);
  // 0x8F is Cyrillic capital PE in 866: U+041F, UTF-8 D0 9F.
  EXPECT_EQ("\x1b]52;c;0J8=\a", Osc52Sequence(page, "\x8f"));
  std::string longText(kMaxClipboardText + 100, 'a');
  std::string sequence = Osc52Sequence(page, longText);
  EXPECT_EQ(Base64Encode(std::string(kMaxClipboardText, 'a')),
            sequence.substr(7, sequence.size() - 8));
}

TEST(Folders, ParentAndJoin) {
  static const struct {
    const char* Path;
    const char* Name;
    const char* Joined;
    const char* Parent;
  } kCases[] = {
      {"/a/b", "c", "/a/b/c", "/a"},    {"/", "c", "/c", "/"},
      {"/a", "..", "/", "/"},           {"/a/b", "/x", "/x", "/a"},
      {"/a/b/", "c", "/a/b/c", "/a/b"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.Joined, JoinFolder(c.Path, c.Name)) << c.Path;
    EXPECT_EQ(c.Parent, ParentFolder(c.Path)) << c.Path;
  }
}

TEST(Utf8ToOem, KnownBadAndForeignCharacters) {
  const CodePage* page = CodePageFor(866);
  EXPECT_EQ("abc", Utf8ToOem(page, "abc"));
  EXPECT_EQ("\x8f", Utf8ToOem(page, "\xd0\x9f"));   // П
  EXPECT_EQ("?", Utf8ToOem(page, "\xe2\x82\xac"));  // € is not in 866
  EXPECT_EQ("?x", Utf8ToOem(page, "\xc3x"));        // cut sequence
  EXPECT_EQ("??", Utf8ToOem(page, "\xff\x80"));     // stray bytes
}

TEST(DirEntryCell, SizesAndMarks) {
  const CodePage* page = CodePageFor(866);
  DirEntry up{"..", 1, 0, 0, 0}, folder{"src", 1, 0, 0, 0},
      file{"a.txt", 0, 0, 1234, 0};
  EXPECT_EQ("<Up>", DirEntryCell(page, up, "S"));
  EXPECT_EQ("<Folder>", DirEntryCell(page, folder, "S"));
  EXPECT_EQ("1234", DirEntryCell(page, file, "S"));
  EXPECT_EQ("a.txt", DirEntryCell(page, file, "N"));
  EXPECT_EQ("", DirEntryCell(page, file, "C0"));
  EXPECT_EQ(8u, DirEntryCell(page, file, "D").size());
}

TEST(SplitViewerLines, CrLfAndTabs) {
  static const struct {
    const char* Text;
    std::vector<std::string> Lines;
  } kCases[] = {
      {"a\r\nb\r\n", {"a", "b"}}, {"a\tb", {"a       b"}},       {"", {""}},
      {"x\n\ny", {"x", "", "y"}}, {"1234567\tz", {"1234567 z"}},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.Lines, SplitViewerLines(c.Text));
}

}  // namespace
