#pragma once
// The read side of a heap-on-node: the node's data blocks and the
// allocations they hold, addressed by HID.
#include <cstdint>
#include <span>
#include <vector>

#include "pst/ndb/bytes.h"
#include "pst/ndb/format.h"

namespace quillmere::pst::ltp {

class HeapReader {
 public:
  // blocks: the node's data blocks in order. Throws FormatError when block
  // 0 is not a heap of the given client signature.
  HeapReader(std::vector<Bytes> blocks, uint8_t clientSig);

  uint32_t userRoot() const { return userRoot_; }
  // The bytes of an allocation; empty for HID 0. Throws FormatError for a
  // HID that names no allocation.
  std::span<const uint8_t> Get(uint32_t hid) const;

 private:
  std::vector<Bytes> blocks_;
  uint32_t userRoot_ = 0;
};

}  // namespace quillmere::pst::ltp
