#include "options/gui/filter_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <filesystem>

#include "app/gui/image_button.h"
#include "detect/gui/processdlg.h"

namespace quillmere::gui {
namespace {

struct Spot {
  int x, y, w, h;
};

// Where the eight criteria stand, in criteria order (two rows of four).
constexpr Spot kCriterionSpots[8] = {{132, 95, 31, 10},  {217, 95, 40, 10},  {304, 95, 85, 10},
                                     {433, 95, 59, 10},  {132, 115, 64, 10}, {217, 115, 68, 10},
                                     {304, 114, 97, 10}, {433, 115, 69, 10}};
// Initially ticked: subject, sender e-mail address, attachments.
constexpr bool kInitiallyTicked[8] = {false, true, true, false, false, false, false, true};

bool NameExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::exists(path, ec);
}

std::string Trimmed(const std::string& text) { return QString::fromStdString(text).trimmed().toStdString(); }

}  // namespace

FilterDlg::FilterDlg(PageContext& context, WizardPage* parent, store::StoreSessionFactory& sessions)
    : WizardPage(kFilterTemplate, context, parent), m_sessions(sessions) {
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  white.setColor(QPalette::Button, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);

  Place(new QGroupBox(QStringLiteral("Settings:")), 2001, 108, 62, 419, 230);
  Place(new QGroupBox(QStringLiteral("Select Comparison Criteria:")), 2002, 120, 77, 400, 60);
  Place(new QGroupBox, 2003, 120, 153, 400, 60);
  Place(new QGroupBox, 2004, 120, 225, 400, 44);

  for (int i = 0; i < 8; ++i) {
    m_criteria[i] = new QCheckBox(QString::fromUtf8(options::kCriterionCaptions[size_t(i)]));
    const Spot& s = kCriterionSpots[i];
    Place(m_criteria[i], kFirstCriterionId + i, s.x, s.y, s.w, s.h);
  }

  m_removeInOriginal = new QRadioButton(QStringLiteral("Remove Duplicates in original PST File(s):"));
  m_removeInOriginal->setAutoExclusive(false);
  m_removeInOriginal->setAutoFillBackground(true);  // on its frame's top edge
  Place(m_removeInOriginal, kRemoveInOriginalId, 124, 153, 147, 10);
  Place(new QLabel(QStringLiteral("Choose Action:")), 2005, 166, 173, 50, 8);
  m_actions = new QComboBox;
  m_actions->setEditable(false);
  Place(m_actions, kActionListId, 246, 170, 195, 13);
  m_folderNameLabel = new QLabel(QStringLiteral("Enter Folder Name:"));
  Place(m_folderNameLabel, kFolderNameLabelId, 166, 194, 63, 8);
  m_folderName = new QLineEdit;
  Place(m_folderName, kFolderNameId, 246, 190, 195, 12);

  m_makeNewPst = new QRadioButton(QStringLiteral("Make New PST File(s):"));
  m_makeNewPst->setAutoExclusive(false);
  m_makeNewPst->setAutoFillBackground(true);
  Place(m_makeNewPst, kMakeNewPstId, 125, 225, 87, 10);
  m_destination = new QLineEdit;
  Place(m_destination, kDestinationId, 128, 243, 356, 14);
  m_browse = new QPushButton(QStringLiteral("..."));
  m_browse->setAutoDefault(false);
  Place(m_browse, kBrowseId, 490, 243, 22, 15);
  m_addToProfile = new QCheckBox(QStringLiteral("Add PST File in Outlook Profile"));
  Place(m_addToProfile, kAddToProfileId, 124, 274, 111, 10);

  auto* back = AddImageButton(1015, "Back", "Back", 198, 199, 321, 309, 65, 16);
  auto* next = AddImageButton(1016, "Next", "Next", 206, 207, 392, 309, 65, 16);

  for (const char* entry : options::kActionTexts) m_actions->addItem(QString::fromUtf8(entry));
  m_actions->setCurrentIndex(0);
  m_folderName->hide();
  m_folderNameLabel->hide();
  for (int i = 0; i < 8; ++i) m_criteria[i]->setChecked(kInitiallyTicked[i]);
  OnMakeNewPst();
  m_addToProfile->setChecked(true);

  connect(m_removeInOriginal, &QRadioButton::clicked, this, &FilterDlg::OnRemoveInOriginal);
  connect(m_makeNewPst, &QRadioButton::clicked, this, &FilterDlg::OnMakeNewPst);
  connect(m_actions, &QComboBox::currentIndexChanged, this, &FilterDlg::OnActionChanged);
  connect(m_browse, &QPushButton::clicked, this, &FilterDlg::OnBrowseLocation);
  connect(back, &QPushButton::clicked, this, &FilterDlg::OnBack);
  connect(next, &QPushButton::clicked, this, &FilterDlg::OnNext);
}

FilterDlg::~FilterDlg() = default;

void FilterDlg::OnRemoveInOriginal() {
  m_makeNewPst->setChecked(false);
  m_removeInOriginal->setChecked(true);
  m_actions->setEnabled(true);
  m_destination->setEnabled(false);
  m_browse->setEnabled(false);
  Settings().m_outputMode = 2;
}

void FilterDlg::OnMakeNewPst() {
  m_makeNewPst->setChecked(true);
  m_removeInOriginal->setChecked(false);
  m_actions->setEnabled(false);
  m_destination->setEnabled(true);
  m_browse->setEnabled(true);
  Settings().m_outputMode = 1;
}

void FilterDlg::OnActionChanged() {
  const bool needsName = options::ActionNeedsSubfolder(m_actions->currentIndex());
  m_folderNameLabel->setVisible(needsName);
  m_folderName->setVisible(needsName);
}

void FilterDlg::OnBrowseLocation() {
  auto chosen = Context().ports.fileDialogs->BrowseFolder({kBrowseTitle, {}, this});
  if (!chosen) return;
  const std::string path = Trimmed(*chosen);
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) m_destination->setText(QString::fromStdString(path));
}

options::CriteriaPageChoices FilterDlg::Choices() const {
  options::CriteriaPageChoices c;
  for (int i = 0; i < 8; ++i) c.criteria[size_t(i)] = m_criteria[i]->isChecked();
  c.action = m_actions->currentIndex();
  c.subfolderName = m_folderName->text().toStdString();
  c.makeNewPst = m_makeNewPst->isChecked();
  c.destination = m_destination->text().toStdString();
  c.addToProfile = m_addToProfile->isChecked();
  return c;
}

std::string FilterDlg::ProgramName() {
  return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

void FilterDlg::OnNext() {
  switch (options::ApplyCriteriaNext(Choices(), Settings(), NameExists)) {
    case options::CriteriaStop::kNoCriterion:
      Context().ports.prompter->Ask({ProgramName(), options::kNoCriterionText, platform::PromptIcon::None,
                                     platform::PromptButtons::Ok, this});
      return;
    case options::CriteriaStop::kNoFolderName:
      Notice(options::kEnterFolderNameText);
      return;
    case options::CriteriaStop::kInvalidDestination:
      Notice(options::kInvalidDestinationText);
      return;
    case options::CriteriaStop::kNone:
      break;
  }
  // Each Next makes a fresh run page; the one before was ended by its Back.
  if (m_nextPage) m_nextPage->deleteLater();
  m_nextPage = new Processdlg(Context(), this, m_sessions);
  ShowNextPage(m_nextPage);
}

void FilterDlg::OnBack() { ReturnToParent(); }

}  // namespace quillmere::gui
