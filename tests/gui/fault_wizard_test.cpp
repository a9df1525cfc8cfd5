// Faults around the files, through the real pages over libpff: a desktop
// that cannot take the run log, a file that is removed, replaced by a
// directory or made unreadable between the list and the preview or between
// the preview and the run, Stop at every line of a run, and the close cross
// and the window system's close request during a run and after it.
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "detect/gui/processdlg.h"
#include "options/gui/filter_dlg.h"
#include "options/gui/search_option_dlg.h"
#include "preview/gui/preview_dlg.h"
#include "store/libpff/libpff_store.h"
#include "tests/gui/main_window_fixture.h"

using namespace quillmere;
using gui::Processdlg;
using gui::SearchOptionDlg;
using platform::PromptAnswer;
using testing::Q;

namespace {

namespace fs = std::filesystem;

const std::string kSample = std::string(QM_SAMPLES_DIR) + "/outlook.pst";
constexpr const char* kCorrupt = "PST file is corrupt, repair it to process Quillmere application.";
constexpr const char* kCompleted = "Quillmere process completed successfully.";
constexpr const char* kCloseQuestion = "Do you want to close the application?";
constexpr const char* kProductAddress = "https://velmora.example/quillmere";

template <typename T = QWidget>
T* Control(QWidget* page, int id) {
  auto* control = page->findChild<T*>(QString::number(id), Qt::FindDirectChildrenOnly);
  if (!control) qFatal("no control %d of type %s on the page", id, T::staticMetaObject.className());
  return control;
}
void Press(QWidget* page, int id) { Control<QAbstractButton>(page, id)->click(); }

// What happens to a listed file before the program reads it.
enum class Change { kNone, kRemoved, kDirectory, kUnreadable };

// Reads as a user whom permissions bind, also when the tests run as root.
class ReadAsNobody {
 public:
  explicit ReadAsNobody(bool active) : m_active(active && ::geteuid() == 0) {
    if (m_active && (::setegid(65534) != 0 || ::seteuid(65534) != 0)) qFatal("cannot become nobody");
  }
  ~ReadAsNobody() {
    if (m_active && (::seteuid(0) != 0 || ::setegid(0) != 0)) qFatal("cannot become root again");
  }

 private:
  bool m_active;
};

void Apply(Change change, const std::string& path) {
  switch (change) {
    case Change::kNone:
      break;
    case Change::kRemoved:
      fs::remove(path);
      break;
    case Change::kDirectory:
      fs::remove(path);
      fs::create_directory(path);
      break;
    case Change::kUnreadable:
      fs::permissions(path, fs::perms::none);
      break;
  }
}

struct FaultWizard : testing::MainWindowFixture {
  FaultWizard() {
    context.productPage = kProductAddress;
    // The unprivileged reader must reach the files folder.
    fs::permissions(files.path().toStdString(), fs::perms::owner_all | fs::perms::others_read |
                                                    fs::perms::others_exec | fs::perms::group_read |
                                                    fs::perms::group_exec);
    context.makePreviewPage = preview::PreviewPageMaker(context, sessions);
    context.makeSearchOptionPage = gui::SearchOptionPageMaker(sessions);
  }
  void Start() { window->show(); }

