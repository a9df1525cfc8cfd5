#pragma once
// One duplicate search: opens each file through a fresh store session, walks
// its folders, scans each one, and reports per folder, per file and in total.
#include <atomic>
#include <cstdint>

#include "detect/run_request.h"
#include "detect/run_sink.h"
#include "platform/clock.h"
#include "store/mail_store.h"

namespace quillmere {
class RunLog;
}

namespace quillmere::detect {

struct RunDependencies {
  store::StoreSessionFactory& sessions;
  RunSink& sink;
  RunLog* log = nullptr;  // may be null or not open: lines then reach the sink only
  platform::Clock& clock;
};

enum class RunEnd {
  kCompleted,      // went through to the closing line (also after a Stop)
  kNoSession,      // no store session could be created
  kNoMailClient,   // the session has no reader
  kFileNotOpened,  // the file could not be opened as a PST file
};

struct RunTotals {
  uint64_t duplicates = 0;
  uint64_t duplicateSize = 0;
  int filesFailed = 0;
  int32_t foldersUnreadable = 0;  // places of the folder walks that could not be read
  bool stopped = false;
};

// `running` is 1 while the run may go on; Stop sets it to 0. It is polled
// before every file, every folder and every item, and set to 0 at the end.
RunEnd RunDuplicateSearch(const RunRequest& request, RunDependencies deps,
                          std::atomic<int>& running, RunTotals* totals = nullptr);

}  // namespace quillmere::detect
