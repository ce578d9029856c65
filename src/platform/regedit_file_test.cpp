// The REGEDIT4 parser and writer on their own: what is accepted, what is
// refused as unparseable, the exact text written, and round trips.
#include "platform/regedit_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const char kHead[] = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n";

std::string Bytes(std::initializer_list<int> list) {
  std::string out;
  for (int b : list) out.push_back(char(b));
  return out;
}

RegDocument Parsed(const std::string& text, int* ok) {
  RegDocument doc;
  *ok = ParseRegeditText(text.data(), text.size(), &doc);
  return doc;
}

TEST(RegeditParse, RefusesUnsoundText) {
  static const struct {
    const char* what;
    const char* body;  // after kHead, unless whole is set
    bool whole;
  } cases[] = {
      {"no header", "[HKEY_CURRENT_USER\\A]\r\n", true},
      {"other header", "REGEDIT5\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n", true},
      {"value before key", "REGEDIT4\r\n\"a\"=\"b\"\r\n", true},
      {"garbage line", "hello\r\n", false},
      {"name without quote", "\"a=\"b\"\r\n", false},
      {"text without quote", "\"a\"=\"b\r\n", false},
      {"unknown escape", "\"a\"=\"b\\n\"\r\n", false},
      {"text after text", "\"a\"=\"b\" x\r\n", false},
      {"unknown data", "\"a\"=str:1\r\n", false},
      {"no equals", "\"a\" \"b\"\r\n", false},
      {"hex cut at end", "\"a\"=hex:01,02,\\\r\n", false},
      {"hex cut by key", "\"a\"=hex:01,\\\r\n[HKEY_CURRENT_USER\\B]\r\n",
       false},
      {"hex cut by blank", "\"a\"=hex:01,\\\r\n\r\n\"b\"=\"c\"\r\n", false},
      {"hex trailing comma", "\"a\"=hex:01,02,\r\n", false},
      {"hex double comma", "\"a\"=hex:01,,02\r\n", false},
      {"hex missing comma", "\"a\"=hex:01 02\r\n", false},
      {"hex wide byte", "\"a\"=hex:123\r\n", false},
      {"hex mark without comma", "\"a\"=hex:01\\\r\n  02\r\n", false},
      {"hex bad type", "\"a\"=hex(zz):01\r\n", false},
      {"dword too long", "\"a\"=dword:123456789\r\n", false},
      {"dword junk", "\"a\"=dword:12x\r\n", false},
      {"dword empty", "\"a\"=dword:\r\n", false},
      {"key deletion", "[-HKEY_CURRENT_USER\\A]\r\n", false},
      {"value deletion", "\"a\"=-\r\n", false},
      {"key without bracket", "[HKEY_CURRENT_USER\\B\r\n", false},
      {"key empty part", "[HKEY_CURRENT_USER\\\\B]\r\n", false},
      {"key other root", "[Software\\B]\r\n", false},
  };
  for (const auto& c : cases) {
    std::string text = c.whole ? c.body : std::string(kHead) + c.body;
    int ok = 1;
    RegDocument doc = Parsed(text, &ok);
    EXPECT_EQ(ok, 0) << c.what;
    EXPECT_TRUE(doc.Keys.empty()) << c.what;
  }
  std::string with_nul = std::string(kHead) + "\"a\"=\"b";
  with_nul += '\0';
  with_nul += "c\"\r\n";
  int ok = 1;
  Parsed(with_nul, &ok);
  EXPECT_EQ(ok, 0) << "NUL byte";
}

