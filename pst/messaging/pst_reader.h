#pragma once
// The read side of the messaging layer: the message store, folders and
// messages of a file as property and table contexts, found by NID.
#include <cstdint>
#include <memory>
#include <string>

#include "pst/ltp/property_context_reader.h"
#include "pst/ltp/table_context_reader.h"
#include "pst/messaging/nids.h"
#include "pst/ndb/node_database.h"

namespace quillmere::pst {

class PstReader {
 public:
  // Throws FormatError when the file is not a PST file this reader reads,
  // or has no message store or root folder.
  explicit PstReader(const std::string& path);
  explicit PstReader(int fd);

  FileFormat format() const { return ndb_.header().format; }
  ndb::NodeDatabase& ndb() { return ndb_; }

  // The property context of a node; throws FormatError when it is missing.
  std::unique_ptr<ltp::PropertyContextReader> OpenProperties(uint32_t nid);
  std::unique_ptr<ltp::PropertyContextReader> OpenProperties(const ndb::NbtEntry& node);
  // A table node at the top level (a folder's hierarchy or contents table);
  // null when the file has no such node.
  std::unique_ptr<ltp::TableContextReader> OpenTable(uint32_t nid);
  // A table held in a subnode of an object (a message's attachment or
  // recipient table); null when the object has none.
  std::unique_ptr<ltp::TableContextReader> OpenSubnodeTable(ltp::PropertyContextReader& object, uint32_t nid);

  static uint32_t HierarchyTableOf(uint32_t folderNid) { return nids::WithType(folderNid, nids::kTypeHierarchyTable); }
  static uint32_t ContentsTableOf(uint32_t folderNid) { return nids::WithType(folderNid, nids::kTypeContentsTable); }

 private:
  void CheckStore();
  ndb::NodeDatabase ndb_;
};

}  // namespace quillmere::pst
