#pragma once
// Date ranges for the date filter: predefined periods, manual entries, and
// the test an item's sent time must pass.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/ole_date.h"
#include "app/run_settings.h"

namespace quillmere::options {

enum DatePeriod : int {
  kAllTime = 0,
  kLast1Week,
  kLast2Weeks,
  kLast3Weeks,
  kLast1Month,
  kLast3Months,
  kLast6Months,
  kLast9Months,
  kLast1Year,
  kLast2Years,
  kLast3Years,
  kDatePeriodCount
};

// The period list's entry texts, in order.
const char* DatePeriodText(int period);

// No range for "All Time" (and for a value outside the list); one range otherwise.
std::optional<DateRange> BuildPeriodRange(int period, const CivilDateTime& now);

// A manual range is acceptable when its start is strictly earlier than its end.
bool IsManualRangeValid(const OleDate& start, const OleDate& end);

// Whether some row (start text, end text) shows the same two dates, letter
// case aside. Times of day play no part, since the texts hold none.
bool IsRangeListed(const OleDate& start, const OleDate& end,
                   const std::vector<std::pair<std::string, std::string>>& rows);

// Whether an item sent at `sent` passes the filter: every item passes an
// empty list; otherwise its calendar date must lie within some range, both
// bounds included. An item without a valid sent time does not pass a filter.
bool IsDateInRanges(const OleDate& sent, const std::vector<DateRange>& ranges);

inline constexpr const char* kManualRangeInvalidText =
    "Please enter proper date time range. Start date time cannot be greater or equal to End date "
    "time.";
inline constexpr const char* kRangeAlreadyListedText =
    "Selected time range is already present in the list, please select another time range.";

}  // namespace quillmere::options
