// The whole wizard through the real pages over real files: the main window,
// the preview page (Preview route) or straight to the scope page (Process
// route), the criteria page and the run page. The report must read line for
// line as quillmere-cli scan prints it for the same choices, and the run log
// must hold the same lines.
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>

#include "detect/gui/processdlg.h"
#include "options/gui/filter_dlg.h"
#include "options/gui/search_option_dlg.h"
#include "preview/gui/preview_dlg.h"
#include "pst/messaging/pst_writer.h"
#include "store/libpff/libpff_store.h"
#include "tests/gui/main_window_fixture.h"

using namespace quillmere;
using gui::FilterDlg;
using gui::Processdlg;
using gui::SearchOptionDlg;
using platform::PromptAnswer;

namespace {

const std::string kSamples = QM_SAMPLES_DIR;
const std::string kEnron = kSamples + "/enron.pst";
const std::string kOutlook = kSamples + "/outlook.pst";
const std::string kStartPrefix = "Duplicate Removing process starts:   ";

template <typename T = QWidget>
T* Control(QWidget* page, int id) {
  auto* control = page->findChild<T*>(QString::number(id), Qt::FindDirectChildrenOnly);
  if (!control) qFatal("no control %d of type %s on the page", id, T::staticMetaObject.className());
  return control;
}
void Press(QWidget* page, int id) { Control<QAbstractButton>(page, id)->click(); }

// What quillmere-cli scan prints on its standard output, line by line.
std::vector<std::string> CliScan(const QStringList& args) {
  QProcess cli;
  cli.start(QM_CLI, QStringList{"scan"} + args);
  if (!cli.waitForFinished(120000)) qFatal("quillmere-cli scan did not finish");
  std::vector<std::string> lines;
  for (const QByteArray& line : cli.readAllStandardOutput().split('\n'))
    if (!line.isEmpty()) lines.push_back(line.toStdString());
  return lines;
}

// The start line carries the clock's time; the fake clock's and the
// program's differ, so only the words before it are compared.
std::vector<std::string> WithoutStartTime(std::vector<std::string> lines) {
  for (auto& line : lines)
    if (line.rfind(kStartPrefix, 0) == 0) line = kStartPrefix + "<time>";
  return lines;
}

struct Wizard : testing::MainWindowFixture {
  Wizard() {
    context.makePreviewPage = preview::PreviewPageMaker(context, sessions);
    context.makeSearchOptionPage = gui::SearchOptionPageMaker(sessions);
    window->show();
  }

  void AddFiles(std::vector<std::string> paths) { AddThroughDialog(std::move(paths)); }

  // Preview of the first row, every folder left ticked, then Next.
  SearchOptionDlg* PreviewAndNext() {
    SelectRows({0});
    Press(window.get(), gui::kPreviewId);
    auto* preview = qobject_cast<preview::PreviewDlg*>(window->PreviewPage());
    if (!preview) return nullptr;
    preview->WaitForWorker();
    Press(preview, preview::kNextId);
    return qobject_cast<SearchOptionDlg*>(preview->NextPage());
  }
  SearchOptionDlg* Process() {
    Press(window.get(), gui::kProcessId);
    return qobject_cast<SearchOptionDlg*>(window->SearchOptionPage());
  }
  // Next on the scope page, then Next on the criteria page with a folder for
  // new PST files.
  Processdlg* NextNext(SearchOptionDlg* scope) {
    if (!scope) return nullptr;
    Press(scope, gui::kNextId);
    FilterDlg* criteria = scope->NextPage();
    if (!criteria) return nullptr;
    if (onCriteriaPage) onCriteriaPage(criteria);
    Control<QLineEdit>(criteria, gui::kDestinationId)->setText(destination.path());
    Press(criteria, 1016);
    run = criteria->NextPage();
    return run;
  }
  bool RunAndWait() {
    fakes.prompter.Clear();
    QSignalSpy ended(run, &Processdlg::RunEnded);
    Press(run, gui::kRunTaskId);
    return ended.wait(120000) && !run->HasActiveWorker();
  }
  // The boxes shown since Run Task.
  std::vector<std::string> RunPrompts() { return fakes.prompter.Texts(); }
  // The run's lines, below the hint row.
  std::vector<std::string> Report() {
    auto lines = run->ReportLines();
    lines.erase(lines.begin());
    return lines;
  }
  // The run log from the run's start line on.
  std::vector<std::string> LogFromRunStart() {
    std::vector<std::string> lines;
    for (const QString& line : LogLines()) lines.push_back(line.toStdString());
    auto start = std::find_if(lines.begin(), lines.end(),
                              [](const std::string& l) { return l.rfind(kStartPrefix, 0) == 0; });
    return {start, lines.end()};
  }

