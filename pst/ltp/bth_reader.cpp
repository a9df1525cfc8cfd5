#include "pst/ltp/bth_reader.h"

#include <algorithm>
#include <vector>

#include "pst/ltp/heap_writer.h"

namespace quillmere::pst::ltp {
namespace {

constexpr uint8_t kMaxLevels = 8;

// Intermediate nodes seen so far: a damaged tree that lists a node twice
// would otherwise be walked again for every listing.
void Visit(const HeapReader& heap, const BthInfo& info, uint32_t hid, uint8_t level, std::vector<uint32_t>& seen,
           const std::function<void(std::span<const uint8_t>, std::span<const uint8_t>)>& visit) {
  const std::span<const uint8_t> node = heap.Get(hid);
  const size_t record = level == 0 ? size_t(info.cbKey) + info.cbEnt : size_t(info.cbKey) + 4;
  if (node.size() % record != 0) throw FormatError("BTH: allocation does not hold whole records");
  if (level > 0) {
    if (std::find(seen.begin(), seen.end(), hid) != seen.end()) throw FormatError("BTH: a node is listed twice");
    seen.push_back(hid);
  }
  for (size_t at = 0; at < node.size(); at += record) {
    const auto key = node.subspan(at, info.cbKey);
    if (level == 0)
      visit(key, node.subspan(at + info.cbKey, info.cbEnt));
    else
      Visit(heap, info, Get32(node.data() + at + info.cbKey), uint8_t(level - 1), seen, visit);
  }
}

}  // namespace

BthInfo ReadBthHeader(const HeapReader& heap, uint32_t hidHeader) {
  const std::span<const uint8_t> h = heap.Get(hidHeader);
  if (h.size() < 8) throw FormatError("BTHHEADER: too short");
  if (h[0] != kClientSigBTree) throw FormatError("BTHHEADER: bType is not 0xB5");
  BthInfo info{h[1], h[2], h[3], Get32(h.data() + 4)};
  if (info.cbKey == 0 || info.cbKey > 16) throw FormatError("BTHHEADER: cbKey out of range");
  if (info.levels > kMaxLevels) throw FormatError("BTHHEADER: too many levels");
  return info;
}

void ForEachBthRecord(const HeapReader& heap, const BthInfo& info,
                      const std::function<void(std::span<const uint8_t>, std::span<const uint8_t>)>& visit) {
  if (info.hidRoot == 0) return;
  std::vector<uint32_t> seen;
  Visit(heap, info, info.hidRoot, info.levels, seen, visit);
}

}  // namespace quillmere::pst::ltp
