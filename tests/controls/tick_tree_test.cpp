// The tick logic of the check-box tree, driven without a display. Each case
// runs a few steps on a small tree and compares the whole tree's state,
// written as "name:stateImage(tickedCount/descendantCount)" with a '*' for
// IsItemChecked, in pre-order.
#include "controls/tick_tree.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace quillmere::controls {
namespace {

class RecordingListener : public TickTreeListener {
 public:
  void CheckboxClicked(TreeItem item, int tick) override { clicks.push_back({item, tick}); }
  void ItemExpanded(TreeItem item, int expanded) override { expansions.push_back({item, expanded}); }
  std::vector<std::pair<TreeItem, int>> clicks;
  std::vector<std::pair<TreeItem, int>> expansions;
};

// A tree built from "parent>child" pairs; items are found by their text.
class SmallTree {
 public:
  explicit SmallTree(const std::vector<std::string>& edges, bool smart = true) {
    tree.SetSmartCheck(smart);
    for (const std::string& edge : edges) Add(edge);
    tree.SetListener(&listener);
  }

  // "P>X" adds X as the last child of P; ">X" adds a top-level item.
  TreeItem Add(const std::string& edge) {
    const auto split = edge.find('>');
    const std::string parent = edge.substr(0, split);
    const std::string name = edge.substr(split + 1);
    InsertRecord insert;
    insert.parent = parent.empty() ? kTreeRoot : items.at(parent);
    insert.text = name;
    const TreeItem item = tree.AddItem(insert);
    items[name] = item;
    return item;
  }

  TreeItem operator[](const std::string& name) const { return items.at(name); }

  std::string State() const {
    std::ostringstream out;
    for (TreeItem item = tree.GetChildItem(kTreeRoot); item != kNoItem; item = tree.NextItemInOrder(item)) {
      const XHTMLTREEDATA* record = tree.FindRecord(item);
      if (out.tellp() > 0) out << ' ';
      out << tree.GetItemText(item) << ':' << tree.GetStateImage(item);
      if (record->descendantCount != 0) out << '(' << record->tickedCount << '/' << record->descendantCount << ')';
      if (tree.IsItemChecked(item)) out << '*';
    }
    return out.str();
  }

