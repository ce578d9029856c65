// The OEM code pages of the plugin's texts (866 and 437) on a Unicode
// terminal. Bytes 0x20-0x7E are ASCII in both pages; 0x80-0xFF come from a
// table of our own per page. Control bytes (0x00-0x1F, 0x7F) have no glyph
// of their own here and show as '?'.
#ifndef TOLVANE_FARHOST_TUI_CODE_PAGE_H
#define TOLVANE_FARHOST_TUI_CODE_PAGE_H

#include <cstdint>
#include <string>

// One code page's mapping of the bytes 0x80-0xFF to Unicode.
struct CodePage {
  int Number;
  uint16_t High[128];
};

// The page for 866 or 437; null for any other number.
const CodePage* CodePageFor(int number);

// The Unicode character a byte shows as: ASCII as itself, 0x80-0xFF through
// the page, control bytes as '?'.
char32_t OemToUnicode(const CodePage* page, unsigned char byte);

// The byte for a Unicode character: ASCII printables as themselves, the
// page's own characters as their byte, anything else (control characters
// included) as '?'.
unsigned char UnicodeToOem(const CodePage* page, char32_t ch);

// Whole texts: OEM bytes to wide characters for curses, to UTF-8, and
// wide characters back to OEM bytes, one character per byte each way.
std::wstring OemToWide(const CodePage* page, const std::string& text);
std::string OemToUtf8(const CodePage* page, const std::string& text);
std::string WideToOem(const CodePage* page, const std::wstring& text);

// Appends the UTF-8 form of one character (surrogates and values above
// U+10FFFF as U+FFFD).
void AppendUtf8(char32_t ch, std::string* out);

#endif  // TOLVANE_FARHOST_TUI_CODE_PAGE_H
