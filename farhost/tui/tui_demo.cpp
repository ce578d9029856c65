// tui_demo: the terminal front end on its own, for trying it by hand and for
// the terminal tests. It shows the sort menu, the main settings dialog, the
// sysop search box and a warning box as the plugin builds them, then writes
// what came back, one "name: value" line each (texts in UTF-8), to the file
// given with --output, or to standard output.
//
//   tui_demo [--codepage 866|437] [--history FILE] [--output FILE]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "farhost/tui/code_page.h"
#include "farhost/tui/terminal_ui.h"

namespace {

struct DemoOptions {
  int CodePage = 866;
  std::string History;
  std::string Output;
};

struct Row {  // one dialog item as the plugin's templates describe it
  int Type, X, Y, Width;
  DWORD Flags;
  const char* Text;
  const char* History;
  int Selected;
};

const Row kMainDialog[] = {
    {DI_TEXT, 5, 2, 0, 0, "&Nodelist directory:", nullptr, 0},
    {DI_EDIT, 5, 3, 66, DIF_HISTORY, "C:\\FIDO\\NODELIST\\",
     "Tolvane\\PathHistory", 0},
    {DI_TEXT, 5, 4, 0, 0, "", nullptr, 0},
    {DI_CHECKBOX, 5, 5, 0, 0, "Use V7&+ data (NODEX.DTP)", nullptr, 1},
    {DI_CHECKBOX, 5, 6, 0, 0, "&Shared sysop index (SYSOP.NDX)", nullptr, 0},
    {DI_TEXT, 40, 5, 31, 0, "Nodelist &base name:", nullptr, 0},
    {DI_EDIT, 40, 6, 31, DIF_HISTORY, "NODEX", "Tolvane\\NodexHistory", 0},
    {DI_TEXT, 5, 7, 0, DIF_SEPARATOR | DIF_CENTERGROUP | DIF_BOXCOLOR, "Marks",
     nullptr, 0},
    {DI_CHECKBOX, 5, 8, 0, 0, "Add to &disks menu", nullptr, 0},
    {DI_FIXEDIT, 7, 9, 1, 0, " ", nullptr, 0},
    {DI_TEXT, 9, 9, 0, 0, "hot key digit (1-9, blank for none)", nullptr, 0},
    {DI_CHECKBOX, 5, 10, 0, 0, "Mark nodes without a &phone", nullptr, 0},
    {DI_CHECKBOX, 5, 11, 0, 0, "Mark nodes not &available now", nullptr, 0},
    {DI_TEXT, 5, 12, 0, DIF_SEPARATOR | DIF_BOXCOLOR, "", nullptr, 0},
    {DI_BUTTON, 5, 13, 0, DIF_CENTERGROUP, "Ok", nullptr, 0},
    {DI_BUTTON, 5, 13, 0, DIF_CENTERGROUP, "Cancel", nullptr, 0},
};
const int kRows = sizeof(kMainDialog) / sizeof(kMainDialog[0]);

int ParseOptions(int argc, char** argv, DemoOptions* o) {
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string name = argv[i];
    if (name == "--codepage")
      o->CodePage = std::atoi(argv[i + 1]);
    else if (name == "--history")
      o->History = argv[i + 1];
    else if (name == "--output")
      o->Output = argv[i + 1];
    else
      return 0;
  }
  return (argc % 2 == 1) && CodePageFor(o->CodePage) != nullptr;
}

