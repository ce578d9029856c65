// The walk through a V7 B-tree index (address or sysop index) in place in
// its mapped view. It visits only the subtrees that can hold entries whose
// key matches the search key over its first KeyLength bytes (address) or
// characters (name), and hands each matching leaf entry's data-file offset
// to ReadNodeRecord, in index order.
//
// A name matches the entries that begin with it and the entries that are
// themselves a beginning of it ("Smith" finds "Smithson" and "Smi"). The
// first kind lie together in the index; each of the second kind is a key of
// its own that may lie anywhere before them, with other keys between. So
// the name is looked up in steps: each shorter beginning of it, shortest
// first, as a whole key, then the name as the beginning of longer keys.
// Every step is an ordered search, so the result is the same whatever the
// shape of the tree.
//
// The index is untrusted: every block number, key offset and key length is
// checked against the block and the mapped size; the walk goes at most
// kMaxWalkDepth levels deep, never enters block 0 or a block on its own
// path, and visits no more blocks than the file has. A block or entry that
// fails a check is skipped and reported with ReportDamage; the search goes
// on with the rest.
//
// Abandoning a search: the listing saves a SearchContext before it calls
// OpenAndSearch; OnMatch may then call ResumeSearchContext, which leaves the
// record reader and every level of the walk at once (longjmp). Therefore no
// object with a destructor may live in any frame that the jump crosses: the
// walk, the record reader and the listing's per-record routine hold plain
// data only, and acquire nothing that would need releasing.
#ifndef TOLVANE_NODELIST_INDEX_SEARCH_H
#define TOLVANE_NODELIST_INDEX_SEARCH_H

#include <csetjmp>
#include <cstddef>
#include <cstdint>

#include "nodelist/records.h"

// Compares an entry's key (entryLength bytes in the mapped block) with the
// search key: negative when the entry sorts before it, 0 when it matches,
// positive when it sorts after it.
typedef int (*KeyComparator)(const unsigned char* entryKey,
                             const void* searchKey, int entryLength);

enum {
  kMaxSysopKeyLength = 25,  // characters of a sysop search key
  kMaxWalkDepth = 32,       // levels; real trees have three or four
};

// The state of the one running search, set by OpenAndSearch (comparator,
// key, key length, kind of keys) and StartSearch (the rest).
struct SearchState {
  KeyComparator Compare;
  const void* SearchKey;  // an FtnAddress, or the name key text
  int KeyLength;          // address: 0..8 bytes; name: 0..25 characters
  int AddressKeys;        // 1: entry keys must be 6 or 8 bytes long
  int NameStep;           // name: 0 the entries beginning with the key,
                          // n > 0 the entries equal to its first n
                          // characters (set by StartSearch)
  uint16_t NextPart;      // last value delivered under OnePerNextPart
  const unsigned char* IndexBase;
  size_t IndexSize;
  uint32_t BlockSize;
  uint32_t BlockCount;  // whole blocks in the file, block 0 included
  uint32_t Visits;      // blocks entered in this search
  int Depth;            // blocks on the current path
  uint32_t Path[kMaxWalkDepth];
};

extern SearchState Search;

// Walks the index at files->ActiveIndex (files->ActiveIndexSize bytes)
// from its root with the comparator, key and key length already in Search;
// name keys in the steps above. Returns the sum of the record reader's
// results (not used by anyone). An index too short for its control block,
// or with a block size below the block header and one entry or beyond the
// file, is damage: nothing is delivered.
int StartSearch(NodelistFiles* files);

// Walks one block and, recursively, the subtrees that can hold matches.
// Returns the sum of the record reader's results for delivered entries.
int WalkBlock(NodelistFiles* files, uint32_t block);

// Address keys: zone, net, node and, in 8-byte keys, point, each an
// unsigned 16-bit number; searchKey is an FtnAddress. Search.KeyLength
// bytes must be equal; a 6-byte node entry sorts before its points and
// matches a search point of 0. entryLength is at least 6.
int CompareAddressKey(const unsigned char* entryKey, const void* searchKey,
                      int entryLength);

// Name keys, compared without regard to case by the host's LStrnicmp
// (plain ASCII when the host has none), in the order of the index (a key
// that is a beginning of another sorts first). At Search.NameStep 0 an
// entry that begins with the first Search.KeyLength characters of the key
// matches, and a shorter entry sorts before them; at step n an entry
// matches when it equals the key's first n characters.
int CompareSysopKey(const unsigned char* entryKey, const void* searchKey,
                    int entryLength);

// The execution context to which a search can be abandoned.
struct SearchContext {
  jmp_buf Buffer;
};

// Saves the context; 0 when saved, non-zero when resumed. A macro, because
// setjmp must run in the frame that stays: use it in the listing routine
// itself, e.g. `if (SaveSearchContext(&context) != 0) { failure path }`.
#define SaveSearchContext(context) setjmp((context)->Buffer)

// Continues at the SaveSearchContext of `context` with a result of 1. The
// frame that saved it must still be running.
[[noreturn]] void ResumeSearchContext(SearchContext* context);

#endif  // TOLVANE_NODELIST_INDEX_SEARCH_H
