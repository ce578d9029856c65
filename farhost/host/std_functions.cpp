// The standard functions (FarStandardFunctions) farhost offers.
//
// Letter case follows the active host's code page (oem_case.h; 866 when no
// host is active). Harmless entries, which the plugin does not rely on:
// TruncStr, TruncPathStr, QuoteSpaceOnly and XLat return their text
// unchanged; ExpandEnvironmentStr copies the text unexpanded; GetPathRoot
// writes an empty root; PasteFromClipboard and MkTemp return null;
// FarKeyToName, FarNameToKey, FarInputRecordToKey, GetFileOwner,
// GetNumberOfLinks and ProcessName return 0; FarRecursiveSearch and
// DeleteBuffer do nothing; the reserved slots are null.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "farhost/host/host.h"
#include "farhost/host/services.h"
#include "farhost/host/std_text.h"
#include "platform/platform.h"

namespace {

int FARAPI FsfAtoi(const char* s) { return TextToInt(s); }

int64_t FARAPI FsfAtoi64(const char* s) {
  return s != nullptr ? std::strtoll(s, nullptr, 10) : 0;
}

char* FARAPI FsfItoa(int value, char* buffer, int radix) {
  return IntToText(value, 1, buffer, radix);
}

char* FARAPI FsfItoa64(int64_t value, char* buffer, int radix) {
  return IntToText(value, 0, buffer, radix);
}

int FARAPIV FsfSprintf(char* buffer, const char* format, ...) {
  if (buffer == nullptr || format == nullptr) return -1;
  va_list args;
  va_start(args, format);
  int written = std::vsprintf(buffer, format, args);
  va_end(args);
  return written;
}

int FARAPIV FsfSscanf(const char* buffer, const char* format, ...) {
  if (buffer == nullptr || format == nullptr) return -1;
  va_list args;
  va_start(args, format);
  int read = std::vsscanf(buffer, format, args);
  va_end(args);
  return read;
}

void FARAPI FsfQsort(void* base, size_t count, size_t width,
                     FarCompareFunc compare) {
  if (base == nullptr || compare == nullptr || count < 2 || width == 0) return;
  std::qsort(base, count, width, compare);
}

// qsortex's comparison and its user pointer, for the trampoline below.
struct SortContext {
  int(FARAPIV* Compare)(const void*, const void*, void*);
  void* User;
};
SortContext sort_context;

int SortTrampoline(const void* a, const void* b) {
  return sort_context.Compare(a, b, sort_context.User);
}

void FARAPI FsfQsortex(void* base, size_t count, size_t width,
                       int(FARAPIV* compare)(const void*, const void*, void*),
                       void* user) {
  if (base == nullptr || compare == nullptr || count < 2 || width == 0) return;
  SortContext outer = sort_context;
  sort_context = {compare, user};
  std::qsort(base, count, width, SortTrampoline);
  sort_context = outer;
}

void* FARAPI FsfBsearch(const void* key, const void* base, size_t count,
                        size_t width, FarCompareFunc compare) {
  if (key == nullptr || base == nullptr || compare == nullptr || width == 0)
    return nullptr;
  return std::bsearch(key, base, count, width, compare);
}

const CaseTable* Cases() {
  FarHost* host = ActiveHost();
  return host != nullptr ? host->cases : CaseTableFor(866);
}

unsigned char Byte(unsigned ch) { return static_cast<unsigned char>(ch); }

int FARAPI FsfIsLower(unsigned ch) {
  return ch < 256 && OemIsLower(Cases(), Byte(ch));
}
int FARAPI FsfIsUpper(unsigned ch) {
  return ch < 256 && OemIsUpper(Cases(), Byte(ch));
}
int FARAPI FsfIsAlpha(unsigned ch) {
  return ch < 256 && OemIsAlpha(Cases(), Byte(ch));
}
int FARAPI FsfIsAlphanum(unsigned ch) {
  return (ch >= '0' && ch <= '9') || FsfIsAlpha(ch);
}
unsigned FARAPI FsfUpper(unsigned ch) {
  return ch < 256 ? OemUpper(Cases(), Byte(ch)) : ch;
}
unsigned FARAPI FsfLower(unsigned ch) {
  return ch < 256 ? OemLower(Cases(), Byte(ch)) : ch;
}

void FARAPI FsfUpperBuf(char* buffer, int length) {
  for (int i = 0; buffer != nullptr && i < length; ++i)
    buffer[i] = static_cast<char>(FsfUpper(Byte(buffer[i])));
}
void FARAPI FsfLowerBuf(char* buffer, int length) {
  for (int i = 0; buffer != nullptr && i < length; ++i)
    buffer[i] = static_cast<char>(FsfLower(Byte(buffer[i])));
}
void FARAPI FsfStrupr(char* text) {
  for (; text != nullptr && *text != '\0'; ++text)
    *text = static_cast<char>(FsfUpper(Byte(*text)));
}
void FARAPI FsfStrlwr(char* text) {
  for (; text != nullptr && *text != '\0'; ++text)
    *text = static_cast<char>(FsfLower(Byte(*text)));
}

int FARAPI FsfStricmp(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return (a != nullptr) - (b != nullptr);
  return OemCompareNoCase(Cases(), a, b, -1);
}
int FARAPI FsfStrnicmp(const char* a, const char* b, int n) {
  if (n <= 0) return 0;
  if (a == nullptr || b == nullptr) return (a != nullptr) - (b != nullptr);
  return OemCompareNoCase(Cases(), a, b, n);
}

void FARAPI FsfUnquote(char* text) { RemoveQuotes(text); }

DWORD FARAPI FsfExpandEnvironmentStr(const char* source, char* dest,
                                     size_t size) {
  if (source == nullptr || dest == nullptr || size == 0) return 0;
  size_t length = std::strlen(source);
  if (length >= size) length = size - 1;
  std::memmove(dest, source, length);
  dest[length] = '\0';
  return static_cast<DWORD>(length + 1);
}

char* FARAPI FsfLTrim(char* text) { return TrimLeft(text); }
char* FARAPI FsfRTrim(char* text) { return TrimRight(text); }
char* FARAPI FsfTrim(char* text) { return TrimRight(TrimLeft(text)); }
char* FARAPI FsfSameText(char* text, int) { return text; }
char* FARAPI FsfQuoteSpaceOnly(char* text) { return text; }
char* FARAPI FsfPointToName(const char* path) { return NameInPath(path); }

void FARAPI FsfGetPathRoot(const char*, char* root) {
  if (root != nullptr) root[0] = '\0';
}

int FARAPI FsfAddEndSlash(char* path) {
  return AppendSeparator(path, PathSeparator(), NM);
}

int FARAPI FsfCopyToClipboard(const char* data) {
  FarHost* host = ActiveHost();
  if (host == nullptr) return 0;
  host->clipboard = data != nullptr ? data : "";
  return 1;
}

char* FARAPI FsfPasteFromClipboard() { return nullptr; }
int FARAPI FsfKeyToName(int, char*, int) { return 0; }
int FARAPI FsfNameToKey(const char*) { return 0; }
int FARAPI FsfInputRecordToKey(const void*) { return 0; }
char* FARAPI FsfXLat(char* line, int, int, const void*, DWORD) { return line; }
int FARAPI FsfGetFileOwner(const char*, const char*, char*) { return 0; }
int FARAPI FsfGetNumberOfLinks(const char*) { return 0; }
void FARAPI FsfRecursiveSearch(const char*, const char*, FRSUSERFUNC, DWORD,
                               void*) {}
char* FARAPI FsfMkTemp(char*, const char*) { return nullptr; }
void FARAPI FsfDeleteBuffer(char*) {}
int FARAPI FsfProcessName(const char*, char*, DWORD) { return 0; }

void FillNumbersAndSorting(FarStandardFunctions* f) {
  f->atoi = FsfAtoi;
  f->atoi64 = FsfAtoi64;
  f->itoa = FsfItoa;
  f->itoa64 = FsfItoa64;
  f->sprintf = FsfSprintf;
  f->sscanf = FsfSscanf;
  f->qsort = FsfQsort;
  f->bsearch = FsfBsearch;
  f->qsortex = FsfQsortex;
}

void FillLetterCase(FarStandardFunctions* f) {
  f->LIsLower = FsfIsLower;
  f->LIsUpper = FsfIsUpper;
  f->LIsAlpha = FsfIsAlpha;
  f->LIsAlphanum = FsfIsAlphanum;
  f->LUpper = FsfUpper;
  f->LLower = FsfLower;
  f->LUpperBuf = FsfUpperBuf;
  f->LLowerBuf = FsfLowerBuf;
  f->LStrupr = FsfStrupr;
  f->LStrlwr = FsfStrlwr;
  f->LStricmp = FsfStricmp;
  f->LStrnicmp = FsfStrnicmp;
}

void FillTextAndPaths(FarStandardFunctions* f) {
  f->Unquote = FsfUnquote;
  f->ExpandEnvironmentStr = FsfExpandEnvironmentStr;
  f->LTrim = FsfLTrim;
  f->RTrim = FsfRTrim;
  f->Trim = FsfTrim;
  f->TruncStr = FsfSameText;
  f->TruncPathStr = FsfSameText;
  f->QuoteSpaceOnly = FsfQuoteSpaceOnly;
  f->PointToName = FsfPointToName;
  f->GetPathRoot = FsfGetPathRoot;
  f->AddEndSlash = FsfAddEndSlash;
  f->CopyToClipboard = FsfCopyToClipboard;
  f->PasteFromClipboard = FsfPasteFromClipboard;
}

void FillTheRest(FarStandardFunctions* f) {
  f->FarKeyToName = FsfKeyToName;
  f->FarNameToKey = FsfNameToKey;
  f->FarInputRecordToKey = FsfInputRecordToKey;
  f->XLat = FsfXLat;
  f->GetFileOwner = FsfGetFileOwner;
  f->GetNumberOfLinks = FsfGetNumberOfLinks;
  f->FarRecursiveSearch = FsfRecursiveSearch;
  f->MkTemp = FsfMkTemp;
  f->DeleteBuffer = FsfDeleteBuffer;
  f->ProcessName = FsfProcessName;
}

}  // namespace

void FillStandardFunctions(FarStandardFunctions* functions) {
  std::memset(static_cast<void*>(functions), 0, sizeof(*functions));
  functions->StructSize = sizeof(*functions);
  FillNumbersAndSorting(functions);
  FillLetterCase(functions);
  FillTextAndPaths(functions);
  FillTheRest(functions);
}
