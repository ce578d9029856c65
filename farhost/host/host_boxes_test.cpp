// The box services as the plugin calls them, answered by the scripted
// front end.
#include "farhost/host/host_boxes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "farhost/host/host.h"
#include "farhost/scripted/scripted_ui.h"
#include "platform/platform.h"

namespace {

using Lines = std::vector<std::string>;

struct MessageCase {
  const char* Name;
  DWORD Flags;
  std::vector<const char*> Items;
  int ButtonsNumber;
  const char* AllInOne;  // used instead of Items with FMSG_ALLINONE
  int Answer;            // button the script presses, -1: empty queue
  int Expected;
  const char* Title;
  Lines Body;
  Lines Buttons;
  int Faulty;  // the host records a fault and shows nothing
};

const MessageCase kMessages[] = {
    {"plain",
     FMSG_WARNING,
     {"Title", "Line 1", "Line 2", "Ok"},
     1,
     nullptr,
     0,
     0,
     "Title",
     {"Line 1", "Line 2"},
     {"Ok"},
     0},
    {"two buttons",
     0,
     {"T", "Body", "Yes", "No"},
     2,
     nullptr,
     1,
     1,
     "T",
     {"Body"},
     {"Yes", "No"},
     0},
    {"no buttons", 0, {"T", "Body"}, 0, nullptr, -1, -1, "T", {"Body"}, {}, 0},
    {"all in one",
     FMSG_ALLINONE,
     {},
     1,
     "Head\nOne\nTwo\nOk",
     0,
     0,
     "Head",
     {"One", "Two"},
     {"Ok"},
     0},
    {"host buttons",
     FMSG_MB_OKCANCEL,
     {"T", "Body"},
     7,
     nullptr,
     1,
     1,
     "T",
     {"Body"},
     {"Ok", "Cancel"},
     0},
    {"host buttons all in one",
     FMSG_ALLINONE | FMSG_MB_YESNOCANCEL,
     {},
     0,
     "T\nBody",
     2,
     2,
     "T",
     {"Body"},
     {"Yes", "No", "Cancel"},
     0},
    {"cancelled",
     0,
     {"T", "Body", "Ok"},
     1,
     nullptr,
     -1,
     -1,
     "T",
     {"Body"},
     {"Ok"},
     0},
    {"button out of range",
     0,
     {"T", "Body", "Ok"},
     1,
     nullptr,
     3,
     -1,
     "T",
     {"Body"},
     {"Ok"},
     0},
    {"one item", 0, {"T"}, 0, nullptr, 0, -1, "", {}, {}, 1},
    {"more buttons than lines",
     0,
     {"T", "Ok"},
     2,
     nullptr,
     0,
     -1,
     "",
     {},
     {},
     1},
    {"negative buttons", 0, {"T", "Body"}, -1, nullptr, 0, -1, "", {}, {}, 1},
};

TEST(HostBoxes, Message) {
  for (const MessageCase& c : kMessages) {
    ScriptedUi ui;
    FarHost host(HostOptions(), &ui);
    if (c.Answer >= 0) ui.Push(UiAnswer::Button(c.Answer));
    const char* const* items =
        c.AllInOne != nullptr ? reinterpret_cast<const char* const*>(c.AllInOne)
                              : c.Items.data();
    int result = HostMessage(kHostModuleNumber, c.Flags, "Topic", items,
                             static_cast<int>(c.Items.size()), c.ButtonsNumber);
    EXPECT_EQ(result, c.Expected) << c.Name;
    if (c.Faulty) {
      EXPECT_TRUE(ui.Calls().empty()) << c.Name;
      EXPECT_EQ(host.errors.size(), 1u) << c.Name;
      continue;
    }
    ASSERT_EQ(ui.Calls().size(), 1u) << c.Name;
    const MessageRequest& box = ui.Calls()[0].Message;
    EXPECT_EQ(box.Title, c.Title) << c.Name;
    EXPECT_EQ(box.Lines, c.Body) << c.Name;
    EXPECT_EQ(box.Buttons, c.Buttons) << c.Name;
    EXPECT_EQ(box.HelpTopic, "Topic") << c.Name;
    EXPECT_EQ(box.Flags, c.Flags) << c.Name;
    EXPECT_EQ(ui.Calls()[0].Unanswered, c.Answer < 0 ? 1 : 0) << c.Name;
    EXPECT_TRUE(host.errors.empty()) << c.Name;
  }
}

TEST(HostBoxes, ErrorTypePutsTheSystemErrorFirst) {
  ScriptedUi ui;
  FarHost host(HostOptions(), &ui);
  char expected[256];
  PlatformSetLastError(2);
  PlatformErrorText(expected, sizeof(expected));
  ASSERT_NE(expected[0], '\0');
  const char* items[] = {"Cannot create", "file.txt", "Ok"};
  PlatformSetLastError(2);
  HostMessage(kHostModuleNumber, FMSG_WARNING | FMSG_ERRORTYPE, nullptr, items,
              3, 1);
  ASSERT_EQ(ui.Calls().size(), 1u);
  EXPECT_EQ(ui.Calls()[0].Message.Lines, (Lines{expected, "file.txt"}));
}

TEST(HostBoxes, MenuRecordsItemsAndBreakKey) {
  ScriptedUi ui;
  FarHost host(HostOptions(), &ui);
  FarMenuItem items[3];
  std::memset(items, 0, sizeof(items));
  std::strcpy(items[0].Text, "First");
  std::strcpy(items[1].Text, "Second");
  items[1].Selected = 1;
  items[1].Checked = 1;
  items[2].Separator = 1;
  const int breakKeys[] = {0x72, 0x73 | (PKF_CONTROL << 16), 0};
  int breakCode = 99;
  ui.Push(UiAnswer::MenuItem(1, 1));
  EXPECT_EQ(HostMenu(kHostModuleNumber, -1, -1, 0, FMENU_WRAPMODE, "Sort",
                     "Bottom", "Help", breakKeys, &breakCode, items, 3),
            1);
  EXPECT_EQ(breakCode, 1);
  const MenuRequest& menu = ui.Calls()[0].Menu;
  EXPECT_EQ(menu.Title, "Sort");
  EXPECT_EQ(menu.Bottom, "Bottom");
  EXPECT_EQ(menu.BreakKeys, (std::vector<int>{0x72, 0x73 | 0x10000}));
  ASSERT_EQ(menu.Items.size(), 3u);
  EXPECT_EQ(menu.Items[1].Text, "Second");
  EXPECT_EQ(menu.Items[1].Selected, 1);
  EXPECT_EQ(menu.Items[1].Checked, 1);
  EXPECT_EQ(menu.Items[2].Separator, 1);

  // A wrong kind of answer and an empty queue both cancel.
  ui.Push(UiAnswer::Button(0));
  EXPECT_EQ(HostMenu(kHostModuleNumber, -1, -1, 0, 0, "", "", "", nullptr,
                     &breakCode, items, 3),
            -1);
  EXPECT_EQ(breakCode, -1);
  EXPECT_NE(ui.Calls()[1].Fault, "");
  EXPECT_EQ(HostMenu(kHostModuleNumber, -1, -1, 0, 0, "", "", "", nullptr,
                     nullptr, items, 3),
            -1);
  EXPECT_EQ(ui.Calls()[2].Unanswered, 1);
}

TEST(HostBoxes, MenuItemTextWithoutNulIsCut) {
  ScriptedUi ui;
  FarHost host(HostOptions(), &ui);
  FarMenuItem item;
  std::memset(&item, 'x', sizeof(item));
  item.Selected = item.Checked = item.Separator = 0;
  HostMenu(kHostModuleNumber, -1, -1, 0, 0, "", "", "", nullptr, nullptr, &item,
           1);
  EXPECT_EQ(ui.Calls()[0].Menu.Items[0].Text.size(), sizeof(item.Text));
}

void MakeDialog(FarDialogItem* items) {
  std::memset(items, 0, 4 * sizeof(FarDialogItem));
  items[0].Type = DI_DOUBLEBOX;
  std::strcpy(items[0].Data, "Settings");
  items[1].Type = DI_EDIT;
  items[1].Flags = DIF_HISTORY;
  items[1].History = "Tolvane\\PathHistory";
  std::strcpy(items[1].Data, "old");
  items[2].Type = DI_CHECKBOX;
  items[3].Type = DI_BUTTON;
  items[3].DefaultButton = 1;
}

TEST(HostBoxes, DialogAppliesTheScriptBeforeClosing) {
  ScriptedUi ui;
  FarHost host(HostOptions(), &ui);
  FarDialogItem items[4];
  MakeDialog(items);
  ui.Push(UiAnswer::DialogClose(3).SetText(1, "/nodelist").Check(2));
  EXPECT_EQ(HostDialog(kHostModuleNumber, -1, -1, 60, 12, "Config", items, 4),
            3);
  EXPECT_STREQ(items[1].Data, "/nodelist");
  EXPECT_EQ(items[2].Selected, 1);
  const UiCall& call = ui.Calls()[0];
  EXPECT_EQ(call.DialogX2, 60);
  EXPECT_EQ(call.DialogHelp, "Config");
  ASSERT_EQ(call.DialogItems.size(), 4u);
  EXPECT_EQ(call.DialogItems[1].Data, "old");  // as handed over
  EXPECT_EQ(call.DialogItems[1].History, "Tolvane\\PathHistory");
  EXPECT_EQ(call.DialogItems[3].DefaultButton, 1);

  // An edit of an item that does not exist cancels and changes nothing.
  ui.Push(UiAnswer::DialogClose(3).SetText(9, "x"));
  EXPECT_EQ(HostDialog(kHostModuleNumber, -1, -1, 60, 12, "", items, 4), -1);
  EXPECT_NE(ui.Calls()[1].Fault, "");
  ui.Push(UiAnswer::DialogClose(4));
  EXPECT_EQ(HostDialog(kHostModuleNumber, -1, -1, 60, 12, "", items, 4), -1);
  EXPECT_EQ(HostDialog(kHostModuleNumber, -1, -1, 60, 12, "", nullptr, 0), -1);
  EXPECT_EQ(host.errors.size(), 1u);
}

TEST(HostBoxes, InputBoxCutsTheAnswerToTheBuffer) {
  ScriptedUi ui;
  FarHost host(HostOptions(), &ui);
  char buffer[8] = "?old";
  ui.Push(UiAnswer::Input("Ivanov Petr"));
  // Source and destination are one buffer, as the plugin may pass them.
  EXPECT_EQ(HostInputBox("Search", "Sysop", "Hist", buffer, buffer,
                         sizeof(buffer), "<path>Topic", FIB_BUTTONS),
            1);
  EXPECT_STREQ(buffer, "Ivanov ");
  const InputRequest& input = ui.Calls()[0].Input;
  EXPECT_EQ(input.Initial, "?old");
  EXPECT_EQ(input.History, "Hist");
  EXPECT_EQ(input.Prompt, "Sysop");
  EXPECT_EQ(input.Length, 8);
  EXPECT_EQ(input.Flags, static_cast<DWORD>(FIB_BUTTONS));

  EXPECT_EQ(
      HostInputBox("T", "P", nullptr, "x", buffer, sizeof(buffer), nullptr, 0),
      0);
  EXPECT_STREQ(buffer, "Ivanov ");  // a cancelled box leaves the buffer
  ui.Push(UiAnswer::Input("x"));
  EXPECT_EQ(HostInputBox("T", "P", nullptr, "", buffer, 0, nullptr, 0), 0);
  EXPECT_EQ(host.errors.size(), 1u);
}

TEST(HostBoxes, NoActiveHostAnswersNo) {
  const char* items[] = {"T", "Ok"};
  EXPECT_EQ(HostMessage(kHostModuleNumber, 0, nullptr, items, 2, 1), -1);
  char buffer[4];
  EXPECT_EQ(HostInputBox("", "", "", "", buffer, 4, "", 0), 0);
}

}  // namespace
