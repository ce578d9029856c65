// The standard functions, called through the table the plugin receives.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "farhost/host/host.h"
#include "farhost/host/services.h"
#include "farhost/host/std_text.h"
#include "farhost/scripted/scripted_ui.h"
#include "platform/platform.h"

namespace {

FarStandardFunctions Table() {
  FarStandardFunctions f;
  FillStandardFunctions(&f);
  return f;
}

struct TrimCase {
  const char* Input;
  const char* Left;
  const char* Right;
  const char* Both;
};

const TrimCase kTrims[] = {
    {"  a b  ", "a b  ", "  a b", "a b"},
    {"\t a\t", "a\t", "\t a", "a"},
    {"", "", "", ""},
    {" \t ", "", "", ""},
    {"x", "x", "x", "x"},
    {"\na\n", "\na\n", "\na\n", "\na\n"},  // only blanks and tabs
};

TEST(StdFunctions, Trim) {
  FarStandardFunctions f = Table();
  for (const TrimCase& c : kTrims) {
    char a[32], b[32], d[32];
    std::strcpy(a, c.Input);
    std::strcpy(b, c.Input);
    std::strcpy(d, c.Input);
    EXPECT_EQ(f.LTrim(a), a);
    EXPECT_STREQ(a, c.Left) << '"' << c.Input << '"';
    EXPECT_STREQ(f.RTrim(b), c.Right) << '"' << c.Input << '"';
    EXPECT_STREQ(f.Trim(d), c.Both) << '"' << c.Input << '"';
  }
  EXPECT_EQ(f.Trim(nullptr), nullptr);
}

struct SlashCase {
  const char* Input;
  const char* Expected;  // '|' stands for the system's separator
  int Result;
};

const SlashCase kSlashes[] = {
    {"dir", "dir|", 1}, {"dir/", "dir/", 1}, {"dir\\", "dir\\", 1},
    {"", "", 1},        {"a|b", "a|b|", 1},
};

TEST(StdFunctions, AddEndSlashUsesTheSystemSeparator) {
  FarStandardFunctions f = Table();
  for (const SlashCase& c : kSlashes) {
    std::string input = c.Input, expected = c.Expected;
    for (char& ch : input) ch = ch == '|' ? PathSeparator() : ch;
    for (char& ch : expected) ch = ch == '|' ? PathSeparator() : ch;
    char path[NM];
    std::strcpy(path, input.c_str());
    EXPECT_EQ(f.AddEndSlash(path), c.Result) << c.Input;
    EXPECT_EQ(std::string(path), expected) << c.Input;
  }
  // A path that fills the host's path size gets nothing appended.
  char full[NM];
  std::memset(full, 'p', NM - 1);
  full[NM - 1] = '\0';
  EXPECT_EQ(f.AddEndSlash(full), 0);
  EXPECT_EQ(std::strlen(full), static_cast<size_t>(NM - 1));
  EXPECT_EQ(f.AddEndSlash(nullptr), 0);
}

struct NameCase {
  const char* Path;
  const char* Name;
};

TEST(StdFunctions, PointToNameAndUnquote) {
  FarStandardFunctions f = Table();
  const NameCase names[] = {
      {"C:\\far\\plugins\\x.dll", "x.dll"},
      {"/usr/lib/t.so", "t.so"},
      {"C:x", "x"},
      // A ':' counts only as the second character of the part so far.
      {"\\2:5020", "5020"},
      {"\\12:5020", "12:5020"},
      {"a:b:c", "c"},
      {"plain", "plain"},
      {"dir/", ""},
      {"", ""},
  };
  for (const NameCase& c : names)
    EXPECT_STREQ(f.PointToName(c.Path), c.Name) << c.Path;
  char quoted[] = "\"a b\" \"\"c";
  f.Unquote(quoted);
  EXPECT_STREQ(quoted, "a b c");
}

struct IntCase {
  const char* Text;
  int Value;
};

TEST(StdFunctions, Numbers) {
  FarStandardFunctions f = Table();
  const IntCase ints[] = {
      {"42", 42},
      {"  -17x", -17},
      {"+5", 5},
      {"abc", 0},
      {"", 0},
      {"2147483647", 2147483647},
      {"99999999999", 2147483647},
      {"-99999999999", -2147483647 - 1},
  };
  for (const IntCase& c : ints) EXPECT_EQ(f.atoi(c.Text), c.Value) << c.Text;
  EXPECT_EQ(f.atoi(nullptr), 0);
  EXPECT_EQ(f.atoi64("-9000000000"), -9000000000LL);

  char buffer[70];
  EXPECT_STREQ(f.itoa(-255, buffer, 10), "-255");
  EXPECT_STREQ(f.itoa(255, buffer, 16), "ff");
  EXPECT_STREQ(f.itoa(-1, buffer, 16), "ffffffff");
  EXPECT_STREQ(f.itoa(5, buffer, 2), "101");
  EXPECT_STREQ(f.itoa(0, buffer, 10), "0");
  EXPECT_STREQ(f.itoa(7, buffer, 1), "");
  EXPECT_STREQ(f.itoa64(-1, buffer, 16), "ffffffffffffffff");
  EXPECT_STREQ(f.itoa64(-9000000000LL, buffer, 10), "-9000000000");
}

TEST(StdFunctions, PrintfAndScanf) {
  FarStandardFunctions f = Table();
  char buffer[64];
  EXPECT_EQ(f.sprintf(buffer, "%s '%.3s' %-4d|%u", "V7", "abcdef", 12, 5u), 15);
  EXPECT_STREQ(buffer, "V7 'abc' 12  |5");
  int zone = 0, net = 0;
  char rest[16];
  EXPECT_EQ(f.sscanf("2:5020 x", "%d:%d %15s", &zone, &net, rest), 3);
  EXPECT_EQ(zone, 2);
  EXPECT_EQ(net, 5020);
  EXPECT_STREQ(rest, "x");
}

int FARAPIV CompareInts(const void* a, const void* b) {
  int x, y;
  std::memcpy(&x, a, sizeof(x));
  std::memcpy(&y, b, sizeof(y));
  return (x > y) - (x < y);
}

int FARAPIV CompareWithUser(const void* a, const void* b, void* user) {
  ++*static_cast<int*>(user);
  return -CompareInts(a, b);
}

TEST(StdFunctions, SortAndSearch) {
  FarStandardFunctions f = Table();
  int values[] = {5, -3, 9, 0, 5, 2};
  f.qsort(values, 6, sizeof(int), CompareInts);
  const int sorted[] = {-3, 0, 2, 5, 5, 9};
  EXPECT_EQ(std::memcmp(values, sorted, sizeof(sorted)), 0);
  int key = 2;
  EXPECT_EQ(f.bsearch(&key, values, 6, sizeof(int), CompareInts), &values[2]);
  key = 4;
  EXPECT_EQ(f.bsearch(&key, values, 6, sizeof(int), CompareInts), nullptr);
  int calls = 0;
  f.qsortex(values, 6, sizeof(int), CompareWithUser, &calls);
  EXPECT_EQ(values[0], 9);
  EXPECT_EQ(values[5], -3);
  EXPECT_GT(calls, 0);
  f.qsort(values, 6, sizeof(int), nullptr);  // refused, not a crash
}

struct CaseRuleCase {
  int CodePage;
  const char* Input;
  const char* Upper;
  const char* Lower;
};

// The same bytes follow the rules of the host's code page.
const CaseRuleCase kCaseRules[] = {
    {866, "Abc \xa0\xaf\xe0\xef\xf1 \x87", "ABC \x80\x8f\x90\x9f\xf0 \x87",
     "abc \xa0\xaf\xe0\xef\xf1 \xa7"},
    {437, "Abc \xa0\xaf\xe0\xef\xf1 \x87", "ABC \xa0\xaf\xe0\xef\xf1 \x80",
     "abc \xa0\xaf\xe0\xef\xf1 \x87"},
    {437, "\x81\x82\x84\x94\xa4", "\x9a\x90\x8e\x99\xa5",
     "\x81\x82\x84\x94\xa4"},
};

TEST(StdFunctions, CaseFollowsTheHostCodePage) {
  FarStandardFunctions f = Table();
  for (const CaseRuleCase& c : kCaseRules) {
    ScriptedUi ui;
    HostOptions options;
    options.CodePage = c.CodePage;
    FarHost host(options, &ui);
    char upper[32], lower[32], buf[32];
    std::strcpy(upper, c.Input);
    std::strcpy(lower, c.Input);
    std::strcpy(buf, c.Input);
    f.LStrupr(upper);
    f.LStrlwr(lower);
    EXPECT_STREQ(upper, c.Upper) << c.CodePage;
    EXPECT_STREQ(lower, c.Lower) << c.CodePage;
    EXPECT_EQ(f.LStricmp(c.Input, c.Upper), 0) << c.CodePage;
    EXPECT_EQ(f.LStricmp(c.Lower, c.Upper), 0) << c.CodePage;
    f.LUpperBuf(buf, 2);
    EXPECT_EQ(std::string(buf, 3), std::string(c.Upper, 2) + c.Input[2]);
  }
}

TEST(StdFunctions, CaseSingleCharacters) {
  FarStandardFunctions f = Table();
  ScriptedUi ui;
  FarHost host(HostOptions(), &ui);  // 866
  EXPECT_TRUE(f.LIsLower(0xA0));
  EXPECT_TRUE(f.LIsUpper(0x9F));
  EXPECT_TRUE(f.LIsAlpha(0xF1));
  EXPECT_FALSE(f.LIsAlpha('5'));
  EXPECT_TRUE(f.LIsAlphanum('5'));
  EXPECT_FALSE(f.LIsAlphanum(0xB3));
  EXPECT_EQ(f.LUpper(0xEF), 0x9Fu);
  EXPECT_EQ(f.LLower(0x9F), 0xEFu);
  EXPECT_EQ(f.LUpper(0x1A0), 0x1A0u);  // not a byte: unchanged
  EXPECT_FALSE(f.LIsAlpha(0x141));
  EXPECT_LT(f.LStrnicmp("\xa0\xa1x", "\x80\x81y", 3), 0);
  EXPECT_EQ(f.LStrnicmp("\xa0\xa1x", "\x80\x81y", 2), 0);
  EXPECT_EQ(f.LStrnicmp("a", "b", 0), 0);
  EXPECT_EQ(f.LStrnicmp("a", "b", -4), 0);
}

TEST(StdFunctions, ClipboardKeepsTheText) {
  FarStandardFunctions f = Table();
  ScriptedUi ui;
  FarHost host(HostOptions(), &ui);
  EXPECT_EQ(f.CopyToClipboard("2:5020/1"), 1);
  EXPECT_EQ(host.clipboard, "2:5020/1");
  EXPECT_EQ(f.CopyToClipboard(""), 1);
  EXPECT_EQ(host.clipboard, "");
}

}  // namespace
