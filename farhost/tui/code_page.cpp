// Code pages 866 and 437 on the terminal, through farhost's own tables of
// the two pages, so that the display does not depend on the system's
// converters.
#include "farhost/tui/code_page.h"

#include "farhost/sys/sys.h"

namespace {

// The page's characters of the bytes 0x80-0xFF, from farhost's own tables
// (the same that listings are converted with).
CodePage MakePage(int number) {
  CodePage page{number, {}};
  const char16_t* high = SysOemHighCharacters(number);
  for (int i = 0; i < 128; ++i) page.High[i] = high[i];
  return page;
}

const char32_t kReplacement = 0xFFFD;

}  // namespace

const CodePage* CodePageFor(int number) {
  static const CodePage kPage866 = MakePage(866);
  static const CodePage kPage437 = MakePage(437);
  if (number == 866) return &kPage866;
  if (number == 437) return &kPage437;
  return nullptr;
}

char32_t OemToUnicode(const CodePage* page, unsigned char byte) {
  if (byte >= 0x20 && byte < 0x7F) return byte;
  if (byte < 0x80) return '?';
  return page->High[byte - 0x80];
}

unsigned char UnicodeToOem(const CodePage* page, char32_t ch) {
  if (ch >= 0x20 && ch < 0x7F) return static_cast<unsigned char>(ch);
  if (ch < 0x80) return '?';
  for (int i = 0; i < 128; ++i)
    if (page->High[i] == ch) return static_cast<unsigned char>(0x80 + i);
  return '?';
}

std::wstring OemToWide(const CodePage* page, const std::string& text) {
  std::wstring wide;
  wide.reserve(text.size());
  for (char c : text)
    wide.push_back(static_cast<wchar_t>(
        OemToUnicode(page, static_cast<unsigned char>(c))));
  return wide;
}

void AppendUtf8(char32_t ch, std::string* out) {
  if ((ch >= 0xD800 && ch <= 0xDFFF) || ch > 0x10FFFF) ch = kReplacement;
  if (ch < 0x80) {
    out->push_back(static_cast<char>(ch));
  } else if (ch < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (ch >> 6)));
    out->push_back(static_cast<char>(0x80 | (ch & 0x3F)));
  } else if (ch < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (ch >> 12)));
    out->push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (ch & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (ch >> 18)));
    out->push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (ch & 0x3F)));
  }
}

std::string OemToUtf8(const CodePage* page, const std::string& text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text)
    AppendUtf8(OemToUnicode(page, static_cast<unsigned char>(c)), &out);
  return out;
}

std::string WideToOem(const CodePage* page, const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text)
    out.push_back(
        static_cast<char>(UnicodeToOem(page, static_cast<char32_t>(c))));
  return out;
}
