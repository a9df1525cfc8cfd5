#include "pst/ndb/ndb_verifier.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "pst/ndb/crc.h"
#include "pst/ndb/ndb_reader.h"

namespace quillmere::pst::ndb {
namespace {

class Verifier {
 public:
  Verifier(const std::string& path, const VerifyOptions& options) : reader_(path), options_(options) {}

  VerifyReport Run() {
    const Layout& l = reader_.layout();
    const Root& root = reader_.header().root;
    if (root.ibFileEof != reader_.fileSize())
      throw FormatError("ROOT: ibFileEof " + Hex(root.ibFileEof) + " but the file has " + Hex(reader_.fileSize()));
    if (l.fourK) {
      // No allocation maps are checked here (the files we write in this
      // format mark theirs invalid), only that nothing overlaps.
      dataStart_ = kFirstDataOffset4k;
      if (root.ibFileEof < dataStart_) throw FormatError("ROOT: ibFileEof lies before the first data");
      used_.assign((root.ibFileEof - dataStart_) / l.blockAlign + 1, 0);
    } else {
      if (root.ibFileEof < kFirstAMapOffset || (root.ibFileEof - kFirstAMapOffset) % kAMapCoverage != 0)
        throw FormatError("ROOT: ibFileEof does not end an AMap range");
      amapCount_ = (root.ibFileEof - kFirstAMapOffset) / kAMapCoverage;
      if (root.ibAMapLast != AMapOffset(amapCount_ - 1)) throw FormatError("ROOT: ibAMapLast is not the last AMap");
      used_.assign(amapCount_ * 496 * 8, 0);
    }

    std::vector<NdbReader::PageVisit> pages;
    const auto nodes = reader_.ReadNodes(&pages);
    report_.nbtLevels = pages.empty() ? 0 : pages.front().level + 1;
    const size_t nbtPages = pages.size();
    const auto blocks = reader_.ReadBlocks(&pages);
    report_.bbtLevels = pages.size() > nbtPages ? pages[nbtPages].level + 1 : 0;
    for (const auto& p : pages) Use(p.ref.ib, l.pageSize, "BTPAGE " + Hex(p.ref.bid));
    report_.btreePages = pages.size();

    for (const auto& b : blocks) {
      if (b.ref.bid & 1) throw FormatError("BBT: block " + Hex(b.ref.bid) + " has the reserved bit set");
      if (!byBid_.emplace(b.ref.bid, &b).second) throw FormatError("BBT: block " + Hex(b.ref.bid) + " twice");
      if (b.ref.ib % l.blockAlign != 0)
        throw FormatError("BBT: block " + Hex(b.ref.bid) + " at " + Hex(b.ref.ib) + " is not " +
                          std::to_string(l.blockAlign) + "-byte aligned");
      Use(b.ref.ib, BlockFootprint(l, b.cb), "block " + Hex(b.ref.bid));
      if (l.fourK && b.cbInflated != b.cb) ++report_.compressedBlocks;
    }
    report_.blocks = blocks.size();

    for (const auto& n : nodes) {
      const std::string what = "node " + Hex(n.nid);
      if (n.bidData) CheckData(n.bidData, what, 0);
      if (n.bidSub) CheckSubnodes(n.bidSub, what, 0);
    }
    report_.nodes = nodes.size();

    if (!l.fourK) CheckMaps();
    return report_;
  }

 private:
  const BbtEntry& Find(uint64_t bid, const std::string& what) {
    auto it = byBid_.find(bid);
    if (it == byBid_.end()) throw FormatError(what + ": block " + Hex(bid) + " is not in the BBT");
    return *it->second;
  }

  // Returns the number of data bytes below bid.
  uint64_t CheckData(uint64_t bid, const std::string& what, int depth) {
    const BbtEntry& e = Find(bid, what);
    const Bytes data = reader_.ReadBlock(e);
    if (!(bid & kBidInternal)) return data.size();
    const XBlock x = DecodeXBlock(reader_.layout(), data.data(), data.size());
    if (depth == 0 && x.cLevel > report_.deepestDataTree) report_.deepestDataTree = x.cLevel;
    if (depth > 0 && x.cLevel != 1) throw FormatError(what + ": XBLOCK " + Hex(bid) + " below an XBLOCK");
    uint64_t total = 0;
    for (uint64_t child : x.bids) {
      if (x.cLevel == 1 && (child & kBidInternal)) throw FormatError(what + ": XBLOCK lists an internal block");
      total += x.cLevel == 1 ? reader_.ReadBlock(Find(child, what)).size() : CheckData(child, what, depth + 1);
    }
    if (total != x.lcbTotal)
      throw FormatError(what + ": XBLOCK " + Hex(bid) + " lcbTotal " + std::to_string(x.lcbTotal) + " but its blocks hold " +
                        std::to_string(total));
    return total;
  }

