// Every dialog and box of the plugin, opened through the host with the real
// texts of each language file and laid out as the host draws them on an
// 80-column screen: no text may run into another item (one blank column
// apart at least) or past its frame.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

#include "farhost/host/services.h"
#include "farhost/sys/sys.h"
#include "panel_fixture.h"

namespace {

const int kScreenWidth = 80;
// A message box is inset by five columns on each side of the screen.
const int kMessageRoom = kScreenWidth - 2 * 5;
// The host's input box: its frame runs from column 3 to 72, its prompt
// starts at column 5.
const int kInputFrameRight = 72, kInputPromptColumn = 5;
const int kF7 = 118, kF12 = 123;

// A label as shown: the hot-key mark "&" removed ("&&" is one "&").
int Shown(const std::string& text) {
  int length = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    ++length;
  }
  return length;
}

struct Span {
  int First, Last;
  std::string What;
};

// The columns an item takes on its row; an edit field with a history has
// its arrow after its right column.
Span SpanOf(const DialogItemRecord& item, int index) {
  int width = Shown(item.Data);
  if (item.Type == DI_CHECKBOX) width += 4;  // "[x] "
  if (item.Type == DI_BUTTON) width += 4;    // "[ " and " ]"
  int last = item.X1 + width - 1;
  if (item.Type == DI_EDIT || item.Type == DI_FIXEDIT)
    last = item.X2 + (item.Flags & DIF_HISTORY ? 1 : 0);
  return {item.X1, last,
          "item " + std::to_string(index) + " '" + item.Data + "'"};
}

// What runs into something in one dialog.
std::vector<std::string> DialogFaults(const UiCall& call) {
  std::vector<std::string> faults;
  const std::vector<DialogItemRecord>& items = call.DialogItems;
  if (items.empty() || items[0].Type != DI_DOUBLEBOX) return {"no frame"};
  const DialogItemRecord& frame = items[0];
  int inner = frame.X2 - frame.X1 - 1;
  if (Shown(frame.Data) + 2 > inner) faults.push_back("title " + frame.Data);
  if (frame.X2 >= call.DialogX2 || call.DialogX2 > kScreenWidth)
    faults.push_back("frame past the dialog or the screen");
  std::map<int, std::vector<Span>> rows;
  std::map<int, int> centred;  // row -> width of its centred group
  for (size_t i = 1; i < items.size(); ++i) {
    const DialogItemRecord& item = items[i];
    if (item.Y1 <= frame.Y1 || item.Y1 >= frame.Y2)
      faults.push_back("item " + std::to_string(i) + " off the frame's rows");
    if (item.Type == DI_TEXT && (item.Flags & DIF_SEPARATOR)) {
      if (!item.Data.empty() && Shown(item.Data) + 2 > inner)
        faults.push_back("separator caption " + item.Data);
      continue;
    }
    if (item.Flags & DIF_CENTERGROUP) {
      int& width = centred[item.Y1];
      width += (width ? 1 : 0) + SpanOf(item, 0).Last - item.X1 + 1;
      continue;
    }
    Span span = SpanOf(item, static_cast<int>(i));
    if (item.Type == DI_TEXT && item.X2 > 0 && span.Last > item.X2)
      faults.push_back(span.What + " past its right column");
    if (span.First <= frame.X1 || span.Last >= frame.X2)
      faults.push_back(span.What + " past the frame");
    rows[item.Y1].push_back(span);
  }
  for (const auto& [row, width] : centred) {
    if (width > inner)
      faults.push_back("buttons of row " + std::to_string(row));
    if (rows.count(row))
      faults.push_back("buttons share row " + std::to_string(row));
  }
  for (auto& [row, spans] : rows) {
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.First < b.First; });
    for (size_t k = 1; k < spans.size(); ++k)
      if (spans[k].First <= spans[k - 1].Last + 1)
        faults.push_back(spans[k - 1].What + " runs into " + spans[k].What);
  }
  return faults;
}

std::vector<std::string> MessageFaults(const MessageRequest& box) {
  std::vector<std::string> faults;
  if (Shown(box.Title) + 4 > kMessageRoom)
    faults.push_back("title " + box.Title);
  for (const std::string& line : box.Lines)
    if (Shown(line) > kMessageRoom) faults.push_back("line " + line);
  int buttons = -1;
  for (const std::string& button : box.Buttons) buttons += Shown(button) + 5;
  if (buttons > kMessageRoom) faults.push_back("buttons");
  return faults;
}

std::vector<std::string> MenuFaults(const MenuRequest& menu) {
  std::vector<std::string> faults;
  if (Shown(menu.Title) + 6 > kScreenWidth) faults.push_back("title");
  for (const MenuLine& line : menu.Items)
    if (Shown(line.Text) + 5 > kScreenWidth) faults.push_back(line.Text);
  return faults;
}

