// Test support: runs searches over in-memory file images through the real
// key preparation, walk and record reader, collecting what OnMatch gets.
#ifndef TOLVANE_NODELIST_TEST_HARNESS_H
#define TOLVANE_NODELIST_TEST_HARNESS_H

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "host/host_binding.h"
#include "nodelist/file_set.h"
#include "nodelist/index_search.h"
#include "nodelist/record_reader.h"
#include "nodelist/records.h"
#include "nodelist/test_images.h"

namespace test_harness {

using test_images::Bytes;

// A stand-in for the host's case-insensitive counted compare.
inline int FARAPI TestStrnicmp(const char* a, const char* b, int n) {
  for (int i = 0; i < n; ++i) {
    int x = std::toupper(static_cast<unsigned char>(a[i]));
    int y = std::toupper(static_cast<unsigned char>(b[i]));
    if (x != y) return x - y;
    if (x == 0) return 0;
  }
  return 0;
}

// The V7+ line (CurrentPlusLine) of each collected record, "-" for none.
inline std::vector<std::string> PlusLines;

inline int CollectRecord(NodeRecord* record, void* data) {
  static_cast<std::vector<NodeRecord>*>(data)->push_back(*record);
  PlusLines.push_back(CurrentPlusLine ? CurrentPlusLine : "-");
  return 1;
}

inline void ViewOf(MappedFile* slot, const Bytes& bytes) {
  slot->View = bytes.data();
  slot->Size = bytes.size();
}

// The file images of one search; the vectors must outlive it.
struct Images {
  Bytes Data;
  Bytes Plus;
  Bytes Index;
};

// Clears the file set, the error text and the names and points the data,
// V7+ and address slots at the images.
inline void Prepare(const Images& images, uint16_t flags) {
  std::memset(&Nodelist, 0, sizeof(Nodelist));
  std::memset(&SearchKey, 0, sizeof(SearchKey));
  std::memset(&NodelistFileNames, 0, sizeof(NodelistFileNames));
  std::strcpy(NodelistFileNames.Data.Text, "TEST.DAT");
  std::strcpy(NodelistFileNames.Plus.Text, "TEST.DTP");
  std::strcpy(NodelistFileNames.Index.Text, "TEST.NDX");
  LastErrorText[0] = '\0';
  PlusLines.clear();
  HostFunctions.LStrnicmp = TestStrnicmp;
  Nodelist.Key = &SearchKey;
  Nodelist.OnMatch = CollectRecord;
  Nodelist.Flags = flags;
  ViewOf(&Nodelist.DataFile, images.Data);
  ViewOf(&Nodelist.PlusFile, images.Plus);
  ViewOf(&Nodelist.AddressIndex, images.Index);
  Nodelist.ActiveIndex = images.Index.data();
  Nodelist.ActiveIndexSize = images.Index.size();
}

inline std::vector<NodeRecord> Walk() {
  std::vector<NodeRecord> found;
  Nodelist.MatchData = &found;
  PrepareSearchKey(&Nodelist);
  StartSearch(&Nodelist);
  return found;
}

inline std::vector<NodeRecord> SearchAddress(const Images& images,
                                             FtnAddress key, int keyLength,
                                             uint16_t flags = 0) {
  Prepare(images, flags);
  Nodelist.SearchKind = SearchByAddress;
  Nodelist.KeyLength = static_cast<int16_t>(keyLength);
  SearchKey.Zone = key.Zone;
  SearchKey.Net = key.Net;
  SearchKey.Node = key.Node;
  SearchKey.HubOrPoint = key.Point;
  return Walk();
}

inline std::vector<NodeRecord> SearchSysop(const Images& images,
                                           const char* name) {
  Prepare(images, 0);
  Nodelist.SearchKind = SearchBySysop;
  std::snprintf(SearchKey.SysopName, sizeof(SearchKey.SysopName), "%s", name);
  return Walk();
}

// "z:n/f.p" of every record, joined by blanks.
inline std::string Addresses(const std::vector<NodeRecord>& records) {
  std::string text;
  for (const NodeRecord& r : records) {
    char one[40];
    std::snprintf(one, sizeof(one), "%s%u:%u/%u.%u", text.empty() ? "" : " ",
                  r.Zone, r.Net, r.Node,
                  (r.NodeFlags & v7::kFlagPoint) ? r.HubOrPoint : 0u);
    text += one;
  }
  return text;
}

}  // namespace test_harness

#endif  // TOLVANE_NODELIST_TEST_HARNESS_H
