#pragma once
// The node database structures, each with its write and its read side:
// HEADER and ROOT, PAGETRAILER, BTPAGE entries, BLOCKTRAILER, XBLOCK and
// XXBLOCK, SLBLOCK and SIBLOCK.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "pst/ndb/bytes.h"
#include "pst/ndb/format.h"

namespace quillmere::pst::ndb {

// "0x" and the value in upper-case hex, for the texts of format errors.
std::string Hex(uint64_t value);

struct BlockRef {
  uint64_t bid = 0;
  uint64_t ib = 0;
  bool operator==(const BlockRef&) const = default;
};

// ROOT inside the HEADER.
struct Root {
  uint64_t ibFileEof = 0;
  uint64_t ibAMapLast = 0;
  uint64_t cbAMapFree = 0;
  uint64_t cbPMapFree = 0;
  BlockRef nbt;
  BlockRef bbt;
  uint8_t fAMapValid = kAMapValid2;
};

struct Header {
  FileFormat format = FileFormat::kUnicode;
  uint16_t wMagicClient = kMagicClient;
  uint16_t wVer = kVersionUnicode;
  uint64_t bidNextB = 4;
  uint64_t bidNextP = 1;
  uint32_t dwUnique = 1;
  std::array<uint32_t, 32> rgnid{};
  Root root;
  std::array<uint8_t, 128> rgbFM{};
  std::array<uint8_t, 128> rgbFP{};
  CryptMethod crypt = CryptMethod::kNone;
};

// The header's bytes, CRCs filled in.
Bytes EncodeHeader(const Header& h);
// Reads a header; throws FormatError naming the field when the magic, the
// version or a CRC is wrong.
Header DecodeHeader(const uint8_t* data, size_t size);

struct PageTrailer {
  uint8_t ptype = 0;
  uint16_t wSig = 0;
  uint32_t dwCRC = 0;
  uint64_t bid = 0;
};
// Fills in the trailer of a page: the CRC over its data part and, for
// B-tree and DList pages, the signature.
void SealPage(const Layout& l, uint8_t* page, uint8_t ptype, uint64_t bid, uint64_t ib);
PageTrailer DecodePageTrailer(const Layout& l, const uint8_t* page);

struct BlockTrailer {
  uint16_t cb = 0;
  uint16_t wSig = 0;
  uint32_t dwCRC = 0;
  uint64_t bid = 0;
  uint16_t cbInflated = 0;  // 4 KB-page files: the size once inflated
  bool Compressed() const { return cbInflated != 0 && cbInflated != cb; }
};
// A whole block as it goes to the file: data, padding and trailer. data is
// the bytes as stored; cbInflated, for 4 KB-page files, the size they
// inflate to (0: stored as they are).
Bytes EncodeBlock(const Layout& l, const uint8_t* data, size_t cb, uint64_t bid, uint64_t ib, uint16_t cbInflated = 0);
BlockTrailer DecodeBlockTrailer(const Layout& l, const uint8_t* block, size_t footprint);

// B-tree entries.
struct BtEntry {
  uint64_t key = 0;
  BlockRef child;
};
struct BbtEntry {
  BlockRef ref;
  uint16_t cb = 0;  // the bytes as stored
  uint16_t cRef = 2;
  uint16_t cbInflated = 0;  // 4 KB-page files only
};
struct NbtEntry {
  uint32_t nid = 0;
  uint64_t bidData = 0;
  uint64_t bidSub = 0;
  uint32_t nidParent = 0;
};

void EncodeBtEntry(const Layout& l, uint8_t* p, const BtEntry& e);
void EncodeBbtEntry(const Layout& l, uint8_t* p, const BbtEntry& e);
void EncodeNbtEntry(const Layout& l, uint8_t* p, const NbtEntry& e);
BtEntry DecodeBtEntry(const Layout& l, const uint8_t* p);
BbtEntry DecodeBbtEntry(const Layout& l, const uint8_t* p);
NbtEntry DecodeNbtEntry(const Layout& l, const uint8_t* p);

// The metadata bytes of a BTPAGE, right before its trailer.
struct BtPageInfo {
  uint16_t cEnt = 0;  // one byte on 512-byte pages, two on 4 KB pages
  uint16_t cEntMax = 0;
  uint8_t cbEnt = 0;
  uint8_t cLevel = 0;
};
void EncodeBtPageInfo(const Layout& l, uint8_t* page, const BtPageInfo& info);
BtPageInfo DecodeBtPageInfo(const Layout& l, const uint8_t* page);
// The checks every reader makes of a BTPAGE before using its entries: the
// page type, the BID its trailer names (the reserved low bit aside), and
// entries that fit the page and are at least as large as the level's
// entries (older writers pad them). Throws FormatError naming the page.
BtPageInfo CheckBtPage(const Layout& l, const uint8_t* page, const BlockRef& ref, uint8_t ptype);

// XBLOCK (cLevel 1) and XXBLOCK (cLevel 2): the BIDs of a node's data blocks.
Bytes EncodeXBlock(const Layout& l, uint8_t cLevel, uint32_t lcbTotal, const std::vector<uint64_t>& bids);
struct XBlock {
  uint8_t cLevel = 0;
  uint32_t lcbTotal = 0;
  std::vector<uint64_t> bids;
};
XBlock DecodeXBlock(const Layout& l, const uint8_t* data, size_t cb);

// SLBLOCK (cLevel 0) entries and SIBLOCK (cLevel 1) entries.
struct SlEntry {
  uint32_t nid = 0;
  uint64_t bidData = 0;
  uint64_t bidSub = 0;
};
struct SiEntry {
  uint32_t nid = 0;
  uint64_t bid = 0;
};
Bytes EncodeSlBlock(const Layout& l, const std::vector<SlEntry>& entries);
Bytes EncodeSiBlock(const Layout& l, const std::vector<SiEntry>& entries);
struct SubnodeBlock {
  uint8_t cLevel = 0;
  std::vector<SlEntry> leaves;     // cLevel 0
  std::vector<SiEntry> children;   // cLevel 1
};
SubnodeBlock DecodeSubnodeBlock(const Layout& l, const uint8_t* data, size_t cb);

}  // namespace quillmere::pst::ndb
