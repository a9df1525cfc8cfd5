#include "detect/folder_scan.h"

#include <exception>
#include <optional>

#include "detect/comparison_key.h"
#include "options/date_rules.h"

namespace quillmere::detect {
namespace {

// The progress bar moves in at most this many steps per folder, so a large
// folder does not flood the screen with updates.
constexpr int64_t kProgressSteps = 200;

}  // namespace

FolderOutcome ScanFolder(ScanContext& ctx, store::MailFolder& folder, const std::string& folderPath) {
  FolderOutcome outcome;
  outcome.path = folderPath;
  outcome.reached = true;
  RunSink& sink = ctx.reporter.Sink();

  std::unique_ptr<store::ItemList> items;
  try {
    items = folder.GetItemsOrRaise();
  } catch (const std::exception&) {
  }
  if (!items) return outcome;
  // A list that cannot be counted is not an empty folder: the scan of this
  // folder ends without its lines, as for any other read error.
  std::optional<int32_t> counted;
  for (int attempt = 0; attempt < 2 && !counted; ++attempt) {
    try {
      counted = items->GetCountOrRaise();
    } catch (const std::exception&) {
    }
  }
  if (!counted) return outcome;
  const int32_t n = *counted;
  outcome.itemCount = n;
  if (n <= 0) {
    outcome.completed = true;
    return outcome;
  }

  sink.SetProgressRange(0, n);
  sink.SetProgressPosition(0);
  ctx.reporter.AddReportLine("Total number of emails in folder: " + std::to_string(n));

  const int64_t progressStep = n / kProgressSteps > 1 ? n / kProgressSteps : 1;
  int64_t nextProgress = progressStep;
  int32_t folderDuplicates = 0;
  uint64_t folderDuplicateSize = 0;
  const bool details = ctx.firstOccurrences != nullptr;
  FingerprintHasher hasher;

  try {
    for (int32_t i = 1; i <= n && ctx.running.load() != 0; ++i) {
      auto item = items->GetItem(i);
      if (!item) {
        ++outcome.itemsSkipped;
        continue;
      }
      if (item->GetItemClass().empty()) {
        ++outcome.itemsSkipped;
        continue;
      }
      const OleDate sent = item->GetSentTime();
      ++outcome.itemsRead;
      if (options::IsDateInRanges(sent, ctx.dateRanges)) {
        const Fingerprint f = FingerprintItem(*item, ctx.criteria, hasher);
        if (ctx.seen.Insert(f)) {
          if (details) (*ctx.firstOccurrences)[f] = {item->GetItemId(), folderPath};
        } else {
          const std::string id = item->GetItemId();
          const int32_t size = item->GetSize();
          // A damaged file may hold a negative size; it must not shrink the total.
          folderDuplicateSize += size > 0 ? static_cast<uint64_t>(size) : 0;
          ++folderDuplicates;
          if (details) {
            const auto& first = (*ctx.firstOccurrences)[f];
            sink.OnDuplicate({id, item->GetSubject(), sent, size, first.itemId, first.folderPath});
          }
        }
      }
      if (i >= nextProgress || i == n) {
        sink.SetProgressPosition(i);
        nextProgress = i + progressStep;
      }
    }
  } catch (const std::exception&) {
    // The folder's scan ends here: no summary, nothing added to the totals.
    outcome.itemsSkipped = n - outcome.itemsRead;
    outcome.duplicates = folderDuplicates;
    outcome.duplicateSize = folderDuplicateSize;
    return outcome;
  }

  ctx.totals.duplicates += static_cast<uint64_t>(folderDuplicates);
  ctx.totals.duplicateSize += folderDuplicateSize;
  ctx.reporter.AddReportLine("Number of duplicate items found: " + std::to_string(folderDuplicates));
  ctx.reporter.AddReportLine("Size of duplicate items found in Folder: " +
                             FormatDuplicateSize(folderDuplicateSize));
  sink.SetProgressPosition(n);
  outcome.completed = true;
  outcome.duplicates = folderDuplicates;
  outcome.duplicateSize = folderDuplicateSize;
  return outcome;
}

}  // namespace quillmere::detect
