#pragma once
// The node database layer: sizes and constants of the on-disk structures.
// Unicode, ANSI and 4 KB-page Unicode files (the offline files of newer
// mail clients) share one code path; the sizes that differ are looked up
// here.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace quillmere::pst {

// kUnicode4k: Unicode with 4 KB B-tree pages, blocks of up to 64 KB on
// 512-byte boundaries, and data blocks that may be deflate-compressed.
enum class FileFormat { kUnicode, kAnsi, kUnicode4k };

// bCryptMethod: how data blocks are encoded.
enum class CryptMethod : uint8_t { kNone = 0x00, kPermute = 0x01 };

// The one error type of the format library; the message names the structure
// and the field at fault.
class FormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

namespace ndb {

constexpr uint32_t kHeaderMagic = 0x4E444221;  // "!BDN"
constexpr uint16_t kMagicClient = 0x4D53;      // "SM"
constexpr uint16_t kMagicClientOst = 0x4F53;   // "SO", offline files
constexpr uint16_t kVersionUnicode = 23;
constexpr uint16_t kVersionAnsi = 14;
constexpr uint16_t kVersionUnicode4k = 36;
constexpr uint16_t kClientVersion = 19;
constexpr uint8_t kPlatform = 0x01;
constexpr uint8_t kSentinel = 0x80;
constexpr uint8_t kAMapValid2 = 0x02;

constexpr size_t kHeaderSizeUnicode = 564;
constexpr size_t kHeaderSizeAnsi = 512;
constexpr size_t kPageSize = 512;
constexpr size_t kBlockAlign = 64;
constexpr size_t kMaxBlockSize = 8192;
constexpr size_t kPageSize4k = 4096;
constexpr size_t kBlockAlign4k = 512;

// Fixed places of the allocation maps.
constexpr uint64_t kDListOffset = 0x4200;
constexpr uint64_t kFirstAMapOffset = 0x4400;
constexpr uint64_t kAMapCoverage = 496 * 8 * 64;  // 253,952 bytes per AMap
constexpr uint64_t kAMapsPerPMap = 8;
constexpr uint64_t kAMapsInHeaderFMap = 128;     // rgbFM covers the first 128 AMaps
constexpr uint64_t kAMapsPerFMap = 496;
constexpr uint64_t kAMapsInHeaderFPMap = 128 * 8 * 8;  // rgbFP: one bit per PMap
constexpr uint64_t kAMapsPerFPMap = 496 * 8 * 8;
// 4 KB-page files: where the first data lies (the files we write in that
// format carry no allocation maps and mark them invalid).
constexpr uint64_t kFirstDataOffset4k = 0x22000;
constexpr uint8_t kAMapInvalid = 0x00;

// ptype of the page trailer.
enum PageType : uint8_t {
  kPageBBT = 0x80,
  kPageNBT = 0x81,
  kPageFMap = 0x82,
  kPagePMap = 0x83,
  kPageAMap = 0x84,
  kPageFPMap = 0x85,
  kPageDList = 0x86,
};

// btype of internal blocks.
constexpr uint8_t kBlockTypeXBlock = 0x01;
constexpr uint8_t kBlockTypeSLBlock = 0x02;

constexpr uint64_t kBidInternal = 0x2;  // fInternal bit of a BID

// The sizes that differ between the two formats.
struct Layout {
  bool unicode;
  size_t bidSize;            // BID, IB and the NID fields of B-tree entries
  size_t headerSize;
  size_t pageTrailerSize;
  size_t pageDataSize;       // bytes of a page before its trailer
  size_t btEntriesSize;      // rgentries of a BTPAGE
  size_t blockTrailerSize;
  size_t maxBlockData;       // the largest cb of one data block
  size_t btEntrySize;        // intermediate BTENTRY
  size_t bbtEntrySize;
  size_t nbtEntrySize;
  size_t slEntrySize;
  size_t siEntrySize;
  size_t slBlockHeader;      // btype, cLevel, cEnt (and padding in Unicode)
  size_t pageSize = kPageSize;
  size_t blockAlign = kBlockAlign;
  bool fourK = false;        // 2-byte entry counts, cbInflated, compression

  static Layout For(FileFormat f) {
    if (f == FileFormat::kUnicode)
      return {true, 8, kHeaderSizeUnicode, 16, 496, 488, 16, 8176, 24, 24, 32, 24, 16, 8};
    if (f == FileFormat::kUnicode4k)
      return {true, 8, kHeaderSizeUnicode, 24, 4072, 4056, 24, 65512, 24, 24, 32, 24, 16, 8,
              kPageSize4k, kBlockAlign4k, true};
    return {false, 4, kHeaderSizeAnsi, 12, 500, 496, 12, 8180, 12, 12, 16, 12, 8, 4};
  }
  size_t MaxXBlockEntries() const { return (maxBlockData - 8) / bidSize; }
  size_t MaxSLEntries() const { return (maxBlockData - slBlockHeader) / slEntrySize; }
  size_t MaxSIEntries() const { return (maxBlockData - slBlockHeader) / siEntrySize; }
};

inline uint64_t AlignUp(uint64_t v, uint64_t a) { return (v + a - 1) / a * a; }
// The space a block of cb data bytes takes in the file, trailer included.
inline uint64_t BlockFootprint(const Layout& l, size_t cb) { return AlignUp(cb + l.blockTrailerSize, l.blockAlign); }

inline uint64_t AMapOffset(uint64_t index) { return kFirstAMapOffset + index * kAMapCoverage; }
inline bool HasPMap(uint64_t amapIndex) { return amapIndex % kAMapsPerPMap == 0; }
inline bool HasFMap(uint64_t amapIndex) {
  return amapIndex >= kAMapsInHeaderFMap && (amapIndex - kAMapsInHeaderFMap) % kAMapsPerFMap == 0;
}
inline bool HasFPMap(uint64_t amapIndex) {
  return amapIndex >= kAMapsInHeaderFPMap && (amapIndex - kAMapsInHeaderFPMap) % kAMapsPerFPMap == 0;
}
// The map pages at the start of the range an AMap covers: the AMap itself,
// then the PMap, FMap and FPMap where their intervals fall.
inline uint64_t ReservedPages(uint64_t amapIndex) {
  if (HasFPMap(amapIndex)) return 4;
  if (HasFMap(amapIndex)) return 3;
  if (HasPMap(amapIndex)) return 2;
  return 1;
}

}  // namespace ndb
}  // namespace quillmere::pst
