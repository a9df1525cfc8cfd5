// The comparison-criteria page through its control ids: the initial ticks,
// the two output modes, the action list and its folder name, the browser,
// and Next's checks in their order.
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>

#include "detect/gui/processdlg.h"
#include "options/gui/filter_dlg.h"
#include "tests/gui/wizard_fixture.h"

using namespace quillmere;
using gui::FilterDlg;
using testing::WizardFixture;

namespace {

struct CriteriaPage : WizardFixture {
  CriteriaPage() {
    page = new FilterDlg(context, opener.get(), sessions);
    opener->ShowNextPage(page);
  }
  QLineEdit* Edit(int id) { return Control<QLineEdit>(page, id); }
  QComboBox* Actions() { return Control<QComboBox>(page, gui::kActionListId); }
  void Next() { Click(page, 1016); }
  std::vector<int32_t> Flags() const {
    const auto& c = settings.m_criteria;
    return {c.text, c.subject, c.senderEmail, c.senderName, c.receiverName, c.internetHeader, c.sentTime,
            c.attachments};
  }

  QTemporaryDir dir;  // an existing folder for new PST files
  FilterDlg* page = nullptr;
};

// A text of the table with %1 standing for `dir`.
QString In(const QTemporaryDir& dir, QString text) { return text.replace("%1", dir.path()); }

const std::string kTitle = "Velmora Quillmere-x64 v19.0";

}  // namespace

class FilterPageTest : public QObject {
  Q_OBJECT
 private slots:
  void nextAtOnceStoresTheInitialTicksThenWantsADestination();
  void noCriterionBoxHasNoIconAndTheProgramsName();
  void outputModesKeepEachOtherExclusive();
  void actionsFourAndFiveShowTheFolderName_data();
  void actionsFourAndFiveShowTheFolderName();
  void emptySubFolderNameStopsNextInEitherMode_data();
  void emptySubFolderNameStopsNextInEitherMode();
  void destinationIsCheckedAndEndsInASlash_data();
  void destinationIsCheckedAndEndsInASlash();
  void browserPutsOnlyAnExistingFolderIntoTheField_data();
  void browserPutsOnlyAnExistingFolderIntoTheField();
  void nextOpensAFreshRunPageEachTime();
};

void FilterPageTest::nextAtOnceStoresTheInitialTicksThenWantsADestination() {
  CriteriaPage f;
  auto* page = f.page;
  QCOMPARE(f.Actions()->count(), 6);
  QCOMPARE(f.Actions()->itemText(5), QString("Move to sub folder"));
  QCOMPARE(f.Actions()->currentIndex(), 0);
  QVERIFY(!WizardFixture::Enabled(page, gui::kActionListId));
  QVERIFY(f.Edit(gui::kFolderNameId)->isHidden());
  QVERIFY(WizardFixture::Control<QLabel>(page, gui::kFolderNameLabelId)->isHidden());
  QVERIFY(WizardFixture::Checked(page, gui::kMakeNewPstId));
  QVERIFY(!WizardFixture::Checked(page, gui::kRemoveInOriginalId));
  QVERIFY(WizardFixture::Enabled(page, gui::kDestinationId) && WizardFixture::Enabled(page, gui::kBrowseId));
  QVERIFY(WizardFixture::Checked(page, gui::kAddToProfileId));
  QCOMPARE(f.settings.m_outputMode, 1);

  f.settings.m_action = 3;
  f.settings.m_addToProfile = 7;
  f.Next();
  QCOMPARE(f.Flags(), (std::vector<int32_t>{0, 1, 1, 0, 0, 0, 0, 1}));
  QCOMPARE(f.settings.m_criteriaText, std::string("Subject,Sender Email,Attachment files"));
  QCOMPARE(f.settings.m_action, 0);
  QCOMPARE(f.settings.m_actionText, std::string("Delete Permanently"));
  const auto asked = f.fakes.prompter.Asked();
  QCOMPARE(asked.size(), size_t(1));
  QCOMPARE(asked[0].text, std::string("Please select valid destination path to save new PST files."));
  QCOMPARE(asked[0].caption, kTitle);
  QVERIFY(asked[0].icon == platform::PromptIcon::Information);
  // Stopped before the profile tick is stored and before a run page is made.
  QCOMPARE(f.settings.m_addToProfile, 7);
  QVERIFY(!page->NextPage());
  QVERIFY(page->isVisible());

  // Unticking a criterion after an earlier Next turns its flag back to 0.
  WizardFixture::Click(page, 1033);
  WizardFixture::Click(page, 1032);
  f.Next();
  QCOMPARE(f.Flags(), (std::vector<int32_t>{1, 0, 1, 0, 0, 0, 0, 1}));
  QCOMPARE(f.settings.m_criteriaText, std::string("Text,Sender Email,Attachment files"));
}

