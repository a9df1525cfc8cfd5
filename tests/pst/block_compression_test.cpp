// The compressed blocks of 4 KB-page files: zlib streams and bare deflate
// data inflate to the size the trailer names; anything else raises.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "pst/ndb/block_compression.h"
#include "pst/ndb/format.h"

namespace quillmere::pst::ndb {
namespace {

Bytes Text(size_t n) {
  Bytes b;
  for (size_t i = 0; b.size() < n; ++i)
    for (char c : "line " + std::to_string(i % 97) + " of the body\r\n") b.push_back(uint8_t(c));
  b.resize(n);
  return b;
}

Bytes Deflate(const Bytes& in, int windowBits) {
  z_stream z{};
  EXPECT_EQ(deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY), Z_OK);
  Bytes out(deflateBound(&z, uLong(in.size())));
  z.next_in = const_cast<Bytef*>(in.data());
  z.avail_in = uInt(in.size());
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

TEST(BlockCompressionTest, InflatesZlibStreamsAndBareDeflateData) {
  const Bytes plain = Text(65512);
  EXPECT_EQ(InflateBlock(Deflate(plain, 15).data(), Deflate(plain, 15).size(), plain.size()), plain);
  const Bytes bare = Deflate(plain, -15);
  EXPECT_EQ(InflateBlock(bare.data(), bare.size(), plain.size()), plain);
  const Bytes ours = DeflateBlock(plain.data(), plain.size());
  ASSERT_FALSE(ours.empty());
  EXPECT_LT(ours.size(), plain.size());
  EXPECT_EQ(InflateBlock(ours.data(), ours.size(), plain.size()), plain);
}

TEST(BlockCompressionTest, RefusesStreamsThatDoNotInflateToTheNamedSize) {
  const Bytes plain = Text(20000);
  const Bytes z = Deflate(plain, 15);
  Bytes flipped = z;
  flipped[flipped.size() / 2] ^= 0x5A;
  Bytes badChecksum = z;
  badChecksum.back() ^= 0x01;
  const struct {
    const char* name;
    Bytes stored;
    size_t inflated;
  } cases[] = {
      {"shorter than named", z, plain.size() + 1},
      {"longer than named", z, plain.size() - 1},
      {"cut short", Bytes(z.begin(), z.begin() + long(z.size() / 2)), plain.size()},
      {"a byte flipped", flipped, plain.size()},
      {"the zlib checksum wrong", badChecksum, plain.size()},
      {"not deflate data", Text(300), 600},
  };
  for (const auto& c : cases) EXPECT_THROW(InflateBlock(c.stored.data(), c.stored.size(), c.inflated), FormatError) << c.name;
}

TEST(BlockCompressionTest, LeavesDataThatWouldNotShrinkAsItIs) {
  Bytes noise(4000);
  uint32_t x = 12345;
  for (auto& b : noise) b = uint8_t((x = x * 1103515245u + 12345u) >> 24);
  EXPECT_TRUE(DeflateBlock(noise.data(), noise.size()).empty());
}

}  // namespace
}  // namespace quillmere::pst::ndb
