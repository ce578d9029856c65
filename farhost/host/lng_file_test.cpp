#include "farhost/host/lng_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

LngFile Parse(const std::string& text) {
  LngFile file;
  ParseLngBuffer(reinterpret_cast<const unsigned char*>(text.data()),
                 text.size(), &file);
  return file;
}

struct MessageCase {
  const char* Line;      // one line of a file
  const char* Expected;  // the message it gives; null: no message
};

const MessageCase kMessageCases[] = {
    {"\"Plain\"", "Plain"},
    {"\"Trailing blanks\"   \t", "Trailing blanks"},
    {"\"Inner blanks kept  \"", "Inner blanks kept  "},
    {"\"CRLF ending\"\r", "CRLF ending"},
    {"\"No closing quote", "No closing quote"},
    {"\"\"", ""},
    {"\"", ""},
    {"\"Line\\nbreak\\ttab\\rcr\\bbs\"", "Line\nbreak\ttab\rcr\bbs"},
    {"\"Back\\\\slash\"", "Back\\slash"},
    {"\"Escaped \\\"quote\\\" inside\"", "Escaped \"quote\" inside"},
    {"\"Doubled \"\"quote\"\" inside\"", "Doubled \"quote\" inside"},
    {"\"Unescaped \" inner quote\"", "Unescaped \" inner quote"},
    {"\"Other \\x escape \\q\"", "Other \\x escape \\q"},
    {"\"Ends in backslash\\", "Ends in backslash\\"},
    {"\"%s '%.80s'\"", "%s '%.80s'"},
    {"\"\x80\xa0\xe0\xf1\"", "\x80\xa0\xe0\xf1"},
    {" \"Quote not in column one\"", nullptr},
    {"// \"comment\"", nullptr},
    {"", nullptr},
    {".Options something", nullptr},
};

TEST(LngFile, MessageLines) {
  for (const MessageCase& c : kMessageCases) {
    LngFile file =
        Parse(std::string(".Language=English,English\n") + c.Line + "\n");
    if (c.Expected == nullptr) {
      EXPECT_TRUE(file.Messages.empty()) << c.Line;
    } else {
      ASSERT_EQ(file.Messages.size(), 1u) << c.Line;
      EXPECT_EQ(file.Messages[0], c.Expected) << c.Line;
    }
  }
}

TEST(LngFile, NumbersMessagesByQuotedLinesOnly) {
  LngFile file = Parse(
      "// header comment\n.Language=Russian,Russian (\x90\xe3\xe1)\r\n\n"
      "\"zero\"\n// between\n\"one\"\n   \n\"two\"");
  ASSERT_TRUE(file.HasHeader);
  EXPECT_EQ(file.LanguageName, "Russian");
  EXPECT_EQ(file.Description, "Russian (\x90\xe3\xe1)");
  EXPECT_EQ(file.Messages, (std::vector<std::string>{"zero", "one", "two"}));
}

struct HeaderCase {
  const char* Text;
  int HasHeader;
  const char* Name;
  const char* Description;
};

const HeaderCase kHeaderCases[] = {
    {".Language=English,English\n", 1, "English", "English"},
    {".language=German,Deutsch\n", 1, "German", "Deutsch"},
    {".Language=NoComma\n", 1, "NoComma", ""},
    {".Language=\n", 1, "", ""},
    {"\"msg\"\n.Language=Late,Late\n.Language=Second,Second\n", 1, "Late",
     "Late"},
    {" .Language=Indented,Indented\n", 0, "", ""},
    {"no header at all\n", 0, "", ""},
};

TEST(LngFile, Header) {
  for (const HeaderCase& c : kHeaderCases) {
    LngFile file = Parse(c.Text);
    EXPECT_EQ(file.HasHeader, c.HasHeader) << c.Text;
    EXPECT_EQ(file.LanguageName, c.Name) << c.Text;
    EXPECT_EQ(file.Description, c.Description) << c.Text;
  }
}

TEST(LngFile, LongLineIsCutAndTheRestDropped) {
  std::string line = "\"" + std::string(3000, 'x') + "\"";
  LngFile file = Parse(line + "\n\"next\"\n");
  ASSERT_EQ(file.Messages.size(), 2u);
  EXPECT_EQ(file.Messages[0].size(), static_cast<size_t>(kLngMaxLine - 1));
  EXPECT_EQ(file.Messages[1], "next");
  EXPECT_EQ(file.LongLines, 1);
}

TEST(LngFile, EmbeddedNulEndsTheMessage) {
  std::string text("\"ab\0cd\"\n\"ef\"", 12);
  LngFile file = Parse(text);
  EXPECT_EQ(file.Messages, (std::vector<std::string>{"ab", "ef"}));
}

TEST(LngFile, EmptyBufferGivesNothing) {
  LngFile file;
  ParseLngBuffer(nullptr, 0, &file);
  EXPECT_FALSE(file.HasHeader);
  EXPECT_TRUE(file.Messages.empty());
}

struct ChoiceCase {
  std::vector<const char*> Names;
  const char* Language;
  int Expected;
};

TEST(LngFile, ChoosesLikeTheHost) {
  const ChoiceCase cases[] = {
      {{"English", "Russian"}, "Russian", 1},
      {{"English", "Russian"}, "russian", 1},
      {{"English", "Russian"}, "German", 0},
      {{"Russian", "english"}, "German", 1},
      {{"Russian", "Polish"}, "German", 1},
      {{"Russian", "Russian"}, "RUSSIAN", 0},
      {{}, "English", -1},
  };
  for (const ChoiceCase& c : cases) {
    std::vector<LngCandidate> files;
    for (const char* name : c.Names) files.push_back({"f.lng", name});
    EXPECT_EQ(ChooseLngFile(files, c.Language), c.Expected) << c.Language;
  }
}

}  // namespace
