#include "config/configure.h"

#include <cstdint>
#include <cstring>

#include "config/dialog_builder.h"
#include "config/settings.h"
#include "host/host_binding.h"
#include "host/messages.h"
#include "nodelist/text_fields.h"
#include "panel/panel_modes.h"

namespace {

const uint32_t M = kTemplateMessage;
const uint32_t kSeparator = DIF_SEPARATOR | DIF_BOXCOLOR;  // 0x10200
const uint32_t kCaptionSeparator = kSeparator | DIF_CENTERGROUP;

// ---------------------------------------------------------------------------
// The main settings dialog. Current values go into the rows before each
// build; the history names are set with them.
enum MainItem {
  kMainItems = 17,
  kPathEdit = 2,
  kNameEdit = 7,
  kDigitEdit = 10,
  kMainOk = 15,
};

const DialogTemplateItem kMainTemplate[kMainItems - 1] = {
    {DI_TEXT, 5, 2, 0, 0, M, MCfgPathLabel},
    {DI_EDIT, 5, 3, 66, 0, DIF_HISTORY, 0},
    {DI_TEXT, 5, 4, 0, 0, 0, 0},
    {DI_CHECKBOX, 5, 5, 0, 0, M, MCfgPlusData},
    {DI_CHECKBOX, 5, 6, 0, 0, M, MCfgSharedSysop},
    {DI_TEXT, 40, 5, 31, 0, M, MCfgNameLabel},
    {DI_EDIT, 40, 6, 31, 0, DIF_HISTORY, 0},
    {DI_TEXT, 5, 7, 0, 0, kCaptionSeparator | M, MCfgSeparator},
    {DI_CHECKBOX, 5, 8, 0, 0, M, MCfgDisksMenu},
    {DI_FIXEDIT, 7, 9, 1, 0, 0, 0},
    {DI_TEXT, 9, 9, 0, 0, M, MCfgDigit},
    {DI_CHECKBOX, 5, 10, 0, 0, M, MCfgMarkNoPhone},
    {DI_CHECKBOX, 5, 11, 0, 0, M, MCfgMarkOffline},
    {DI_TEXT, 5, 12, 0, 0, kSeparator, 0},
    {DI_BUTTON, 5, 13, 0, 0, DIF_CENTERGROUP | M, MOk},
    {DI_BUTTON, 5, 13, 0, 0, DIF_CENTERGROUP | M, MCancel},
};

// The check box of each of the Options bits 0..4, in bit order.
const int kOptionBoxes[] = {4, 5, 9, 12, 13};
const uint32_t kDialogOptionBits = 0x1F;

// Room for whatever the host's edit fields give back (its item text).
enum { kTypedSize = sizeof(FarDialogItem::Data) };

struct MainValues {
  char Path[kTypedSize];
  char Name[kTypedSize];
  char Digit[kTypedSize];
  uint32_t Bits;  // Options bits 0..4 as ticked
};

intptr_t TextRef(const char* text) { return reinterpret_cast<intptr_t>(text); }

void PutMainValues(DialogTemplateItem* rows, const MainValues& values) {
  std::memcpy(rows, kMainTemplate, sizeof(kMainTemplate));
  rows[kPathEdit - 1].Selected = TextRef("Tolvane\\PathHistory");
  rows[kPathEdit - 1].Text = TextRef(values.Path);
  rows[kNameEdit - 1].Selected = TextRef("Tolvane\\NodexHistory");
  rows[kNameEdit - 1].Text = TextRef(values.Name);
  rows[kDigitEdit - 1].Text = TextRef(values.Digit);
  for (int bit = 0; bit < 5; ++bit)
    rows[kOptionBoxes[bit] - 1].Selected = (values.Bits >> bit) & 1;
}

void TakeMainValues(const FarDialogItem* items, MainValues* values) {
  CopyClipped(values->Path, items[kPathEdit].Data, sizeof(values->Path));
  CopyClipped(values->Name, items[kNameEdit].Data, sizeof(values->Name));
  CopyClipped(values->Digit, items[kDigitEdit].Data, sizeof(values->Digit));
  values->Bits = 0;
  for (int bit = 0; bit < 5; ++bit)
    if (items[kOptionBoxes[bit]].Selected) values->Bits |= 1u << bit;
}

void CurrentMainValues(MainValues* values) {
  std::memset(values, 0, sizeof(*values));
  CopyClipped(values->Path, NodelistPath, sizeof(values->Path));
  CopyClipped(values->Name, NodelistName, sizeof(values->Name));
  values->Digit[0] = DisksMenuDigit >= 1 && DisksMenuDigit <= 9
                         ? char('0' + DisksMenuDigit)
                         : ' ';
  values->Bits = Options & kDialogOptionBits;
}

// The path must keep room for the separator that ApplySettings adds.
int PathFits(const char* path) {
  size_t length = std::strlen(path);
  if (length + 1 < kNodelistPathSize) return 1;
  int endsInSeparator =
      length > 0 && (path[length - 1] == '\\' || path[length - 1] == '/');
  return length + 1 == kNodelistPathSize && endsInSeparator;
}

// A typed text that does not fit its setting is refused, not cut: the box
// names it (message 8 and its first 80 characters) and the dialog is shown
// again with the text as typed.
int MainTextsFit(const MainValues& values) {
  const char* refused = nullptr;
  if (!PathFits(values.Path))
    refused = values.Path;
  else if (std::strlen(values.Name) >= kNodelistNameSize)
    refused = values.Name;
  if (refused == nullptr) return 1;
  char label[48];
  CopyClipped(label, MessageTable[MBadPath], sizeof(label));
  char text[sizeof(label) + 80 + 4];
  HostFunctions.sprintf(text, "%s '%.80s'", label, refused);
  ShowError(MPluginName, text);
  return 0;
}

void StoreMainValues(const MainValues& values) {
  CopyClipped(NodelistPath, values.Path, sizeof(NodelistPath));
  CopyClipped(NodelistName, values.Name, sizeof(NodelistName));
  Options = (Options & ~kDialogOptionBits) | values.Bits;
  char digit = values.Digit[0];
  DisksMenuDigit = digit >= '1' && digit <= '9' ? digit - '0' : 0;
}

// ---------------------------------------------------------------------------
// The panel-mode dialog.
enum ModeItem { kModeItems = 14, kFullScreenBox = 10, kModeOk = 12 };

const DialogTemplateItem kModeTemplate[kModeItems - 1] = {
    {DI_TEXT, 5, 2, 0, 0, M, MCfgColTypes},
    {DI_FIXEDIT, 5, 3, 30, 0, DIF_HISTORY, 0},
    {DI_TEXT, 37, 2, 0, 0, M, MCfgStatusTypes},
    {DI_FIXEDIT, 37, 3, 30, 0, DIF_HISTORY, 0},
    {DI_TEXT, 5, 4, 0, 0, M, MCfgColWidths},
    {DI_FIXEDIT, 5, 5, 30, 0, DIF_HISTORY, 0},
    {DI_TEXT, 37, 4, 0, 0, M, MCfgStatusWidths},
    {DI_FIXEDIT, 37, 5, 30, 0, DIF_HISTORY, 0},
    {DI_TEXT, 5, 6, 0, 0, kSeparator, 0},
    {DI_CHECKBOX, 5, 7, 0, 0, M, MCfgFullScreen},
    {DI_TEXT, 5, 8, 62, 0, kSeparator, 0},
    {DI_BUTTON, 5, 9, 0, 0, DIF_CENTERGROUP | M, MOk},
    {DI_BUTTON, 5, 9, 0, 0, DIF_CENTERGROUP | M, MCancel},
};

// Each edit field of the dialog: its item, the string of the mode it edits
// and its history name (histories follow the item order).
struct ModeField {
  int Item;
  ModeString String;
  const char* History;
};
const ModeField kModeFields[] = {
    {2, kColumnTypes, "Tolvane\\ColTypeHistory"},
    {4, kStatusColumnTypes, "Tolvane\\ColWidthHistory"},
    {6, kColumnWidths, "Tolvane\\StatColTypeHistory"},
    {8, kStatusColumnWidths, "Tolvane\\StatColWidthHistory"},
};

// The four strings of a mode as typed, in the order of kModeFields, and the
// full-screen box.
struct ModeValues {
  char Strings[kModeStrings][kTypedSize];
  int FullScreen;
};

void CurrentModeValues(int mode, ModeValues* values) {
  std::memset(values, 0, sizeof(*values));
  for (int i = 0; i < kModeStrings; ++i)
    CopyClipped(values->Strings[i],
                ModeColumnString(mode, kModeFields[i].String),
                sizeof(values->Strings[i]));
  values->FullScreen = PanelModeTable.Modes[mode].FullScreen;
}

void PutModeValues(DialogTemplateItem* rows, const ModeValues& values) {
  std::memcpy(rows, kModeTemplate, sizeof(kModeTemplate));
  for (int i = 0; i < kModeStrings; ++i) {
    rows[kModeFields[i].Item - 1].Selected = TextRef(kModeFields[i].History);
    rows[kModeFields[i].Item - 1].Text = TextRef(values.Strings[i]);
  }
  rows[kFullScreenBox - 1].Selected = values.FullScreen;
}

void TakeModeValues(const FarDialogItem* items, ModeValues* values) {
  for (int i = 0; i < kModeStrings; ++i)
    CopyClipped(values->Strings[i], items[kModeFields[i].Item].Data,
                sizeof(values->Strings[i]));
  values->FullScreen = items[kFullScreenBox].Selected != 0;
}

// A mode has titles for kMaxColumns columns, and the host reads one title
// per column: a string with more columns (as it would be stored, cut to
// its 30 characters) is refused with a box that names the limit, and the
// dialog is shown again with the strings as typed.
int ModeColumnsFit(const ModeValues& values) {
  for (const char* typed : values.Strings) {
    int columns = 1;
    for (int i = 0; i < kColumnStringSize - 1 && typed[i] != '\0'; ++i)
      columns += typed[i] == ',';
    if (columns > kMaxColumns) {
      ShowError(MPluginName, MessageTable[MTooManyColumns]);
      return 0;
    }
  }
  return 1;
}

void StoreModeValues(int mode, const ModeValues& values) {
  for (int i = 0; i < kModeStrings; ++i) {
    char* text = ModeColumnString(mode, kModeFields[i].String);
    CopyClipped(text, values.Strings[i], kColumnStringSize);
    if (HostFunctions.LStrupr) HostFunctions.LStrupr(text);
  }
  PanelModeTable.Modes[mode].FullScreen = values.FullScreen;
}

void RedrawBothPanels() {
  if (!Host.Control) return;
  Host.Control(INVALID_HANDLE_VALUE, FCTL_REDRAWANOTHERPANEL, nullptr);
  Host.Control(INVALID_HANDLE_VALUE, FCTL_REDRAWPANEL, nullptr);
}

// ---------------------------------------------------------------------------
// Menus.
int ShowMenu(const char* title, const char* helpTopic, DWORD flags,
             const FarMenuItem* items, int count) {
  if (!Host.Menu) return -1;
  return Host.Menu(Host.ModuleNumber, -1, -1, 0, flags, title, nullptr,
                   helpTopic, nullptr, nullptr, items, count);
}

void SelectOnly(FarMenuItem* items, int count, int selected) {
  for (int i = 0; i < count; ++i) items[i].Selected = i == selected;
}

enum ConfigureItem { kMainEntry = 0, kModesEntry = 1, kAboutEntry = 3 };

void FillConfigureMenu(FarMenuItem* items) {
  std::memset(items, 0, sizeof(FarMenuItem) * 4);
  CopyClipped(items[kMainEntry].Text, MessageTable[MCfgMain],
              sizeof(items[0].Text));
  CopyClipped(items[kModesEntry].Text, MessageTable[MCfgModes],
              sizeof(items[0].Text));
  items[2].Separator = 1;
  CopyClipped(items[kAboutEntry].Text, MessageTable[MCfgAbout],
              sizeof(items[0].Text));
}

const char* const kAboutLines[] = {
    "About Plugin",
    "",
    "Tolvane: FidoNet nodelist browser for FAR Manager",
    "version " TOLVANE_VERSION ", compiled at " __DATE__ " " __TIME__,
    "Copyright (c) 2026 the Tolvane developers",
    "",
    "FidoNet echo area: TOLVANE",
    "Web: https://tolvane.example.org/",
    "",
    "Ok",
};

}  // namespace

