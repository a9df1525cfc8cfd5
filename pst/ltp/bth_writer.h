#pragma once
// BTree-on-heap: sorted fixed-size records in heap allocations, with
// intermediate levels once the records outgrow one allocation.
#include <cstdint>

#include "pst/ltp/heap_writer.h"

namespace quillmere::pst::ltp {

// records: count records of cbKey + cbEnt bytes each, sorted by key (the key
// compared as a little-endian number). Returns the HID of the BTHHEADER.
uint32_t WriteBth(HeapWriter& heap, uint8_t cbKey, uint8_t cbEnt, const Bytes& records);

}  // namespace quillmere::pst::ltp
