// Start-up: the single-instance lock held by another process refuses the
// start with its message and no log; once that process has ended, the start
// shows the main window and creates the run log.
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "app/gui/main_window.h"
#include "app/gui/quillmere_app.h"
#include "platform/instance_lock.h"
#include "tests/fakes/fake_ports.h"

using namespace quillmere;

namespace {

QStringList DesktopFiles(const std::string& desktop) {
  return QDir(QString::fromStdString(desktop)).entryList(QDir::Files | QDir::Hidden);
}

}  // namespace

class StartUpTest : public QObject {
  Q_OBJECT
 private slots:
  void secondStartWhileTheFirstRunsEndsQuietly();
  void aLockThatCannotBeMadeDoesNotStopTheStart();
};

void StartUpTest::secondStartWhileTheFirstRunsEndsQuietly() {
  QTemporaryDir runtime, home;
  fakes::FakePorts fakes;
  fakes.desktopFolder.path = (home.path() + "/Desktop").toStdString();
  platform::FlockInstanceLock probe(kInstanceLockName, runtime.path().toStdString());

  // The first instance: another process holding the same lock file.
  QProcess first;
  first.start("flock", {QString::fromStdString(probe.FilePath()), "-c", "echo held; read line"});
  QVERIFY(first.waitForReadyRead(10000));
  QCOMPARE(first.readLine().trimmed(), QByteArray("held"));

  {
    platform::FlockInstanceLock lock(kInstanceLockName, runtime.path().toStdString());
    const auto result = lock.Acquire();
    QCOMPARE(result, platform::LockResult::AlreadyRunning);
    gui::CQuillmereApp app(fakes.Ports());
    bool mainWindowRan = false;
    QVERIFY(!app.InitInstance(result, [&](gui::CQuillmereDlg&) { mainWindowRan = true; }));
    QVERIFY(!mainWindowRan);
    const auto asked = fakes.prompter.Asked();
    QCOMPARE(asked.size(), size_t(1));
    QCOMPARE(asked[0].text, std::string("Another instance of application is already running"));
    QCOMPARE(asked[0].caption, std::string("Velmora Quillmere-x64 v19.0"));
    QCOMPARE(asked[0].icon, platform::PromptIcon::Information);
    QCOMPARE(asked[0].owner, nullptr);
    QVERIFY(DesktopFiles(fakes.desktopFolder.path).isEmpty());
    QVERIFY(app.Settings().m_logFilePath.empty());
  }

  // The first instance ends; the next start works.
  first.closeWriteChannel();
  QVERIFY(first.waitForFinished(10000));
  fakes.prompter.Clear();
  platform::FlockInstanceLock lock(kInstanceLockName, runtime.path().toStdString());
  const auto result = lock.Acquire();
  QCOMPARE(result, platform::LockResult::Acquired);
  gui::CQuillmereApp app(fakes.Ports());
  QString statusShown;
  app.InitInstance(result, [&](gui::CQuillmereDlg& window) {
    statusShown = window.findChild<QLabel*>("1007")->text();
    // Every setting still has its default when the main window runs.
    QVERIFY(app.Settings().m_files.empty() && app.Settings().m_currentFile.empty());
    QCOMPARE(app.Settings().m_scope, 0);
    QVERIFY(!app.Settings().m_criteria.Any());
  });
  QCOMPARE(statusShown, QString("Select pst file(s) to continue the process...."));
  QVERIFY(fakes.prompter.Asked().empty());
  QCOMPARE(DesktopFiles(fakes.desktopFolder.path), QStringList{"VelmoraQuillmere_log_6-3-2024-14-5-9.txt"});
}

void StartUpTest::aLockThatCannotBeMadeDoesNotStopTheStart() {
  QTemporaryDir home;
  fakes::FakePorts fakes;
  fakes.desktopFolder.path = (home.path() + "/Desktop").toStdString();
  platform::FlockInstanceLock lock(kInstanceLockName, (home.path() + "/no/such/folder").toStdString());
  const auto result = lock.Acquire();
  QCOMPARE(result, platform::LockResult::Failed);
  gui::CQuillmereApp app(fakes.Ports());
  bool mainWindowRan = false;
  app.InitInstance(result, [&](gui::CQuillmereDlg&) { mainWindowRan = true; });
  QVERIFY(mainWindowRan);
  QVERIFY(fakes.prompter.Asked().empty());
}

QTEST_MAIN(StartUpTest)
#include "test_start_up.moc"
