#include "pst/ltp/table_context_reader.h"

#include <algorithm>

#include "pst/ltp/bth_reader.h"
#include "pst/ltp/heap_writer.h"

namespace quillmere::pst::ltp {
namespace {

constexpr size_t kTcInfoSize = 22;
constexpr size_t kColumnSize = 8;
enum { kTci4b = 0, kTci2b = 1, kTci1b = 2, kTciBm = 3 };


}  // namespace

TableContextReader::TableContextReader(ndb::NodeDatabase& ndb, uint64_t bidData, uint64_t bidSub)
    : ndb_(ndb), bidSub_(bidSub) {
  // The heap's blocks are read as they are needed: a large folder's table
  // holds the texts of every row, which listing its rows never looks at.
  heap_ = std::make_unique<HeapReader>(
      ndb.DataBlockIds(bidData), [&ndb](uint64_t bid) { return ndb.ReadBlock(bid); }, kClientSigTable,
      ndb.layout().fourK);
  const std::span<const uint8_t> info = heap_->Get(heap_->userRoot());
  if (info.size() < kTcInfoSize) throw FormatError("TCINFO: too short");
  if (info[0] != kClientSigTable) throw FormatError("TCINFO: bType is not 0x7C");
  const size_t cCols = info[1];
  uint16_t rgib[4];
  for (int i = 0; i < 4; ++i) rgib[i] = Get16(info.data() + 2 + 2 * i);
  hidRowIndex_ = Get32(info.data() + 10);
  hnidRows_ = Get32(info.data() + 14);
  if (info.size() < kTcInfoSize + cCols * kColumnSize) throw FormatError("TCINFO: columns run past the allocation");
  if (!(rgib[kTci4b] <= rgib[kTci2b] && rgib[kTci2b] <= rgib[kTci1b] && rgib[kTci1b] <= rgib[kTciBm]))
    throw FormatError("TCINFO: rgib out of order");
  rowSize_ = rgib[kTciBm];
  cebOffset_ = rgib[kTci1b];
  if (cebOffset_ + (cCols + 7) / 8 > rowSize_) throw FormatError("TCINFO: cell existence bitmap past the row");
  for (size_t i = 0; i < cCols; ++i) {
    const uint8_t* c = info.data() + kTcInfoSize + i * kColumnSize;
    TcColumn col{Get32(c), Get16(c + 4), c[6], c[7]};
    if (size_t(col.ib) + col.cb > rowSize_ || col.iBit >= cCols) throw FormatError("TCOLDESC: cell past the row");
    columns_.push_back(col);
  }
  if (rowSize_ < 4) throw FormatError("TCINFO: rows shorter than a row ID");
  if (hnidRows_ == 0) {
    rowsRead_ = true;
    return;
  }
  if ((hnidRows_ & 0x1F) == 0) {
    const auto rows = heap_->Get(hnidRows_);
    heapRows_.assign(rows.begin(), rows.end());
    rowCount_ = heapRows_.size() / rowSize_;
    rowsRead_ = true;
  }
}

// A row matrix in a subnode is only looked at when a row is read.
void TableContextReader::ReadRowBlocks() {
  if (rowsRead_) return;
  const auto subnodes = ndb_.ReadSubnodes(bidSub_);
  auto it = std::lower_bound(subnodes.begin(), subnodes.end(), hnidRows_,
                             [](const ndb::SlEntry& e, uint32_t v) { return e.nid < v; });
  if (it == subnodes.end() || it->nid != hnidRows_) throw FormatError("TC: the row matrix subnode is missing");
  std::vector<RowBlock> blocks;
  size_t count = 0;
  for (uint64_t bid : ndb_.DataBlockIds(it->bidData)) {
    blocks.push_back({bid, count});
    count += ndb_.BlockDataSize(bid) / rowSize_;
  }
  rowBlocks_ = std::move(blocks);
  rowCount_ = count;
  rowsRead_ = true;
}

size_t TableContextReader::rowCount() {
  ReadRowBlocks();
  return rowCount_;
}

const uint8_t* TableContextReader::Row(size_t row) {
  ReadRowBlocks();
  if (row >= rowCount_) throw FormatError("TC: row past the table");
  if (rowBlocks_.empty()) return heapRows_.data() + row * rowSize_;
  auto it = std::upper_bound(rowBlocks_.begin(), rowBlocks_.end(), row,
                             [](size_t r, const RowBlock& b) { return r < b.firstRow; });
  const size_t index = size_t(it - rowBlocks_.begin()) - 1;
  if (index != cachedBlock_) {
    cachedRows_ = ndb_.ReadBlock(rowBlocks_[index].bid);
    cachedBlock_ = index;
  }
  const size_t at = (row - rowBlocks_[index].firstRow) * rowSize_;
  if (at + rowSize_ > cachedRows_.size()) throw FormatError("TC: row past its block");
  return cachedRows_.data() + at;
}

uint32_t TableContextReader::RowId(size_t row) { return Get32(Row(row)); }

void TableContextReader::ReadIndexLeaves(uint32_t hid, uint8_t level, int depth) {
  if (depth > 8) throw FormatError("TC: row index nested too deep");
  const std::span<const uint8_t> node = heap_->Get(hid);
  if (level == 0) {
    if (node.size() % indexRecord_ != 0) throw FormatError("TC: row index leaf does not hold whole records");
    if (node.empty()) return;
    indexLeaves_.push_back({hid, indexCount_});
    indexCount_ += node.size() / indexRecord_;
    return;
  }
  if (node.size() % 8 != 0) throw FormatError("TC: row index node does not hold whole records");
  if (std::find(indexNodes_.begin(), indexNodes_.end(), hid) != indexNodes_.end())
    throw FormatError("TC: a row index node is listed twice");
  indexNodes_.push_back(hid);
  for (size_t at = 0; at < node.size(); at += 8) ReadIndexLeaves(Get32(node.data() + at + 4), uint8_t(level - 1), depth + 1);
}

size_t TableContextReader::indexCount() {
  if (!indexRead_) {
    indexLeaves_.clear();
    indexNodes_.clear();
    indexCount_ = 0;
    if (hidRowIndex_ != 0) {
      const BthInfo info = ReadBthHeader(*heap_, hidRowIndex_);
      if (info.cbKey != 4 || (info.cbEnt != 2 && info.cbEnt != 4)) throw FormatError("TC: row index records are not 4 + 2 or 4 + 4 bytes");
      indexRecord_ = size_t(info.cbKey) + info.cbEnt;
      if (info.hidRoot != 0) ReadIndexLeaves(info.hidRoot, info.levels, 0);
      std::vector<uint32_t>().swap(indexNodes_);
    }
    indexRead_ = true;
  }
  return indexCount_;
}

uint32_t TableContextReader::IndexRowId(size_t ordinal) {
  if (ordinal >= indexCount()) throw FormatError("TC: ordinal past the row index");
  auto it = std::upper_bound(indexLeaves_.begin(), indexLeaves_.end(), ordinal,
                             [](size_t o, const IndexLeaf& l) { return o < l.first; });
  const IndexLeaf& leaf = *(it - 1);
  const std::span<const uint8_t> node = heap_->Get(leaf.hid);
  return Get32(node.data() + (ordinal - leaf.first) * indexRecord_);
}

std::optional<uint32_t> TableContextReader::Cell32(size_t row, uint32_t tag) {
  auto col = std::find_if(columns_.begin(), columns_.end(), [&](const TcColumn& c) { return c.tag == tag; });
  if (col == columns_.end()) return std::nullopt;
  const uint8_t* r = Row(row);
  if (!(r[cebOffset_ + col->iBit / 8] & (0x80 >> (col->iBit % 8)))) return std::nullopt;
  switch (col->cb) {
    case 1: return r[col->ib];
    case 2: return Get16(r + col->ib);
    case 4: return Get32(r + col->ib);
    default: return std::nullopt;
  }
}

}  // namespace quillmere::pst::ltp
