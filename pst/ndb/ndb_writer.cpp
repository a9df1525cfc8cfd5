#include "pst/ndb/ndb_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "pst/ndb/block_compression.h"
#include "pst/ndb/crc.h"

namespace quillmere::pst::ndb {
namespace {

constexpr size_t kFlushThreshold = 8u << 20;

void MarkBits(std::array<uint8_t, 496>& bits, uint64_t from, uint64_t to) {
  // from, to: 64-byte unit indices inside the range; MSB of a byte is its first unit.
  for (uint64_t u = from; u < to; ++u) bits[u / 8] |= uint8_t(0x80 >> (u % 8));
}

}  // namespace

NdbWriter::NdbWriter(const std::string& path, FileFormat format, bool compress)
    : layout_(Layout::For(format)), format_(format), compress_(compress && layout_.fourK), path_(path) {
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0) throw FormatError("cannot create " + path + ": " + std::strerror(errno));
  if (layout_.fourK)
    pos_ = kFirstDataOffset4k;
  else
    OpenRange();
}

NdbWriter::~NdbWriter() {
  if (fd_ >= 0) ::close(fd_);
}

uint64_t NdbWriter::NextPageBid() {
  const uint64_t bid = nextPageBid_;
  nextPageBid_ += 2;
  return bid;
}

void NdbWriter::OpenRange() {
  amapBits_.fill(0);
  const uint64_t pages = ReservedPages(amapIndex_);
  MarkBits(amapBits_, 0, pages * (kPageSize / kBlockAlign));
  const uint64_t base = AMapOffset(amapIndex_);
  pos_ = base + pages * kPageSize;
  // The PMap is deprecated; its bits stay all set. FMaps and FPMaps are
  // written at the end, when the ranges they describe are known.
  if (HasPMap(amapIndex_)) {
    std::array<uint8_t, 500> all;
    all.fill(0xFF);
    WriteMapPage(base + kPageSize, kPagePMap, all.data());
  }
}

void NdbWriter::CloseRange() {
  uint64_t freeUnits = 0, run = 0, longest = 0;
  for (size_t u = 0; u < 496 * 8; ++u) {
    if (amapBits_[u / 8] & (0x80 >> (u % 8))) {
      run = 0;
    } else {
      ++freeUnits;
      longest = std::max(longest, ++run);
    }
  }
  cbAMapFree_ += freeUnits * kBlockAlign;
  longestFree_.push_back(uint8_t(std::min<uint64_t>(longest, 255)));
  WriteMapPage(AMapOffset(amapIndex_), kPageAMap, amapBits_.data());
}

void NdbWriter::WriteMapPage(uint64_t ib, uint8_t ptype, const uint8_t* bits) {
  std::array<uint8_t, kPageSize> page{};
  // ANSI map pages start with four bytes of padding.
  std::memcpy(page.data() + (layout_.unicode ? 0 : 4), bits, 496);
  SealPage(layout_, page.data(), ptype, ib, ib);
  Put(ib, page.data(), page.size());
}

uint64_t NdbWriter::Allocate(uint64_t size, uint64_t align) {
  if (layout_.fourK) {
    const uint64_t start = AlignUp(pos_, align);
    pos_ = start + size;
    return start;
  }
  for (;;) {
    const uint64_t start = AlignUp(pos_, align);
    const uint64_t base = AMapOffset(amapIndex_);
    if (start + size <= base + kAMapCoverage) {
      MarkBits(amapBits_, (start - base) / kBlockAlign, (start + size - base) / kBlockAlign);
      pos_ = start + size;
      return start;
    }
    if (size > kAMapCoverage - 4 * kPageSize) throw FormatError("allocation larger than an AMap range");
    CloseRange();
    ++amapIndex_;
    OpenRange();
  }
}