TEST(RegeditParse, ReadsSoundText) {
  static const struct {
    const char* what;
    const char* text;
    const char* key;
    const char* name;
    uint32_t type;
    std::string data;
  } cases[] = {
      {"LF only", "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"n\"=\"v\"\n",
       "HKEY_CURRENT_USER\\A", "n", 1, std::string("v", 2)},
      {"no last line end",
       "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"n\"=dword:ff",
       "HKEY_CURRENT_USER\\A", "n", 4, Bytes({0xff, 0, 0, 0})},
      {"short dword, upper case",
       "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"n\"=DWORD:A",
       "HKEY_CURRENT_USER\\A", "n", 4, Bytes({10, 0, 0, 0})},
      {"continued hex",
       "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"n\"=hex:01,02,\\\r\n  03\r\n",
       "HKEY_CURRENT_USER\\A", "n", 3, Bytes({1, 2, 3})},
      {"multi-string",
       "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"m\"=hex(7):61,00,00",
       "HKEY_CURRENT_USER\\A", "m", 7, Bytes({0x61, 0, 0})},
      {"qword type", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"q\"=hex(b):01",
       "HKEY_CURRENT_USER\\A", "q", 11, Bytes({1})},
      {"empty binary", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"e\"=hex:",
       "HKEY_CURRENT_USER\\A", "e", 3, ""},
      {"default value", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n@=\"d\"",
       "HKEY_CURRENT_USER\\A", "", 1, std::string("d", 2)},
      {"escapes",
       "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"q\\\"\\\\\"=\"\\\\2:345\\\"\"",
       "HKEY_CURRENT_USER\\A", "q\"\\", 1, std::string("\\2:345\"", 8)},
      {"raw high bytes", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"o\"=\"\x8e\xa0\"",
       "HKEY_CURRENT_USER\\A", "o", 1, Bytes({0x8e, 0xa0, 0})},
      {"blanks, comments",
       "REGEDIT4  \n; note\n  \n[HKEY_CURRENT_USER\\A]\n"
       "  \"s\" = \"v\"  \n",
       "HKEY_CURRENT_USER\\A", "s", 1, std::string("v", 2)},
      {"repeated key merges",
       "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"1\"\n"
       "[hkey_current_user\\a]\n\"X\"=\"2\"\n",
       "HKEY_CURRENT_USER\\A", "x", 1, std::string("2", 2)},
  };
  for (const auto& c : cases) {
    int ok = 0;
    RegDocument doc = Parsed(c.text, &ok);
    ASSERT_EQ(ok, 1) << c.what;
    ASSERT_EQ(doc.Keys.size(), 1u) << c.what;
    EXPECT_EQ(doc.Keys[0].Path, c.key) << c.what;
    ASSERT_EQ(doc.Keys[0].Values.size(), 1u) << c.what;
    const RegValue* value = FindRegValue(doc.Keys[0], c.name);
    ASSERT_NE(value, nullptr) << c.what;
    EXPECT_EQ(value->Type, c.type) << c.what;
    EXPECT_EQ(value->Data, c.data) << c.what;
  }
}

TEST(RegeditParse, EmptyAndBlankFilesAreEmptyDocuments) {
  for (const char* text : {"", "  \r\n\n", "REGEDIT4\r\n"}) {
    int ok = 0;
    RegDocument doc = Parsed(text, &ok);
    EXPECT_EQ(ok, 1) << text;
    EXPECT_TRUE(doc.Keys.empty());
  }
}

TEST(RegeditParse, LongKeyPathAndLargeValue) {
  std::string path = "HKEY_CURRENT_USER";
  while (path.size() < 300) path += "\\Level";
  RegDocument doc;
  size_t index = EnsureRegKey(&doc, path);
  std::string big(5000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = char(i * 7);
  SetRegValue(&doc.Keys[index], "Big", 3, big.data(), big.size());
  std::string text = FormatRegeditText(doc);
  int ok = 0;
  RegDocument back = Parsed(text, &ok);
  ASSERT_EQ(ok, 1);
  int found = FindRegKey(back, path);
  ASSERT_GE(found, 0);
  const RegValue* value = FindRegValue(back.Keys[size_t(found)], "big");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->Data, big);
  // Every parent level was created as its own key.
  EXPECT_EQ(back.Keys.size(), doc.Keys.size());
  EXPECT_GE(FindRegKey(back, "HKEY_CURRENT_USER\\Level\\Level"), 0);
}

