#include "pst/ndb/ndb_reader.h"

#include <cstdio>

#include "pst/ndb/block_compression.h"
#include "pst/ndb/crc.h"

namespace quillmere::pst::ndb {

template <typename Leaf, typename Decode>
void NdbReader::Walk(const BlockRef& ref, uint8_t ptype, int expectLevel, uint64_t minKey, std::vector<Leaf>& out,
                     std::vector<PageVisit>* pages, Decode decode, int depth) {
  if (depth > 16) throw FormatError("BTPAGE " + Hex(ref.bid) + ": B-tree deeper than 16 levels");
  const Layout& l = layout();
  if (ref.ib % l.pageSize != 0) throw FormatError("BTPAGE " + Hex(ref.bid) + ": ib not on a page boundary");
  const Bytes page = ReadRaw(ref.ib, l.pageSize);
  const BtPageInfo info = CheckBtPage(l, page.data(), ref, ptype);
  const PageTrailer t = DecodePageTrailer(l, page.data());
  const std::string what = "BTPAGE " + Hex(ref.bid) + " at " + Hex(ref.ib);
  if (t.bid != ref.bid) throw FormatError(what + ": trailer bid " + Hex(t.bid) + " differs from the reference");
  if (t.dwCRC != ComputeCrc(0, page.data(), l.pageDataSize)) throw FormatError(what + ": trailer CRC mismatch");
  if (t.wSig != ComputeSig(ref.ib, ref.bid)) throw FormatError(what + ": wSig mismatch");
  if (pages) pages->push_back({ref, info.cLevel});
  if (expectLevel >= 0 && info.cLevel != expectLevel) throw FormatError(what + ": cLevel out of step with its parent");
  const size_t leafSize = ptype == kPageNBT ? l.nbtEntrySize : l.bbtEntrySize;
  const size_t entrySize = info.cLevel == 0 ? leafSize : l.btEntrySize;
  if (info.cbEnt != entrySize) throw FormatError(what + ": cbEnt " + std::to_string(info.cbEnt) + " is wrong");
  if (info.cEntMax != l.btEntriesSize / entrySize) throw FormatError(what + ": cEntMax is wrong");
  if (info.cEnt > info.cEntMax) throw FormatError(what + ": cEnt larger than cEntMax");
  uint64_t lastKey = minKey;
  for (size_t i = 0; i < info.cEnt; ++i) {
    const uint8_t* p = page.data() + i * entrySize;
    if (info.cLevel == 0) {
      const Leaf leaf = decode(p);
      out.push_back(leaf);
    } else {
      const BtEntry e = DecodeBtEntry(l, p);
      if (i > 0 && e.key <= lastKey) throw FormatError(what + ": keys out of order");
      lastKey = e.key;
      Walk(e.child, ptype, info.cLevel - 1, e.key, out, pages, decode, depth + 1);
    }
  }
}

std::vector<NbtEntry> NdbReader::ReadNodes(std::vector<PageVisit>* pages) {
  std::vector<NbtEntry> out;
  Walk(header().root.nbt, kPageNBT, -1, 0, out, pages, [&](const uint8_t* p) { return DecodeNbtEntry(layout(), p); }, 0);
  for (size_t i = 1; i < out.size(); ++i)
    if (out[i].nid <= out[i - 1].nid) throw FormatError("NBT: node " + Hex(out[i].nid) + " out of order");
  return out;
}

std::vector<BbtEntry> NdbReader::ReadBlocks(std::vector<PageVisit>* pages) {
  std::vector<BbtEntry> out;
  Walk(header().root.bbt, kPageBBT, -1, 0, out, pages, [&](const uint8_t* p) { return DecodeBbtEntry(layout(), p); }, 0);
  for (size_t i = 1; i < out.size(); ++i)
    if (out[i].ref.bid <= out[i - 1].ref.bid) throw FormatError("BBT: block " + Hex(out[i].ref.bid) + " out of order");
  return out;
}

Bytes NdbReader::ReadBlock(const BbtEntry& e) {
  const std::string what = "block " + Hex(e.ref.bid) + " at " + Hex(e.ref.ib);
  if (e.ref.ib % layout().blockAlign != 0)
    throw FormatError(what + ": ib not " + std::to_string(layout().blockAlign) + "-byte aligned");
  BlockTrailer t;
  Bytes raw = db_.ReadStoredBlock(e, &t);
  if (t.bid != e.ref.bid) throw FormatError(what + ": trailer bid differs from the BBT");
  if (t.wSig != ComputeSig(e.ref.ib, e.ref.bid)) throw FormatError(what + ": wSig mismatch");
  if (t.dwCRC != ComputeCrc(0, raw.data(), e.cb)) throw FormatError(what + ": trailer CRC mismatch");
  if (t.Compressed()) {
    if (e.cbInflated != t.cbInflated) throw FormatError(what + ": cbInflated differs between the BBT and the trailer");
    return InflateBlock(raw.data(), raw.size(), t.cbInflated);
  }
  return raw;
}

}  // namespace quillmere::pst::ndb
