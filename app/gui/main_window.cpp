#include "app/gui/main_window.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QTableWidget>

#include <filesystem>
#include <thread>

#include "app/file_size_text.h"
#include "app/gui/file_search.h"
#include "app/gui/image_button.h"
#include "app/gui/mail_client_guard.h"
#include "app/gui/placeholder_page.h"
#include "app/gui/ui_thread.h"
#include "app/run_log.h"
#include "app/utf.h"

namespace quillmere::gui {
namespace {

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

std::string TotalLine(int rows) { return "Total number of files: [" + std::to_string(rows) + "]"; }

constexpr const char* kStopRunningToAdd = "Please stop the running process to add file(s) in the list.";
constexpr const char* kStopRunningToRemove = "Please stop the running process to remove file(s) from the list.";
constexpr const char* kAddPstFiles = "Please add pst file(s) in list to continue the application.";
constexpr const char* kCloseMailClient =
    "Make sure to close all the instance of Microsoft outlook before proceeding.";

}  // namespace

CQuillmereDlg::CQuillmereDlg(PageContext& context, QWidget* parent)
    : WizardPage(kMainWindowTemplate, context, parent) {
  // White behind the page and every control on it.
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  white.setColor(QPalette::Button, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);

  auto* add = AddImageButton(kAddFilesId, "Add Files", "Add files", 194, 195, 10, 77, 75, 16);
  auto* search = AddImageButton(kSearchFilesId, "Search Files", "Search files", 221, 220, 10, 103, 75, 16);
  auto* remove = AddImageButton(kRemoveFileId, "Remove File", "Remove files", 224, 225, 10, 130, 75, 16);
  auto* removeAll = AddImageButton(kRemoveAllId, "Remove All", "Remove all files", 212, 213, 10, 155, 75, 16);
  auto* preview =
      AddImageButton(kPreviewId, "Preview", "Preview for selected file", 222, 223, 10, 180, 75, 16);
  auto* process = AddImageButton(kProcessId, "Process", "Process", 210, 211, 370, 341, 75, 16);
  m_stop = AddImageButton(kStopId, "", "Stop the process", 214, 215, 462, 319, 65, 16);
  m_stop->hide();

  m_list = new QTableWidget(0, 2);
  Place(m_list, kFileListId, 106, 52, 419, 243);
  m_list->setHorizontalHeaderLabels({"File Name", "File Size(Bytes)"});
  m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  m_list->horizontalHeader()->setStretchLastSection(false);
  m_list->setColumnWidth(0, 400);
  m_list->setColumnWidth(1, 400);
  m_list->verticalHeader()->hide();
  m_list->setShowGrid(true);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_list->setSortingEnabled(false);
  m_list->setWordWrap(false);

  m_status = new QLabel(kStartStatusText);
  Place(m_status, kStatusId, 106, 300, 419, 14);
  m_progress = new QProgressBar;
  Place(m_progress, kProgressId, 106, 321, 351, 10);
  m_progress->setTextVisible(false);
  m_progress->hide();

  connect(add, &QPushButton::clicked, this, &CQuillmereDlg::OnAddFiles);
  connect(search, &QPushButton::clicked, this, &CQuillmereDlg::OnSearchFiles);
  connect(remove, &QPushButton::clicked, this, &CQuillmereDlg::OnRemoveFile);
  connect(removeAll, &QPushButton::clicked, this, &CQuillmereDlg::OnRemoveAll);
  connect(preview, &QPushButton::clicked, this, &CQuillmereDlg::OnPreview);
  connect(process, &QPushButton::clicked, this, &CQuillmereDlg::OnProcess);
  connect(m_stop, &QPushButton::clicked, this, &CQuillmereDlg::OnStop);

  CreateRunLog();
}

CQuillmereDlg::~CQuillmereDlg() {
  m_running = 0;
  // A worker may be waiting for this thread to carry out a change.
  while (HasActiveWorker()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void CQuillmereDlg::CreateRunLog() {
  const CivilDateTime now = Context().ports.clock->Now();
  const std::string desktop = Context().ports.desktopFolder->Path();
  // No desktop at all: the log has only its name and cannot be created.
  Settings().m_logFilePath = desktop.empty() ? RunLog::MakeFileName(now) : RunLog::MakePath(desktop, now);
  Settings().m_logFile.reset();
  auto log = std::make_shared<RunLog>();
  if (desktop.empty() || !log->Create(Settings().m_logFilePath)) {
    Notice("Log File Cannot be created");
    return;
  }
  Settings().m_logFile = std::move(log);
}

void CQuillmereDlg::Log(const std::string& text) {
  if (auto log = Settings().m_logFile) log->WriteLogLine(text);
}

void CQuillmereDlg::SetStatus(const std::string& text) { m_status->setText(ToQt(text)); }

bool CQuillmereDlg::IsNotInList(const std::string& path) const {
  // Paths are compared exactly: on this file system A.pst and a.pst are two files.
  bool notInList = true;
  const QString wanted = ToQt(path);
  for (int row = 0; row < m_list->rowCount(); ++row)
    if (m_list->item(row, 0) && m_list->item(row, 0)->text() == wanted) notInList = false;
  return notInList;
}

int CQuillmereDlg::AppendFileRow(const std::string& path) {
  const int row = m_list->rowCount();
  m_list->insertRow(row);
  m_list->setItem(row, 0, new QTableWidgetItem(ToQt(path)));
  Log(path);
  m_list->setItem(row, 1, new QTableWidgetItem(ToQt(GetFileSizeText(path))));
  return row;
}

void CQuillmereDlg::ShowWorking(bool working) {
  m_stop->setVisible(working);
  m_progress->setVisible(working);
}

void CQuillmereDlg::FinishWithTotalLine() {
  const int rows = m_list->rowCount();
  if (rows < 1) {
    SetStatus("");
    return;
  }
  SetStatus(TotalLine(rows));
  Log(TotalLine(rows));
}

void CQuillmereDlg::StartWorker(void (CQuillmereDlg::*worker)()) {
  // One thread per press, never joined: the window waits for the count to
  // fall to zero instead, and the count is the last thing a worker touches.
  ++m_activeWorkers;
  std::thread([this, worker] {
    (this->*worker)();
    --m_activeWorkers;
  }).detach();
}

void CQuillmereDlg::OnAddFiles() {
  if (m_running == 1) {
    Notice(kStopRunningToAdd);
    return;
  }
  Notice("Please make sure that pst file is not password protected and corrupted.");
  StartWorker(&CQuillmereDlg::AddFilesWorker);
}

void CQuillmereDlg::AddFilesWorker() {
  const auto names = RunOnUiThread(this, [this] {
    return Context().ports.fileDialogs->OpenFiles({"", "PST File(s)", "*.pst", "pst", nullptr});
  });
  if (names) {
    m_running = 1;
    const int count = static_cast<int>(names->size());
    RunOnUiThread(this, [&] {
      ShowWorking(true);
      m_progress->setRange(0, count);
      m_progress->setValue(0);
    });
    for (const std::string& name : *names) {
      if (m_running != 1) break;
      const std::string path = RepairSelectedPath(name);
      if (!RunOnUiThread(this, [&] { return IsNotInList(path); })) continue;
      std::error_code ec;
      if (!std::filesystem::exists(path, ec)) {
        RunOnUiThread(this, [this] { Notice("Selected file is not valid."); });
        continue;
      }
      RunOnUiThread(this, [&] {
        const int row = AppendFileRow(path);
        m_progress->setValue(row);
        SetStatus(path);
      });
    }
    RunOnUiThread(this, [&] { m_progress->setValue(count); });
  }
  RunOnUiThread(this, [this] { ShowWorking(false); });
  m_running = 0;
  RunOnUiThread(this, [this] { FinishWithTotalLine(); });
}

void CQuillmereDlg::OnSearchFiles() {
  if (m_running == 1) {
    Notice("Please stop the running process to search pst files");
    return;
  }
  StartWorker(&CQuillmereDlg::SearchFilesWorker);
}

void CQuillmereDlg::SearchFilesWorker() {
  const auto chosen = RunOnUiThread(this, [this] {
    return Context().ports.fileDialogs->BrowseFolder(
        {"Select folder to search file(s)", Context().ports.desktopFolder->Path(), this});
  });
  if (!chosen) return;
  const std::string folder(TrimWhiteSpace(*chosen));
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) return;
  m_running = 1;
  RunOnUiThread(this, [this] {
    ShowWorking(true);
    m_progress->setValue(0);
  });
  SearchFolder(folder, "pst", m_running, [this](const std::string& path) {
    RunOnUiThread(this, [&] {
      const int row = m_list->rowCount();
      if (IsNotInList(path)) AppendFileRow(path);
      if (row > 0) m_list->scrollToItem(m_list->item(row - 1, 0), QAbstractItemView::EnsureVisible);
      SetStatus(path);
    });
  });
  m_running = 0;
  RunOnUiThread(this, [this] {
    ShowWorking(false);
    FinishWithTotalLine();
  });
}

void CQuillmereDlg::OnStop() {
  if (QuestionWithInformationIcon("Do you want to stop the running process.")) m_running = 0;
}

void CQuillmereDlg::OnRemoveFile() {
  if (m_running == 1) {
    Notice(kStopRunningToRemove);
    return;
  }
  if (m_list->rowCount() == 0) {
    Notice("No file(s) is present in the list to remove.");
    return;
  }
  if (m_list->selectionModel()->selectedRows().isEmpty()) {
    Notice("No file(s) selected to remove.");
    return;
  }
  for (auto rows = m_list->selectionModel()->selectedRows(); !rows.isEmpty();
       rows = m_list->selectionModel()->selectedRows()) {
    int first = rows.front().row();
    for (const auto& index : rows) first = std::min(first, index.row());
    m_list->removeRow(first);
  }
  const int rows = m_list->rowCount();
  if (rows < 1) {
    SetStatus(kAddFilesStatusText);
    return;
  }
  SetStatus(TotalLine(rows));
  Log(TotalLine(rows));
}

void CQuillmereDlg::OnRemoveAll() {
  if (m_running == 1) {
    Notice(kStopRunningToRemove);
    return;
  }
  if (m_list->rowCount() == 0) {
    Notice("No file is present in the list to remove");
    return;
  }
  m_list->setRowCount(0);
  SetStatus(kAddFilesStatusText);
  Log(kAddFilesStatusText);
}

void CQuillmereDlg::GuardMailClient() {
  const auto& ports = Context().ports;
  gui::GuardMailClient({*ports.processList, *ports.processKiller, *ports.prompter}, this);
}

WizardPage* CQuillmereDlg::OpenPage(const std::function<WizardPage*(WizardPage&)>& maker, int templateId,
                                    const QString& placeholderName) {
  WizardPage* page = maker ? maker(*this) : nullptr;
  if (!page) page = new PlaceholderPage(templateId, placeholderName, Context(), this);
  ShowNextPage(page);
  return page;
}

void CQuillmereDlg::OnPreview() {
  // Accepted while a worker runs.
  if (m_list->rowCount() == 0) {
    Notice(kAddPstFiles);
    return;
  }
  Notice(kCloseMailClient);
  GuardMailClient();
  const auto selected = m_list->selectionModel()->selectedRows();
  if (selected.isEmpty()) return;
  int row = selected.front().row();
  for (const auto& index : selected) row = std::min(row, index.row());
  Settings().m_currentFile = m_list->item(row, 0)->text().toStdString();
  Settings().m_currentFileSize = m_list->item(row, 1) ? m_list->item(row, 1)->text().toStdString() : "";
  Settings().m_previewMode = true;
  m_previewPage = OpenPage(Context().makePreviewPage, kPreviewTemplate, "preview");
}

void CQuillmereDlg::OnProcess() {
  if (m_running == 1) {
    Notice(kStopRunningToRemove);
    return;
  }
  if (m_list->rowCount() == 0) {
    Notice(kAddPstFiles);
    return;
  }
  Notice(kCloseMailClient);
  GuardMailClient();
  Settings().m_files.clear();
  for (int row = 0; row < m_list->rowCount(); ++row) {
    Settings().m_files.push_back({m_list->item(row, 0)->text().toStdString(),
                                  m_list->item(row, 1) ? m_list->item(row, 1)->text().toStdString() : ""});
  }
  Settings().m_previewMode = false;
  m_searchOptionPage = OpenPage(Context().makeSearchOptionPage, kSearchOptionTemplate, "search option");
}

}  // namespace quillmere::gui
