#pragma once
// The main window: the PST file list with Add Files and Search Files (on
// worker threads, with a progress bar and Stop), Remove File, Remove All,
// and the two ways into the wizard, Preview and Process.
#include <atomic>
#include <string>

#include "app/gui/page_frame.h"

class QLabel;
class QProgressBar;
class QTableWidget;

namespace quillmere::gui {

class ImageButton;

// Control ids of the main window.
inline constexpr int kAddFilesId = 1000;
inline constexpr int kSearchFilesId = 1001;
inline constexpr int kRemoveFileId = 1002;
inline constexpr int kRemoveAllId = 1003;
inline constexpr int kFileListId = 1004;
inline constexpr int kProgressId = 1005;
inline constexpr int kStopId = 1006;
inline constexpr int kStatusId = 1007;
inline constexpr int kPreviewId = 1008;
inline constexpr int kProcessId = 1051;

inline constexpr const char* kStartStatusText = "Select pst file(s) to continue the process....";
inline constexpr const char* kAddFilesStatusText = "Add files to continue the process.";

class CQuillmereDlg : public WizardPage {
  Q_OBJECT
 public:
  // Builds the window and creates the run log on the desktop.
  CQuillmereDlg(PageContext& context, QWidget* parent = nullptr);
  // Stops the workers and waits for them (the close flow ends the process
  // without coming here).
  ~CQuillmereDlg() override;

  // Button handlers, by control id.
  void OnAddFiles();
  void OnSearchFiles();
  void OnStop();
  void OnRemoveFile();
  void OnRemoveAll();
  void OnPreview();
  void OnProcess();

  // 1 while an add or search worker works.
  int Running() const { return m_running.load(); }
  // True while a worker thread has not finished (its dialog included).
  bool HasActiveWorker() const { return m_activeWorkers.load() > 0; }
  WizardPage* PreviewPage() const { return m_previewPage; }
  WizardPage* SearchOptionPage() const { return m_searchOptionPage; }

  // True if no row's path equals `path`.
  bool IsNotInList(const std::string& path) const;

 private:
  void CreateRunLog();
  void StartWorker(void (CQuillmereDlg::*worker)());
  void AddFilesWorker();
  void SearchFilesWorker();
  // Appends a row for `path`, logs it and fills in its size; the new row's index.
  int AppendFileRow(const std::string& path);
  void ShowWorking(bool working);
  void FinishWithTotalLine();
  void SetStatus(const std::string& text);
  void Log(const std::string& text);
  void GuardMailClient();
  WizardPage* OpenPage(const std::function<WizardPage*(WizardPage&)>& maker, int templateId,
                       const QString& placeholderName);

  QTableWidget* m_list;
  QLabel* m_status;
  QProgressBar* m_progress;
  ImageButton* m_stop;

  std::atomic<int> m_running{0};
  std::atomic<int> m_activeWorkers{0};
  WizardPage* m_previewPage = nullptr;
  WizardPage* m_searchOptionPage = nullptr;
};

}  // namespace quillmere::gui
