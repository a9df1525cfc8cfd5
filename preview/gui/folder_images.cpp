#include "preview/gui/folder_images.h"

#include "preview/folder_tree.h"

namespace quillmere::preview {

QImage LoadFolderStrip() { return QImage(QStringLiteral(":/folders/folders.png")); }

bool MakeFolderImageList(controls::ImageList& list) {
  if (!list.Create(kFolderImageWidth, kFolderImageWidth, 0, 0)) return false;
  return list.Add(LoadFolderStrip(), QColor(255, 0, 255)) >= 0;
}

}  // namespace quillmere::preview
