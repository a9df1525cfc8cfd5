#pragma once
// The node database read whole and strictly, for the verifier: both
// B-trees page by page with every CRC, signature and count checked, and
// blocks checked against their CRC. File access, the header and the checks
// every reader makes are NodeDatabase's.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "pst/ndb/format.h"
#include "pst/ndb/node_database.h"
#include "pst/ndb/structures.h"

namespace quillmere::pst::ndb {

class NdbReader {
 public:
  explicit NdbReader(const std::string& path) : db_(path) {}

  const Header& header() const { return db_.header(); }
  const Layout& layout() const { return db_.layout(); }
  uint64_t fileSize() const { return db_.fileSize(); }

  // Every page of a B-tree, in the order visited; throws FormatError at the
  // first page whose trailer, CRC, signature or entries are wrong.
  struct PageVisit {
    BlockRef ref;
    uint8_t level;
  };
  std::vector<NbtEntry> ReadNodes(std::vector<PageVisit>* pages = nullptr);
  std::vector<BbtEntry> ReadBlocks(std::vector<PageVisit>* pages = nullptr);

  // The bytes of a block, checked against the BBT entry, inflated when
  // compressed (not decoded).
  Bytes ReadBlock(const BbtEntry& entry);
  Bytes ReadRaw(uint64_t offset, size_t size) { return db_.ReadRaw(offset, size); }

 private:
  template <typename Leaf, typename Decode>
  void Walk(const BlockRef& ref, uint8_t ptype, int expectLevel, uint64_t minKey, std::vector<Leaf>& out,
            std::vector<PageVisit>* pages, Decode decode, int depth);

  NodeDatabase db_;
};

}  // namespace quillmere::pst::ndb