  std::string Copy(const QString& name) {
    const std::string path = files.filePath(name).toStdString();
    fs::copy_file(kSample, path);
    return path;
  }
  // Preview of the first row; the page, once its worker has ended.
  preview::PreviewDlg* Preview(bool asNobody = false) {
    SelectRows({0});
    ReadAsNobody nobody(asNobody);
    Press(window.get(), gui::kPreviewId);
    auto* preview = qobject_cast<preview::PreviewDlg*>(window->PreviewPage());
    if (preview) preview->WaitForWorker();
    return preview;
  }
  // Next on the scope page, then Next on the criteria page.
  Processdlg* ToRunPage(SearchOptionDlg* scope) {
    if (!scope) return nullptr;
    Press(scope, gui::kNextId);
    gui::FilterDlg* criteria = scope->NextPage();
    if (!criteria) return nullptr;
    Control<QLineEdit>(criteria, gui::kDestinationId)->setText(destination.path());
    Press(criteria, 1016);
    run = criteria->NextPage();
    return run;
  }
  Processdlg* PreviewToRunPage() {
    auto* preview = Preview();
    if (!preview || !preview->isVisible()) return nullptr;
    Press(preview, preview::kNextId);
    return ToRunPage(qobject_cast<SearchOptionDlg*>(preview->NextPage()));
  }
  bool RunAndWait(bool asNobody = false) {
    fakes.prompter.Clear();
    QSignalSpy ended(run, &Processdlg::RunEnded);
    ReadAsNobody nobody(asNobody);
    Press(run, gui::kRunTaskId);
    return ended.wait(60000) && !run->HasActiveWorker();
  }
  std::vector<std::string> Report() {
    auto lines = run->ReportLines();
    lines.erase(lines.begin());  // the hint row
    return lines;
  }
  bool RunPageIdle() {
    return Control(run, gui::kRunStopId)->isHidden() && Control(run, gui::kRunTaskId)->isEnabled() &&
           Control(run, gui::kRunBackId)->isEnabled() && Control(run, gui::kCloseButtonId)->isEnabled() &&
           run->Running() == 0;
  }
  std::vector<std::string> TakePrompts() {
    auto texts = fakes.prompter.Texts();
    fakes.prompter.Clear();
    return texts;
  }
  void CloseBy(QWidget* page, const QString& how) {
    if (how == "cross")
      Press(page, gui::kCrossButtonId);
    else
      page->close();  // the window system's close request
  }

  store::LibpffSessionFactory sessions;
  QTemporaryDir destination;
  QPointer<Processdlg> run;
};

}  // namespace

class FaultWizardTest : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    if (!fs::exists(kSample)) QSKIP("the sample files are missing");
  }
  void unwritableDesktopTheProgramGoesOnAndCloseShowsThePath_data();
  void unwritableDesktopTheProgramGoesOnAndCloseShowsThePath();
  void fileChangedBeforeThePreview_data();
  void fileChangedBeforeThePreview();
  void fileChangedBetweenPreviewAndRun_data();
  void fileChangedBetweenPreviewAndRun();
  void aChangedFileInTheProcessListLeavesTheOthersScanned();
  void stopAtEveryLineOfARun();
  void closeIsRefusedDuringARunAndAskedAfterIt_data();
  void closeIsRefusedDuringARunAndAskedAfterIt();
};

void FaultWizardTest::unwritableDesktopTheProgramGoesOnAndCloseShowsThePath_data() {
  QTest::addColumn<QString>("closeBy");
  QTest::newRow("close cross") << "cross";
  QTest::newRow("window system's close") << "system";
}

