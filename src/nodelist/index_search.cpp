#include "nodelist/index_search.h"

#include "host/host_binding.h"
#include "nodelist/bytes.h"
#include "nodelist/record_reader.h"
#include "nodelist/v7_format.h"

SearchState Search;

namespace {

// One block of the index, as the walk reads it.
struct BlockView {
  uint32_t Number;
  const unsigned char* Base;
  uint32_t FirstChild;
  int Count;
};

int IsLeaf(const BlockView& view) { return view.FirstChild == v7::kLeafMark; }

int ReadControlBlock(NodelistFiles* files) {
  if (!Search.IndexBase || Search.IndexSize < v7::kCtlRoot + 4) {
    ReportDamage(files, kIndexFileKind, "index too short", Search.IndexSize);
    return 0;
  }
  uint32_t blockSize = ReadU16(Search.IndexBase + v7::kCtlBlockSize);
  if (blockSize < v7::kBlkHeaderSize + v7::kLeafEntrySize ||
      blockSize > Search.IndexSize) {
    ReportDamage(files, kIndexFileKind, "bad block size", blockSize);
    return 0;
  }
  Search.BlockSize = blockSize;
  Search.BlockCount = static_cast<uint32_t>(Search.IndexSize / blockSize);
  return 1;
}

int PathHolds(uint32_t block) {
  for (int i = 0; i < Search.Depth; ++i)
    if (Search.Path[i] == block) return 1;
  return 0;
}

// What is wrong with following a child pointer to `block`, or null.
const char* BlockFault(uint32_t block) {
  if (block == 0) return "child points to the control block";
  if (block >= Search.BlockCount) return "block number out of range";
  if (Search.Depth >= kMaxWalkDepth) return "tree too deep at block";
  if (PathHolds(block)) return "loop at block";
  if (Search.Visits >= Search.BlockCount - 1) return "block reached twice";
  return nullptr;
}

// Checks and locates a block and puts it on the path. Returns 0 (after
// reporting the damage) when it cannot be walked.
int EnterBlock(NodelistFiles* files, uint32_t block, BlockView* view) {
  if (const char* fault = BlockFault(block)) {
    ReportDamage(files, kIndexFileKind, fault, block);
    return 0;
  }
  view->Number = block;
  view->Base = Search.IndexBase + uint64_t{block} * Search.BlockSize;
  view->FirstChild = ReadU32(view->Base + v7::kBlkFirstChild);
  view->Count = static_cast<int16_t>(ReadU16(view->Base + v7::kBlkCount));
  uint32_t entrySize = IsLeaf(*view) ? v7::kLeafEntrySize : v7::kIndexEntrySize;
  if (view->Count < 0 || uint32_t(view->Count) * entrySize >
                             Search.BlockSize - v7::kBlkHeaderSize) {
    ReportDamage(files, kIndexFileKind, "bad entry count in block", block);
    return 0;
  }
  Search.Path[Search.Depth++] = block;
  ++Search.Visits;
  return 1;
}

const unsigned char* EntryAt(const BlockView& view, int j) {
  uint32_t size = IsLeaf(view) ? v7::kLeafEntrySize : v7::kIndexEntrySize;
  return view.Base + v7::kBlkHeaderSize + uint32_t(j) * size;
}

// Locates entry j's key inside its block. Returns 0 (after reporting the
// damage) when the key leaves the block or has the wrong length.
int EntryKey(NodelistFiles* files, const BlockView& view, int j,
             const unsigned char** key, int* length) {
  const unsigned char* entry = EntryAt(view, j);
  uint32_t offset = ReadU16(entry + v7::kEntKeyOffset);
  uint32_t size = ReadU16(entry + v7::kEntKeyLength);
  int badLength = Search.AddressKeys && size != v7::kNodeKeySize &&
                  size != v7::kPointKeySize;
  if (badLength || offset + size > Search.BlockSize) {
    ReportDamage(files, kIndexFileKind, "bad key in block", view.Number);
    return 0;
  }
  *key = view.Base + offset;
  *length = static_cast<int>(size);
  return 1;
}

// The subtree left of entry j: the first child for j = 0, else entry
// j - 1's right child.
uint32_t LeftOf(const BlockView& view, int j) {
  if (j == 0) return view.FirstChild;
  return ReadU32(EntryAt(view, j - 1) + v7::kEntChild);
}

uint32_t RightOf(const BlockView& view, int j) {
  return ReadU32(EntryAt(view, j) + v7::kEntChild);
}

// An entry whose key cannot be read counts as a match in an index block,
// so that both its neighbours are walked and nothing is lost there.
int WalkIndex(NodelistFiles* files, const BlockView& view) {
  if (view.Count == 0) return WalkBlock(files, view.FirstChild);
  int sum = 0, lastMatched = -1, comparison = 0, j = 0;
  for (; j < view.Count; ++j) {
    const unsigned char* key = nullptr;
    int length = 0;
    comparison = EntryKey(files, view, j, &key, &length)
                     ? Search.Compare(key, Search.SearchKey, length)
                     : 0;
    if (comparison > 0) break;
    if (comparison < 0) continue;
    if (j == 0 || lastMatched != j - 1)
      sum += WalkBlock(files, LeftOf(view, j));
    sum += WalkBlock(files, RightOf(view, j));
    lastMatched = j;
  }
  if (j == view.Count && comparison == 0) return sum;
  if (j == 0 || lastMatched != j - 1) sum += WalkBlock(files, LeftOf(view, j));
  return sum;
}

// Under OnePerNextPart: 1 when the entry repeats the address part after
// the key of the entry delivered last.
int RepeatsNextPart(NodelistFiles* files, const unsigned char* key) {
  if (!Search.AddressKeys || !(files->Flags & OnePerNextPart) ||
      Search.KeyLength < 0 || Search.KeyLength > 4)
    return 0;
  uint16_t part = ReadU16(key + Search.KeyLength);
  if (part == Search.NextPart) return 1;
  Search.NextPart = part;
  return 0;
}

int WalkLeaf(NodelistFiles* files, const BlockView& view) {
  int sum = 0;
  for (int j = 0; j < view.Count; ++j) {
    const unsigned char* key = nullptr;
    int length = 0;
    if (!EntryKey(files, view, j, &key, &length)) continue;
    int comparison = Search.Compare(key, Search.SearchKey, length);
    if (comparison > 0) break;
    if (comparison < 0 || RepeatsNextPart(files, key)) continue;
    sum += ReadNodeRecord(files, ReadU32(EntryAt(view, j) + v7::kEntData));
  }
  return sum;
}

// One whole walk; the guards against loops start afresh.
int WalkFromRoot(NodelistFiles* files, uint32_t root) {
  Search.Depth = 0;
  Search.Visits = 0;
  return WalkBlock(files, root);
}

int AsciiCompareNoCase(const char* a, const char* b, int n) {
  for (int i = 0; i < n; ++i) {
    int x = static_cast<unsigned char>(a[i]);
    int y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x -= 'a' - 'A';
    if (y >= 'a' && y <= 'z') y -= 'a' - 'A';
    if (x != y) return x - y;
    if (x == 0) return 0;
  }
  return 0;
}

}  // namespace

