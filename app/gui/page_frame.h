#pragma once
// The frame every wizard page shares: a captionless fixed-size window that
// moves when dragged anywhere, the header, left-panel and footer banners,
// the About, Help, minimise and close image buttons, the Close button, the
// hidden Cancel button that takes the window system's close request,
// Enter and Escape doing nothing, and the two close flows.
//
// How a page uses it:
//
//   class PreviewDlg : public WizardPage {
//    public:
//     PreviewDlg(PageContext& context, WizardPage* parent)
//         : WizardPage(kPreviewTemplate, context, parent) {
//       auto* next = AddImageButton(1012, "Next", "Next", 206, 207, 400, 339, 65, 16);
//       connect(next, &QPushButton::clicked, this, &PreviewDlg::OnNext);
//       m_tree = new CXHtmlTree(this);
//       Place(m_tree, 1009, 10, 50, 300, 270);   // id as objectName, dialog units
//     }
//    protected:
//     // While the page's own worker runs, Close and the cross only say so.
//     bool RefuseClose() override {
//       if (!m_running) return false;
//       Notice("Please stop the running process to continue the application.");
//       return true;
//     }
//   };
//
// The page is created hidden; the page before it calls ShowNextPage(page).
// Back is ReturnToParent(). Message boxes go through Notice() and
// Question(), which put the application title on them and make the page
// their owner; call them on the page's thread (workers use RunOnUiThread).
#include <QDialog>
#include <QRect>
#include <string>

#include "app/gui/dialog_units.h"
#include "app/gui/page_context.h"
#include "app/gui/window_behaviour.h"
#include "platform/prompter.h"

class QLabel;

namespace quillmere::gui {

class ImageButton;

// The dialog templates of the five pages.
inline constexpr int kMainWindowTemplate = 102;
inline constexpr int kPreviewTemplate = 129;
inline constexpr int kSearchOptionTemplate = 131;
inline constexpr int kFilterTemplate = 132;
inline constexpr int kProcessTemplate = 133;

// Ids of the frame's controls.
inline constexpr int kCloseButtonId = 1;
inline constexpr int kCancelButtonId = 2;
inline constexpr int kAboutButtonId = 1053;
inline constexpr int kHelpButtonId = 1054;
inline constexpr int kMinimiseButtonId = 1055;
inline constexpr int kCrossButtonId = 1056;

struct DluRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool IsEmpty() const { return w <= 0 || h <= 0; }
};

// Where one template puts the frame, in dialog units.
struct FrameLayout {
  int templateId;
  int width, height;
  DluRect header, leftPanel, footer;  // leftPanel empty: the page has none
  DluRect about, help, minimise, cross, close;
};

// The layout of one of the five templates above; null for any other number.
const FrameLayout* FindFrameLayout(int templateId);

class WizardPage : public QDialog {
  Q_OBJECT
 public:
  // Builds the frame of `templateId` (one of the five above). `parent` is
  // the page that opens this one (null for the main window).
  WizardPage(int templateId, PageContext& context, QWidget* parent);
  ~WizardPage() override;

  int TemplateId() const { return m_layout.templateId; }
  PageContext& Context() { return m_context; }
  RunSettings& Settings() { return *m_context.settings; }
  const DialogUnits& Units() const { return m_units; }

  // Places a control at a template position (dialog units) and names it by id.
  void Place(QWidget* control, int id, int x, int y, int w, int h);
  // An image button (pictures from the resource table) at a template position.
  ImageButton* AddImageButton(int id, const QString& caption, const QString& tooltip, int image,
                              int hoverImage, int x, int y, int w, int h);

  // A notice (information icon, OK) or a question (question icon, Yes/No),
  // with the application title as caption and this page as owner.
  void Notice(const std::string& text);
  bool Question(const std::string& text);
  // A question with the information icon (the Stop question uses it).
  bool QuestionWithInformationIcon(const std::string& text);

  // The frame's handlers.
  void ShowAboutBox();
  void OpenHelpPage();
  void MinimisePage();
  void CloseWithProductPage();
  void CloseQuietly();

  // Shows `next` (created hidden with this page as parent) and hides this one.
  void ShowNextPage(QWidget* next);
  // Shows the page that opened this one again and hides this one.
  void ReturnToParent();

  void reject() override;  // Escape never gets here; the window system's close does.

 protected:
  // A page whose own worker runs shows its notice here and returns true:
  // the close flow then stops before its question.
  virtual bool RefuseClose() { return false; }

  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void AddBanner(int resource, const DluRect& where);
  void BuildFrame();
  void RunCloseFlow(bool openProductPage);

  PageContext& m_context;
  FrameLayout m_layout;
  DialogUnits m_units;
  WindowDragger m_dragger;
  EnterEscapeFilter* m_keyFilter;
};

}  // namespace quillmere::gui
