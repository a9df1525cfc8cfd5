#include "controls/gui/xhtml_tree.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace quillmere::controls {

constexpr int kItemRole = Qt::UserRole + 1;
constexpr int kGap = 2;

// Paints one row: the check box from the strip, the item's image, and the
// text, bold where the record says so, the highlight only behind the text.
class XHtmlTreeDelegate : public QStyledItemDelegate {
 public:
  explicit XHtmlTreeDelegate(CXHtmlTree* tree) : QStyledItemDelegate(tree), m_tree(tree) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const TreeItem item = index.data(kItemRole).toInt();
    TickTree& model = m_tree->m_tree;
    XHTMLTREEDATA* record = model.FindRecord(item);
    const CXHtmlTree::Colours& colours = m_tree->m_colours;
    const QRect row = option.rect;
    painter->save();
    painter->fillRect(row, colours.background);

    int x = row.left();
    const int size = m_tree->m_imageSize;
    if (model.Options().checkBoxes) {
      const int state = model.GetStateImage(item);
      const QPixmap& box = m_tree->m_checkBoxImages.Pixmap(state);
      if (state != kStateNoBox && !box.isNull())
        painter->drawPixmap(x, row.top() + (row.height() - size) / 2, box);
      x += size;
    }
    const ImageList* images = m_tree->m_normalImages;
    if (images && model.Options().hasImages) {
      const int image = model.GetItemImage(item);
      if (image == kNoImage) {
        // no image of its own: the text starts where the image would be
      } else {
        x += kGap;
        painter->drawPixmap(x, row.top() + (row.height() - images->Height()) / 2, images->Pixmap(image));
        x += images->Width();
      }
    }
    x += kGap + 1;

    QFont font = option.font;
    font.setWeight(record && record->bold ? QFont::Bold : QFont::Normal);
    painter->setFont(font);
    const QString text = QString::fromStdString(model.GetItemText(item));
    const QRect area(x, row.top(), std::max(0, row.right() - x + 1), row.height());
    QRect measured = painter->boundingRect(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    const bool selected = option.state & QStyle::State_Selected;
    if (selected) painter->fillRect(measured.adjusted(-1, 0, 1, 0), colours.highlight);
    painter->setPen(selected ? colours.highlightText : colours.text);
    painter->setClipRect(area);
    painter->drawText(measured, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    if (record) record->textRightEdge = measured.right() + 1;
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const TreeItem item = index.data(kItemRole).toInt();
    const TickTree& model = m_tree->m_tree;
    const XHTMLTREEDATA* record = model.FindRecord(item);
    QFont font = option.font;
    font.setWeight(record && record->bold ? QFont::Bold : QFont::Normal);
    const QFontMetrics metrics(font);
    int width = m_tree->m_imageSize + kGap + 1 + 4;
    if (m_tree->m_normalImages) width += kGap + m_tree->m_normalImages->Width();
    width += metrics.horizontalAdvance(QString::fromStdString(model.GetItemText(item)));
    return {width, std::max(m_tree->m_imageSize, metrics.height()) + 2};
  }

 private:
  CXHtmlTree* m_tree;
};

CXHtmlTree::CXHtmlTree(QWidget* parent) : QTreeWidget(parent) {
  qRegisterMetaType<TreeNotifyData>();
  setHeaderHidden(true);
  setColumnCount(1);
  setUniformRowHeights(true);
  setExpandsOnDoubleClick(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setDragDropMode(QAbstractItemView::NoDragDrop);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::Fixed);
  setItemDelegate(new XHtmlTreeDelegate(this));
  setMouseTracking(true);
  m_theme.style = style();
  m_tree.SetListener(this);
  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* i) { SyncExpanded(i, true); });
  connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* i) { SyncExpanded(i, false); });
  ResetTree();
}

CXHtmlTree::~CXHtmlTree() {
  m_tree.SetListener(nullptr);
  delete m_tooltip;
}

void CXHtmlTree::ReadColours() {
  const QPalette system = QApplication::palette(this);
  m_colours.background = system.color(QPalette::Active, QPalette::Base);
  m_colours.text = system.color(QPalette::Active, QPalette::Text);
  m_colours.grayText = system.color(QPalette::Disabled, QPalette::Text);
  m_colours.highlight = system.color(QPalette::Active, QPalette::Highlight);
  m_colours.highlightText = system.color(QPalette::Active, QPalette::HighlightedText);
  // The tree paints the highlight behind the text alone, so the view's own
  // selection panel across the row is made invisible.
  QPalette own = system;
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    own.setColor(group, QPalette::Highlight, Qt::transparent);
  setPalette(own);
}

