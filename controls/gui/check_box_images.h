#pragma once
// The check box images of the check-box tree: one strip of 17 cells whose
// index is the tree's state image index (1 to 3 unticked, ticked, partly
// ticked; plus 4 disabled; plus 8 the hover look). Drawn with the
// application's style when it is themed, else as classic flat boxes.
#include <QColor>

#include "controls/gui/image_list.h"

class QStyle;
class QWidget;

namespace quillmere::controls {

inline constexpr int kCheckBoxCells = 17;

// Where the themed look comes from. Without a style (the theme missing) or
// while inactive (visual styles off) the classic flat boxes are drawn.
struct CheckBoxTheme {
  const QStyle* style = nullptr;
  bool themeActive = true;
  bool appThemed = true;

  bool Usable() const { return style != nullptr && themeActive && appThemed; }
};

enum class BoxTick { kOff, kOn, kMixed };

struct CheckBoxCell {
  const char* label;   // "unused" cells stay plain background
  bool drawn;
  BoxTick tick;
  bool enabled;
  bool hot;            // the hover look; drawn like the normal box when classic
};

// The cell table, left to right.
const CheckBoxCell& CheckBoxCellAt(int index);

// Fills `list` with the 17 images of `size` pixels on `background`. `widget`
// stands for the window the images are drawn for (its style options); false
// when there is none, when size is below 1 or when the strip cannot be made.
bool BuildCheckBoxImages(const QWidget* widget, ImageList& list, int size, QColor background,
                         const CheckBoxTheme& theme);

}  // namespace quillmere::controls
