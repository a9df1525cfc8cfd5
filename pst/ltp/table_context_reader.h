#pragma once
// The read side of a table context: its columns, its row index and its
// rows. Rows are read one block of the row matrix at a time, and the row
// index one record at a time, so a table of a million rows keeps one block
// and a few bytes per block in memory.
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

  // The rows of the row matrix.
  size_t rowCount();
  const std::vector<TcColumn>& columns() const { return columns_; }
  // dwRowID of a row (from 0): the NID of the object the row stands for.
  uint32_t RowId(size_t row);
  // The row index: the row IDs in ascending order, one record at a time.
  // Only a few bytes per leaf of the index are kept, however many rows
  // the table has.
  size_t indexCount();
  uint32_t IndexRowId(size_t ordinal);
  // A cell of up to 4 bytes (an HNID for variable-size columns); none when
  // the table has no such column or the row's cell is not set.
  std::optional<uint32_t> Cell32(size_t row, uint32_t tag);

 private:
  const uint8_t* Row(size_t row);

  void ReadIndexLeaves(uint32_t hid, uint8_t level, int depth);
  void ReadRowBlocks();

  ndb::NodeDatabase& ndb_;
  uint64_t bidSub_ = 0;
  uint32_t hnidRows_ = 0;
  bool rowsRead_ = false;
  std::unique_ptr<HeapReader> heap_;
  uint32_t hidRowIndex_ = 0;
  struct IndexLeaf {
    uint32_t hid;
    size_t first;  // the ordinal of its first record
  };
  bool indexRead_ = false;
  size_t indexRecord_ = 0;  // bytes of one record: the row ID and the row's index
  size_t indexCount_ = 0;
  uint8_t indexLevels_ = 0;
  std::vector<IndexLeaf> indexLeaves_;
  std::vector<uint32_t> indexNodes_;  // the index's inner nodes, while it is read
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