void NdbWriter::Put(uint64_t offset, const uint8_t* data, size_t size) {
  if (offset >= bufferBase_) {
    const uint64_t rel = offset - bufferBase_;
    if (buffer_.size() < rel + size) buffer_.resize(rel + size, 0);
    std::memcpy(buffer_.data() + rel, data, size);
    if (buffer_.size() >= kFlushThreshold) FlushBuffer();
    return;
  }
  // Behind the buffer (an AMap page of a range already flushed).
  if (offset + size > bufferBase_) throw FormatError("write straddles the output buffer");
  if (::pwrite(fd_, data, size, off_t(offset)) != ssize_t(size))
    throw FormatError("cannot write " + path_ + ": " + std::strerror(errno));
}

void NdbWriter::FlushBuffer() {
  size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t n = ::pwrite(fd_, buffer_.data() + done, buffer_.size() - done, off_t(bufferBase_ + done));
    if (n <= 0) throw FormatError("cannot write " + path_ + ": " + std::strerror(errno));
    done += size_t(n);
  }
  bufferBase_ += buffer_.size();
  buffer_.clear();
}

uint64_t NdbWriter::WriteBlock(const uint8_t* data, size_t cb, bool internal) {
  const uint64_t bid = nextBid_ | (internal ? kBidInternal : 0);
  nextBid_ += 4;
  Bytes deflated;
  if (compress_ && !internal && cb > 0) deflated = DeflateBlock(data, cb);
  const uint16_t cbInflated = deflated.empty() ? 0 : uint16_t(cb);
  const uint8_t* stored = deflated.empty() ? data : deflated.data();
  const size_t cbStored = deflated.empty() ? cb : deflated.size();
  const uint64_t footprint = BlockFootprint(layout_, cbStored);
  const uint64_t ib = Allocate(footprint, layout_.blockAlign);
  const Bytes block = EncodeBlock(layout_, stored, cbStored, bid, ib, cbInflated);
  Put(ib, block.data(), block.size());
  blocks_.push_back({{bid, ib}, uint16_t(cbStored), 2, cbInflated});
  return bid;
}

uint64_t NdbWriter::WriteDataTree(const std::vector<std::pair<uint64_t, size_t>>& leaves) {
  if (leaves.empty()) return WriteBlock(nullptr, 0);
  if (leaves.size() == 1) return leaves[0].first;
  const size_t perX = layout_.MaxXBlockEntries();
  struct Group {
    uint64_t bid;
    uint64_t bytes;
  };
  std::vector<Group> xblocks;
  for (size_t i = 0; i < leaves.size(); i += perX) {
    std::vector<uint64_t> bids;
    uint64_t bytes = 0;
    for (size_t j = i; j < std::min(leaves.size(), i + perX); ++j) {
      bids.push_back(leaves[j].first);
      bytes += leaves[j].second;
    }
    if (bytes > UINT32_MAX) throw FormatError("XBLOCK: lcbTotal past 4 GB");
    const Bytes x = EncodeXBlock(layout_, 1, uint32_t(bytes), bids);
    xblocks.push_back({WriteBlock(x.data(), x.size(), true), bytes});
  }
  if (xblocks.size() == 1) return xblocks[0].bid;
  if (xblocks.size() > perX) throw FormatError("XXBLOCK: data too large for one node");
  std::vector<uint64_t> bids;
  uint64_t total = 0;
  for (const auto& g : xblocks) {
    bids.push_back(g.bid);
    total += g.bytes;
  }
  if (total > UINT32_MAX) throw FormatError("XXBLOCK: lcbTotal past 4 GB");
  const Bytes xx = EncodeXBlock(layout_, 2, uint32_t(total), bids);
  return WriteBlock(xx.data(), xx.size(), true);
}

uint64_t NdbWriter::WriteData(const uint8_t* data, size_t size) {
  std::vector<std::pair<uint64_t, size_t>> leaves;
  for (size_t off = 0; off < size; off += layout_.maxBlockData) {
    const size_t n = std::min(layout_.maxBlockData, size - off);
    leaves.emplace_back(WriteBlock(data + off, n), n);
  }
  return WriteDataTree(leaves);
}