void CXHtmlTree::RebuildCheckBoxImages() {
  m_checkBoxImages.Destroy();
  if (m_tree.Options().checkBoxes)
    BuildCheckBoxImages(this, m_checkBoxImages, m_imageSize, m_colours.background, m_theme);
}

void CXHtmlTree::ResetTree() {
  // The tick logic removes every item while busy: nothing is sent.
  m_tree.ResetTree();
  m_hoverItem = kNoItem;
  delete m_tooltip;
  m_tooltip = nullptr;
  m_checkBoxImages.Destroy();
  m_checkSelects = true;
  m_toolTips = true;
  m_imageSize = 16;
  ReadColours();
  if (m_toolTips) {
    m_tooltip = new QObject;
    m_tooltip->setObjectName("tooltip");
  }
  m_tooltipToolsStale = true;
  RebuildCheckBoxImages();
  viewport()->update();
}

void CXHtmlTree::RemoveAllItems() {
  m_hoverItem = kNoItem;
  if (topLevelItemCount() > 0) setCurrentItem(topLevelItem(0));
  horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
  m_tree.RemoveAllItems();
}

void CXHtmlTree::SetCheckBoxes(bool on) {
  m_tree.Options().checkBoxes = on;
  RebuildCheckBoxImages();
  viewport()->update();
}

void CXHtmlTree::SetNormalImageList(const ImageList* list) {
  m_normalImages = list;
  viewport()->update();
}

TreeItem CXHtmlTree::ItemOf(const QTreeWidgetItem* qtItem) const {
  return qtItem ? qtItem->data(0, kItemRole).toInt() : kNoItem;
}

TreeItem CXHtmlTree::SelectedItem() const {
  const QList<QTreeWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? kNoItem : ItemOf(selected.front());
}

void CXHtmlTree::SelectEnabledItem(TreeItem item) {
  if (item == SelectedItem()) return;
  QTreeWidgetItem* qtItem = QtItem(item);
  if (!qtItem || !m_tree.FindRecord(item)) return;
  setCurrentItem(qtItem);
  qtItem->setSelected(true);
}

TreeNotifyData CXHtmlTree::NotifyData(TreeItem item) const {
  return TreeNotifyData{const_cast<CXHtmlTree*>(this), objectName().toInt(), item};
}

QRect CXHtmlTree::CheckBoxRect(TreeItem item) const {
  QTreeWidgetItem* qtItem = QtItem(item);
  if (!qtItem || !m_tree.Options().checkBoxes) return {};
  const QRect row = visualItemRect(qtItem);
  if (!row.isValid()) return {};
  return {row.left(), row.top() + (row.height() - m_imageSize) / 2, m_imageSize, m_imageSize};
}

int CXHtmlTree::TooltipMaxWidth() const {
  const int threeQuarters = width() * 3 / 4;
  if (threeQuarters >= 200) return threeQuarters;
  if (parentWidget()) return parentWidget()->width() / 2;
  return 200;
}

QString CXHtmlTree::TooltipTextAt(const QPoint& point) const {
  QTreeWidgetItem* qtItem = itemAt(point);
  const TreeItem item = ItemOf(qtItem);
  const XHTMLTREEDATA* record = m_tree.FindRecord(item);
  if (!record) return {};
  // On the box, the image or the label: from the row's left to the end of
  // the drawn text.
  const QRect row = visualItemRect(qtItem);
  if (point.x() < row.left() || point.x() > record->textRightEdge) return {};
  if (record->textRightEdge <= viewport()->width() - 3) return {};
  return QString::fromStdString(m_tree.GetItemText(item)).left(kTooltipTextLimit);
}

void CXHtmlTree::ClearHover() {
  if (m_hoverItem != kNoItem && m_tree.IsItem(m_hoverItem))
    m_tree.SetStateImage(m_hoverItem, m_tree.StateImageOf(m_hoverItem));
  m_hoverItem = kNoItem;
}

