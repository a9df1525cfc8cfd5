#include "app/gui/page_frame.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>

#include <array>

#include "app/gui/about_box.h"
#include "app/gui/image_button.h"
#include "resources/artwork.h"
#include "resources/resource_table.h"

namespace quillmere::gui {
namespace {

constexpr std::array kFrameLayouts = {
    //           id   width height  header            left panel        footer
    FrameLayout{102, 532, 361, {0, 0, 534, 44}, {0, 45, 101, 316}, {0, 337, 534, 24},
                //  about             help               minimise          cross              Close
                {4, 340, 20, 17}, {29, 340, 20, 17}, {494, 4, 17, 17}, {513, 4, 17, 17}, {452, 341, 75, 16}},
    FrameLayout{129, 533, 359, {0, 0, 534, 44}, {}, {0, 335, 534, 24},
                {2, 338, 21, 17}, {28, 338, 21, 17}, {494, 4, 17, 17}, {514, 4, 17, 17}, {464, 339, 65, 16}},
    FrameLayout{131, 532, 341, {0, 0, 534, 44}, {0, 0, 101, 316}, {0, 316, 534, 24},
                {3, 320, 21, 17}, {29, 320, 21, 17}, {494, 4, 17, 17}, {513, 4, 17, 17}, {461, 320, 65, 16}},
    FrameLayout{132, 533, 329, {0, 0, 534, 44}, {0, 0, 101, 316}, {0, 305, 534, 24},
                {4, 307, 20, 17}, {29, 307, 20, 17}, {494, 4, 17, 17}, {514, 4, 17, 17}, {463, 309, 65, 16}},
    FrameLayout{133, 533, 334, {0, 0, 533, 45}, {0, 17, 101, 316}, {0, 310, 534, 24},
                {3, 313, 21, 17}, {30, 313, 21, 17}, {495, 4, 17, 17}, {515, 4, 17, 17}, {464, 314, 65, 16}},
};

}  // namespace

const FrameLayout* FindFrameLayout(int templateId) {
  for (const auto& layout : kFrameLayouts)
    if (layout.templateId == templateId) return &layout;
  return nullptr;
}

WizardPage::WizardPage(int templateId, PageContext& context, QWidget* parent)
    : QDialog(parent),
      m_context(context),
      m_layout(FindFrameLayout(templateId) ? *FindFrameLayout(templateId) : kFrameLayouts[0]),
      m_units(PageFont()),
      m_dragger(this),
      m_keyFilter(new EnterEscapeFilter(this)) {
  // A top-level window of its own (own taskbar entry) without a caption bar.
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint);
  setObjectName(QString::number(m_layout.templateId));
  setFont(PageFont());
  setWindowTitle(QString::fromUtf8(kApplicationTitle));
  setWindowIcon(resources::ApplicationIcon());
  setFixedSize(m_units.Size(m_layout.width, m_layout.height));
  BuildFrame();
}

WizardPage::~WizardPage() = default;

void WizardPage::Place(QWidget* control, int id, int x, int y, int w, int h) {
  control->setParent(this);
  control->setObjectName(QString::number(id));
  control->setGeometry(m_units.Rect(x, y, w, h));
}

ImageButton* WizardPage::AddImageButton(int id, const QString& caption, const QString& tooltip,
                                        int image, int hoverImage, int x, int y, int w, int h) {
  auto* button = new ImageButton(id, caption, tooltip, image, hoverImage, this);
  button->setGeometry(m_units.Rect(x, y, w, h));
  return button;
}

void WizardPage::AddBanner(int resource, const DluRect& where) {
  if (where.IsEmpty()) return;
  const QRect rect = m_units.Rect(where.x, where.y, where.w, where.h);
  auto* banner = new QLabel(this);
  banner->setObjectName(QStringLiteral("banner%1").arg(resource));
  // Drawn at the template's rectangle, which is the bitmap's size at the
  // design font's metrics and follows the font here.
  banner->setPixmap(resources::LoadPixmap(resource, rect.size()));
  banner->setGeometry(rect);
}

