#include "nodelist/text_fields.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

TEST(FormatAddress, ShowsTheAskedDepthUnlessThereIsAPoint) {
  static const struct {
    FtnAddress Address;
    uint16_t Depth;
    const char* Expected;
  } cases[] = {
      {{3, 4, 5, 0}, 4, "3:4/5"},
      {{3, 4, 5, 7}, 4, "3:4/5.7"},
      {{3, 4, 5, 7}, 0, "3:4/5.7"},
      {{3, 4, 5, 0}, 0, "3"},
      {{3, 4, 5, 0}, 1, "3"},
      {{3, 4, 5, 0}, 2, "3:4"},
      {{3, 4, 5, 0}, 3, "3:4"},
      {{3, 4, 5, 0}, 6, "3:4/5.0"},
      {{3, 4, 5, 0}, 8, "3:4/5.0"},
      {{3, 4, 5, 0}, 0xFFFF, "3:4/5.0"},  // (uint16_t)-1: full address
      {{65535, 65535, 65535, 65535}, 0, "65535:65535/65535.65535"},
  };
  for (const auto& c : cases) {
    char text[kAddressTextSize];
    std::memset(text, 'x', sizeof(text));
    FormatAddress(c.Address, text, c.Depth);
    EXPECT_STREQ(c.Expected, text) << "depth " << c.Depth;
  }
}

TEST(ParseDecimal, ReadsLeadingDigitsOnly) {
  static const struct {
    const char* Text;
    uint32_t Value;
    size_t Stop;
  } cases[] = {
      {"45/6", 45, 2},       {"", 0, 0},      {"/45", 0, 0},
      {" 7", 0, 0},          {"-7", 0, 0},    {"+7", 0, 0},
      {"007x", 7, 3},        {"123", 123, 3}, {"4294967295", 4294967295u, 10},
      {"4294967296", 0, 10},  // wraps in 32 bits, no check
      {"9a", 9, 1},
  };
  for (const auto& c : cases) {
    const char* end = nullptr;
    EXPECT_EQ(c.Value, ParseDecimal(c.Text)) << c.Text;
    EXPECT_EQ(c.Value, ParseDecimal(c.Text, &end)) << c.Text;
    EXPECT_EQ(c.Text + c.Stop, end) << c.Text;
  }
  EXPECT_EQ(12u, ParseDecimal("12", nullptr));
}

TEST(CopyClipped, CutsToSizeMinusOneAndTerminates) {
  static const struct {
    const char* Source;
    size_t Size;
    const char* Expected;
  } cases[] = {
      {"abc", 10, "abc"}, {"abc", 4, "abc"}, {"abc", 3, "ab"},
      {"abc", 1, ""},     {"", 5, ""},       {"abc,def", 4, "abc"},
  };
  for (const auto& c : cases) {
    char field[16];
    std::memset(field, '#', sizeof(field));
    CopyClipped(field, c.Source, c.Size);
    EXPECT_STREQ(c.Expected, field) << c.Source << " " << c.Size;
    EXPECT_EQ('#', field[c.Size]) << "wrote past its size";
  }
  char untouched[2] = {'#', '#'};
  CopyClipped(untouched, "abc", 0);
  EXPECT_EQ('#', untouched[0]);
}

// The nodelist database lies below the panel: none of its files includes
// the panel, the commands or the configuration.
TEST(NodelistLayer, IncludesNothingAboveIt) {
  std::filesystem::path folder =
      std::filesystem::path(TOLVANE_SOURCE_DIR) / "src" / "nodelist";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::string name = entry.path().filename().string();
    if (name.find("_test") != std::string::npos) continue;
    std::ifstream in(entry.path());
    ++files;
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("#include", 0) != 0) continue;
      for (const char* above : {"\"panel/", "\"commands/", "\"config/"})
        EXPECT_EQ(line.find(above), std::string::npos) << name << ": " << line;
    }
  }
  EXPECT_GT(files, 10);
}

}  // namespace