TEST(RegeditFormat, WritesWhatTheRegistryEditorWrites) {
  RegDocument doc;
  size_t key = EnsureRegKey(&doc, "HKEY_CURRENT_USER\\Software\\Tolvane");
  RegKey* k = &doc.Keys[key];
  SetRegValue(k, "Start Path", 1, "\\2:345", 7);
  SetRegValue(k, "Quote", 1, "say \"hi\"", 9);
  SetRegValue(k, "Options", 4, "\x0a\0\0\0", 4);
  std::string bytes;
  for (int i = 0; i < 30; ++i) bytes.push_back(char(i));
  SetRegValue(k, "ColumnTypes", 3, bytes.data(), bytes.size());
  SetRegValue(k, "", 1, "x", 2);
  EnsureRegKey(&doc, "HKEY_CURRENT_USER\\Software\\Tolvane\\Empty");
  const char* expected =
      "REGEDIT4\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software]\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Tolvane]\r\n"
      "\"Start Path\"=\"\\\\2:345\"\r\n"
      "\"Quote\"=\"say \\\"hi\\\"\"\r\n"
      "\"Options\"=dword:0000000a\r\n"
      "\"ColumnTypes\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,"
      "11,"
      "12,13,\\\r\n"
      "  14,15,16,17,18,19,1a,1b,1c,1d\r\n"
      "@=\"x\"\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Tolvane\\Empty]\r\n"
      "\r\n";
  EXPECT_EQ(FormatRegeditText(doc), expected);
}

