#include "farhost/tui/box_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

FarDialogItem Item(int type, int x1, int y1, int x2, DWORD flags,
                   const char* text, int defaultButton = 0) {
  FarDialogItem item;
  std::memset(&item, 0, sizeof(item));
  item.Type = type;
  item.X1 = x1;
  item.Y1 = item.Y2 = y1;
  item.X2 = x2;
  item.Flags = flags;
  item.DefaultButton = defaultButton;
  std::strcpy(item.Data, text);
  return item;
}

TEST(PlaceDialog, CentredOrAsGiven) {
  static const struct {
    int X1, Y1, X2, Y2, W, H;
    BoxRect Expected;
  } kCases[] = {
      {-1, -1, 76, 16, 100, 30, {12, 7, 87, 22}},
      {-1, -1, 76, 16, 80, 25, {2, 4, 77, 19}},
      {-1, -1, 77, 16, 80, 25, {1, 4, 77, 19}},     // odd leftover goes right
      {-1, -1, 120, 40, 100, 30, {0, 0, 119, 39}},  // larger than the screen
      {5, 2, 40, 10, 100, 30, {5, 2, 40, 10}},
      {-1, 3, 20, 9, 100, 30, {40, 3, 59, 9}},
      {-1, -1, 0, -5, 100, 30, {49, 14, 49, 14}},  // nonsense sizes: 1 cell
  };
  for (const auto& c : kCases) {
    BoxRect r = PlaceDialog(c.X1, c.Y1, c.X2, c.Y2, c.W, c.H);
    EXPECT_EQ(c.Expected.X1, r.X1) << c.X2 << "x" << c.Y2;
    EXPECT_EQ(c.Expected.Y1, r.Y1) << c.X2 << "x" << c.Y2;
    EXPECT_EQ(c.Expected.X2, r.X2) << c.X2 << "x" << c.Y2;
    EXPECT_EQ(c.Expected.Y2, r.Y2) << c.X2 << "x" << c.Y2;
  }
}

TEST(ScrollOrigin, KeepsTheFocusedItemVisible) {
  static const struct {
    int Start, Size, Screen, FocusStart, FocusEnd, Expected;
  } kCases[] = {
      {12, 76, 100, 5, 70, 12},  // fits: stays
      {30, 76, 100, 5, 70, 24},  // sticks out: moved in
      {-3, 20, 100, 0, 0, 0},
      {0, 76, 60, 5, 20, 0},     // too wide, focus in view already
      {0, 76, 60, 40, 70, -11},  // focus end brought to the right edge
      {0, 76, 60, 60, 75, -16},  // never past the box's own end
      {0, 76, 30, 10, 70, -10},  // focus wider than the screen: its start
  };
  for (const auto& c : kCases)
    EXPECT_EQ(c.Expected,
              ScrollOrigin(c.Start, c.Size, c.Screen, c.FocusStart, c.FocusEnd))
        << c.Start << " " << c.Size << " " << c.Screen;
}

TEST(StripHotKey, MarksAndDoubledAmpersands) {
  static const struct {
    const char* Text;
    int Show;
    const char* Visible;
    int Hot;
  } kCases[] = {
      {"&Nodelist directory:", 0, "Nodelist directory:", 0},
      {"Use V7&+ data", 0, "Use V7+ data", 6},
      {"Salt && &Pepper", 0, "Salt & Pepper", 7},
      {"trailing &", 0, "trailing &", -1},
      {"&a &b", 0, "a b", 0},
      {"&Yes", 1, "&Yes", -1},
      {"", 0, "", -1},
  };
  for (const auto& c : kCases) {
    int hot = 99;
    EXPECT_EQ(c.Visible, StripHotKey(c.Text, c.Show, &hot)) << c.Text;
    EXPECT_EQ(c.Hot, hot) << c.Text;
  }
}

TEST(ItemLabel, ButtonsAndCheckBoxes) {
  FarDialogItem ok = Item(DI_BUTTON, 0, 0, 0, 0, "&Ok", 1);
  FarDialogItem cancel = Item(DI_BUTTON, 0, 0, 0, 0, "Cancel");
  FarDialogItem bare = Item(DI_BUTTON, 0, 0, 0, DIF_NOBRACKETS, "Go");
  FarDialogItem box = Item(DI_CHECKBOX, 0, 0, 0, 0, "Mark &phone");
  FarDialogItem radio = Item(DI_RADIOBUTTON, 0, 0, 0, 0, "One");
  int hot;
  EXPECT_EQ("{ Ok }", ItemLabel(ok, &hot));
  EXPECT_EQ(2, hot);
  EXPECT_EQ("[ Cancel ]", ItemLabel(cancel, &hot));
  EXPECT_EQ(-1, hot);
  EXPECT_EQ("Go", ItemLabel(bare, &hot));
  EXPECT_EQ("[ ] Mark phone", ItemLabel(box, &hot));
  EXPECT_EQ(9, hot);
  box.Selected = 1;
  EXPECT_EQ("[x] Mark phone", ItemLabel(box, &hot));
  box.Selected = 2;
  EXPECT_EQ("[?] Mark phone", ItemLabel(box, &hot));
  EXPECT_EQ("( ) One", ItemLabel(radio, &hot));
  radio.Selected = 1;
  EXPECT_EQ("(*) One", ItemLabel(radio, &hot));
}