std::vector<std::string> InputFaults(const InputRequest& input) {
  std::vector<std::string> faults;
  int inner = kInputFrameRight - 3 - 1;
  if (Shown(input.Title) + 2 > inner) faults.push_back("title " + input.Title);
  if (kInputPromptColumn + Shown(input.Prompt) > kInputFrameRight)
    faults.push_back("prompt " + input.Prompt);
  return faults;
}

// The confirming button reads as OK (Latin, or Cyrillic in code page 866).
bool ReadsAsOk(const std::string& text) {
  std::string upper;
  for (char c : text)
    if (c != '&')
      upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper == "OK" || upper == "\x8E\x8A";
}

class BoxLayoutTest : public PanelTest,
                      public ::testing::WithParamInterface<const char*> {
 protected:
  void StartIn(const char* language) {
    host_ = std::make_unique<FarHost>(Options(language), &ui_);
    std::string error;
    ASSERT_TRUE(host_->Load(&error)) << error;
    StartPlugin(host_.get());
    PluginInfo info;
    host_->QueryPluginInfo(&info);
  }
};

TEST_P(BoxLayoutTest, NoTextRunsIntoAnotherOrPastTheFrame) {
  const char* language = GetParam();
  std::vector<std::string> messages =
      MessagesOf(std::strcmp(language, "Russian") == 0 ? "Tolvane_rus.lng"
                                                       : "Tolvane_eng.lng");
  ASSERT_EQ(messages.size(), 134u);
  StartIn(language);
  // The configuration: its menu, the main dialog, the panel-mode menu and
  // a mode's dialog, the box for too many columns, the About box.
  for (const UiAnswer& answer :
       {UiAnswer::MenuItem(0), UiAnswer::DialogClose(16), UiAnswer::MenuItem(1),
        UiAnswer::MenuItem(0),
        UiAnswer::DialogClose(12).SetText(2, std::string(30, ',')),
        UiAnswer::Button(0), UiAnswer::DialogClose(13), UiAnswer::Cancel(),
        UiAnswer::MenuItem(3), UiAnswer::Button(0), UiAnswer::Cancel()})
    ui_.Push(answer);
  host_->Exports().Configure(0);
  // The panel's boxes: the search box, the sort menu, a path that does not
  // parse, a place without an entry, a description file that exists.
  PanelModel* panel = Open("2:5020");
  ASSERT_NE(panel, nullptr);
  ui_.Push(UiAnswer::Cancel());
  host_->Exports().ProcessKey(panel->Plugin, kF7, 0);
  ui_.Push(UiAnswer::Cancel());
  host_->Exports().ProcessKey(panel->Plugin, kF12, PKF_CONTROL);
  ChangeDirectory(host_.get(), panel, "2:x", 0);
  ChangeDirectory(host_.get(), panel, "2:5020/9999", 0);
  TempFolder folder;
  std::vector<char> path(folder.Path().begin(), folder.Path().end());
  path.resize(NM, '\0');
  PluginPanelItem item = panel->Items.at(1);
  for (int twice = 0; twice < 2; ++twice)
    host_->Exports().GetFiles(panel->Plugin, &item, 1, 0, path.data(),
                              OPM_VIEW);
  EXPECT_EQ(ui_.Pending(), 0u);

  int dialogs = 0, boxes = 0, menus = 0, inputs = 0;
  for (const UiCall& call : ui_.Calls()) {
    std::vector<std::string> faults;
    if (call.kind == UiCall::kDialog) {
      faults = DialogFaults(call);
      ++dialogs;
    } else if (call.kind == UiCall::kMessage) {
      faults = MessageFaults(call.Message);
      ++boxes;
    } else if (call.kind == UiCall::kMenu) {
      faults = MenuFaults(call.Menu);
      ++menus;
    } else {
      faults = InputFaults(call.Input);
      ++inputs;
    }
    for (const std::string& fault : faults)
      ADD_FAILURE() << language << ": " << fault;
  }
  EXPECT_EQ(dialogs, 3);
  EXPECT_EQ(boxes, 5);  // columns, About, path, no entry, file exists
  EXPECT_EQ(inputs, 1);
  // Boxes that need a full list or no memory: the texts alone.
  for (int text : {5, 6}) {
    MessageRequest box{
        FMSG_WARNING, "", messages[0], {messages[text]}, {messages[46]}};
    for (const std::string& fault : MessageFaults(box))
      ADD_FAILURE() << language << ": " << fault;
  }
  // The sort menu's key names line up after the labels.
  for (int label : {11, 18, 17, 19, 21, 24, 25, 26})
    EXPECT_LE(Shown(messages[static_cast<size_t>(label)]), 17) << label;
  // The one button of an error box confirms: it reads as OK.
  EXPECT_TRUE(ReadsAsOk(messages[46])) << messages[46];
  EXPECT_GE(menus, 4);
}

INSTANTIATE_TEST_SUITE_P(Languages, BoxLayoutTest,
                         ::testing::Values("English", "Russian"));

}  // namespace
