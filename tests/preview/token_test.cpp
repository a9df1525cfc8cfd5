// CToken: empty tokens are returned, a text without the delimiter yields
// none, and the text after the last delimiter comes last.
#include "preview/token.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillmere::preview {
namespace {

struct TokenCase {
  const char* name;
  std::string text;
  std::string delimiter;
  std::vector<std::string> tokens;
};

class TokenCases : public ::testing::TestWithParam<TokenCase> {};

TEST_P(TokenCases, YieldsTheTokensInOrder) {
  CToken token(GetParam().text, GetParam().delimiter);
  std::vector<std::string> got;
  while (token.HasMoreTokens() && got.size() < 20) got.push_back(token.NextToken());
  EXPECT_EQ(got, GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Split, TokenCases,
    ::testing::Values(TokenCase{"LeadingBackslash", "\\A\\B", "\\", {"", "A", "B"}},
                      TokenCase{"NoDelimiterNoToken", "A", "\\", {}},
                      TokenCase{"EmptyText", "", "\\", {}},
                      TokenCase{"TrailingDelimiterGivesEmptyLast", "A\\", "\\", {"A", ""}},
                      TokenCase{"DoubledDelimiterGivesEmptyToken", "A\\\\B", "\\", {"A", "", "B"}},
                      TokenCase{"DefaultIsSpace", "a b  c", " ", {"a", "b", "", "c"}},
                      // After a longer delimiter only its first character is
                      // dropped.
                      TokenCase{"TwoCharacterDelimiter", "x--y--z", "--", {"x", "-y", "-z"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CToken, DefaultDelimiterAndPendingLastToken) {
  CToken token("one two");
  ASSERT_TRUE(token.HasMoreTokens());
  EXPECT_EQ(token.NextToken(), "one");
  ASSERT_TRUE(token.HasMoreTokens());
  EXPECT_EQ(token.NextToken(), "two");
  EXPECT_FALSE(token.HasMoreTokens());
}

}  // namespace
}  // namespace quillmere::preview