void WizardPage::BuildFrame() {
  // The left panel lies under the header where both overlap.
  AddBanner(resources::kLeftPanelBanner, m_layout.leftPanel);
  AddBanner(resources::kHeaderBanner, m_layout.header);
  AddBanner(resources::kFooterBanner, m_layout.footer);

  const auto& l = m_layout;
  auto* about = AddImageButton(kAboutButtonId, {}, QStringLiteral("About"), 192, 193, l.about.x,
                               l.about.y, l.about.w, l.about.h);
  auto* help = AddImageButton(kHelpButtonId, {}, QStringLiteral("Help"), 204, 205, l.help.x, l.help.y,
                              l.help.w, l.help.h);
  // The minimise button carries the Help button's tooltip.
  auto* minimise = AddImageButton(kMinimiseButtonId, {}, QStringLiteral("Help"), 228, 229, l.minimise.x,
                                  l.minimise.y, l.minimise.w, l.minimise.h);
  auto* cross = AddImageButton(kCrossButtonId, {}, QStringLiteral("Close the application"), 202, 203,
                               l.cross.x, l.cross.y, l.cross.w, l.cross.h);
  auto* close = AddImageButton(kCloseButtonId, QStringLiteral("Close"), QStringLiteral("Close the application"),
                               226, 227, l.close.x, l.close.y, l.close.w, l.close.h);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QString::number(kCancelButtonId));
  cancel->setAutoDefault(false);
  cancel->hide();

  connect(about, &QPushButton::clicked, this, &WizardPage::ShowAboutBox);
  connect(help, &QPushButton::clicked, this, &WizardPage::OpenHelpPage);
  connect(minimise, &QPushButton::clicked, this, &WizardPage::MinimisePage);
  connect(cross, &QPushButton::clicked, this, &WizardPage::CloseWithProductPage);
  connect(close, &QPushButton::clicked, this, &WizardPage::CloseWithProductPage);
  connect(cancel, &QPushButton::clicked, this, &WizardPage::CloseQuietly);
}

void WizardPage::Notice(const std::string& text) {
  m_context.ports.prompter->Ask({kApplicationTitle, text, platform::PromptIcon::Information,
                                 platform::PromptButtons::Ok, this});
}

bool WizardPage::Question(const std::string& text) {
  return m_context.ports.prompter->Ask({kApplicationTitle, text, platform::PromptIcon::Question,
                                        platform::PromptButtons::YesNo, this}) ==
         platform::PromptAnswer::Yes;
}

bool WizardPage::QuestionWithInformationIcon(const std::string& text) {
  return m_context.ports.prompter->Ask({kApplicationTitle, text, platform::PromptIcon::Information,
                                        platform::PromptButtons::YesNo, this}) ==
         platform::PromptAnswer::Yes;
}

void WizardPage::ShowAboutBox() {
  // The about box has no parent window, as on every page.
  CQuillmereAboutDlg about(m_context, nullptr);
  if (m_context.runModal)
    m_context.runModal(about);
  else
    about.exec();
}

void WizardPage::OpenHelpPage() {
  if (!m_context.helpPage.empty()) m_context.ports.urlOpener->Open(m_context.helpPage, nullptr);
}

void WizardPage::MinimisePage() { showMinimized(); }

void WizardPage::CloseWithProductPage() { RunCloseFlow(true); }

void WizardPage::CloseQuietly() { RunCloseFlow(false); }

void WizardPage::RunCloseFlow(bool openProductPage) {
  if (RefuseClose()) return;
  if (!Question("Do you want to close the application?")) return;
  Notice("Log file path: \n" + Settings().m_logFilePath);
  if (openProductPage) m_context.ports.urlOpener->Open(m_context.productPage, this);
  // Nothing is saved and nothing is cleaned up: workers end with the process.
  m_context.ports.processExit->Exit(-1);
}

void WizardPage::ShowNextPage(QWidget* next) {
  next->show();
  hide();
}

void WizardPage::ReturnToParent() {
  if (QWidget* parent = parentWidget()) parent->show();
  hide();
}

void WizardPage::reject() {
  if (auto* cancel = findChild<QPushButton*>(QString::number(kCancelButtonId))) cancel->click();
}

void WizardPage::closeEvent(QCloseEvent* event) {
  // The window never closes by itself; the close request asks first.
  event->ignore();
  reject();
}

void WizardPage::mousePressEvent(QMouseEvent* event) { m_dragger.Press(event); }
void WizardPage::mouseMoveEvent(QMouseEvent* event) { m_dragger.Move(event); }
void WizardPage::mouseReleaseEvent(QMouseEvent* event) { m_dragger.Release(event); }

}  // namespace quillmere::gui
