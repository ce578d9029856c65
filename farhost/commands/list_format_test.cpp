#include "farhost/commands/list_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "farhost/commands/table_format.h"

namespace {

// A 22-byte block at an odd address, as a plugin may hand it over.
struct OddBlock {
  unsigned char Bytes[24];
  const unsigned char* At() const { return Bytes + 1; }
};

OddBlock MakeBlock(uint32_t size) {
  OddBlock b{};
  const uint16_t values[] = {2, 5020, 1, 7, 0, 0, 50, 46, 8};
  unsigned char* p = b.Bytes + 1;
  std::memcpy(p, &size, 4);
  for (int i = 0; i < 9; ++i) {
    p[4 + 2 * i] = static_cast<unsigned char>(values[i]);
    p[5 + 2 * i] = static_cast<unsigned char>(values[i] >> 8);
  }
  return b;
}

PluginPanelItem ItemWith(const OddBlock& block, DWORD flags) {
  PluginPanelItem item{};
  item.Flags = flags;
  item.UserData = reinterpret_cast<uintptr_t>(block.At());
  return item;
}

TEST(ListFormat, ReadsTheAddressBlockByBytes) {
  OddBlock good = MakeBlock(22);
  AddressBlock block;
  ASSERT_TRUE(ReadAddressBlock(ItemWith(good, PPIF_USERDATA), &block));
  EXPECT_EQ(FormatBlockAddress(block), "2:5020/1.7");
  EXPECT_EQ(block.Hub, 50);
  EXPECT_EQ(block.Region, 46);
  EXPECT_EQ(block.Level, 8);
  // No flag, a short block, or no block at all: nothing is read.
  EXPECT_FALSE(ReadAddressBlock(ItemWith(good, 0), &block));
  OddBlock shortBlock = MakeBlock(21);
  EXPECT_FALSE(ReadAddressBlock(ItemWith(shortBlock, PPIF_USERDATA), &block));
  PluginPanelItem none{};
  none.Flags = PPIF_USERDATA;
  EXPECT_FALSE(ReadAddressBlock(none, &block));
  EXPECT_EQ(block.Zone, 0);
}

struct EscapeCase {
  const char* Text;
  const char* Escaped;
};

TEST(ListFormat, EscapesFieldsAndAttributes) {
  const EscapeCase cases[] = {
      {"plain", "plain"}, {"a\tb", "a\\tb"}, {"a\nb", "a\\nb"},
      {"a\\b", "a\\\\b"}, {"\r", "\\r"},     {"", ""},
      {"\\t", "\\\\t"},
  };
  for (const EscapeCase& c : cases) EXPECT_EQ(EscapeField(c.Text), c.Escaped);
  EXPECT_EQ(AttributeLetters(0), "");
  EXPECT_EQ(AttributeLetters(FILE_ATTRIBUTE_HIDDEN), "H");
  EXPECT_EQ(AttributeLetters(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY |
                             FILE_ATTRIBUTE_ARCHIVE),
            "DH");
}

TEST(ListFormat, TsvLineHasSeventeenFields) {
  PanelModel panel;
  PluginPanelItem item{};
  std::strcpy(item.FindData.cFileName, "a\tb");
  char description[] = "x\\y", hub[] = "Hub", bbs[] = "Some\nBBS";
  char* columns[] = {hub, bbs};  // fewer than nine columns
  item.Description = description;
  item.CustomColumnData = columns;
  item.CustomColumnNumber = 2;
  std::vector<std::string> faults;
  CopyPluginItems(&item, 1, &panel.Copies, &faults);
  BindItems(&panel);
  std::ostringstream out;
  WriteTsvListing(panel, 866, out);
  EXPECT_EQ(out.str(),
            "a\\tb\tx\\\\y\t\t0\tHub\tSome\\nBBS\t\t\t\t\t\t\t\t"
            "\t\t\t\n");
}

// The plugin's OEM texts in UTF-8 by the code page: 866 Cyrillic, 437
// Latin accents, and the same box-drawing byte in both.
TEST(ListFormat, TsvConvertsTheCodePage) {
  PanelModel panel;
  HostItemCopy copy{};
  std::strcpy(copy.Item.FindData.cFileName, "\x88\xa2\xa0\xad\xb3\xff");
  panel.Copies.push_back(copy);
  BindItems(&panel);
  const struct {
    int Page;
    const char* Name;
  } cases[] = {{866, "\u0418\u0432\u0430\u043d\u2502\u00a0"},
               {437, "\u00ea\u00f3\u00e1\u00a1\u2502\u00a0"},
               {1251, "??????"}};
  for (const auto& c : cases) {
    std::ostringstream out;
    WriteTsvListing(panel, c.Page, out);
    EXPECT_EQ(out.str().substr(0, out.str().find('\t')), c.Name) << c.Page;
  }
}

struct LayoutCase {
  const char* Types;
  const char* Widths;
  const char* Expected;  // the widths laid out
};

TEST(TableFormat, LaysOutTheModeWidths) {
  const LayoutCase cases[] = {
      {"C0,Z,C1", "6,15,0", "6 15 77"},
      {"C0,Z,C5", "6,0,11", "6 81 11"},
      {"N,Z", "0,0", "49 50"},
      {"N,Z", "50%,0", "50 49"},
      {"N", "", "100"},
      {"N,Z,O", "x,90,20", "1 90 20"},
      {"C0,Z,C1,O,C4,C5", "6,15,16,16,0,11", "6 15 16 16 31 11"},
  };
  for (const LayoutCase& c : cases) {
    PanelView view{c.Types, c.Widths, {}};
    std::string widths;
    for (const TableColumn& column : LayoutColumns(view, 100))
      widths += (widths.empty() ? "" : " ") + std::to_string(column.Width);
    EXPECT_EQ(widths, c.Expected) << c.Types << " / " << c.Widths;
  }
}

}  // namespace