int StartSearch(NodelistFiles* files) {
  Search.IndexBase = files->ActiveIndex;
  Search.IndexSize = files->ActiveIndex ? files->ActiveIndexSize : 0;
  Search.NextPart = 0xFFFF;
  Search.NameStep = 0;
  if (!ReadControlBlock(files)) return 0;
  uint32_t root = ReadU32(Search.IndexBase + v7::kCtlRoot);
  if (Search.AddressKeys) return WalkFromRoot(files, root);
  // The shorter beginnings of the name first: they sort before the entries
  // that begin with the whole name.
  int sum = 0;
  for (int step = 1; step < Search.KeyLength; ++step) {
    Search.NameStep = step;
    sum += WalkFromRoot(files, root);
  }
  Search.NameStep = 0;
  return sum + WalkFromRoot(files, root);
}

int WalkBlock(NodelistFiles* files, uint32_t block) {
  BlockView view;
  if (!EnterBlock(files, block, &view)) return 0;
  int sum = IsLeaf(view) ? WalkLeaf(files, view) : WalkIndex(files, view);
  --Search.Depth;
  return sum;
}

int CompareAddressKey(const unsigned char* entryKey, const void* searchKey,
                      int entryLength) {
  const FtnAddress* key = static_cast<const FtnAddress*>(searchKey);
  int length = Search.KeyLength;
  if (length < 2) return 0;
  int difference = ReadU16(entryKey) - key->Zone;
  if (difference != 0) return difference;
  if (length < 4) return 0;
  difference = ReadU16(entryKey + 2) - key->Net;
  if (difference != 0) return difference;
  if (length < 6) return 0;
  difference = ReadU16(entryKey + 4) - key->Node;
  if (difference != 0) return difference;
  if (entryLength < static_cast<int>(v7::kPointKeySize))
    return key->Point == 0 ? 0 : -static_cast<int>(key->Point);
  if (length < 8) return 0;
  return ReadU16(entryKey + 6) - key->Point;
}

int CompareSysopKey(const unsigned char* entryKey, const void* searchKey,
                    int entryLength) {
  int length = Search.NameStep > 0 ? Search.NameStep : Search.KeyLength;
  int count = length < entryLength ? length : entryLength;
  if (count > 0) {
    const char* entry = reinterpret_cast<const char*>(entryKey);
    const char* key = static_cast<const char*>(searchKey);
    int order = HostFunctions.LStrnicmp
                    ? HostFunctions.LStrnicmp(entry, key, count)
                    : AsciiCompareNoCase(entry, key, count);
    if (order != 0) return order;
  }
  if (Search.NameStep > 0) return entryLength - length;
  // A shorter entry is a beginning of the key: its own step finds it.
  return entryLength < length ? -1 : 0;
}

void ResumeSearchContext(SearchContext* context) {
  std::longjmp(context->Buffer, 1);
}
