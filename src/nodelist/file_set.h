// The nodelist file set: naming, read-only mapping and closing of the data
// file, the V7+ data file and the index that a search needs, and the one
// search that runs while they are mapped. A listing opens the set afresh
// and closes it right after; the host's file search, which lists one
// directory after the other, leaves it mapped from one search to the next
// while its files stay unchanged.
#ifndef TOLVANE_NODELIST_FILE_SET_H
#define TOLVANE_NODELIST_FILE_SET_H

#include "nodelist/records.h"

// OpenAndSearch results.
enum {
  kSearchDone = 12,      // files mapped, the search ran to its end
  kDataFileFailed = 7,   // the data file could not be opened
  kPlusFileFailed = 4,   // the V7+ data file could not be opened
  kIndexFileFailed = 1,  // the index could not be opened
};

// Forms the file names, maps the data file, the V7+ data file (with
// UsePlusData) and the index of the search kind, prepares the key from
// files->Key and runs the search, which hands every match to OnMatch.
// Returns kSearchDone, or on failure 7, 4 or 1 with "Unable to open NAME"
// in LastErrorText (a name cut to its room counts as a file that cannot be
// opened); a search kind other than by address or by sysop gives 1 with
// "Unknown search kind N". Clears Damaged first; after a search that met a
// damaged file, Damaged is set and LastErrorText names the file ("Damaged
// nodelist file NAME: ..."), and the result is still kSearchDone. A file
// that another program cuts short during the search ends the search there,
// as damage ("cut short while it was read"). Files mapped before a failure
// stay mapped: the caller calls CloseFileSet after a failure, also when
// OnMatch abandoned the search.
//
// A caller may leave a set mapped after a search that ran to its end. The
// next search uses it again when every file it needs is mapped already
// under the same name and the file at that name is still that one,
// unchanged (same identity, size and modification time; compared at most
// once a millisecond); otherwise every slot is closed and the set mapped
// afresh, so that the files of two compilations are never used together.
// A set found replaced while it was being mapped (a compiler renaming its
// files into place) is mapped again, up to three times.
int OpenAndSearch(NodelistFiles* files);

// Releases the four slots (data, V7+, address index, sysop index), marks
// them closed and disarms the search's guard over the mapped reads. Harmless on
// a set that was never opened, and twice.
void CloseFileSet(NodelistFiles* files);

// Forms "%s%s.%s" names from Directory, NodelistName and the extensions:
// DAT always, DTP with UsePlusData (otherwise left empty), and the index of
// the search kind: NDX by address, SDX by sysop or SYSOP.NDX (the directory
// only) with SharedSysopIndex, PDX by phone. A missing Directory or
// NodelistName counts as empty. Names longer than kFileNameRoom are cut
// there and their Fits is 0. Returns 1 when every formed name fits.
int BuildFileNames(const NodelistFiles* files, FileSetNames* names);

// Maps one file read-only into slot. Returns 0 on success; 1 on failure,
// with "Unable to open NAME" in LastErrorText and whatever was obtained
// left in slot for CloseFileSet.
int MapReadOnly(MappedFile* slot, const char* fileName);

// The sysop search key from the whole name the user typed (at most
// kSearchNameSize - 1 characters are read): "Given Names Surname" becomes
// "Surname, Given Names" (split at the last space), each word capitalised,
// and only then cut to kMaxSysopKeyLength characters; key needs
// kMaxSysopKeyLength + 1 bytes. Returns the key's length.
int BuildSysopKey(const char* name, char* key);

// Sets the comparator, key and key length of Search from files->Key for
// the search kind: by address the key record's Zone, Net, Node and
// HubOrPoint (as the point) with KeyLength clamped to 0..8; by sysop the
// key of BuildSysopKey. Returns 0 for any other kind.
int PrepareSearchKey(const NodelistFiles* files);

#endif  // TOLVANE_NODELIST_FILE_SET_H
