// The host's box services as the plugin calls them (PluginStartupInfo's
// Message, Menu, Dialog and InputBox). They hand a checked request to the
// active host's front end and return its answer within the host's range:
// a button, item or closing index, or -1 (0 for InputBox) when cancelled or
// when the arguments cannot make a box (the fault is recorded). A plugin
// number other than the one handed out is recorded as a fault too.
#ifndef TOLVANE_FARHOST_HOST_BOXES_H
#define TOLVANE_FARHOST_HOST_BOXES_H

#include "host/far_api.h"

// Items[0] is the title, the last buttonsNumber items the buttons (with an
// FMSG_MB_* flag the host's own), the rest body lines. FMSG_ALLINONE: items
// is one '\n'-separated text. FMSG_ERRORTYPE: the system's last error text
// becomes the first body line.
int FARAPI HostMessage(intptr_t pluginNumber, DWORD flags,
                       const char* helpTopic, const char* const* items,
                       int itemsNumber, int buttonsNumber);

int FARAPI HostMenu(intptr_t pluginNumber, int x, int y, int maxHeight,
                    DWORD flags, const char* title, const char* bottom,
                    const char* helpTopic, const int* breakKeys, int* breakCode,
                    const FarMenuItem* items, int itemsNumber);

// The front end writes its results into items.
int FARAPI HostDialog(intptr_t pluginNumber, int x1, int y1, int x2, int y2,
                      const char* helpTopic, FarDialogItem* items,
                      int itemsNumber);

// The answer is cut to destLength - 1 bytes and terminated.
int FARAPI HostInputBox(const char* title, const char* subTitle,
                        const char* historyName, const char* srcText,
                        char* destText, int destLength, const char* helpTopic,
                        DWORD flags);

#endif  // TOLVANE_FARHOST_HOST_BOXES_H
