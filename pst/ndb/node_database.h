#pragma once
// The read side of the node database for walking a whole file quickly: the
// two B-trees are searched page by page (the pages kept in a small cache)
// instead of being loaded whole, so memory stays flat however many nodes
// the file holds. Data blocks are decoded as they are read.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pst/ndb/format.h"
#include "pst/ndb/structures.h"

namespace quillmere::pst::ndb {

class NodeDatabase {
 public:
  // Opens a file read-only; throws FormatError when it is not a PST file
  // this reader can read.
  explicit NodeDatabase(const std::string& path);
  // Takes over an open descriptor (closed with the object).
  explicit NodeDatabase(int fd);
  ~NodeDatabase();
  NodeDatabase(const NodeDatabase&) = delete;
  NodeDatabase& operator=(const NodeDatabase&) = delete;

  const Header& header() const { return header_; }
  const Layout& layout() const { return layout_; }
  uint64_t fileSize() const { return fileSize_; }

  // NBT and BBT look-ups; none when the tree has no such key. A page that
  // is not what its parent says raises FormatError.
  std::optional<NbtEntry> FindNode(uint32_t nid);
  std::optional<BbtEntry> FindBlock(uint64_t bid);

  // The data of one block, inflated when compressed and decoded when
  // external; raises when the block is
  // missing or its trailer does not match the BBT.
  Bytes ReadBlock(uint64_t bid);
  // The size of a block's data once read: its cb, or for a compressed
  // block the size it inflates to.
  size_t BlockDataSize(uint64_t bid);
  // A block's bytes as stored (not decoded), its trailer checked against
  // the BBT entry for cb and BID; the trailer is handed back for further
  // checks.
  Bytes ReadStoredBlock(const BbtEntry& entry, BlockTrailer* trailer = nullptr);
  // Bytes of the file; raises when they run past its end.
  void ReadAt(uint64_t offset, uint8_t* out, size_t size);
  Bytes ReadRaw(uint64_t offset, size_t size);
  // The BIDs of the data blocks of a node, in order (one for a node held in
  // a single block; the leaves of its XBLOCK or XXBLOCK otherwise).
  std::vector<uint64_t> DataBlockIds(uint64_t bidData);
  // The whole data of a node, its blocks joined.
  Bytes ReadNodeData(uint64_t bidData);
  // The subnodes of a node, sorted by NID (SIBLOCKs followed down).
  std::vector<SlEntry> ReadSubnodes(uint64_t bidSub);

  // Every NBT entry, in key order, for whole-file walks.
  template <typename Visit>
  void ForEachNode(Visit&& visit) {
    WalkLeaves(header_.root.nbt, kPageNBT, 0, [&](const uint8_t* p) { visit(DecodeNbtEntry(layout_, p)); });
  }

 private:
  void Open();
  void ReadFile(uint64_t offset, uint8_t* out, size_t size);
  // A checked B-tree page from the cache.
  const uint8_t* Page(const BlockRef& ref, uint8_t ptype);
  // Descends to the leaf entry with that key; null when there is none.
  const uint8_t* FindLeaf(const BlockRef& root, uint8_t ptype, uint64_t key);
  template <typename Leaf>
  void WalkLeaves(const BlockRef& ref, uint8_t ptype, int depth, Leaf&& leaf);
  void CollectDataBlocks(uint64_t bid, int depth, std::vector<uint64_t>& out);
  void CollectSubnodes(uint64_t bid, int depth, std::vector<SlEntry>& out);

  // B-tree pages by file offset, direct-mapped; the bytes of a slot are
  // only touched (and so only take memory) once a page lands in it.
  static constexpr size_t kCacheSlots = 32768;
  static constexpr int kMaxTreeDepth = 16;

  int fd_ = -1;
  uint64_t fileSize_ = 0;
  Header header_;
  Layout layout_;
  std::vector<uint64_t> cacheIb_;
  std::unique_ptr<uint8_t[]> cacheBytes_;
};

template <typename Leaf>
void NodeDatabase::WalkLeaves(const BlockRef& ref, uint8_t ptype, int depth, Leaf&& leaf) {
  if (depth > kMaxTreeDepth) throw FormatError("B-tree deeper than 16 levels");
  const uint8_t* page = Page(ref, ptype);
  const BtPageInfo info = DecodeBtPageInfo(layout_, page);
  if (info.cLevel == 0) {
    for (size_t i = 0; i < info.cEnt; ++i) leaf(page + i * info.cbEnt);
    return;
  }
  // The page may leave the cache while its children are read.
  std::vector<BlockRef> children;
  for (size_t i = 0; i < info.cEnt; ++i) children.push_back(DecodeBtEntry(layout_, page + i * info.cbEnt).child);
  for (const BlockRef& child : children) WalkLeaves(child, ptype, depth + 1, leaf);
}

}  // namespace quillmere::pst::ndb
