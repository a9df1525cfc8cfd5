// The check-box tree widget: mouse and keys reach the tick logic, the rows
// follow the model, the notifications arrive as signals, tooltips appear
// only for cut-off text.
#include <QSignalSpy>
#include <QTest>

#include "controls/gui/xhtml_tree.h"

using namespace quillmere::controls;

namespace {

// A tree of a top item with two children, the first with one child, shown
// in a fixed-size window.
struct Fixture {
  Fixture() {
    tree.setObjectName("1009");
    tree.resize(200, 160);
    tree.SetSmartCheck(true);
    top = tree.AddItem({.text = "Top"});
    a = tree.AddItem({.parent = top, .text = "A"});
    a1 = tree.AddItem({.parent = a, .text = "A1"});
    b = tree.AddItem({.parent = top, .text = "B"});
    tree.ExpandItem(top, ExpandAction::kExpand);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
  }
  QPoint BoxCentre(TreeItem item) const { return tree.CheckBoxRect(item).center(); }
  QPoint LabelPoint(TreeItem item) const {
    return tree.visualItemRect(tree.QtItem(item)).topLeft() + QPoint(tree.ImageSize() + 8, 4);
  }

  CXHtmlTree tree;
  TreeItem top = kNoItem, a = kNoItem, a1 = kNoItem, b = kNoItem;
};

}  // namespace

class XHtmlTreeTest : public QObject {
  Q_OBJECT

 private slots:
  void rowsFollowTheModel() {
    Fixture f;
    QCOMPARE(f.tree.topLevelItemCount(), 1);
    QTreeWidgetItem* top = f.tree.QtItem(f.top);
    QCOMPARE(top->childCount(), 2);
    QCOMPARE(top->child(0)->text(0), QString("A"));
    QCOMPARE(top->child(1)->text(0), QString("B"));
    QVERIFY(top->isExpanded());
    QCOMPARE(f.tree.ItemOf(top->child(0)->child(0)), f.a1);
    // An item put first among existing siblings lands first on screen too.
    const TreeItem z = f.tree.AddItem({.parent = f.top, .insertAfter = kInsertFirst, .text = "Z"});
    QCOMPARE(f.tree.ItemOf(top->child(0)), z);
  }

  void clickOnTheBoxTicksSelectsAndSignals() {
    Fixture f;
    QSignalSpy clicked(&f.tree, &CXHtmlTree::checkboxClicked);
    QTest::mouseClick(f.tree.viewport(), Qt::LeftButton, {}, f.BoxCentre(f.a));
    QVERIFY(f.tree.IsItemChecked(f.a));
    QVERIFY(f.tree.IsItemChecked(f.a1));
    QCOMPARE(f.tree.Model().GetStateImage(f.a), kStateTicked + kStateHoverOffset);
    QCOMPARE(f.tree.Model().GetStateImage(f.top), kStateTriState);
    QCOMPARE(f.tree.SelectedItem(), f.a);
    QCOMPARE(clicked.size(), 1);
    const auto data = clicked[0][0].value<TreeNotifyData>();
    QCOMPARE(data.controlId, 1009);
    QCOMPARE(data.item, f.a);
    QCOMPARE(data.tree, static_cast<QWidget*>(&f.tree));
    QCOMPARE(clicked[0][1].toInt(), 1);
    // Leaving the tree drops the hover look.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&f.tree, &leave);
    QCOMPARE(f.tree.Model().GetStateImage(f.a), kStateTicked);
  }

  void clickOnTheLabelOnlySelects() {
    Fixture f;
    QTest::mouseClick(f.tree.viewport(), Qt::LeftButton, {}, f.LabelPoint(f.b));
    QCOMPARE(f.tree.SelectedItem(), f.b);
    QVERIFY(!f.tree.IsItemChecked(f.b));
    // A press on empty space keeps the selection.
    QTest::mouseClick(f.tree.viewport(), Qt::LeftButton, {}, QPoint(100, 150));
    QCOMPARE(f.tree.SelectedItem(), f.b);
  }

  void spaceTogglesTheSelectedItem() {
    Fixture f;
    QSignalSpy clicked(&f.tree, &CXHtmlTree::checkboxClicked);
    QTest::keyClick(&f.tree, Qt::Key_Space);  // nothing selected yet
    QCOMPARE(clicked.size(), 0);
    f.tree.SelectEnabledItem(f.top);
    QTest::keyClick(&f.tree, Qt::Key_Space);
    QVERIFY(f.tree.IsItemChecked(f.b));
    QTest::keyClick(&f.tree, Qt::Key_Space);
    QVERIFY(!f.tree.IsItemChecked(f.b));
    QCOMPARE(clicked.size(), 2);
  }

