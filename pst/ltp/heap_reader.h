#pragma once
// The read side of a heap-on-node: the node's data blocks and the
// allocations they hold, addressed by HID.
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "pst/ndb/bytes.h"
#include "pst/ndb/format.h"

namespace quillmere::pst::ltp {

class HeapReader {
 public:
  // blocks: the node's data blocks in order. Throws FormatError when block
  // 0 is not a heap of the given client signature.
  // fourK: the file has 4 KB pages, whose HIDs place the block index higher.
  HeapReader(std::vector<Bytes> blocks, uint8_t clientSig, bool fourK);
  // The same heap with each block read the first time an allocation in it
  // is asked for, and kept. A table's heap holds the texts of all its rows
  // besides its row index, and most reads need only the index.
  using BlockSource = std::function<Bytes(uint64_t bid)>;
  HeapReader(std::vector<uint64_t> blockIds, BlockSource read, uint8_t clientSig, bool fourK);

  uint32_t userRoot() const { return userRoot_; }
  // The bytes of an allocation; empty for HID 0. Throws FormatError for a
  // HID that names no allocation.
  std::span<const uint8_t> Get(uint32_t hid) const;

 private:
  void ReadHeader(uint8_t clientSig);
  const Bytes& Block(uint32_t index) const;

  mutable std::vector<Bytes> blocks_;  // sized once, so a span into a block stays valid
  mutable std::vector<bool> loaded_;   // empty when every block was given at once
  std::vector<uint64_t> blockIds_;
  BlockSource read_;
  uint32_t userRoot_ = 0;
  bool fourK_ = false;
};

}  // namespace quillmere::pst::ltp
