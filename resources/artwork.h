#pragma once
// Loads the artwork behind a resource number as a pixmap or icon.
#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace quillmere::resources {

// The picture at `size` (its natural size when `size` is empty); a null
// pixmap for a number that has no artwork.
QPixmap LoadPixmap(int number, QSize size = {});
// The application icon at the usual sizes.
QIcon ApplicationIcon();

}  // namespace quillmere::resources
