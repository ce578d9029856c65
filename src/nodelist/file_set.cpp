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

// Appends text at *at, as far as the room goes; 0 when it did not fit.
int AppendCut(char** at, char* end, const char* text) {
  size_t length = std::strlen(text);
  size_t room = static_cast<size_t>(end - *at);
  size_t taken = length < room ? length : room;
  std::memcpy(*at, text, taken);
  *at += taken;
  return taken == length;
}

// "%s%s.%s", cut to kFileNameRoom characters (every listing forms the
// names, so this stays away from the printf machinery).
void FormFileName(FileName* name, const char* directory, const char* base,
                  const char* extension) {
  char* at = name->Text;
  char* end = name->Text + kFileNameRoom;
  name->Fits = AppendCut(&at, end, directory) && AppendCut(&at, end, base) &&
               AppendCut(&at, end, ".") && AppendCut(&at, end, extension);
  *at = '\0';
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

// ---------------------------------------------------------------------------
// The slots and what they hold.

enum { kSlotCount = 4 };

MappedFile* SlotAt(NodelistFiles* files, int i) {
  MappedFile* slots[kSlotCount] = {&files->DataFile, &files->PlusFile,
                                   &files->AddressIndex, &files->SysopIndex};
  return slots[i];
}

// What a slot held when it was mapped here: the file's name and stamp, so
// that a set left mapped from one search to the next (CloseFileSet not
// called) is used again only while each file is still the one mapped.
struct SlotRecord {
  int Valid;
  FileHandle File;
  const unsigned char* View;
  FileStamp Stamp;
  char Name[kFileNameRoom + 1];
};
SlotRecord Records[kSlotCount];

int Recorded(NodelistFiles* files, int i) {
  const MappedFile* slot = SlotAt(files, i);
  return Records[i].Valid && slot->View != nullptr &&
         slot->View == Records[i].View && slot->File == Records[i].File;
}

// Releases a slot that was mapped here; any other slot is only marked
// closed (it was never ours to release).
void CloseSlot(NodelistFiles* files, int i) {
  MappedFile* slot = SlotAt(files, i);
  if (Recorded(files, i)) UnmapFile(slot);
  *slot = MappedFile{kInvalidFile, 0, nullptr, 0};
  Records[i].Valid = 0;
}

void CloseSlots(NodelistFiles* files) {
  for (int i = 0; i < kSlotCount; ++i) CloseSlot(files, i);
  files->ActiveIndex = nullptr;
  files->ActiveIndexSize = 0;
}

// Maps one file of the set into slot i and records it; a name that was cut
// is not opened. 1 when mapped.
int OpenFile(NodelistFiles* files, int i, const FileName& name) {
  if (!name.Fits) {
    ReportOpenFailure(name.Text);
    return 0;
  }
  MappedFile* slot = SlotAt(files, i);
  if (MapReadOnly(slot, name.Text) != 0) return 0;
  SlotRecord* record = &Records[i];
  record->File = slot->File;
  record->View = slot->View;
  record->Valid = StampOfOpenFile(slot->File, &record->Stamp);
  std::memcpy(record->Name, name.Text, sizeof(record->Name));
  return 1;
}

int IndexSlotNumber(const NodelistFiles* files) {
  if (files->SearchKind == SearchByAddress) return 2;
  if (files->SearchKind == SearchBySysop) return 3;
  return -1;
}

MappedFile* IndexSlot(NodelistFiles* files) {
  int i = IndexSlotNumber(files);
  return i >= 0 ? SlotAt(files, i) : nullptr;
}

// The slots a search needs and the names they are mapped from: data, V7+
// (with UsePlusData) and the index of the search kind. Returns the count.
int NeededSlots(const NodelistFiles* files, int* slots,
                const FileName** names) {
  int count = 0;
  slots[count] = 0;
  names[count++] = &NodelistFileNames.Data;
  if (files->Flags & UsePlusData) {
    slots[count] = 1;
    names[count++] = &NodelistFileNames.Plus;
  }
  int index = IndexSlotNumber(files);
  if (index >= 0) {
    slots[count] = index;
    names[count++] = &NodelistFileNames.Index;
  }
  return count;
}

// Whether the file at slot i's name is still the one mapped there.
int StillTheMappedFile(int i, const char* name) {
  FileStamp now;
  return StampOfPath(name, &now) && SameFileStamp(now, Records[i].Stamp);
}

// The files of a set kept mapped are compared with their names at most
// this often: a look at a file is a system call, which on a busy virtual
// machine costs as much as a small listing, and the host's file search
// lists a directory every few microseconds. A set replaced meanwhile is
// still whole (its files stay mapped as they were) and is given up at the
// next listing after the pause.
const int64_t kRecheckMicroseconds = 1000;
int64_t CheckedAt;  // when the kept set was last compared with its names

// Whether every slot the search needs holds, from an earlier search, the
// file now at its name, unchanged.
int SetStillMapped(NodelistFiles* files) {
  int slots[kSlotCount];
  const FileName* names[kSlotCount];
  int count = NeededSlots(files, slots, names);
  if (count < 2 + ((files->Flags & UsePlusData) != 0)) return 0;
  for (int k = 0; k < count; ++k) {
    int i = slots[k];
    if (!Recorded(files, i) || std::strcmp(Records[i].Name, names[k]->Text))
      return 0;
  }
  int64_t now = MonotonicMicroseconds();
  if (now - CheckedAt < kRecheckMicroseconds) return 1;
  for (int k = 0; k < count; ++k)
    if (!StillTheMappedFile(slots[k], names[k]->Text)) return 0;
  CheckedAt = now;
  return 1;
}

// Whether no file of the set was replaced while the set was being mapped
// (a compiler renaming its files into place): then the set may mix two
// compilations.
int SetMappedWhole(NodelistFiles* files) {
  int slots[kSlotCount];
  const FileName* names[kSlotCount];
  int count = NeededSlots(files, slots, names);
  for (int k = 0; k < count; ++k)
    if (Records[slots[k]].Valid &&
        !StillTheMappedFile(slots[k], names[k]->Text))
      return 0;
  return 1;
}

// Maps the data file, the V7+ data file (with UsePlusData) and the index
// of the search kind. Returns kSearchDone or the failure's result.
int MapSet(NodelistFiles* files) {
  if (!OpenFile(files, 0, NodelistFileNames.Data)) return kDataFileFailed;
  if ((files->Flags & UsePlusData) &&
      !OpenFile(files, 1, NodelistFileNames.Plus))
    return kPlusFileFailed;
  int index = IndexSlotNumber(files);
  if (index < 0) {
    std::snprintf(LastErrorText, sizeof(LastErrorText),
                  "Unknown search kind %u", unsigned{files->SearchKind});
    return kIndexFileFailed;
  }
  if (!OpenFile(files, index, NodelistFileNames.Index)) return kIndexFileFailed;
  return kSearchDone;
}

// A set mapped while another program replaced its files is mapped again,
// a few times at most.
enum { kMapAttempts = 3 };

// Keeps the set of an earlier search when it is still whole and unchanged,
// else closes whatever the slots hold and maps the set afresh.
int OpenSet(NodelistFiles* files) {
  if (SetStillMapped(files)) return kSearchDone;
  int result = kSearchDone;
  for (int attempt = 0; attempt < kMapAttempts; ++attempt) {
    CloseSlots(files);
    result = MapSet(files);
    if (result != kSearchDone || SetMappedWhole(files)) break;
  }
  CheckedAt = MonotonicMicroseconds();
  return result;
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
  files->Damaged = 0;
  int opened = OpenSet(files);
  if (opened != kSearchDone) return opened;
  MappedFile* index = IndexSlot(files);
  files->ActiveIndex = index->View;
  files->ActiveIndexSize = index->Size;
  PrepareSearchKey(files);
  // Another program may cut a file short while it is read; the reads then
  // stop here and the search ends as at damage. The guard ends with the
  // search (or, when OnMatch abandons the search, at CloseFileSet); its
  // handler stays until CloseFileSet, for the next search of a set kept
  // mapped.
  std::jmp_buf resume;
  if (setjmp(resume) != 0) {
    SuspendMappedReads();
    ReportCutFile(files);
    return kSearchDone;
  }
  ArmMappedReads(&resume);
  StartSearch(files);
  SuspendMappedReads();
  return kSearchDone;
}

void CloseFileSet(NodelistFiles* files) {
  DisarmMappedReads();
  for (int i = 0; i < kSlotCount; ++i) {
    UnmapFile(SlotAt(files, i));
    Records[i].Valid = 0;
  }
  files->ActiveIndex = nullptr;
  files->ActiveIndexSize = 0;
  CurrentPlusLine = nullptr;
  CurrentPlusPieces.Flags = nullptr;
}
