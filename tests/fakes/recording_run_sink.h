#pragma once
// A run sink that records what the screen was told.
#include <functional>
#include <string>
#include <vector>

#include "detect/run_sink.h"

namespace quillmere::fakes {

class RecordingRunSink : public detect::RunSink {
 public:
  std::vector<std::string> lines;
  std::vector<std::string> messages;
  std::vector<detect::DuplicateRecord> duplicates;
  std::vector<detect::FolderOutcome> folders;
  std::vector<std::string> failedFiles;
  int64_t progressHigh = 0;
  int64_t progressPosition = 0;
  bool progressVisible = false;
  detect::RunButtons buttons;
  bool wantDetails = false;
  // Called after each line is recorded, and at each progress position.
  std::function<void(const std::string&)> onLine;
  std::function<void(int64_t)> onProgress;
  std::function<void()> onFileStart;

  void AppendReportLine(const std::string& text) override {
    lines.push_back(text);
    if (onLine) onLine(text);
  }
  void SetProgressRange(int64_t, int64_t high) override { progressHigh = high; }
  void SetProgressPosition(int64_t position) override {
    progressPosition = position;
    if (onProgress) onProgress(position);
  }
  void SetProgressVisible(bool visible) override { progressVisible = visible; }
  void SetButtons(const detect::RunButtons& b) override { buttons = b; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool WantsDuplicateDetails() const override { return wantDetails; }
  void OnDuplicate(const detect::DuplicateRecord& d) override { duplicates.push_back(d); }
  void OnFolderDone(const detect::FolderOutcome& f) override { folders.push_back(f); }
  void OnFileStart(const std::string&, const std::string&) override {
    if (onFileStart) onFileStart();
  }
  void OnFileFailed(const std::string& path) override { failedFiles.push_back(path); }
};

}  // namespace quillmere::fakes
