// The run page over a store in memory: the report in the list and the log in
// the same words, a second run below the first, Stop with its question, the
// close refusals while a run is active, and the failures of a run.
#include <QProgressBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/run_log.h"
#include "detect/gui/processdlg.h"
#include "tests/gui/wizard_fixture.h"

using namespace quillmere;
using gui::Processdlg;
using platform::PromptAnswer;
using testing::WizardFixture;

namespace {

constexpr const char* kFile = "/mem/mail.pst";
const std::string kTop = "\\\\Personal Folders\\Top of Personal Folders";

store::ItemDescription Item(const std::string& subject, int32_t copies = 1) {
  store::ItemDescription item;
  item.subject = subject;
  item.senderEmail = "ann@example.com";
  item.sizeHint = 100;
  item.copies = copies;
  return item;
}

struct RunPage : WizardFixture {
  // Inbox: three items, two of them equal; Big: `bigCopies` equal items.
  explicit RunPage(int32_t bigCopies = 3) {
    store::MailboxDescription box;
    box.folders.push_back({"Inbox", "IPF.Note", {Item("a"), Item("b"), Item("a")}, {}});
    box.folders.push_back({"Big", "IPF.Note", {Item("big", bigCopies)}, {}});
    sessions.AddFile(kFile, box);

    settings.m_previewMode = true;
    settings.m_currentFile = kFile;
    settings.m_currentFileSize = "4096";
    settings.m_selectedFolders = {kTop + "\\Big", kTop + "\\Gone", kTop + "\\Inbox"};
    settings.m_scope = 1;
    settings.m_criteria.subject = 1;
    settings.m_criteria.senderEmail = 1;
    auto log = std::make_shared<RunLog>();
    log->Create((logDir.path() + "/run.txt").toStdString());
    settings.m_logFile = log;

    page = new Processdlg(context, opener.get(), sessions);
    opener->ShowNextPage(page);
  }
  QTableWidget* Report() { return Control<QTableWidget>(page, gui::kReportListId); }
  QProgressBar* Progress() { return Control<QProgressBar>(page, gui::kRunProgressId); }
  bool RunAndWait() {
    QSignalSpy ended(page, &Processdlg::RunEnded);
    Click(page, gui::kRunTaskId);
    return ended.wait(30000) && !page->HasActiveWorker();
  }
  // The idle look: Stop and the progress bar hidden, Run Task, Back and Close usable.
  bool LooksIdle() {
    return Control(page, gui::kRunStopId)->isHidden() && Progress()->isHidden() && Enabled(page, gui::kRunTaskId) &&
           Enabled(page, gui::kRunBackId) && Enabled(page, gui::kCloseButtonId) && page->Running() == 0;
  }
  std::vector<std::string> LogLinesAfterHeader() {
    auto lines = testing::ReadLogLines(settings.m_logFile->Path());
    lines.erase(lines.begin(), lines.begin() + std::min<size_t>(2, lines.size()));
    return lines;
  }

  QTemporaryDir logDir;
  Processdlg* page = nullptr;
};

std::vector<std::string> ExpectedReport(int bigCopies) {
  const std::string big = std::to_string(bigCopies - 1), bigSize = std::to_string((bigCopies - 1) * 100 / 1024) + " kb";
  return {"Duplicate Removing process starts:   Mar-06-2024_02-05-09-PM)",
          "/mem/mail.pst is processing.",
          "File Size(Bytes):  4096",
          "Total number of folders found in source pst file: 3",
          kTop + "\\Big folder is processing....",
          "Total number of emails in folder: " + std::to_string(bigCopies),
          "Number of duplicate items found: " + big,
          "Size of duplicate items found in Folder: " + bigSize,
          kTop + "\\Gone folder is processing....",
          kTop + "\\Inbox folder is processing....",
          "Total number of emails in folder: 3",
          "Number of duplicate items found: 1",
          "Size of duplicate items found in Folder: 100 (bytes)",
          "Total number of duplicate items found in PST:\t" + std::to_string(bigCopies),
          "Total size of duplicate items found in PST:\t" + std::to_string(bigCopies * 100 / 1024) + " kb",
          "Quillmere process completed successfully."};
}

}  // namespace

