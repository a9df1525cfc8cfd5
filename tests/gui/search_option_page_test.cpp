// The scope and date-range page through its control ids: the scope pair, the
// three modes of the date section, Add and Remove, and what Next stores.
#include <QComboBox>
#include <QDateTimeEdit>
#include <QPointer>
#include <QTableWidget>
#include <QTest>

#include "options/date_rules.h"
#include "options/gui/filter_dlg.h"
#include "options/gui/search_option_dlg.h"
#include "tests/gui/wizard_fixture.h"

using namespace quillmere;
using gui::SearchOptionDlg;
using testing::WizardFixture;

namespace {

constexpr int kFilter = gui::kSelectDateRangeId, kPredefined = gui::kPredefinedPeriodId,
              kManual = gui::kManualPeriodId;

struct ScopePage : WizardFixture {
  ScopePage() { Open(); }
  // As the main window's Process (or the preview page's Next) does.
  SearchOptionDlg* Open() {
    page = new SearchOptionDlg(context, opener.get(), sessions);
    opener->ShowNextPage(page);
    return page;
  }
  void SetPickers(QDate start, QDate end) {
    Control<QDateTimeEdit>(page, gui::kStartDateId)->setDate(start);
    Control<QDateTimeEdit>(page, gui::kEndDateId)->setDate(end);
  }
  void AddRange(QDate start, QDate end) {
    SetPickers(start, end);
    Click(page, gui::kAddRangeId);
  }
  QTableWidget* Rows() { return Control<QTableWidget>(page, gui::kRangeListId); }
  std::vector<std::pair<QString, QString>> RowTexts() {
    std::vector<std::pair<QString, QString>> rows;
    for (int r = 0; r < Rows()->rowCount(); ++r) rows.emplace_back(Rows()->item(r, 0)->text(), Rows()->item(r, 1)->text());
    return rows;
  }
  // The calendar dates of the stored ranges, as (start, end) pairs.
  std::vector<std::pair<QDate, QDate>> StoredDates() {
    std::vector<std::pair<QDate, QDate>> dates;
    for (const DateRange& r : settings.m_dateRanges) {
      const auto s = *r.start.ToCivil(), e = *r.end.ToCivil();
      dates.emplace_back(QDate(s.year, s.month, s.day), QDate(e.year, e.month, e.day));
    }
    return dates;
  }
  // Next, then Back on the criteria page it opened.
  void NextAndBack() {
    Click(page, gui::kNextId);
    QVERIFY(page->NextPage());
    Click(page->NextPage(), 1015);
    QVERIFY(page->isVisible());
  }

  SearchOptionDlg* page = nullptr;
};

}  // namespace

class SearchOptionPageTest : public QObject {
  Q_OBJECT
 private slots:
  void opensWithSameFolderScopeAndAllTime();
  void scopePairStaysExclusiveAndEveryVisitStartsAtSameFolder_data();
  void scopePairStaysExclusiveAndEveryVisitStartsAtSameFolder();
  void dateSectionModes_data();
  void dateSectionModes();
  void manualRangesOutliveModeSwitches();
  void removingTheFirstOfThreeRowsKeepsTheOtherTwo();
  void addRefusesBadOrListedRanges_data();
  void addRefusesBadOrListedRanges();
  void nextInManualModeWithoutRowsStaysOnThePage();
};

