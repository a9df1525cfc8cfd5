#include "options/date_rules.h"

#include <gtest/gtest.h>

namespace quillmere::options {
namespace {

struct Day {
  int year, month, day;
};

struct PeriodCase;
void PrintTo(const PeriodCase& c, std::ostream* os);
struct PeriodCase {
  const char* name;
  CivilDateTime now;
  int period;
  Day start;
  Day end;
};
void PrintTo(const PeriodCase& c, std::ostream* os) { *os << c.name; }


std::string Describe(const OleDate& d) {
  auto c = d.ToCivil();
  if (!c) return "invalid";
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", c->year, c->month, c->day);
  return text;
}

class PeriodRangeTest : public testing::TestWithParam<PeriodCase> {};

TEST_P(PeriodRangeTest, CoversTheExpectedDays) {
  const auto& c = GetParam();
  auto range = BuildPeriodRange(c.period, c.now);
  ASSERT_TRUE(range) << c.name;
  char start[16], end[16];
  std::snprintf(start, sizeof start, "%04d-%02d-%02d", c.start.year, c.start.month, c.start.day);
  std::snprintf(end, sizeof end, "%04d-%02d-%02d", c.end.year, c.end.month, c.end.day);
  EXPECT_EQ(Describe(range->start), start) << c.name;
  EXPECT_EQ(Describe(range->end), end) << c.name;
}

// 2024-03-10 is a Sunday, 2024-03-06 a Wednesday; 2024 is a leap year.
INSTANTIATE_TEST_SUITE_P(
    Periods, PeriodRangeTest,
    testing::Values(
        PeriodCase{"week on a Sunday: the seven days up to today", {2024, 3, 10, 9, 0, 0}, kLast1Week, {2024, 3, 4}, {2024, 3, 10}},
        PeriodCase{"two weeks on a Sunday", {2024, 3, 10, 9, 0, 0}, kLast2Weeks, {2024, 2, 26}, {2024, 3, 10}},
        PeriodCase{"week on a Wednesday ends the Sunday before", {2024, 3, 6, 9, 0, 0}, kLast1Week, {2024, 2, 26}, {2024, 3, 3}},
        PeriodCase{"three weeks on a Wednesday", {2024, 3, 6, 9, 0, 0}, kLast3Weeks, {2024, 2, 12}, {2024, 3, 3}},
        PeriodCase{"month in January is last December", {2024, 1, 15, 9, 0, 0}, kLast1Month, {2023, 12, 1}, {2023, 12, 31}},
        PeriodCase{"three months in January", {2024, 1, 15, 9, 0, 0}, kLast3Months, {2023, 10, 1}, {2023, 12, 31}},
        PeriodCase{"three months in February spans the year end", {2024, 2, 10, 9, 0, 0}, kLast3Months, {2023, 11, 1}, {2024, 1, 31}},
        PeriodCase{"month in March of a leap year ends on the 29th", {2024, 3, 20, 9, 0, 0}, kLast1Month, {2024, 2, 1}, {2024, 2, 29}},
        PeriodCase{"month in March of a common year ends on the 28th", {2023, 3, 20, 9, 0, 0}, kLast1Month, {2023, 2, 1}, {2023, 2, 28}},
        PeriodCase{"six months in May", {2024, 5, 31, 9, 0, 0}, kLast6Months, {2023, 11, 1}, {2024, 4, 30}},
        PeriodCase{"nine months in March", {2024, 3, 1, 0, 0, 0}, kLast9Months, {2023, 6, 1}, {2024, 2, 29}},
        PeriodCase{"one year", {2024, 7, 1, 9, 0, 0}, kLast1Year, {2023, 1, 1}, {2023, 12, 31}},
        PeriodCase{"two years", {2024, 7, 1, 9, 0, 0}, kLast2Years, {2022, 1, 1}, {2023, 12, 31}},
        PeriodCase{"three years in 2024", {2024, 7, 1, 9, 0, 0}, kLast3Years, {2021, 1, 1}, {2023, 12, 31}}));

TEST(DateRulesTest, AllTimeAndUnknownPeriodsGiveNoRange) {
  EXPECT_FALSE(BuildPeriodRange(kAllTime, {2024, 3, 6, 9, 0, 0}));
  EXPECT_FALSE(BuildPeriodRange(11, {2024, 3, 6, 9, 0, 0}));
  EXPECT_FALSE(BuildPeriodRange(-1, {2024, 3, 6, 9, 0, 0}));
  EXPECT_STREQ(DatePeriodText(kLast1Week), "Last 1 week Items");
  EXPECT_STREQ(DatePeriodText(kLast3Years), "Last 3 Year Items");
}

TEST(DateRulesTest, WeekPeriodsKeepTheTimeOfDayAndMonthPeriodsStartAtMidnight) {
  auto week = BuildPeriodRange(kLast1Week, {2024, 3, 6, 14, 30, 15});
  auto month = BuildPeriodRange(kLast1Month, {2024, 3, 6, 14, 30, 15});
  ASSERT_TRUE(week && month);
  EXPECT_EQ(week->end.ToCivil()->hour, 14);
  EXPECT_EQ(week->start.ToCivil()->second, 15);
  EXPECT_EQ(month->start.ToCivil()->hour, 0);
  EXPECT_EQ(month->end.ToCivil()->minute, 0);
}

TEST(DateRulesTest, ManualRangeMustStartStrictlyBeforeItEnds) {
  const OleDate t = OleDate::FromCivil({2024, 3, 6, 10, 0, 0});
  const OleDate later = OleDate::FromCivil({2024, 3, 6, 10, 0, 1});
  EXPECT_TRUE(IsManualRangeValid(t, later));
  EXPECT_FALSE(IsManualRangeValid(t, t));
  EXPECT_FALSE(IsManualRangeValid(later, t));
  EXPECT_FALSE(IsManualRangeValid(OleDate(), later));
}

TEST(DateRulesTest, AListedRangeIsFoundByItsDatesWhateverTheTimesAndCase) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"Friday, March 01, 2024", "Sunday, March 10, 2024"},
      {"wednesday, may 01, 2024", "friday, may 31, 2024"}};
  EXPECT_TRUE(IsRangeListed(OleDate::FromCivil({2024, 3, 1, 8, 0, 0}),
                            OleDate::FromCivil({2024, 3, 10, 17, 45, 0}), rows));
  EXPECT_TRUE(IsRangeListed(OleDate::FromCivil({2024, 5, 1, 0, 0, 0}),
                            OleDate::FromCivil({2024, 5, 31, 0, 0, 0}), rows));
  EXPECT_FALSE(IsRangeListed(OleDate::FromCivil({2024, 3, 1, 8, 0, 0}),
                             OleDate::FromCivil({2024, 3, 11, 8, 0, 0}), rows));
  EXPECT_FALSE(IsRangeListed(OleDate::FromCivil({2024, 3, 1, 8, 0, 0}),
                             OleDate::FromCivil({2024, 3, 10, 8, 0, 0}), {}));
}

