#include "nodelist/file_set.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "nodelist/index_search.h"
#include "nodelist/record_reader.h"
#include "nodelist/text_fields.h"

namespace {

// The keys of the running search; Search.SearchKey points to one of them.
FtnAddress AddressKey;
char SysopKey[kMaxSysopKeyLength + 1];

void FormFileName(FileName* name, const char* directory, const char* base,
                  const char* extension) {
  int length = std::snprintf(name->Text, sizeof(name->Text), "%s%s.%s",
                             directory, base, extension);
  name->Fits = length >= 0 && length <= kFileNameRoom;
}

void ClearFileName(FileName* name) {
  name->Text[0] = '\0';
  name->Fits = 1;
}

void FormIndexName(const NodelistFiles* files, const char* directory,
                   const char* base, FileName* name) {
  switch (files->SearchKind) {
    case SearchByAddress:
      return FormFileName(name, directory, base, "NDX");
    case SearchBySysop:
      if (files->Flags & SharedSysopIndex)
        return FormFileName(name, directory, "SYSOP", "NDX");
      return FormFileName(name, directory, base, "SDX");
    case SearchByPhone:
      return FormFileName(name, directory, base, "PDX");
  }
  ClearFileName(name);
}

void MarkClosed(MappedFile* slot) {
  slot->File = kInvalidFile;
  slot->Mapping = 0;
  slot->View = nullptr;
  slot->Size = 0;
}

void MarkSlotsClosed(NodelistFiles* files) {
  MarkClosed(&files->DataFile);
  MarkClosed(&files->PlusFile);
  MarkClosed(&files->AddressIndex);
  MarkClosed(&files->SysopIndex);
  files->ActiveIndex = nullptr;
  files->ActiveIndexSize = 0;
}

// Maps one file of the set; a name that was cut is not opened. 1 when
// mapped.
int OpenFile(MappedFile* slot, const FileName& name) {
  if (!name.Fits) {
    ReportOpenFailure(name.Text);
    return 0;
  }
  return MapReadOnly(slot, name.Text) == 0;
}

MappedFile* IndexSlot(NodelistFiles* files) {
  if (files->SearchKind == SearchByAddress) return &files->AddressIndex;
  if (files->SearchKind == SearchBySysop) return &files->SysopIndex;
  return nullptr;
}

void PrepareAddressKey(const NodelistFiles* files) {
  const NodeRecord* key = files->Key ? files->Key : &SearchKey;
  AddressKey = FtnAddress{key->Zone, key->Net, key->Node, key->HubOrPoint};
  int length = files->KeyLength;
  Search.KeyLength = length < 0 ? 0 : (length > 8 ? 8 : length);
  Search.Compare = CompareAddressKey;
  Search.SearchKey = &AddressKey;
  Search.AddressKeys = 1;
}

void PrepareSysopKey(const NodelistFiles* files) {
  const NodeRecord* key = files->Key ? files->Key : &SearchKey;
  Search.KeyLength = BuildSysopKey(key->SysopName, SysopKey);
  Search.Compare = CompareSysopKey;
  Search.SearchKey = SysopKey;
  Search.AddressKeys = 0;
}

}  // namespace

int BuildFileNames(const NodelistFiles* files, FileSetNames* names) {
  const char* directory = files->Directory ? files->Directory : "";
  const char* base = files->NodelistName ? files->NodelistName : "";
  FormFileName(&names->Data, directory, base, "DAT");
  if (files->Flags & UsePlusData)
    FormFileName(&names->Plus, directory, base, "DTP");
  else
    ClearFileName(&names->Plus);
  FormIndexName(files, directory, base, &names->Index);
  return names->Data.Fits && names->Plus.Fits && names->Index.Fits;
}

int MapReadOnly(MappedFile* slot, const char* fileName) {
  if (MapFileReadOnly(fileName, slot)) return 0;
  ReportOpenFailure(fileName);
  return 1;
}

int BuildSysopKey(const char* name, char* key) {
  char typed[kSearchNameSize];
  size_t length = strnlen(name, sizeof(typed) - 1);
  std::memcpy(typed, name, length);
  typed[length] = '\0';
  char rewritten[2 * sizeof(typed) + 2];
  char* space = std::strrchr(typed, ' ');
  if (space) {
    *space = '\0';
    std::snprintf(rewritten, sizeof(rewritten), "%s, %s", space + 1, typed);
  } else {
    std::memcpy(rewritten, typed, sizeof(typed));
  }
  CapitaliseWords(rewritten);
  CopyClipped(key, rewritten, kMaxSysopKeyLength + 1);
  return static_cast<int>(std::strlen(key));
}

int PrepareSearchKey(const NodelistFiles* files) {
  if (files->SearchKind == SearchByAddress) {
    PrepareAddressKey(files);
    return 1;
  }
  if (files->SearchKind == SearchBySysop) {
    PrepareSysopKey(files);
    return 1;
  }
  return 0;
}

namespace {

// Names the file that was cut short during the search as damaged (the data
// file when none looks shorter now: it may have grown again).
void ReportCutFile(NodelistFiles* files) {
  MappedFile* index = IndexSlot(files);
  NodelistFileKind kind = kDataFileKind;
  const MappedFile* slot = &files->DataFile;
  if (MappedFileCutShort(&files->PlusFile)) {
    kind = kPlusFileKind;
    slot = &files->PlusFile;
  } else if (index != nullptr && MappedFileCutShort(index)) {
    kind = kIndexFileKind;
    slot = index;
  }
  ReportDamage(files, kind, "cut short while it was read, size was",
               static_cast<unsigned long>(slot->Size));
}

}  // namespace

int OpenAndSearch(NodelistFiles* files) {
  BuildFileNames(files, &NodelistFileNames);
  MarkSlotsClosed(files);
  files->Damaged = 0;
  if (!OpenFile(&files->DataFile, NodelistFileNames.Data))
    return kDataFileFailed;
  if ((files->Flags & UsePlusData) &&
      !OpenFile(&files->PlusFile, NodelistFileNames.Plus))
    return kPlusFileFailed;
  MappedFile* index = IndexSlot(files);
  if (!index) {
    std::snprintf(LastErrorText, sizeof(LastErrorText),
                  "Unknown search kind %u", unsigned{files->SearchKind});
    return kIndexFileFailed;
  }
  if (!OpenFile(index, NodelistFileNames.Index)) return kIndexFileFailed;
  files->ActiveIndex = index->View;
  files->ActiveIndexSize = index->Size;
  PrepareSearchKey(files);
  // Another program may cut a file short while it is read; the reads then
  // stop here and the search ends as at damage (the guard is disarmed here
  // or, when OnMatch abandons the search, by CloseFileSet).
  std::jmp_buf resume;
  if (setjmp(resume) != 0) {
    DisarmMappedReads();
    ReportCutFile(files);
    return kSearchDone;
  }
  ArmMappedReads(&resume);
  StartSearch(files);
  DisarmMappedReads();
  return kSearchDone;
}

void CloseFileSet(NodelistFiles* files) {
  DisarmMappedReads();
  UnmapFile(&files->DataFile);
  UnmapFile(&files->PlusFile);
  UnmapFile(&files->AddressIndex);
  UnmapFile(&files->SysopIndex);
  files->ActiveIndex = nullptr;
  files->ActiveIndexSize = 0;
  CurrentPlusLine = nullptr;
  CurrentPlusPieces.Flags = nullptr;
}