void SearchOptionPageTest::opensWithSameFolderScopeAndAllTime() {
  ScopePage f;
  f.settings.m_scope = 2;  // whatever an earlier pass chose
  f.Open();
  auto* page = f.page;
  QVERIFY(page->isVisible());
  QVERIFY(!f.opener->isVisible());
  QCOMPARE(page->windowTitle(), QString("Velmora Quillmere-x64 v19.0"));
  QVERIFY(WizardFixture::Checked(page, gui::kSameFolderId));
  QVERIFY(!WizardFixture::Checked(page, gui::kAcrossFileId));
  QCOMPARE(f.settings.m_scope, 1);

  auto* periods = WizardFixture::Control<QComboBox>(page, gui::kPeriodListId);
  QCOMPARE(periods->count(), 11);
  QCOMPARE(periods->itemText(0), QString("All Time"));
  QCOMPARE(periods->itemText(10), QString("Last 3 Year Items"));
  QCOMPARE(periods->currentIndex(), 0);

  // The pickers open on today and show no time of day.
  for (int id : {gui::kStartDateId, gui::kEndDateId}) {
    auto* picker = WizardFixture::Control<QDateTimeEdit>(page, id);
    QCOMPARE(picker->date(), QDate(2024, 3, 6));
    QCOMPARE(picker->displayedSections() & QDateTimeEdit::TimeSections_Mask, QDateTimeEdit::NoSection);
    QVERIFY(picker->calendarPopup());
  }
  QCOMPARE(f.Rows()->columnCount(), 2);
  QCOMPARE(f.Rows()->horizontalHeaderItem(0)->text(), QString("Start Date Time"));
  QCOMPARE(f.Rows()->horizontalHeaderItem(1)->text(), QString("End Date Time"));

  f.settings.m_dateRanges = {{OleDate::FromDays(1), OleDate::FromDays(2)}};
  WizardFixture::Click(page, gui::kNextId);
  QVERIFY(f.settings.m_dateRanges.empty());
  QCOMPARE(f.settings.m_scope, 1);
  QVERIFY(f.TakePrompts().empty());
  QVERIFY(page->NextPage() && page->NextPage()->isVisible());
  QVERIFY(!page->isVisible());
}

void SearchOptionPageTest::scopePairStaysExclusiveAndEveryVisitStartsAtSameFolder_data() {
  QTest::addColumn<bool>("previewMode");
  QTest::newRow("entered through Process") << false;
  QTest::newRow("entered through Preview") << true;
}

void SearchOptionPageTest::scopePairStaysExclusiveAndEveryVisitStartsAtSameFolder() {
  QFETCH(bool, previewMode);
  ScopePage f;
  f.settings.m_previewMode = previewMode;
  QPointer<SearchOptionDlg> first = f.page;
  WizardFixture::Click(first, gui::kAcrossFileId);
  WizardFixture::Click(first, gui::kAcrossFileId);  // clicking it again keeps it on
  QVERIFY(WizardFixture::Checked(first, gui::kAcrossFileId));
  QVERIFY(!WizardFixture::Checked(first, gui::kSameFolderId));
  QCOMPARE(f.settings.m_scope, 2);
  f.NextAndBack();
  QCOMPARE(f.settings.m_scope, 2);

  WizardFixture::Click(first, gui::kBackId);
  WizardFixture::FlushDeletes();
  QVERIFY(f.opener->isVisible());
  QCOMPARE(f.settings.m_scope, 2);  // Back changes nothing
  // From the preview page the page goes; from the main window it stays, hidden.
  QCOMPARE(first.isNull(), previewMode);
  if (!previewMode) QVERIFY(!first->isVisible());

  f.Open();
  QVERIFY(WizardFixture::Checked(f.page, gui::kSameFolderId));
  QVERIFY(!WizardFixture::Checked(f.page, gui::kAcrossFileId));
  QCOMPARE(f.settings.m_scope, 1);
  WizardFixture::Click(f.page, gui::kSameFolderId);
  QVERIFY(WizardFixture::Checked(f.page, gui::kSameFolderId));
  QCOMPARE(f.settings.m_scope, 1);
}

void SearchOptionPageTest::dateSectionModes_data() {
  QTest::addColumn<QList<int>>("clicks");
  // 1021, 1022, 1024 checked; 1022/1024 enabled; period list enabled; manual part enabled.
  QTest::addColumn<QList<bool>>("look");
  const QList<bool> off{false, true, false, false, false, false};
  const QList<bool> predefined{true, true, false, true, true, false};
  const QList<bool> manual{true, false, true, true, false, true};
  QTest::newRow("fresh page") << QList<int>{} << predefined;
  QTest::newRow("filter off") << QList<int>{kFilter} << off;
  QTest::newRow("filter off and on") << QList<int>{kFilter, kFilter} << predefined;
  QTest::newRow("manual") << QList<int>{kManual} << manual;
  QTest::newRow("manual, filter off") << QList<int>{kManual, kFilter} << off;
  QTest::newRow("manual, filter off and on lands in predefined") << QList<int>{kManual, kFilter, kFilter}
                                                                 << predefined;
  QTest::newRow("manual then predefined") << QList<int>{kManual, kPredefined} << predefined;
  QTest::newRow("manual clicked twice stays manual") << QList<int>{kManual, kManual} << manual;
}

