#include "farhost/host/panel_model.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct BlockCase {
  uint32_t Size;
  int Copied;
};

// The host copies a UserData block by its size word and only a size it
// can trust; the copy outlives the plugin's memory.
TEST(PanelModel, CopiesUserDataBlocksBySize) {
  const BlockCase cases[] = {
      {22, 1}, {4, 1}, {3, 0}, {0, 0}, {0x10000, 1}, {0x10001, 0},
  };
  for (const BlockCase& c : cases) {
    std::vector<unsigned char> block(c.Size < 64 ? 64 : c.Size, 0xAB);
    std::memcpy(block.data(), &c.Size, 4);
    PluginPanelItem item{};
    std::strcpy(item.FindData.cFileName, "5020");
    item.Flags = PPIF_USERDATA;
    item.UserData = reinterpret_cast<uintptr_t>(block.data());
    PanelModel panel;
    std::vector<std::string> faults;
    CopyPluginItems(&item, 1, &panel.Copies, &faults);
    BindItems(&panel);
    block.assign(block.size(), 0);  // the plugin frees its list
    const PluginPanelItem& copy = panel.Items.at(0);
    EXPECT_EQ((copy.Flags & PPIF_USERDATA) != 0, c.Copied != 0) << c.Size;
    EXPECT_EQ(faults.empty(), c.Copied != 0) << c.Size;
    if (!c.Copied) continue;
    const unsigned char* bytes =
        reinterpret_cast<const unsigned char*>(copy.UserData);
    uint32_t size = 0;
    std::memcpy(&size, bytes, 4);
    EXPECT_EQ(size, c.Size);
    EXPECT_EQ(bytes[c.Size - 1], c.Size > 4 ? 0xAB : bytes[3]);
  }
}

TEST(PanelModel, CopiesTextsAndKeepsNulls) {
  char description[] = "2:5020/1";
  char c0[] = "Hub";
  char* columns[] = {c0, nullptr};
  std::string longText(kMaxItemText + 50, 'x');
  PluginPanelItem items[2] = {};
  std::memset(items[0].FindData.cFileName, 'n',
              sizeof(items[0].FindData.cFileName));
  items[0].Description = description;
  items[0].CustomColumnData = columns;
  items[0].CustomColumnNumber = 2;
  items[1].Owner = longText.data();
  items[1].CustomColumnNumber = 5;  // but no array
  PanelModel panel;
  std::vector<std::string> faults;
  CopyPluginItems(items, 2, &panel.Copies, &faults);
  // Bound to the host's own strings straight away.
  const char* texts = panel.Copies[0].Texts.data();
  EXPECT_EQ(panel.Copies[0].Item.Description, texts);
  EXPECT_EQ(panel.Copies[0].Item.CustomColumnData[0], texts + 9);
  BindItems(&panel);
  description[0] = '9';
  const PluginPanelItem& first = panel.Items[0];
  EXPECT_EQ(std::strlen(first.FindData.cFileName),
            sizeof(first.FindData.cFileName) - 1);
  EXPECT_STREQ(first.Description, "2:5020/1");
  EXPECT_EQ(first.Owner, nullptr);
  ASSERT_EQ(first.CustomColumnNumber, 2);
  EXPECT_STREQ(first.CustomColumnData[0], "Hub");
  EXPECT_STREQ(first.CustomColumnData[1], "");
  const PluginPanelItem& second = panel.Items[1];
  EXPECT_EQ(second.Description, nullptr);
  EXPECT_EQ(std::strlen(second.Owner), size_t{kMaxItemText});
  EXPECT_EQ(second.CustomColumnNumber, 0);
  EXPECT_EQ(second.CustomColumnData, nullptr);
  // A count without an array is refused, not read.
  CopyPluginItems(nullptr, 3, &panel.Copies, &faults);
  EXPECT_TRUE(panel.Copies.empty());
  EXPECT_EQ(faults.size(), 1u);
}

struct CursorCase {
  int Count, Current, Top;
  int WantCurrent, WantTop;
};

TEST(PanelModel, ClampsTheCursorToListAndPage) {
  const CursorCase cases[] = {
      {0, 5, 3, 0, 0},      {10, 12, 0, 9, 5},  {30, 25, 0, 25, 21},
      {30, 3, 10, 3, 3},    {30, -2, -1, 0, 0}, {30, 20, 10, 20, 16},
      {30, 12, 10, 12, 10},
  };
  for (const CursorCase& c : cases) {
    PanelModel panel;
    panel.Items.resize(static_cast<size_t>(c.Count));
    panel.CurrentItem = c.Current;
    panel.TopItem = c.Top;
    ClampCursor(&panel, 5);
    EXPECT_EQ(panel.CurrentItem, c.WantCurrent) << c.Count << " " << c.Current;
    EXPECT_EQ(panel.TopItem, c.WantTop) << c.Count << " " << c.Current;
  }
}

}  // namespace
