#pragma once
// TTreeView, TTreeNodes and TTreeNode (unit ComCtrls): a tree of nodes with
// a text, a data pointer, images and a state image.
//
// Events (from code as well as from the user, as the class library passes
// the system's notifications on):
// - Selected: OnChanging (may refuse) then OnChange; the parents of the new
//   node are expanded first. Selecting the selected node again fires
//   nothing.
// - Expand / Collapse (and Expanded): OnExpanding / OnCollapsing (may
//   refuse), then OnExpanded / OnCollapsed; a node without children does not
//   expand. Collapsing a node that holds the selection moves the selection
//   to it (with OnChanging and OnChange).
// - Deleting a node fires OnDeletion for every node of its branch, the
//   children first, while they still stand. When the branch holds the
//   selection, the selection moves to the next sibling, else the previous
//   sibling, else the parent (OnChanging, whose answer cannot keep the
//   deleted node, then OnChange); Clear leaves no selection (OnChanging and
//   OnChange with none). A tree being destroyed fires none of these.
//
// The mouse: OnMouseDown fires first; then a press on a node's expand
// button toggles it, a press on the node's label, icon or state icon (the
// whole row with RowSelect) selects it, and a double click there toggles
// the node. The state image StateIndex is taken from StateImages; index 0
// and below show none (the system reserves the first state image).

#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/ComCtrlsTypes.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/WinControl.h"

class TCustomImageList;
class TTreeView;
class TTreeNodes;

enum TNodeAttachMode { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };

enum THitTestFlag : unsigned {
  htAbove = 1u << 0,
  htBelow = 1u << 1,
  htNowhere = 1u << 2,
  htOnItem = 1u << 3,
  htOnButton = 1u << 4,
  htOnIcon = 1u << 5,
  htOnIndent = 1u << 6,
  htOnLabel = 1u << 7,
  htOnRight = 1u << 8,
  htOnStateIcon = 1u << 9,
  htToLeft = 1u << 10,
  htToRight = 1u << 11,
};
using THitTests = unsigned;

class TTreeNode {
 public:
  ~TTreeNode();
  TTreeNode(const TTreeNode&) = delete;
  TTreeNode& operator=(const TTreeNode&) = delete;

  const std::string& Text() const { return text_; }
  void SetText(const std::string& value);
  void* Data = nullptr;
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  // The image shown while the node is selected.
  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int value);
  int StateIndex() const { return stateIndex_; }
  void SetStateIndex(int value);

  bool Expanded() const { return expanded_; }
  void SetExpanded(bool value);
  void Expand(bool recurse);
  void Collapse(bool recurse);
  bool HasChildren() const { return !children_.empty() || hasChildren_; }
  // Shows the expand button even without children (for filling on demand).
  void SetHasChildren(bool value);

  // --- navigation ---
  // The parent node (null for a top-level node).
  TTreeNode* Parent() const;
  int Count() const { return static_cast<int>(children_.size()); }
  // EInvalidOperation for an index outside 0 .. Count() - 1.
  TTreeNode* Item(int index) const;
  TTreeNode* operator[](int index) const { return Item(index); }
  int IndexOf(const TTreeNode* child) const;
  TTreeNode* getFirstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
  TTreeNode* GetLastChild() const { return children_.empty() ? nullptr : children_.back().get(); }
  TTreeNode* getNextSibling() const;
  TTreeNode* getPrevSibling() const;
  // Depth first: the first child, else the next sibling, else the next
  // sibling of the nearest parent that has one.
  TTreeNode* GetNext() const;
  TTreeNode* GetPrev() const;
  // As GetNext and GetPrev over the nodes whose parents are all expanded.
  TTreeNode* GetNextVisible() const;
  TTreeNode* GetPrevVisible() const;
  // The place among the siblings.
  int Index() const;
  // 0 for a top-level node.
  int Level() const;
  // The place in depth-first order over the whole tree.
  int AbsoluteIndex() const;
  bool HasAsParent(const TTreeNode* node) const;
  // Every parent is expanded.
  bool IsVisible() const;

  bool Selected() const;
  void SetSelected(bool value);
  bool Focused() const { return Selected(); }
  bool Deleting() const { return deleting_; }
  TTreeNodes* Owner() const { return owner_; }
  TTreeView* TreeView() const;

  // Deletes (and frees) the node with its branch.
  void Delete();
  void DeleteChildren();
  // Moves the node (with its branch) relative to `destination` (null: to
  // the end of the top level); a destination inside the node's own branch
  // is refused (nothing moves).
  void MoveTo(TTreeNode* destination, TNodeAttachMode mode);
  void MakeVisible();
  // The node's row, or with `textOnly` its label, in client coordinates
  // (empty when the node is not visible).
  TRect DisplayRect(bool textOnly) const;
  // Sorts the children (with `recurse` the whole branch) by OnCompare or by
  // text.
  bool AlphaSort(bool recurse = false);

 private:
  friend class TTreeNodes;
  friend class TTreeView;
  explicit TTreeNode(TTreeNodes* owner) : owner_(owner) {}

  TTreeNodes* owner_;
  TTreeNode* parent_ = nullptr;  // the hidden root for top-level nodes
  // Takes the child out of the list and hands it over.
  std::unique_ptr<TTreeNode> Unlink(TTreeNode* child);

  std::vector<std::unique_ptr<TTreeNode>> children_;
  std::string text_;
  int imageIndex_ = -1;
  int selectedIndex_ = -1;
  int stateIndex_ = -1;
  bool expanded_ = false;
  bool hasChildren_ = false;
  bool deleting_ = false;
};