// The main settings dialog's button row: "{ Ok }" and "[ Cancel ]" centred
// together, one blank apart; items outside groups keep their X1.
TEST(LayoutItemColumns, CentreGroupsOnOneRow) {
  FarDialogItem items[] = {
      Item(DI_DOUBLEBOX, 3, 1, 72, 0, "Main settings"),
      Item(DI_CHECKBOX, 5, 8, 0, 0, "Add to &disks menu"),
      Item(DI_TEXT, 5, 7, 0, DIF_SEPARATOR | DIF_CENTERGROUP, "Marks"),
      Item(DI_BUTTON, 5, 13, 0, DIF_CENTERGROUP, "Ok", 1),
      Item(DI_BUTTON, 5, 13, 0, DIF_CENTERGROUP, "Cancel"),
      Item(DI_BUTTON, 5, 14, 0, DIF_CENTERGROUP, "Help"),  // its own row
      Item(DI_TEXT, 9, 9, 0, 0, "hot key digit"),
      Item(DI_TEXT, -1, 10, 0, 0, "centred"),
  };
  std::vector<int> columns;
  LayoutItemColumns(items, 8, 76, &columns);
  // 6 + 1 + 10 = 17 columns; (76 - 17) / 2 = 29
  EXPECT_EQ((std::vector<int>{3, 5, 5, 29, 36, 34, 9, 34}), columns);
  // A group wider than the dialog starts at its left edge.
  LayoutItemColumns(items + 3, 2, 10, &columns);
  EXPECT_EQ((std::vector<int>{0, 7}), columns);
}

TEST(LayoutSeparator, LineAcrossTheFrameWithCaption) {
  FarDialogItem centred =
      Item(DI_TEXT, 5, 7, 0, DIF_SEPARATOR | DIF_CENTERGROUP | DIF_BOXCOLOR,
           "Marks");
  SeparatorLayout s = LayoutSeparator(centred, 76);
  EXPECT_EQ(3, s.LineX1);
  EXPECT_EQ(72, s.LineX2);
  EXPECT_EQ(" Marks ", s.Caption);
  EXPECT_EQ(34, s.CaptionX);  // (76 - 7) / 2
  FarDialogItem left = Item(DI_TEXT, 5, 7, 0, DIF_SEPARATOR, "Marks");
  EXPECT_EQ(5, LayoutSeparator(left, 76).CaptionX);
  FarDialogItem plain = Item(DI_TEXT, 5, 12, 66, DIF_SEPARATOR, "");
  s = LayoutSeparator(plain, 76);
  EXPECT_EQ(-1, s.CaptionX);
  EXPECT_EQ(72, s.LineX2);  // the item's own right edge does not matter
  FarDialogItem longer = Item(DI_TEXT, 5, 7, 0, DIF_SEPARATOR,
                              "a caption far longer than the box");
  s = LayoutSeparator(longer, 20);
  EXPECT_EQ(12u, s.Caption.size());  // fits between the line's ends
  EXPECT_GT(s.CaptionX, s.LineX1);
  EXPECT_LT(s.CaptionX + 11, s.LineX2);
}

TEST(FrameTitleColumn, CentredAndCut) {
  std::string shown;
  EXPECT_EQ(30, FrameTitleColumn(3, 72, "Main settings", &shown));
  EXPECT_EQ(" Main settings ", shown);
  EXPECT_EQ(2, FrameTitleColumn(0, 9, "Too long a title", &shown));
  EXPECT_EQ(" Too  ", shown);
  EXPECT_EQ(-1, FrameTitleColumn(0, 9, "", &shown));
  EXPECT_EQ(-1, FrameTitleColumn(0, 4, "X", &shown));
}

TEST(LayoutMessage, SizesAndButtons) {
  MessageLayout m =
      LayoutMessage("Error", {"Cannot go to", "2:5020/9999"}, {"Ok"}, 100, 30);
  // widest of: lines 12, buttons 6, title 9 -> 12; plus 5 a side
  EXPECT_EQ(22, m.Box.X2 - m.Box.X1 + 1);
  EXPECT_EQ(7, m.Box.Y2 - m.Box.Y1 + 1);
  EXPECT_EQ(39, m.Box.X1);
  EXPECT_EQ(m.Box.Y2 - 2, m.ButtonsY);
  EXPECT_EQ(m.Box.X1 + 8, m.ButtonsX);
  EXPECT_EQ(2, m.VisibleLines);
  // Separator lines do not widen the box; no buttons, no button row.
  m = LayoutMessage("T", {"\x01", "abc"}, {}, 100, 30);
  EXPECT_EQ(15, m.Box.X2 - m.Box.X1 + 1);  // title 1 + 4
  EXPECT_EQ(-1, m.ButtonsX);
  EXPECT_EQ(6, m.Box.Y2 - m.Box.Y1 + 1);
  // A small screen cuts the text and the lines.
  std::vector<std::string> many(40, std::string(200, 'x'));
  m = LayoutMessage("T", many, {"Yes", "No"}, 80, 25);
  EXPECT_EQ(70, m.TextWidth);
  EXPECT_EQ(20, m.VisibleLines);
  EXPECT_EQ(0, m.Box.X1);
  EXPECT_EQ(24, m.Box.Y2);
}

