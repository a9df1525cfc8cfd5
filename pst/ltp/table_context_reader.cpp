#include "pst/ltp/table_context_reader.h"

#include <algorithm>

#include "pst/ltp/heap_writer.h"

namespace quillmere::pst::ltp {
namespace {

constexpr size_t kTcInfoSize = 22;
constexpr size_t kColumnSize = 8;
enum { kTci4b = 0, kTci2b = 1, kTci1b = 2, kTciBm = 3 };

std::vector<Bytes> HeapBlocks(ndb::NodeDatabase& ndb, uint64_t bidData) {
  std::vector<Bytes> blocks;
  for (uint64_t bid : ndb.DataBlockIds(bidData)) blocks.push_back(ndb.ReadBlock(bid));
  return blocks;
}

}  // namespace

TableContextReader::TableContextReader(ndb::NodeDatabase& ndb, uint64_t bidData, uint64_t bidSub) : ndb_(ndb) {
  heap_ = std::make_unique<HeapReader>(HeapBlocks(ndb, bidData), kClientSigTable);
  const std::span<const uint8_t> info = heap_->Get(heap_->userRoot());
  if (info.size() < kTcInfoSize) throw FormatError("TCINFO: too short");
  if (info[0] != kClientSigTable) throw FormatError("TCINFO: bType is not 0x7C");
  const size_t cCols = info[1];
  uint16_t rgib[4];
  for (int i = 0; i < 4; ++i) rgib[i] = Get16(info.data() + 2 + 2 * i);
  const uint32_t hnidRows = Get32(info.data() + 14);
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
  if (hnidRows == 0) return;
  if ((hnidRows & 0x1F) == 0) {
    const auto rows = heap_->Get(hnidRows);
    heapRows_.assign(rows.begin(), rows.end());
    rowCount_ = heapRows_.size() / rowSize_;
    return;
  }
  const auto subnodes = ndb.ReadSubnodes(bidSub);
  auto it = std::lower_bound(subnodes.begin(), subnodes.end(), hnidRows,
                             [](const ndb::SlEntry& e, uint32_t v) { return e.nid < v; });
  if (it == subnodes.end() || it->nid != hnidRows) throw FormatError("TC: the row matrix subnode is missing");
  for (uint64_t bid : ndb.DataBlockIds(it->bidData)) {
    const auto block = ndb.FindBlock(bid);
    if (!block) throw FormatError("TC: a row matrix block is missing");
    rowBlocks_.push_back({bid, rowCount_});
    rowCount_ += block->cb / rowSize_;
  }
}

const uint8_t* TableContextReader::Row(size_t row) {
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
