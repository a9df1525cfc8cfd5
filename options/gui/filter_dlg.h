#pragma once
// The comparison-criteria page: the eight fields that make two items the
// same, and what should become of the duplicates (stored for an action step;
// the run only reports). Next checks and stores the choices and opens the
// run page.
#include <QPointer>

#include "app/gui/page_frame.h"
#include "detect/gui/processdlg.h"
#include "options/gui/criteria_rules.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quillmere::store {
class StoreSessionFactory;
}

namespace quillmere::gui {

// Control ids of the criteria page; 1032 to 1039 are the criteria in order.
inline constexpr int kFirstCriterionId = 1032;
inline constexpr int kRemoveInOriginalId = 1040;
inline constexpr int kActionListId = 1023;
inline constexpr int kFolderNameLabelId = 1048;
inline constexpr int kFolderNameId = 1041;
inline constexpr int kMakeNewPstId = 1042;
inline constexpr int kDestinationId = 1043;
inline constexpr int kBrowseId = 1044;
inline constexpr int kAddToProfileId = 1045;

inline constexpr const char* kBrowseTitle = "Select location to save PST file(s).";

class FilterDlg : public WizardPage {
  Q_OBJECT
 public:
  FilterDlg(PageContext& context, WizardPage* parent, store::StoreSessionFactory& sessions);
  ~FilterDlg() override;

  void OnRemoveInOriginal();
  void OnMakeNewPst();
  void OnActionChanged();
  void OnBrowseLocation();
  void OnNext();
  void OnBack();

  Processdlg* NextPage() const { return m_nextPage; }

 private:
  options::CriteriaPageChoices Choices() const;
  // The caption of the box that has none of the application's own: the
  // program's file name without its extension.
  static std::string ProgramName();

  store::StoreSessionFactory& m_sessions;
  QCheckBox* m_criteria[8];
  QRadioButton* m_removeInOriginal;
  QComboBox* m_actions;
  QLabel* m_folderNameLabel;
  QLineEdit* m_folderName;
  QRadioButton* m_makeNewPst;
  QLineEdit* m_destination;
  QPushButton* m_browse;
  QCheckBox* m_addToProfile;
  QPointer<Processdlg> m_nextPage;
};

}  // namespace quillmere::gui
