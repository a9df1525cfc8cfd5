#pragma once
// CXHtmlTree: the tree with tri-state check boxes on which the user picks
// folders. It shows a TickTree (the items, their XHTMLTREEDATA and the tick
// logic) through a Qt tree widget, draws its own check boxes from the check
// box image strip, paints item text itself (so single items can be bold),
// shows the full text of a cut-off item as a tooltip, and reports tick and
// expand changes as signals.
//
// Every operation runs on the thread that owns the widget; a worker reaches
// the tree by running its change there (a blocking queued call), so the
// records are never changed while the tree paints them.
#include <QTreeWidget>

#include "controls/gui/check_box_images.h"
#include "controls/gui/image_list.h"
#include "controls/tick_tree.h"

namespace quillmere::controls {

// What every notification carries: the tree, its control id and the item.
struct TreeNotifyData {
  QWidget* tree = nullptr;
  int32_t controlId = 0;
  TreeItem item = kNoItem;
};

// The longest text a tooltip shows.
inline constexpr int kTooltipTextLimit = 78;
// Identifier of the first tooltip tool area (one per visible row).
inline constexpr int kFirstTooltipTool = 10000;

class CXHtmlTree : public QTreeWidget, private TickTreeListener {
  Q_OBJECT

 public:
  explicit CXHtmlTree(QWidget* parent = nullptr);
  ~CXHtmlTree() override;

  // The tick logic and the items; the widget follows every change of it.
  TickTree& Model() { return m_tree; }
  const TickTree& Model() const { return m_tree; }

  void ResetTree();
  TreeItem AddItem(const InsertRecord& insert) { return m_tree.AddItem(insert); }
  void SetItemCheck(TreeItem item, bool tick) { m_tree.SetItemCheck(item, tick); }
  bool IsItemChecked(TreeItem item) const { return m_tree.IsItemChecked(item); }
  TreeItem FirstCheckedItem() const { return m_tree.FirstCheckedItem(); }
  TreeItem NextItemInOrder(TreeItem item) const { return m_tree.NextItemInOrder(item); }
  void ExpandItem(TreeItem item, ExpandAction action) { m_tree.ExpandItem(item, action); }
  void RemoveAllItems();

  void SetSmartCheck(bool on) { m_tree.SetSmartCheck(on); }
  void SetHasImages(bool on) { m_tree.Options().hasImages = on; }
  void SetCheckBoxes(bool on);
  // The folder images; the tree does not own the list.
  void SetNormalImageList(const ImageList* list);
  const ImageList* NormalImageList() const { return m_normalImages; }
  // Where the themed check boxes come from (the application's style unless
  // told otherwise); takes effect at the next reset.
  void SetCheckBoxTheme(const CheckBoxTheme& theme) { m_theme = theme; }
  const ImageList& CheckBoxImages() const { return m_checkBoxImages; }

  bool CheckSelects() const { return m_checkSelects; }
  bool ToolTipsOn() const { return m_toolTips; }
  int ImageSize() const { return m_imageSize; }

  TreeItem SelectedItem() const;
  void SelectEnabledItem(TreeItem item);
  QTreeWidgetItem* QtItem(TreeItem item) const { return m_qtItems.value(item, nullptr); }
  TreeItem ItemOf(const QTreeWidgetItem* qtItem) const;

  // Geometry in viewport coordinates, for the mouse handling and for tests.
  QRect CheckBoxRect(TreeItem item) const;
  // The tooltip text for a viewport point: empty when there is no item, the
  // point is not on its box, image or label, or the text fits.
  QString TooltipTextAt(const QPoint& point) const;
  int TooltipMaxWidth() const;
  TreeNotifyData NotifyData(TreeItem item) const;

  // Colours read from the palette at reset and on every palette change.
  struct Colours {
    QColor background, text, grayText, highlight, highlightText;
  };
  const Colours& TreeColours() const { return m_colours; }

 signals:
  void checkboxClicked(quillmere::controls::TreeNotifyData data, int tick);
  void itemExpandedNotify(quillmere::controls::TreeNotifyData data, int expanded);
  // A slot may set *suppress to true to cancel the tip.
  void displayTooltip(quillmere::controls::TreeNotifyData data, QObject* tooltip, bool* suppress);
  void initTooltip(quillmere::controls::TreeNotifyData data, QObject* tooltip);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  friend class XHtmlTreeDelegate;

  // TickTreeListener
  void ItemInserted(TreeItem item) override;
  void StateImagesChanged() override;
  void TextChanged(TreeItem item) override;
  void PlatformExpand(TreeItem item, ExpandAction action) override;
  void AllItemsRemoved() override;
  void CheckboxClicked(TreeItem item, int tick) override;
  void ItemExpanded(TreeItem item, int expanded) override;

  void ReadColours();
  void RebuildCheckBoxImages();
  void ClearHover();
  void SyncExpanded(QTreeWidgetItem* qtItem, bool expanded);
  int RowWidth(TreeItem item, const QTreeWidgetItem* qtItem) const;
  void WidenColumn(int width);

  TickTree m_tree;
  QHash<TreeItem, QTreeWidgetItem*> m_qtItems;
  ImageList m_checkBoxImages;
  const ImageList* m_normalImages = nullptr;
  CheckBoxTheme m_theme;
  Colours m_colours;
  bool m_checkSelects = true;
  bool m_toolTips = true;
  int m_imageSize = 16;
  QObject* m_tooltip = nullptr;
  bool m_tooltipToolsStale = true;
  int m_tooltipTools = 0;
  TreeItem m_hoverItem = kNoItem;
  bool m_platformExpanding = false;
  // The width of the one column: that of the widest row so far.
  int m_columnWidth = 0;
};

}  // namespace quillmere::controls

Q_DECLARE_METATYPE(quillmere::controls::TreeNotifyData)
