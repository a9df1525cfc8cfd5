#pragma once
// PreviewDlg: the wizard page that shows one PST file's size, format and
// totals and its folders as a check-box tree, loaded by a worker thread.
// Next hands the ticked folders on as m_selectedFolders and opens the scope
// page; Back returns to the main window.
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "app/gui/page_frame.h"
#include "controls/gui/image_list.h"
#include "preview/preview_loader.h"
#include "preview/preview_view.h"
#include "store/mail_store.h"

class QLabel;
class QProgressBar;

namespace quillmere::controls {
class CXHtmlTree;
}

namespace quillmere::preview {

inline constexpr int kTreeId = 1009;
inline constexpr int kFileNameId = 1010;
inline constexpr int kFileSizeId = 1011;
inline constexpr int kFileTypeId = 1012;
inline constexpr int kTotalMailsId = 1013;
inline constexpr int kTotalFolderId = 1014;
inline constexpr int kProgressId = 1005;
inline constexpr int kBackId = 1015;
inline constexpr int kNextId = 1016;

// The worker waits for the tree once per this many folders.
inline constexpr size_t kFoldersPerRoundTrip = 64;

inline constexpr const char* kStopRunningText = "Please stop the running process to continue the application.";

class PreviewDlg : public gui::WizardPage, private PreviewView {
  Q_OBJECT

 public:
  // Created hidden by the main window (its parent) for
  // settings.m_currentFile; the worker starts at once and reads the file
  // through `sessions`.
  PreviewDlg(gui::PageContext& context, gui::WizardPage* parent, store::StoreSessionFactory& sessions);
  ~PreviewDlg() override;

  void OnBack();
  void OnNext();

  int Running() const { return m_loader.Running(); }
  uint64_t TotalMails() const { return m_loader.TotalMails(); }
  controls::CXHtmlTree& Tree() { return *m_tree; }
  QWidget* NextPage() const { return m_nextPage; }
  // The full path as field 1010 was given it.
  const QString& FileNameText() const { return m_fileName; }
  // Waits for the worker to end (tests and the destructor).
  void WaitForWorker();

 protected:
  bool RefuseClose() override;

 private:
  // PreviewView, called on the worker's thread; each change runs on the
  // page's thread and returns once it is made.
  void SetFileSizeText(const std::string& text) override;
  void SetFileTypeText(const std::string& text) override;
  void SetTotalMailsText(const std::string& text) override;
  void SetTotalFolderText(const std::string& text) override;
  void SetProgressVisible(bool visible) override;
  void SetProgressPosition(int position) override;
  void ShowMessage(const std::string& text) override;
  void AddFolderToTree(size_t index) override;
  void EndPage(int result) override;

  void OnInitDialog();
  QLabel* AddLabel(const QString& text, int x, int y, int w, int h);
  QLabel* AddField(int id, int x, int y, int w, int h);

  mutable PreviewLoader m_loader;  // its running flag is read from const members
  controls::ImageList m_folderImages;
  controls::CXHtmlTree* m_tree = nullptr;
  QLabel* m_fileNameField = nullptr;
  QLabel* m_sizeField = nullptr;
  QLabel* m_typeField = nullptr;
  QLabel* m_mailsField = nullptr;
  QLabel* m_foldersField = nullptr;
  QProgressBar* m_progress = nullptr;
  QString m_fileName;
  QPointer<QWidget> m_nextPage;
  std::thread m_worker;
  // Folders handed to the tree by the worker so far.
  size_t m_postedFolders = 0;
};

// The maker the main window calls on Preview.
std::function<gui::WizardPage*(gui::WizardPage&)> PreviewPageMaker(gui::PageContext& context,
                                                                 store::StoreSessionFactory& sessions);

}  // namespace quillmere::preview