uint64_t NdbWriter::WriteSubnodes(std::vector<SlEntry> entries) {
  if (entries.empty()) return 0;
  std::sort(entries.begin(), entries.end(), [](const SlEntry& a, const SlEntry& b) { return a.nid < b.nid; });
  const size_t perSl = layout_.MaxSLEntries();
  if (entries.size() <= perSl) {
    const Bytes sl = EncodeSlBlock(layout_, entries);
    return WriteBlock(sl.data(), sl.size(), true);
  }
  std::vector<SiEntry> children;
  for (size_t i = 0; i < entries.size(); i += perSl) {
    std::vector<SlEntry> part(entries.begin() + i, entries.begin() + std::min(entries.size(), i + perSl));
    const Bytes sl = EncodeSlBlock(layout_, part);
    children.push_back({part.front().nid, WriteBlock(sl.data(), sl.size(), true)});
  }
  if (children.size() > layout_.MaxSIEntries()) throw FormatError("SIBLOCK: too many subnodes");
  const Bytes si = EncodeSiBlock(layout_, children);
  return WriteBlock(si.data(), si.size(), true);
}

BlockRef NdbWriter::WriteBTree(uint8_t ptype, const std::vector<Bytes>& leafEntries, const std::vector<uint64_t>& keys,
                               size_t leafEntrySize) {
  struct Child {
    uint64_t key;
    BlockRef ref;
  };
  auto writePage = [&](const std::vector<const uint8_t*>& entries, size_t entrySize, uint8_t level) {
    Bytes page(layout_.pageSize, 0);
    const size_t maxEntries = layout_.btEntriesSize / entrySize;
    for (size_t i = 0; i < entries.size(); ++i) std::memcpy(page.data() + i * entrySize, entries[i], entrySize);
    EncodeBtPageInfo(layout_, page.data(),
                     {uint16_t(entries.size()), uint16_t(maxEntries), uint8_t(entrySize), level});
    const uint64_t bid = NextPageBid();
    const uint64_t ib = Allocate(layout_.pageSize, layout_.pageSize);
    SealPage(layout_, page.data(), ptype, bid, ib);
    Put(ib, page.data(), page.size());
    return BlockRef{bid, ib};
  };

  std::vector<Child> level;
  const size_t perLeaf = layout_.btEntriesSize / leafEntrySize;
  if (leafEntries.empty()) {
    level.push_back({0, writePage({}, leafEntrySize, 0)});
  }
  for (size_t i = 0; i < leafEntries.size(); i += perLeaf) {
    std::vector<const uint8_t*> part;
    for (size_t j = i; j < std::min(leafEntries.size(), i + perLeaf); ++j) part.push_back(leafEntries[j].data());
    level.push_back({keys[i], writePage(part, leafEntrySize, 0)});
  }
  uint8_t cLevel = 0;
  const size_t perNode = layout_.btEntriesSize / layout_.btEntrySize;
  while (level.size() > 1) {
    ++cLevel;
    std::vector<Child> up;
    for (size_t i = 0; i < level.size(); i += perNode) {
      std::vector<Bytes> encoded;
      std::vector<const uint8_t*> part;
      for (size_t j = i; j < std::min(level.size(), i + perNode); ++j) {
        encoded.emplace_back(layout_.btEntrySize);
        EncodeBtEntry(layout_, encoded.back().data(), {level[j].key, level[j].ref});
      }
      for (const auto& e : encoded) part.push_back(e.data());
      up.push_back({level[i].key, writePage(part, layout_.btEntrySize, cLevel)});
    }
    level = std::move(up);
  }
  return level.front().ref;
}

