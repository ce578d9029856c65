#include "farhost/host/oem_case.h"

namespace {

struct CasePair {
  unsigned char Upper;
  unsigned char Lower;
};

const CasePair kCp866Pairs[] = {
    {0xF0, 0xF1},
    {0xF2, 0xF3},
    {0xF4, 0xF5},
    {0xF6, 0xF7},
};

const CasePair kCp437Pairs[] = {
    {0x80, 0x87}, {0x9A, 0x81}, {0x90, 0x82}, {0x8E, 0x84},
    {0x8F, 0x86}, {0x92, 0x91}, {0x99, 0x94}, {0xA5, 0xA4},
};

// Small letters of 437 with no capital in the code page.
const unsigned char kCp437LowerOnly[] = {0x83, 0x85, 0x88, 0x89, 0x8A, 0x8B,
                                         0x8C, 0x8D, 0x93, 0x95, 0x96, 0x97,
                                         0x98, 0xA0, 0xA1, 0xA2, 0xA3};

void AddPair(CaseTable* t, unsigned char upper, unsigned char lower) {
  t->Lower[upper] = lower;
  t->Upper[lower] = upper;
  t->Kind[upper] = kCaseUpper;
  t->Kind[lower] = kCaseLower;
}

void StartWithAscii(CaseTable* t) {
  for (int c = 0; c < 256; ++c) {
    t->Upper[c] = static_cast<unsigned char>(c);
    t->Lower[c] = static_cast<unsigned char>(c);
    t->Kind[c] = 0;
  }
  for (int c = 'A'; c <= 'Z'; ++c)
    AddPair(t, static_cast<unsigned char>(c),
            static_cast<unsigned char>(c - 'A' + 'a'));
}

CaseTable MakeCp866() {
  CaseTable t;
  StartWithAscii(&t);
  for (int i = 0; i < 16; ++i) {
    AddPair(&t, static_cast<unsigned char>(0x80 + i),
            static_cast<unsigned char>(0xA0 + i));
    AddPair(&t, static_cast<unsigned char>(0x90 + i),
            static_cast<unsigned char>(0xE0 + i));
  }
  for (const CasePair& p : kCp866Pairs) AddPair(&t, p.Upper, p.Lower);
  return t;
}

CaseTable MakeCp437() {
  CaseTable t;
  StartWithAscii(&t);
  for (const CasePair& p : kCp437Pairs) AddPair(&t, p.Upper, p.Lower);
  for (unsigned char c : kCp437LowerOnly) t.Kind[c] = kCaseLower;
  return t;
}

const CaseTable kCp866 = MakeCp866();
const CaseTable kCp437 = MakeCp437();

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
