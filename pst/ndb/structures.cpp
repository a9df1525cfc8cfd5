#include "pst/ndb/structures.h"

#include <cstdio>
#include <string>

#include "pst/ndb/crc.h"

namespace quillmere::pst::ndb {

std::string Hex(uint64_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}
namespace {

// Offsets of the HEADER fields that differ between the formats.
struct HeaderOffsets {
  size_t bidNextB, bidNextP, dwUnique, rgnid, root, rgbFM, rgbFP, bSentinel, bCryptMethod, dwCRCFull;
};
constexpr HeaderOffsets kUnicodeHeader{516, 32, 40, 44, 180, 256, 384, 512, 513, 524};
constexpr HeaderOffsets kAnsiHeader{24, 28, 32, 36, 164, 204, 332, 460, 461, 0};
constexpr size_t kPartialCrcLength = 471;
constexpr size_t kFullCrcLength = 516;
// The word before cbInflated in the trailer of a 4 KB-page block; its
// meaning is not known, files carry 2 there.
constexpr uint16_t kBlockTrailer4kMark = 2;

void EncodeRoot(const Layout& l, uint8_t* p, const Root& r) {
  Put32(p, 0);
  p += 4;
  for (uint64_t v : {r.ibFileEof, r.ibAMapLast, r.cbAMapFree, r.cbPMapFree}) {
    PutWide(p, v, l.unicode);
    p += l.bidSize;
  }
  for (const BlockRef& b : {r.nbt, r.bbt}) {
    PutWide(p, b.bid, l.unicode);
    PutWide(p + l.bidSize, b.ib, l.unicode);
    p += 2 * l.bidSize;
  }
  p[0] = r.fAMapValid;
}

Root DecodeRoot(const Layout& l, const uint8_t* p) {
  Root r;
  p += 4;
  uint64_t* fields[] = {&r.ibFileEof, &r.ibAMapLast, &r.cbAMapFree, &r.cbPMapFree};
  for (uint64_t* f : fields) {
    *f = GetWide(p, l.unicode);
    p += l.bidSize;
  }
  for (BlockRef* b : {&r.nbt, &r.bbt}) {
    b->bid = GetWide(p, l.unicode);
    b->ib = GetWide(p + l.bidSize, l.unicode);
    p += 2 * l.bidSize;
  }
  r.fAMapValid = p[0];
  return r;
}

}  // namespace

Bytes EncodeHeader(const Header& h) {
  const Layout l = Layout::For(h.format);
  const HeaderOffsets& o = l.unicode ? kUnicodeHeader : kAnsiHeader;
  Bytes out(l.headerSize, 0);
  uint8_t* p = out.data();
  Put32(p, kHeaderMagic);
  Put16(p + 8, h.wMagicClient);
  Put16(p + 10, h.wVer);
  Put16(p + 12, kClientVersion);
  p[14] = kPlatform;
  p[15] = kPlatform;
  PutWide(p + o.bidNextB, h.bidNextB, l.unicode);
  PutWide(p + o.bidNextP, h.bidNextP, l.unicode);
  Put32(p + o.dwUnique, h.dwUnique);
  for (size_t i = 0; i < 32; ++i) Put32(p + o.rgnid + 4 * i, h.rgnid[i]);
  EncodeRoot(l, p + o.root, h.root);
  std::memcpy(p + o.rgbFM, h.rgbFM.data(), 128);
  std::memcpy(p + o.rgbFP, h.rgbFP.data(), 128);
  p[o.bSentinel] = kSentinel;
  p[o.bCryptMethod] = uint8_t(h.crypt);
  Put32(p + 4, ComputeCrc(0, p + 8, kPartialCrcLength));
  if (l.unicode) Put32(p + o.dwCRCFull, ComputeCrc(0, p + 8, kFullCrcLength));
  return out;
}

Header DecodeHeader(const uint8_t* p, size_t size) {
  if (size < kHeaderSizeAnsi) throw FormatError("HEADER: file shorter than a header");
  if (Get32(p) != kHeaderMagic) throw FormatError("HEADER: dwMagic is not !BDN");
  Header h;
  h.wMagicClient = Get16(p + 8);
  if (h.wMagicClient != kMagicClient && h.wMagicClient != kMagicClientOst)
    throw FormatError("HEADER: wMagicClient is neither SM nor SO");
  h.wVer = Get16(p + 10);
  if (h.wVer == kVersionUnicode4k)
    h.format = FileFormat::kUnicode4k;
  else if (h.wVer >= 23 && h.wVer < kVersionUnicode4k)
    h.format = FileFormat::kUnicode;
  else if (h.wVer == 14 || h.wVer == 15)
    h.format = FileFormat::kAnsi;
  else
    throw FormatError("HEADER: unknown wVer " + std::to_string(h.wVer));
  const Layout l = Layout::For(h.format);
  if (size < l.headerSize) throw FormatError("HEADER: file shorter than a header");
  const HeaderOffsets& o = l.unicode ? kUnicodeHeader : kAnsiHeader;
  if (Get32(p + 4) != ComputeCrc(0, p + 8, kPartialCrcLength)) throw FormatError("HEADER: dwCRCPartial mismatch");
  if (l.unicode && Get32(p + o.dwCRCFull) != ComputeCrc(0, p + 8, kFullCrcLength))
    throw FormatError("HEADER: dwCRCFull mismatch");
  if (p[o.bSentinel] != kSentinel) throw FormatError("HEADER: bSentinel is not 0x80");
  h.bidNextB = GetWide(p + o.bidNextB, l.unicode);
  h.bidNextP = GetWide(p + o.bidNextP, l.unicode);
  h.dwUnique = Get32(p + o.dwUnique);
  for (size_t i = 0; i < 32; ++i) h.rgnid[i] = Get32(p + o.rgnid + 4 * i);
  h.root = DecodeRoot(l, p + o.root);
  std::memcpy(h.rgbFM.data(), p + o.rgbFM, 128);
  std::memcpy(h.rgbFP.data(), p + o.rgbFP, 128);
  h.crypt = CryptMethod(p[o.bCryptMethod]);
  return h;
}

void SealPage(const Layout& l, uint8_t* page, uint8_t ptype, uint64_t bid, uint64_t ib) {
  uint8_t* t = page + l.pageDataSize;
  t[0] = ptype;
  t[1] = ptype;
  const bool signed_ = ptype == kPageBBT || ptype == kPageNBT || ptype == kPageDList;
  Put16(t + 2, signed_ ? ComputeSig(ib, bid) : 0);
  const uint32_t crc = ComputeCrc(0, page, l.pageDataSize);
  if (l.unicode) {
    Put32(t + 4, crc);
    Put64(t + 8, bid);
  } else {
    Put32(t + 4, uint32_t(bid));
    Put32(t + 8, crc);
  }
}

PageTrailer DecodePageTrailer(const Layout& l, const uint8_t* page) {
  const uint8_t* t = page + l.pageDataSize;
  PageTrailer r;
  r.ptype = t[0];
  if (t[1] != t[0]) throw FormatError("PAGETRAILER: ptypeRepeat differs from ptype");
  r.wSig = Get16(t + 2);
  if (l.unicode) {
    r.dwCRC = Get32(t + 4);
    r.bid = Get64(t + 8);
  } else {
    r.bid = Get32(t + 4);
    r.dwCRC = Get32(t + 8);
  }
  return r;
}

Bytes EncodeBlock(const Layout& l, const uint8_t* data, size_t cb, uint64_t bid, uint64_t ib, uint16_t cbInflated) {
  if (cb > l.maxBlockData) throw FormatError("block: cb larger than a block holds");
  if (cbInflated && !l.fourK) throw FormatError("block: only 4 KB-page files hold compressed blocks");
  Bytes out(BlockFootprint(l, cb), 0);
  if (cb) std::memcpy(out.data(), data, cb);
  uint8_t* t = out.data() + out.size() - l.blockTrailerSize;
  Put16(t, uint16_t(cb));
  Put16(t + 2, ComputeSig(ib, bid));
  const uint32_t crc = ComputeCrc(0, data, cb);
  if (l.unicode) {
    Put32(t + 4, crc);
    Put64(t + 8, bid);
  } else {
    Put32(t + 4, uint32_t(bid));
    Put32(t + 8, crc);
  }
  if (l.fourK) {
    Put16(t + 16, kBlockTrailer4kMark);
    Put16(t + 18, cbInflated ? cbInflated : uint16_t(cb));
  }
  return out;
}

BlockTrailer DecodeBlockTrailer(const Layout& l, const uint8_t* block, size_t footprint) {
  const uint8_t* t = block + footprint - l.blockTrailerSize;
  BlockTrailer r;
  r.cb = Get16(t);
  r.wSig = Get16(t + 2);
  if (l.unicode) {
    r.dwCRC = Get32(t + 4);
    r.bid = Get64(t + 8);
  } else {
    r.bid = Get32(t + 4);
    r.dwCRC = Get32(t + 8);
  }
  r.cbInflated = l.fourK ? Get16(t + 18) : r.cb;
  return r;
}

void EncodeBtEntry(const Layout& l, uint8_t* p, const BtEntry& e) {
  PutWide(p, e.key, l.unicode);
  PutWide(p + l.bidSize, e.child.bid, l.unicode);
  PutWide(p + 2 * l.bidSize, e.child.ib, l.unicode);
}
void EncodeBbtEntry(const Layout& l, uint8_t* p, const BbtEntry& e) {
  PutWide(p, e.ref.bid, l.unicode);
  PutWide(p + l.bidSize, e.ref.ib, l.unicode);
  Put16(p + 2 * l.bidSize, e.cb);
  if (l.fourK) {
    Put16(p + 18, e.cbInflated ? e.cbInflated : e.cb);
    Put16(p + 20, e.cRef);
  } else {
    Put16(p + 2 * l.bidSize + 2, e.cRef);
  }
}
void EncodeNbtEntry(const Layout& l, uint8_t* p, const NbtEntry& e) {
  PutWide(p, e.nid, l.unicode);
  PutWide(p + l.bidSize, e.bidData, l.unicode);
  PutWide(p + 2 * l.bidSize, e.bidSub, l.unicode);
  Put32(p + 3 * l.bidSize, e.nidParent);
}
BtEntry DecodeBtEntry(const Layout& l, const uint8_t* p) {
  return {GetWide(p, l.unicode), {GetWide(p + l.bidSize, l.unicode), GetWide(p + 2 * l.bidSize, l.unicode)}};
}
BbtEntry DecodeBbtEntry(const Layout& l, const uint8_t* p) {
  BbtEntry e;
  e.ref = {GetWide(p, l.unicode), GetWide(p + l.bidSize, l.unicode)};
  e.cb = Get16(p + 2 * l.bidSize);
  if (l.fourK) {
    e.cbInflated = Get16(p + 18);
    e.cRef = Get16(p + 20);
  } else {
    e.cbInflated = e.cb;
    e.cRef = Get16(p + 2 * l.bidSize + 2);
  }
  return e;
}
NbtEntry DecodeNbtEntry(const Layout& l, const uint8_t* p) {
  NbtEntry e;
  e.nid = uint32_t(GetWide(p, l.unicode));
  e.bidData = GetWide(p + l.bidSize, l.unicode);
  e.bidSub = GetWide(p + 2 * l.bidSize, l.unicode);
  e.nidParent = Get32(p + 3 * l.bidSize);
  return e;
}

void EncodeBtPageInfo(const Layout& l, uint8_t* page, const BtPageInfo& info) {
  uint8_t* p = page + l.btEntriesSize;
  if (l.fourK) {
    Put16(p, info.cEnt);
    Put16(p + 2, info.cEntMax);
    p += 4;
  } else {
    p[0] = uint8_t(info.cEnt);
    p[1] = uint8_t(info.cEntMax);
    p += 2;
  }
  p[0] = info.cbEnt;
  p[1] = info.cLevel;
}
BtPageInfo DecodeBtPageInfo(const Layout& l, const uint8_t* page) {
  const uint8_t* p = page + l.btEntriesSize;
  if (l.fourK) return {Get16(p), Get16(p + 2), p[4], p[5]};
  return {p[0], p[1], p[2], p[3]};
}

BtPageInfo CheckBtPage(const Layout& l, const uint8_t* page, const BlockRef& ref, uint8_t ptype) {
  auto what = [&] { return "BTPAGE " + Hex(ref.bid) + " at " + Hex(ref.ib); };
  const PageTrailer t = DecodePageTrailer(l, page);
  if (t.ptype != ptype) throw FormatError(what() + ": ptype " + Hex(t.ptype) + ", expected " + Hex(ptype));
  if ((t.bid & ~uint64_t{1}) != (ref.bid & ~uint64_t{1})) throw FormatError(what() + ": trailer bid differs from the reference");
  const BtPageInfo info = DecodeBtPageInfo(l, page);
  const size_t leafSize = ptype == kPageNBT ? l.nbtEntrySize : l.bbtEntrySize;
  const size_t entrySize = info.cLevel == 0 ? leafSize : l.btEntrySize;
  if (info.cbEnt < entrySize) throw FormatError(what() + ": cbEnt " + std::to_string(info.cbEnt) + " is wrong");
  if (size_t(info.cEnt) * info.cbEnt > l.btEntriesSize) throw FormatError(what() + ": entries run past the page");
  return info;
}

Bytes EncodeXBlock(const Layout& l, uint8_t cLevel, uint32_t lcbTotal, const std::vector<uint64_t>& bids) {
  if (bids.size() > l.MaxXBlockEntries()) throw FormatError("XBLOCK: too many entries");
  Bytes out;
  ByteWriter w(out);
  w.U8(kBlockTypeXBlock);
  w.U8(cLevel);
  w.U16(uint16_t(bids.size()));
  w.U32(lcbTotal);
  for (uint64_t b : bids) w.Wide(b, l.unicode);
  return out;
}

XBlock DecodeXBlock(const Layout& l, const uint8_t* data, size_t cb) {
  if (cb < 8 || data[0] != kBlockTypeXBlock) throw FormatError("XBLOCK: btype is not 0x01");
  XBlock x;
  x.cLevel = data[1];
  if (x.cLevel != 1 && x.cLevel != 2) throw FormatError("XBLOCK: cLevel is neither 1 nor 2");
  const uint16_t cEnt = Get16(data + 2);
  x.lcbTotal = Get32(data + 4);
  if (8 + size_t(cEnt) * l.bidSize > cb) throw FormatError("XBLOCK: cEnt runs past the block");
  for (uint16_t i = 0; i < cEnt; ++i) x.bids.push_back(GetWide(data + 8 + i * l.bidSize, l.unicode));
  return x;
}

namespace {
void PutSubnodeHeader(const Layout& l, ByteWriter& w, uint8_t cLevel, size_t count) {
  w.U8(kBlockTypeSLBlock);
  w.U8(cLevel);
  w.U16(uint16_t(count));
  if (l.unicode) w.U32(0);
}
}  // namespace

Bytes EncodeSlBlock(const Layout& l, const std::vector<SlEntry>& entries) {
  if (entries.size() > l.MaxSLEntries()) throw FormatError("SLBLOCK: too many entries");
  Bytes out;
  ByteWriter w(out);
  PutSubnodeHeader(l, w, 0, entries.size());
  for (const auto& e : entries) {
    w.Wide(e.nid, l.unicode);
    w.Wide(e.bidData, l.unicode);
    w.Wide(e.bidSub, l.unicode);
  }
  return out;
}

Bytes EncodeSiBlock(const Layout& l, const std::vector<SiEntry>& entries) {
  if (entries.size() > l.MaxSIEntries()) throw FormatError("SIBLOCK: too many entries");
  Bytes out;
  ByteWriter w(out);
  PutSubnodeHeader(l, w, 1, entries.size());
  for (const auto& e : entries) {
    w.Wide(e.nid, l.unicode);
    w.Wide(e.bid, l.unicode);
  }
  return out;
}

SubnodeBlock DecodeSubnodeBlock(const Layout& l, const uint8_t* data, size_t cb) {
  if (cb < l.slBlockHeader || data[0] != kBlockTypeSLBlock) throw FormatError("SLBLOCK: btype is not 0x02");
  SubnodeBlock s;
  s.cLevel = data[1];
  const uint16_t cEnt = Get16(data + 2);
  const uint8_t* p = data + l.slBlockHeader;
  const size_t entry = s.cLevel == 0 ? l.slEntrySize : l.siEntrySize;
  if (s.cLevel > 1) throw FormatError("SLBLOCK: cLevel is neither 0 nor 1");
  if (l.slBlockHeader + size_t(cEnt) * entry > cb) throw FormatError("SLBLOCK: cEnt runs past the block");
  for (uint16_t i = 0; i < cEnt; ++i, p += entry) {
    if (s.cLevel == 0)
      s.leaves.push_back({uint32_t(GetWide(p, l.unicode)), GetWide(p + l.bidSize, l.unicode),
                          GetWide(p + 2 * l.bidSize, l.unicode)});
    else
      s.children.push_back({uint32_t(GetWide(p, l.unicode)), GetWide(p + l.bidSize, l.unicode)});
  }
  return s;
}

}  // namespace quillmere::pst::ndb
