#pragma once
// Re-reads a whole PST file at the node database level: the header and its
// CRCs, every B-tree page, every block's trailer and CRC, the data and
// subnode trees of every node, and the allocation maps against the pages
// and blocks in use. Throws FormatError naming what is wrong.
#include <cstdint>
#include <string>

namespace quillmere::pst::ndb {

struct VerifyOptions {
  // The AMaps mark exactly the space in use (true for files we write;
  // Outlook leaves space marked that nothing refers to any more).
  bool exactAllocation = true;
};

struct VerifyReport {
  uint64_t nodes = 0;
  uint64_t blocks = 0;
  uint64_t btreePages = 0;
  uint64_t amapPages = 0;
  uint64_t compressedBlocks = 0;  // 4 KB-page files
  int nbtLevels = 0;
  int bbtLevels = 0;
  int deepestDataTree = 0;  // 0: one block, 1: XBLOCK, 2: XXBLOCK
};

VerifyReport VerifyFile(const std::string& path, const VerifyOptions& options = {});

}  // namespace quillmere::pst::ndb
