// TTreeView: building and navigating the node tree, the selection and
// expansion events (also from code), deletion, hit tests and the mouse.

#include "platform/vcl/ImageList.h"
#include "platform/vcl/TreeView.h"
#include "platform/win/VirtualKeys.h"
#include "tests/platform/vcl/comctrls/ComCtrlsTestSupport.h"

namespace {

class TreeViewTest : public ComCtrlsTest {
 protected:
  void SetUp() override {
    ComCtrlsTest::SetUp();
    form = new TForm(nullptr);
    PrepareForm(*form, 300, 300);
    tv = new TTreeView(form);
    tv->SetParent(form);
    tv->SetBounds(0, 0, 200, 280);
    tv->SetName("tvPageList");
  }
  void TearDown() override {
    delete form;
    ComCtrlsTest::TearDown();
  }
  // Two groups with pages: G1 (P1, P2), G2 (P3).
  void Build() {
    g1 = tv->Items()->AddObject(nullptr, "G1", &data[0]);
    g2 = tv->Items()->Add(nullptr, "G2");
    p2 = tv->Items()->AddChild(g1, "P2");
    p1 = tv->Items()->AddChildFirst(g1, "P1");
    p3 = tv->Items()->AddChildObject(g2, "P3", &data[1]);
  }
  std::string Texts() const {
    std::string all;
    for (TTreeNode* n = tv->Items()->GetFirstNode(); n != nullptr; n = n->GetNext()) all += n->Text() + " ";
    return all;
  }
  // The middle of a node's label.
  TPoint LabelPoint(TTreeNode* node) {
    const TRect r = node->DisplayRect(true);
    return {r.Left + 3, r.Top + static_cast<int>(r.Height()) / 2};
  }
  TForm* form = nullptr;
  TTreeView* tv = nullptr;
  TTreeNode *g1 = nullptr, *g2 = nullptr, *p1 = nullptr, *p2 = nullptr, *p3 = nullptr;
  int data[2] = {1, 2};
};

}  // namespace

TEST_F(TreeViewTest, NodesKeepDataAndNavigateDepthFirst) {
  Build();
  EXPECT_EQ(Texts(), "G1 P1 P2 G2 P3 ");
  EXPECT_EQ(tv->Items()->Count(), 5);
  EXPECT_EQ(tv->Items()->Item(3), g2);
  EXPECT_THROW(tv->Items()->Item(5), EInvalidOperation);
  EXPECT_EQ(g1->Data, &data[0]);
  EXPECT_EQ(p3->Data, &data[1]);
  EXPECT_EQ(p1->Parent(), g1);
  EXPECT_EQ(g1->Parent(), nullptr);
  EXPECT_EQ(g1->Count(), 2);
  EXPECT_EQ(g1->Item(1), p2);
  EXPECT_EQ(g1->getFirstChild(), p1);
  EXPECT_EQ(p1->getNextSibling(), p2);
  EXPECT_EQ(p2->getNextSibling(), nullptr);
  EXPECT_EQ(p2->getPrevSibling(), p1);
  EXPECT_EQ(p2->GetNext(), g2);
  EXPECT_EQ(g2->GetPrev(), p2);
  EXPECT_EQ(p3->GetNext(), nullptr);
  EXPECT_EQ(p2->Index(), 1);
  EXPECT_EQ(p2->Level(), 1);
  EXPECT_EQ(g2->Level(), 0);
  EXPECT_EQ(p3->AbsoluteIndex(), 4);
  EXPECT_TRUE(g1->HasChildren());
  EXPECT_FALSE(p1->HasChildren());
  EXPECT_TRUE(p3->HasAsParent(g2));

  // Insert goes before its sibling; AddFirst makes a first sibling.
  TTreeNode* g0 = tv->Items()->AddFirst(g2, "G0");
  TTreeNode* pa = tv->Items()->Insert(p2, "Pa");
  EXPECT_EQ(Texts(), "G0 G1 P1 Pa P2 G2 P3 ");
  // MoveTo: down one place among the siblings, and into another group.
  pa->MoveTo(p2, naInsert);
  EXPECT_EQ(Texts(), "G0 G1 P1 Pa P2 G2 P3 ");
  p1->MoveTo(p2, naAdd);
  EXPECT_EQ(Texts(), "G0 G1 Pa P2 P1 G2 P3 ");
  p1->MoveTo(g2, naAddChildFirst);
  EXPECT_EQ(Texts(), "G0 G1 Pa P2 G2 P1 P3 ");
  g2->MoveTo(p3, naAddChild);  // into its own branch: refused
  EXPECT_EQ(Texts(), "G0 G1 Pa P2 G2 P1 P3 ");
  g0->MoveTo(nullptr, naAdd);
  EXPECT_EQ(Texts(), "G1 Pa P2 G2 P1 P3 G0 ");
  tv->AlphaSort();
  EXPECT_EQ(Texts(), "G0 G1 P2 Pa G2 P1 P3 ");
}

