#pragma once
// The read side of the node database: header, the two B-trees and blocks,
// each checked against its trailer and CRC as it is read.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "pst/ndb/format.h"
#include "pst/ndb/structures.h"

namespace quillmere::pst::ndb {

class NdbReader {
 public:
  explicit NdbReader(const std::string& path);
  ~NdbReader();
  NdbReader(const NdbReader&) = delete;
  NdbReader& operator=(const NdbReader&) = delete;

  const Header& header() const { return header_; }
  const Layout& layout() const { return layout_; }
  uint64_t fileSize() const { return fileSize_; }

  // Every page of a B-tree, in the order visited; throws FormatError at the
  // first page whose trailer, CRC, signature or entries are wrong.
  struct PageVisit {
    BlockRef ref;
    uint8_t level;
  };
  std::vector<NbtEntry> ReadNodes(std::vector<PageVisit>* pages = nullptr);
  std::vector<BbtEntry> ReadBlocks(std::vector<PageVisit>* pages = nullptr);

  // The stored bytes of a block, checked against the BBT entry.
  Bytes ReadBlock(const BbtEntry& entry);
  Bytes ReadRaw(uint64_t offset, size_t size);

 private:
  template <typename Leaf, typename Decode>
  void Walk(const BlockRef& ref, uint8_t ptype, int expectLevel, uint64_t minKey, std::vector<Leaf>& out,
            std::vector<PageVisit>* pages, Decode decode, int depth);

  int fd_ = -1;
  std::string path_;
  uint64_t fileSize_ = 0;
  Header header_;
  Layout layout_;
};

}  // namespace quillmere::pst::ndb
