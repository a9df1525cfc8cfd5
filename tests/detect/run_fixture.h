#pragma once
// Mailboxes in memory and a recorded run over them.
#include <atomic>
#include <string>
#include <vector>

#include "detect/run_driver.h"
#include "store/memory/memory_store.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/recording_run_sink.h"

namespace quillmere::testing_support {

inline constexpr const char* kFile = "/mail/a.pst";
inline constexpr const char* kInbox = "\\\\Mail\\Top of Personal Folders\\Inbox";
inline constexpr const char* kArchive = "\\\\Mail\\Top of Personal Folders\\Archive";

inline store::ItemDescription Mail(std::string subject, std::string sender = "a@example.com",
                                   int32_t size = 100, int copies = 1) {
  store::ItemDescription item;
  item.subject = std::move(subject);
  item.senderEmail = std::move(sender);
  item.sizeHint = size;
  item.copies = copies;
  item.sentTimeUtc = 1709715600;  // 2024-03-06 09:00:00 UTC
  return item;
}

inline store::MailboxDescription Mailbox(std::vector<store::ItemDescription> inbox,
                                         std::vector<store::ItemDescription> archive = {}) {
  store::MailboxDescription box;
  box.displayName = "Mail";
  box.folders.push_back({"Inbox", "IPF.Note", std::move(inbox), {}});
  box.folders.push_back({"Archive", "IPF.Note", std::move(archive), {}});
  return box;
}

inline ComparisonCriteria Criteria(std::initializer_list<int32_t ComparisonCriteria::*> fields) {
  ComparisonCriteria c;
  for (auto f : fields) c.*f = 1;
  return c;
}

struct RecordedRun {
  store::MemoryStoreFactory sessions;
  fakes::RecordingRunSink sink;
  fakes::FakeClock clock{{2024, 3, 6, 14, 5, 9}};
  std::atomic<int> running{1};
  detect::RunTotals totals;
  detect::RunEnd end = detect::RunEnd::kCompleted;

  detect::RunRequest OneFile(std::vector<std::string> folders, int32_t scope, ComparisonCriteria criteria) {
    detect::RunRequest r;
    r.targets.push_back({kFile, "271360", std::move(folders)});
    r.scope = scope;
    r.criteria = criteria;
    return r;
  }
  detect::RunEnd Run(const detect::RunRequest& request, RunLog* log = nullptr) {
    running = 1;
    end = detect::RunDuplicateSearch(request, {sessions, sink, log, clock}, running, &totals);
    return end;
  }
  // The lines of the report that follow the run's start line.
  std::vector<std::string> LinesAfterStart() const {
    return std::vector<std::string>(sink.lines.begin() + (sink.lines.empty() ? 0 : 1), sink.lines.end());
  }
};

}  // namespace quillmere::testing_support
