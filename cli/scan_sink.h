#pragma once
// What `quillmere-cli scan` makes of the run: the report lines on standard
// output (or one JSON document at the end), the extra lines of
// --list-duplicates, and a progress line on a terminal.
#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "detect/run_driver.h"
#include "detect/run_sink.h"

namespace quillmere::cli {

class ScanSink final : public detect::RunSink {
 public:
  // `progress`: where the progress line goes; null for none.
  ScanSink(bool listDuplicates, bool json, FILE* out, FILE* progress);

  void AppendReportLine(const std::string& text) override;
  void SetProgressRange(int64_t low, int64_t high) override;
  void SetProgressPosition(int64_t position) override;
  void SetProgressVisible(bool visible) override;
  void SetButtons(const detect::RunButtons&) override {}
  void ShowMessage(const std::string& text) override;

  bool WantsDuplicateDetails() const override { return m_listDuplicates || m_json; }
  void OnDuplicate(const detect::DuplicateRecord& record) override;
  void OnFolderDone(const detect::FolderOutcome& outcome) override;
  void OnFileStart(const std::string& path, const std::string& readerName) override;
  void OnFileFailed(const std::string& path) override;
  void OnFoldersUnreadable(int32_t places) override;

  // The whole run as one document (for --json).
  nlohmann::ordered_json Document(const detect::RunTotals& totals) const;

 private:
  void ClearProgress();

  bool m_listDuplicates;
  bool m_json;
  FILE* m_out;
  FILE* m_progress;
  std::string m_folder;  // the folder being scanned, for the progress line
  std::string m_file;    // the file being scanned
  int64_t m_progressHigh = 0;
  bool m_progressShown = false;
  std::vector<detect::DuplicateRecord> m_pending;
  std::vector<std::string> m_report;
  nlohmann::ordered_json m_files = nlohmann::ordered_json::array();
};

// Control characters (line breaks, tabs) become blanks, so a subject stays on its line.
std::string OneLine(const std::string& text);

}  // namespace quillmere::cli
