#include "pst/ndb/node_database.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "pst/ndb/block_codec.h"
#include "pst/ndb/block_compression.h"
#include "pst/ndb/crc.h"

namespace quillmere::pst::ndb {
namespace {

// The lowest bit of a BID is reserved; look-ups ignore it.
constexpr uint64_t kBidMask = ~uint64_t{1};

constexpr int kMaxBlockDepth = 8;

}  // namespace

NodeDatabase::NodeDatabase(const std::string& path) : layout_(Layout::For(FileFormat::kUnicode)) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) throw FormatError("cannot open " + path + ": " + std::strerror(errno));
  Open();
}

NodeDatabase::NodeDatabase(int fd) : fd_(fd), layout_(Layout::For(FileFormat::kUnicode)) {
  if (fd_ < 0) throw FormatError("no file to read");
  Open();
}

NodeDatabase::~NodeDatabase() {
  if (fd_ >= 0) ::close(fd_);
}

void NodeDatabase::Open() {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) throw FormatError(std::string("cannot read the file: ") + std::strerror(errno));
  fileSize_ = uint64_t(st.st_size);
  if (fileSize_ < kHeaderSizeAnsi) throw FormatError("HEADER: file shorter than a header");
  uint8_t head[kHeaderSizeUnicode] = {};
  const size_t headSize = size_t(std::min<uint64_t>(fileSize_, kHeaderSizeUnicode));
  ReadAt(0, head, headSize);
  header_ = DecodeHeader(head, headSize);
  if (header_.crypt != CryptMethod::kNone && header_.crypt != CryptMethod::kPermute)
    throw FormatError("HEADER: bCryptMethod " + std::to_string(int(header_.crypt)) + " is not read here");
  layout_ = Layout::For(header_.format);
  cacheIb_.assign(kCacheSlots, ~uint64_t{0});
  cacheBytes_.reset(new uint8_t[kCacheSlots * layout_.pageSize]);
}

void NodeDatabase::ReadAt(uint64_t offset, uint8_t* out, size_t size) {
  if (offset > fileSize_ || size > fileSize_ - offset)
    throw FormatError("read at " + Hex(offset) + " runs past the end of the file");
  ReadFile(offset, out, size);
}

void NodeDatabase::ReadFile(uint64_t offset, uint8_t* out, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd_, out + done, size - done, off_t(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw FormatError(std::string("cannot read the file: ") + (n < 0 ? std::strerror(errno) : "short read"));
    done += size_t(n);
  }
}

const uint8_t* NodeDatabase::Page(const BlockRef& ref, uint8_t ptype) {
  const size_t pageSize = layout_.pageSize;
  const size_t slot = (ref.ib / pageSize) % kCacheSlots;
  uint8_t* page = cacheBytes_.get() + slot * pageSize;
  if (cacheIb_[slot] == ref.ib) return page;
  // The fault's text is only made when there is a fault.
  auto what = [&] { return "BTPAGE " + Hex(ref.bid) + " at " + Hex(ref.ib); };
  if (ref.ib % pageSize != 0) throw FormatError(what() + ": ib not on a page boundary");
  cacheIb_[slot] = ~uint64_t{0};
  if (ref.ib > fileSize_ || pageSize > fileSize_ - ref.ib) throw FormatError(what() + ": runs past the end of the file");
  ReadFile(ref.ib, page, pageSize);
  CheckBtPage(layout_, page, ref, ptype);
  cacheIb_[slot] = ref.ib;
  return page;
}

const uint8_t* NodeDatabase::FindLeaf(const BlockRef& root, uint8_t ptype, uint64_t key) {
  BlockRef ref = root;
  for (int depth = 0; depth <= kMaxTreeDepth; ++depth) {
    const uint8_t* page = Page(ref, ptype);
    const BtPageInfo info = DecodeBtPageInfo(layout_, page);
    if (info.cEnt == 0) return nullptr;
    // The last entry whose key is not above the one sought.
    size_t lo = 0, hi = info.cEnt;
    while (hi - lo > 1) {
      const size_t mid = (lo + hi) / 2;
      const uint64_t k = GetWide(page + mid * info.cbEnt, layout_.unicode);
      const uint64_t cmp = ptype == kPageBBT ? (k & kBidMask) : uint32_t(k);
      if (cmp <= key) lo = mid; else hi = mid;
    }
    const uint8_t* entry = page + lo * info.cbEnt;
    const uint64_t k = GetWide(entry, layout_.unicode);
    const uint64_t found = ptype == kPageBBT ? (k & kBidMask) : uint32_t(k);
    if (info.cLevel == 0) return found == key ? entry : nullptr;
    if (found > key) return nullptr;
    ref = DecodeBtEntry(layout_, entry).child;
  }
  throw FormatError("B-tree deeper than 16 levels");
}

std::optional<NbtEntry> NodeDatabase::FindNode(uint32_t nid) {
  const uint8_t* p = FindLeaf(header_.root.nbt, kPageNBT, nid);
  if (!p) return std::nullopt;
  return DecodeNbtEntry(layout_, p);
}

std::optional<BbtEntry> NodeDatabase::FindBlock(uint64_t bid) {
  const uint8_t* p = FindLeaf(header_.root.bbt, kPageBBT, bid & kBidMask);
  if (!p) return std::nullopt;
  return DecodeBbtEntry(layout_, p);
}

