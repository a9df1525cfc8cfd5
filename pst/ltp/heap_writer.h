#pragma once
// Heap-on-node: variable-size allocations packed into the blocks of one
// node, addressed by HID. Block 0 starts with HNHDR; blocks 8, 136, 264 ...
// with HNBITMAPHDR; the others with HNPAGEHDR. Each block ends with its
// HNPAGEMAP.
//
// A heap that streams (large tables) writes each block as soon as the next
// one is started, except block 0, which is written last.
#include <cstdint>
#include <vector>

#include "pst/ndb/bytes.h"
#include "pst/ndb/format.h"
#include "pst/ndb/ndb_writer.h"

namespace quillmere::pst::ltp {

constexpr uint8_t kHeapSignature = 0xEC;
constexpr uint8_t kClientSigTable = 0x7C;
constexpr uint8_t kClientSigBTree = 0xB5;
constexpr uint8_t kClientSigProperties = 0xBC;
constexpr size_t kMaxHeapAllocation = 3580;

// A HID: hidType 0 in bits 0-4, the allocation's index (from 1) in bits
// 5-15, the block's index above. In 4 KB-page files bits 16-18 are flags
// of their own and the block's index starts at bit 19.
inline uint32_t HidBlockShift(bool fourK) { return fourK ? 19 : 16; }
inline uint32_t MakeHid(uint32_t blockIndex, uint32_t allocIndex, bool fourK) {
  return (blockIndex << HidBlockShift(fourK)) | ((allocIndex + 1) << 5);
}
inline uint32_t HidBlockIndex(uint32_t hid, bool fourK) { return hid >> HidBlockShift(fourK); }

class HeapWriter {
 public:
  HeapWriter(const ndb::Layout& layout, uint8_t clientSig, ndb::NdbWriter* streamTo = nullptr);

  // Returns the HID of a new allocation holding a copy of data.
  uint32_t Allocate(const uint8_t* data, size_t size);
  uint32_t Allocate(const Bytes& data) { return Allocate(data.data(), data.size()); }
  void SetUserRoot(uint32_t hid) { userRoot_ = hid; }

  // Writes the blocks not yet written and the data tree over all of them;
  // returns the node's bidData.
  uint64_t Finish(ndb::NdbWriter& ndb);

 private:
  struct Block {
    Bytes bytes;                     // header and allocations
    std::vector<uint16_t> starts;    // start of each allocation
    bool written = false;
    uint64_t bid = 0;
    size_t cb = 0;
    uint8_t level = 15;
  };
  size_t HeaderSize(size_t blockIndex) const;
  bool Fits(const Block& b, size_t size) const;
  void StartBlock();
  Bytes Encode(size_t blockIndex) const;
  void WriteBlock(ndb::NdbWriter& ndb, size_t blockIndex);
  uint8_t FillLevel(size_t blockIndex) const;

  ndb::Layout layout_;
  uint8_t clientSig_;
  ndb::NdbWriter* streamTo_;
  uint32_t userRoot_ = 0;
  std::vector<Block> blocks_;
};

}  // namespace quillmere::pst::ltp