  store::LibpffSessionFactory sessions;
  std::function<void(FilterDlg*)> onCriteriaPage;  // the user's clicks there
  QTemporaryDir destination;
  QPointer<Processdlg> run;
};

// A made file with two folders of equal messages, enough of them that the
// run can be stopped half way through the first.
void WriteStopFile(const std::string& path, int perFolder) {
  pst::PstWriter writer(path, {});
  const pst::FolderId first = writer.AddFolder(writer.TopOfPersonalFolders(), "Bulk");
  const pst::FolderId second = writer.AddFolder(writer.TopOfPersonalFolders(), "After");
  pst::Message m;
  m.subject = "weekly figures";
  m.senderEmail = "ann@example.com";
  m.senderName = "Ann";
  m.body = "the same text in every copy";
  m.submitTimeUtc = 1709733909;
  m.sizeHint = 2000;
  for (int i = 0; i < perFolder; ++i) {
    writer.AddMessage(first, m);
    writer.AddMessage(second, m);
  }
  writer.Finish();
}

}  // namespace

class WizardEndToEndTest : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    if (!std::filesystem::exists(kEnron) || !std::filesystem::exists(kOutlook)) QSKIP("the sample files are missing");
  }
  void previewRouteReportsAsTheCommandLineDoes_data();
  void previewRouteReportsAsTheCommandLineDoes();
  void processRouteReportsEveryListedFile();
  void stopOnAMadeFileEndsWithTheTotalsSoFar();
};

void WizardEndToEndTest::previewRouteReportsAsTheCommandLineDoes_data() {
  QTest::addColumn<bool>("acrossFile");
  QTest::addColumn<QList<int>>("toggled");  // criteria check boxes clicked
  QTest::addColumn<QDate>("from");          // a manual range, when valid
  QTest::addColumn<QDate>("to");
  QTest::addColumn<QStringList>("cliOptions");
  const int subject = gui::kFirstCriterionId + 1;
  const int sentTime = gui::kFirstCriterionId + 6, attachments = gui::kFirstCriterionId + 7;
  QTest::newRow("every choice as the pages open") << false << QList<int>{} << QDate() << QDate() << QStringList{};
  QTest::newRow("sender e-mail and date of sending")
      << false << QList<int>{subject, attachments, sentTime} << QDate() << QDate()
      << QStringList{"--criteria", "sender-email,sent-time"};
  QTest::newRow("across the file, sender e-mail, October to December 2001")
      << true << QList<int>{subject, attachments} << QDate(2001, 10, 1) << QDate(2001, 12, 31)
      << QStringList{"--scope", "file", "--criteria", "sender-email", "--range", "2001-10-01..2001-12-31"};
}

void WizardEndToEndTest::previewRouteReportsAsTheCommandLineDoes() {
  QFETCH(bool, acrossFile);
  QFETCH(QList<int>, toggled);
  QFETCH(QDate, from);
  QFETCH(QDate, to);
  QFETCH(QStringList, cliOptions);
  Wizard w;
  w.AddFiles({kEnron});
  SearchOptionDlg* scope = w.PreviewAndNext();
  QVERIFY(scope);
  if (acrossFile) Press(scope, gui::kAcrossFileId);
  if (from.isValid()) {
    Press(scope, gui::kManualPeriodId);
    Control<QDateTimeEdit>(scope, gui::kStartDateId)->setDate(from);
    Control<QDateTimeEdit>(scope, gui::kEndDateId)->setDate(to);
    Press(scope, gui::kAddRangeId);
  }
  w.onCriteriaPage = [&](FilterDlg* criteria) {
    for (int id : toggled) Press(criteria, id);
  };
  QVERIFY(w.NextNext(scope));
  QVERIFY(w.run->isVisible());
  // Every folder of the tree, ticked: all but the nameless root.
  QCOMPARE(w.settings.m_selectedFolders.size(), size_t(11));
  QVERIFY(w.RunAndWait());

  const auto report = w.Report();
  QStringList args = cliOptions;
  for (const auto& folder : w.settings.m_selectedFolders) args << "--folder" << QString::fromStdString(folder);
  const auto cli = CliScan(args << QString::fromStdString(kEnron));
  QVERIFY(cli.size() > 20);
  QCOMPARE(WithoutStartTime(report), WithoutStartTime(cli));
  QCOMPARE(report.front(), kStartPrefix + "Mar-06-2024_02-05-09-PM)");
  // The log: the preview's statistics, then the run's lines in the same words.
  QCOMPARE(w.LogFromRunStart(), report);
  const QStringList log = w.LogLines();
  const qsizetype start = log.indexOf(QString::fromStdString(report.front()));
  QVERIFY(start >= 4);
  QCOMPARE(log.mid(start - 4, 4), (QStringList{"PST file size: 13984768", "PST file type: UNICODE",
                                               "Total number of emails in selected pst file: 71",
                                               "Total number of folders in selected pst file: 11"}));
  QCOMPARE(w.RunPrompts(), std::vector<std::string>{"Quillmere process completed successfully."});
}