void FilterPageTest::noCriterionBoxHasNoIconAndTheProgramsName() {
  CriteriaPage f;
  f.settings.m_action = 3;
  for (int id : {1033, 1034, 1039}) WizardFixture::Click(f.page, id);
  f.Next();
  const auto asked = f.fakes.prompter.Asked();
  QCOMPARE(asked.size(), size_t(1));
  QCOMPARE(asked[0].text,
           std::string("Please select atleast one comparison criteria to remove duplicate items from pst file(s)."));
  QVERIFY(asked[0].icon == platform::PromptIcon::None);
  QVERIFY(asked[0].buttons == platform::PromptButtons::Ok);
  QCOMPARE(asked[0].caption, std::string("filter_page_test"));
  QCOMPARE(f.Flags(), std::vector<int32_t>(8, 0));  // the flags of step 1 stay stored
  QCOMPARE(f.settings.m_action, 3);
}

void FilterPageTest::outputModesKeepEachOtherExclusive() {
  CriteriaPage f;
  auto* page = f.page;
  for (int round = 0; round < 2; ++round) {
    WizardFixture::Click(page, gui::kRemoveInOriginalId);
    QVERIFY(WizardFixture::Checked(page, gui::kRemoveInOriginalId));
    QVERIFY(!WizardFixture::Checked(page, gui::kMakeNewPstId));
    QVERIFY(WizardFixture::Enabled(page, gui::kActionListId));
    QVERIFY(!WizardFixture::Enabled(page, gui::kDestinationId) && !WizardFixture::Enabled(page, gui::kBrowseId));
    QCOMPARE(f.settings.m_outputMode, 2);

    WizardFixture::Click(page, gui::kMakeNewPstId);
    QVERIFY(!WizardFixture::Checked(page, gui::kRemoveInOriginalId));
    QVERIFY(WizardFixture::Checked(page, gui::kMakeNewPstId));
    QVERIFY(!WizardFixture::Enabled(page, gui::kActionListId));
    QVERIFY(WizardFixture::Enabled(page, gui::kDestinationId) && WizardFixture::Enabled(page, gui::kBrowseId));
    QCOMPARE(f.settings.m_outputMode, 1);
  }
  // Neither mode touches the profile tick.
  QVERIFY(WizardFixture::Checked(page, gui::kAddToProfileId));
}

void FilterPageTest::actionsFourAndFiveShowTheFolderName_data() {
  QTest::addColumn<int>("action");
  QTest::addColumn<bool>("shown");
  const bool shown[] = {false, false, false, false, true, true};
  for (int a = 0; a < 6; ++a) QTest::addRow("action %d", a) << a << shown[a];
}

void FilterPageTest::actionsFourAndFiveShowTheFolderName() {
  QFETCH(int, action);
  QFETCH(bool, shown);
  CriteriaPage f;
  WizardFixture::Click(f.page, gui::kRemoveInOriginalId);
  f.Actions()->setCurrentIndex(5);
  f.Actions()->setCurrentIndex(action);
  QCOMPARE(f.Edit(gui::kFolderNameId)->isVisible(), shown);
  QCOMPARE(WizardFixture::Control<QLabel>(f.page, gui::kFolderNameLabelId)->isVisible(), shown);
}

void FilterPageTest::emptySubFolderNameStopsNextInEitherMode_data() {
  QTest::addColumn<int>("action");
  QTest::addColumn<bool>("makeNewPst");
  QTest::addColumn<QString>("name");
  QTest::newRow("copy, in the original file, no name") << 4 << false << "";
  QTest::newRow("move, in the original file, no name") << 5 << false << "";
  QTest::newRow("copy chosen, then new PST files, no name") << 4 << true << "";
  QTest::newRow("move, a name with blanks is taken as typed") << 5 << false << " Dupes ";
  QTest::newRow("copy chosen, then new PST files, a name") << 4 << true << "Dupes";
}

void FilterPageTest::emptySubFolderNameStopsNextInEitherMode() {
  QFETCH(int, action);
  QFETCH(bool, makeNewPst);
  QFETCH(QString, name);
  CriteriaPage f;
  WizardFixture::Click(f.page, gui::kRemoveInOriginalId);
  f.Actions()->setCurrentIndex(action);
  f.Edit(gui::kFolderNameId)->setText(name);
  f.Edit(gui::kDestinationId)->setText(f.dir.path());
  if (makeNewPst) WizardFixture::Click(f.page, gui::kMakeNewPstId);  // the list greys out, keeping its choice
  f.settings.m_action = 1;
  f.Next();
  if (name.isEmpty()) {
    QCOMPARE(f.TakePrompts(), std::vector<std::string>{"Please enter folder name."});
    QCOMPARE(f.settings.m_action, 1);
    QVERIFY(!f.page->NextPage());
  } else {
    QVERIFY(f.TakePrompts().empty());
    QCOMPARE(f.settings.m_subfolderName, name.toStdString());
    QCOMPARE(f.settings.m_action, action);
    QCOMPARE(f.settings.m_actionText, std::string(options::kActionTexts[size_t(action)]));
    QCOMPARE(f.settings.m_outputMode, makeNewPst ? 1 : 2);
    QVERIFY(f.page->NextPage());
  }
}

