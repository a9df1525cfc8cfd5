#include "resources/artwork.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

#include "resources/resource_table.h"

// The pictures live in a static library, so their resource data must be
// registered by hand before the first use.
static void RegisterArtwork() { Q_INIT_RESOURCE(artwork); }

namespace quillmere::resources {

QPixmap LoadPixmap(int number, QSize size) {
  static const bool registered = (RegisterArtwork(), true);
  (void)registered;
  const auto entry = FindResource(number);
  if (!entry) return {};
  QFile file(QStringLiteral(":/art/") + QString::fromLatin1(entry->file));
  if (!file.open(QIODevice::ReadOnly)) return {};
  QByteArray svg = file.readAll();
  // Button pictures are drawn in the ink of their look.
  if (entry->look != Look::Fixed)
    svg.replace("INK", entry->look == Look::Hover ? kHoverInk : kNormalInk);
  QSvgRenderer renderer(svg);
  if (!renderer.isValid()) return {};
  if (size.isEmpty()) size = QSize(entry->width, entry->height);
  if (entry->look == Look::Fixed) {
    // Drawn at another shape than its natural one, a banner shows more of
    // its background (which reaches past the natural size) instead of
    // stretching its text and logo.
    const qreal w = entry->width, h = entry->height;
    const qreal wanted = qreal(size.width()) / size.height();
    renderer.setViewBox(wanted > w / h ? QRectF(0, 0, h * wanted, h) : QRectF(0, 0, w, w / wanted));
  }
  const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
  QPixmap pixmap(size * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
  return pixmap;
}

QIcon ApplicationIcon() {
  QIcon icon;
  for (int side : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(LoadPixmap(kAppIcon, QSize(side, side)));
  return icon;
}

}  // namespace quillmere::resources
