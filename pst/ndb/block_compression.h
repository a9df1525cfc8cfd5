#pragma once
// The compressed data blocks of 4 KB-page files: zlib streams (RFC 1950)
// around deflate data. Readers also take bare deflate data, which some
// writers store.
#include <cstddef>
#include <cstdint>

#include "pst/ndb/bytes.h"

namespace quillmere::pst::ndb {

// The stored bytes inflated to exactly `inflated` bytes; throws FormatError
// when the stream is damaged or inflates to another size.
Bytes InflateBlock(const uint8_t* stored, size_t size, size_t inflated);
// data as a zlib stream; empty when compressing would not save space.
Bytes DeflateBlock(const uint8_t* data, size_t size);

}  // namespace quillmere::pst::ndb
