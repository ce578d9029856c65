#include "farhost/host/oem_case.h"

#include <span>

namespace {

// A run of Count letter pairs: Upper + i is the capital of Lower + i.
struct CaseRun {
  unsigned char Upper;
  unsigned char Lower;
  unsigned char Count;
};

constexpr CaseRun kCp866Runs[] = {
    {'A', 'a', 26},  {0x80, 0xA0, 16}, {0x90, 0xE0, 16}, {0xF0, 0xF1, 1},
    {0xF2, 0xF3, 1}, {0xF4, 0xF5, 1},  {0xF6, 0xF7, 1},
};

constexpr CaseRun kCp437Runs[] = {
    {'A', 'a', 26},  {0x80, 0x87, 1}, {0x9A, 0x81, 1},
    {0x90, 0x82, 1}, {0x8E, 0x84, 1}, {0x8F, 0x86, 1},
    {0x92, 0x91, 1}, {0x99, 0x94, 1}, {0xA5, 0xA4, 1},
};

// Small letters of 437 with no capital in the code page.
constexpr unsigned char kCp437LowerOnly[] = {0x83, 0x85, 0x88, 0x89, 0x8A, 0x8B,
                                             0x8C, 0x8D, 0x93, 0x95, 0x96, 0x97,
                                             0x98, 0xA0, 0xA1, 0xA2, 0xA3};

// Every byte keeps its case but the letters of the runs, which pair up,
// and the lower-only letters.
constexpr CaseTable MakeCaseTable(std::span<const CaseRun> runs,
                                  std::span<const unsigned char> lowerOnly) {
  CaseTable t;
  for (int c = 0; c < 256; ++c) {
    t.Upper[c] = static_cast<unsigned char>(c);
    t.Lower[c] = static_cast<unsigned char>(c);
    t.Kind[c] = 0;
  }
  for (const CaseRun& run : runs) {
    for (int i = 0; i < run.Count; ++i) {
      unsigned char upper = static_cast<unsigned char>(run.Upper + i);
      unsigned char lower = static_cast<unsigned char>(run.Lower + i);
      t.Lower[upper] = lower;
      t.Upper[lower] = upper;
      t.Kind[upper] = kCaseUpper;
      t.Kind[lower] = kCaseLower;
    }
  }
  for (unsigned char c : lowerOnly) t.Kind[c] = kCaseLower;
  return t;
}

constexpr CaseTable kCp866 = MakeCaseTable(kCp866Runs, {});
constexpr CaseTable kCp437 = MakeCaseTable(kCp437Runs, kCp437LowerOnly);

}  // namespace

const CaseTable* CaseTableFor(int codePage) {
  if (codePage == 866) return &kCp866;
  if (codePage == 437) return &kCp437;
  return nullptr;
}

int OemCompareNoCase(const CaseTable* t, const char* a, const char* b,
                     long long n) {
  for (long long i = 0; n < 0 || i < n; ++i) {
    unsigned char ca = OemUpper(t, static_cast<unsigned char>(a[i]));
    unsigned char cb = OemUpper(t, static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == '\0') return 0;
  }
  return 0;
}
