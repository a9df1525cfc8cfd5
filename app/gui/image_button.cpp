#include "app/gui/image_button.h"

#include <QEnterEvent>

#include "resources/artwork.h"

namespace quillmere::gui {

ImageButton::ImageButton(int id, const QString& caption, const QString& tooltip, int image,
                         int hoverImage, QWidget* parent)
    : QPushButton(caption, parent) {
  setObjectName(QString::number(id));
  setToolTip(tooltip);
  // Enter never presses a button of a page.
  setAutoDefault(false);
  setDefault(false);
  if (image) m_normal = QIcon(resources::LoadPixmap(image));
  if (hoverImage) m_hover = QIcon(resources::LoadPixmap(hoverImage));
  setIcon(m_normal);
  setIconSize(QSize(20, 20));
  if (caption.isEmpty()) {
    setFlat(true);
    // A light backdrop keeps the small pictures readable on the dark banners.
    setStyleSheet(QStringLiteral(
        "QPushButton { border: none; border-radius: 4px; background: rgba(255, 255, 255, 200); padding: 0; }"
        "QPushButton:pressed { background: rgba(205, 190, 240, 230); }"));
  }
}

void ImageButton::enterEvent(QEnterEvent* event) {
  m_hovered = true;
  if (!m_hover.isNull()) setIcon(m_hover);
  QPushButton::enterEvent(event);
}

void ImageButton::leaveEvent(QEvent* event) {
  m_hovered = false;
  setIcon(m_normal);
  QPushButton::leaveEvent(event);
}

}  // namespace quillmere::gui
