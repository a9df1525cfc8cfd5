#pragma once
// The read side of a property context: the properties of one node, read
// only as they are asked for. Values too large for the heap live in the
// node's subnodes, which are listed on first use.
#include <cstdint>
#include <optional>
#include <vector>

#include "pst/ltp/heap_reader.h"
#include "pst/ndb/node_database.h"

namespace quillmere::pst::ltp {

struct PcEntry {
  uint16_t id = 0;
  uint16_t type = 0;
  uint32_t value = 0;  // the value itself (4 bytes or less) or its HNID
};

class PropertyContextReader {
 public:
  // Throws FormatError when the node is not a property context.
  PropertyContextReader(ndb::NodeDatabase& ndb, uint64_t bidData, uint64_t bidSub);

  const PcEntry* Find(uint16_t id) const;
  const std::vector<PcEntry>& entries() const { return entries_; }
  // The bytes of a value of variable or 8-byte size: from the heap, or the
  // whole data of the subnode its HNID names.
  Bytes ReadValue(const PcEntry& entry);
  // Calls visit with each block of a value in turn, so a large value can be
  // fed on without being joined first.
  template <typename Visit>
  void ForEachValuePiece(const PcEntry& entry, Visit&& visit);

  // The data of one of the node's subnodes; none when it has no such one.
  std::optional<ndb::SlEntry> FindSubnode(uint32_t nid);

 private:
  std::optional<uint64_t> SubnodeData(uint32_t nid);

  ndb::NodeDatabase& ndb_;
  uint64_t bidSub_;
  HeapReader heap_;
  std::vector<PcEntry> entries_;  // sorted by id
  bool subnodesRead_ = false;
  std::vector<ndb::SlEntry> subnodes_;
};

template <typename Visit>
void PropertyContextReader::ForEachValuePiece(const PcEntry& entry, Visit&& visit) {
  if ((entry.value & 0x1F) == 0) {
    const auto bytes = heap_.Get(entry.value);
    visit(bytes.data(), bytes.size());
    return;
  }
  const auto bid = SubnodeData(entry.value);
  if (!bid) throw FormatError("PC: a value's subnode is missing");
  for (uint64_t block : ndb_.DataBlockIds(*bid)) {
    const Bytes data = ndb_.ReadBlock(block);
    visit(data.data(), data.size());
  }
}

// Whether a value of this type sits in the 4 bytes of its entry.
bool IsInlineType(uint16_t type);

}  // namespace quillmere::pst::ltp
