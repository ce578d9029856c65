// The records that the nodelist database shares with the panel: the one
// process-wide file set with the parameters of the running search
// (NodelistFiles), the decoded entry (NodeRecord), the address (FtnAddress)
// and the database's last failure text (LastErrorText).
//
// Everything here exists once per process and is used on the host's one
// interface thread only; one search runs at a time.
#ifndef TOLVANE_NODELIST_RECORDS_H
#define TOLVANE_NODELIST_RECORDS_H

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

// A FidoNet address, written zone:net/node.point.
struct FtnAddress {
  uint16_t Zone;
  uint16_t Net;
  uint16_t Node;
  uint16_t Point;
};

// The longest sysop name the user can search for, with its terminator:
// room for a whole name as nodelists spell it (the longest seen have 30
// characters).
enum { kSearchNameSize = 37 };

// One decoded nodelist entry, cleared to zero before each decoding. Texts
// are zero-terminated and hold one character less than their size.
struct NodeRecord {
  uint16_t Zone;
  uint16_t Net;
  uint16_t Node;
  // Decoded: at most 25 characters, as DisplaySysop. As search key: the
  // name the user typed, whole.
  char SysopName[kSearchNameSize];
  char SystemName[34];
  char Phone[40];
  char Location[30];
  char Password[9];
  uint16_t CallCost;
  uint16_t HubOrPoint;   // hub node, or the point number of a point
  uint16_t Region;       // from the V7+ record, 0 without it
  uint16_t BaudRate;     // stored byte x 300, kept modulo 65536
  uint16_t NodeFlags;    // v7::kFlag* bits
  uint16_t OnlineStart;  // minutes after midnight UTC; both 0: not known
  uint16_t OnlineEnd;
  char DisplaySysop[26];
  char DisplaySystem[34];
  char DisplayLocation[30];
  char Keyword[10];    // V7+ type keyword, empty for ordinary nodes
  char FlagsText[64];  // V7+ flags, commas included
};

// SearchKind values.
enum : uint16_t {
  SearchByAddress = 1,
  SearchBySysop = 2,
  SearchByPhone = 3,  // named by the file-name builder only; not searched
};

// Flags bits.
enum : uint16_t {
  UsePlusData = 0x03,       // either bit: read each record's V7+ part
  SharedSysopIndex = 0x04,  // sysop searches use SYSOP.NDX
  FixedFieldsOnly = 0x08,   // decode the fixed fields only, no texts
  OnePerNextPart = 0x10,    // address search, KeyLength <= 4: first entry
                            // of each value of the next address part only
};

// Called once per delivered entry; the record lives for the call only.
typedef int (*MatchRoutine)(NodeRecord* record, void* matchData);

// The file set and the running search. Directory, NodelistName, Key and
// OnMatch are bound once at library load; the caller sets SearchKind,
// Flags, KeyLength and MatchData and writes the key record before each
// search. The four slots and ActiveIndex are the database's own.
struct NodelistFiles {
  const char* Directory;     // empty, or ends in a path separator
  const char* NodelistName;  // base name of the files, "NODEX" by default
  uint16_t SearchKind;
  uint16_t Flags;
  NodeRecord* Key;
  int16_t KeyLength;  // address search: 0, 2, 4, 6 or 8 bytes must match
  MatchRoutine OnMatch;
  void* MatchData;
  MappedFile DataFile;
  MappedFile PlusFile;
  MappedFile AddressIndex;
  MappedFile SysopIndex;
  const unsigned char* ActiveIndex;  // the index view being walked
  size_t ActiveIndexSize;            // its size in bytes
  int Damaged;  // set when the last search met a damaged file; the
                // damage text is then in LastErrorText
};

// The names of the files of the current set, formed by BuildFileNames.
// Each holds up to kFileNameRoom characters; Fits is 0 when the name was
// cut to that room (such a file is not opened).
enum { kFileNameRoom = 259 };
struct FileName {
  char Text[kFileNameRoom + 1];
  int Fits;
};
struct FileSetNames {
  FileName Data;
  FileName Plus;
  FileName Index;
};

// Which file a damage report names.
enum NodelistFileKind { kDataFileKind, kPlusFileKind, kIndexFileKind };

enum { kLastErrorTextSize = 256 };

extern NodelistFiles Nodelist;  // the one file set of the process
extern NodeRecord SearchKey;    // the record that carries the key
extern FileSetNames NodelistFileNames;
extern char LastErrorText[kLastErrorTextSize];

// Writes "Unable to open NAME" into LastErrorText.
void ReportOpenFailure(const char* fileName);

// Writes a warning of the running search into LastErrorText: `format` with
// one %s for `argument`, cut to fit. Does nothing once Nodelist.Damaged is
// set, so that the first damage text stays.
void ReportWarning(const char* format, const char* argument);

// Records that the search met damage: sets files->Damaged and, if it was not
// set yet, writes "Damaged nodelist file NAME: WHAT WHERE" (NAME from
// NodelistFileNames). Later reports keep the first text.
void ReportDamage(NodelistFiles* files, NodelistFileKind file, const char* what,
                  unsigned long where);

#endif  // TOLVANE_NODELIST_RECORDS_H