TEST_F(TreeViewTest, SettingSelectedFiresChangingThenChangeAndMayBeRefused) {
  Build();
  EventLog log;
  bool allow = true;
  tv->OnChanging = [&](TObject* sender, TTreeNode* node, bool& allowChange) {
    EXPECT_EQ(sender, tv);
    log.Add("changing:" + (node ? node->Text() : "-") + "/" + (tv->Selected() ? tv->Selected()->Text() : "-"));
    allowChange = allow;
  };
  tv->OnChange = [&](TObject*, TTreeNode* node) { log.Add("change:" + (node ? node->Text() : "-")); };
  tv->OnExpanding = [&](TObject*, TTreeNode* node, bool&) { log.Add("expanding:" + node->Text()); };

  tv->SetSelected(p3);  // its collapsed parent is expanded on the way
  EXPECT_EQ(log.Joined(), "changing:P3/- expanding:G2 change:P3");
  EXPECT_TRUE(g2->Expanded());
  EXPECT_TRUE(p3->Selected());
  log.Clear();
  tv->SetSelected(p3);  // the same node: nothing
  EXPECT_EQ(log.Joined(), "");
  allow = false;
  g1->SetSelected(true);
  EXPECT_EQ(tv->Selected(), p3);
  EXPECT_EQ(log.Joined(), "changing:G1/P3");
  allow = true;
  log.Clear();
  p3->SetSelected(false);
  EXPECT_EQ(tv->Selected(), nullptr);
  EXPECT_EQ(log.Joined(), "changing:-/P3 change:-");
}

TEST_F(TreeViewTest, DeletingTheSelectedBranchMovesTheSelectionWithEvents) {
  Build();
  tv->FullExpand();
  tv->SetSelected(p1);
  EventLog log;
  tv->OnChanging = [&](TObject*, TTreeNode* node, bool&) { log.Add("changing:" + (node ? node->Text() : "-")); };
  tv->OnChange = [&](TObject*, TTreeNode* node) { log.Add("change:" + (node ? node->Text() : "-")); };
  tv->OnDeletion = [&](TObject*, TTreeNode* node) { log.Add("delete:" + node->Text()); };

  p1->Delete();  // next sibling
  EXPECT_EQ(log.Joined(), "changing:P2 change:P2 delete:P1");
  log.Clear();
  tv->Items()->Delete(p2);  // no sibling left: the parent
  EXPECT_EQ(log.Joined(), "changing:G1 change:G1 delete:P2");
  log.Clear();
  tv->SetSelected(p3);
  log.Clear();
  g2->Delete();  // a branch: children first; the previous sibling
  EXPECT_EQ(log.Joined(), "changing:G1 change:G1 delete:P3 delete:G2");
  log.Clear();
  tv->Items()->Add(nullptr, "G3");
  tv->Items()->Clear();
  EXPECT_EQ(log.Joined(), "changing:- change:- delete:G3 delete:G1");
  EXPECT_EQ(tv->Items()->Count(), 0);
  EXPECT_EQ(tv->Selected(), nullptr);
}

TEST_F(TreeViewTest, ExpandAndCollapseFireTheirEventsAndCollapsingMovesAHiddenSelection) {
  Build();
  EventLog log;
  bool allowCollapse = false;
  tv->OnExpanding = [&](TObject*, TTreeNode* node, bool&) { log.Add("expanding:" + node->Text()); };
  tv->OnExpanded = [&](TObject*, TTreeNode* node) { log.Add("expanded:" + node->Text()); };
  tv->OnCollapsing = [&](TObject*, TTreeNode* node, bool& allow) {
    log.Add("collapsing:" + node->Text());
    allow = allowCollapse;
  };
  tv->OnCollapsed = [&](TObject*, TTreeNode* node) { log.Add("collapsed:" + node->Text()); };
  tv->OnChange = [&](TObject*, TTreeNode* node) { log.Add("change:" + node->Text()); };
  p1->Expand(false);  // no children: nothing
  g1->SetExpanded(true);
  EXPECT_TRUE(g1->Expanded());
  g1->Collapse(false);  // refused
  EXPECT_TRUE(g1->Expanded());
  EXPECT_EQ(log.Joined(), "expanding:G1 expanded:G1 collapsing:G1");
  tv->SetSelected(p2);
  allowCollapse = true;
  log.Clear();
  g1->Collapse(false);
  EXPECT_EQ(log.Joined(), "collapsing:G1 change:G1 collapsed:G1");
  EXPECT_EQ(tv->Selected(), g1);
  tv->FullExpand();
  EXPECT_TRUE(g1->Expanded() && g2->Expanded());
  EXPECT_TRUE(p3->IsVisible());
}