void NdbWriter::Finish(const std::array<uint32_t, 32>& rgnid) {
  if (finished_) throw FormatError("the file is already finished");
  finished_ = true;

  std::sort(nodes_.begin(), nodes_.end(), [](const NbtEntry& a, const NbtEntry& b) { return a.nid < b.nid; });
  for (size_t i = 1; i < nodes_.size(); ++i)
    if (nodes_[i].nid == nodes_[i - 1].nid) throw FormatError("NBT: node " + std::to_string(nodes_[i].nid) + " twice");

  Header h;
  h.format = format_;
  h.wVer = layout_.fourK ? kVersionUnicode4k : layout_.unicode ? kVersionUnicode : kVersionAnsi;
  // Only offline files come in the 4 KB-page format.
  if (layout_.fourK) h.wMagicClient = kMagicClientOst;

  std::vector<Bytes> entries;
  std::vector<uint64_t> keys;
  entries.reserve(nodes_.size());
  for (const auto& n : nodes_) {
    entries.emplace_back(layout_.nbtEntrySize);
    EncodeNbtEntry(layout_, entries.back().data(), n);
    keys.push_back(n.nid);
  }
  h.root.nbt = WriteBTree(kPageNBT, entries, keys, layout_.nbtEntrySize);
  std::vector<Bytes>().swap(entries);
  keys.clear();
  for (const auto& b : blocks_) {
    entries.emplace_back(layout_.bbtEntrySize);
    EncodeBbtEntry(layout_, entries.back().data(), b);
    keys.push_back(b.ref.bid);
  }
  h.root.bbt = WriteBTree(kPageBBT, entries, keys, layout_.bbtEntrySize);
  if (layout_.fourK)
    FinishWithoutMaps(h);
  else
    FinishMaps(h);

  h.bidNextB = nextBid_;
  h.bidNextP = nextPageBid_;
  h.dwUnique = 1;
  h.rgnid = rgnid;
  h.crypt = CryptMethod::kNone;
  const Bytes header = EncodeHeader(h);
  Put(0, header.data(), header.size());
  FlushBuffer();
  if (::ftruncate(fd_, off_t(h.root.ibFileEof)) != 0)
    throw FormatError("cannot size " + path_ + ": " + std::strerror(errno));
  if (::close(fd_) != 0) throw FormatError("cannot close " + path_ + ": " + std::strerror(errno));
  fd_ = -1;
}

void NdbWriter::FinishWithoutMaps(Header& h) {
  h.root.ibFileEof = AlignUp(pos_, layout_.pageSize);
  h.root.ibAMapLast = 0;
  h.root.cbAMapFree = 0;
  h.root.cbPMapFree = 0;
  h.root.fAMapValid = kAMapInvalid;
  h.rgbFM.fill(0xFF);
  h.rgbFP.fill(0xFF);
}

void NdbWriter::FinishMaps(Header& h) {
  CloseRange();
  const uint64_t amapCount = amapIndex_ + 1;
  h.root.ibAMapLast = AMapOffset(amapIndex_);
  h.root.ibFileEof = AMapOffset(amapCount);
  h.root.cbAMapFree = cbAMapFree_;
  h.root.cbPMapFree = 0;
  h.root.fAMapValid = kAMapValid2;

  // FMaps: the longest free run of each AMap they cover; FPMaps: all set.
  for (uint64_t k = 0; k < amapCount; ++k) {
    if (HasFMap(k)) {
      std::array<uint8_t, 500> bytes;
      bytes.fill(0xFF);
      for (uint64_t i = 0; i < kAMapsPerFMap && k + i < amapCount; ++i) bytes[i] = longestFree_[k + i];
      WriteMapPage(AMapOffset(k) + 2 * kPageSize, kPageFMap, bytes.data());
    }
    if (HasFPMap(k)) {
      std::array<uint8_t, 500> bytes;
      bytes.fill(0xFF);
      WriteMapPage(AMapOffset(k) + 3 * kPageSize, kPageFPMap, bytes.data());
    }
  }
  h.rgbFM.fill(0xFF);
  for (uint64_t k = 0; k < std::min<uint64_t>(amapCount, kAMapsInHeaderFMap); ++k) h.rgbFM[k] = longestFree_[k];
  h.rgbFP.fill(0xFF);

  // An empty density list at its fixed place.
  if (layout_.unicode) {
    std::array<uint8_t, kPageSize> dlist{};
    SealPage(layout_, dlist.data(), kPageDList, NextPageBid(), kDListOffset);
    Put(kDListOffset, dlist.data(), dlist.size());
  }
}

}  // namespace quillmere::pst::ndb
