// The main window driven through its control ids, with the fakes answering
// the dialogs and message boxes.
#include <QSignalSpy>
#include <QTest>

#include "app/gui/main_window.h"
#include "tests/gui/main_window_fixture.h"

using namespace quillmere;
using testing::MainWindowFixture;
using testing::Q;
using platform::PromptAnswer;

namespace {

constexpr const char* kIntegrity = "Please make sure that pst file is not password protected and corrupted.";
constexpr const char* kNotValid = "Selected file is not valid.";
constexpr const char* kOutlookNotice = "Make sure to close all the instance of Microsoft outlook before proceeding.";
constexpr const char* kAddPst = "Please add pst file(s) in list to continue the application.";
constexpr const char* kGuardQuestion =
    "Microsoft Outlook instance is running.Do you want to close the Microsoft Outlook Instance?";

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void startsWithAnEmptyListAndAFreshLog();
  void logCreationFailureIsReportedAndTheWindowStaysUsable();
  void addLoop_data();
  void addLoop();
  void stopInTheMiddleOfAddingKeepsTheRowsAdded();
  void buttonsRefuseWhileAWorkerRuns();
  void searchFindsPstFilesDepthFirst();
  void searchCancelledOrNotAFolderChangesNothing();
  void removeFileRemovesEverySelectedRow();
  void removeRefusals_data();
  void removeRefusals();
  void removeAllEmptiesTheListWithoutAsking();
  void previewAndProcessRefuseAnEmptyList_data();
  void previewAndProcessRefuseAnEmptyList();
  void previewWithoutSelectionOpensNothing();
  void previewOpensThePageForTheFirstSelectedRow();
  void processHandsOverEveryRowInOrder();
  void guardAsksOncePerMailClientProcess();
};

void MainWindowTest::startsWithAnEmptyListAndAFreshLog() {
  MainWindowFixture f;
  QCOMPARE(f.Status(), QString("Select pst file(s) to continue the process...."));
  QCOMPARE(f.List()->rowCount(), 0);
  QCOMPARE(f.List()->horizontalHeaderItem(0)->text(), QString("File Name"));
  QCOMPARE(f.List()->horizontalHeaderItem(1)->text(), QString("File Size(Bytes)"));
  QCOMPARE(f.List()->columnWidth(0), 400);
  QVERIFY(!f.WorkingControlsShown());
  QVERIFY(f.fakes.prompter.Asked().empty());

  // Named after the clock's time, on the desktop, header only: 308 bytes.
  QCOMPARE(Q(f.settings.m_logFilePath),
           Q(f.fakes.desktopFolder.path) + "/VelmoraQuillmere_log_6-3-2024-14-5-9.txt");
  const QByteArray bytes = f.LogBytes();
  QCOMPARE(bytes.size(), 308);
  QCOMPARE(bytes.left(2), QByteArray("\xFF\xFE", 2));
  QVERIFY(f.LogLines().isEmpty());
}

