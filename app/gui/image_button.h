#pragma once
// A push button with a 20 x 20 picture left of its caption, a second
// picture while the mouse is over it, and a tooltip.
#include <QIcon>
#include <QPushButton>

namespace quillmere::gui {

class ImageButton : public QPushButton {
  Q_OBJECT
 public:
  // `id` becomes the object name; image numbers 0 mean no picture.
  ImageButton(int id, const QString& caption, const QString& tooltip, int image, int hoverImage,
              QWidget* parent);
  bool IsShowingHoverImage() const { return m_hovered; }

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QIcon m_normal;
  QIcon m_hover;
  bool m_hovered = false;
};

}  // namespace quillmere::gui
