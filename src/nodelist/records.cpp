#include "nodelist/records.h"

#include <cstdarg>
#include <cstdio>

NodelistFiles Nodelist;
NodeRecord SearchKey;
FileSetNames NodelistFileNames;
char LastErrorText[kLastErrorTextSize];

namespace {

const char* NameOf(NodelistFileKind file) {
  switch (file) {
    case kDataFileKind:
      return NodelistFileNames.Data.Text;
    case kPlusFileKind:
      return NodelistFileNames.Plus.Text;
    case kIndexFileKind:
      return NodelistFileNames.Index.Text;
  }
  return "";
}

// Formats into LastErrorText, cut to fit: the cut is intended.
void WriteErrorText(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(LastErrorText, sizeof(LastErrorText), format, arguments);
  va_end(arguments);
}

}  // namespace

void ReportOpenFailure(const char* fileName) {
  WriteErrorText("Unable to open %s", fileName);
}

void ReportWarning(const char* format, const char* argument) {
  if (Nodelist.Damaged) return;
  WriteErrorText(format, argument);
}

void ReportDamage(NodelistFiles* files, NodelistFileKind file, const char* what,
                  unsigned long where) {
  if (!files->Damaged)
    WriteErrorText("Damaged nodelist file %s: %s %lu", NameOf(file), what,
                   where);
  files->Damaged = 1;
}