  void CheckSubnodes(uint64_t bid, const std::string& what, int depth) {
    if (depth > 8) throw FormatError(what + ": subnodes nested too deep");
    const BbtEntry& e = Find(bid, what);
    if (!(bid & kBidInternal)) throw FormatError(what + ": subnode block " + Hex(bid) + " is not internal");
    const Bytes data = reader_.ReadBlock(e);
    const SubnodeBlock s = DecodeSubnodeBlock(reader_.layout(), data.data(), data.size());
    uint32_t last = 0;
    for (size_t i = 0; i < s.leaves.size(); ++i) {
      const auto& sl = s.leaves[i];
      if (i && sl.nid <= last) throw FormatError(what + ": subnodes out of order");
      last = sl.nid;
      const std::string sub = what + " subnode " + Hex(sl.nid);
      if (sl.bidData) CheckData(sl.bidData, sub, 0);
      if (sl.bidSub) CheckSubnodes(sl.bidSub, sub, depth + 1);
    }
    for (const auto& si : s.children) CheckSubnodes(si.bid, what, depth + 1);
  }

  void Use(uint64_t ib, uint64_t size, const std::string& what) {
    const uint64_t unit = reader_.layout().blockAlign;
    if (ib < dataStart_ || ib + size > reader_.header().root.ibFileEof)
      throw FormatError(what + " at " + Hex(ib) + " lies outside the mapped ranges");
    const uint64_t first = (ib - dataStart_) / unit;
    const uint64_t last = (ib + size - dataStart_ + unit - 1) / unit;
    for (uint64_t u = first; u < last; ++u) {
      if (used_[u]) throw FormatError(what + " at " + Hex(ib) + " overlaps other data");
      used_[u] = 1;
    }
  }

  void CheckMapPage(uint64_t ib, uint8_t ptype, Bytes& page) {
    const Layout& l = reader_.layout();
    page = reader_.ReadRaw(ib, kPageSize);
    const PageTrailer t = DecodePageTrailer(l, page.data());
    const std::string what = "map page at " + Hex(ib);
    if (t.ptype != ptype) throw FormatError(what + ": ptype " + Hex(t.ptype) + ", expected " + Hex(ptype));
    if (t.dwCRC != ComputeCrc(0, page.data(), l.pageDataSize)) throw FormatError(what + ": trailer CRC mismatch");
    if (t.wSig != 0) throw FormatError(what + ": wSig is not zero");
  }

  void CheckMaps() {
    const Layout& l = reader_.layout();
    uint64_t freeBytes = 0;
    Bytes page;
    for (uint64_t k = 0; k < amapCount_; ++k) {
      const uint64_t base = AMapOffset(k);
      const uint64_t unit0 = k * 496 * 8;
      // The map pages reserve themselves.
      std::vector<std::pair<uint64_t, uint8_t>> maps = {{base, kPageAMap}};
      if (HasPMap(k)) maps.push_back({base + kPageSize, kPagePMap});
      if (HasFMap(k)) maps.push_back({base + 2 * kPageSize, kPageFMap});
      if (HasFPMap(k)) maps.push_back({base + 3 * kPageSize, kPageFPMap});
      for (auto [ib, ptype] : maps) {
        if (ptype != kPageAMap) CheckMapPage(ib, ptype, page);
        Use(ib, kPageSize, "map page");
      }
      CheckMapPage(base, kPageAMap, page);
      const uint8_t* bits = page.data() + (l.unicode ? 0 : 4);
      for (uint64_t u = 0; u < 496 * 8; ++u) {
        const bool marked = bits[u / 8] & (0x80 >> (u % 8));
        const bool inUse = used_[unit0 + u];
        if (!marked) freeBytes += kBlockAlign;
        if (inUse && !marked)
          throw FormatError("AMap at " + Hex(base) + ": bytes at " + Hex(base + u * kBlockAlign) +
                            " are in use but marked free");
        if (options_.exactAllocation && marked && !inUse && u >= ReservedPages(k) * 8)
          throw FormatError("AMap at " + Hex(base) + ": bytes at " + Hex(base + u * kBlockAlign) +
                            " are marked allocated but nothing uses them");
      }
      ++report_.amapPages;
    }
    if (options_.exactAllocation && freeBytes != reader_.header().root.cbAMapFree)
      throw FormatError("ROOT: cbAMapFree " + std::to_string(reader_.header().root.cbAMapFree) + " but the AMaps free " +
                        std::to_string(freeBytes));
  }

  NdbReader reader_;
  VerifyOptions options_;
  VerifyReport report_;
  uint64_t amapCount_ = 0;
  uint64_t dataStart_ = kFirstAMapOffset;
  std::vector<uint8_t> used_;
  std::unordered_map<uint64_t, const BbtEntry*> byBid_;
};

}  // namespace

VerifyReport VerifyFile(const std::string& path, const VerifyOptions& options) {
  return Verifier(path, options).Run();
}

}  // namespace quillmere::pst::ndb
