#pragma once
// The scan of one folder: every item's fingerprint goes into the scope's
// set; an item whose fingerprint was already there is a duplicate.
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/run_settings.h"
#include "detect/fingerprint_set.h"
#include "detect/report.h"
#include "store/mail_store.h"

namespace quillmere::detect {

// Where the first item of each fingerprint was found; kept only for front
// ends that list duplicates.
struct FirstOccurrence {
  std::string itemId;
  std::string folderPath;
};

struct ScanTotals {
  uint64_t duplicates = 0;
  uint64_t duplicateSize = 0;
};

struct ScanContext {
  Reporter& reporter;
  std::atomic<int>& running;
  const ComparisonCriteria& criteria;
  const std::vector<DateRange>& dateRanges;
  FingerprintSet& seen;
  ScanTotals& totals;
  // Present when the sink wants duplicate details; emptied with `seen`.
  std::map<Fingerprint, FirstOccurrence>* firstOccurrences = nullptr;
};

// Scans `folder`, whose path text is `folderPath`. Errors raised by the store
// while the folder is scanned end this folder's scan; the run goes on.
FolderOutcome ScanFolder(ScanContext& context, store::MailFolder& folder, const std::string& folderPath);

}  // namespace quillmere::detect
