// Text conversion of the fast store: UTF-16LE and windows-1252 to UTF-8,
// whole or in pieces split anywhere (a long value comes block by block).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/fast/fast_text.h"

namespace quillmere::store::fast {
namespace {

using namespace std::string_literals;

std::vector<uint8_t> Units(std::initializer_list<uint16_t> units) {
  std::vector<uint8_t> out;
  for (uint16_t u : units) {
    out.push_back(uint8_t(u));
    out.push_back(uint8_t(u >> 8));
  }
  return out;
}

struct Utf16Case {
  const char* name;
  std::vector<uint8_t> bytes;
  std::string utf8;
};

class Utf16Test : public ::testing::TestWithParam<Utf16Case> {};

TEST_P(Utf16Test, WholeAndSplitAtEveryByteGiveTheSameText) {
  const auto& c = GetParam();
  EXPECT_EQ(Utf16ToUtf8(c.bytes.data(), c.bytes.size()), c.utf8);
  for (size_t cut = 0; cut <= c.bytes.size(); ++cut) {
    std::string out = "kept:";
    Utf16Decoder d(out);
    d.Feed(c.bytes.data(), cut);
    d.Feed(c.bytes.data() + cut, c.bytes.size() - cut);
    d.Finish();
    EXPECT_EQ(out, "kept:" + c.utf8) << "split after byte " << cut;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf16Test,
    ::testing::Values(
        Utf16Case{"Empty", {}, ""},
        // Long enough for the four-at-a-time path, with a non-ASCII unit in
        // each position of a group of four.
        Utf16Case{"AsciiRun", Units({'A', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j'}), "Abcdefghij"},
        Utf16Case{"MixedRun", Units({'a', 'b', 0xE9, 'c', 'd', 'e', 'f', 0x4F1A, 'g', 'h', 'i', 'j', 'k'}),
                  "ab\xC3\xA9" "cdef\xE4\xBC\x9Aghijk"},
        Utf16Case{"StopsAtNul", Units({'a', 'b', 'c', 'd', 0, 'x', 'y', 'z', 'w', 'v'}), "abcd"},
        Utf16Case{"SurrogatePair", Units({'x', 0xD83D, 0xDE00, 'y'}), "x\xF0\x9F\x98\x80y"},
        Utf16Case{"LoneHigh", Units({'a', 0xD83D, 'b'}), "a\xEF\xBF\xBD" "b"},
        Utf16Case{"LoneLow", Units({'a', 0xDE00, 'b'}), "a\xEF\xBF\xBD" "b"},
        Utf16Case{"HighAtTheEnd", Units({'a', 0xD83D}), "a\xEF\xBF\xBD"},
        Utf16Case{"HighThenNul", Units({'a', 0xD83D, 0, 'b'}), "a\xEF\xBF\xBD"},
        Utf16Case{"OddByteDropped", {'a', 0, 'b'}, "a"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Cp1252Test, HighBytesUndefinedBytesAndNulWholeOrSplit) {
  const std::string bytes = "Caf\xE9 \x80 \x81 \x9F!\0tail"s;
  const std::string expected = "Caf\xC3\xA9 \xE2\x82\xAC \xEF\xBF\xBD \xC5\xB8!";
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  EXPECT_EQ(CodePageToUtf8(data, bytes.size(), 1252), expected);
  for (size_t cut = 0; cut <= bytes.size(); ++cut) {
    std::string out;
    Cp1252Decoder d(out);
    d.Feed(data, cut);
    d.Feed(data + cut, bytes.size() - cut);
    EXPECT_EQ(out, expected) << cut;
  }
}

TEST(CodePageTest, KnownCodePagesConvertOthersReadAsWindows1252) {
  const std::string sjis = "\x93\xfa\x96\x7b";  // 日本 in code page 932
  const auto* data = reinterpret_cast<const uint8_t*>(sjis.data());
  EXPECT_EQ(CodePageToUtf8(data, sjis.size(), 932), "\xE6\x97\xA5\xE6\x9C\xAC");
  EXPECT_TRUE(IsKnownCodePage(1251));
  EXPECT_FALSE(IsKnownCodePage(28591));
  EXPECT_EQ(CodePageToUtf8(data, sjis.size(), 28591), CodePageToUtf8(data, sjis.size(), 1252));
}

}  // namespace
}  // namespace quillmere::store::fast
