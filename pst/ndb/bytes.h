#pragma once
// Little-endian field access for the on-disk structures.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace quillmere::pst {

using Bytes = std::vector<uint8_t>;

inline void Put8(uint8_t* p, uint8_t v) { p[0] = v; }
inline void Put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
inline void Put64(uint8_t* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = uint8_t(v >> (8 * i));
}
inline uint16_t Get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t Get32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint64_t Get64(const uint8_t* p) { return uint64_t(Get32(p)) | (uint64_t(Get32(p + 4)) << 32); }

// A field that is 8 bytes in Unicode files and 4 bytes in ANSI files.
inline void PutWide(uint8_t* p, uint64_t v, bool unicode) {
  if (unicode)
    Put64(p, v);
  else
    Put32(p, uint32_t(v));
}
inline uint64_t GetWide(const uint8_t* p, bool unicode) { return unicode ? Get64(p) : Get32(p); }

// Appends fields to a growing buffer.
class ByteWriter {
 public:
  explicit ByteWriter(Bytes& out) : out_(out) {}
  void U8(uint8_t v) { out_.push_back(v); }
  void U16(uint16_t v) { Grow(2, [&](uint8_t* p) { Put16(p, v); }); }
  void U32(uint32_t v) { Grow(4, [&](uint8_t* p) { Put32(p, v); }); }
  void U64(uint64_t v) { Grow(8, [&](uint8_t* p) { Put64(p, v); }); }
  void Wide(uint64_t v, bool unicode) { unicode ? U64(v) : U32(uint32_t(v)); }
  void Raw(const void* data, size_t n) {
    const auto* b = static_cast<const uint8_t*>(data);
    out_.insert(out_.end(), b, b + n);
  }
  void Zeros(size_t n) { out_.insert(out_.end(), n, 0); }

 private:
  template <typename F>
  void Grow(size_t n, F f) {
    out_.resize(out_.size() + n);
    f(out_.data() + out_.size() - n);
  }
  Bytes& out_;
};

}  // namespace quillmere::pst
