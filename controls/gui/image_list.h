#pragma once
// A list of equal-sized images cut from a horizontal strip, with one colour
// of the strip standing for "transparent". The check box images and the
// folder images of the tree are kept in such lists.
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QVector>

namespace quillmere::controls {

class ImageList {
 public:
  // Room for `initial` images, growing by `grow`; the images are
  // width x height pixels.
  bool Create(int width, int height, int initial, int grow);
  bool IsCreated() const { return m_width > 0; }
  // Cuts the strip into cells of the list's width, left to right; pixels of
  // `maskColour` become transparent. Returns the index of the first added
  // image, or -1 when nothing could be added.
  int Add(const QImage& strip, QColor maskColour);
  void Destroy();

  int Count() const { return static_cast<int>(m_images.size()); }
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  const QPixmap& Pixmap(int index) const;
  QImage Image(int index) const { return Pixmap(index).toImage(); }

 private:
  int m_width = 0;
  int m_height = 0;
  QVector<QPixmap> m_images;
};

}  // namespace quillmere::controls
