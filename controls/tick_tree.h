#pragma once
// The check-box tree without a display: the items and their structure, one
// XHTMLTREEDATA per item, and the tick logic of smart mode (ticking an item
// ticks its subtree; a parent shows unticked, ticked or partly ticked by the
// counts below it). The Qt widget CXHtmlTree shows a TickTree and forwards
// the user's clicks and keys to it; tests drive it directly.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/xhtml_tree_data.h"

namespace quillmere::controls {

// Told of every change, on the thread that made it. The widget mirrors the
// structure and repaints; the notifications become its signals.
class TickTreeListener {
 public:
  virtual ~TickTreeListener() = default;
  virtual void ItemInserted(TreeItem /*item*/) {}
  // Ticks, counts or state images of some items changed: repaint.
  virtual void StateImagesChanged() {}
  virtual void TextChanged(TreeItem /*item*/) {}
  // The platform part of ExpandItem: open or close the row.
  virtual void PlatformExpand(TreeItem /*item*/, ExpandAction /*action*/) {}
  virtual void AllItemsRemoved() {}
  // WM_XHTMLTREE_CHECKBOX_CLICKED and WM_XHTMLTREE_ITEM_EXPANDED.
  virtual void CheckboxClicked(TreeItem /*item*/, int /*tick*/) {}
  virtual void ItemExpanded(TreeItem /*item*/, int /*expanded*/) {}
};

struct TreeOptions {
  bool checkBoxes = true;
  bool smartCheck = false;
  bool hasImages = true;
};

// Where AddItem puts the new item among its siblings.
inline constexpr TreeItem kInsertLast = -2;
inline constexpr TreeItem kInsertFirst = -3;

struct InsertRecord {
  TreeItem parent = kTreeRoot;
  TreeItem insertAfter = kInsertLast;  // kInsertLast, kInsertFirst or a sibling
  std::string text;
  int image = 0;
  int selectedImage = 0;
  int64_t itemData = 0;
};

// The value an item's normal and selected images take when items carry none.
inline constexpr int kNoImage = -1;

class TickTree {
 public:
  TickTree();
  ~TickTree();
  TickTree(const TickTree&) = delete;
  TickTree& operator=(const TickTree&) = delete;

  void SetListener(TickTreeListener* listener) { m_listener = listener; }

  TreeOptions& Options() { return m_options; }
  const TreeOptions& Options() const { return m_options; }
  void SetSmartCheck(bool on) { m_options.smartCheck = on; }
  bool Busy() const { return m_busy; }

  // Removes every item and sets the options back to their reset values.
  void ResetTree();

  // The new item, or kNoItem when the parent or the position is not an item.
  TreeItem AddItem(const InsertRecord& insert);
  void SetItemCheck(TreeItem item, bool tick);
  bool IsItemChecked(TreeItem item) const;
  int StateImageOf(TreeItem item) const;
  TreeItem FirstCheckedItem() const;
  TreeItem NextItemInOrder(TreeItem item) const;
  void ExpandItem(TreeItem item, ExpandAction action);
  void RemoveAllItems();

  // Keys, as the widget hands them on; true when handled.
  bool KeySpace(TreeItem selected);
  bool KeyRight(TreeItem selected);
  bool KeyLeft(TreeItem selected);
  // Keypad multiply: the item and everything below it expanded.
  void ExpandBranch(TreeItem item);

  // The record of an item; none for kTreeRoot, unknown items and while busy.
  XHTMLTREEDATA* FindRecord(TreeItem item);
  const XHTMLTREEDATA* FindRecord(TreeItem item) const;

  // The platform part of the tree: structure, text, images, item data.
  bool IsItem(TreeItem item) const;
  TreeItem GetParentItem(TreeItem item) const;  // kTreeRoot for a top-level item
  TreeItem GetChildItem(TreeItem item) const;   // first child; item may be kTreeRoot
  TreeItem GetLastChildItem(TreeItem item) const;
  TreeItem GetNextSiblingItem(TreeItem item) const;
  TreeItem GetPrevSiblingItem(TreeItem item) const;
  bool ItemHasChildren(TreeItem item) const { return GetChildItem(item) != kNoItem; }
  const std::string& GetItemText(TreeItem item) const;
  void SetItemText(TreeItem item, std::string text);
  int GetItemImage(TreeItem item) const;
  int64_t GetItemData(TreeItem item) const;
  void SetItemData(TreeItem item, int64_t data);
  void SetItemBold(TreeItem item, bool bold);
  // The state image index stored with the item (StateImageOf, perhaps with
  // the hover look added).
  int GetStateImage(TreeItem item) const;
  void SetStateImage(TreeItem item, int index);
  size_t GetCount() const { return m_count; }

 private:
  struct Node {
    bool live = false;
    TreeItem parent = kTreeRoot;
    TreeItem firstChild = kNoItem;
    TreeItem lastChild = kNoItem;
    TreeItem next = kNoItem;
    TreeItem prev = kNoItem;
    std::string text;
    int image = 0;
    int selectedImage = 0;
    int64_t itemData = 0;
    int stateImage = kStateUnticked;
  };

  Node* NodeOf(TreeItem item);
  const Node* NodeOf(TreeItem item) const;
  void PropagateToAncestors(TreeItem item, int32_t change);
  void TickSubtree(TreeItem item, bool tick);
  void NotifyStateImages();

  TreeOptions m_options;
  bool m_busy = false;
  std::vector<Node> m_nodes;  // index = item; index 0 unused
  Node m_root;                // the children of kTreeRoot
  size_t m_count = 0;
  // The record of each item, by item: the lookup from item to record.
  std::vector<std::unique_ptr<XHTMLTREEDATA>> m_records;
  // Every item was added in smart mode, so the counts describe the tree.
  bool m_countsKept = true;
  TickTreeListener* m_listener = nullptr;
  static const std::string kEmptyText;
};

}  // namespace quillmere::controls