void WizardEndToEndTest::processRouteReportsEveryListedFile() {
  Wizard w;
  w.AddFiles({kEnron, kOutlook});
  // A file previewed earlier must not stand in for the list.
  w.settings.m_currentFile = kOutlook;
  w.settings.m_selectedFolders = {"\\\\Nowhere"};
  QVERIFY(w.NextNext(w.Process()));
  QVERIFY(w.RunAndWait());

  const auto report = w.Report();
  QCOMPARE(WithoutStartTime(report),
           WithoutStartTime(CliScan({QString::fromStdString(kEnron), QString::fromStdString(kOutlook)})));
  for (const auto& file : {kEnron, kOutlook})
    QCOMPARE(std::count(report.begin(), report.end(), file + " is processing."), 1);
  // Each file has its own totals; the closing line comes once, at the end.
  QCOMPARE(std::count_if(report.begin(), report.end(),
                         [](const std::string& l) { return l.rfind("Total number of duplicate items found in PST:", 0) == 0; }),
           2);
  QCOMPARE(std::count(report.begin(), report.end(), std::string("Quillmere process completed successfully.")), 1);
  QCOMPARE(report.back(), std::string("Quillmere process completed successfully."));
  QCOMPARE(w.LogFromRunStart(), report);
}

void WizardEndToEndTest::stopOnAMadeFileEndsWithTheTotalsSoFar() {
  constexpr int kPerFolder = 400, kStopAt = 150;
  QTemporaryDir dir;
  const std::string file = (dir.path() + "/bulk.pst").toStdString();
  WriteStopFile(file, kPerFolder);

  Wizard w;
  w.AddFiles({file});
  QVERIFY(w.NextNext(w.Process()));
  w.fakes.prompter.answers.push_back(PromptAnswer::Yes);
  // The user presses Stop once the bar has reached the 150th item of the
  // first folder and says Yes; the run ends before the next item.
  bool pressed = false;
  auto* progress = Control<QProgressBar>(w.run, gui::kRunProgressId);
  QObject::connect(progress, &QProgressBar::valueChanged, w.run, [&](int value) {
    if (!pressed && value == kStopAt) {
      pressed = true;
      Press(w.run, gui::kRunStopId);
    }
  });
  QVERIFY(w.RunAndWait());
  QVERIFY(pressed);

  const auto report = w.Report();
  const std::string top = "\\\\Personal Folders\\Top of Personal Folders";
  const auto bulk = std::find(report.begin(), report.end(), top + "\\Bulk folder is processing....");
  QVERIFY(bulk != report.end());
  const std::vector<std::string> tail(bulk, report.end());
  const std::string duplicates = std::to_string(kStopAt - 1);
  const std::string size = std::to_string((kStopAt - 1) * 2000 / 1024) + " kb";
  QCOMPARE(tail, (std::vector<std::string>{top + "\\Bulk folder is processing....",
                                           "Total number of emails in folder: " + std::to_string(kPerFolder),
                                           "Number of duplicate items found: " + duplicates,
                                           "Size of duplicate items found in Folder: " + size,
                                           "Total number of duplicate items found in PST:\t" + duplicates,
                                           "Total size of duplicate items found in PST:\t" + size,
                                           "Quillmere process completed successfully."}));
  QCOMPARE(w.RunPrompts(), (std::vector<std::string>{"Do you want to stop the running process.",
                                                          "Quillmere process completed successfully."}));
  QCOMPARE(w.LogFromRunStart(), report);
  QVERIFY(Control(w.run, gui::kRunStopId)->isHidden() && progress->isHidden());
  QVERIFY(Control(w.run, gui::kRunTaskId)->isEnabled() && Control(w.run, gui::kRunBackId)->isEnabled());
}

QTEST_MAIN(WizardEndToEndTest)
#include "wizard_end_to_end_test.moc"
