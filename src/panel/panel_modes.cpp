#include "panel/panel_modes.h"

#include <cstring>

#include "host/messages.h"

PanelModeTableRecord PanelModeTable;

#define MODE(full, types, widths, stypes, swidths) \
  full types "\0" widths "\0" stypes "\0" swidths "\0"
const char DefaultColumnBlock[] =
    MODE("", "C0,Z,C1", "6,15,0", "C4,C5,O", "8,11,0")
        MODE("+", "C0,Z,C1,O,C7", "6,15,24,0,5", "C5,C4,C2,C3", "11,15,16,0")
            MODE("+", "C0,Z,C1,O,C4,C5", "6,15,16,16,0,11", "C7,C2,LN,C6,C3",
                 "5,16,6,10,0") MODE("+", "C0,Z,C1,O,C3", "6,15,16,16,0",
                                     "C5,C4,C2,LN,C6,C7", "11,20,0,6,10,5")
                MODE("+", "C0,Z,C1,O,C2", "6,15,18,18,0", "C5,C4,C7,C6,LN,C3",
                     "11,15,5,10,6,0") MODE("", "C0,Z,C3", "6,15,0", "C4,C5,C1",
                                            "8,11,0")
                    MODE("", "C0,Z,C4", "6,15,0", "O,C5,C1", "11,11,0") MODE(
                        "", "C0,Z,C5", "6,0,11", "C4,C5,C1", "8,11,0")
                        MODE("", "C0,Z,C2", "6,15,0", "C4,C5,C1", "8,11,0")
                            MODE("", "C0,Z,O", "6,15,0", "C4,C5,C1", "8,11,0");
#undef MODE
// The literal's own terminator is not part of the block.
const size_t DefaultColumnBlockLength = sizeof(DefaultColumnBlock) - 1;

namespace {

struct ColumnCode {
  const char* Code;
  int Title;
};

const ColumnCode kColumnCodes[] = {
    {"Z", MAddress},   {"O", MSysop},  {"C0", MKind},  {"C1", MSystem},
    {"C2", MLocation}, {"C3", MFlags}, {"C4", MPhone}, {"C5", MOnline},
    {"C6", MPassword}, {"C7", MSpeed}, {"C8", MSysop}, {"C9", MInternet},
    {"N", MAddress},
};

const char kUnknownTitle[] = "?";

// Copies one NUL-terminated string of the block into a slot, cut to the
// slot's limits, and returns the number of block bytes it consumed.
size_t CopyBlockString(const char* block, size_t left, char* slot) {
  size_t n = 0;
  size_t out = 0;
  int commas = 0;
  bool cut = false;
  for (; n < left && block[n] != '\0'; ++n) {
    if (block[n] == ',' && ++commas >= kMaxColumns) cut = true;
    if (!cut && out < kColumnStringSize - 1) slot[out++] = block[n];
  }
  slot[out] = '\0';
  return n < left ? n + 1 : n;
}

const char* TitleOfCode(const char* code, size_t length) {
  if (length == 0 || length > 2) return kUnknownTitle;
  for (const ColumnCode& c : kColumnCodes) {
    if (std::strlen(c.Code) == length &&
        std::memcmp(c.Code, code, length) == 0) {
      const char* title = MessageTable[c.Title];
      return title ? title : kUnknownTitle;
    }
  }
  return kUnknownTitle;
}

void BuildModeTitles(int mode) {
  const char* types = PanelModeTable.Strings[mode * kModeStrings];
  if (types[0] == '\0') return;
  int column = 0;
  const char* start = types;
  for (const char* p = types;; ++p) {
    if (*p == ',' || *p == '\0') {
      if (column < kMaxColumns) {
        PanelModeTable.Titles[mode][column] =
            TitleOfCode(start, static_cast<size_t>(p - start));
      }
      ++column;
      start = p + 1;
      if (*p == '\0') break;
    }
  }
}

}  // namespace

void BindPanelModes() {
  std::memset(&PanelModeTable, 0, sizeof(PanelModeTable));
  for (int k = 0; k < kModeCount; ++k) {
    PanelMode& m = PanelModeTable.Modes[k];
    m.ColumnTypes = ModeColumnString(k, kColumnTypes);
    m.ColumnWidths = ModeColumnString(k, kColumnWidths);
    m.StatusColumnTypes = ModeColumnString(k, kStatusColumnTypes);
    m.StatusColumnWidths = ModeColumnString(k, kStatusColumnWidths);
    m.ColumnTitles = const_cast<char**>(PanelModeTable.Titles[k]);
  }
}

char* ModeColumnString(int mode, ModeString which) {
  return PanelModeTable.Strings[mode * kModeStrings + which];
}

void LoadColumnBlock(const char* block, size_t length) {
  size_t at = 0;
  for (int s = 0; at < length && s < kColumnStringCount; ++s) {
    if (s % kModeStrings == 0) {
      int full = block[at] == '+';
      PanelModeTable.Modes[s / kModeStrings].FullScreen = full;
      at += full;
      if (at == length) break;
    }
    at += CopyBlockString(block + at, length - at, PanelModeTable.Strings[s]);
  }
}

size_t BuildColumnBlock(char* buffer) {
  size_t at = 0;
  for (int s = 0; s < kColumnStringCount; ++s) {
    if (s % kModeStrings == 0 &&
        PanelModeTable.Modes[s / kModeStrings].FullScreen)
      buffer[at++] = '+';
    size_t n = strnlen(PanelModeTable.Strings[s], kColumnStringSize - 1);
    std::memcpy(buffer + at, PanelModeTable.Strings[s], n);
    at += n;
    buffer[at++] = '\0';
  }
  return at;
}

void BuildColumnTitles() {
  for (int k = 0; k < kModeCount; ++k) BuildModeTitles(k);
}
