// Dialogs built from compact templates. A template row describes one item;
// item 0 is always the double-line frame, which the builder adds and sizes
// itself, so row r becomes item r + 1.
#ifndef TOLVANE_CONFIG_DIALOG_BUILDER_H
#define TOLVANE_CONFIG_DIALOG_BUILDER_H

#include <cstdint>

#include "host/far_api.h"

// The top flag bit of a row: its Text is a message number, not a text.
// It is never passed to the host.
const uint32_t kTemplateMessage = 0x80000000u;

struct DialogTemplateItem {
  uint8_t Type;       // the host's item type (DI_TEXT, DI_EDIT, ...)
  int8_t X;           // left column inside the dialog
  int8_t Y;           // row
  int8_t Width;       // 0: no right edge of its own; else right = X + Width - 1
  intptr_t Selected;  // check state, or the history name of an edit field
  uint32_t Flags;     // host item flags, plus kTemplateMessage
  intptr_t Text;      // message number, const char* of the text, or 0
};
// 16 bytes on the 32-bit host; Selected and Text grow with the pointer.
static_assert(sizeof(void*) != 4 || sizeof(DialogTemplateItem) == 16,
              "a template row is 16 bytes on the 32-bit host");

// Builds items[0 .. count - 1] from the frame and the count - 1 rows of
// `rows`, and runs the host dialog centred, with width w + 10 and height
// (frame bottom) + 2, where w is the widest row width, widened so that
// every item without a right edge fits its text counted from column 5.
// Texts are cut to the host's item text (511 characters); a message number
// outside the table gives an empty text. The item at `focus` gets the
// focus and the one at `defaultItem` is the default button (indices outside
// the items are ignored). `title` (may be null) is the frame's text.
// Returns the host's result: the closing item's index, or -1 (also when
// the host has no dialog or count < 1). The caller reads the edited texts
// and check states from `items`.
int BuildDialog(const char* title, const DialogTemplateItem* rows,
                FarDialogItem* items, int count, const char* helpTopic,
                int focus, int defaultItem);

#endif  // TOLVANE_CONFIG_DIALOG_BUILDER_H
