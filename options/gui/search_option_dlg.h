#pragma once
// The scope and date-range page: duplicates within each folder or across the
// file, and the date filter (a predefined period or ranges entered by hand).
// Next stores m_dateRanges and opens the comparison-criteria page.
#include <QPointer>
#include <functional>
#include <vector>

#include "app/gui/page_frame.h"
#include "app/run_settings.h"
#include "options/gui/filter_dlg.h"
#include "options/gui/scope_rules.h"

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QRadioButton;
class QTableWidget;

namespace quillmere::store {
class StoreSessionFactory;
}

namespace quillmere::gui {

class ImageButton;

// Control ids of the scope page.
inline constexpr int kSameFolderId = 1017;
inline constexpr int kAcrossFileId = 1018;
inline constexpr int kSelectDateRangeId = 1021;
inline constexpr int kPredefinedPeriodId = 1022;
inline constexpr int kPeriodListId = 1023;
inline constexpr int kManualPeriodId = 1024;
inline constexpr int kStartDateId = 1025;
inline constexpr int kEndDateId = 1026;
inline constexpr int kRangeListId = 1027;
inline constexpr int kAddRangeId = 1000;
inline constexpr int kRemoveRangeId = 1002;
inline constexpr int kBackId = 1015;
inline constexpr int kNextId = 1016;

class SearchOptionDlg : public WizardPage {
  Q_OBJECT
 public:
  // `parent` is the preview page (m_previewMode set) or the main window.
  // `sessions` opens the files of the run page this wizard leads to.
  SearchOptionDlg(PageContext& context, WizardPage* parent, store::StoreSessionFactory& sessions);
  ~SearchOptionDlg() override;

  void OnSameFolder();
  void OnAcrossFile();
  void OnSelectDateRange();
  void OnPredefinedPeriod();
  void OnManualPeriod();
  void OnAddRange();
  void OnRemoveRange();
  void OnNext();
  void OnBack();

  const std::vector<DateRange>& ManualRanges() const { return m_manualRanges; }
  FilterDlg* NextPage() const { return m_nextPage; }

 private:
  void EnterMode(options::DateMode mode);
  OleDate PickerValue(QDateTimeEdit* picker) const;

  store::StoreSessionFactory& m_sessions;
  QRadioButton* m_sameFolder;
  QRadioButton* m_acrossFile;
  QCheckBox* m_selectDateRange;
  QRadioButton* m_predefined;
  QComboBox* m_periods;
  QRadioButton* m_manual;
  QDateTimeEdit* m_start;
  QDateTimeEdit* m_end;
  QTableWidget* m_rangeList;
  ImageButton* m_add;
  ImageButton* m_remove;
  // The time of day at which the page opened: the pickers show no time and
  // give this one with the date picked.
  int m_secondsOfDay = 0;
  std::vector<DateRange> m_manualRanges;
  QPointer<FilterDlg> m_nextPage;
};

// The maker the main window and the preview page use to open this page.
std::function<WizardPage*(WizardPage& parent)> SearchOptionPageMaker(store::StoreSessionFactory& sessions);

}  // namespace quillmere::gui