void FaultWizardTest::unwritableDesktopTheProgramGoesOnAndCloseShowsThePath() {
  QFETCH(QString, closeBy);
  // The desktop folder's place is taken by a file: the log cannot be made there.
  QTemporaryDir home;
  const QString desktop = home.filePath("Desktop");
  QFile blocker(desktop);
  QVERIFY(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  FaultWizard w;
  // A main window of its own, started over the blocked desktop.
  w.window.reset();
  w.settings.m_logFile.reset();
  w.settings.m_logFilePath.clear();
  w.fakes.prompter.Clear();
  w.fakes.desktopFolder.path = desktop.toStdString();
  w.window = std::make_unique<gui::CQuillmereDlg>(w.context);
  w.Start();
  QCOMPARE(w.TakePrompts(), std::vector<std::string>{"Log File Cannot be created"});
  const std::string logPath = w.settings.m_logFilePath;
  QVERIFY(Q(logPath).startsWith(desktop + "/VelmoraQuillmere_log_"));

  // Every stage still works without the log.
  w.AddThroughDialog({w.Copy("a.pst")});
  QVERIFY(w.PreviewToRunPage());
  QVERIFY(w.RunAndWait());
  QCOMPARE(w.Report().back(), std::string(kCompleted));
  QCOMPARE(w.TakePrompts(), std::vector<std::string>{kCompleted});
  QVERIFY(!fs::exists(logPath));

  // Closing shows the path the log would have had.
  w.fakes.prompter.answers.push_back(PromptAnswer::Yes);
  w.CloseBy(w.run, closeBy);
  QCOMPARE(w.TakePrompts(), (std::vector<std::string>{kCloseQuestion, "Log file path: \n" + logPath}));
  QCOMPARE(w.fakes.urlOpener.opened.size(), size_t(closeBy == "cross" ? 1 : 0));
  QCOMPARE(w.fakes.processExit.exitStatus, std::optional<int>(-1));
}

void FaultWizardTest::fileChangedBeforeThePreview_data() {
  QTest::addColumn<int>("change");
  QTest::newRow("removed") << int(Change::kRemoved);
  QTest::newRow("replaced by a directory") << int(Change::kDirectory);
  QTest::newRow("without read permission") << int(Change::kUnreadable);
}

void FaultWizardTest::fileChangedBeforeThePreview() {
  QFETCH(int, change);
  FaultWizard w;
  w.Start();
  const std::string path = w.Copy("a.pst");
  w.AddThroughDialog({path});
  Apply(Change(change), path);
  w.TakePrompts();
  QPointer<preview::PreviewDlg> preview = w.Preview(Change(change) == Change::kUnreadable);
  QVERIFY(preview);
  // Message C, the page gone and the main window back; no statistics but the size.
  const auto prompts = w.TakePrompts();
  QVERIFY(!prompts.empty());
  QCOMPARE(prompts.back(), std::string(kCorrupt));
  QTRY_VERIFY(!preview || !preview->isVisible());
  QVERIFY(w.window->isVisible());
  const QStringList log = w.LogLines();
  QVERIFY(!log.isEmpty());
  QVERIFY(log.back().startsWith("PST file size: "));
  QVERIFY(!log.join("\n").contains("Total number of emails in selected pst file"));
  QVERIFY(!w.fakes.processExit.exitStatus);
}

void FaultWizardTest::fileChangedBetweenPreviewAndRun_data() { fileChangedBeforeThePreview_data(); }

void FaultWizardTest::fileChangedBetweenPreviewAndRun() {
  QFETCH(int, change);
  FaultWizard w;
  w.Start();
  const std::string path = w.Copy("a.pst");
  w.AddThroughDialog({path});
  QVERIFY(w.PreviewToRunPage());
  Apply(Change(change), path);
  QVERIFY(w.RunAndWait(Change(change) == Change::kUnreadable));
  // The run ends after the size line with the corrupt-file message, idle.
  const auto report = w.Report();
  QVERIFY(report.size() >= 3);
  QCOMPARE(report[report.size() - 2], path + " is processing.");
  QVERIFY(report.back().rfind("File Size(Bytes):  ", 0) == 0);
  QCOMPARE(w.TakePrompts(), std::vector<std::string>{kCorrupt});
  QVERIFY(w.RunPageIdle());
  // The page is not stuck in a run: closing asks.
  w.CloseBy(w.run, "cross");
  QCOMPARE(w.TakePrompts(), std::vector<std::string>{kCloseQuestion});
}

void FaultWizardTest::aChangedFileInTheProcessListLeavesTheOthersScanned() {
  FaultWizard w;
  w.Start();
  const std::string gone = w.Copy("gone.pst"), dir = w.Copy("dir.pst"), kept = w.Copy("kept.pst");
  w.AddThroughDialog({gone, dir, kept});
  Apply(Change::kRemoved, gone);
  Apply(Change::kDirectory, dir);
  Press(w.window.get(), gui::kProcessId);
  QVERIFY(w.ToRunPage(qobject_cast<SearchOptionDlg*>(w.window->SearchOptionPage())));
  QVERIFY(w.RunAndWait());
  const auto report = w.Report();
  const auto at = [&](const std::string& line) {
    return std::find(report.begin(), report.end(), line) - report.begin();
  };
  // Each bad file stops after its size line; the good one is scanned whole.
  QCOMPARE(report[size_t(at(gone + " is processing.") + 2)], dir + " is processing.");
  QCOMPARE(report[size_t(at(dir + " is processing.") + 2)], kept + " is processing.");
  QVERIFY(report[size_t(at(kept + " is processing.") + 2)].rfind("Total number of folders found", 0) == 0);
  QCOMPARE(report.back(), std::string(kCompleted));
  QCOMPARE(w.TakePrompts(), (std::vector<std::string>{kCorrupt, kCorrupt, kCompleted}));
  QVERIFY(w.RunPageIdle());
}

void FaultWizardTest::stopAtEveryLineOfARun() {
  FaultWizard w;
  w.Start();
  w.AddThroughDialog({w.Copy("a.pst")});
  QVERIFY(w.PreviewToRunPage());
  QVERIFY(w.RunAndWait());
  const auto full = w.Report();
  QVERIFY(full.size() > 10);

  for (size_t k = 1; k <= full.size(); ++k) {
    const std::string where = "stopped after line " + std::to_string(k) + ": " + full[k - 1];
    // A fresh run page below the same criteria page for each stop.
    auto* criteria = qobject_cast<gui::FilterDlg*>(w.run->parentWidget());
    QVERIFY2(criteria, where.c_str());
    Press(w.run, gui::kRunBackId);
    Press(criteria, 1016);
    w.run = criteria->NextPage();
    QVERIFY2(w.run, where.c_str());
    auto* list = Control<QTableWidget>(w.run, gui::kReportListId);
    // Row 0 is the hint; the run's line k is row k.
    QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, w.run, [&, k] {
      if (size_t(list->rowCount()) == k + 1) {
        w.fakes.prompter.answers.push_back(PromptAnswer::Yes);
        w.run->OnStop();
      }
    });
    QVERIFY2(w.RunAndWait(), where.c_str());
    const auto report = w.Report();
    QVERIFY2(report.size() >= k, where.c_str());
    QVERIFY2(std::equal(report.begin(), report.begin() + long(k), full.begin()), where.c_str());
    for (size_t i = k; i < report.size(); ++i)
      QVERIFY2(report[i].find(" folder is processing....") == std::string::npos, (where + " / " + report[i]).c_str());
    QVERIFY2(report.back() == kCompleted, where.c_str());
    const auto prompts = w.TakePrompts();
    QVERIFY2(prompts.size() == 2 && prompts[0] == gui::kStopQuestionText && prompts[1] == kCompleted,
             where.c_str());
    QVERIFY2(w.RunPageIdle(), where.c_str());
  }
}

