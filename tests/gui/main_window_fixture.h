#pragma once
// The real main window over the fakes, a folder of PST files to add, and
// readers for what the window shows and what its run log holds.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <memory>

#include "app/gui/main_window.h"
#include "tests/gui/shell_fixture.h"

namespace quillmere::testing {

struct MainWindowFixture : ShellFixture {
  MainWindowFixture() : window(std::make_unique<gui::CQuillmereDlg>(context)) {}

  // Creates a file of `size` bytes under the files folder; its full path.
  std::string MakeFile(const QString& relative, int size = 10) {
    const QString path = files.filePath(relative);
    QDir().mkpath(QFileInfo(path).path());
    std::ofstream(path.toStdString(), std::ios::binary) << std::string(size_t(size), 'p');
    return path.toStdString();
  }
  std::string Missing(const QString& relative) { return files.filePath(relative).toStdString(); }

  QPushButton* Button(int id) { return window->findChild<QPushButton*>(QString::number(id)); }
  void Click(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }
  QTableWidget* List() { return window->findChild<QTableWidget*>("1004"); }
  QString Status() { return window->findChild<QLabel*>("1007")->text(); }
  bool WorkingControlsShown() {
    return Button(1006)->isVisibleTo(window.get()) ||
           window->findChild<QProgressBar*>("1005")->isVisibleTo(window.get());
  }

  QStringList Rows(int column = 0) {
    QStringList rows;
    for (int r = 0; r < List()->rowCount(); ++r) rows << List()->item(r, column)->text();
    return rows;
  }

  // Adds files through Add Files as a user confirming the dialog would.
  void AddThroughDialog(std::vector<std::string> names) {
    fakes.fileDialogs.openAnswers.push_back(std::move(names));
    Click(1000);
    WaitForWorker();
  }
  void WaitForWorker() { QTRY_VERIFY_WITH_TIMEOUT(!window->HasActiveWorker(), 10000); }

  void SelectRows(std::initializer_list<int> rows) {
    List()->clearSelection();
    for (int r : rows)
      List()->selectionModel()->select(List()->model()->index(r, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }

  // The run log's raw bytes and its lines after the header and empty line.
  QByteArray LogBytes() {
    QFile log(QString::fromStdString(settings.m_logFilePath));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
  }
  QStringList LogLines() {
    const QByteArray bytes = LogBytes();
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                            (bytes.size() - 2) / 2);
    QStringList lines = text.split("\r\n");
    lines.removeFirst();  // the asterisks
    lines.removeFirst();  // the empty line
    lines.removeLast();   // after the last CR LF
    return lines;
  }
  QStringList Prompts() {
    QStringList texts;
    for (const auto& t : fakes.prompter.Texts()) texts << QString::fromStdString(t);
    return texts;
  }

  QTemporaryDir files;
  std::unique_ptr<gui::CQuillmereDlg> window;
};

inline QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace quillmere::testing