class TTreeNodes {
 public:
  explicit TTreeNodes(TTreeView* view);
  ~TTreeNodes();

  // Adds after the last sibling of `sibling` (null: a last top-level node).
  TTreeNode* Add(TTreeNode* sibling, const std::string& text);
  TTreeNode* AddObject(TTreeNode* sibling, const std::string& text, void* data);
  // As the first sibling of `sibling` (null: the first top-level node).
  TTreeNode* AddFirst(TTreeNode* sibling, const std::string& text);
  TTreeNode* AddObjectFirst(TTreeNode* sibling, const std::string& text, void* data);
  // As the last (first) child of `parent` (null: at the top level).
  TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
  TTreeNode* AddChildObject(TTreeNode* parent, const std::string& text, void* data);
  TTreeNode* AddChildFirst(TTreeNode* parent, const std::string& text);
  TTreeNode* AddChildObjectFirst(TTreeNode* parent, const std::string& text, void* data);
  // Before `sibling` (null: a last top-level node).
  TTreeNode* Insert(TTreeNode* sibling, const std::string& text);
  TTreeNode* InsertObject(TTreeNode* sibling, const std::string& text, void* data);

  void Delete(TTreeNode* node);
  void Clear();
  // Every node of the tree.
  int Count() const;
  // The node at a depth-first index; EInvalidOperation outside.
  TTreeNode* Item(int index) const;
  TTreeNode* operator[](int index) const { return Item(index); }
  TTreeNode* GetFirstNode() const { return root_->getFirstChild(); }
  // Painting waits until the last EndUpdate.
  void BeginUpdate() { ++updating_; }
  void EndUpdate();
  int UpdateCount() const { return updating_; }
  TTreeView* Owner() const { return view_; }

 private:
  friend class TTreeNode;
  friend class TTreeView;
  TTreeNode* InsertNode(TTreeNode* parent, int index, const std::string& text, void* data);
  // Unlinks and frees a branch (OnDeletion for each node, children first).
  void FreeBranch(TTreeNode* node);

  TTreeView* view_;
  std::unique_ptr<TTreeNode> root_;
  int updating_ = 0;
};

