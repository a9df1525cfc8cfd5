// The about box: its title font, the three links and what they open, OK,
// and the keys that do nothing.
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/gui/about_box.h"
#include "tests/gui/shell_fixture.h"

using namespace quillmere;

class AboutBoxTest : public QObject {
  Q_OBJECT
 private slots:
  void showsTheTitleInItsOwnFont();
  void linksOpenTheirAddresses_data();
  void linksOpenTheirAddresses();
  void okClosesButEnterAndEscapeDoNot();
};

void AboutBoxTest::showsTheTitleInItsOwnFont() {
  testing::ShellFixture f;
  gui::CQuillmereAboutDlg about(f.context, nullptr);
  QCOMPARE(about.windowTitle(), QString("Velmora Quillmere-x64 v19.0"));
  QCOMPARE(about.size(), gui::DialogUnits(gui::PageFont()).Size(263, 166));
  auto* title = about.findChild<QLabel*>("1027");
  QCOMPARE(title->text(), QString("Velmora Quillmere-x64 v19.0"));
  QCOMPARE(title->font().pixelSize(), 15);
  QCOMPARE(title->font().weight(), QFont::DemiBold);
  QVERIFY(!title->font().italic() && !title->font().underline() && !title->font().strikeOut());
}

void AboutBoxTest::linksOpenTheirAddresses_data() {
  QTest::addColumn<int>("id");
  QTest::addColumn<QString>("shown");
  QTest::addColumn<QString>("opened");
  QTest::addColumn<QString>("tooltip");
  QTest::newRow("web page") << 1031 << "https://quillmere.example.com/" << "https://quillmere.example.com/"
                            << "Company website";
  QTest::newRow("support") << 1003 << "support@example.com" << "mailto:support@example.com"
                           << "Support email address";
  QTest::newRow("sales") << 1010 << "sales@example.com" << "mailto:sales@example.com" << "Sales email address";
}

void AboutBoxTest::linksOpenTheirAddresses() {
  QFETCH(int, id);
  QFETCH(QString, shown);
  QFETCH(QString, opened);
  QFETCH(QString, tooltip);
  testing::ShellFixture f;
  gui::CQuillmereAboutDlg about(f.context, nullptr);
  auto* link = about.findChild<QPushButton*>(QString::number(id));
  QCOMPARE(link->text(), shown);
  QCOMPARE(link->toolTip(), tooltip);
  QVERIFY(link->width() >= link->fontMetrics().horizontalAdvance(shown));
  QTest::mouseClick(link, Qt::LeftButton);
  QCOMPARE(f.fakes.urlOpener.opened, std::vector<std::string>{opened.toStdString()});
}

void AboutBoxTest::okClosesButEnterAndEscapeDoNot() {
  testing::ShellFixture f;
  gui::CQuillmereAboutDlg about(f.context, nullptr);
  about.show();
  QVERIFY(QTest::qWaitForWindowExposed(&about));
  QSignalSpy finished(&about, &QDialog::finished);
  auto* ok = about.findChild<QPushButton*>("1");
  ok->setFocus();
  for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(ok, Qt::Key(key));
  QCOMPARE(finished.count(), 0);
  QVERIFY(about.isVisible());
  QTest::mouseClick(ok, Qt::LeftButton);
  QCOMPARE(finished.count(), 1);
  QCOMPARE(about.result(), int(QDialog::Accepted));
}

QTEST_MAIN(AboutBoxTest)
#include "test_about_box.moc"
