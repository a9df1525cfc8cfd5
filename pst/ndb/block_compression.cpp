#include "pst/ndb/block_compression.h"

#include <zlib.h>

#include "pst/ndb/format.h"

namespace quillmere::pst::ndb {
namespace {

// windowBits 15: a zlib stream; -15: bare deflate data.
bool TryInflate(const uint8_t* stored, size_t size, int windowBits, Bytes& out) {
  z_stream z{};
  if (inflateInit2(&z, windowBits) != Z_OK) return false;
  z.next_in = const_cast<Bytef*>(stored);
  z.avail_in = uInt(size);
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  const int rc = inflate(&z, Z_FINISH);
  const bool whole = rc == Z_STREAM_END && z.total_out == out.size();
  inflateEnd(&z);
  return whole;
}

bool LooksLikeZlib(const uint8_t* p, size_t size) {
  return size >= 2 && (p[0] & 0x0F) == Z_DEFLATED && (p[0] >> 4) <= 7 && ((p[0] << 8) | p[1]) % 31 == 0;
}

}  // namespace

Bytes InflateBlock(const uint8_t* stored, size_t size, size_t inflated) {
  Bytes out(inflated);
  if (inflated == 0) return out;
  if (LooksLikeZlib(stored, size) && TryInflate(stored, size, 15, out)) return out;
  if (TryInflate(stored, size, -15, out)) return out;
  throw FormatError("compressed block: the data does not inflate to " + std::to_string(inflated) + " bytes");
}

Bytes DeflateBlock(const uint8_t* data, size_t size) {
  uLongf bound = compressBound(uLong(size));
  Bytes out(bound);
  if (compress2(out.data(), &bound, data, uLong(size), Z_DEFAULT_COMPRESSION) != Z_OK || bound >= size) return {};
  out.resize(bound);
  return out;
}

}  // namespace quillmere::pst::ndb
