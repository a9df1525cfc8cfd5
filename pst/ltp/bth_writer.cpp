#include "pst/ltp/bth_writer.h"

#include <algorithm>

namespace quillmere::pst::ltp {

uint32_t WriteBth(HeapWriter& heap, uint8_t cbKey, uint8_t cbEnt, const Bytes& records) {
  const size_t recordSize = size_t(cbKey) + cbEnt;
  const size_t count = records.size() / recordSize;
  uint32_t root = 0;
  uint8_t levels = 0;
  if (count > 0) {
    // Each level: (first key, HID) of its nodes.
    Bytes level;  // cbKey + 4 per node
    const size_t perLeaf = kMaxHeapAllocation / recordSize;
    for (size_t i = 0; i < count; i += perLeaf) {
      const size_t n = std::min(perLeaf, count - i);
      const uint32_t hid = heap.Allocate(records.data() + i * recordSize, n * recordSize);
      level.insert(level.end(), records.begin() + i * recordSize, records.begin() + i * recordSize + cbKey);
      level.resize(level.size() + 4);
      Put32(level.data() + level.size() - 4, hid);
    }
    const size_t nodeSize = size_t(cbKey) + 4;
    const size_t perNode = kMaxHeapAllocation / nodeSize;
    while (level.size() > nodeSize) {
      ++levels;
      Bytes up;
      const size_t nodes = level.size() / nodeSize;
      for (size_t i = 0; i < nodes; i += perNode) {
        const size_t n = std::min(perNode, nodes - i);
        const uint32_t hid = heap.Allocate(level.data() + i * nodeSize, n * nodeSize);
        up.insert(up.end(), level.begin() + i * nodeSize, level.begin() + i * nodeSize + cbKey);
        up.resize(up.size() + 4);
        Put32(up.data() + up.size() - 4, hid);
      }
      level = std::move(up);
    }
    root = Get32(level.data() + cbKey);
  }
  Bytes header(8, 0);
  header[0] = kClientSigBTree;
  header[1] = cbKey;
  header[2] = cbEnt;
  header[3] = levels;
  Put32(header.data() + 4, root);
  return heap.Allocate(header);
}

}  // namespace quillmere::pst::ltp
