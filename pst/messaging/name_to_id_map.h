#pragma once
// The name-to-id map: named properties get property IDs from 0x8000 up; the
// map node keeps the GUID, entry and string streams and the hash buckets.
#include <map>

#include "pst/ltp/ltp_writers.h"
#include "pst/messaging/pst_writer.h"

namespace quillmere::pst {

class NameToIdMap {
 public:
  // Starts with the names every store has, so no stream of the map is empty.
  explicit NameToIdMap(FileFormat format);
  // The property ID of a name, given out on first use.
  uint16_t IdFor(const PropertyName& name);
  size_t size() const { return ids_.size(); }
  ltp::WrittenNode Write(ndb::NdbWriter& ndb) const;

 private:
  FileFormat format_;
  std::map<PropertyName, uint16_t> ids_;
  std::vector<PropertyName> order_;
};

}  // namespace quillmere::pst
