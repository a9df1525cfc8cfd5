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
    setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; padding: 0; }"));
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
