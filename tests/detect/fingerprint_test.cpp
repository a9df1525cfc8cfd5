#include "detect/fingerprint.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "app/utf.h"
#include "detect/fingerprint_set.h"

namespace quillmere::detect {
namespace {

TEST(FingerprintTest, Md5TestVectors) {
  const std::pair<const char*, const char*> vectors[] = {
      {"", "D41D8CD98F00B204E9800998ECF8427E"},
      {"a", "0CC175B9C0F1B6A831C399E269772661"},
      {"abc", "900150983CD24FB0D6963F7D28E17F72"},
      {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
      {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57EDF4A22BE3C955AC49DA2E2107B67A"},
  };
  for (const auto& [input, digest] : vectors) EXPECT_EQ(FingerprintToHex(ComputeFingerprint(input)), digest);
}

TEST(FingerprintTest, PieceByPieceEqualsAllAtOnce) {
  std::string large(3 * 1024 * 1024 + 17, '\0');
  std::mt19937 random(7);
  for (char& c : large) c = static_cast<char>(random());
  FingerprintHasher hasher;
  hasher.Begin();
  for (size_t at = 0; at < large.size(); at += 65521) hasher.Update(std::string_view(large).substr(at, 65521));
  EXPECT_EQ(hasher.Finish(), ComputeFingerprint(large));
  // The same hasher serves the next key from a clean start.
  hasher.Begin();
  hasher.Update("abc");
  EXPECT_EQ(FingerprintToHex(hasher.Finish()), "900150983CD24FB0D6963F7D28E17F72");
}

// The low bytes of each UTF-16 unit up to the first zero byte: the input a
// byte-narrowing fingerprint would hash.
std::string Narrowed(const std::string& utf8) {
  std::string bytes;
  for (char16_t unit : Utf8ToUtf16(utf8)) {
    if ((unit & 0xFF) == 0) break;
    bytes += static_cast<char>(unit & 0xFF);
  }
  return bytes;
}

TEST(FingerprintTest, NonLatinKeysThatByteNarrowingWouldMergeStayApart) {
  const std::pair<const char*, const char*> pairs[] = {
      {"一月报告", "一周总结"},  // both start with U+4E00, whose low byte is zero
      {"字", "汗"},              // U+5B57 and U+6C57 share their low byte
      {"Łódź", "Aódź"},          // U+0141 and U+0041
      {"Привет", "\x1F@825B"},   // Cyrillic against the ASCII of its low bytes
  };
  for (const auto& [a, b] : pairs) {
    ASSERT_EQ(Narrowed(a), Narrowed(b)) << "the pair does not show the fault: " << a;
    EXPECT_NE(ComputeFingerprint(a), ComputeFingerprint(b)) << a << " / " << b;
  }
  // For plain ASCII keys the digest is the one byte narrowing gives.
  EXPECT_EQ(ComputeFingerprint(Narrowed("Quarterly report")), ComputeFingerprint("Quarterly report"));
}

TEST(FingerprintSetTest, AgreesWithAnOrderedSetOverManyInserts) {
  FingerprintSet set;
  std::set<Fingerprint> reference;
  std::mt19937_64 random(42);
  for (int i = 0; i < 200000; ++i) {
    Fingerprint f{};
    // A small value space so that repeats are common.
    const uint64_t v = random() % 50000;
    for (int b = 0; b < 8; ++b) f[b] = static_cast<uint8_t>(v >> (8 * b));
    f[15] = static_cast<uint8_t>(v % 7);
    EXPECT_EQ(set.Insert(f), reference.insert(f).second);
  }
  EXPECT_EQ(set.Size(), reference.size());
  for (const auto& f : reference) EXPECT_TRUE(set.Contains(f));
}

// Growing the table moves every entry where it lies. Long runs of entries
// that share a home slot, runs that wrap past the table's end, and homes
// that part when the table doubles are where a move in place goes wrong.
TEST(FingerprintSetTest, CrowdedHomesSurviveEveryGrowth) {
  struct Case {
    const char* name;
    uint64_t (*hash)(uint64_t k);
  };
  const Case cases[] = {
      {"all at the last slot", [](uint64_t) { return ~uint64_t{0}; }},
      {"last slots of every size, parting as it doubles", [](uint64_t k) { return (k << 10) | 1023; }},
      // The first entry sits in the last slot of the first table and leaves
      // it when the table doubles; the run that wrapped past it to the start
      // stays behind it. Later entries live elsewhere, so the insert that
      // makes the table grow does not fill a hole the growth left.
      {"a run wrapped past an entry that moves up",
       [](uint64_t k) { return uint64_t{k == 0 ? 2047u : k < 600 ? 1023u : 5u}; }},
      {"a few homes, each crowded", [](uint64_t k) { return (k % 5) * uint64_t{0x9E3779B97F4A7C15}; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FingerprintSet set;
    std::vector<Fingerprint> inserted;
    for (uint64_t k = 0; k < 3000; ++k) {
      Fingerprint f{};
      const uint64_t h = c.hash(k);
      for (int b = 0; b < 8; ++b) f[b] = static_cast<uint8_t>(h >> (8 * b));
      f[14] = static_cast<uint8_t>(k >> 8);
      f[15] = static_cast<uint8_t>(k);
      f[13] = 1;  // never the all-zero digest
      const size_t before = set.MemoryBytes();
      ASSERT_TRUE(set.Insert(f)) << k;
      inserted.push_back(f);
      // Right after a growth, before later entries can fill a hole it left.
      if (set.MemoryBytes() != before)
        for (const auto& earlier : inserted) ASSERT_TRUE(set.Contains(earlier)) << "after growth at " << k;
    }
    EXPECT_EQ(set.Size(), inserted.size());
    EXPECT_GE(set.MemoryBytes(), 4096u * sizeof(Fingerprint));  // it did grow
    for (const auto& f : inserted) {
      EXPECT_TRUE(set.Contains(f));
      EXPECT_FALSE(set.Insert(f));
    }
    Fingerprint absent = inserted.back();
    absent[13] = 2;
    EXPECT_FALSE(set.Contains(absent));
  }
}

TEST(FingerprintSetTest, TheAllZeroDigestAndClearing) {
  FingerprintSet set;
  const Fingerprint zero{};
  Fingerprint one{};
  one[0] = 1;
  EXPECT_TRUE(set.Insert(zero));
  EXPECT_FALSE(set.Insert(zero));
  EXPECT_TRUE(set.Insert(one));
  EXPECT_EQ(set.Size(), 2u);
  set.Clear();
  EXPECT_EQ(set.Size(), 0u);
  EXPECT_FALSE(set.Contains(zero));
  EXPECT_TRUE(set.Insert(zero));
  EXPECT_TRUE(set.Insert(one));
}

}  // namespace
}  // namespace quillmere::detect