class ProcessPageTest : public QObject {
  Q_OBJECT
 private slots:
  void opensIdleWithTheHintRow();
  void reportGoesToTheListAndTheLogAndASecondRunAppends();
  void stopAsksAndYesEndsTheRunWithTheTotalsSoFar_data();
  void stopAsksAndYesEndsTheRunWithTheTotalsSoFar();
  void refusesToCloseOrGoBackWhileRunning();
  void failedRunsEndIdle_data();
  void failedRunsEndIdle();
};

void ProcessPageTest::opensIdleWithTheHintRow() {
  RunPage f;
  QCOMPARE(f.Report()->columnCount(), 1);
  QCOMPARE(f.Report()->horizontalHeaderItem(0)->text(), QString("Process"));
  QCOMPARE(f.page->ReportLines(), std::vector<std::string>{"Click Run Task button to start the process"});
  QVERIFY(f.LooksIdle());
  QCOMPARE(f.page->windowTitle(), QString("Velmora Quillmere-x64 v19.0"));
}

void ProcessPageTest::reportGoesToTheListAndTheLogAndASecondRunAppends() {
  RunPage f(40);
  QVERIFY(f.RunAndWait());
  std::vector<std::string> expected{"Click Run Task button to start the process"};
  const auto run = ExpectedReport(40);
  expected.insert(expected.end(), run.begin(), run.end());
  QCOMPARE(f.page->ReportLines(), expected);
  QCOMPARE(f.LogLinesAfterHeader(), run);
  QCOMPARE(f.TakePrompts(), std::vector<std::string>{"Quillmere process completed successfully."});
  QVERIFY(f.LooksIdle());

  // The second run's report goes below the first; its totals are its own.
  QVERIFY(f.RunAndWait());
  expected.insert(expected.end(), run.begin(), run.end());
  QCOMPARE(f.page->ReportLines(), expected);
  auto twice = run;
  twice.insert(twice.end(), run.begin(), run.end());
  QCOMPARE(f.LogLinesAfterHeader(), twice);
  QVERIFY(f.LooksIdle());
}

void ProcessPageTest::stopAsksAndYesEndsTheRunWithTheTotalsSoFar_data() {
  QTest::addColumn<bool>("yes");
  QTest::newRow("Yes stops") << true;
  QTest::newRow("No goes on") << false;
}

void ProcessPageTest::stopAsksAndYesEndsTheRunWithTheTotalsSoFar() {
  QFETCH(bool, yes);
  constexpr int kCopies = 20000;
  RunPage f(kCopies);
  f.fakes.prompter.answers.push_back(yes ? PromptAnswer::Yes : PromptAnswer::No);
  // Half way through the big folder, the user presses Stop.
  bool pressed = false;
  QObject::connect(f.Progress(), &QProgressBar::valueChanged, f.page, [&](int value) {
    if (!pressed && value >= kCopies / 2) {
      pressed = true;
      WizardFixture::Click(f.page, gui::kRunStopId);
    }
  });
  QVERIFY(f.RunAndWait());
  QVERIFY(pressed);

  const auto asked = f.fakes.prompter.Asked();
  QCOMPARE(asked.size(), size_t(2));
  QCOMPARE(asked[0].text, std::string("Do you want to stop the running process."));
  QVERIFY(asked[0].icon == platform::PromptIcon::Information);
  QVERIFY(asked[0].buttons == platform::PromptButtons::YesNo);
  QCOMPARE(asked[1].text, std::string("Quillmere process completed successfully."));

  auto lines = f.page->ReportLines();
  lines.erase(lines.begin());
  if (!yes) {
    QCOMPARE(lines, ExpectedReport(kCopies));
    return;
  }
  // The big folder's summary and the totals cover what was examined; the
  // folders after it get no line.
  QCOMPARE(lines.size(), size_t(11));
  QCOMPARE(lines[4], kTop + "\\Big folder is processing....");
  QCOMPARE(lines[5], "Total number of emails in folder: " + std::to_string(kCopies));
  const std::string prefix = "Number of duplicate items found: ";
  QVERIFY(lines[6].rfind(prefix, 0) == 0);
  const int found = std::stoi(lines[6].substr(prefix.size()));
  QVERIFY2(found >= kCopies / 2 - 1 && found < kCopies - 1, lines[6].c_str());
  QVERIFY(lines[7].rfind("Size of duplicate items found in Folder: ", 0) == 0);
  QCOMPARE(lines[8], "Total number of duplicate items found in PST:\t" + std::to_string(found));
  QCOMPARE(lines[9], "Total size of duplicate items found in PST:\t" + std::to_string(found * 100 / 1024) + " kb");
  QCOMPARE(lines[10], std::string("Quillmere process completed successfully."));
  QVERIFY(f.LooksIdle());
}