void SearchOptionPageTest::dateSectionModes() {
  QFETCH(QList<int>, clicks);
  QFETCH(QList<bool>, look);
  ScopePage f;
  auto* periods = WizardFixture::Control<QComboBox>(f.page, gui::kPeriodListId);
  periods->setCurrentIndex(options::kLast3Months);
  for (int id : clicks) WizardFixture::Click(f.page, id);

  auto* page = f.page;
  QCOMPARE(WizardFixture::Checked(page, kFilter), look[0]);
  QCOMPARE(WizardFixture::Checked(page, kPredefined), look[1]);
  QCOMPARE(WizardFixture::Checked(page, kManual), look[2]);
  QCOMPARE(WizardFixture::Enabled(page, kPredefined), look[3]);
  QCOMPARE(WizardFixture::Enabled(page, kManual), look[3]);
  QCOMPARE(WizardFixture::Enabled(page, gui::kPeriodListId), look[4]);
  for (int id : {gui::kStartDateId, gui::kEndDateId, gui::kRangeListId, gui::kAddRangeId, gui::kRemoveRangeId})
    QCOMPARE(WizardFixture::Enabled(page, id), look[5]);
  QCOMPARE(periods->currentIndex(), int(options::kLast3Months));  // a mode change keeps the period

  // With the filter off, Next never asks for ranges and stores none.
  if (!look[0]) {
    f.settings.m_dateRanges = {{OleDate::FromDays(1), OleDate::FromDays(2)}};
    WizardFixture::Click(page, gui::kNextId);
    QVERIFY(f.TakePrompts().empty());
    QVERIFY(f.settings.m_dateRanges.empty());
    QVERIFY(page->NextPage());
  }
}

void SearchOptionPageTest::manualRangesOutliveModeSwitches() {
  ScopePage f;
  WizardFixture::Click(f.page, kManual);
  f.AddRange(QDate(2023, 1, 1), QDate(2023, 1, 31));
  f.AddRange(QDate(2023, 6, 1), QDate(2023, 6, 30));
  QVERIFY(f.TakePrompts().empty());

  WizardFixture::Click(f.page, kPredefined);
  WizardFixture::Control<QComboBox>(f.page, gui::kPeriodListId)->setCurrentIndex(options::kLast1Week);
  QCOMPARE(f.Rows()->rowCount(), 2);
  f.NextAndBack();
  // Wednesday 6 March 2024: the seven days up to the Sunday before.
  QCOMPARE(f.StoredDates(), (std::vector<std::pair<QDate, QDate>>{{QDate(2024, 2, 26), QDate(2024, 3, 3)}}));

  WizardFixture::Click(f.page, kFilter);
  WizardFixture::Click(f.page, kFilter);
  WizardFixture::Click(f.page, kManual);
  QCOMPARE(f.Rows()->rowCount(), 2);
  QCOMPARE(f.page->ManualRanges().size(), size_t(2));
  f.NextAndBack();
  QCOMPARE(f.StoredDates(), (std::vector<std::pair<QDate, QDate>>{{QDate(2023, 1, 1), QDate(2023, 1, 31)},
                                                                  {QDate(2023, 6, 1), QDate(2023, 6, 30)}}));
  // The stored values carry the time of day at which the page opened.
  QCOMPARE(f.settings.m_dateRanges[0].start.ToCivil()->hour, 14);
  QCOMPARE(f.settings.m_dateRanges[0].start.ToCivil()->second, 9);
}

