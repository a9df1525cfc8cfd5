#include "pst/ndb/block_compression.h"

#include <libdeflate.h>
#include <zlib.h>

#include <new>

#include "pst/ndb/format.h"

namespace quillmere::pst::ndb {
namespace {

// One decompressor per thread: it is not safe to share, and making one per
// block would cost more than many small blocks take to inflate.
libdeflate_decompressor& Decompressor() {
  struct Owner {
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    ~Owner() { libdeflate_free_decompressor(d); }
  };
  thread_local Owner owner;
  if (!owner.d) throw std::bad_alloc();
  return *owner.d;
}

bool LooksLikeZlib(const uint8_t* p, size_t size) {
  return size >= 2 && (p[0] & 0x0F) == Z_DEFLATED && (p[0] >> 4) <= 7 && ((p[0] << 8) | p[1]) % 31 == 0;
}

}  // namespace

// Either call succeeds only when the stream ends having filled `out`
// exactly, and a zlib stream's checksum matches.
Bytes InflateBlock(const uint8_t* stored, size_t size, size_t inflated) {
  Bytes out(inflated);
  if (inflated == 0) return out;
  libdeflate_decompressor& d = Decompressor();
  if (LooksLikeZlib(stored, size) &&
      libdeflate_zlib_decompress(&d, stored, size, out.data(), out.size(), nullptr) == LIBDEFLATE_SUCCESS)
    return out;
  if (libdeflate_deflate_decompress(&d, stored, size, out.data(), out.size(), nullptr) == LIBDEFLATE_SUCCESS)
    return out;
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