void FaultWizardTest::closeIsRefusedDuringARunAndAskedAfterIt_data() {
  unwritableDesktopTheProgramGoesOnAndCloseShowsThePath_data();
}

void FaultWizardTest::closeIsRefusedDuringARunAndAskedAfterIt() {
  QFETCH(QString, closeBy);
  FaultWizard w;
  w.Start();
  w.AddThroughDialog({w.Copy("a.pst")});
  QVERIFY(w.PreviewToRunPage());
  std::vector<std::string> duringRun;
  bool tried = false;
  auto* list = Control<QTableWidget>(w.run, gui::kReportListId);
  QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, w.run, [&] {
    if (tried) return;
    tried = true;
    w.CloseBy(w.run, closeBy);
    duringRun = w.TakePrompts();
  });
  QVERIFY(w.RunAndWait());
  QVERIFY(tried);
  QCOMPARE(duringRun, std::vector<std::string>{gui::kStopBeforeClosingText});
  QVERIFY(w.run->isVisible());
  QCOMPARE(w.Report().back(), std::string(kCompleted));
  QVERIFY(!w.fakes.processExit.exitStatus);

  w.TakePrompts();
  w.fakes.prompter.answers.push_back(PromptAnswer::Yes);
  w.CloseBy(w.run, closeBy);
  QCOMPARE(w.TakePrompts(),
           (std::vector<std::string>{kCloseQuestion, "Log file path: \n" + w.settings.m_logFilePath}));
  const std::vector<std::string> opened =
      closeBy == "cross" ? std::vector<std::string>{kProductAddress} : std::vector<std::string>();
  QCOMPARE(w.fakes.urlOpener.opened, opened);
  QCOMPARE(w.fakes.processExit.exitStatus, std::optional<int>(-1));
}

QTEST_MAIN(FaultWizardTest)
#include "fault_wizard_test.moc"
