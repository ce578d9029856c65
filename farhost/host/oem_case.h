// Letter case in the OEM code pages 437 and 866, with tables of our own:
// ASCII letters always; in 866 the Cyrillic letters А-Я (0x80-0x9F) with
// а-п (0xA0-0xAF) and р-я (0xE0-0xEF), and the pairs Ё/ё, Є/є, Ї/ї, Ў/ў
// (0xF0-0xF7); in 437 the accented Latin letters that have both cases in the
// code page (Ç/ç, Ü/ü, É/é, Ä/ä, Å/å, Æ/æ, Ö/ö, Ñ/ñ). Accented small letters
// of 437 without a capital there (â, à, ê, …, á, í, ó, ú) count as small
// letters and keep their case.
//
// Comparison without regard to case orders by the upper-cased byte values
// taken as unsigned: "a" sorts before "Z" (as "A" and "Z"), and every byte
// of 0x80-0xFF sorts after ASCII.
#ifndef TOLVANE_FARHOST_OEM_CASE_H
#define TOLVANE_FARHOST_OEM_CASE_H

#include <cstddef>

struct CaseTable {
  unsigned char Upper[256];
  unsigned char Lower[256];
  unsigned char Kind[256];  // kCaseUpper, kCaseLower or 0
};

enum { kCaseUpper = 1, kCaseLower = 2 };

// The table of code page 437 or 866; null for any other number.
const CaseTable* CaseTableFor(int codePage);

inline unsigned char OemUpper(const CaseTable* t, unsigned char c) {
  return t->Upper[c];
}
inline unsigned char OemLower(const CaseTable* t, unsigned char c) {
  return t->Lower[c];
}
inline int OemIsUpper(const CaseTable* t, unsigned char c) {
  return t->Kind[c] == kCaseUpper;
}
inline int OemIsLower(const CaseTable* t, unsigned char c) {
  return t->Kind[c] == kCaseLower;
}
inline int OemIsAlpha(const CaseTable* t, unsigned char c) {
  return t->Kind[c] != 0;
}

// Compares at most n bytes of two texts without regard to case (n < 0:
// without limit); stops at the first NUL. Returns -1, 0 or 1.
int OemCompareNoCase(const CaseTable* t, const char* a, const char* b,
                     long long n);

#endif  // TOLVANE_FARHOST_OEM_CASE_H