int RunMainDialog() {
  MainValues values;
  CurrentMainValues(&values);
  for (;;) {
    DialogTemplateItem rows[kMainItems - 1];
    PutMainValues(rows, values);
    FarDialogItem items[kMainItems];
    if (BuildDialog(MessageTable[MCfgMain], rows, items, kMainItems, "CfgMain",
                    kPathEdit, kMainOk) != kMainOk)
      return 0;
    TakeMainValues(items, &values);
    if (MainTextsFit(values)) break;
  }
  StoreMainValues(values);
  SaveSettings();
  ApplySettings();
  return 1;
}

int RunPanelModeDialog(int mode, const char* title) {
  if (mode < 0 || mode >= kModeCount) return 0;
  ModeValues values;
  CurrentModeValues(mode, &values);
  for (;;) {
    DialogTemplateItem rows[kModeItems - 1];
    PutModeValues(rows, values);
    FarDialogItem items[kModeItems];
    if (BuildDialog(title, rows, items, kModeItems, "CfgPnl", 2, kModeOk) !=
        kModeOk)
      return 0;
    TakeModeValues(items, &values);
    if (ModeColumnsFit(values)) break;
  }
  StoreModeValues(mode, values);
  SaveSettings();
  ApplySettings();
  RedrawBothPanels();
  return 1;
}

