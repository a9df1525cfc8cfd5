#pragma once
// Property context and table context writers. Each builds one node (or
// subnode): its heap goes to bidData, values too large for the heap go to
// subnodes of the same node, listed under bidSub.
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "pst/ltp/heap_writer.h"
#include "pst/ltp/prop_value.h"
#include "pst/ndb/ndb_writer.h"
#include "pst/ndb/structures.h"

namespace quillmere::pst::ltp {

constexpr uint32_t kNidTypeLtp = 0x1F;
constexpr uint32_t kTagLtpRowId = 0x67F20003;
constexpr uint32_t kTagLtpRowVer = 0x67F30003;

struct WrittenNode {
  uint64_t bidData = 0;
  uint64_t bidSub = 0;
};

// The subnodes of one node, and the NIDs given out for its large values.
class Subnodes {
 public:
  uint32_t NextNid(uint32_t nidType = kNidTypeLtp) { return (nextIndex_++ << 5) | nidType; }
  void Add(const ndb::SlEntry& e) { entries_.push_back(e); }
  uint64_t Write(ndb::NdbWriter& ndb) { return ndb.WriteSubnodes(std::move(entries_)); }
  // A value too large for the heap, written now; returns its HNID (a NID).
  uint32_t AddValue(ndb::NdbWriter& ndb, const Bytes& value) {
    const uint32_t nid = NextNid();
    Add({nid, ndb.WriteData(value.data(), value.size()), 0});
    return nid;
  }

 private:
  uint32_t nextIndex_ = 1;
  std::vector<ndb::SlEntry> entries_;
};

// A property context: property ID to value.
class PcWriter {
 public:
  void Set(uint16_t propId, PropValue value) { props_[propId] = std::move(value); }
  bool Has(uint16_t propId) const { return props_.count(propId) != 0; }
  // Subnodes that belong to the object (attachments, its tables).
  Subnodes& subnodes() { return subnodes_; }
  WrittenNode Write(ndb::NdbWriter& ndb);

 private:
  std::map<uint16_t, PropValue> props_;
  Subnodes subnodes_;
};

// A table context with a fixed set of columns. Rows can stream: with
// streaming on, row matrix blocks and heap blocks go to the file as they
// fill, so a table of any length keeps a few blocks in memory plus eight
// bytes a row for the row index.
class TcWriter {
 public:
  // tags: the columns (PidTagLtpRowId and PidTagLtpRowVer are added).
  TcWriter(ndb::NdbWriter& ndb, std::vector<uint32_t> tags, bool streaming = false);

  void AddRow(uint32_t rowId, const std::map<uint32_t, PropValue>& cells);
  size_t rowCount() const { return rowCount_; }
  WrittenNode Write();

 private:
  struct Column {
    uint32_t tag;
    uint16_t ib;
    uint8_t cb;
    uint8_t iBit;
  };
  void FlushRows();

  ndb::NdbWriter& ndb_;
  ndb::Layout layout_;
  std::vector<Column> columns_;  // sorted by tag
  std::map<uint32_t, size_t> byTag_;
  uint16_t rgib_[4] = {};
  size_t rowSize_ = 0;
  size_t rowsPerBlock_ = 0;
  HeapWriter heap_;
  Subnodes subnodes_;
  Bytes rows_;
  std::vector<std::pair<uint64_t, size_t>> rowBlocks_;
  Bytes rowIndex_;  // dwRowID, dwRowIndex
  size_t rowCount_ = 0;
};

}  // namespace quillmere::pst::ltp
