#pragma once
// What the run driver and the folder scan tell the screen. The run page and
// the command-line tool each implement it; every method is called on the
// run's worker thread and must return once the change is made.
#include <cstdint>
#include <string>

#include "app/ole_date.h"

namespace quillmere::detect {

struct RunButtons {
  bool stopVisible = false;
  bool runTaskEnabled = true;
  bool backEnabled = true;
  bool closeEnabled = true;
};

// One duplicate, for front ends that list them (the command line's
// --list-duplicates and --json).
struct DuplicateRecord {
  std::string itemId;
  std::string subject;
  OleDate sentTime;
  int32_t size = 0;
  std::string originalItemId;      // the earlier item it repeats
  std::string originalFolderPath;  // and that item's folder
};

// What one folder's scan did, for the reconciliation counts.
struct FolderOutcome {
  std::string path;
  bool reached = false;       // the path resolved to a folder
  bool completed = false;     // the scan went through to its summary lines
  int32_t itemCount = 0;      // as the folder reports it
  int64_t itemsRead = 0;      // items obtained and examined (date filter included)
  int64_t itemsSkipped = 0;   // items that could not be obtained or read
  int32_t duplicates = 0;
  uint64_t duplicateSize = 0;
};

class RunSink {
 public:
  virtual ~RunSink() = default;
  // A line of the report; the driver writes the same words to the run log.
  virtual void AppendReportLine(const std::string& text) = 0;
  virtual void SetProgressRange(int64_t low, int64_t high) = 0;
  virtual void SetProgressPosition(int64_t position) = 0;
  virtual void SetProgressVisible(bool visible) = 0;
  virtual void SetButtons(const RunButtons& buttons) = 0;
  // An information message box owned by the run page.
  virtual void ShowMessage(const std::string& text) = 0;

  // Optional: details for front ends that want them.
  virtual bool WantsDuplicateDetails() const { return false; }
  virtual void OnDuplicate(const DuplicateRecord&) {}
  virtual void OnFolderDone(const FolderOutcome&) {}
  virtual void OnFileStart(const std::string& /*path*/, const std::string& /*readerName*/) {}
  // The file could not be opened as a PST file.
  virtual void OnFileFailed(const std::string& /*path*/) {}
  // Walking every folder of the file, `places` parts of its hierarchy could
  // not be read; the folders below them are missing from the run.
  virtual void OnFoldersUnreadable(int32_t /*places*/) {}
};

}  // namespace quillmere::detect
