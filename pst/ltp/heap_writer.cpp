#include "pst/ltp/heap_writer.h"

#include <algorithm>

namespace quillmere::pst::ltp {
namespace {

constexpr size_t kHnHdrSize = 12;
constexpr size_t kHnPageHdrSize = 2;
constexpr size_t kHnBitmapHdrSize = 66;
constexpr size_t kMaxAllocationsPerBlock = 2047;  // hidIndex has 11 bits

bool IsBitmapBlock(size_t i) { return i >= 8 && (i - 8) % 128 == 0; }

// Free bytes to the 4-bit fill level of HNHDR and HNBITMAPHDR.
uint8_t LevelForFree(size_t freeBytes) {
  static const size_t kAtLeast[15] = {3584, 2560, 2048, 1792, 1536, 1280, 1024, 768, 512, 256, 128, 64, 32, 16, 8};
  for (uint8_t level = 0; level < 15; ++level)
    if (freeBytes >= kAtLeast[level]) return level;
  return 15;
}

}  // namespace

HeapWriter::HeapWriter(const ndb::Layout& layout, uint8_t clientSig, ndb::NdbWriter* streamTo)
    : layout_(layout), clientSig_(clientSig), streamTo_(streamTo) {
  StartBlock();
}

size_t HeapWriter::HeaderSize(size_t i) const {
  if (i == 0) return kHnHdrSize;
  return IsBitmapBlock(i) ? kHnBitmapHdrSize : kHnPageHdrSize;
}

void HeapWriter::StartBlock() {
  Block b;
  b.bytes.resize(HeaderSize(blocks_.size()), 0);
  blocks_.push_back(std::move(b));
}

bool HeapWriter::Fits(const Block& b, size_t size) const {
  const size_t n = b.starts.size() + 1;
  const size_t mapAt = ndb::AlignUp(b.bytes.size() + size, 2);
  return n <= kMaxAllocationsPerBlock && mapAt + 4 + 2 * (n + 1) <= layout_.maxBlockData;
}

uint32_t HeapWriter::Allocate(const uint8_t* data, size_t size) {
  if (size > kMaxHeapAllocation) throw FormatError("heap: allocation of " + std::to_string(size) + " bytes is too large");
  if (!Fits(blocks_.back(), size)) {
    if (streamTo_ && blocks_.size() > 1) WriteBlock(*streamTo_, blocks_.size() - 1);
    StartBlock();
  }
  Block& b = blocks_.back();
  b.starts.push_back(uint16_t(b.bytes.size()));
  b.bytes.insert(b.bytes.end(), data, data + size);
  return MakeHid(uint32_t(blocks_.size() - 1), uint32_t(b.starts.size() - 1), layout_.fourK);
}

uint8_t HeapWriter::FillLevel(size_t i) const {
  if (i >= blocks_.size()) return 15;
  const Block& b = blocks_[i];
  if (b.written) return b.level;
  const size_t used = ndb::AlignUp(b.bytes.size(), 2) + 4 + 2 * (b.starts.size() + 1);
  return LevelForFree(layout_.maxBlockData - std::min(used, layout_.maxBlockData));
}

Bytes HeapWriter::Encode(size_t i) const {
  const Block& b = blocks_[i];
  Bytes out = b.bytes;
  const size_t mapAt = ndb::AlignUp(out.size(), 2);
  out.resize(mapAt, 0);
  ByteWriter w(out);
  w.U16(uint16_t(b.starts.size()));
  w.U16(0);  // cFree
  for (uint16_t s : b.starts) w.U16(s);
  w.U16(uint16_t(b.bytes.size()));
  Put16(out.data(), uint16_t(mapAt));  // ibHnpm
  // Fill levels: two blocks a byte, the lower-numbered block in the low nibble.
  auto putLevels = [&](uint8_t* p, size_t first, size_t count) {
    for (size_t k = 0; k < count; ++k) {
      const uint8_t level = FillLevel(first + k);
      p[k / 2] |= (k % 2 == 0) ? level : uint8_t(level << 4);
    }
  };
  if (i == 0) {
    out[2] = kHeapSignature;
    out[3] = clientSig_;
    Put32(out.data() + 4, userRoot_);
    std::fill(out.begin() + 8, out.begin() + 12, 0);
    putLevels(out.data() + 8, 0, 8);
  } else if (IsBitmapBlock(i)) {
    std::fill(out.begin() + 2, out.begin() + 66, 0);
    putLevels(out.data() + 2, i, 128);
  }
  return out;
}

void HeapWriter::WriteBlock(ndb::NdbWriter& ndb, size_t i) {
  Block& b = blocks_[i];
  if (b.written) return;
  const Bytes data = Encode(i);
  b.level = FillLevel(i);
  b.bid = ndb.WriteBlock(data.data(), data.size());
  b.cb = data.size();
  b.written = true;
  Bytes().swap(b.bytes);
  b.starts.clear();
  b.starts.shrink_to_fit();
}

uint64_t HeapWriter::Finish(ndb::NdbWriter& ndb) {
  for (size_t i = 1; i < blocks_.size(); ++i) WriteBlock(ndb, i);
  WriteBlock(ndb, 0);
  std::vector<std::pair<uint64_t, size_t>> leaves;
  for (const Block& b : blocks_) leaves.emplace_back(b.bid, b.cb);
  return ndb.WriteDataTree(leaves);
}

}  // namespace quillmere::pst::ltp
