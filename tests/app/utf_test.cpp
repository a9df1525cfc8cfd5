#include "app/utf.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TEST(UtfTest, TrimRemovesWideSpaceOnlyAtTheEnds) {
  const std::pair<const char*, const char*> cases[] = {
      {"  Quarterly report \t\r\n", "Quarterly report"},
      {"\u3000会议通知\u3000", "会议通知"},            // ideographic space
      {"\u2003em space\u2028", "em space"},
      {"\u00A0no-break kept\u00A0", "\u00A0no-break kept\u00A0"},
      {"inner  blanks stay", "inner  blanks stay"},
      {" \t ", ""},
      {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(TrimWhiteSpace(in), out) << in;
}

TEST(UtfTest, RoundTripAndMalformedInput) {
  const std::string text = "Grüße 收件箱 😀";
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
  EXPECT_EQ(Utf8ToUtf16("😀").size(), 2u);  // a surrogate pair
  EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");  // an encoded surrogate is not valid
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\uFFFD");
  EXPECT_EQ(SanitizeUtf8("ok\xFF"), "ok\uFFFD");
}

TEST(BytesAsTextTest, ValidUtf8KeptOtherwiseWindows1252) {
  const std::pair<std::string, const char*> cases[] = {
      {std::string("<p>caf\xC3\xA9</p>\0\0", 14), "<p>caf\xC3\xA9</p>"},   // trailing NULs dropped
      {"<p>caf\xE9</p>", "<p>caf\xC3\xA9</p>"},                          // windows-1252
      {"\x80 \x81", "\xE2\x82\xAC \xEF\xBF\xBD"},                      // euro; an undefined byte
      {"\xC3", "\xC3\x83"},                                              // cut-off UTF-8 is not UTF-8
  };
  for (const auto& [bytes, text] : cases)
    EXPECT_EQ(BytesAsText(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()), text) << bytes;
}

}  // namespace
}  // namespace quillmere
