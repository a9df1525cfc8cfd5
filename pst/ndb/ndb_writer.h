#pragma once
// Writes the node database of a PST file in one pass: data blocks go to the
// file as they come, in file order; the allocation maps of the ranges left
// behind are written as soon as a range is full. What stays in memory are
// the B-tree entries (one per node and one per block) and one byte per AMap.
// Finish() writes the two B-trees, the maps and the header.
//
// 4 KB-page files are written without allocation maps (the header marks
// them invalid); their external data blocks are deflated when that saves
// space and compress is set.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "pst/ndb/format.h"
#include "pst/ndb/structures.h"

namespace quillmere::pst::ndb {

class NdbWriter {
 public:
  NdbWriter(const std::string& path, FileFormat format, bool compress = false);
  ~NdbWriter();
  NdbWriter(const NdbWriter&) = delete;
  NdbWriter& operator=(const NdbWriter&) = delete;

  const Layout& layout() const { return layout_; }

  // One block of at most layout().maxBlockData bytes; returns its BID.
  // Internal blocks (XBLOCK, SLBLOCK) carry the fInternal bit.
  uint64_t WriteBlock(const uint8_t* data, size_t cb, bool internal = false);
  // A node's data of any size: one block, or data blocks under an XBLOCK
  // (or XXBLOCK). Returns the BID to put in bidData; empty data still gets
  // a block of zero bytes.
  uint64_t WriteData(const uint8_t* data, size_t size);
  // The tree over data blocks already written (BID and size of each leaf).
  uint64_t WriteDataTree(const std::vector<std::pair<uint64_t, size_t>>& leaves);
  // A node's subnodes as SLBLOCK (or SIBLOCK over SLBLOCKs); 0 when empty.
  uint64_t WriteSubnodes(std::vector<SlEntry> entries);

  void AddNode(const NbtEntry& entry) { nodes_.push_back(entry); }

  // Writes the B-trees, the maps and the header, and closes the file.
  // rgnid: the next free nidIndex of each NID type.
  void Finish(const std::array<uint32_t, 32>& rgnid);

  uint64_t bytesWritten() const { return pos_; }

 private:
  uint64_t Allocate(uint64_t size, uint64_t align);
  void OpenRange();
  void CloseRange();
  void Put(uint64_t offset, const uint8_t* data, size_t size);
  void FlushBuffer();
  void WriteMapPage(uint64_t ib, uint8_t ptype, const uint8_t* bits);
  BlockRef WriteBTree(uint8_t ptype, const std::vector<Bytes>& leafEntries, const std::vector<uint64_t>& keys,
                      size_t leafEntrySize);
  uint64_t NextPageBid();
  void FinishMaps(Header& h);
  void FinishWithoutMaps(Header& h);

  Layout layout_;
  FileFormat format_;
  bool compress_ = false;
  int fd_ = -1;
  std::string path_;
  bool finished_ = false;

  uint64_t nextBid_ = 4;
  uint64_t nextPageBid_ = 1;
  std::vector<BbtEntry> blocks_;
  std::vector<NbtEntry> nodes_;

  // The range the current AMap covers.
  uint64_t amapIndex_ = 0;
  std::array<uint8_t, 496> amapBits_{};
  uint64_t pos_ = 0;
  uint64_t cbAMapFree_ = 0;
  std::vector<uint8_t> longestFree_;  // per closed AMap, in 64-byte units, capped at 255

  Bytes buffer_;
  uint64_t bufferBase_ = 0;
};

}  // namespace quillmere::pst::ndb
