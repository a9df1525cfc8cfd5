#pragma once
// Decoding of the data blocks of an encoded file. Only external blocks are
// encoded; internal blocks (XBLOCK, SLBLOCK and their kin) never are.
#include <cstddef>
#include <cstdint>

namespace quillmere::pst::ndb {

// bCryptMethod 0x01: every byte goes through a fixed substitution.
void DecodePermuted(uint8_t* data, size_t size);
// The inverse, for writers and for tests.
void EncodePermuted(uint8_t* data, size_t size);

}  // namespace quillmere::pst::ndb
