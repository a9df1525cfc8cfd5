// Text as the writer stores it: UTF-16LE in Unicode files, Windows-1252 in
// ANSI files.
#include <gtest/gtest.h>

#include "pst/ltp/prop_value.h"

namespace quillmere::pst::ltp {
namespace {

struct Utf16Case {
  const char* utf8;
  std::u16string utf16;
};

class Utf16Test : public ::testing::TestWithParam<Utf16Case> {};

TEST_P(Utf16Test, EncodesCodePointsAndSurrogatePairs) { EXPECT_EQ(Utf8ToUtf16(GetParam().utf8), GetParam().utf16); }

INSTANTIATE_TEST_SUITE_P(Texts, Utf16Test,
                         ::testing::Values(Utf16Case{"abc", u"abc"}, Utf16Case{"\xD0\x9E\xD1\x82", u"\u041E\u0442"},
                                           Utf16Case{"\xE5\xAD\xA3", u"\u5B63"},
                                           Utf16Case{"\xF0\x9F\x93\x8E", u"\xD83D\xDCCE"},
                                           // Broken sequences become U+FFFD, one per bad byte.
                                           Utf16Case{"a\xC3", u"a\uFFFD"}, Utf16Case{"\xFF" "b", u"\uFFFD" "b"}));

struct AnsiCase {
  const char* utf8;
  const char* cp1252;
};

class AnsiTest : public ::testing::TestWithParam<AnsiCase> {};

TEST_P(AnsiTest, MapsToWindows1252OrQuestionMark) { EXPECT_EQ(Utf8ToCp1252(GetParam().utf8), GetParam().cp1252); }

INSTANTIATE_TEST_SUITE_P(Texts, AnsiTest,
                         ::testing::Values(AnsiCase{"Caf\xC3\xA9", "Caf\xE9"}, AnsiCase{"\xE2\x82\xAC" "5", "\x80" "5"},
                                           AnsiCase{"\xE2\x80\x9Cq\xE2\x80\x9D", "\x93q\x94"},
                                           AnsiCase{"\xD0\x9E", "?"}));

TEST(PropValueTest, StringTypeFollowsTheFileFormat) {
  const PropValue u = PropValue::String("\xC3\xA9", FileFormat::kUnicode);
  EXPECT_EQ(u.type, kPtypString);
  EXPECT_EQ(u.data, (Bytes{0xE9, 0x00}));
  const PropValue a = PropValue::String("\xC3\xA9", FileFormat::kAnsi);
  EXPECT_EQ(a.type, kPtypString8);
  EXPECT_EQ(a.data, (Bytes{0xE9}));
}

TEST(PropValueTest, TimeIsFiletimeOfTheUnixSeconds) {
  // 1970-01-01 is 116444736000000000 hundred-nanoseconds after 1601-01-01.
  const PropValue t = PropValue::Time(0);
  EXPECT_EQ(Get64(t.data.data()), 116444736000000000ull);
  EXPECT_EQ(Get64(PropValue::Time(1).data.data()), 116444736010000000ull);
}

}  // namespace
}  // namespace quillmere::pst::ltp
