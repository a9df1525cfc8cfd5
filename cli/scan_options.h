#pragma once
// The command line of `quillmere-cli scan`, read into what the run needs.
#include <optional>
#include <string>
#include <vector>

#include "app/ole_date.h"
#include "app/run_settings.h"

namespace quillmere::cli {

struct ScanOptions {
  ComparisonCriteria criteria;  // subject, sender e-mail, attachments unless given
  int32_t scope = 1;            // 1 within each folder, 2 across a file
  std::vector<DateRange> dateRanges;
  std::optional<std::vector<std::string>> folders;  // none: every folder in walk order
  bool listDuplicates = false;
  bool json = false;
  std::string logPath;
  std::vector<std::string> files;
  std::string reader = "fast";  // "fast" or "libpff"
  bool help = false;
  bool version = false;
};

struct ScanParse {
  ScanOptions options;
  std::string error;  // not empty: a usage error, to be shown as it stands
};

// `now` is the local time the periods count back from.
ScanParse ParseScanOptions(const std::vector<std::string>& args, const CivilDateTime& now);

// The readers --reader names: "fast" or "libpff".
bool IsReaderName(const std::string& name);

// The --period names, in the order of the period list.
const char* PeriodOptionName(int period);
std::string ScanUsageText();

}  // namespace quillmere::cli