void MainWindowTest::logCreationFailureIsReportedAndTheWindowStaysUsable() {
  testing::ShellFixture f;
  // The desktop is a file, so the log cannot be made in it.
  QFile blocker(f.desktop.filePath("Desktop"));
  QVERIFY(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  gui::CQuillmereDlg window(f.context);
  QCOMPARE(f.fakes.prompter.Texts(), std::vector<std::string>{"Log File Cannot be created"});
  QCOMPARE(f.fakes.prompter.Asked()[0].owner, static_cast<const void*>(&window));
  QVERIFY(!f.settings.m_logFile);
  // The path is still known for the close flow.
  QVERIFY(Q(f.settings.m_logFilePath).endsWith("/Desktop/VelmoraQuillmere_log_6-3-2024-14-5-9.txt"));
}

void MainWindowTest::addLoop_data() {
  // Names are relative to the files folder; "!" marks a name that does not exist.
  QTest::addColumn<QStringList>("listedBefore");
  QTest::addColumn<bool>("confirm");
  QTest::addColumn<QStringList>("chosen");
  QTest::addColumn<QStringList>("rowsAfter");
  QTest::addColumn<QStringList>("noticesOfTheAdd");
  QTest::addColumn<QStringList>("logLinesOfTheAdd");
  QTest::addColumn<QString>("status");

  QTest::newRow("two new files") << QStringList{} << true << QStringList{"a.pst", "b.pst"}
                                 << QStringList{"a.pst", "b.pst"} << QStringList{kIntegrity}
                                 << QStringList{"a.pst", "b.pst", "Total number of files: [2]"}
                                 << "Total number of files: [2]";
  QTest::newRow("existing, missing and already listed")
      << QStringList{"a.pst"} << true << QStringList{"a.pst", "!gone.pst", "b.pst"}
      << QStringList{"a.pst", "b.pst"} << QStringList{kIntegrity, kNotValid}
      << QStringList{"b.pst", "Total number of files: [2]"} << "Total number of files: [2]";
  QTest::newRow("a doubled separator is repaired before the duplicate test")
      << QStringList{"a.pst"} << true << QStringList{"/a.pst", "sub//c.pst"}
      << QStringList{"a.pst", "sub/c.pst"} << QStringList{kIntegrity}
      << QStringList{"sub/c.pst", "Total number of files: [2]"} << "Total number of files: [2]";
  QTest::newRow("another letter case is another file")
      << QStringList{"a.pst"} << true << QStringList{"A.pst"} << QStringList{"a.pst", "A.pst"}
      << QStringList{kIntegrity} << QStringList{"A.pst", "Total number of files: [2]"}
      << "Total number of files: [2]";
  QTest::newRow("only missing names") << QStringList{} << true << QStringList{"!x.pst", "!y.pst"}
                                      << QStringList{} << QStringList{kIntegrity, kNotValid, kNotValid}
                                      << QStringList{} << "";
  QTest::newRow("cancel with no rows") << QStringList{} << false << QStringList{} << QStringList{}
                                       << QStringList{kIntegrity} << QStringList{} << "";
  QTest::newRow("cancel with rows") << QStringList{"a.pst"} << false << QStringList{} << QStringList{"a.pst"}
                                    << QStringList{kIntegrity} << QStringList{"Total number of files: [1]"}
                                    << "Total number of files: [1]";
}

void MainWindowTest::addLoop() {
  QFETCH(QStringList, listedBefore);
  QFETCH(bool, confirm);
  QFETCH(QStringList, chosen);
  QFETCH(QStringList, rowsAfter);
  QFETCH(QStringList, noticesOfTheAdd);
  QFETCH(QStringList, logLinesOfTheAdd);
  QFETCH(QString, status);
  MainWindowFixture f;
  const QString root = f.files.path() + "/";
  auto full = [&](QString name) { return name.startsWith("!") ? root + name.mid(1) : root + name; };
  for (const char* name : {"a.pst", "b.pst", "A.pst", "sub/c.pst"}) f.MakeFile(name, 1234);

  if (!listedBefore.isEmpty()) {
    std::vector<std::string> names;
    for (const auto& n : listedBefore) names.push_back(full(n).toStdString());
    f.AddThroughDialog(names);
  }
  const int logBefore = f.LogLines().size();
  f.fakes.prompter.Clear();

  if (confirm) {
    std::vector<std::string> names;
    for (const auto& n : chosen) names.push_back(full(n).toStdString());
    f.AddThroughDialog(names);
  } else {
    f.Click(1000);  // the fake dialog cancels
    f.WaitForWorker();
  }

  QStringList expectedRows;
  for (const auto& r : rowsAfter) expectedRows << root + r;
  QCOMPARE(f.Rows(), expectedRows);
  for (const auto& size : f.Rows(1)) QCOMPARE(size, QString("1234"));
  QCOMPARE(f.Prompts(), noticesOfTheAdd);
  QStringList expectedLog;
  for (const auto& l : logLinesOfTheAdd) expectedLog << (l.startsWith("Total") ? l : root + l);
  QCOMPARE(f.LogLines().mid(logBefore), expectedLog);
  QCOMPARE(f.Status(), status);
  QVERIFY(!f.WorkingControlsShown());
  QCOMPARE(f.window->Running(), 0);
  // The dialog offers PST files, several at once, with no owner window.
  const auto& request = f.fakes.fileDialogs.openRequests.back();
  QCOMPARE(Q(request.pattern), QString("*.pst"));
  QCOMPARE(request.owner, nullptr);
}

void MainWindowTest::stopInTheMiddleOfAddingKeepsTheRowsAdded() {
  MainWindowFixture f;
  const auto a = f.MakeFile("a.pst"), b = f.MakeFile("b.pst");
  bool workingWhileAsked = false;
  // While the notice about the missing name is up, the user presses Stop and answers Yes.
  f.fakes.prompter.responder = [&](const platform::Prompt& p) -> std::optional<PromptAnswer> {
    if (p.text == kNotValid) {
      workingWhileAsked = f.WorkingControlsShown() && f.window->Running() == 1;
      f.Click(1006);
    }
    if (p.text == "Do you want to stop the running process.") {
      if (p.icon != platform::PromptIcon::Information || p.buttons != platform::PromptButtons::YesNo)
        return PromptAnswer::No;
      return PromptAnswer::Yes;
    }
    return std::nullopt;
  };
  f.AddThroughDialog({a, f.Missing("gone.pst"), b});

  QVERIFY(workingWhileAsked);
  QCOMPARE(f.Rows(), QStringList{Q(a)});
  QCOMPARE(f.Prompts(), (QStringList{kIntegrity, kNotValid, "Do you want to stop the running process."}));
  QCOMPARE(f.LogLines(), (QStringList{Q(a), "Total number of files: [1]"}));
  QCOMPARE(f.Status(), QString("Total number of files: [1]"));
  QVERIFY(!f.WorkingControlsShown());
}

void MainWindowTest::buttonsRefuseWhileAWorkerRuns() {
  MainWindowFixture f;
  const auto a = f.MakeFile("a.pst");
  const struct {
    int id;
    const char* notice;
  } refusing[] = {{1000, "Please stop the running process to add file(s) in the list."},
                  {1001, "Please stop the running process to search pst files"},
                  {1002, "Please stop the running process to remove file(s) from the list."},
                  {1003, "Please stop the running process to remove file(s) from the list."},
                  {1051, "Please stop the running process to remove file(s) from the list."}};
  QStringList seen;
  bool previewAccepted = false;
  f.fakes.prompter.responder = [&](const platform::Prompt& p) -> std::optional<PromptAnswer> {
    if (p.text != kNotValid) return std::nullopt;
    f.fakes.prompter.responder = nullptr;
    for (const auto& r : refusing) {
      f.fakes.prompter.Clear();
      f.Click(r.id);
      seen << f.Prompts().join("|");
    }
    // Preview does not look at the running flag: it goes on to its page.
    f.SelectRows({0});
    f.Click(1008);
    previewAccepted = f.window->PreviewPage() != nullptr;
    return PromptAnswer::Ok;
  };
  f.AddThroughDialog({a, f.Missing("gone.pst")});

  QStringList expected;
  for (const auto& r : refusing) expected << r.notice;
  QCOMPARE(seen, expected);
  QVERIFY(previewAccepted);
  QCOMPARE(f.Rows(), QStringList{Q(a)});
  QVERIFY(f.fakes.fileDialogs.folderRequests.empty());
}

void MainWindowTest::searchFindsPstFilesDepthFirst() {
  MainWindowFixture f;
  QTemporaryDir outside;
  const QString root = f.files.path();
  for (const char* name : {"A.PST", "b.pst", ".pst", "c.pst.bak", "pst", ".hidden/d.pst", "sub/deeper/e.Pst",
                           "sub/notes.txt"})
    f.MakeFile(name, 77);
  std::ofstream((outside.path() + "/elsewhere.pst").toStdString()) << "x";
  // A link back to the top (a loop) and a link to a folder outside: neither is followed.
  QVERIFY(QFile::link(root, root + "/sub/loop"));
  QVERIFY(QFile::link(outside.path(), root + "/outside"));
  f.MakeFile("listed.pst");
  f.AddThroughDialog({f.Missing("listed.pst")});
  const int logBefore = f.LogLines().size();

  // The browser's answer comes with white space around it.
  f.fakes.fileDialogs.folderAnswers.push_back("  " + root.toStdString() + " \t");
  f.Click(1001);
  f.WaitForWorker();

  const QStringList found{root + "/A.PST", root + "/b.pst", root + "/.pst", root + "/.hidden/d.pst",
                          root + "/sub/deeper/e.Pst"};
  QStringList rows = f.Rows();
  QCOMPARE(rows.takeFirst(), root + "/listed.pst");
  QCOMPARE(QSet<QString>(rows.begin(), rows.end()), QSet<QString>(found.begin(), found.end()));
  QCOMPARE(rows.size(), found.size());
  for (const auto& size : f.Rows(1)) QVERIFY(size == "77" || size == "10");
  // Each new row is logged as it is added, in the list's order; then the total.
  QCOMPARE(f.LogLines().mid(logBefore), rows + QStringList{"Total number of files: [6]"});
  QCOMPARE(f.Status(), QString("Total number of files: [6]"));
  QVERIFY(!f.WorkingControlsShown());
  const auto& request = f.fakes.fileDialogs.folderRequests.back();
  QCOMPARE(Q(request.title), QString("Select folder to search file(s)"));
  QCOMPARE(request.owner, static_cast<const void*>(f.window.get()));

  // Searching again finds only listed files: no rows, the total line again.
  f.fakes.fileDialogs.folderAnswers.push_back(root.toStdString());
  f.Click(1001);
  f.WaitForWorker();
  QCOMPARE(f.List()->rowCount(), 6);
  QCOMPARE(f.LogLines().mid(logBefore + 6), QStringList{"Total number of files: [6]"});
}

void MainWindowTest::searchCancelledOrNotAFolderChangesNothing() {
  MainWindowFixture f;
  const auto file = f.MakeFile("a.pst");
  f.AddThroughDialog({file});
  const QStringList logBefore = f.LogLines();
  for (std::optional<std::string> answer : {std::optional<std::string>(), std::optional(file),
                                            std::optional(f.Missing("no-such-folder"))}) {
    f.fakes.fileDialogs.folderAnswers.push_back(answer);
    f.Click(1001);
    f.WaitForWorker();
  }
  QCOMPARE(f.LogLines(), logBefore);
  QCOMPARE(f.Rows(), QStringList{Q(file)});
  QCOMPARE(f.Status(), QString("Total number of files: [1]"));
}

void MainWindowTest::removeFileRemovesEverySelectedRow() {
  MainWindowFixture f;
  std::vector<std::string> names;
  for (const char* n : {"0.pst", "1.pst", "2.pst", "3.pst", "4.pst"}) names.push_back(f.MakeFile(n));
  f.AddThroughDialog(names);
  const int logBefore = f.LogLines().size();

  f.SelectRows({0, 2, 4});
  f.Click(1002);
  QCOMPARE(f.Rows(), (QStringList{Q(names[1]), Q(names[3])}));
  QCOMPARE(f.Status(), QString("Total number of files: [2]"));
  QCOMPARE(f.LogLines().mid(logBefore), QStringList{"Total number of files: [2]"});

  f.SelectRows({0, 1});
  f.Click(1002);
  QCOMPARE(f.List()->rowCount(), 0);
  QCOMPARE(f.Status(), QString("Add files to continue the process."));
  QCOMPARE(f.LogLines().size(), logBefore + 1);  // the last removal logs nothing
  QVERIFY(f.fakes.prompter.Texts().size() == 1);  // only the add's notice
}

void MainWindowTest::removeRefusals_data() {
  QTest::addColumn<int>("button");
  QTest::addColumn<bool>("withRows");
  QTest::addColumn<QString>("notice");
  QTest::newRow("Remove File, empty list") << 1002 << false << "No file(s) is present in the list to remove.";
  QTest::newRow("Remove File, nothing selected") << 1002 << true << "No file(s) selected to remove.";
  QTest::newRow("Remove All, empty list") << 1003 << false << "No file is present in the list to remove";
}

void MainWindowTest::removeRefusals() {
  QFETCH(int, button);
  QFETCH(bool, withRows);
  QFETCH(QString, notice);
  MainWindowFixture f;
  if (withRows) f.AddThroughDialog({f.MakeFile("a.pst")});
  f.List()->clearSelection();
  const QStringList log = f.LogLines();
  const QString status = f.Status();
  f.fakes.prompter.Clear();
  f.Click(button);
  QCOMPARE(f.Prompts(), QStringList{notice});
  QCOMPARE(f.List()->rowCount(), withRows ? 1 : 0);
  QCOMPARE(f.LogLines(), log);
  QCOMPARE(f.Status(), status);
}

void MainWindowTest::removeAllEmptiesTheListWithoutAsking() {
  MainWindowFixture f;
  f.AddThroughDialog({f.MakeFile("a.pst"), f.MakeFile("b.pst")});
  f.fakes.prompter.Clear();
  f.Click(1003);
  QCOMPARE(f.List()->rowCount(), 0);
  QVERIFY(f.fakes.prompter.Asked().empty());
  QCOMPARE(f.Status(), QString("Add files to continue the process."));
  QCOMPARE(f.LogLines().last(), QString("Add files to continue the process."));
}

void MainWindowTest::previewAndProcessRefuseAnEmptyList_data() {
  QTest::addColumn<int>("button");
  QTest::newRow("Preview") << 1008;
  QTest::newRow("Process") << 1051;
}

void MainWindowTest::previewAndProcessRefuseAnEmptyList() {
  QFETCH(int, button);
  MainWindowFixture f;
  f.fakes.processList.processes = {{10, "OUTLOOK.EXE"}};
  f.Click(button);
  QCOMPARE(f.Prompts(), QStringList{kAddPst});
  QVERIFY(f.fakes.processList.namesAsked.empty());
  QVERIFY(!f.window->PreviewPage() && !f.window->SearchOptionPage());
}

void MainWindowTest::previewWithoutSelectionOpensNothing() {
  MainWindowFixture f;
  f.AddThroughDialog({f.MakeFile("a.pst")});
  f.List()->clearSelection();
  f.fakes.prompter.Clear();
  f.window->show();
  f.Click(1008);
  QCOMPARE(f.Prompts(), QStringList{kOutlookNotice});
  QVERIFY(!f.window->PreviewPage());
  QVERIFY(f.settings.m_currentFile.empty());
  QVERIFY(f.window->isVisible());
}

void MainWindowTest::previewOpensThePageForTheFirstSelectedRow() {
  MainWindowFixture f;
  f.AddThroughDialog({f.MakeFile("a.pst", 5), f.MakeFile("b.pst", 66), f.MakeFile("c.pst", 777)});
  gui::WizardPage* made = nullptr;
  f.context.makePreviewPage = [&](gui::WizardPage& parent) {
    made = new gui::WizardPage(gui::kPreviewTemplate, f.context, &parent);
    return made;
  };
  f.window->show();
  f.SelectRows({2, 1});
  f.Click(1008);

  QCOMPARE(Q(f.settings.m_currentFile), f.Rows()[1]);
  QCOMPARE(Q(f.settings.m_currentFileSize), QString("66"));
  QVERIFY(f.settings.m_previewMode);
  QVERIFY(made && f.window->PreviewPage() == made);
  QCOMPARE(made->parentWidget(), f.window.get());
  QVERIFY(made->isVisible());
  QVERIFY(!f.window->isVisible());
  // Back on a page shows the main window again, with its rows.
  made->ReturnToParent();
  QVERIFY(f.window->isVisible());
  QCOMPARE(f.List()->rowCount(), 3);
}

void MainWindowTest::processHandsOverEveryRowInOrder() {
  MainWindowFixture f;
  const auto b = f.MakeFile("b.pst", 2), a = f.MakeFile("a.pst", 1);
  f.AddThroughDialog({b, a, f.Missing("gone.pst")});
  f.settings.m_previewMode = true;
  f.settings.m_files = {{"stale", "1"}};
  f.window->show();
  f.Click(1051);

  QCOMPARE(f.settings.m_files.size(), size_t(2));
  QCOMPARE(f.settings.m_files[0].path, b);
  QCOMPARE(f.settings.m_files[0].sizeText, std::string("2"));
  QCOMPARE(f.settings.m_files[1].path, a);
  QVERIFY(!f.settings.m_previewMode);
  // Without a maker the page is a placeholder on the search-option template.
  auto* page = f.window->SearchOptionPage();
  QVERIFY(page && page->TemplateId() == gui::kSearchOptionTemplate);
  QVERIFY(page->isVisible() && !f.window->isVisible());
}

void MainWindowTest::guardAsksOncePerMailClientProcess() {
  MainWindowFixture f;
  f.AddThroughDialog({f.MakeFile("a.pst")});
  f.SelectRows({0});
  f.fakes.processList.processes = {{0, "outlook.exe"},      {4711, "OUTLOOK.EXE"}, {77, "outlook.exe.old"},
                                   {78, "outlook"},         {79, std::nullopt},   {4712, "Outlook.exe"},
                                   {80, "thunderbird"}};
  f.fakes.prompter.answers = {PromptAnswer::Yes, PromptAnswer::No};
  f.fakes.journal.Clear();
  f.window->show();
  f.Click(1008);

  QCOMPARE(f.fakes.processKiller.killed, std::vector<int>{4711});
  std::vector<std::string> expected{std::string("ask: ") + kOutlookNotice, std::string("ask: ") + kGuardQuestion,
                                    "kill: 4711", std::string("ask: ") + kGuardQuestion};
  QCOMPARE(f.fakes.journal.Events(), expected);
  for (const auto& p : f.fakes.prompter.Asked())
    if (p.text == kGuardQuestion) {
      QCOMPARE(p.icon, platform::PromptIcon::Question);
      QCOMPARE(p.owner, static_cast<const void*>(f.window.get()));
    }
  // Process 0 is never looked at; the page opens whatever the answers were.
  QVERIFY(std::find(f.fakes.processList.namesAsked.begin(), f.fakes.processList.namesAsked.end(), 0) ==
          f.fakes.processList.namesAsked.end());
  QVERIFY(f.window->PreviewPage());

  // A process list that cannot be read: the notice only, and the page still opens.
  MainWindowFixture g;
  g.AddThroughDialog({g.MakeFile("a.pst")});
  g.fakes.processList.failList = true;
  g.fakes.prompter.Clear();
  g.Click(1051);
  QCOMPARE(g.Prompts(), QStringList{kOutlookNotice});
  QVERIFY(g.window->SearchOptionPage());
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
