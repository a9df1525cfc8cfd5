#include "options/gui/scope_rules.h"

#include "options/date_rules.h"

namespace quillmere::options {

DateSectionLook LookOf(DateMode mode) {
  switch (mode) {
    case DateMode::kOff:
      // The predefined button stays on while the whole section is greyed out.
      return {false, true, false, false, false, false};
    case DateMode::kPredefined:
      return {true, true, false, true, true, false};
    case DateMode::kManual:
      return {true, false, true, true, false, true};
  }
  return {};
}

DateMode ModeOf(bool dateFilterChecked, bool manualChecked) {
  if (!dateFilterChecked) return DateMode::kOff;
  return manualChecked ? DateMode::kManual : DateMode::kPredefined;
}

ScopeNextResult DateRangesForNext(DateMode mode, int period, const std::vector<DateRange>& manualRanges,
                                  const CivilDateTime& now) {
  ScopeNextResult result;
  switch (mode) {
    case DateMode::kOff:
      break;
    case DateMode::kPredefined:
      if (auto range = BuildPeriodRange(period, now)) result.dateRanges.push_back(*range);
      break;
    case DateMode::kManual:
      if (manualRanges.empty())
        result.message = kAddRangeFirstText;
      else
        result.dateRanges = manualRanges;
      break;
  }
  return result;
}

}  // namespace quillmere::options