Bytes NodeDatabase::ReadStoredBlock(const BbtEntry& entry, BlockTrailer* trailer) {
  auto what = [&] { return "block " + Hex(entry.ref.bid) + " at " + Hex(entry.ref.ib); };
  if (entry.cb > layout_.maxBlockData) throw FormatError(what() + ": cb larger than a block holds");
  const uint64_t footprint = BlockFootprint(layout_, entry.cb);
  Bytes raw(footprint);
  ReadAt(entry.ref.ib, raw.data(), raw.size());
  const BlockTrailer t = DecodeBlockTrailer(layout_, raw.data(), footprint);
  if (t.cb != entry.cb) throw FormatError(what() + ": trailer cb differs from the BBT");
  if ((t.bid & kBidMask) != (entry.ref.bid & kBidMask)) throw FormatError(what() + ": trailer bid differs from the BBT");
  if (trailer) *trailer = t;
  raw.resize(entry.cb);
  return raw;
}

Bytes NodeDatabase::ReadBlock(uint64_t bid) {
  const auto entry = FindBlock(bid);
  if (!entry) throw FormatError("block " + Hex(bid) + " is not in the BBT");
  BlockTrailer trailer;
  Bytes raw = ReadStoredBlock(*entry, &trailer);
  if (trailer.Compressed()) raw = InflateBlock(raw.data(), raw.size(), trailer.cbInflated);
  if (!(bid & kBidInternal) && header_.crypt == CryptMethod::kPermute) DecodePermuted(raw.data(), raw.size());
  return raw;
}

size_t NodeDatabase::BlockDataSize(uint64_t bid) {
  const auto entry = FindBlock(bid);
  if (!entry) throw FormatError("block " + Hex(bid) + " is not in the BBT");
  if (!layout_.fourK) return entry->cb;
  // Only the trailer says how large a compressed block inflates.
  const uint64_t footprint = BlockFootprint(layout_, entry->cb);
  uint8_t trailer[32];
  ReadAt(entry->ref.ib + footprint - layout_.blockTrailerSize, trailer, layout_.blockTrailerSize);
  const BlockTrailer t = DecodeBlockTrailer(layout_, trailer, layout_.blockTrailerSize);
  return t.Compressed() ? t.cbInflated : entry->cb;
}

Bytes NodeDatabase::ReadRaw(uint64_t offset, size_t size) {
  Bytes out(size);
  ReadAt(offset, out.data(), size);
  return out;
}

void NodeDatabase::CollectDataBlocks(uint64_t bid, int depth, std::vector<uint64_t>& out) {
  if (!(bid & kBidInternal)) {
    out.push_back(bid);
    return;
  }
  if (depth >= 2) throw FormatError("XBLOCK " + Hex(bid) + ": nested deeper than an XXBLOCK");
  const Bytes data = ReadBlock(bid);
  const XBlock x = DecodeXBlock(layout_, data.data(), data.size());
  if (depth == 0 ? x.cLevel == 0 : x.cLevel != 1) throw FormatError("XBLOCK " + Hex(bid) + ": cLevel out of step");
  // Every block takes at least 64 bytes of the file: a tree listing more
  // blocks than that lists some of them again.
  if (out.size() + x.bids.size() > fileSize_ / layout_.blockAlign) throw FormatError("XBLOCK " + Hex(bid) + ": lists more blocks than the file holds");
  for (uint64_t child : x.bids) {
    if (x.cLevel == 1 && (child & kBidInternal)) throw FormatError("XBLOCK " + Hex(bid) + ": lists an internal block");
    if (x.cLevel == 2 && !(child & kBidInternal)) throw FormatError("XXBLOCK " + Hex(bid) + ": lists a data block");
    CollectDataBlocks(child, depth + 1, out);
  }
}

std::vector<uint64_t> NodeDatabase::DataBlockIds(uint64_t bidData) {
  std::vector<uint64_t> out;
  if (bidData == 0) return out;
  CollectDataBlocks(bidData, 0, out);
  return out;
}

Bytes NodeDatabase::ReadNodeData(uint64_t bidData) {
  const std::vector<uint64_t> bids = DataBlockIds(bidData);
  if (bids.size() == 1) return ReadBlock(bids[0]);
  Bytes out;
  for (uint64_t bid : bids) {
    const Bytes block = ReadBlock(bid);
    out.insert(out.end(), block.begin(), block.end());
  }
  return out;
}

void NodeDatabase::CollectSubnodes(uint64_t bid, int depth, std::vector<SlEntry>& out) {
  if (depth > kMaxBlockDepth) throw FormatError("SIBLOCK " + Hex(bid) + ": nested too deep");
  const Bytes data = ReadBlock(bid);
  const SubnodeBlock s = DecodeSubnodeBlock(layout_, data.data(), data.size());
  if (s.cLevel == 0) {
    out.insert(out.end(), s.leaves.begin(), s.leaves.end());
    return;
  }
  // An SIBLOCK lists SLBLOCKs only.
  if (depth > 0) throw FormatError("SIBLOCK " + Hex(bid) + ": below another SIBLOCK");
  for (const SiEntry& e : s.children) CollectSubnodes(e.bid, depth + 1, out);
}

std::vector<SlEntry> NodeDatabase::ReadSubnodes(uint64_t bidSub) {
  std::vector<SlEntry> out;
  if (bidSub == 0) return out;
  CollectSubnodes(bidSub, 0, out);
  std::sort(out.begin(), out.end(), [](const SlEntry& a, const SlEntry& b) { return a.nid < b.nid; });
  return out;
}

}  // namespace quillmere::pst::ndb
