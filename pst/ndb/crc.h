#pragma once
// The CRC the format uses for the header, pages and blocks: CRC-32 with the
// reflected polynomial 0xEDB88320, started from the given value, with no
// final inversion.
#include <cstddef>
#include <cstdint>

namespace quillmere::pst::ndb {

uint32_t ComputeCrc(uint32_t crc, const void* data, size_t size);

// wSig of pages and blocks: the file offset and the BID folded to 16 bits.
inline uint16_t ComputeSig(uint64_t ib, uint64_t bid) {
  ib ^= bid;
  return uint16_t(uint16_t(ib >> 16) ^ uint16_t(ib));
}

}  // namespace quillmere::pst::ndb