TEST(RegeditFormat, ValuesSurviveTheRoundTrip) {
  std::string big(3000, 'x');
  static const struct {
    const char* what;
    const char* name;
    uint32_t type;
    std::string data;
    const char* starts;  // expected start of the written line
  } cases[] = {
      {"text", "T", 1, std::string("C:\\Fido\\", 9),
       "\"T\"=\"C:\\\\Fido\\\\\""},
      {"empty text", "E", 1, std::string("", 1), "\"E\"=\"\""},
      {"text with line break", "B", 1, std::string("a\r\nb", 5),
       "\"B\"=hex(1):"},
      {"text without NUL", "N", 1, "abc", "\"N\"=hex(1):61,62,63"},
      {"text with inner NUL", "I", 1, std::string("a\0b", 4), "\"I\"=hex(1):"},
      {"dword", "D", 4, Bytes({0x78, 0x56, 0x34, 0x12}),
       "\"D\"=dword:12345678"},
      {"short dword", "S", 4, Bytes({1, 2, 3}), "\"S\"=hex(4):01,02,03"},
      {"empty binary", "Z", 3, "", "\"Z\"=hex:"},
      {"large binary", "L", 3, big, "\"L\"=hex:78,78"},
      {"other type", "O", 0x12345678, "\x01", "\"O\"=hex(12345678):01"},
      {"quoted name", "a\"b\\c", 3, "\x05", "\"a\\\"b\\\\c\"=hex:05"},
      {"default", "", 1, std::string("d", 2), "@=\"d\""},
  };
  for (const auto& c : cases) {
    RegDocument doc;
    size_t key = EnsureRegKey(&doc, "HKEY_CURRENT_USER\\R");
    SetRegValue(&doc.Keys[key], c.name, c.type, c.data.data(), c.data.size());
    std::string line = FormatRegeditValue(doc.Keys[key].Values[0]);
    EXPECT_EQ(line.rfind(c.starts, 0), 0u) << c.what << ": " << line;
    // Lines stay within 80 columns; continuation lines are indented.
    size_t start = 0;
    for (size_t end; (end = line.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
      EXPECT_LE(end - start, 80u) << c.what;
      EXPECT_EQ(line.compare(end + 2, 2, "  "), 0) << c.what;
    }
    EXPECT_LE(line.size() - start, 80u) << c.what;
    int ok = 0;
    RegDocument back = Parsed(FormatRegeditText(doc), &ok);
    ASSERT_EQ(ok, 1) << c.what;
    const RegValue* value = FindRegValue(back.Keys[0], c.name);
    ASSERT_NE(value, nullptr) << c.what;
    EXPECT_EQ(value->Type, c.type) << c.what;
    EXPECT_EQ(value->Data, c.data) << c.what;
  }
}

TEST(RegeditFormat, KeepsUnchangedValuesVerbatim) {
  std::string text = std::string(kHead) +
                     "\"Multi\"=hex(7):61,00,\\\n    62,00,00,00\r\n"
                     "\"Old\"=DWORD:A\r\n\"Keep\"=\"k\"\r\n";
  int ok = 0;
  RegDocument doc = Parsed(text, &ok);
  ASSERT_EQ(ok, 1);
  SetRegValue(&doc.Keys[0], "old", 4, "\x0b\0\0\0", 4);
  std::string written = FormatRegeditText(doc);
  EXPECT_NE(written.find("\"Multi\"=hex(7):61,00,\\\r\n    62,00,00,00\r\n"),
            std::string::npos);
  EXPECT_NE(written.find("\"Old\"=dword:0000000b\r\n"), std::string::npos);
  EXPECT_NE(written.find("\"Keep\"=\"k\"\r\n"), std::string::npos);
}

TEST(RegeditKeys, UserKeyPaths) {
  static const struct {
    const char* path;
    int ok;
    const char* full;
  } cases[] = {
      {"", 1, "HKEY_CURRENT_USER"},
      {"Software\\Far", 1, "HKEY_CURRENT_USER\\Software\\Far"},
      {"\\Software", 0, ""},
      {"Software\\", 0, ""},
      {"Software\\\\Far", 0, ""},
      {"Soft\rware", 0, ""},
      {"Soft\nware", 0, ""},
  };
  for (const auto& c : cases) {
    std::string full;
    EXPECT_EQ(UserKeyPath(c.path, &full), c.ok) << c.path;
    if (c.ok) {
      EXPECT_EQ(full, c.full);
    }
  }
  std::string full;
  EXPECT_EQ(UserKeyPath(nullptr, &full), 0);
  EXPECT_EQ(UserKeyPath(std::string(255, 'k').c_str(), &full), 1);
  EXPECT_EQ(UserKeyPath(std::string(256, 'k').c_str(), &full), 0);
}

TEST(RegeditKeys, TreesAreFoundCopiedAndDeletedWithoutCase) {
  RegDocument doc;
  EnsureRegKey(&doc, "HKEY_CURRENT_USER\\A\\B");
  EnsureRegKey(&doc, "HKEY_CURRENT_USER\\C");
  size_t ad = EnsureRegKey(&doc, "HKEY_CURRENT_USER\\a\\D");
  // A new key goes after its parent's subtree, before the next tree.
  EXPECT_EQ(ad, 2u);
  EXPECT_EQ(doc.Keys[ad].Path, "HKEY_CURRENT_USER\\A\\D");
  SetRegValue(&doc.Keys[ad], "v", 3, "\x01", 1);
  EXPECT_TRUE(RegKeyExists(doc, "HKEY_CURRENT_USER\\a"));
  EXPECT_FALSE(RegKeyExists(doc, "HKEY_CURRENT_USER\\AB"));
  EXPECT_EQ(
      CopyRegTree(&doc, "HKEY_CURRENT_USER\\A", "HKEY_CURRENT_USER\\A\\E"), 0);
  EXPECT_EQ(CopyRegTree(&doc, "HKEY_CURRENT_USER\\a", "HKEY_CURRENT_USER\\C"),
            1);
  int copied = FindRegKey(doc, "HKEY_CURRENT_USER\\C\\D");
  ASSERT_GE(copied, 0);
  EXPECT_NE(FindRegValue(doc.Keys[size_t(copied)], "V"), nullptr);
  EXPECT_EQ(DeleteRegTree(&doc, "HKEY_CURRENT_USER\\A"), 1);
  EXPECT_FALSE(RegKeyExists(doc, "HKEY_CURRENT_USER\\A\\D"));
  EXPECT_TRUE(RegKeyExists(doc, "HKEY_CURRENT_USER\\C\\B"));
  EXPECT_EQ(DeleteRegTree(&doc, "HKEY_CURRENT_USER\\A"), 0);
}

TEST(RegeditKeys, SubkeyNamesComeOnceInFileOrder) {
  RegDocument doc;
  for (const char* path :
       {"HKEY_CURRENT_USER\\R\\x\\deep", "HKEY_CURRENT_USER\\R\\Y",
        "HKEY_CURRENT_USER\\R\\X\\other", "HKEY_CURRENT_USER\\Rest\\Z",
        "HKEY_CURRENT_USER\\R"})
    doc.Keys.push_back(RegKey{path, {}});
  EXPECT_EQ(RegSubkeyNames(doc, "HKEY_CURRENT_USER\\R"),
            (std::vector<std::string>{"x", "Y"}));
  EXPECT_EQ(RegSubkeyNames(doc, "HKEY_CURRENT_USER\\r\\X"),
            (std::vector<std::string>{"deep", "other"}));
  EXPECT_TRUE(RegSubkeyNames(doc, "HKEY_CURRENT_USER\\R\\Y").empty());
}

}  // namespace
