#pragma once
// The read side of a table context: its columns and rows. Rows are read
// one block of the row matrix at a time, so a table of a million rows
// keeps one block and a few bytes per block in memory.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "pst/ltp/heap_reader.h"
#include "pst/ndb/node_database.h"

namespace quillmere::pst::ltp {

struct TcColumn {
  uint32_t tag = 0;
  uint16_t ib = 0;
  uint8_t cb = 0;
  uint8_t iBit = 0;
};

class TableContextReader {
 public:
  // Throws FormatError when the node is not a table context.
  TableContextReader(ndb::NodeDatabase& ndb, uint64_t bidData, uint64_t bidSub);

  size_t rowCount() const { return rowCount_; }
  const std::vector<TcColumn>& columns() const { return columns_; }
  // dwRowID of a row (from 0): the NID of the object the row stands for.
  uint32_t RowId(size_t row);
  // A cell of up to 4 bytes (an HNID for variable-size columns); none when
  // the table has no such column or the row's cell is not set.
  std::optional<uint32_t> Cell32(size_t row, uint32_t tag);

 private:
  const uint8_t* Row(size_t row);

  ndb::NodeDatabase& ndb_;
  std::unique_ptr<HeapReader> heap_;
  std::vector<TcColumn> columns_;
  size_t rowSize_ = 0;
  size_t cebOffset_ = 0;
  size_t rowCount_ = 0;
  // The row matrix: in the heap, or in the blocks of a subnode.
  Bytes heapRows_;
  struct RowBlock {
    uint64_t bid;
    size_t firstRow;
  };
  std::vector<RowBlock> rowBlocks_;
  size_t cachedBlock_ = SIZE_MAX;
  Bytes cachedRows_;
};

}  // namespace quillmere::pst::ltp
