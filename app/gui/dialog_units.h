#pragma once
// Dialog units to pixels, from a font's base units: one horizontal unit is a
// quarter of the font's average character width, one vertical unit an eighth
// of its height.
#include <QFont>
#include <QRect>
#include <QSize>

namespace quillmere::gui {

class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  int X(int dlu) const;
  int Y(int dlu) const;
  QRect Rect(int x, int y, int w, int h) const;
  QSize Size(int w, int h) const;
  int BaseWidth() const { return m_baseWidth; }
  int BaseHeight() const { return m_baseHeight; }

 private:
  int m_baseWidth;
  int m_baseHeight;
};

// The page font: the system's sans-serif font at 8 points.
QFont PageFont();

}  // namespace quillmere::gui
