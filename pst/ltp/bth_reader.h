#pragma once
// The read side of a BTree-on-heap: its records visited in key order.
#include <cstdint>
#include <functional>
#include <span>

#include "pst/ltp/heap_reader.h"

namespace quillmere::pst::ltp {

struct BthInfo {
  uint8_t cbKey = 0;
  uint8_t cbEnt = 0;
  uint8_t levels = 0;
  uint32_t hidRoot = 0;
};

BthInfo ReadBthHeader(const HeapReader& heap, uint32_t hidHeader);

// Calls visit(key, data) for every record; throws FormatError for a tree
// whose allocations do not hold whole records.
void ForEachBthRecord(const HeapReader& heap, const BthInfo& info,
                      const std::function<void(std::span<const uint8_t>, std::span<const uint8_t>)>& visit);

}  // namespace quillmere::pst::ltp