void FilterPageTest::destinationIsCheckedAndEndsInASlash_data() {
  QTest::addColumn<QString>("typed");  // %1 stands for an existing folder
  QTest::addColumn<QString>("stored");  // empty: refused
  QTest::newRow("folder without a slash") << "%1/data" << "%1/data/";
  QTest::newRow("folder with a slash") << "%1/data/" << "%1/data/";
  QTest::newRow("an existing file passes") << "%1/file.txt" << "%1/file.txt/";
  QTest::newRow("nothing of that name") << "%1/missing" << "";
  QTest::newRow("empty") << "" << "";
}

void FilterPageTest::destinationIsCheckedAndEndsInASlash() {
  QFETCH(QString, typed);
  QFETCH(QString, stored);
  CriteriaPage f;
  QDir(f.dir.path()).mkdir("data");
  std::ofstream((f.dir.path() + "/file.txt").toStdString()) << "x";
  f.Edit(gui::kDestinationId)->setText(In(f.dir, typed));
  WizardFixture::Click(f.page, gui::kAddToProfileId);
  f.Next();
  if (stored.isEmpty()) {
    QCOMPARE(f.TakePrompts(), std::vector<std::string>{"Please select valid destination path to save new PST files."});
    QVERIFY(f.settings.m_newPstFolder.empty());
    QVERIFY(f.page->isVisible());
    return;
  }
  QVERIFY(f.TakePrompts().empty());
  QCOMPARE(QString::fromStdString(f.settings.m_newPstFolder), In(f.dir, stored));
  QCOMPARE(f.settings.m_addToProfile, 0);
  QVERIFY(f.page->NextPage() && f.page->NextPage()->isVisible());
  QVERIFY(!f.page->isVisible());
}

void FilterPageTest::browserPutsOnlyAnExistingFolderIntoTheField_data() {
  QTest::addColumn<bool>("cancel");
  QTest::addColumn<QString>("answer");  // %1 stands for an existing folder
  QTest::addColumn<QString>("field");
  QTest::newRow("a folder, blanks around it trimmed") << false << "  %1/data \t" << "%1/data";
  QTest::newRow("a file is not taken") << false << "%1/file.txt" << "before";
  QTest::newRow("a folder that is gone") << false << "%1/gone" << "before";
  QTest::newRow("cancelled") << true << "" << "before";
}

void FilterPageTest::browserPutsOnlyAnExistingFolderIntoTheField() {
  QFETCH(bool, cancel);
  QFETCH(QString, answer);
  QFETCH(QString, field);
  CriteriaPage f;
  QDir(f.dir.path()).mkdir("data");
  std::ofstream((f.dir.path() + "/file.txt").toStdString()) << "x";
  f.Edit(gui::kDestinationId)->setText("before");
  if (cancel)
    f.fakes.fileDialogs.folderAnswers.push_back(std::nullopt);
  else
    f.fakes.fileDialogs.folderAnswers.push_back(In(f.dir, answer).toStdString());
  WizardFixture::Click(f.page, gui::kBrowseId);
  QCOMPARE(f.fakes.fileDialogs.folderRequests.size(), size_t(1));
  QCOMPARE(f.fakes.fileDialogs.folderRequests[0].title, std::string("Select location to save PST file(s)."));
  QVERIFY(f.fakes.fileDialogs.folderRequests[0].owner == f.page);
  QCOMPARE(f.Edit(gui::kDestinationId)->text(), In(f.dir, field));
}

void FilterPageTest::nextOpensAFreshRunPageEachTime() {
  CriteriaPage f;
  f.Edit(gui::kDestinationId)->setText(f.dir.path());
  f.Next();
  QPointer<gui::Processdlg> first = f.page->NextPage();
  QVERIFY(first && first->isVisible());
  WizardFixture::Click(first, gui::kRunBackId);
  QVERIFY(f.page->isVisible() && !first->isVisible());
  f.Next();
  WizardFixture::FlushDeletes();
  QVERIFY(first.isNull());
  QVERIFY(f.page->NextPage() && f.page->NextPage()->isVisible());
}

QTEST_MAIN(FilterPageTest)
#include "filter_page_test.moc"
