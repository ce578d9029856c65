// The V7 and V7+ nodelist files: layout constants, one line each. The
// reader (src/nodelist) and the compiler (tools/) both take them from here.
// All numbers in the files are little-endian.
#ifndef TOLVANE_NODELIST_V7_FORMAT_H
#define TOLVANE_NODELIST_V7_FORMAT_H

#include <cstdint>

namespace v7 {

// Index files (NDX, SDX, SYSOP.NDX, PDX): block 0 is the control block.
const uint32_t kCtlBlockSize = 0;   // u16 block size in bytes
const uint32_t kCtlRoot = 2;        // u32 root block number
const uint32_t kCtlHighBlock = 6;   // u32 highest block in use
const uint32_t kCtlFirstLeaf = 10;  // u32 first leaf block
const uint32_t kCtlLastLeaf = 14;   // u32 last leaf block
const uint32_t kCtlFreeList = 18;   // u32 head of the free list, 0 = none
const uint32_t kCtlLevels = 22;     // u16 number of levels
const uint32_t kCtlParity = 24;     // u16 XOR of the twelve words at 0..22
const uint32_t kCtlUsedBytes = 26;  // bytes of the control block in use
const uint32_t kUsualBlockSize = 512;

// Every other block: a 16-byte header, then entries, key texts at the end.
const uint32_t kBlkFirstChild = 0;  // u32, kLeafMark in a leaf
const uint32_t kBlkPrev = 4;        // u32 previous block at this level
const uint32_t kBlkNext = 8;        // u32 next block at this level, 0 none
const uint32_t kBlkCount = 12;      // i16 number of entries
const uint32_t kBlkKeyStart = 14;   // u16 offset of the first key text
const uint32_t kBlkHeaderSize = 16;
const uint32_t kLeafMark = 0xFFFFFFFFu;

const uint32_t kIndexEntrySize = 12;  // key offset, key length, data, child
const uint32_t kLeafEntrySize = 8;    // key offset, key length, data offset
const uint32_t kEntKeyOffset = 0;     // u16 offset of the key in the block
const uint32_t kEntKeyLength = 2;     // u16 key length in bytes
const uint32_t kEntData = 4;          // u32 data-file offset
const uint32_t kEntChild = 8;         // u32 right child (index entries)

const uint32_t kNodeKeySize = 6;   // u16 zone, net, node
const uint32_t kPointKeySize = 8;  // and u16 point
const uint32_t kMaxSysopKey = 26;  // longest sysop key seen in the wild

// Data file (DAT) record: 22 fixed bytes, then phone, password, packed text.
const uint32_t kRecZone = 0;          // u16
const uint32_t kRecNet = 2;           // u16
const uint32_t kRecNode = 4;          // u16
const uint32_t kRecHubOrPoint = 6;    // u16 hub node, or point number
const uint32_t kRecCallCost = 8;      // u16
const uint32_t kRecMsgFee = 10;       // u16, not read
const uint32_t kRecNodeFlags = 12;    // u16
const uint32_t kRecModemType = 14;    // u8, not read
const uint32_t kRecPhoneLen = 15;     // u8 bytes
const uint32_t kRecPasswordLen = 16;  // u8 bytes
const uint32_t kRecSystemLen = 17;    // u8 unpacked characters
const uint32_t kRecSysopLen = 18;     // u8 unpacked characters
const uint32_t kRecLocationLen = 19;  // u8 unpacked characters
const uint32_t kRecPackedLen = 20;    // u8 bytes of packed text
const uint32_t kRecBaud = 21;         // u8 bits per second / 300
const uint32_t kRecFixedSize = 22;

// Node flag bits.
const uint16_t kFlagHub = 0x0001;
const uint16_t kFlagHost = 0x0002;
const uint16_t kFlagRegion = 0x0004;
const uint16_t kFlagZone = 0x0008;
const uint16_t kFlagContinuousMail = 0x0010;
const uint16_t kFlagPoint = 0x1000;

// Base-40 packing: three characters to a 16-bit word, c0*1600 + c1*40 + c2.
// Entry 39 of the alphabet decodes to a zero byte.
const char kAlphabet[] = " EANROSTILCHBDMUGPKYWFVJXZQ-'0123456789";
const unsigned kAlphabetSize = 40;
const unsigned kPlusOffsetDigits = 8;  // V7+: hex DTP offset after the texts

// V7+ data file (DTP) header.
const uint32_t kDtpControlSize = 0;  // u16 size of the control part (5)
const uint32_t kDtpVersion = 2;      // u8 version (0)
const uint32_t kDtpLinkSize = 3;     // u8 size of the common link block
const uint32_t kDtpFurtherSize = 4;  // u8 size of the further link block
const uint32_t kDtpTopCount = 5;     // u16 number of top-level systems
const uint32_t kDtpTopFirst = 7;     // u32 DAT offset of the first of them
const uint32_t kDtpHeaderSize = 11;
const uint8_t kDtpUsualLinkSize = 18;
const uint8_t kDtpUsualFurtherSize = 6;

// V7+ entry: common link block, further block (not for points), then the
// u16 line length (0xFFFF: no line) and the zero-terminated line.
const uint32_t kLnkRegion = 0;        // u16
const uint32_t kLnkHub = 2;           // u16
const uint32_t kLnkNextSysop = 4;     // u32 DAT offset, kNoLink for none
const uint32_t kLnkNextPhone = 8;     // u32
const uint32_t kLnkNextSibling = 12;  // u32
const uint32_t kLnkSysopSeq = 16;     // u8
const uint32_t kLnkPhoneSeq = 17;     // u8
const uint32_t kFurDownlinks = 0;     // u16 number of direct downlinks
const uint32_t kFurFirstDown = 2;     // u32 DAT offset of the first
const uint32_t kNoLink = 0xFFFFFFFFu;
const uint16_t kNoLine = 0xFFFF;

}  // namespace v7

#endif  // TOLVANE_NODELIST_V7_FORMAT_H