void SearchOptionPageTest::removingTheFirstOfThreeRowsKeepsTheOtherTwo() {
  ScopePage f;
  WizardFixture::Click(f.page, kManual);
  WizardFixture::Click(f.page, gui::kRemoveRangeId);
  QCOMPARE(f.TakePrompts(), std::vector<std::string>{"No item is present in the list to remove."});

  f.AddRange(QDate(2022, 1, 1), QDate(2022, 2, 1));
  f.AddRange(QDate(2022, 3, 1), QDate(2022, 4, 1));
  f.AddRange(QDate(2022, 5, 1), QDate(2022, 6, 1));
  f.Rows()->clearSelection();
  WizardFixture::Click(f.page, gui::kRemoveRangeId);
  QCOMPARE(f.TakePrompts(), std::vector<std::string>{"Please select item in the list to remove."});
  QCOMPARE(f.Rows()->rowCount(), 3);

  f.Rows()->selectRow(0);
  WizardFixture::Click(f.page, gui::kRemoveRangeId);
  QVERIFY(f.TakePrompts().empty());
  QCOMPARE(f.RowTexts(), (std::vector<std::pair<QString, QString>>{
                             {"Tuesday, March 01, 2022", "Friday, April 01, 2022"},
                             {"Sunday, May 01, 2022", "Wednesday, June 01, 2022"}}));
  WizardFixture::Click(f.page, gui::kNextId);
  QCOMPARE(f.StoredDates(), (std::vector<std::pair<QDate, QDate>>{{QDate(2022, 3, 1), QDate(2022, 4, 1)},
                                                                  {QDate(2022, 5, 1), QDate(2022, 6, 1)}}));
}

void SearchOptionPageTest::addRefusesBadOrListedRanges_data() {
  QTest::addColumn<QDate>("start");
  QTest::addColumn<QDate>("end");
  QTest::addColumn<QString>("message");
  const QString order = options::kManualRangeInvalidText;
  const QString listed = options::kRangeAlreadyListedText;
  // The list already holds 10 to 20 January 2024.
  QTest::newRow("same date in both pickers") << QDate(2024, 2, 5) << QDate(2024, 2, 5) << order;
  QTest::newRow("start after end") << QDate(2024, 2, 6) << QDate(2024, 2, 5) << order;
  QTest::newRow("already listed") << QDate(2024, 1, 10) << QDate(2024, 1, 20) << listed;
  QTest::newRow("same start, other end") << QDate(2024, 1, 10) << QDate(2024, 1, 21) << QString();
}

void SearchOptionPageTest::addRefusesBadOrListedRanges() {
  QFETCH(QDate, start);
  QFETCH(QDate, end);
  QFETCH(QString, message);
  ScopePage f;
  WizardFixture::Click(f.page, kManual);
  f.AddRange(QDate(2024, 1, 10), QDate(2024, 1, 20));
  f.AddRange(start, end);
  const auto prompts = f.TakePrompts();
  if (message.isEmpty()) {
    QVERIFY(prompts.empty());
    QCOMPARE(f.Rows()->rowCount(), 2);
    return;
  }
  QCOMPARE(prompts, std::vector<std::string>{message.toStdString()});
  QCOMPARE(f.Rows()->rowCount(), 1);
  QCOMPARE(f.page->ManualRanges().size(), size_t(1));
}

void SearchOptionPageTest::nextInManualModeWithoutRowsStaysOnThePage() {
  ScopePage f;
  const std::vector<DateRange> earlier{{OleDate::FromDays(40000), OleDate::FromDays(40010)}};
  f.settings.m_dateRanges = earlier;
  WizardFixture::Click(f.page, kManual);
  WizardFixture::Click(f.page, gui::kNextId);
  const auto asked = f.fakes.prompter.Asked();
  QCOMPARE(asked.size(), size_t(1));
  QCOMPARE(asked[0].text, std::string("Please add time range to process the application."));
  QCOMPARE(asked[0].caption, std::string("Velmora Quillmere-x64 v19.0"));
  QVERIFY(asked[0].icon == platform::PromptIcon::Information);
  QVERIFY(f.settings.m_dateRanges.size() == 1 && f.settings.m_dateRanges[0].start == earlier[0].start);
  QVERIFY(f.page->isVisible());
  QVERIFY(!f.page->NextPage());
}

QTEST_MAIN(SearchOptionPageTest)
#include "search_option_page_test.moc"
