#include "app/gui/dialog_units.h"

#include <QApplication>
#include <QFontMetrics>

namespace quillmere::gui {
namespace {

// Rounds a * b / c to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c) {
  const long long p = static_cast<long long>(a) * b;
  return static_cast<int>((p >= 0 ? p + c / 2 : p - c / 2) / c);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabet =
      metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  m_baseWidth = (alphabet / 26 + 1) / 2;
  m_baseHeight = metrics.height();
}

int DialogUnits::X(int dlu) const { return MulDiv(dlu, m_baseWidth, 4); }
int DialogUnits::Y(int dlu) const { return MulDiv(dlu, m_baseHeight, 8); }
QRect DialogUnits::Rect(int x, int y, int w, int h) const { return QRect(X(x), Y(y), X(w), Y(h)); }
QSize DialogUnits::Size(int w, int h) const { return QSize(X(w), Y(h)); }

QFont PageFont() {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  return font;
}

}  // namespace quillmere::gui