TEST_F(TreeViewTest, HitTestsFindButtonsIconsLabelsAndNodesUnderThePoint) {
  TImageList states(nullptr);
  TBitmap strip;
  MakeStrip(strip, 16, {clRed, clGreen, clBlue});
  states.AddMasked(&strip, clFuchsia);
  tv->SetStateImages(&states);
  Build();
  tv->FullExpand();
  g1->SetStateIndex(1);
  const int h = tv->ItemHeight();
  const int indent = tv->Indent();
  // Row 0 is G1 (level 0, with ShowRoot its button cell is the first indent).
  const int y = h / 2;
  EXPECT_EQ(tv->GetHitTestInfoAt(indent / 2 + 3, y), static_cast<THitTests>(htOnButton));
  EXPECT_EQ(tv->GetHitTestInfoAt(3 + indent + 4, y), static_cast<THitTests>(htOnStateIcon | htOnItem));
  EXPECT_EQ(tv->GetHitTestInfoAt(LabelPoint(g1).x, y), static_cast<THitTests>(htOnLabel | htOnItem));
  EXPECT_EQ(tv->GetHitTestInfoAt(190, y), static_cast<THitTests>(htOnRight));
  // Row 1 is P1: its indent holds no button.
  EXPECT_EQ(tv->GetHitTestInfoAt(indent + 5, h + h / 2), static_cast<THitTests>(htOnIndent));
  EXPECT_EQ(tv->GetNodeAt(190, h + 2), p1);  // anywhere on the row
  EXPECT_EQ(tv->GetNodeAt(5, 5 * h + 2), nullptr);
  EXPECT_EQ(tv->GetHitTestInfoAt(5, 5 * h + 2), static_cast<THitTests>(htNowhere));
  EXPECT_EQ(tv->GetHitTestInfoAt(5, -1) & htAbove, static_cast<THitTests>(htAbove));
  EXPECT_EQ(tv->GetHitTestInfoAt(5, 10000) & htBelow, static_cast<THitTests>(htBelow));
  tv->SetStateImages(nullptr);
}

TEST_F(TreeViewTest, MouseDownSeesThePressBeforeTheTreeActsAsTheDesignerRelies) {
  // The designer's rule: collapse only after a press on an expand button.
  Build();
  tv->FullExpand();
  form->Show();
  EventLog log;
  tv->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
    tv->Tag = (tv->GetHitTestInfoAt(x, y) & htOnButton) ? 1 : 0;
    log.Add("down");
  };
  tv->OnCollapsing = [&](TObject*, TTreeNode*, bool& allow) {
    allow = tv->Tag != 0;
    tv->Tag = 0;
    log.Add(allow ? "collapse" : "keep");
  };
  tv->OnDblClick = [&](TObject*) { log.Add("dbl"); };
  tv->OnChange = [&](TObject*, TTreeNode* node) { log.Add("change:" + node->Text()); };

  const TPoint label = LabelPoint(g1);
  Driver::Click(tv, label.x, label.y);
  EXPECT_TRUE(tv->Focused());
  EXPECT_EQ(tv->Selected(), g1);
  Driver::DoubleClick(tv, label.x, label.y);  // would toggle: refused
  EXPECT_TRUE(g1->Expanded());
  const int h = tv->ItemHeight();
  Driver::Click(tv, tv->Indent() / 2 + 3, h / 2);  // the button
  EXPECT_FALSE(g1->Expanded());
  EXPECT_EQ(log.Joined(), "down change:G1 down dbl down keep down collapse");
  Driver::Click(tv, tv->Indent() / 2 + 3, h / 2);
  EXPECT_TRUE(g1->Expanded());

  // Keys move the selection.
  Driver::PressKey(VK_DOWN);
  EXPECT_EQ(tv->Selected(), p1);
  Driver::PressKey(VK_END);
  EXPECT_EQ(tv->Selected(), p3);  // the last visible node
}

TEST_F(TreeViewTest, DragOverMarksTheDropTargetUnderTheMouseUntilTheDragLeaves) {
  Build();
  tv->FullExpand();
  form->Show();
  TTreeNode* marked = nullptr;
  TTreeNode* dropped = nullptr;
  tv->OnDragOver = [&](TObject*, TObject*, int x, int y, TDragState state, bool& accept) {
    if (state == dsDragLeave) marked = tv->DropTarget();
    accept = tv->GetNodeAt(x, y) != nullptr;
  };
  // As in the class library, the drop target is gone when the drop arrives:
  // the handler asks for the node at the point.
  tv->OnDragDrop = [&](TObject*, TObject*, int x, int y) {
    EXPECT_EQ(tv->DropTarget(), nullptr);
    dropped = tv->GetNodeAt(x, y);
  };
  TDragObject drag;
  const TPoint at = LabelPoint(p2);
  EXPECT_TRUE(Driver::DragAndDrop(&drag, tv, at.x, at.y));
  EXPECT_EQ(marked, p2);
  EXPECT_EQ(dropped, p2);
  EXPECT_EQ(tv->DropTarget(), nullptr);
  EXPECT_FALSE(Driver::DragAndDrop(&drag, tv, 10, 270));
}