int RunPanelModeMenu() {
  FarMenuItem items[kModeCount];
  std::memset(items, 0, sizeof(items));
  // Room for " &" and the digit after the label in the 128-byte text.
  char label[sizeof(items[0].Text) - 3];
  CopyClipped(label, MessageTable[MModeItem], sizeof(label));
  for (int i = 0; i < kModeCount; ++i)
    HostFunctions.sprintf(items[i].Text, "%s &%d", label, i);
  int selected =
      StartPanelMode >= 0 && StartPanelMode < kModeCount ? StartPanelMode : 0;
  int confirmed = 0;
  for (;;) {
    SelectOnly(items, kModeCount, selected);
    int chosen =
        ShowMenu(MessageTable[MCfgModes], "CfgPnl", 0, items, kModeCount);
    if (chosen < 0 || chosen >= kModeCount) return confirmed;
    confirmed |= RunPanelModeDialog(chosen, items[chosen].Text);
    selected = chosen;
  }
}

void ShowAboutBox() {
  if (!Host.Message) return;
  Host.Message(Host.ModuleNumber, 0, nullptr, kAboutLines,
               sizeof(kAboutLines) / sizeof(kAboutLines[0]), 1);
}

int PluginConfigure(int) {
  FarMenuItem items[4];
  FillConfigureMenu(items);
  int selected = kMainEntry;
  int confirmed = 0;
  for (;;) {
    SelectOnly(items, 4, selected);
    int chosen = ShowMenu(MessageTable[MPluginName], "Cfg", FMENU_AUTOHIGHLIGHT,
                          items, 4);
    if (chosen < 0) return confirmed;
    if (chosen == kMainEntry) confirmed |= RunMainDialog();
    if (chosen == kModesEntry) confirmed |= RunPanelModeMenu();
    if (chosen == kAboutEntry) ShowAboutBox();
    if (chosen == kMainEntry || chosen == kModesEntry || chosen == kAboutEntry)
      selected = chosen;
  }
}
