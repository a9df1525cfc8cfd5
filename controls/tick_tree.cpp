#include "controls/tick_tree.h"

#include <algorithm>

namespace quillmere::controls {

const std::string TickTree::kEmptyText;

TickTree::TickTree() : m_nodes(1), m_records(1) {}
TickTree::~TickTree() = default;

TickTree::Node* TickTree::NodeOf(TreeItem item) {
  if (item == kTreeRoot) return &m_root;
  if (item <= 0 || static_cast<size_t>(item) >= m_nodes.size()) return nullptr;
  Node& node = m_nodes[static_cast<size_t>(item)];
  return node.live ? &node : nullptr;
}

const TickTree::Node* TickTree::NodeOf(TreeItem item) const {
  return const_cast<TickTree*>(this)->NodeOf(item);
}

bool TickTree::IsItem(TreeItem item) const { return item != kTreeRoot && NodeOf(item) != nullptr; }

XHTMLTREEDATA* TickTree::FindRecord(TreeItem item) {
  if (m_busy || item <= 0 || static_cast<size_t>(item) >= m_records.size()) return nullptr;
  return m_records[static_cast<size_t>(item)].get();
}

const XHTMLTREEDATA* TickTree::FindRecord(TreeItem item) const {
  return const_cast<TickTree*>(this)->FindRecord(item);
}

void TickTree::NotifyStateImages() {
  if (m_listener) m_listener->StateImagesChanged();
}

void TickTree::ResetTree() {
  m_busy = true;
  RemoveAllItems();
  m_options = TreeOptions{};
  m_busy = false;
}

TreeItem TickTree::AddItem(const InsertRecord& insert) {
  Node* parent = NodeOf(insert.parent);
  if (!parent) return kNoItem;
  TreeItem after = kNoItem;  // kNoItem: first among the siblings
  if (insert.insertAfter == kInsertLast) {
    after = parent->lastChild;
  } else if (insert.insertAfter != kInsertFirst) {
    const Node* sibling = NodeOf(insert.insertAfter);
    if (!sibling || insert.insertAfter == kTreeRoot || sibling->parent != insert.parent) return kNoItem;
    after = insert.insertAfter;
  }

  // Outside smart mode no counts are kept, so from now on they cannot tell
  // a ticked subtree from an unticked one.
  if (!m_options.smartCheck) m_countsKept = false;

  // 1. The record, with every field at its initial value.
  auto record = std::make_unique<XHTMLTREEDATA>();

  // 2. The item itself, unticked.
  const auto item = static_cast<TreeItem>(m_nodes.size());
  m_nodes.emplace_back();
  parent = NodeOf(insert.parent);  // the vector may have moved
  Node& node = m_nodes.back();
  node.live = true;
  node.parent = insert.parent;
  node.text = insert.text;
  node.image = m_options.hasImages ? insert.image : kNoImage;
  node.selectedImage = m_options.hasImages ? insert.selectedImage : kNoImage;
  node.itemData = insert.itemData;
  node.stateImage = kStateUnticked;
  if (after == kNoItem) {
    node.next = parent->firstChild;
    if (parent->firstChild != kNoItem) NodeOf(parent->firstChild)->prev = item;
    parent->firstChild = item;
    if (parent->lastChild == kNoItem) parent->lastChild = item;
  } else {
    Node* previous = NodeOf(after);
    node.prev = after;
    node.next = previous->next;
    if (previous->next != kNoItem) NodeOf(previous->next)->prev = item;
    previous->next = item;
    if (parent->lastChild == after) parent->lastChild = item;
  }
  ++m_count;

  // 3. The map from item to record.
  m_records.push_back(std::move(record));

  // 4. The ancestors count one more item below them; a fully ticked one
  // becomes partly ticked and stops counting itself further up.
  if (m_options.smartCheck && !m_busy) {
    for (TreeItem a = insert.parent; a != kTreeRoot; a = GetParentItem(a)) {
      if (XHTMLTREEDATA* ancestor = FindRecord(a)) ++ancestor->descendantCount;
    }
    PropagateToAncestors(item, 0);
  }
  if (m_listener) m_listener->ItemInserted(item);
  return item;
}

int TickTree::StateImageOf(TreeItem item) const {
  const XHTMLTREEDATA* record = FindRecord(item);
  if (!record) return kStateNoBox;
  if (m_options.smartCheck && record->descendantCount != 0) {
    if (record->tickedCount == 0) return kStateUnticked;
    if (record->tickedCount == record->descendantCount) return kStateTicked;
    return kStateTriState;
  }
  return record->ticked ? kStateTicked : kStateUnticked;
}

bool TickTree::IsItemChecked(TreeItem item) const {
  if (!m_options.checkBoxes) return false;
  const XHTMLTREEDATA* record = FindRecord(item);
  if (!record) return false;
  if (m_options.smartCheck && record->descendantCount != 0)
    return record->tickedCount == record->descendantCount;
  return record->ticked;
}

void TickTree::PropagateToAncestors(TreeItem item, int32_t change) {
  for (TreeItem a = GetParentItem(item); a != kTreeRoot && a != kNoItem; a = GetParentItem(a)) {
    XHTMLTREEDATA* ancestor = FindRecord(a);
    if (!ancestor) break;
    ancestor->tickedCount = std::max(0, ancestor->tickedCount + change);
    const bool was = ancestor->ticked;
    ancestor->ticked = ancestor->tickedCount == ancestor->descendantCount;
    if (was != ancestor->ticked) change += ancestor->ticked ? 1 : -1;
    NodeOf(a)->stateImage = StateImageOf(a);
  }
}

void TickTree::TickSubtree(TreeItem item, bool tick) {
  // Iterative pre-order over the subtree: a deep folder chain must not
  // exhaust the stack. Below the item, a subtree whose counts already say
  // "all ticked" (or "none") is left alone: the folder tree ticks a parent
  // again for every child it receives. That needs counts kept since the
  // first item.
  std::vector<TreeItem> pending{item};
  while (!pending.empty()) {
    const TreeItem current = pending.back();
    pending.pop_back();
    if (XHTMLTREEDATA* record = FindRecord(current)) {
      if (current != item && m_countsKept && record->ticked == tick &&
          record->tickedCount == (tick ? record->descendantCount : 0))
        continue;
      record->ticked = tick;
      record->tickedCount = tick ? record->descendantCount : 0;
      Node* node = NodeOf(current);
      const int hover = node->stateImage & kStateHoverOffset;
      node->stateImage = (tick ? kStateTicked : kStateUnticked) | hover;
    }
    for (TreeItem child = GetChildItem(current); child != kNoItem; child = GetNextSiblingItem(child))
      pending.push_back(child);
  }
}

void TickTree::SetItemCheck(TreeItem item, bool tick) {
  XHTMLTREEDATA* record = FindRecord(item);
  if (!record || !m_options.checkBoxes) return;

  const bool old = record->ticked;
  const int32_t descendants = record->descendantCount;
  const int32_t ticked = record->tickedCount;
  record->ticked = tick;
  NodeOf(item)->stateImage = StateImageOf(item);

  if (m_options.smartCheck && old != tick) {
    const int32_t change = tick ? descendants - ticked + 1 : -(ticked + 1);
    TickSubtree(item, tick);
    PropagateToAncestors(item, change);
  }
  NotifyStateImages();
  if (m_listener) m_listener->CheckboxClicked(item, tick ? 1 : 0);
}

TreeItem TickTree::NextItemInOrder(TreeItem item) const {
  if (!IsItem(item)) return kNoItem;
  if (TreeItem child = GetChildItem(item); child != kNoItem) return child;
  for (TreeItem current = item; current != kTreeRoot && current != kNoItem;
       current = GetParentItem(current)) {
    if (TreeItem next = GetNextSiblingItem(current); next != kNoItem) return next;
  }
  return kNoItem;
}

TreeItem TickTree::FirstCheckedItem() const {
  if (!m_options.checkBoxes) return kNoItem;
  for (TreeItem item = GetChildItem(kTreeRoot); item != kNoItem; item = NextItemInOrder(item)) {
    if (IsItemChecked(item)) return item;
  }
  return kNoItem;
}

void TickTree::ExpandItem(TreeItem item, ExpandAction action) {
  if (!IsItem(item)) return;
  XHTMLTREEDATA* record = FindRecord(item);
  if (record && ItemHasChildren(item)) {
    const bool old = record->expanded;
    switch (action) {
      case ExpandAction::kCollapse: record->expanded = false; break;
      case ExpandAction::kExpand: record->expanded = true; break;
      case ExpandAction::kToggle: record->expanded = !record->expanded; break;
    }
    if (old != record->expanded && m_listener) m_listener->ItemExpanded(item, record->expanded ? 1 : 0);
  }
  if (m_listener) m_listener->PlatformExpand(item, action);
}

void TickTree::RemoveAllItems() {
  for (TreeItem item = GetChildItem(kTreeRoot); item != kNoItem; item = NextItemInOrder(item)) {
    if (ItemHasChildren(item)) ExpandItem(item, ExpandAction::kCollapse);
  }
  const bool wasBusy = m_busy;
  m_busy = true;
  m_nodes.assign(1, Node{});
  m_root = Node{};
  m_count = 0;
  m_records.clear();
  m_records.resize(1);
  m_countsKept = true;
  if (m_listener) m_listener->AllItemsRemoved();
  m_busy = wasBusy;
}

bool TickTree::KeySpace(TreeItem selected) {
  if (!m_options.checkBoxes) return false;
  if (const XHTMLTREEDATA* record = FindRecord(selected)) SetItemCheck(selected, !record->ticked);
  return true;
}

bool TickTree::KeyRight(TreeItem selected) {
  const XHTMLTREEDATA* record = FindRecord(selected);
  if (!record || record->descendantCount == 0 || record->expanded) return false;
  ExpandItem(selected, ExpandAction::kExpand);
  return true;
}

bool TickTree::KeyLeft(TreeItem selected) {
  const XHTMLTREEDATA* record = FindRecord(selected);
  if (!record || record->descendantCount == 0 || !record->expanded) return false;
  ExpandItem(selected, ExpandAction::kCollapse);
  return true;
}

void TickTree::ExpandBranch(TreeItem item) {
  if (!IsItem(item)) return;
  std::vector<TreeItem> pending{item};
  while (!pending.empty()) {
    const TreeItem current = pending.back();
    pending.pop_back();
    if (ItemHasChildren(current)) ExpandItem(current, ExpandAction::kExpand);
    for (TreeItem child = GetChildItem(current); child != kNoItem; child = GetNextSiblingItem(child))
      pending.push_back(child);
  }
}

TreeItem TickTree::GetParentItem(TreeItem item) const {
  const Node* node = item == kTreeRoot ? nullptr : NodeOf(item);
  return node ? node->parent : kNoItem;
}

TreeItem TickTree::GetChildItem(TreeItem item) const {
  const Node* node = NodeOf(item);
  return node ? node->firstChild : kNoItem;
}

TreeItem TickTree::GetLastChildItem(TreeItem item) const {
  const Node* node = NodeOf(item);
  return node ? node->lastChild : kNoItem;
}

TreeItem TickTree::GetNextSiblingItem(TreeItem item) const {
  const Node* node = item == kTreeRoot ? nullptr : NodeOf(item);
  return node ? node->next : kNoItem;
}

TreeItem TickTree::GetPrevSiblingItem(TreeItem item) const {
  const Node* node = item == kTreeRoot ? nullptr : NodeOf(item);
  return node ? node->prev : kNoItem;
}

const std::string& TickTree::GetItemText(TreeItem item) const {
  const Node* node = IsItem(item) ? NodeOf(item) : nullptr;
  return node ? node->text : kEmptyText;
}

void TickTree::SetItemText(TreeItem item, std::string text) {
  if (!IsItem(item)) return;
  NodeOf(item)->text = std::move(text);
  if (m_listener) m_listener->TextChanged(item);
}

int TickTree::GetItemImage(TreeItem item) const {
  const Node* node = IsItem(item) ? NodeOf(item) : nullptr;
  return node ? node->image : kNoImage;
}

int64_t TickTree::GetItemData(TreeItem item) const {
  const Node* node = IsItem(item) ? NodeOf(item) : nullptr;
  return node ? node->itemData : 0;
}

void TickTree::SetItemData(TreeItem item, int64_t data) {
  if (IsItem(item)) NodeOf(item)->itemData = data;
}

void TickTree::SetItemBold(TreeItem item, bool bold) {
  if (XHTMLTREEDATA* record = FindRecord(item)) {
    record->bold = bold;
    if (m_listener) m_listener->TextChanged(item);
  }
}

int TickTree::GetStateImage(TreeItem item) const {
  const Node* node = IsItem(item) ? NodeOf(item) : nullptr;
  return node ? node->stateImage : kStateNoBox;
}

void TickTree::SetStateImage(TreeItem item, int index) {
  if (!IsItem(item)) return;
  NodeOf(item)->stateImage = index;
  NotifyStateImages();
}

}  // namespace quillmere::controls
