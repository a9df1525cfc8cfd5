#include "pst/ltp/heap_reader.h"

#include <string>

#include "pst/ltp/heap_writer.h"

namespace quillmere::pst::ltp {

HeapReader::HeapReader(std::vector<Bytes> blocks, uint8_t clientSig, bool fourK)
    : blocks_(std::move(blocks)), fourK_(fourK) {
  ReadHeader(clientSig);
}

HeapReader::HeapReader(std::vector<uint64_t> blockIds, BlockSource read, uint8_t clientSig, bool fourK)
    : blocks_(blockIds.size()), loaded_(blockIds.size(), false), blockIds_(std::move(blockIds)),
      read_(std::move(read)), fourK_(fourK) {
  ReadHeader(clientSig);
}

const Bytes& HeapReader::Block(uint32_t index) const {
  if (!loaded_.empty() && !loaded_[index]) {
    blocks_[index] = read_(blockIds_[index]);
    loaded_[index] = true;
  }
  return blocks_[index];
}

void HeapReader::ReadHeader(uint8_t clientSig) {
  if (blocks_.empty() || Block(0).size() < 12) throw FormatError("HNHDR: node too short for a heap");
  const uint8_t* h = blocks_[0].data();
  if (h[2] != kHeapSignature) throw FormatError("HNHDR: bSig is not 0xEC");
  if (h[3] != clientSig) throw FormatError("HNHDR: bClientSig " + std::to_string(h[3]) + " is not the one expected");
  userRoot_ = Get32(h + 4);
}

std::span<const uint8_t> HeapReader::Get(uint32_t hid) const {
  if (hid == 0) return {};
  if ((hid & 0x1F) != 0) throw FormatError("HID: hidType is not 0");
  const uint32_t blockIndex = HidBlockIndex(hid, fourK_);
  const uint32_t allocIndex = (hid >> 5) & 0x7FF;
  if (blockIndex >= blocks_.size()) throw FormatError("HID: block index past the heap");
  const Bytes& b = Block(blockIndex);
  if (b.size() < 2) throw FormatError("HNPAGEHDR: block too short");
  const size_t ibHnpm = Get16(b.data());
  if (ibHnpm + 4 > b.size()) throw FormatError("HNPAGEMAP: ibHnpm past the block");
  const size_t cAlloc = Get16(b.data() + ibHnpm);
  if (allocIndex == 0 || allocIndex > cAlloc) throw FormatError("HID: allocation index past the page map");
  if (ibHnpm + 4 + 2 * (cAlloc + 1) > b.size()) throw FormatError("HNPAGEMAP: runs past the block");
  const uint8_t* rgib = b.data() + ibHnpm + 4;
  const size_t start = Get16(rgib + 2 * (allocIndex - 1));
  const size_t end = Get16(rgib + 2 * allocIndex);
  if (start > end || end > ibHnpm) throw FormatError("HNPAGEMAP: allocation out of bounds");
  return {b.data() + start, end - start};
}

}  // namespace quillmere::pst::ltp