  TickTree tree;
  RecordingListener listener;
  std::map<std::string, TreeItem> items;
};

// G holds P (with three children) and a leaf S.
const std::vector<std::string> kFamily = {">G", "G>P", "P>C1", "P>C2", "P>C3", "G>S"};

struct Step {
  enum Kind { kTick, kUntick, kAdd } kind;
  std::string what;  // an item, or for kAdd a "parent>child" pair
};

struct TickCase {
  const char* name;
  std::vector<Step> steps;
  const char* expected;
};

class TickCases : public ::testing::TestWithParam<TickCase> {};

TEST_P(TickCases, TreeStateAfterSteps) {
  SmallTree t(kFamily);
  for (const Step& step : GetParam().steps) {
    switch (step.kind) {
      case Step::kTick: t.tree.SetItemCheck(t[step.what], true); break;
      case Step::kUntick: t.tree.SetItemCheck(t[step.what], false); break;
      case Step::kAdd: t.Add(step.what); break;
    }
  }
  EXPECT_EQ(t.State(), GetParam().expected);
}

using S = Step;
INSTANTIATE_TEST_SUITE_P(
    SmartMode, TickCases,
    ::testing::Values(
        TickCase{"Fresh", {}, "G:1(0/5) P:1(0/3) C1:1 C2:1 C3:1 S:1"},
        // The parent and its three children are ticked; the grandparent
        // gains four: the children and the parent itself.
        TickCase{"TickParentOfThree", {{S::kTick, "P"}}, "G:3(4/5) P:2(3/3)* C1:2* C2:2* C3:2* S:1"},
        TickCase{"UntickOneOfThree",
                 {{S::kTick, "P"}, {S::kUntick, "C1"}},
                 "G:3(2/5) P:3(2/3) C1:1 C2:2* C3:2* S:1"},
        TickCase{"UntickAllThree",
                 {{S::kTick, "P"}, {S::kUntick, "C1"}, {S::kUntick, "C2"}, {S::kUntick, "C3"}},
                 "G:1(0/5) P:1(0/3) C1:1 C2:1 C3:1 S:1"},
        // The last leaf completes the parent, and that completes the
        // grandparent.
        TickCase{"LastChildCompletesParentAndGrandparent",
                 {{S::kTick, "S"}, {S::kTick, "C1"}, {S::kTick, "C2"}, {S::kTick, "C3"}},
                 "G:2(5/5)* P:2(3/3)* C1:2* C2:2* C3:2* S:2*"},
        TickCase{"TickTopTicksAll", {{S::kTick, "G"}}, "G:2(5/5)* P:2(3/3)* C1:2* C2:2* C3:2* S:2*"},
        TickCase{"UntickTopUnticksAll",
                 {{S::kTick, "G"}, {S::kUntick, "G"}},
                 "G:1(0/5) P:1(0/3) C1:1 C2:1 C3:1 S:1"},
        // A partly ticked parent clicked: its whole subtree becomes ticked.
        TickCase{"TickPartlyTickedParent",
                 {{S::kTick, "C2"}, {S::kTick, "P"}},
                 "G:3(4/5) P:2(3/3)* C1:2* C2:2* C3:2* S:1"},
        // A new unticked item under a fully ticked parent: the parent and
        // the grandparent become partly ticked, and the parent no longer
        // counts itself as ticked for the grandparent.
        TickCase{"AddUntickedUnderTickedParent",
                 {{S::kTick, "G"}, {S::kAdd, "P>X"}},
                 "G:3(4/6) P:3(3/4) C1:2* C2:2* C3:2* X:1 S:2*"},
        // Ticking the parent again afterwards ticks the new item too: the
        // way the folder tree is filled.
        TickCase{"AddThenTickParentAgain",
                 {{S::kTick, "G"}, {S::kAdd, "P>X"}, {S::kTick, "P"}},
                 "G:2(6/6)* P:2(4/4)* C1:2* C2:2* C3:2* X:2* S:2*"},
        // A ticked leaf that receives a child stops being ticked.
        TickCase{"AddUnderTickedLeaf",
                 {{S::kTick, "G"}, {S::kAdd, "C1>Y"}},
                 "G:3(3/6) P:3(2/4) C1:1(0/1) Y:1 C2:2* C3:2* S:2*"},
        // Re-ticking a ticked item changes nothing.
        TickCase{"TickTwice", {{S::kTick, "C1"}, {S::kTick, "C1"}}, "G:3(1/5) P:3(1/3) C1:2* C2:1 C3:1 S:1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TickTree, OutsideSmartModeATickStaysOnItsItem) {
  SmallTree t(kFamily, /*smart=*/false);
  t.tree.SetItemCheck(t["P"], true);
  EXPECT_EQ(t.State(), "G:1 P:2* C1:1 C2:1 C3:1 S:1");
}

// Items added before smart mode carry no counts, so a ticked P must not be
// taken for a fully ticked subtree: ticking G reaches C1 to C3 as well.
TEST(TickTree, SmartModeSwitchedOnLateStillTicksTheWholeSubtree) {
  SmallTree t(kFamily, /*smart=*/false);
  t.tree.SetItemCheck(t["P"], true);
  t.tree.SetSmartCheck(true);
  t.tree.SetItemCheck(t["G"], true);
  for (const char* name : {"G", "P", "C1", "C2", "C3", "S"})
    EXPECT_EQ(t.tree.GetStateImage(t[name]), kStateTicked) << name;
}

TEST(TickTree, NothingIsCheckedWhileCheckBoxesAreOff) {
  SmallTree t(kFamily);
  t.tree.SetItemCheck(t["G"], true);
  t.tree.Options().checkBoxes = false;
  EXPECT_FALSE(t.tree.IsItemChecked(t["C1"]));
  EXPECT_EQ(t.tree.FirstCheckedItem(), kNoItem);
  t.tree.SetItemCheck(t["C1"], false);  // ignored
  t.tree.Options().checkBoxes = true;
  EXPECT_TRUE(t.tree.IsItemChecked(t["C1"]));
}

// A top-level item with one child that has two children, only the first
// ticked: the child and the top are partly ticked, so the first checked item
// is the grandchild.
TEST(TickTree, FirstCheckedItemSkipsPartlyTickedChain) {
  SmallTree t({">T", "T>K", "K>L1", "K>L2"});
  t.tree.SetItemCheck(t["L1"], true);
  EXPECT_EQ(t.tree.FirstCheckedItem(), t["L1"]);
  EXPECT_EQ(t.tree.NextItemInOrder(t["L1"]), t["L2"]);
  EXPECT_FALSE(t.tree.IsItemChecked(t["L2"]));
}

TEST(TickTree, WalkingAFullyTickedTreeYieldsEveryItemInPreOrder) {
  SmallTree t({">A", "A>A1", "A1>A11", ">B", "B>B1", "B>B2", ">C"});
  for (const char* top : {"A", "B", "C"}) t.tree.SetItemCheck(t[top], true);
  std::string walked;
  for (TreeItem item = t.tree.FirstCheckedItem(); item != kNoItem; item = t.tree.NextItemInOrder(item)) {
    if (t.tree.IsItemChecked(item)) walked += t.tree.GetItemText(item) + " ";
  }
  EXPECT_EQ(walked, "A A1 A11 B B1 B2 C ");
}

TEST(TickTree, SpaceTwiceRestoresTheTickAndNotifiesTwice) {
  SmallTree t(kFamily);
  EXPECT_TRUE(t.tree.KeySpace(t["P"]));
  EXPECT_EQ(t.State(), "G:3(4/5) P:2(3/3)* C1:2* C2:2* C3:2* S:1");
  EXPECT_TRUE(t.tree.KeySpace(t["P"]));
  EXPECT_EQ(t.State(), "G:1(0/5) P:1(0/3) C1:1 C2:1 C3:1 S:1");
  using Clicks = std::vector<std::pair<TreeItem, int>>;
  EXPECT_EQ(t.listener.clicks, (Clicks{{t["P"], 1}, {t["P"], 0}}));
}

TEST(TickTree, SpaceWithoutSelectionChangesNothingButIsHandled) {
  SmallTree t(kFamily);
  EXPECT_TRUE(t.tree.KeySpace(kNoItem));
  EXPECT_EQ(t.State(), "G:1(0/5) P:1(0/3) C1:1 C2:1 C3:1 S:1");
  EXPECT_TRUE(t.listener.clicks.empty());
  t.tree.Options().checkBoxes = false;
  EXPECT_FALSE(t.tree.KeySpace(t["P"]));
}

TEST(TickTree, ReTickingStillNotifies) {
  SmallTree t(kFamily);
  t.tree.SetItemCheck(t["S"], false);
  ASSERT_EQ(t.listener.clicks.size(), 1u);
  EXPECT_EQ(t.listener.clicks[0].second, 0);
}

// The hover look stays on items below a ticked item, and is dropped from the
// item whose own state is recomputed.
TEST(TickTree, HoverLookSurvivesATickFromAbove) {
  SmallTree t(kFamily);
  t.tree.SetStateImage(t["C2"], kStateUnticked + kStateHoverOffset);
  t.tree.SetItemCheck(t["P"], true);
  EXPECT_EQ(t.tree.GetStateImage(t["C2"]), kStateTicked + kStateHoverOffset);
  t.tree.SetItemCheck(t["C2"], false);
  EXPECT_EQ(t.tree.GetStateImage(t["C2"]), kStateUnticked);
}

struct ExpandCase {
  const char* name;
  std::vector<ExpandAction> actions;
  bool expanded;
  std::vector<int> notified;  // the expansion states sent, in order
};

class ExpandCases : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandCases, NotifiesOnlyOnChange) {
  SmallTree t(kFamily);
  for (ExpandAction action : GetParam().actions) t.tree.ExpandItem(t["P"], action);
  EXPECT_EQ(t.tree.FindRecord(t["P"])->expanded, GetParam().expanded);
  std::vector<int> notified;
  for (const auto& [item, state] : t.listener.expansions) {
    EXPECT_EQ(item, t["P"]);
    notified.push_back(state);
  }
  EXPECT_EQ(notified, GetParam().notified);
}

using E = ExpandAction;
INSTANTIATE_TEST_SUITE_P(
    ExpandItem, ExpandCases,
    ::testing::Values(ExpandCase{"ExpandOnce", {E::kExpand}, true, {1}},
                      ExpandCase{"ExpandTwice", {E::kExpand, E::kExpand}, true, {1}},
                      ExpandCase{"CollapseCollapsed", {E::kCollapse}, false, {}},
                      ExpandCase{"ToggleTwice", {E::kToggle, E::kToggle}, false, {1, 0}},
                      ExpandCase{"ExpandCollapse", {E::kExpand, E::kCollapse}, false, {1, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TickTree, ALeafIsNeverMarkedExpanded) {
  SmallTree t(kFamily);
  t.tree.ExpandItem(t["C1"], ExpandAction::kExpand);
  EXPECT_FALSE(t.tree.FindRecord(t["C1"])->expanded);
  EXPECT_TRUE(t.listener.expansions.empty());
}

TEST(TickTree, ArrowsExpandAndCollapseOnlyWhatTheyChange) {
  SmallTree t(kFamily);
  EXPECT_FALSE(t.tree.KeyLeft(t["P"]));  // already collapsed: the platform moves to the parent
  EXPECT_TRUE(t.tree.KeyRight(t["P"]));
  EXPECT_FALSE(t.tree.KeyRight(t["P"]));  // already open: the platform moves to the child
  EXPECT_FALSE(t.tree.KeyRight(t["C1"]));
  EXPECT_TRUE(t.tree.KeyLeft(t["P"]));
  EXPECT_EQ(t.listener.expansions.size(), 2u);
}

TEST(TickTree, ExpandBranchOpensEveryItemBelow) {
  SmallTree t({">T", "T>K", "K>L1", "L1>M", ">U", "U>V"});
  t.tree.ExpandBranch(t["T"]);
  for (const char* name : {"T", "K", "L1"}) EXPECT_TRUE(t.tree.FindRecord(t[name])->expanded) << name;
  EXPECT_FALSE(t.tree.FindRecord(t["U"])->expanded);
}

TEST(TickTree, RemoveAllItemsCollapsesThenForgetsEveryRecord) {
  SmallTree t(kFamily);
  t.tree.ExpandItem(t["G"], ExpandAction::kExpand);
  t.tree.ExpandItem(t["P"], ExpandAction::kExpand);
  t.listener.expansions.clear();
  t.tree.RemoveAllItems();
  using Expansions = std::vector<std::pair<TreeItem, int>>;
  EXPECT_EQ(t.listener.expansions, (Expansions{{t["G"], 0}, {t["P"], 0}}));
  EXPECT_EQ(t.tree.GetCount(), 0u);
  EXPECT_EQ(t.tree.FindRecord(t["C1"]), nullptr);
  EXPECT_EQ(t.tree.GetChildItem(kTreeRoot), kNoItem);
  // Old handles are not items any more.
  t.tree.SetItemCheck(t["C1"], true);
  EXPECT_TRUE(t.listener.clicks.empty());
}

TEST(TickTree, ResetSendsNothingAndRestoresTheOptions) {
  SmallTree t(kFamily);
  t.tree.ExpandItem(t["G"], ExpandAction::kExpand);
  t.listener.expansions.clear();
  t.tree.Options().checkBoxes = false;
  t.tree.ResetTree();
  EXPECT_TRUE(t.listener.expansions.empty());
  EXPECT_TRUE(t.tree.Options().checkBoxes);
  EXPECT_FALSE(t.tree.Options().smartCheck);
  EXPECT_FALSE(t.tree.Busy());
}

TEST(TickTree, InsertPositionsAndBadParents) {
  SmallTree t({">A", ">C"});
  InsertRecord first{.parent = kTreeRoot, .insertAfter = kInsertFirst, .text = "Z"};
  InsertRecord middle{.parent = kTreeRoot, .insertAfter = t["A"], .text = "B"};
  t.tree.AddItem(first);
  t.tree.AddItem(middle);
  EXPECT_EQ(t.State(), "Z:1 A:1 B:1 C:1");
  EXPECT_EQ(t.tree.GetPrevSiblingItem(t["C"]), t.tree.GetNextSiblingItem(t["A"]));
  EXPECT_EQ(t.tree.AddItem({.parent = 999, .text = "X"}), kNoItem);
  EXPECT_EQ(t.tree.AddItem({.parent = t["A"], .insertAfter = t["C"], .text = "X"}), kNoItem);
}

TEST(TickTree, WithoutImagesItemsCarryTheNoImageValue) {
  TickTree tree;
  tree.Options().hasImages = false;
  const TreeItem item = tree.AddItem({.text = "A", .image = 5, .selectedImage = 5});
  EXPECT_EQ(tree.GetItemImage(item), kNoImage);
}

// A long single chain: ticking its top and unticking its leaf walk the whole
// depth level by level.
TEST(TickTree, DeepChainPropagatesBothWays) {
  TickTree tree;
  tree.SetSmartCheck(true);
  TreeItem top = kNoItem, parent = kTreeRoot;
  for (int depth = 0; depth < 3000; ++depth) {
    parent = tree.AddItem({.parent = parent, .text = "F"});
    if (top == kNoItem) top = parent;
  }
  tree.SetItemCheck(top, true);
  EXPECT_TRUE(tree.IsItemChecked(parent));
  EXPECT_EQ(tree.FindRecord(top)->tickedCount, 2999);
  tree.SetItemCheck(parent, false);
  EXPECT_EQ(tree.StateImageOf(top), kStateUnticked);
  EXPECT_EQ(tree.FindRecord(top)->tickedCount, 0);
}

}  // namespace
}  // namespace quillmere::controls
