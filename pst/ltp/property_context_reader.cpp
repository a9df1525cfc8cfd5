#include "pst/ltp/property_context_reader.h"

#include <algorithm>

#include "pst/ltp/bth_reader.h"
#include "pst/ltp/heap_writer.h"
#include "pst/ltp/prop_value.h"

namespace quillmere::pst::ltp {
namespace {

std::vector<Bytes> HeapBlocks(ndb::NodeDatabase& ndb, uint64_t bidData) {
  std::vector<Bytes> blocks;
  for (uint64_t bid : ndb.DataBlockIds(bidData)) blocks.push_back(ndb.ReadBlock(bid));
  return blocks;
}

}  // namespace

bool IsInlineType(uint16_t type) {
  switch (type) {
    case kPtypInteger16:
    case kPtypInteger32:
    case kPtypErrorCode:
    case kPtypBoolean:
    case 0x0004:  // PtypFloating32
      return true;
    default:
      return false;
  }
}

PropertyContextReader::PropertyContextReader(ndb::NodeDatabase& ndb, uint64_t bidData, uint64_t bidSub)
    : ndb_(ndb), bidSub_(bidSub), heap_(HeapBlocks(ndb, bidData), kClientSigProperties, ndb.layout().fourK) {
  const BthInfo info = ReadBthHeader(heap_, heap_.userRoot());
  if (info.cbKey != 2 || info.cbEnt != 6) throw FormatError("PC: BTH records are not 2 + 6 bytes");
  ForEachBthRecord(heap_, info, [&](std::span<const uint8_t> key, std::span<const uint8_t> data) {
    entries_.push_back({Get16(key.data()), Get16(data.data()), Get32(data.data() + 2)});
  });
  // A sound BTH gives its records in key order already.
  const auto byId = [](const PcEntry& a, const PcEntry& b) { return a.id < b.id; };
  if (!std::is_sorted(entries_.begin(), entries_.end(), byId)) std::sort(entries_.begin(), entries_.end(), byId);
}

const PcEntry* PropertyContextReader::Find(uint16_t id) const {
  auto it = std::lower_bound(entries_.begin(), entries_.end(), id,
                             [](const PcEntry& e, uint16_t v) { return e.id < v; });
  return it != entries_.end() && it->id == id ? &*it : nullptr;
}

std::optional<ndb::SlEntry> PropertyContextReader::FindSubnode(uint32_t nid) {
  if (!subnodesRead_) {
    subnodes_ = ndb_.ReadSubnodes(bidSub_);
    subnodesRead_ = true;
  }
  auto it = std::lower_bound(subnodes_.begin(), subnodes_.end(), nid,
                             [](const ndb::SlEntry& e, uint32_t v) { return e.nid < v; });
  if (it == subnodes_.end() || it->nid != nid) return std::nullopt;
  return *it;
}

std::optional<uint64_t> PropertyContextReader::SubnodeData(uint32_t nid) {
  const auto e = FindSubnode(nid);
  if (!e) return std::nullopt;
  return e->bidData;
}

Bytes PropertyContextReader::ReadValue(const PcEntry& entry) {
  if (IsInlineType(entry.type)) {
    Bytes out(4);
    Put32(out.data(), entry.value);
    return out;
  }
  Bytes out;
  ForEachValuePiece(entry, [&](const uint8_t* data, size_t size) { out.insert(out.end(), data, data + size); });
  return out;
}

}  // namespace quillmere::pst::ltp
