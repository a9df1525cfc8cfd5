#include "options/gui/search_option_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QTableWidget>

#include "app/gui/image_button.h"
#include "options/date_rules.h"
#include "options/gui/filter_dlg.h"

namespace quillmere::gui {
namespace {

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

// Radio buttons that each start a group of their own: the handlers set both
// buttons of a pair, nothing clears a partner by itself.
QRadioButton* MakeLoneRadio(const char* caption) {
  auto* radio = new QRadioButton(QString::fromUtf8(caption));
  radio->setAutoExclusive(false);
  return radio;
}

}  // namespace

SearchOptionDlg::SearchOptionDlg(PageContext& context, WizardPage* parent, store::StoreSessionFactory& sessions)
    : WizardPage(kSearchOptionTemplate, context, parent), m_sessions(sessions) {
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  white.setColor(QPalette::Button, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);

  // The frames first, so that the controls lie above them.
  Place(new QGroupBox(QStringLiteral("Duplicate Criteria:")), 2001, 115, 56, 403, 56);
  Place(new QGroupBox, 2002, 115, 120, 403, 188);
  Place(new QGroupBox, 2003, 127, 177, 378, 124);

  m_sameFolder = MakeLoneRadio("Search Duplicate Items in Same Folder");
  Place(m_sameFolder, kSameFolderId, 131, 72, 138, 10);
  m_acrossFile = MakeLoneRadio("Search Duplicate Items across Pst File");
  Place(m_acrossFile, kAcrossFileId, 131, 90, 137, 10);

  m_selectDateRange = new QCheckBox(QStringLiteral("Select Date Range:"));
  m_selectDateRange->setAutoFillBackground(true);  // sits on its frame's top edge
  Place(m_selectDateRange, kSelectDateRangeId, 123, 119, 78, 10);
  m_predefined = MakeLoneRadio("PreDefine Time Period:");
  Place(m_predefined, kPredefinedPeriodId, 133, 137, 89, 10);
  m_periods = new QComboBox;
  m_periods->setEditable(false);
  Place(m_periods, kPeriodListId, 144, 153, 290, 13);
  m_manual = MakeLoneRadio("Define Time Period Manually");
  m_manual->setAutoFillBackground(true);
  Place(m_manual, kManualPeriodId, 133, 177, 105, 10);

  Place(new QLabel(QStringLiteral("Start Date:")), 2004, 147, 195, 40, 8);
  Place(new QLabel(QStringLiteral("End Date:")), 2005, 299, 195, 33, 8);
  // The pickers open on today at the time the page opened; the time is
  // neither shown nor editable.
  const CivilDateTime now = context.ports.clock->Now();
  m_secondsOfDay = now.hour * 3600 + now.minute * 60 + now.second;
  const QString shortDate = QLocale().dateFormat(QLocale::ShortFormat);
  for (auto [picker, id, x] : {std::tuple{&m_start, kStartDateId, 194}, std::tuple{&m_end, kEndDateId, 340}}) {
    *picker = new QDateTimeEdit;
    (*picker)->setCalendarPopup(true);
    (*picker)->setDisplayFormat(shortDate);
    (*picker)->setMinimumDate(QDate(1900, 1, 1));
    (*picker)->setDate(QDate(now.year, now.month, now.day));
    Place(*picker, id, x, 192, 85, 15);
  }

  m_rangeList = new QTableWidget(0, 2);
  Place(m_rangeList, kRangeListId, 136, 212, 274, 83);
  m_rangeList->setHorizontalHeaderLabels({"Start Date Time", "End Date Time"});
  m_rangeList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  m_rangeList->horizontalHeader()->setStretchLastSection(false);
  m_rangeList->setColumnWidth(0, 200);
  m_rangeList->setColumnWidth(1, 200);
  m_rangeList->verticalHeader()->hide();
  m_rangeList->setShowGrid(true);
  m_rangeList->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_rangeList->setSelectionMode(QAbstractItemView::SingleSelection);
  m_rangeList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_rangeList->setWordWrap(false);

  m_add = AddImageButton(kAddRangeId, "Add", "Add", 194, 195, 417, 223, 75, 16);
  m_remove = AddImageButton(kRemoveRangeId, "Remove", "Remove", 224, 225, 417, 246, 75, 16);
  auto* back = AddImageButton(kBackId, "Back", "Back", 198, 199, 317, 320, 65, 16);
  auto* next = AddImageButton(kNextId, "Next", "Next", 206, 207, 390, 320, 65, 16);

  connect(m_sameFolder, &QRadioButton::clicked, this, &SearchOptionDlg::OnSameFolder);
  connect(m_acrossFile, &QRadioButton::clicked, this, &SearchOptionDlg::OnAcrossFile);
  connect(m_selectDateRange, &QCheckBox::clicked, this, &SearchOptionDlg::OnSelectDateRange);
  connect(m_predefined, &QRadioButton::clicked, this, &SearchOptionDlg::OnPredefinedPeriod);
  connect(m_manual, &QRadioButton::clicked, this, &SearchOptionDlg::OnManualPeriod);
  connect(m_add, &QPushButton::clicked, this, &SearchOptionDlg::OnAddRange);
  connect(m_remove, &QPushButton::clicked, this, &SearchOptionDlg::OnRemoveRange);
  connect(back, &QPushButton::clicked, this, &SearchOptionDlg::OnBack);
  connect(next, &QPushButton::clicked, this, &SearchOptionDlg::OnNext);

  // Every visit starts with the same-folder scope, whatever an earlier one chose.
  m_sameFolder->setChecked(true);
  m_acrossFile->setChecked(false);
  Settings().m_scope = 1;
  for (int p = 0; p < options::kDatePeriodCount; ++p)
    m_periods->addItem(QString::fromUtf8(options::DatePeriodText(p)));
  m_periods->setCurrentIndex(options::kAllTime);
  EnterMode(options::DateMode::kPredefined);
}

SearchOptionDlg::~SearchOptionDlg() = default;

void SearchOptionDlg::EnterMode(options::DateMode mode) {
  const options::DateSectionLook look = options::LookOf(mode);
  m_selectDateRange->setChecked(look.dateFilterChecked);
  m_predefined->setChecked(look.predefinedChecked);
  m_manual->setChecked(look.manualChecked);
  m_predefined->setEnabled(look.modeButtonsEnabled);
  m_manual->setEnabled(look.modeButtonsEnabled);
  m_periods->setEnabled(look.periodListEnabled);
  for (QWidget* w : std::initializer_list<QWidget*>{m_start, m_end, m_rangeList, m_add, m_remove})
    w->setEnabled(look.manualPartEnabled);
}

void SearchOptionDlg::OnSameFolder() {
  m_sameFolder->setChecked(true);
  m_acrossFile->setChecked(false);
  Settings().m_scope = 1;
}

void SearchOptionDlg::OnAcrossFile() {
  m_sameFolder->setChecked(false);
  m_acrossFile->setChecked(true);
  Settings().m_scope = 2;
}

void SearchOptionDlg::OnSelectDateRange() {
  EnterMode(m_selectDateRange->isChecked() ? options::DateMode::kPredefined : options::DateMode::kOff);
}

void SearchOptionDlg::OnPredefinedPeriod() { EnterMode(options::DateMode::kPredefined); }

void SearchOptionDlg::OnManualPeriod() { EnterMode(options::DateMode::kManual); }

OleDate SearchOptionDlg::PickerValue(QDateTimeEdit* picker) const {
  const QDate d = picker->date();
  return OleDate::FromCivil(
      {d.year(), d.month(), d.day(), m_secondsOfDay / 3600, m_secondsOfDay / 60 % 60, m_secondsOfDay % 60});
}

void SearchOptionDlg::OnAddRange() {
  const OleDate start = PickerValue(m_start);
  const OleDate end = PickerValue(m_end);
  if (!options::IsManualRangeValid(start, end)) {
    Notice(options::kManualRangeInvalidText);
    return;
  }
  std::vector<std::pair<std::string, std::string>> rows;
  for (int row = 0; row < m_rangeList->rowCount(); ++row)
    rows.emplace_back(m_rangeList->item(row, 0)->text().toStdString(), m_rangeList->item(row, 1)->text().toStdString());
  if (options::IsRangeListed(start, end, rows)) {
    Notice(options::kRangeAlreadyListedText);
    return;
  }
  m_manualRanges.push_back({start, end});
  const int row = m_rangeList->rowCount();
  m_rangeList->insertRow(row);
  m_rangeList->setItem(row, 0, new QTableWidgetItem(ToQt(FormatDateLong(start))));
  m_rangeList->setItem(row, 1, new QTableWidgetItem(ToQt(FormatDateLong(end))));
}

void SearchOptionDlg::OnRemoveRange() {
  if (m_rangeList->rowCount() == 0) {
    Notice(options::kNoRangeToRemoveText);
    return;
  }
  const auto selected = m_rangeList->selectionModel()->selectedRows();
  if (selected.isEmpty()) {
    Notice(options::kNoRangeSelectedText);
    return;
  }
  const int row = selected.front().row();
  m_manualRanges.erase(m_manualRanges.begin() + row);
  m_rangeList->removeRow(row);
  m_rangeList->clearSelection();
}

void SearchOptionDlg::OnNext() {
  const auto mode = options::ModeOf(m_selectDateRange->isChecked(), m_manual->isChecked());
  auto result =
      options::DateRangesForNext(mode, m_periods->currentIndex(), m_manualRanges, Context().ports.clock->Now());
  if (result.message) {
    Notice(*result.message);
    return;
  }
  Settings().m_dateRanges = std::move(result.dateRanges);
  // A further Next makes a fresh criteria page; the one before is done with.
  if (m_nextPage) m_nextPage->deleteLater();
  m_nextPage = new FilterDlg(Context(), this, m_sessions);
  ShowNextPage(m_nextPage);
}

void SearchOptionDlg::OnBack() {
  ReturnToParent();
  // Entered from the preview page, the page goes; entered from the main
  // window, it stays alive, hidden, as the main window's page.
  if (Settings().m_previewMode) deleteLater();
}

std::function<WizardPage*(WizardPage& parent)> SearchOptionPageMaker(store::StoreSessionFactory& sessions) {
  return [&sessions](WizardPage& parent) -> WizardPage* {
    return new SearchOptionDlg(parent.Context(), &parent, sessions);
  };
}

}  // namespace quillmere::gui