struct FilterCase {
  const char* name;
  CivilDateTime sent;
  bool passes;
};

TEST(DateRulesTest, TheFilterCountsWholeCalendarDays) {
  const std::vector<DateRange> ranges = {
      {OleDate::FromCivil({2023, 11, 1, 15, 0, 0}), OleDate::FromCivil({2024, 1, 31, 8, 0, 0})},
      {OleDate::FromCivil({2024, 6, 1, 0, 0, 0}), OleDate::FromCivil({2024, 6, 30, 0, 0, 0})}};
  const FilterCase cases[] = {
      {"inside the first range", {2023, 12, 15, 12, 0, 0}, true},
      {"first day, before the start's time", {2023, 11, 1, 0, 0, 0}, true},
      {"last second of the end date", {2024, 1, 31, 23, 59, 59}, true},
      {"midnight after the end date", {2024, 2, 1, 0, 0, 0}, false},
      {"the day before the start", {2023, 10, 31, 23, 59, 59}, false},
      {"inside the second range", {2024, 6, 15, 9, 0, 0}, true},
      {"between the ranges", {2024, 4, 1, 9, 0, 0}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsDateInRanges(OleDate::FromCivil(c.sent), ranges), c.passes) << c.name;
    // The order of the ranges does not change the outcome.
    EXPECT_EQ(IsDateInRanges(OleDate::FromCivil(c.sent), {ranges[1], ranges[0]}), c.passes) << c.name;
  }
}

TEST(DateRulesTest, EmptyFilterPassesEverythingAndAMissingDatePassesNoFilter) {
  EXPECT_TRUE(IsDateInRanges(OleDate(), {}));
  EXPECT_TRUE(IsDateInRanges(OleDate::FromCivil({1990, 1, 1, 0, 0, 0}), {}));
  const std::vector<DateRange> all = {{OleDate::FromCivil({1900, 1, 1, 0, 0, 0}), OleDate::FromCivil({9000, 1, 1, 0, 0, 0})}};
  EXPECT_FALSE(IsDateInRanges(OleDate(), all));
}

}  // namespace
}  // namespace quillmere::options
