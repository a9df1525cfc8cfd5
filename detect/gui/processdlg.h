#pragma once
// The run page: Run Task starts the duplicate search on a worker thread, the
// report grows in a one-column list (and in the run log, in the same words),
// Stop asks and then lets the run finish with its totals so far. While a run
// is active the page cannot go back and refuses to close.
#include <atomic>
#include <thread>

#include "app/gui/page_frame.h"
#include "detect/run_request.h"
#include "detect/run_sink.h"

class QProgressBar;
class QTableWidget;

namespace quillmere::store {
class StoreSessionFactory;
}

namespace quillmere::gui {

class ImageButton;

// Control ids of the run page.
inline constexpr int kReportListId = 1027;
inline constexpr int kRunProgressId = 1005;
inline constexpr int kRunStopId = 1006;
inline constexpr int kRunTaskId = 1049;
inline constexpr int kRunBackId = 1015;

inline constexpr const char* kRunHintText = "Click Run Task button to start the process";
inline constexpr const char* kStopQuestionText = "Do you want to stop the running process.";
inline constexpr const char* kStopBeforeClosingText = "Please stop the running process before closing the application";

class Processdlg : public WizardPage, public detect::RunSink {
  Q_OBJECT
 public:
  // `parent` is the comparison-criteria page; `sessions` opens the files.
  Processdlg(PageContext& context, WizardPage* parent, store::StoreSessionFactory& sessions);
  // Stops a run still in progress and waits for its thread.
  ~Processdlg() override;

  void OnRunTask();
  void OnStop();
  void OnBack();

  int Running() const { return m_running.load(); }
  // True from Run Task until the worker thread has returned.
  bool HasActiveWorker() const { return m_workerActive.load(); }
  std::vector<std::string> ReportLines() const;

  // The run's sink: called on the worker thread, each change made on the
  // page's thread before the call returns.
  void AppendReportLine(const std::string& text) override;
  void SetProgressRange(int64_t low, int64_t high) override;
  void SetProgressPosition(int64_t position) override;
  void SetProgressVisible(bool visible) override;
  void SetButtons(const detect::RunButtons& buttons) override;
  void ShowMessage(const std::string& text) override;

 signals:
  // On the page's thread, once a run's worker thread has returned.
  void RunEnded();

 protected:
  bool RefuseClose() override;

 private:
  void RunWorker(detect::RunRequest request);
  void JoinWorker();

  store::StoreSessionFactory& m_sessions;
  QTableWidget* m_report;
  QProgressBar* m_progress;
  ImageButton* m_stop;
  ImageButton* m_runTask;
  ImageButton* m_back;
  std::atomic<int> m_running{0};
  std::atomic<bool> m_workerActive{false};
  std::atomic<bool> m_closing{false};
  std::thread m_worker;
};

}  // namespace quillmere::gui
