#include "app/ole_date.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quillmere {
namespace {

struct LongDateCase {
  CivilDateTime when;
  const char* text;
};
void PrintTo(const LongDateCase& c, std::ostream* os) { *os << c.text; }

class FormatDateLongTest : public testing::TestWithParam<LongDateCase> {};

TEST_P(FormatDateLongTest, EnglishNamesAndTwoDigitDay) {
  EXPECT_EQ(FormatDateLong(OleDate::FromCivil(GetParam().when)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, FormatDateLongTest,
    testing::Values(LongDateCase{{2024, 3, 6, 0, 0, 0}, "Wednesday, March 06, 2024"},
                    LongDateCase{{2024, 3, 6, 23, 59, 59}, "Wednesday, March 06, 2024"},
                    LongDateCase{{2024, 2, 29, 12, 0, 0}, "Thursday, February 29, 2024"},
                    LongDateCase{{1899, 12, 30, 0, 0, 0}, "Saturday, December 30, 1899"},
                    LongDateCase{{2026, 12, 10, 10, 0, 0}, "Thursday, December 10, 2026"},
                    LongDateCase{{1999, 12, 31, 6, 0, 0}, "Friday, December 31, 1999"}));

TEST(OleDateTest, InvalidValuesGiveInvalidDateTime) {
  for (double days : {std::nan(""), HUGE_VAL, 1e12, -1e12}) {
    EXPECT_EQ(FormatDateLong(OleDate::FromDays(days)), "Invalid DateTime") << days;
  }
  EXPECT_EQ(FormatDateLong(OleDate()), "Invalid DateTime");
  EXPECT_FALSE(OleDate::FromCivil({2023, 2, 29, 0, 0, 0}).IsValid());
}

TEST(OleDateTest, CivilRoundTripKeepsEverySecond) {
  const CivilDateTime cases[] = {{2024, 3, 6, 23, 59, 59}, {1970, 1, 1, 0, 0, 1}, {2100, 12, 31, 12, 30, 30},
                                 {1900, 3, 1, 0, 0, 0}};
  for (const auto& c : cases) {
    auto back = OleDate::FromCivil(c).ToCivil();
    ASSERT_TRUE(back);
    EXPECT_EQ(std::tie(back->year, back->month, back->day, back->hour, back->minute, back->second),
              std::tie(c.year, c.month, c.day, c.hour, c.minute, c.second));
  }
  // Known automation date values.
  EXPECT_DOUBLE_EQ(OleDate::FromCivil({1900, 1, 1, 0, 0, 0}).Days(), 2.0);
  EXPECT_DOUBLE_EQ(OleDate::FromCivil({2024, 3, 6, 12, 0, 0}).Days(), 45357.5);
}

TEST(OleDateTest, AddDaysKeepsTheTimeOfDayAcrossMonthEnds) {
  auto moved = OleDate::FromCivil({2024, 3, 1, 8, 15, 0}).AddDays(-1).ToCivil();
  ASSERT_TRUE(moved);
  EXPECT_EQ(moved->month, 2);
  EXPECT_EQ(moved->day, 29);
  EXPECT_EQ(moved->hour, 8);
  EXPECT_EQ(moved->minute, 15);
}

TEST(OleDateTest, UnixInstantsInTheLocalZone) {
  // The tests run with TZ=UTC.
  EXPECT_DOUBLE_EQ(OleDate::FromUnixUtc(0).Days(), 25569.0);
  EXPECT_EQ(FormatDateLong(OleDate::FromUnixUtc(1709683200)), "Wednesday, March 06, 2024");
}

struct StartTimeCase {
  CivilDateTime when;
  const char* text;
};

TEST(OleDateTest, RunStartTimeUsesTwelveHourClock) {
  const StartTimeCase cases[] = {{{2024, 3, 6, 14, 5, 9}, "Mar-06-2024_02-05-09-PM"},
                                 {{2024, 12, 1, 0, 0, 0}, "Dec-01-2024_12-00-00-AM"},
                                 {{2024, 1, 31, 12, 59, 59}, "Jan-31-2024_12-59-59-PM"},
                                 {{2024, 7, 4, 11, 0, 7}, "Jul-04-2024_11-00-07-AM"}};
  for (const auto& c : cases) EXPECT_EQ(FormatRunStartTime(c.when), c.text);
}

}  // namespace
}  // namespace quillmere
