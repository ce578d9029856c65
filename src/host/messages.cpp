#include "host/messages.h"

#include <cstring>

#include "host/host_binding.h"

const char* MessageTable[kMessageCount];
KeyBarTitles KeyBarLabels;
const int SortOrderLabels[kSortOrderLabels] = {MAddress,  MSystem,   MSysop,
                                               MLocation, MPhone,    MSpeed,
                                               MCallCost, MHierarchy};

namespace {

char kEmptyLabel[] = "";

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
  for (int i = 0; i < kSortOrderLabels; ++i)
    KeyBarLabels.CtrlTitles[2 + i] = Label(SortOrderLabels[i]);
  KeyBarLabels.CtrlTitles[10] = kEmptyLabel;  // Ctrl+F11
  KeyBarLabels.AltTitles[5] = kEmptyLabel;    // Alt+F6
}

void ShowError(int titleNumber, const char* text) {
  if (!Host.Message) return;
  const char* lines[] = {MessageTable[titleNumber], text, MessageTable[MOk]};
  Host.Message(Host.ModuleNumber, FMSG_WARNING, nullptr, lines, 3, 1);
}
