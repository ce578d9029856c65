#include "host/messages.h"

#include <cstring>

#include "host/host_binding.h"

const char* MessageTable[kMessageCount];
KeyBarTitles KeyBarLabels;

namespace {

char kEmptyLabel[] = "";

// The sort criteria in the order of Ctrl+F3 .. Ctrl+F10.
const int kSortLabels[] = {MAddress, MSystem, MSysop,    MLocation,
                           MPhone,   MSpeed,  MCallCost, MHierarchy};

char* Label(int message) { return const_cast<char*>(MessageTable[message]); }

}  // namespace

void LoadMessages() {
  for (int n = 0; n < kMessageCount; ++n) {
    const char* text =
        Host.GetMsg ? Host.GetMsg(Host.ModuleNumber, n) : nullptr;
    // A host without the string still gets a text it can show.
    MessageTable[n] = text ? text : kEmptyLabel;
  }
  std::memset(&KeyBarLabels, 0, sizeof(KeyBarLabels));
  KeyBarLabels.Titles[4] = kEmptyLabel;  // F5
  KeyBarLabels.Titles[5] = kEmptyLabel;  // F6
  KeyBarLabels.Titles[6] = Label(MSearchKey);
  KeyBarLabels.Titles[7] = kEmptyLabel;  // F8
  for (int i = 0; i < 8; ++i)
    KeyBarLabels.CtrlTitles[2 + i] = Label(kSortLabels[i]);
  KeyBarLabels.CtrlTitles[10] = kEmptyLabel;  // Ctrl+F11
  KeyBarLabels.AltTitles[5] = kEmptyLabel;    // Alt+F6
}

void ShowError(int titleNumber, const char* text) {
  if (!Host.Message) return;
  const char* lines[] = {MessageTable[titleNumber], text, MessageTable[MOk]};
  Host.Message(Host.ModuleNumber, FMSG_WARNING, nullptr, lines, 3, 1);
}
