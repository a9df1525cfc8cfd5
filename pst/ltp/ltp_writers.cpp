#include "pst/ltp/ltp_writers.h"

#include <algorithm>

#include "pst/ltp/bth_writer.h"

namespace quillmere::pst::ltp {

WrittenNode PcWriter::Write(ndb::NdbWriter& ndb) {
  HeapWriter heap(ndb.layout(), kClientSigProperties);
  Bytes records;
  for (const auto& [id, v] : props_) {
    uint32_t value = 0;
    if (IsInlineInPc(v.type)) {
      for (size_t i = 0; i < std::min<size_t>(4, v.data.size()); ++i) value |= uint32_t(v.data[i]) << (8 * i);
    } else if (v.data.size() <= kMaxHeapAllocation) {
      value = heap.Allocate(v.data);
    } else {
      value = subnodes_.AddValue(ndb, v.data);
    }
    const size_t at = records.size();
    records.resize(at + 8);
    Put16(records.data() + at, id);
    Put16(records.data() + at + 2, v.type);
    Put32(records.data() + at + 4, value);
  }
  heap.SetUserRoot(WriteBth(heap, 2, 6, records));
  WrittenNode out;
  out.bidData = heap.Finish(ndb);
  out.bidSub = subnodes_.Write(ndb);
  return out;
}

TcWriter::TcWriter(ndb::NdbWriter& ndb, std::vector<uint32_t> tags, bool streaming)
    : ndb_(ndb), layout_(ndb.layout()), heap_(ndb.layout(), kClientSigTable, streaming ? &ndb : nullptr) {
  tags.erase(std::remove_if(tags.begin(), tags.end(), [](uint32_t t) { return t == kTagLtpRowId || t == kTagLtpRowVer; }),
             tags.end());
  std::sort(tags.begin(), tags.end());
  tags.erase(std::unique(tags.begin(), tags.end()), tags.end());
  // Row layout: the row ID first, the row version next, then the columns of
  // 8 and 4 bytes, then those of 2, then those of 1, then the cell
  // existence bitmap.
  std::vector<uint32_t> order = {kTagLtpRowId, kTagLtpRowVer};
  for (size_t size : {size_t(8), size_t(4), size_t(2), size_t(1)})
    for (uint32_t t : tags)
      if (RowCellSize(uint16_t(t)) == size) order.push_back(t);
  uint16_t ib = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    const uint8_t cb = uint8_t(RowCellSize(uint16_t(order[i])));
    if (i >= 2) {
      if (cb < 4 && rgib_[0] == 0) rgib_[0] = ib;
      if (cb < 2 && rgib_[1] == 0) rgib_[1] = ib;
    }
    columns_.push_back({order[i], ib, cb, uint8_t(i)});
    ib = uint16_t(ib + cb);
  }
  if (rgib_[0] == 0) rgib_[0] = ib;
  if (rgib_[1] == 0) rgib_[1] = ib;
  rgib_[2] = ib;
  rgib_[3] = uint16_t(ib + (columns_.size() + 7) / 8);
  rowSize_ = rgib_[3];
  rowsPerBlock_ = layout_.maxBlockData / rowSize_;
  std::sort(columns_.begin(), columns_.end(), [](const Column& a, const Column& b) { return a.tag < b.tag; });
  for (size_t i = 0; i < columns_.size(); ++i) byTag_[columns_[i].tag] = i;
}

void TcWriter::AddRow(uint32_t rowId, const std::map<uint32_t, PropValue>& cells) {
  const size_t at = rows_.size();
  rows_.resize(at + rowSize_, 0);
  uint8_t* row = rows_.data() + at;
  uint8_t* ceb = row + rgib_[2];
  auto mark = [&](const Column& c) { ceb[c.iBit / 8] |= uint8_t(0x80 >> (c.iBit % 8)); };
  Put32(row, rowId);
  mark(columns_[byTag_.at(kTagLtpRowId)]);
  for (const auto& [tag, v] : cells) {
    auto it = byTag_.find(tag);
    if (it == byTag_.end()) throw FormatError("TC: no column for tag " + std::to_string(tag));
    const Column& c = columns_[it->second];
    if (v.type != uint16_t(c.tag)) throw FormatError("TC: value of the wrong type for tag " + std::to_string(tag));
    if (IsVariableSize(v.type)) {
      const uint32_t hnid = v.data.size() <= kMaxHeapAllocation ? heap_.Allocate(v.data) : subnodes_.AddValue(ndb_, v.data);
      Put32(row + c.ib, hnid);
    } else {
      std::memcpy(row + c.ib, v.data.data(), std::min<size_t>(c.cb, v.data.size()));
    }
    mark(c);
  }
  const size_t at2 = rowIndex_.size();
  rowIndex_.resize(at2 + 8);
  Put32(rowIndex_.data() + at2, rowId);
  Put32(rowIndex_.data() + at2 + 4, uint32_t(rowCount_));
  ++rowCount_;
  if (rows_.size() >= rowsPerBlock_ * rowSize_) FlushRows();
}

void TcWriter::FlushRows() {
  if (rows_.empty()) return;
  rowBlocks_.emplace_back(ndb_.WriteBlock(rows_.data(), rows_.size()), rows_.size());
  rows_.clear();
}

WrittenNode TcWriter::Write() {
  uint32_t hnidRows = 0;
  if (rowBlocks_.empty() && rows_.size() <= kMaxHeapAllocation) {
    if (!rows_.empty()) hnidRows = heap_.Allocate(rows_);
  } else {
    FlushRows();
    hnidRows = subnodes_.NextNid();
    subnodes_.Add({hnidRows, ndb_.WriteDataTree(rowBlocks_), 0});
  }
  // The row index, sorted by row ID; dwRowIndex is 2 bytes in ANSI files.
  const size_t valueSize = layout_.unicode ? 4 : 2;
  std::vector<std::pair<uint32_t, uint32_t>> index;
  index.reserve(rowCount_);
  for (size_t i = 0; i < rowCount_; ++i) index.emplace_back(Get32(rowIndex_.data() + 8 * i), Get32(rowIndex_.data() + 8 * i + 4));
  Bytes().swap(rowIndex_);
  std::sort(index.begin(), index.end());
  Bytes records(index.size() * (4 + valueSize));
  for (size_t i = 0; i < index.size(); ++i) {
    Put32(records.data() + i * (4 + valueSize), index[i].first);
    if (valueSize == 4)
      Put32(records.data() + i * 8 + 4, index[i].second);
    else
      Put16(records.data() + i * 6 + 4, uint16_t(index[i].second));
  }
  const uint32_t hidRowIndex = WriteBth(heap_, 4, uint8_t(valueSize), records);

  Bytes info;
  ByteWriter w(info);
  w.U8(kClientSigTable);
  w.U8(uint8_t(columns_.size()));
  for (uint16_t v : rgib_) w.U16(v);
  w.U32(hidRowIndex);
  w.U32(hnidRows);
  w.U32(0);  // hidIndex, deprecated
  for (const Column& c : columns_) {
    w.U32(c.tag);
    w.U16(c.ib);
    w.U8(c.cb);
    w.U8(c.iBit);
  }
  heap_.SetUserRoot(heap_.Allocate(info));
  WrittenNode out;
  out.bidData = heap_.Finish(ndb_);
  out.bidSub = subnodes_.Write(ndb_);
  return out;
}

}  // namespace quillmere::pst::ltp
