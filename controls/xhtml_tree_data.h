#pragma once
// The per-item record of the check-box tree and the names of its
// notifications. No toolkit here: the widget and the tick logic share it.
#include <cstdint>

namespace quillmere::controls {

// An item of the tree. kNoItem is "none"; kTreeRoot stands for the tree's
// invisible root, the parent of the top-level items.
using TreeItem = int32_t;
inline constexpr TreeItem kNoItem = 0;
inline constexpr TreeItem kTreeRoot = -1;

// State image indices: the cell of the check box image strip.
inline constexpr int kStateNoBox = 0;
inline constexpr int kStateUnticked = 1;
inline constexpr int kStateTicked = 2;
inline constexpr int kStateTriState = 3;
inline constexpr int kStateDisabledOffset = 4;
inline constexpr int kStateHoverOffset = 8;

struct XHTMLTREEDATA {
  virtual ~XHTMLTREEDATA() = default;

  bool ticked = false;
  // As last set through ExpandItem, a double-click or the keyboard.
  bool expanded = false;
  // Items below this one, all levels (smart mode).
  int32_t descendantCount = 0;
  // Ticked items below this one, all levels (smart mode).
  int32_t tickedCount = 0;
  bool bold = false;
  // Client x of the right end of the text as last drawn.
  int32_t textRightEdge = 0;
};

enum class ExpandAction { kCollapse, kExpand, kToggle };

// The names under which the tree's notifications are known; the widget
// sends each as a signal of its own.
inline constexpr const char* kCheckboxClickedMessage = "WM_XHTMLTREE_CHECKBOX_CLICKED";
inline constexpr const char* kItemExpandedMessage = "WM_XHTMLTREE_ITEM_EXPANDED";
inline constexpr const char* kDisplayTooltipMessage = "WM_XHTMLTREE_DISPLAY_TOOLTIP";
inline constexpr const char* kInitTooltipMessage = "WM_XHTMLTREE_INIT_TOOLTIP";

}  // namespace quillmere::controls
