#pragma once
// The folder image strip of the preview tree (bitmap 1000): 18 pictures of
// 16 x 16 pixels, magenta standing for transparent.
#include <QImage>

#include "controls/gui/image_list.h"

namespace quillmere::preview {

inline constexpr int kFolderStripResource = 1000;

// The strip as built into the program.
QImage LoadFolderStrip();
// An image list of 16 x 16 pictures with the strip added (18 images);
// false when the strip is missing.
bool MakeFolderImageList(controls::ImageList& list);

}  // namespace quillmere::preview