// Builds the dialog as the plugin does: item 0 is the frame, the width
// follows the widest row and the longest free-standing text.
void BuildMainDialog(FarDialogItem* items, int* width, int* height) {
  std::memset(items, 0, sizeof(FarDialogItem) * (kRows + 1));
  items[0].Type = DI_DOUBLEBOX;
  std::snprintf(items[0].Data, sizeof(items[0].Data), "%s", "Main settings");
  int w = 0;
  for (int r = 0; r < kRows; ++r) {
    const Row& row = kMainDialog[r];
    FarDialogItem& item = items[r + 1];
    item.Type = row.Type;
    item.X1 = row.X;
    item.Y1 = item.Y2 = row.Y;
    if (row.Width != 0) item.X2 = row.X + row.Width - 1;
    item.Flags = row.Flags;
    if (row.History != nullptr)
      item.History = row.History;
    else
      item.Selected = row.Selected;
    std::snprintf(item.Data, sizeof(item.Data), "%s", row.Text);
    if (row.Width > w) w = row.Width;
  }
  for (int i = 1; i <= kRows; ++i)
    if (items[i].X2 == 0)
      w = std::max(
          w, static_cast<int>(std::strlen(items[i].Data)) + items[i].X1 - 5);
  items[0].X1 = 3;
  items[0].Y1 = 1;
  items[0].X2 = w + 6;
  items[0].Y2 = items[kRows].Y1 + 1;
  items[2].Focus = 1;
  items[15].DefaultButton = 1;
  *width = w + 10;
  *height = items[0].Y2 + 2;
}

int SortMenu(TerminalUi* ui) {
  static const char* const kLabels[] = {"Address",   "System",   "Sysop",
                                        "Location",  "Phone",    "Speed",
                                        "Call cost", "Hierarchy"};
  MenuRequest menu{
      FMENU_AUTOHIGHLIGHT, 4, -1, 0, "Sort by", "", "Iface", {}, {}};
  for (int i = 0; i < 8; ++i) {
    char text[128];
    std::snprintf(text, sizeof(text), "%-17sCtrl-F%d", kLabels[i], i + 3);
    menu.Items.push_back({text, i == 2, i == 2, 0});
  }
  int breakCode;
  return ui->Menu(menu, &breakCode);
}

void Report(FILE* out, const CodePage* page, const char* name,
            const std::string& text) {
  std::fprintf(out, "%s: %s\n", name, OemToUtf8(page, text).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  DemoOptions options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr,
                 "usage: tui_demo [--codepage 866|437] [--history FILE] "
                 "[--output FILE]\n");
    return 2;
  }
  TerminalUi ui({options.CodePage, options.History});
  if (!ui.Start()) {
    std::fprintf(stderr,
                 "tui_demo: standard input and output must be a "
                 "terminal\n");
    return 1;
  }
  int sort = SortMenu(&ui);
  FarDialogItem items[kRows + 1];
  int width, height;
  BuildMainDialog(items, &width, &height);
  int closed = ui.Dialog({-1, -1, width, height, "CfgMain", items, kRows + 1});
  InputRequest search{"Sysop search", "Sysop name (or its beginning):",
                      "SearchText",   "",
                      "SearchSysop",  37,
                      FIB_BUTTONS};
  std::string name;
  int found = ui.InputBox(search, &name);
  // A sysop name in code page 866 ("Иван Петров") and the separators.
  MessageRequest done{FMSG_WARNING,
                      "",
                      "Results",
                      {"Sysop: \x88\xa2\xa0\xad \x8f\xa5\xe2\xe0\xae\xa2",
                       "\x01", "Press a button"},
                      {"&Yes", "&No"}};
  int button = ui.Message(done);
  ui.Stop();
  FILE* out =
      options.Output.empty() ? stdout : std::fopen(options.Output.c_str(), "w");
  if (out == nullptr) return 1;
  const CodePage* page = CodePageFor(options.CodePage);
  std::fprintf(out, "menu: %d\ndialog: %d\n", sort, closed);
  Report(out, page, "path", items[2].Data);
  Report(out, page, "name", items[7].Data);
  Report(out, page, "digit", items[10].Data);
  for (int i : {4, 5, 9, 12, 13})
    std::fprintf(out, "check %d: %d\n", i, static_cast<int>(items[i].Selected));
  std::fprintf(out, "search: %d\n", found);
  Report(out, page, "search text", found ? name : "");
  std::fprintf(out, "message: %d\n", button);
  if (out != stdout) std::fclose(out);
  return 0;
}
