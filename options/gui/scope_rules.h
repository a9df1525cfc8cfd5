#pragma once
// What the scope page's controls mean, without the controls: the three modes
// of the date section and what Next stores.
#include <optional>
#include <string>
#include <vector>

#include "app/run_settings.h"

namespace quillmere::options {

enum class DateMode { kOff, kPredefined, kManual };

// The states the date section's controls take in a mode.
struct DateSectionLook {
  bool dateFilterChecked;   // 1021
  bool predefinedChecked;   // 1022
  bool manualChecked;       // 1024
  bool modeButtonsEnabled;  // 1022 and 1024
  bool periodListEnabled;   // 1023
  bool manualPartEnabled;   // the pickers, the range list, Add and Remove
};
DateSectionLook LookOf(DateMode mode);

// The mode the controls show (the date filter check box first).
DateMode ModeOf(bool dateFilterChecked, bool manualChecked);

inline constexpr const char* kNoRangeToRemoveText = "No item is present in the list to remove.";
inline constexpr const char* kNoRangeSelectedText = "Please select item in the list to remove.";
inline constexpr const char* kAddRangeFirstText = "Please add time range to process the application.";

// The date ranges Next stores, or the message that stops it: the period's
// range in the predefined mode, the listed ranges in row order in the manual
// mode (refused when there are none), none when the filter is off.
struct ScopeNextResult {
  std::vector<DateRange> dateRanges;
  std::optional<std::string> message;
};
ScopeNextResult DateRangesForNext(DateMode mode, int period, const std::vector<DateRange>& manualRanges,
                                  const CivilDateTime& now);

}  // namespace quillmere::options
