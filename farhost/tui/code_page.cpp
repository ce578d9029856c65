// Code pages 866 and 437: the tables were taken once from iconv's CP866 and
// CP437 and are kept here so that the display does not depend on the
// system's converters.
#include "farhost/tui/code_page.h"

namespace {

// 0x80-0xAF: Cyrillic letters in 866, accented Latin letters and signs in
// 437.
constexpr uint16_t kLetters866[48] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 80
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // 88
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // 90
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // 98
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // A0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // A8
};
constexpr uint16_t kLetters437[48] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
};

// 0xB0-0xDF: shades, box drawing and blocks, the same in both pages.
constexpr uint16_t kBoxDrawing[48] = {
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
};

// 0xE0-0xFF: the rest of the Cyrillic letters and signs in 866, Greek
// letters and mathematical signs in 437.
constexpr uint16_t kTop866[32] = {
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // E0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // E8
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,  // F8
};
constexpr uint16_t kTop437[32] = {
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  // E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,  // E8
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  // F8
};

constexpr CodePage MakePage(int number, const uint16_t (&letters)[48],
                            const uint16_t (&top)[32]) {
  CodePage page{number, {}};
  for (int i = 0; i < 48; ++i) page.High[i] = letters[i];
  for (int i = 0; i < 48; ++i) page.High[48 + i] = kBoxDrawing[i];
  for (int i = 0; i < 32; ++i) page.High[96 + i] = top[i];
  return page;
}

constexpr CodePage kPage866 = MakePage(866, kLetters866, kTop866);
constexpr CodePage kPage437 = MakePage(437, kLetters437, kTop437);

const char32_t kReplacement = 0xFFFD;

}  // namespace

const CodePage* CodePageFor(int number) {
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