void ProcessPageTest::refusesToCloseOrGoBackWhileRunning() {
  RunPage f;
  struct Seen {
    bool stopVisible, runTaskEnabled, backEnabled, closeEnabled, pageStillShown;
    int running;
  };
  std::optional<Seen> seen;
  std::vector<std::string> promptsWhileRunning;
  // While the first folder's line is being added, the user tries every way out.
  QObject::connect(f.Report()->model(), &QAbstractItemModel::rowsInserted, f.page, [&] {
    if (seen) return;
    auto* page = f.page;
    seen = Seen{!WizardFixture::Control(page, gui::kRunStopId)->isHidden(), WizardFixture::Enabled(page, gui::kRunTaskId),
                WizardFixture::Enabled(page, gui::kRunBackId), WizardFixture::Enabled(page, gui::kCloseButtonId), false,
                page->Running()};
    WizardFixture::Click(page, gui::kCrossButtonId);
    page->reject();  // the window system's close request
    page->OnBack();
    seen->pageStillShown = page->isVisible();
    promptsWhileRunning = f.TakePrompts();
  });
  QVERIFY(f.RunAndWait());
  QVERIFY(seen);
  QVERIFY(seen->stopVisible && !seen->runTaskEnabled && !seen->backEnabled && !seen->closeEnabled);
  QCOMPARE(seen->running, 1);
  QVERIFY(seen->pageStillShown);
  const std::string refusal = "Please stop the running process before closing the application";
  QCOMPARE(promptsWhileRunning, (std::vector<std::string>{refusal, refusal}));
  QVERIFY(!f.fakes.processExit.exitStatus);

  // Once the run has ended, the cross asks whether to close (No here).
  f.TakePrompts();
  WizardFixture::Click(f.page, gui::kCrossButtonId);
  QCOMPARE(f.TakePrompts(), std::vector<std::string>{"Do you want to close the application?"});
  WizardFixture::Click(f.page, gui::kRunBackId);
  QVERIFY(!f.page->isVisible() && f.opener->isVisible());
}

void ProcessPageTest::failedRunsEndIdle_data() {
  QTest::addColumn<QString>("fault");  // an operation planned to fail, "version" or "file"
  QTest::addColumn<QStringList>("lastLines");
  QTest::addColumn<QString>("message");
  const QString noSession = "Please register redemption.dll to continue the saving process.";
  const QString noReader =
      "Please install MS Outlook(2000,2003,2007,2010 or higher version) and configured it properly on your "
      "system to run application.";
  const QString corrupt = "PST file is corrupt, repair it to process Quillmere application.";
  QTest::newRow("no store session") << "CreateStoreSession" << QStringList{noSession} << noSession;
  QTest::newRow("no reader") << "version" << QStringList{noReader} << noReader;
  QTest::newRow("the file does not open") << "file" << QStringList{"/mem/other.pst is processing.", "File Size(Bytes):  4096"}
                                          << corrupt;
}

void ProcessPageTest::failedRunsEndIdle() {
  QFETCH(QString, fault);
  QFETCH(QStringList, lastLines);
  QFETCH(QString, message);
  RunPage f;
  if (fault == "version")
    f.sessions.SetMailClientVersion("");
  else if (fault == "file")
    f.settings.m_currentFile = "/mem/other.pst";
  else
    f.sessions.Faults().Fail(fault.toStdString(), store::FaultPlan::Mode::kAlways);
  QVERIFY(f.RunAndWait());
  auto lines = f.page->ReportLines();
  QVERIFY(lines.size() >= size_t(lastLines.size()) + 1);
  QStringList tail;
  for (size_t i = lines.size() - size_t(lastLines.size()); i < lines.size(); ++i)
    tail << QString::fromStdString(lines[i]);
  QCOMPARE(tail, lastLines);
  QCOMPARE(f.TakePrompts(), std::vector<std::string>{message.toStdString()});
  QVERIFY(f.LooksIdle());
}

QTEST_MAIN(ProcessPageTest)
#include "process_page_test.moc"
