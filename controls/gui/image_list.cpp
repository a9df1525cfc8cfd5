#include "controls/gui/image_list.h"

#include <QBitmap>

namespace quillmere::controls {

bool ImageList::Create(int width, int height, int initial, int grow) {
  if (width < 1 || height < 1 || initial < 0 || grow < 0) return false;
  m_width = width;
  m_height = height;
  m_images.clear();
  m_images.reserve(initial);
  return true;
}

int ImageList::Add(const QImage& strip, QColor maskColour) {
  if (!IsCreated() || strip.isNull() || strip.width() < m_width || strip.height() < m_height) return -1;
  const int first = Count();
  const QImage rgb = strip.convertToFormat(QImage::Format_ARGB32);
  for (int x = 0; x + m_width <= rgb.width(); x += m_width) {
    QImage cell = rgb.copy(x, 0, m_width, m_height);
    const QRgb key = maskColour.rgb() | 0xff000000u;
    for (int y = 0; y < cell.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(cell.scanLine(y));
      for (int i = 0; i < cell.width(); ++i) {
        if ((line[i] | 0xff000000u) == key) line[i] = qRgba(0, 0, 0, 0);
      }
    }
    m_images.push_back(QPixmap::fromImage(cell));
  }
  return first;
}

void ImageList::Destroy() {
  m_images.clear();
  m_width = m_height = 0;
}

const QPixmap& ImageList::Pixmap(int index) const {
  static const QPixmap kNone;
  return index >= 0 && index < Count() ? m_images[index] : kNone;
}

}  // namespace quillmere::controls
