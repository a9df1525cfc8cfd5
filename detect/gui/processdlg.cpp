#include "detect/gui/processdlg.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QProgressBar>
#include <QTableWidget>

#include <chrono>
#include <limits>

#include "app/gui/image_button.h"
#include "app/gui/ui_thread.h"
#include "app/run_log.h"
#include "detect/run_driver.h"

namespace quillmere::gui {
namespace {

int ToProgress(int64_t value) {
  if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (value < 0) return 0;
  return static_cast<int>(value);
}

}  // namespace

Processdlg::Processdlg(PageContext& context, WizardPage* parent, store::StoreSessionFactory& sessions)
    : WizardPage(kProcessTemplate, context, parent), m_sessions(sessions) {
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  white.setColor(QPalette::Button, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);

  m_report = new QTableWidget(0, 1);
  Place(m_report, kReportListId, 109, 58, 415, 228);
  m_report->setHorizontalHeaderLabels({"Process"});
  m_report->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  m_report->horizontalHeader()->setStretchLastSection(false);
  m_report->setColumnWidth(0, 400);
  m_report->verticalHeader()->hide();
  m_report->setShowGrid(true);
  m_report->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_report->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_report->setWordWrap(false);

  m_progress = new QProgressBar;
  Place(m_progress, kRunProgressId, 109, 294, 346, 10);
  m_progress->setTextVisible(false);
  m_progress->hide();

  m_stop = AddImageButton(kRunStopId, "Stop", "Stop", 214, 215, 461, 291, 65, 16);
  m_stop->hide();
  m_runTask = AddImageButton(kRunTaskId, "Run Task", "Run Task", 210, 211, 321, 314, 65, 16);
  m_back = AddImageButton(kRunBackId, "Back", "Back", 198, 199, 393, 314, 65, 16);

  connect(m_runTask, &QPushButton::clicked, this, &Processdlg::OnRunTask);
  connect(m_stop, &QPushButton::clicked, this, &Processdlg::OnStop);
  connect(m_back, &QPushButton::clicked, this, &Processdlg::OnBack);

  // The hint row stays above every run's report.
  m_report->insertRow(0);
  auto* hint = new QTableWidgetItem(QString::fromUtf8(kRunHintText));
  hint->setToolTip(hint->text());
  m_report->setItem(0, 0, hint);
}

Processdlg::~Processdlg() {
  m_closing.store(true);
  m_running.store(0);
  // The worker may be waiting for this thread to make a change: serve it
  // until the worker has returned.
  while (m_workerActive.load()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  JoinWorker();
}

void Processdlg::JoinWorker() {
  if (m_worker.joinable()) m_worker.join();
}

std::vector<std::string> Processdlg::ReportLines() const {
  std::vector<std::string> lines;
  for (int row = 0; row < m_report->rowCount(); ++row) lines.push_back(m_report->item(row, 0)->text().toStdString());
  return lines;
}

void Processdlg::OnRunTask() {
  if (m_workerActive.load()) return;
  m_stop->show();
  m_runTask->setEnabled(false);
  m_back->setEnabled(false);
  if (auto* close = findChild<QWidget*>(QString::number(kCloseButtonId))) close->setEnabled(false);
  m_running.store(1);
  // The settings are read here: the pages that write them cannot be reached
  // until the run has ended.
  detect::RunRequest request = detect::MakeRunRequest(Settings());
  JoinWorker();  // an earlier run's thread, already returned
  m_workerActive.store(true);
  m_worker = std::thread([this, request = std::move(request)]() mutable { RunWorker(std::move(request)); });
}

void Processdlg::RunWorker(detect::RunRequest request) {
  RunLog* log = Settings().m_logFile.get();
  if (log && !log->IsOpen()) log = nullptr;
  detect::RunDuplicateSearch(request, {m_sessions, *this, log, *Context().ports.clock}, m_running);
  m_workerActive.store(false);
  QMetaObject::invokeMethod(this, &Processdlg::RunEnded, Qt::QueuedConnection);
}

void Processdlg::OnStop() {
  if (QuestionWithInformationIcon(kStopQuestionText)) m_running.store(0);
}

void Processdlg::OnBack() {
  if (m_running.load() == 1) return;
  ReturnToParent();
}

bool Processdlg::RefuseClose() {
  if (m_running.load() != 1) return false;
  Notice(kStopBeforeClosingText);
  return true;
}

void Processdlg::AppendReportLine(const std::string& text) {
  RunOnUiThread(this, [&] {
    const int row = m_report->rowCount();
    m_report->insertRow(row);
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setToolTip(item->text());  // the whole line, however narrow the column
    m_report->setItem(row, 0, item);
    m_report->scrollToItem(item);
  });
}

void Processdlg::SetProgressRange(int64_t low, int64_t high) {
  RunOnUiThread(this, [&] { m_progress->setRange(ToProgress(low), ToProgress(high)); });
}

void Processdlg::SetProgressPosition(int64_t position) {
  RunOnUiThread(this, [&] { m_progress->setValue(ToProgress(position)); });
}

void Processdlg::SetProgressVisible(bool visible) {
  RunOnUiThread(this, [&] { m_progress->setVisible(visible); });
}

void Processdlg::SetButtons(const detect::RunButtons& buttons) {
  RunOnUiThread(this, [&] {
    m_stop->setVisible(buttons.stopVisible);
    m_runTask->setEnabled(buttons.runTaskEnabled);
    m_back->setEnabled(buttons.backEnabled);
    if (auto* close = findChild<QWidget*>(QString::number(kCloseButtonId))) close->setEnabled(buttons.closeEnabled);
  });
}

void Processdlg::ShowMessage(const std::string& text) {
  RunOnUiThread(this, [&] {
    if (!m_closing.load()) Notice(text);
  });
}

}  // namespace quillmere::gui
