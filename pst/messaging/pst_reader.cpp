#include "pst/messaging/pst_reader.h"

namespace quillmere::pst {

PstReader::PstReader(const std::string& path) : ndb_(path) { CheckStore(); }

PstReader::PstReader(int fd) : ndb_(fd) { CheckStore(); }

void PstReader::CheckStore() {
  if (!ndb_.FindNode(nids::kMessageStore)) throw FormatError("NBT: the file has no message store");
  if (!ndb_.FindNode(nids::kRootFolder)) throw FormatError("NBT: the file has no root folder");
}

std::unique_ptr<ltp::PropertyContextReader> PstReader::OpenProperties(uint32_t nid) {
  const auto node = ndb_.FindNode(nid);
  if (!node) throw FormatError("NBT: node " + std::to_string(nid) + " is missing");
  return OpenProperties(*node);
}

std::unique_ptr<ltp::PropertyContextReader> PstReader::OpenProperties(const ndb::NbtEntry& node) {
  return std::make_unique<ltp::PropertyContextReader>(ndb_, node.bidData, node.bidSub);
}

std::unique_ptr<ltp::TableContextReader> PstReader::OpenTable(uint32_t nid) {
  const auto node = ndb_.FindNode(nid);
  if (!node) return nullptr;
  return std::make_unique<ltp::TableContextReader>(ndb_, node->bidData, node->bidSub);
}

std::unique_ptr<ltp::TableContextReader> PstReader::OpenSubnodeTable(ltp::PropertyContextReader& object,
                                                                     uint32_t nid) {
  const auto sub = object.FindSubnode(nid);
  if (!sub) return nullptr;
  return std::make_unique<ltp::TableContextReader>(ndb_, sub->bidData, sub->bidSub);
}

}  // namespace quillmere::pst