TEST(ButtonRowWidth, BracketsAndBlanks) {
  EXPECT_EQ(0, ButtonRowWidth({}));
  EXPECT_EQ(6, ButtonRowWidth({"&Ok"}));
  EXPECT_EQ(17, ButtonRowWidth({"Ok", "Cancel"}));
}

// The sort menu: left column 4 (or the panel's right edge - 33), centred
// vertically; clamped to the screen.
TEST(PlaceMenu, PositionAndSize) {
  static const struct {
    int X, Y, MaxHeight, Text, Title, Items, W, H;
    BoxRect Expected;
  } kCases[] = {
      {4, -1, 0, 25, 7, 8, 100, 30, {4, 10, 33, 19}},
      {66, -1, 0, 25, 7, 8, 100, 30, {66, 10, 95, 19}},
      {90, -1, 0, 25, 7, 8, 100, 30, {70, 10, 99, 19}},
      {-1, -1, 0, 10, 30, 3, 100, 30, {32, 12, 67, 16}},  // title widens
      {-1, -1, 5, 10, 0, 40, 100, 30, {42, 11, 56, 17}},
      {-1, -1, 0, 10, 0, 40, 100, 30, {42, 0, 56, 29}},
      {4, 2, 0, 10, 0, 0, 100, 30, {4, 2, 18, 3}},
  };
  for (const auto& c : kCases) {
    BoxRect r =
        PlaceMenu(c.X, c.Y, c.MaxHeight, c.Text, c.Title, c.Items, c.W, c.H);
    EXPECT_EQ(c.Expected.X1, r.X1) << c.X << "," << c.Items;
    EXPECT_EQ(c.Expected.Y1, r.Y1) << c.X << "," << c.Items;
    EXPECT_EQ(c.Expected.X2, r.X2) << c.X << "," << c.Items;
    EXPECT_EQ(c.Expected.Y2, r.Y2) << c.X << "," << c.Items;
  }
}

TEST(AssignMenuHotKeys, ExplicitThenAutomatic) {
  const CodePage* page = CodePageFor(866);
  std::vector<std::string> texts = {"Address          Ctrl-F3",
                                    "System           Ctrl-F4",
                                    "Sysop            Ctrl-F5",
                                    "",
                                    "&Location",
                                    "\x8f\xa5\xe2\xe0\xae\xa2",  // Петров
                                    "\x8f\xae\xe7\xe2\xa0"};     // Почта
  std::vector<int> separators = {0, 0, 0, 1, 0, 0, 0};
  std::vector<MenuHotKey> keys =
      AssignMenuHotKeys(texts, separators, FMENU_AUTOHIGHLIGHT, page);
  static const struct {
    int Index;
    char32_t Key;
  } kExpected[] = {{0, U'a'}, {0, U's'},      {1, U'y'},     {-1, 0},
                   {0, U'l'}, {0, U'\u043F'}, {1, U'\u043E'}};
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(kExpected[i].Index, keys[i].Index) << i;
    EXPECT_EQ(kExpected[i].Key, keys[i].Key) << i;
  }
  EXPECT_EQ("Location", keys[4].Visible);
  // Without the flag only explicit marks count; the reverse flag looks
  // from the end.
  keys = AssignMenuHotKeys(texts, separators, 0, page);
  EXPECT_EQ(-1, keys[0].Index);
  EXPECT_EQ(U'l', keys[4].Key);
  keys = AssignMenuHotKeys({"Panel mode &0", "abc"}, {0, 0},
                           FMENU_REVERSEAUTOHIGHLIGHT, page);
  EXPECT_EQ(U'0', keys[0].Key);
  EXPECT_EQ(2, keys[1].Index);
  keys = AssignMenuHotKeys({"&Yes"}, {0}, FMENU_SHOWAMPERSAND, page);
  EXPECT_EQ("&Yes", keys[0].Visible);
  EXPECT_EQ(-1, keys[0].Index);
}

TEST(FoldCase, LettersOfThePages) {
  static const struct {
    char32_t In, Out;
  } kCases[] = {{U'A', U'a'},
                {U'z', U'z'},
                {U'\u0416', U'\u0436'},
                {U'\u0401', U'\u0451'},
                {U'\u00C7', U'\u00E7'},
                {U'\u00D7', U'\u00D7'},
                {U'5', U'5'}};
  for (const auto& c : kCases) EXPECT_EQ(c.Out, FoldCase(c.In)) << int(c.In);
}

}  // namespace
