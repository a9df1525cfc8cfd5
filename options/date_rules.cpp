#include "options/date_rules.h"

#include <algorithm>
#include <cctype>

namespace quillmere::options {
namespace {

constexpr const char* kPeriodTexts[kDatePeriodCount] = {
    "All Time",          "Last 1 week Items",  "Last 2 week Items",  "Last 3 week Items",
    "Last 1 month Items", "Last 3 month Items", "Last 6 month Items", "Last 9 month Items",
    "Last 1 Year Items",  "Last 2 Year Items",  "Last 3 Year Items"};

OleDate Midnight(int year, int month, int day) { return OleDate::FromCivil({year, month, day, 0, 0, 0}); }

// From the first day of the month k months back to the last day of the
// previous month, both at midnight.
DateRange MonthsBack(const CivilDateTime& now, int k) {
  int startMonth = now.month - k;
  int startYear = now.year;
  if (startMonth <= 0) {
    startMonth += 12;
    startYear -= 1;
  }
  return {Midnight(startYear, startMonth, 1), Midnight(now.year, now.month, 1).AddDays(-1)};
}

DateRange YearsBack(const CivilDateTime& now, int k) {
  return {Midnight(now.year - k, 1, 1), Midnight(now.year - 1, 12, 31)};
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

const char* DatePeriodText(int period) {
  return period >= 0 && period < kDatePeriodCount ? kPeriodTexts[period] : "";
}

std::optional<DateRange> BuildPeriodRange(int period, const CivilDateTime& now) {
  const OleDate today = OleDate::FromCivil(now);
  if (!today.IsValid()) return std::nullopt;
  // W: the most recent Sunday (today on a Sunday), at the current time of day.
  const OleDate sunday = today.AddDays(-*today.Weekday());
  switch (period) {
    // A week is seven days: from the Monday six days before W to W.
    case kLast1Week: return DateRange{sunday.AddDays(-6), sunday};
    case kLast2Weeks: return DateRange{sunday.AddDays(-13), sunday};
    case kLast3Weeks: return DateRange{sunday.AddDays(-20), sunday};
    case kLast1Month: return MonthsBack(now, 1);
    case kLast3Months: return MonthsBack(now, 3);
    case kLast6Months: return MonthsBack(now, 6);
    case kLast9Months: return MonthsBack(now, 9);
    case kLast1Year: return YearsBack(now, 1);
    case kLast2Years: return YearsBack(now, 2);
    case kLast3Years: return YearsBack(now, 3);
    default: return std::nullopt;
  }
}

bool IsManualRangeValid(const OleDate& start, const OleDate& end) {
  return start.IsValid() && end.IsValid() && start < end;
}

bool IsRangeListed(const OleDate& start, const OleDate& end,
                   const std::vector<std::pair<std::string, std::string>>& rows) {
  const std::string startText = FormatDateLong(start);
  const std::string endText = FormatDateLong(end);
  return std::any_of(rows.begin(), rows.end(), [&](const auto& row) {
    return EqualIgnoringCase(row.first, startText) && EqualIgnoringCase(row.second, endText);
  });
}

bool IsDateInRanges(const OleDate& sent, const std::vector<DateRange>& ranges) {
  if (ranges.empty()) return true;
  const auto day = sent.CalendarDay();
  if (!day) return false;
  return std::any_of(ranges.begin(), ranges.end(), [&](const DateRange& r) {
    const auto first = r.start.CalendarDay();
    const auto last = r.end.CalendarDay();
    return first && last && *first <= *day && *day <= *last;
  });
}

}  // namespace quillmere::options
