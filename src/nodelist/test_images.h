// Test support: small V7/V7+ file images built in memory (data records,
// V7+ records and B-tree indexes written block by block), so that the
// reader can be tested, and corrupted at named offsets, without the
// compiler. Header only: files under src/nodelist that are not tests go
// into the product library.
#ifndef TOLVANE_NODELIST_TEST_IMAGES_H
#define TOLVANE_NODELIST_TEST_IMAGES_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "nodelist/v7_format.h"

namespace test_images {

typedef std::vector<unsigned char> Bytes;

inline void PutU16(Bytes* out, size_t at, uint32_t value) {
  if (out->size() < at + 2) out->resize(at + 2);
  (*out)[at] = static_cast<unsigned char>(value);
  (*out)[at + 1] = static_cast<unsigned char>(value >> 8);
}

inline void PutU32(Bytes* out, size_t at, uint32_t value) {
  PutU16(out, at, value & 0xFFFF);
  PutU16(out, at + 2, value >> 16);
}

inline unsigned AlphabetEntry(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  const char* hit = c ? std::strchr(v7::kAlphabet, c) : nullptr;
  return hit ? static_cast<unsigned>(hit - v7::kAlphabet) : 0;
}

// Base-40 packing as the compiler writes it: blanks pad to whole words.
inline Bytes PackText(std::string text) {
  while (text.size() % 3) text += ' ';
  Bytes packed;
  for (size_t i = 0; i < text.size(); i += 3) {
    uint32_t word = AlphabetEntry(text[i]) * 1600 +
                    AlphabetEntry(text[i + 1]) * 40 +
                    AlphabetEntry(text[i + 2]);
    PutU16(&packed, packed.size(), word);
  }
  return packed;
}

struct RecordFields {
  uint16_t Zone, Net, Node, HubOrPoint;
  uint16_t CallCost;
  uint16_t NodeFlags;
  uint8_t Baud;  // bits per second / 300
  std::string Phone, Password, System, Sysop, Location;
  std::string After;  // packed after the three texts (the V7+ offset)
};

inline std::string PlusOffsetText(uint32_t offset) {
  char text[9];
  std::snprintf(text, sizeof(text), "%08X", offset);
  return text;
}

// Appends a data record; returns its offset.
inline uint32_t AppendRecord(Bytes* dat, const RecordFields& fields) {
  uint32_t at = static_cast<uint32_t>(dat->size());
  Bytes packed =
      PackText(fields.System + fields.Sysop + fields.Location + fields.After);
  dat->resize(at + v7::kRecFixedSize);
  unsigned char* fixed = dat->data() + at;
  std::memset(fixed, 0, v7::kRecFixedSize);
  PutU16(dat, at + v7::kRecZone, fields.Zone);
  PutU16(dat, at + v7::kRecNet, fields.Net);
  PutU16(dat, at + v7::kRecNode, fields.Node);
  PutU16(dat, at + v7::kRecHubOrPoint, fields.HubOrPoint);
  PutU16(dat, at + v7::kRecCallCost, fields.CallCost);
  PutU16(dat, at + v7::kRecNodeFlags, fields.NodeFlags);
  (*dat)[at + v7::kRecPhoneLen] = static_cast<unsigned char>(fields.Phone.size());
  (*dat)[at + v7::kRecPasswordLen] =
      static_cast<unsigned char>(fields.Password.size());
  (*dat)[at + v7::kRecSystemLen] =
      static_cast<unsigned char>(fields.System.size());
  (*dat)[at + v7::kRecSysopLen] = static_cast<unsigned char>(fields.Sysop.size());
  (*dat)[at + v7::kRecLocationLen] =
      static_cast<unsigned char>(fields.Location.size());
  (*dat)[at + v7::kRecPackedLen] = static_cast<unsigned char>(packed.size());
  (*dat)[at + v7::kRecBaud] = fields.Baud;
  dat->insert(dat->end(), fields.Phone.begin(), fields.Phone.end());
  dat->insert(dat->end(), fields.Password.begin(), fields.Password.end());
  dat->insert(dat->end(), packed.begin(), packed.end());
  return at;
}

// A V7+ data file with its header and no entries yet.
inline Bytes PlusHeader(uint8_t linkSize = v7::kDtpUsualLinkSize,
                        uint8_t furtherSize = v7::kDtpUsualFurtherSize) {
  Bytes dtp(v7::kDtpHeaderSize, 0);
  PutU16(&dtp, v7::kDtpControlSize, 5);
  dtp[v7::kDtpLinkSize] = linkSize;
  dtp[v7::kDtpFurtherSize] = furtherSize;
  return dtp;
}

// Appends a V7+ entry (no line when hasLine is false); returns its offset.
inline uint32_t AppendPlusEntry(Bytes* dtp, uint16_t region, bool isPoint,
                                const std::string& line, bool hasLine = true) {
  uint32_t at = static_cast<uint32_t>(dtp->size());
  size_t links =
      (*dtp)[v7::kDtpLinkSize] + (isPoint ? 0 : (*dtp)[v7::kDtpFurtherSize]);
  dtp->resize(at + links, 0xFF);
  PutU16(dtp, at + v7::kLnkRegion, region);
  PutU16(dtp, at + links, hasLine ? line.size() + 1 : v7::kNoLine);
  if (hasLine) {
    dtp->insert(dtp->end(), line.begin(), line.end());
    dtp->push_back(0);
  }
  return at;
}

inline std::string NodeKey(uint16_t zone, uint16_t net, uint16_t node) {
  Bytes key;
  PutU16(&key, 0, zone);
  PutU16(&key, 2, net);
  PutU16(&key, 4, node);
  return std::string(key.begin(), key.end());
}

inline std::string PointKey(uint16_t zone, uint16_t net, uint16_t node,
                            uint16_t point) {
  std::string key = NodeKey(zone, net, node);
  key += static_cast<char>(point & 0xFF);
  key += static_cast<char>(point >> 8);
  return key;
}

struct IndexEntry {
  std::string Key;
  uint32_t Data;
};

// A child block of a level under construction: its number and first key.
struct LevelBlock {
  uint32_t Number;
  IndexEntry First;
};

// Writes one tree block. `entries` are leaf entries (firstChild
// kLeafMark) or index entries with their right children in `children`.
inline void WriteBlock(Bytes* image, uint32_t blockSize, uint32_t number,
                       uint32_t firstChild,
                       const std::vector<IndexEntry>& entries,
                       const std::vector<uint32_t>& children) {
  size_t base = size_t{number} * blockSize;
  if (image->size() < base + blockSize) image->resize(base + blockSize, 0);
  bool leaf = firstChild == v7::kLeafMark;
  uint32_t entrySize = leaf ? v7::kLeafEntrySize : v7::kIndexEntrySize;
  PutU32(image, base + v7::kBlkFirstChild, firstChild);
  PutU16(image, base + v7::kBlkCount, static_cast<uint32_t>(entries.size()));
  uint32_t keyAt = blockSize;
  for (size_t j = 0; j < entries.size(); ++j) {
    const std::string& key = entries[j].Key;
    if (key.size() > keyAt)
      throw std::logic_error("test index keys overflow their block");
    keyAt -= static_cast<uint32_t>(key.size());
    std::memcpy(image->data() + base + keyAt, key.data(), key.size());
    size_t entry = base + v7::kBlkHeaderSize + j * entrySize;
    PutU16(image, entry + v7::kEntKeyOffset, keyAt);
    PutU16(image, entry + v7::kEntKeyLength, static_cast<uint32_t>(key.size()));
    PutU32(image, entry + v7::kEntData, entries[j].Data);
    if (!leaf) PutU32(image, entry + v7::kEntChild, children[j]);
  }
  if (keyAt < v7::kBlkHeaderSize + entries.size() * entrySize)
    throw std::logic_error("test index block overflows its block size");
  PutU16(image, base + v7::kBlkKeyStart, keyAt);
}

// A B+-tree over `entries` (in key order): leaves of up to perBlock
// entries, index blocks of up to perBlock + 1 children above them whose
// keys repeat the first key of their right subtree, as compilers write.
inline Bytes BuildIndex(const std::vector<IndexEntry>& entries,
                        uint32_t blockSize = v7::kUsualBlockSize,
                        size_t perBlock = 20) {
  Bytes image(blockSize, 0);
  uint32_t next = 1;
  std::vector<LevelBlock> level;
  for (size_t i = 0; i < entries.size() || i == 0; i += perBlock) {
    size_t end = std::min(entries.size(), i + perBlock);
    std::vector<IndexEntry> chunk(entries.begin() + i, entries.begin() + end);
    WriteBlock(&image, blockSize, next, v7::kLeafMark, chunk, {});
    level.push_back({next++, chunk.empty() ? IndexEntry{} : chunk[0]});
  }
  uint32_t levels = 1;
  while (level.size() > 1) {
    std::vector<LevelBlock> upper;
    for (size_t i = 0; i < level.size(); i += perBlock + 1) {
      size_t end = std::min(level.size(), i + perBlock + 1);
      std::vector<IndexEntry> keys;
      std::vector<uint32_t> children;
      for (size_t c = i + 1; c < end; ++c) {
        keys.push_back(level[c].First);
        children.push_back(level[c].Number);
      }
      WriteBlock(&image, blockSize, next, level[i].Number, keys, children);
      upper.push_back({next++, level[i].First});
    }
    level = upper;
    ++levels;
  }
  PutU16(&image, v7::kCtlBlockSize, blockSize);
  PutU32(&image, v7::kCtlRoot, level[0].Number);
  PutU32(&image, v7::kCtlHighBlock, next - 1);
  PutU16(&image, v7::kCtlLevels, levels);
  return image;
}

}  // namespace test_images

#endif  // TOLVANE_NODELIST_TEST_IMAGES_H
