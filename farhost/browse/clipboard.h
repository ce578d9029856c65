// The host's clipboard on a terminal: the text the plugin copied stays in
// the host (Shift+Ins pastes it into the command line) and is handed to the
// terminal with the OSC 52 sequence, which terminals that allow it put on
// the desktop's clipboard.
#ifndef TOLVANE_FARHOST_BROWSE_CLIPBOARD_H
#define TOLVANE_FARHOST_BROWSE_CLIPBOARD_H

#include <string>

#include "farhost/tui/code_page.h"

// Standard base64 with padding.
std::string Base64Encode(const std::string& bytes);

// "\e]52;c;<base64 of the UTF-8 text>\a" for the plugin's OEM text. Texts
// longer than kMaxClipboardText bytes are cut first (terminals refuse
// longer sequences).
enum { kMaxClipboardText = 65536 };
std::string Osc52Sequence(const CodePage* page, const std::string& oemText);

// Writes the sequence to the terminal (standard output). Returns 1 when it
// was written whole.
int SendToTerminalClipboard(const CodePage* page, const std::string& oemText);

#endif  // TOLVANE_FARHOST_BROWSE_CLIPBOARD_H
