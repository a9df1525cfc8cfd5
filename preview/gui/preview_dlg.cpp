#include "preview/gui/preview_dlg.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <chrono>

#include "app/app_texts.h"
#include "app/gui/image_button.h"
#include "app/gui/placeholder_page.h"
#include "app/gui/ui_thread.h"
#include "controls/gui/xhtml_tree.h"
#include "preview/folder_tree.h"
#include "preview/gui/folder_images.h"

namespace quillmere::preview {

PreviewDlg::PreviewDlg(gui::PageContext& context, gui::WizardPage* parent, store::StoreSessionFactory& sessions)
    : gui::WizardPage(gui::kPreviewTemplate, context, parent), m_loader(sessions, Settings(), *this) {
  // The controls of template 129 in creation order; the frame (banners,
  // About, Help, minimise, cross, Close, Cancel) is the WizardPage's.
  auto* folders = new QGroupBox(
      QStringLiteral("Select Folders to remove duplicate items,and click next to continue the process:"));
  Place(folders, -1, 9, 49, 516, 266);
  folders->setObjectName(QString());
  m_tree = new controls::CXHtmlTree;
  Place(m_tree, kTreeId, 17, 62, 204, 249);
  auto* information = new QGroupBox(QStringLiteral("PST File Information:"));
  Place(information, -1, 222, 59, 294, 251);
  information->setObjectName(QString());
  AddLabel(QStringLiteral("PST File Name:"), 229, 98, 48, 8);
  m_fileNameField = AddField(kFileNameId, 229, 126, 276, 49);
  m_fileNameField->setWordWrap(true);
  m_fileNameField->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  AddLabel(QStringLiteral("PST File Size (bytes):"), 231, 195, 68, 8);
  m_sizeField = AddField(kFileSizeId, 310, 192, 79, 18);
  AddLabel(QStringLiteral("PST File Type:"), 231, 228, 46, 8);
  m_typeField = AddField(kFileTypeId, 305, 227, 86, 13);
  AddLabel(QStringLiteral("Total Mails:"), 231, 257, 37, 8);
  m_mailsField = AddField(kTotalMailsId, 305, 255, 82, 14);
  AddLabel(QStringLiteral("Total Folder:"), 231, 285, 42, 8);
  m_foldersField = AddField(kTotalFolderId, 305, 285, 81, 11);
  m_progress = new QProgressBar;
  Place(m_progress, kProgressId, 4, 321, 526, 10);
  m_progress->setTextVisible(false);
  auto* back = AddImageButton(kBackId, QStringLiteral("Back"), QStringLiteral("Back"), 198, 199, 321, 339, 65, 16);
  auto* next = AddImageButton(kNextId, QStringLiteral("Next"), QStringLiteral("Next"), 206, 207, 392, 339, 65, 16);
  connect(back, &QPushButton::clicked, this, &PreviewDlg::OnBack);
  connect(next, &QPushButton::clicked, this, &PreviewDlg::OnNext);
  // Close is the default button (Enter itself does nothing on a page).
  if (auto* close = findChild<QPushButton*>(QString::number(gui::kCloseButtonId))) close->setDefault(true);

  OnInitDialog();
}

PreviewDlg::~PreviewDlg() { WaitForWorker(); }

QLabel* PreviewDlg::AddLabel(const QString& text, int x, int y, int w, int h) {
  auto* label = new QLabel(text);
  Place(label, -1, x, y, w, h);
  label->setObjectName(QString());
  // The template's label boxes are cut to the design font; ours may be wider.
  label->resize(label->sizeHint().width(), label->height());
  return label;
}

QLabel* PreviewDlg::AddField(int id, int x, int y, int w, int h) {
  auto* field = new QLabel;
  Place(field, id, x, y, w, h);
  field->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return field;
}

void PreviewDlg::OnInitDialog() {
  // The frame has set the tooltips and pictures of the image buttons and
  // the window text. m_running and m_totalMails start at 0 in the loader.

  // The folder pictures, and the tree: check boxes and tooltips on, then
  // smart ticking and item images.
  MakeFolderImageList(m_folderImages);
  m_tree->SetNormalImageList(&m_folderImages);
  m_tree->ResetTree();
  m_tree->SetSmartCheck(true);
  m_tree->SetHasImages(true);

  // The full path, wrapped inside the field: a break is allowed after every
  // path separator, as a path rarely has spaces to break at.
  m_fileName = QString::fromStdString(Settings().m_currentFile);
  QString shown = m_fileName;
  shown.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
  m_fileNameField->setText(shown);

  m_progress->hide();

  // The flag is up before the worker runs, so that no button slips through
  // before the worker has set it itself.
  m_loader.Running() = 1;
  m_worker = std::thread([this] { m_loader.LoadPreview(); });
}

void PreviewDlg::WaitForWorker() {
  if (!m_worker.joinable()) return;
  // The worker's last calls wait for this thread; let them through.
  while (m_loader.Running() == 1) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  // After the flag drops only the failure exit still ends the page.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
  while (std::chrono::steady_clock::now() < deadline) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  m_worker.join();
}

bool PreviewDlg::RefuseClose() {
  if (m_loader.Running() != 1) return false;
  Notice(kStopRunningText);
  return true;
}

void PreviewDlg::OnBack() {
  if (m_loader.Running() == 1) {
    Notice(kStopRunningText);
    return;
  }
  // The run settings stay as they are; the page goes.
  ReturnToParent();
  deleteLater();
}

void PreviewDlg::OnNext() {
  if (m_loader.Running() == 1) {
    Notice(kStopRunningText);
    return;
  }
  RunSettings& settings = Settings();
  settings.m_selectedFolders.clear();
  if (CollectCheckedFolders(settings.m_folders, m_tree->Model(), settings.m_selectedFolders,
                            [this](const std::string& text) { Notice(text); }) == 0)
    return;
  // A scope page left by its Back is replaced by a new one.
  if (m_nextPage) m_nextPage->deleteLater();
  gui::WizardPage* next = Context().makeSearchOptionPage ? Context().makeSearchOptionPage(*this) : nullptr;
  if (!next) next = new gui::PlaceholderPage(gui::kSearchOptionTemplate, QStringLiteral("search option"), Context(), this);
  m_nextPage = next;
  ShowNextPage(next);
}

void PreviewDlg::SetFileSizeText(const std::string& text) {
  gui::RunOnUiThread(this, [&] { m_sizeField->setText(QString::fromStdString(text)); });
}

void PreviewDlg::SetFileTypeText(const std::string& text) {
  gui::RunOnUiThread(this, [&] { m_typeField->setText(QString::fromStdString(text)); });
}

void PreviewDlg::SetTotalMailsText(const std::string& text) {
  gui::RunOnUiThread(this, [&] { m_mailsField->setText(QString::fromStdString(text)); });
}

void PreviewDlg::SetTotalFolderText(const std::string& text) {
  gui::RunOnUiThread(this, [&] { m_foldersField->setText(QString::fromStdString(text)); });
}

void PreviewDlg::SetProgressVisible(bool visible) {
  gui::RunOnUiThread(this, [&] { m_progress->setVisible(visible); });
}

void PreviewDlg::SetProgressPosition(int position) {
  gui::RunOnUiThread(this, [&] { m_progress->setValue(position); });
}

void PreviewDlg::ShowMessage(const std::string& text) {
  gui::RunOnUiThread(this, [&] { Notice(text); });
}

// The tree is changed on the page's thread only, so its records never
// change while it paints them. A round trip per folder would cost far more
// than the insert itself, so folders are posted in runs of
// kFoldersPerRoundTrip and the worker waits at the end of each run. Posted
// calls run in order, so when any waited-for call returns - the last one of
// the loader, which hides the progress bar, included - every folder before
// it is in the tree; m_running drops only after that.
void PreviewDlg::AddFolderToTree(size_t index) {
  auto add = [this, index] { preview::AddFolderToTree(Settings().m_folders, index, m_tree->Model()); };
  if (QThread::currentThread() == thread()) {
    add();
    return;
  }
  if (++m_postedFolders % kFoldersPerRoundTrip == 0) gui::RunOnUiThread(this, add);
  else QMetaObject::invokeMethod(this, add, Qt::QueuedConnection);
}

void PreviewDlg::EndPage(int result) {
  gui::RunOnUiThread(this, [&] {
    done(result);
    if (QWidget* parent = parentWidget()) parent->show();
  });
}

std::function<gui::WizardPage*(gui::WizardPage&)> PreviewPageMaker(gui::PageContext& context,
                                                                 store::StoreSessionFactory& sessions) {
  return [&context, &sessions](gui::WizardPage& parent) -> gui::WizardPage* {
    return new PreviewDlg(context, &parent, sessions);
  };
}

}  // namespace quillmere::preview
