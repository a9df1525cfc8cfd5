// The read side of the lists, tables and properties layer on heaps built
// by hand: sound trees are read whole, damaged ones raise FormatError at
// once instead of being walked again and again.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "pst/ltp/bth_reader.h"
#include "pst/ltp/heap_reader.h"
#include "pst/ltp/heap_writer.h"

namespace quillmere::pst::ltp {
namespace {

// One heap block: HNHDR, the allocations, HNPAGEMAP. Allocation i has HID
// (i + 1) << 5.
Bytes HeapBlock(uint8_t clientSig, uint32_t userRoot, const std::vector<Bytes>& allocations) {
  Bytes b(12, 0);
  b[2] = kHeapSignature;
  b[3] = clientSig;
  Put32(b.data() + 4, userRoot);
  std::vector<uint16_t> starts;
  for (const Bytes& a : allocations) {
    starts.push_back(uint16_t(b.size()));
    b.insert(b.end(), a.begin(), a.end());
  }
  starts.push_back(uint16_t(b.size()));
  if (b.size() % 2) b.push_back(0);
  Put16(b.data(), uint16_t(b.size()));
  ByteWriter w(b);
  w.U16(uint16_t(allocations.size()));
  w.U16(0);
  for (uint16_t s : starts) w.U16(s);
  return b;
}

constexpr uint32_t Hid(uint32_t index) { return (index + 1) << 5; }

Bytes BthHeader(uint8_t cbKey, uint8_t cbEnt, uint8_t levels, uint32_t root) {
  Bytes h = {kClientSigBTree, cbKey, cbEnt, levels, 0, 0, 0, 0};
  Put32(h.data() + 4, root);
  return h;
}

// Leaf records of a PC-shaped tree: 2-byte key, 6-byte data.
Bytes Leaf(std::initializer_list<uint16_t> keys) {
  Bytes out;
  ByteWriter w(out);
  for (uint16_t k : keys) {
    w.U16(k);
    w.U16(0x0003);
    w.U32(k * 10u);
  }
  return out;
}

// Intermediate records: 2-byte key, 4-byte HID.
Bytes Inner(std::vector<std::pair<uint16_t, uint32_t>> children) {
  Bytes out;
  ByteWriter w(out);
  for (auto [k, hid] : children) {
    w.U16(k);
    w.U32(hid);
  }
  return out;
}

std::vector<uint16_t> Keys(const HeapReader& heap) {
  std::vector<uint16_t> keys;
  ForEachBthRecord(heap, ReadBthHeader(heap, heap.userRoot()),
                   [&](std::span<const uint8_t> key, std::span<const uint8_t>) { keys.push_back(Get16(key.data())); });
  return keys;
}

TEST(BthReaderTest, ReadsATwoLevelTreeInKeyOrder) {
  const HeapReader heap({HeapBlock(kClientSigProperties, Hid(0),
                                   {BthHeader(2, 6, 1, Hid(1)), Inner({{0x0001, Hid(2)}, {0x3000, Hid(3)}}),
                                    Leaf({0x0001, 0x0037, 0x1000}), Leaf({0x3001, 0x3FFD})})},
                        kClientSigProperties, false);
  EXPECT_EQ(Keys(heap), (std::vector<uint16_t>{0x0001, 0x0037, 0x1000, 0x3001, 0x3FFD}));
}

struct DamagedHeap {
  const char* name;
  std::function<std::vector<Bytes>()> allocations;
  const char* expected;
};

class DamagedHeapTest : public ::testing::TestWithParam<DamagedHeap> {};

TEST_P(DamagedHeapTest, RaisesNamingTheFault) {
  const HeapReader heap({HeapBlock(kClientSigProperties, Hid(0), GetParam().allocations())}, kClientSigProperties, false);
  try {
    Keys(heap);
    FAIL() << "read a damaged tree";
  } catch (const FormatError& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().expected), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Heaps, DamagedHeapTest,
    ::testing::Values(
        // An inner node listing itself 500 times at each of 8 levels: walked
        // blindly that is 500^8 visits.
        DamagedHeap{"NodeListsItself",
                    [] {
                      std::vector<std::pair<uint16_t, uint32_t>> self(500, {0x0001, Hid(1)});
                      return std::vector<Bytes>{BthHeader(2, 6, 8, Hid(1)), Inner(self)};
                    },
                    "listed twice"},
        DamagedHeap{"TooManyLevels", [] { return std::vector<Bytes>{BthHeader(2, 6, 9, Hid(1)), Leaf({1})}; },
                    "too many levels"},
        DamagedHeap{"ChildPastThePageMap",
                    [] { return std::vector<Bytes>{BthHeader(2, 6, 1, Hid(1)), Inner({{0x0001, Hid(7)}})}; },
                    "past the page map"},
        DamagedHeap{"PartRecord",
                    [] {
                      Bytes leaf = Leaf({1, 2});
                      leaf.pop_back();
                      return std::vector<Bytes>{BthHeader(2, 6, 0, Hid(1)), leaf};
                    },
                    "whole records"},
        DamagedHeap{"NotABth", [] { return std::vector<Bytes>{Bytes{0x7C, 2, 6, 0, 0, 0, 0, 0}}; }, "0xB5"}),
    [](const auto& info) { return std::string(info.param.name); });

// A heap read block by block reads a block only for an allocation in it,
// once, and what it handed out stays valid while other blocks come in.
TEST(HeapReaderTest, ReadsEachBlockOnlyWhenAnAllocationInItIsAskedFor) {
  const std::vector<Bytes> blocks = {HeapBlock(kClientSigTable, Hid(0), {{1, 2, 3}}),
                                     HeapBlock(kClientSigTable, 0, {{4, 5}, {6}}),
                                     HeapBlock(kClientSigTable, 0, {{7, 8, 9, 10}})};
  std::vector<int> reads(blocks.size(), 0);
  HeapReader heap({100, 101, 102}, [&](uint64_t bid) {
    ++reads[bid - 100];
    return blocks[bid - 100];
  }, kClientSigTable, false);
  EXPECT_EQ(reads, (std::vector<int>{1, 0, 0}));

  const std::span<const uint8_t> last = heap.Get((2u << 16) | Hid(0));
  EXPECT_EQ(reads, (std::vector<int>{1, 0, 1}));
  const std::span<const uint8_t> middle = heap.Get((1u << 16) | Hid(1));
  heap.Get((1u << 16) | Hid(0));
  heap.Get((2u << 16) | Hid(0));
  EXPECT_EQ(reads, (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(Bytes(last.begin(), last.end()), (Bytes{7, 8, 9, 10}));
  EXPECT_EQ(Bytes(middle.begin(), middle.end()), (Bytes{6}));
  EXPECT_THROW(heap.Get((3u << 16) | Hid(0)), FormatError);
}

// In 4 KB-page files the block index of a HID starts at bit 19; bits 16
// to 18 are flags that name no block.
TEST(HeapReaderTest, FourKilobytePageHidsPlaceTheBlockIndexAtBit19) {
  const std::vector<Bytes> blocks = {HeapBlock(kClientSigTable, Hid(0), {{1, 2, 3}}),
                                     HeapBlock(kClientSigTable, 0, {{4, 5}})};
  const HeapReader heap(blocks, kClientSigTable, true);
  const auto bytes = [&](uint32_t hid) {
    const auto s = heap.Get(hid);
    return Bytes(s.begin(), s.end());
  };
  EXPECT_EQ(bytes((1u << 19) | Hid(0)), (Bytes{4, 5}));
  EXPECT_EQ(bytes((7u << 16) | Hid(0)), (Bytes{1, 2, 3}));
  EXPECT_THROW(heap.Get((2u << 19) | Hid(0)), FormatError);
}

TEST(HeapReaderTest, RefusesABlockThatIsNotAHeapOfTheKindAsked) {
  const Bytes table = HeapBlock(kClientSigTable, 0, {});
  EXPECT_THROW(HeapReader({table}, kClientSigProperties, false), FormatError);
  Bytes notHeap = table;
  notHeap[2] = 0;
  EXPECT_THROW(HeapReader({notHeap}, kClientSigTable, false), FormatError);
  EXPECT_THROW(HeapReader({Bytes(5, 0)}, kClientSigTable, false), FormatError);
  const HeapReader heap({table}, kClientSigTable, false);
  EXPECT_TRUE(heap.Get(0).empty());
  EXPECT_THROW(heap.Get(Hid(0) | 1), FormatError);
  EXPECT_THROW(heap.Get((1u << 16) | Hid(0)), FormatError);
}

}  // namespace
}  // namespace quillmere::pst::ltp