void CXHtmlTree::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
    QTreeWidget::mousePressEvent(event);
    return;
  }
  const QPoint point = event->position().toPoint();
  QTreeWidgetItem* qtItem = itemAt(point);
  if (!qtItem) {
    // Empty space: the selection stays.
    setFocus(Qt::MouseFocusReason);
    return;
  }
  const TreeItem item = ItemOf(qtItem);
  const QRect row = visualItemRect(qtItem);
  if (point.x() < row.left()) {
    // The indent and the expand button: the platform opens or closes it.
    QTreeWidget::mousePressEvent(event);
    return;
  }
  if (event->button() == Qt::LeftButton && CheckBoxRect(item).contains(point)) {
    if (const XHTMLTREEDATA* record = m_tree.FindRecord(item)) {
      ClearHover();
      m_tree.SetItemCheck(item, !record->ticked);
      if (m_checkSelects) SelectEnabledItem(item);
      m_tree.SetStateImage(item, m_tree.StateImageOf(item) + kStateHoverOffset);
      m_hoverItem = item;
    }
    return;
  }
  SelectEnabledItem(item);
}

void CXHtmlTree::mouseDoubleClickEvent(QMouseEvent* event) {
  QTreeWidgetItem* qtItem = itemAt(event->position().toPoint());
  const TreeItem item = ItemOf(qtItem);
  if (qtItem && qtItem->childCount() > 0 && m_tree.FindRecord(item)) {
    m_tree.ExpandItem(item, ExpandAction::kToggle);
    return;
  }
  QTreeWidget::mouseDoubleClickEvent(event);
}

void CXHtmlTree::keyPressEvent(QKeyEvent* event) {
  const TreeItem selected = SelectedItem();
  const bool keypad = event->modifiers() & Qt::KeypadModifier;
  switch (event->key()) {
    case Qt::Key_Space:
      if (m_tree.KeySpace(selected)) {
        ClearHover();
        return;
      }
      break;
    case Qt::Key_Right:
      if (m_tree.KeyRight(selected)) return;
      break;
    case Qt::Key_Left:
      if (m_tree.KeyLeft(selected)) return;
      break;
    case Qt::Key_Down:
    case Qt::Key_Up: {
      QTreeWidgetItem* from = QtItem(selected) ? QtItem(selected) : currentItem();
      QTreeWidgetItem* to = nullptr;
      if (from) to = event->key() == Qt::Key_Down ? itemBelow(from) : itemAbove(from);
      else if (topLevelItemCount() > 0) to = topLevelItem(0);
      if (to && m_tree.FindRecord(ItemOf(to))) {
        SelectEnabledItem(ItemOf(to));
        scrollToItem(to);
        return;
      }
      break;
    }
    case Qt::Key_Asterisk:
      if (keypad && selected != kNoItem) {
        m_tree.ExpandBranch(selected);
        scrollToItem(QtItem(selected));
        horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
        return;
      }
      break;
    case Qt::Key_Plus:
      if (keypad && selected != kNoItem) {
        m_tree.ExpandItem(selected, ExpandAction::kExpand);
        return;
      }
      break;
    case Qt::Key_Minus:
      if (keypad && selected != kNoItem) {
        m_tree.ExpandItem(selected, ExpandAction::kCollapse);
        return;
      }
      break;
    default:
      break;
  }
  QTreeWidget::keyPressEvent(event);
}

void CXHtmlTree::leaveEvent(QEvent* event) {
  ClearHover();
  QTreeWidget::leaveEvent(event);
}

void CXHtmlTree::paintEvent(QPaintEvent* event) {
  if (!m_normalImages) m_tree.Options().hasImages = false;
  QPainter(viewport()).fillRect(viewport()->rect(), m_colours.background);
  QTreeWidget::paintEvent(event);
  if (m_toolTips && m_tooltipToolsStale) {
    m_tooltipToolsStale = false;
    const int rowHeight = std::max(1, sizeHintForRow(0) > 0 ? sizeHintForRow(0) : m_imageSize + 2);
    m_tooltipTools = viewport()->height() / rowHeight + 1;
    emit initTooltip(NotifyData(kNoItem), m_tooltip);
  }
}

void CXHtmlTree::resizeEvent(QResizeEvent* event) {
  m_tooltipToolsStale = true;
  QTreeWidget::resizeEvent(event);
}

void CXHtmlTree::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ApplicationPaletteChange) {
    ReadColours();
    viewport()->update();
  }
  QTreeWidget::changeEvent(event);
}

