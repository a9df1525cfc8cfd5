// The frame every page shares, on each of the five templates.
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/gui/dialog_units.h"
#include "app/gui/image_button.h"
#include "app/gui/page_frame.h"
#include "tests/gui/shell_fixture.h"

using namespace quillmere;
using gui::WizardPage;

namespace {

class RefusingPage : public WizardPage {
 public:
  using WizardPage::WizardPage;
  bool running = false;

 protected:
  bool RefuseClose() override {
    if (!running) return false;
    Notice("Please stop the running process to continue the application.");
    return true;
  }
};

QPushButton* Button(QWidget& page, int id) {
  return page.findChild<QPushButton*>(QString::number(id));
}

}  // namespace

class PageFrameTest : public QObject {
  Q_OBJECT
 private slots:
  void buildsTheFrameOfEveryTemplate_data();
  void buildsTheFrameOfEveryTemplate();
  void closeFlows_data();
  void closeFlows();
  void refusesCloseWhileItsWorkRuns();
  void enterAndEscapeDoNothing();
  void draggingABannerMovesTheWindow();
  void smallButtonsOpenAboutHelpAndMinimise();
  void hoverSwapsTheImage();
};

void PageFrameTest::buildsTheFrameOfEveryTemplate_data() {
  QTest::addColumn<int>("templateId");
  QTest::addColumn<int>("widthDlu");
  QTest::addColumn<int>("heightDlu");
  QTest::addColumn<bool>("hasLeftPanel");
  QTest::newRow("main window") << 102 << 532 << 361 << true;
  QTest::newRow("preview") << 129 << 533 << 359 << false;
  QTest::newRow("search options") << 131 << 532 << 341 << true;
  QTest::newRow("criteria") << 132 << 533 << 329 << true;
  QTest::newRow("run") << 133 << 533 << 334 << true;
}

void PageFrameTest::buildsTheFrameOfEveryTemplate() {
  QFETCH(int, templateId);
  QFETCH(int, widthDlu);
  QFETCH(int, heightDlu);
  QFETCH(bool, hasLeftPanel);
  testing::ShellFixture f;
  WizardPage page(templateId, f.context, nullptr);

  QCOMPARE(page.size(), page.Units().Size(widthDlu, heightDlu));
  QCOMPARE(page.minimumSize(), page.maximumSize());
  QVERIFY(page.windowFlags() & Qt::FramelessWindowHint);
  QCOMPARE(page.windowTitle(), QString("Velmora Quillmere-x64 v19.0"));
  QVERIFY(!page.findChild<QLabel*>("banner143")->pixmap().isNull());
  QVERIFY(!page.findChild<QLabel*>("banner141")->pixmap().isNull());
  QCOMPARE(page.findChild<QLabel*>("banner142") != nullptr, hasLeftPanel);

  const struct {
    int id;
    const char* caption;
    const char* tooltip;
  } buttons[] = {{1053, "", "About"},
                 {1054, "", "Help"},
                 {1055, "", "Help"},
                 {1056, "", "Close the application"},
                 {1, "Close", "Close the application"}};
  for (const auto& b : buttons) {
    auto* button = qobject_cast<gui::ImageButton*>(Button(page, b.id));
    QVERIFY2(button, qPrintable(QString::number(b.id)));
    QCOMPARE(button->text(), QString(b.caption));
    QCOMPARE(button->toolTip(), QString(b.tooltip));
    QVERIFY(!button->icon().isNull());
    QVERIFY(!button->autoDefault());
  }
  const auto* layout = gui::FindFrameLayout(templateId);
  QCOMPARE(Button(page, 1)->geometry(),
           page.Units().Rect(layout->close.x, layout->close.y, layout->close.w, layout->close.h));
  auto* cancel = Button(page, 2);
  QVERIFY(cancel && cancel->isHidden());
  QCOMPARE(cancel->text(), QString("Cancel"));
}

void PageFrameTest::closeFlows_data() {
  QTest::addColumn<QString>("trigger");  // a button id, or "system" for the window's close request
  QTest::addColumn<bool>("answerYes");
  QTest::addColumn<QStringList>("journal");
  const QString question = "ask: Do you want to close the application?";
  const QString path = "ask: Log file path: \n/home/u/Desktop/VelmoraQuillmere_log_6-3-2024-14-5-9.txt";
  const QString product = "open: https://quillmere.example.com/";
  QTest::newRow("Close, Yes") << "1" << true << QStringList{question, path, product, "exit: -1"};
  QTest::newRow("cross, Yes") << "1056" << true << QStringList{question, path, product, "exit: -1"};
  QTest::newRow("system close, Yes") << "system" << true << QStringList{question, path, "exit: -1"};
  QTest::newRow("Close, No") << "1" << false << QStringList{question};
  QTest::newRow("system close, No") << "system" << false << QStringList{question};
}