  void keysExpandCollapseAndMove() {
    Fixture f;
    QSignalSpy expanded(&f.tree, &CXHtmlTree::itemExpandedNotify);
    f.tree.SelectEnabledItem(f.a);
    QTest::keyClick(&f.tree, Qt::Key_Right);
    QVERIFY(f.tree.QtItem(f.a)->isExpanded());
    QVERIFY(f.tree.Model().FindRecord(f.a)->expanded);
    QTest::keyClick(&f.tree, Qt::Key_Down);
    QCOMPARE(f.tree.SelectedItem(), f.a1);
    QTest::keyClick(&f.tree, Qt::Key_Up);
    QCOMPARE(f.tree.SelectedItem(), f.a);
    QTest::keyClick(&f.tree, Qt::Key_Minus, Qt::KeypadModifier);
    QVERIFY(!f.tree.QtItem(f.a)->isExpanded());
    QTest::keyClick(&f.tree, Qt::Key_Plus, Qt::KeypadModifier);
    QVERIFY(f.tree.QtItem(f.a)->isExpanded());
    QCOMPARE(expanded.size(), 3);
    QCOMPARE(expanded[2][1].toInt(), 1);
    // Keypad multiply opens everything below the selection.
    f.tree.ExpandItem(f.top, ExpandAction::kCollapse);
    f.tree.ExpandItem(f.a, ExpandAction::kCollapse);
    f.tree.SelectEnabledItem(f.top);
    QTest::keyClick(&f.tree, Qt::Key_Asterisk, Qt::KeypadModifier);
    QVERIFY(f.tree.QtItem(f.top)->isExpanded());
    QVERIFY(f.tree.QtItem(f.a)->isExpanded());
  }

  void doubleClickTogglesAParent() {
    Fixture f;
    QSignalSpy expanded(&f.tree, &CXHtmlTree::itemExpandedNotify);
    QTest::mouseDClick(f.tree.viewport(), Qt::LeftButton, {}, f.LabelPoint(f.top));
    QVERIFY(!f.tree.QtItem(f.top)->isExpanded());
    QVERIFY(!f.tree.Model().FindRecord(f.top)->expanded);
    QCOMPARE(expanded.size(), 1);
    QCOMPARE(expanded[0][1].toInt(), 0);
  }

  // The expand button is handled by Qt; the record follows it, so a
  // double-click afterwards opens the item again instead of doing nothing.
  void expandButtonKeepsTheRecordInStep() {
    Fixture f;
    f.tree.collapseItem(f.tree.QtItem(f.top));
    QVERIFY(!f.tree.Model().FindRecord(f.top)->expanded);
    QTest::mouseDClick(f.tree.viewport(), Qt::LeftButton, {}, f.LabelPoint(f.top));
    QVERIFY(f.tree.QtItem(f.top)->isExpanded());
  }

  void tooltipOnlyForCutOffText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tip");
    QTest::newRow("fits") << "Inbox" << "";
    const QString longText = QString("Projects and their many archived sub folders ").repeated(3);
    QTest::newRow("cut off") << longText << longText.left(78);
  }
  void tooltipOnlyForCutOffText() {
    QFETCH(QString, text);
    QFETCH(QString, tip);
    Fixture f;
    const TreeItem item = f.tree.AddItem({.parent = f.top, .text = text.toStdString()});
    f.tree.viewport()->repaint();
    const QPoint on = f.LabelPoint(item);
    QCOMPARE(f.tree.TooltipTextAt(on), tip);
    QSignalSpy display(&f.tree, &CXHtmlTree::displayTooltip);
    QHelpEvent help(QEvent::ToolTip, on, f.tree.viewport()->mapToGlobal(on));
    QApplication::sendEvent(f.tree.viewport(), &help);
    QCOMPARE(display.size(), tip.isEmpty() ? 0 : 1);
  }

  void boldItemsDrawWiderText() {
    Fixture f;
    f.tree.viewport()->repaint();
    const int plain = f.tree.Model().FindRecord(f.b)->textRightEdge;
    f.tree.Model().SetItemBold(f.b, true);
    f.tree.viewport()->repaint();
    QVERIFY(f.tree.Model().FindRecord(f.b)->textRightEdge > plain);
  }

  void resetRemovesItemsAndRebuildsImages() {
    Fixture f;
    QSignalSpy expanded(&f.tree, &CXHtmlTree::itemExpandedNotify);
    f.tree.SetCheckBoxes(false);
    QCOMPARE(f.tree.CheckBoxImages().Count(), 0);
    f.tree.ResetTree();
    QCOMPARE(f.tree.topLevelItemCount(), 0);
    QCOMPARE(f.tree.CheckBoxImages().Count(), kCheckBoxCells);
    QVERIFY(!f.tree.Model().Options().smartCheck);
    QCOMPARE(expanded.size(), 0);
  }

  void removeAllItemsCollapsesFirst() {
    Fixture f;
    QSignalSpy expanded(&f.tree, &CXHtmlTree::itemExpandedNotify);
    f.tree.RemoveAllItems();
    QCOMPARE(f.tree.topLevelItemCount(), 0);
    QCOMPARE(expanded.size(), 1);
    QCOMPARE(expanded[0][1].toInt(), 0);
  }

  void tooltipWidthFollowsTheTree() {
    CXHtmlTree alone;
    alone.resize(100, 100);
    QCOMPARE(alone.TooltipMaxWidth(), 200);
    QWidget parent;
    parent.resize(600, 400);
    auto* inside = new CXHtmlTree(&parent);
    inside->resize(100, 100);
    QCOMPARE(inside->TooltipMaxWidth(), 300);
    inside->resize(400, 100);
    QCOMPARE(inside->TooltipMaxWidth(), 300);
  }
};

QTEST_MAIN(XHtmlTreeTest)
#include "xhtml_tree_test.moc"
