#pragma once
// The about box: banner, the application title in the box's own font, the
// product's web page and the support and sales addresses as links, OK.
#include <QDialog>
#include <QFont>

#include "app/gui/dialog_units.h"
#include "app/gui/page_context.h"
#include "app/gui/window_behaviour.h"

namespace quillmere::gui {

inline constexpr int kAboutTemplate = 182;

class CQuillmereAboutDlg : public QDialog {
  Q_OBJECT
 public:
  CQuillmereAboutDlg(PageContext& context, QWidget* parent);
  const QFont& TitleFont() const { return m_titleFont; }

 protected:
  void mousePressEvent(QMouseEvent* event) override { m_dragger.Press(event); }
  void mouseMoveEvent(QMouseEvent* event) override { m_dragger.Move(event); }
  void mouseReleaseEvent(QMouseEvent* event) override { m_dragger.Release(event); }

 private:
  void AddLink(int id, const std::string& shown, const std::string& url, const QString& tooltip,
               int x, int y, int h);

  PageContext& m_context;
  DialogUnits m_units;
  QFont m_titleFont;
  WindowDragger m_dragger;
};

}  // namespace quillmere::gui