void PageFrameTest::closeFlows() {
  QFETCH(QString, trigger);
  QFETCH(bool, answerYes);
  QFETCH(QStringList, journal);
  testing::ShellFixture f;
  f.settings.m_logFilePath = "/home/u/Desktop/VelmoraQuillmere_log_6-3-2024-14-5-9.txt";
  f.fakes.prompter.answers = {answerYes ? platform::PromptAnswer::Yes : platform::PromptAnswer::No};
  WizardPage page(102, f.context, nullptr);
  page.show();
  QVERIFY(QTest::qWaitForWindowExposed(&page));

  if (trigger == "system")
    QVERIFY(!page.close());  // the window stays; the close request asks instead
  else
    QTest::mouseClick(Button(page, trigger.toInt()), Qt::LeftButton);

  QStringList events;
  for (const auto& e : f.fakes.journal.Events()) events << QString::fromStdString(e);
  QCOMPARE(events, journal);
  const auto asked = f.fakes.prompter.Asked();
  QCOMPARE(asked[0].icon, platform::PromptIcon::Question);
  QCOMPARE(asked[0].buttons, platform::PromptButtons::YesNo);
  QCOMPARE(asked[0].owner, static_cast<const void*>(&page));
  for (const auto& a : asked) QCOMPARE(a.caption, std::string("Velmora Quillmere-x64 v19.0"));
  if (answerYes) QCOMPARE(asked[1].icon, platform::PromptIcon::Information);
  QVERIFY(page.isVisible());
}

void PageFrameTest::refusesCloseWhileItsWorkRuns() {
  testing::ShellFixture f;
  RefusingPage page(129, f.context, nullptr);
  page.running = true;
  QTest::mouseClick(Button(page, 1), Qt::LeftButton);
  page.reject();
  QCOMPARE(f.fakes.prompter.Texts(),
           (std::vector<std::string>{"Please stop the running process to continue the application.",
                                     "Please stop the running process to continue the application."}));
  QVERIFY(!f.fakes.processExit.exitStatus);
}

void PageFrameTest::enterAndEscapeDoNothing() {
  testing::ShellFixture f;
  WizardPage page(102, f.context, nullptr);
  page.show();
  QVERIFY(QTest::qWaitForWindowExposed(&page));
  QSignalSpy closeClicks(Button(page, 1), &QPushButton::clicked);
  Button(page, 1)->setFocus();
  for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    QTest::keyClick(Button(page, 1), Qt::Key(key));
    QTest::keyClick(&page, Qt::Key(key));
  }
  QCOMPARE(closeClicks.count(), 0);
  QVERIFY(f.fakes.journal.Events().empty());
  QVERIFY(page.isVisible());
}

void PageFrameTest::draggingABannerMovesTheWindow() {
  testing::ShellFixture f;
  WizardPage page(102, f.context, nullptr);
  page.move(100, 100);
  page.show();
  QVERIFY(QTest::qWaitForWindowExposed(&page));
  auto* header = page.findChild<QLabel*>("banner143");
  const QPoint start = page.pos();
  QTest::mousePress(header, Qt::LeftButton, {}, QPoint(300, 30));
  QMouseEvent move(QEvent::MouseMove, QPointF(340, 55), header->mapToGlobal(QPointF(340, 55)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(header, &move);
  QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(340, 55));
  QCOMPARE(page.pos(), start + QPoint(40, 25));
}

void PageFrameTest::smallButtonsOpenAboutHelpAndMinimise() {
  testing::ShellFixture f;
  WizardPage page(131, f.context, nullptr);
  page.show();
  QVERIFY(QTest::qWaitForWindowExposed(&page));
  QTest::mouseClick(Button(page, 1053), Qt::LeftButton);
  QCOMPARE(f.modalShown, QStringList{"182"});
  QTest::mouseClick(Button(page, 1054), Qt::LeftButton);
  QCOMPARE(f.fakes.urlOpener.opened, std::vector<std::string>{f.context.helpPage});
  QTest::mouseClick(Button(page, 1055), Qt::LeftButton);
  QTRY_VERIFY(page.isMinimized());
  QVERIFY(f.fakes.prompter.Asked().empty());
}

void PageFrameTest::hoverSwapsTheImage() {
  testing::ShellFixture f;
  WizardPage page(102, f.context, nullptr);
  auto* about = qobject_cast<gui::ImageButton*>(Button(page, 1053));
  const qint64 normal = about->icon().cacheKey();
  QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
  QApplication::sendEvent(about, &enter);
  QVERIFY(about->IsShowingHoverImage());
  QVERIFY(about->icon().cacheKey() != normal);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(about, &leave);
  QCOMPARE(about->icon().cacheKey(), normal);
}

QTEST_MAIN(PageFrameTest)
#include "test_page_frame.moc"