using TTVChangedEvent = Closure<void(TObject* Sender, TTreeNode* Node)>;
using TTVChangingEvent = Closure<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVExpandingEvent = Closure<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = Closure<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = Closure<void(TObject* Sender, TTreeNode* Node)>;
using TTVCompareEvent = Closure<void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2, int Data, int& Compare)>;
using TTVCustomDrawItemEvent =
    Closure<void(TTreeView* Sender, TTreeNode* Node, TCustomDrawState State, bool& DefaultDraw)>;

class TTreeView : public TCustomControl, public TNonClientPainter {
 public:
  explicit TTreeView(TComponent* AOwner);
  ~TTreeView() override;

  TTreeNodes* Items() { return items_.get(); }
  TTreeNode* Selected() const { return selected_; }
  // Selects the node (null: none), with the events; refused nodes of other
  // trees are ignored.
  void SetSelected(TTreeNode* node);
  TTreeNode* DropTarget() const { return dropTarget_; }
  void SetDropTarget(TTreeNode* node);

  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  TCustomImageList* StateImages() const { return stateImages_; }
  void SetStateImages(TCustomImageList* value);

  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool value);
  bool ShowLines() const { return showLines_; }
  void SetShowLines(bool value);
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool value);
  int Indent() const { return indent_; }
  void SetIndent(int value);
  bool ReadOnly = false;
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);

  void FullExpand();
  void FullCollapse();
  bool AlphaSort(bool recurse = true);

  // --- geometry ---
  int ItemHeight() const;
  // The first row shown (an index into the visible nodes).
  int TopIndex() const { return topIndex_; }
  void SetTopIndex(int value);
  TTreeNode* TopItem() const;
  int VisibleCount() const;
  // The node whose row holds the point (any x inside the client area), or
  // null.
  TTreeNode* GetNodeAt(int x, int y) const;
  THitTests GetHitTestInfoAt(int x, int y) const;

  // --- events ---
  TTVChangedEvent OnChange;
  TTVChangingEvent OnChanging;
  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;
  TTVExpandedEvent OnDeletion;
  TTVCompareEvent OnCompare;
  TTVCustomDrawItemEvent OnCustomDrawItem;

  void Notification(TComponent* component, TOperation operation) override;
  void Dispatch(void* message) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void DragOver(TObject* source, int x, int y, TDragState state, bool& accept) override;
  void DragDrop(TObject* source, int x, int y) override;
  TRect BorderInsets() const override;
  void PaintNonClient(TCanvas* canvas) override;
  void Paint() override;

 protected:
  virtual bool CanChange(TTreeNode* node);
  virtual void Change(TTreeNode* node);
  virtual bool CanExpand(TTreeNode* node);
  virtual bool CanCollapse(TTreeNode* node);

 private:
  friend class TTreeNode;
  friend class TTreeNodes;
  bool Quiet() const { return (ComponentState() & csDestroying) != 0; }
  // The selection moves away from a branch that is deleted or collapsed.
  void MoveSelection(TTreeNode* to, bool allowRefusal);
  void CollectVisible(std::vector<TTreeNode*>& rows) const;
  int RowOf(const TTreeNode* node) const;
  // Left edge of the node's level (where its state icon or image starts).
  int LevelX(const TTreeNode* node) const;
  int LabelX(const TTreeNode* node) const;
  void ToggleNode(TTreeNode* node);
  void PaintRow(TCanvas* canvas, TTreeNode* node, int row, bool focusedView);
  int CompareNodes(TTreeNode* a, TTreeNode* b) const;

  std::unique_ptr<TTreeNodes> items_;
  TTreeNode* selected_ = nullptr;
  TTreeNode* dropTarget_ = nullptr;
  TCustomImageList* images_ = nullptr;
  TCustomImageList* stateImages_ = nullptr;
  bool showButtons_ = true;
  bool showLines_ = true;
  bool showRoot_ = true;
  bool hideSelection_ = true;
  bool rowSelect_ = false;
  int indent_ = 19;
  TBorderStyle borderStyle_ = bsSingle;
  int topIndex_ = 0;
};