bool CXHtmlTree::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    if (!m_toolTips) return true;
    const QString text = TooltipTextAt(help->pos());
    if (text.isEmpty()) {
      QToolTip::hideText();
      return true;
    }
    bool suppress = false;
    emit displayTooltip(NotifyData(ItemOf(itemAt(help->pos()))), m_tooltip, &suppress);
    if (!suppress) QToolTip::showText(help->globalPos(), text, viewport());
    return true;
  }
  return QTreeWidget::viewportEvent(event);
}

void CXHtmlTree::ItemInserted(TreeItem item) {
  const TreeItem parent = m_tree.GetParentItem(item);
  QTreeWidgetItem* qtParent = parent == kTreeRoot ? invisibleRootItem() : m_qtItems.value(parent, nullptr);
  if (!qtParent) return;
  auto* qtItem = new QTreeWidgetItem;
  qtItem->setData(0, kItemRole, item);
  qtItem->setText(0, QString::fromStdString(m_tree.GetItemText(item)));
  // Every item has its row from the moment it is added, so the row goes
  // just before the row of its next sibling, or last.
  const TreeItem next = m_tree.GetNextSiblingItem(item);
  QTreeWidgetItem* qtNext = next == kNoItem ? nullptr : m_qtItems.value(next, nullptr);
  if (qtNext) qtParent->insertChild(qtParent->indexOfChild(qtNext), qtItem);
  else qtParent->addChild(qtItem);
  m_qtItems.insert(item, qtItem);
  WidenColumn(RowWidth(item, qtItem));
}

// The width a row needs: its indent and what the delegate draws.
int CXHtmlTree::RowWidth(TreeItem item, const QTreeWidgetItem* qtItem) const {
  int depth = 1;
  for (const QTreeWidgetItem* p = qtItem->parent(); p; p = p->parent()) ++depth;
  const XHTMLTREEDATA* record = m_tree.FindRecord(item);
  QFont bold = font();
  bold.setWeight(record && record->bold ? QFont::Bold : QFont::Normal);
  int width = depth * indentation() + m_imageSize + kGap + 1 + 4;
  if (m_normalImages) width += kGap + m_normalImages->Width();
  return width + QFontMetrics(bold).horizontalAdvance(QString::fromStdString(m_tree.GetItemText(item)));
}

// The one column is as wide as the widest row, so that long names scroll
// sideways instead of being cut.
void CXHtmlTree::WidenColumn(int width) {
  if (width <= m_columnWidth) return;
  m_columnWidth = width;
  header()->resizeSection(0, m_columnWidth);
}

void CXHtmlTree::StateImagesChanged() { viewport()->update(); }

void CXHtmlTree::TextChanged(TreeItem item) {
  if (QTreeWidgetItem* qtItem = QtItem(item)) {
    qtItem->setText(0, QString::fromStdString(m_tree.GetItemText(item)));
    WidenColumn(RowWidth(item, qtItem));
    viewport()->update();
  }
}

void CXHtmlTree::PlatformExpand(TreeItem item, ExpandAction action) {
  QTreeWidgetItem* qtItem = QtItem(item);
  if (!qtItem) return;
  m_platformExpanding = true;
  switch (action) {
    case ExpandAction::kCollapse: qtItem->setExpanded(false); break;
    case ExpandAction::kExpand: qtItem->setExpanded(true); break;
    case ExpandAction::kToggle: qtItem->setExpanded(!qtItem->isExpanded()); break;
  }
  m_platformExpanding = false;
}

// The expand button is the platform's own; its changes reach the record too,
// so that a later double-click or arrow key starts from what is shown.
void CXHtmlTree::SyncExpanded(QTreeWidgetItem* qtItem, bool expanded) {
  if (m_platformExpanding) return;
  const TreeItem item = ItemOf(qtItem);
  const XHTMLTREEDATA* record = m_tree.FindRecord(item);
  if (record && record->expanded != expanded)
    m_tree.ExpandItem(item, expanded ? ExpandAction::kExpand : ExpandAction::kCollapse);
}

void CXHtmlTree::AllItemsRemoved() {
  m_columnWidth = 0;
  m_qtItems.clear();
  m_hoverItem = kNoItem;
  clear();
}

void CXHtmlTree::CheckboxClicked(TreeItem item, int tick) { emit checkboxClicked(NotifyData(item), tick); }

void CXHtmlTree::ItemExpanded(TreeItem item, int expanded) {
  emit itemExpandedNotify(NotifyData(item), expanded);
}

}  // namespace quillmere::controls
