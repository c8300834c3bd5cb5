// TTreeView: selection, expansion, geometry, mouse and keys.

#include <algorithm>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/TreeView.h"
#include "platform/win/VirtualKeys.h"

TTreeView::TTreeView(TComponent* AOwner) : TCustomControl(AOwner), items_(std::make_unique<TTreeNodes>(this)) {
  ControlStyle &= ~static_cast<unsigned>(csSetCaption);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  SetBounds(0, 0, 121, 97);
}

TTreeView::~TTreeView() {
  Destroying();  // no events while the nodes go
  selected_ = nullptr;
  dropTarget_ = nullptr;
  items_.reset();
}

// --- events ---

bool TTreeView::CanChange(TTreeNode* node) {
  bool allow = true;
  if (OnChanging && !Quiet()) OnChanging(this, node, allow);
  return allow;
}

void TTreeView::Change(TTreeNode* node) {
  if (OnChange && !Quiet()) OnChange(this, node);
}

bool TTreeView::CanExpand(TTreeNode* node) {
  bool allow = true;
  if (OnExpanding && !Quiet()) OnExpanding(this, node, allow);
  return allow;
}

bool TTreeView::CanCollapse(TTreeNode* node) {
  bool allow = true;
  if (OnCollapsing && !Quiet()) OnCollapsing(this, node, allow);
  return allow;
}

void TTreeView::MoveSelection(TTreeNode* to, bool allowRefusal) {
  if (to == selected_) return;
  if (!CanChange(to) && allowRefusal) return;
  selected_ = to;
  Invalidate();
  Change(to);
}

void TTreeView::SetSelected(TTreeNode* node) {
  if (node == selected_) return;
  if (node != nullptr && (node->owner_ != items_.get() || node->deleting_)) return;
  if (!CanChange(node)) return;
  if (node != nullptr) {
    for (TTreeNode* p = node->Parent(); p != nullptr; p = p->Parent())
      if (!p->expanded_) p->Expand(false);
  }
  selected_ = node;
  if (node != nullptr) node->MakeVisible();
  Invalidate();
  Change(node);
}

void TTreeView::SetDropTarget(TTreeNode* node) {
  if (node == dropTarget_) return;
  dropTarget_ = node;
  Invalidate();
}

// --- properties ---

void TTreeView::SetImages(TCustomImageList* value) {
  SetImageListLink(this, images_, value);
  Invalidate();
}

void TTreeView::SetStateImages(TCustomImageList* value) {
  SetImageListLink(this, stateImages_, value);
  Invalidate();
}

void TTreeView::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != opRemove || component == nullptr) return;
  if (component == images_) images_ = nullptr;
  if (component == stateImages_) stateImages_ = nullptr;
}

void TTreeView::SetShowButtons(bool value) {
  showButtons_ = value;
  Invalidate();
}

void TTreeView::SetShowLines(bool value) {
  showLines_ = value;
  Invalidate();
}

void TTreeView::SetShowRoot(bool value) {
  showRoot_ = value;
  Invalidate();
}

void TTreeView::SetHideSelection(bool value) {
  hideSelection_ = value;
  Invalidate();
}

void TTreeView::SetRowSelect(bool value) {
  rowSelect_ = value;
  Invalidate();
}

void TTreeView::SetIndent(int value) {
  indent_ = std::clamp(value, 1, 200);
  Invalidate();
}

void TTreeView::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  SizeChanged();
  Invalidate();
}

TRect TTreeView::BorderInsets() const { return borderStyle_ == bsSingle ? TRect{2, 2, 2, 2} : TRect{}; }

void TTreeView::FullExpand() {
  for (TTreeNode* n = items_->GetFirstNode(); n != nullptr; n = n->getNextSibling()) n->Expand(true);
}

void TTreeView::FullCollapse() {
  for (TTreeNode* n = items_->GetFirstNode(); n != nullptr; n = n->getNextSibling()) n->Collapse(true);
}

int TTreeView::CompareNodes(TTreeNode* a, TTreeNode* b) const {
  if (OnCompare) {
    int result = 0;
    OnCompare(const_cast<TTreeView*>(this), a, b, 0, result);
    return result;
  }
  return TStringList::CompareStrings(a->text_, b->text_);
}

bool TTreeView::AlphaSort(bool recurse) { return items_->root_->AlphaSort(recurse); }

// --- geometry ---

int TTreeView::ItemHeight() const {
  TCanvas measure;
  measure.Font->Assign(*const_cast<TTreeView*>(this)->Font());
  int h = measure.TextHeight("Wg") + 3;
  if (images_ != nullptr) h = std::max(h, images_->Height());
  if (stateImages_ != nullptr) h = std::max(h, stateImages_->Height());
  return std::max(h, 1);
}

void TTreeView::CollectVisible(std::vector<TTreeNode*>& rows) const {
  for (TTreeNode* n = items_->GetFirstNode(); n != nullptr; n = n->GetNextVisible()) rows.push_back(n);
}

int TTreeView::RowOf(const TTreeNode* node) const {
  std::vector<TTreeNode*> rows;
  CollectVisible(rows);
  const auto it = std::find(rows.begin(), rows.end(), node);
  return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

int TTreeView::VisibleCount() const { return std::max(1, ClientHeight() / ItemHeight()); }

void TTreeView::SetTopIndex(int value) {
  std::vector<TTreeNode*> rows;
  CollectVisible(rows);
  value = std::clamp(value, 0, std::max(0, static_cast<int>(rows.size()) - 1));
  if (value == topIndex_) return;
  topIndex_ = value;
  Invalidate();
}

TTreeNode* TTreeView::TopItem() const {
  std::vector<TTreeNode*> rows;
  CollectVisible(rows);
  return topIndex_ < static_cast<int>(rows.size()) ? rows[static_cast<std::size_t>(topIndex_)] : nullptr;
}

int TTreeView::LevelX(const TTreeNode* node) const { return 3 + (node->Level() + (showRoot_ ? 1 : 0)) * indent_; }

int TTreeView::LabelX(const TTreeNode* node) const {
  int x = LevelX(node);
  if (stateImages_ != nullptr) x += stateImages_->Width();
  if (images_ != nullptr) x += images_->Width() + 1;
  return x;
}

TTreeNode* TTreeView::GetNodeAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= ClientWidth() || y >= ClientHeight()) return nullptr;
  std::vector<TTreeNode*> rows;
  CollectVisible(rows);
  const int row = topIndex_ + y / ItemHeight();
  return row < static_cast<int>(rows.size()) ? rows[static_cast<std::size_t>(row)] : nullptr;
}

THitTests TTreeView::GetHitTestInfoAt(int x, int y) const {
  THitTests result = 0;
  if (y < 0) result |= htAbove;
  if (y >= ClientHeight()) result |= htBelow;
  if (x < 0) result |= htToLeft;
  if (x >= ClientWidth()) result |= htToRight;
  if (result != 0) return result;
  TTreeNode* node = GetNodeAt(x, y);
  if (node == nullptr) return htNowhere;
  const int levelX = LevelX(node);
  if (x < levelX) {
    const bool button = showButtons_ && node->HasChildren() && (showRoot_ || node->Level() > 0);
    return (button && x >= levelX - indent_) ? htOnButton : htOnIndent;
  }
  int edge = levelX;
  if (stateImages_ != nullptr) {
    edge += stateImages_->Width();
    if (x < edge) return htOnStateIcon | htOnItem;
  }
  if (images_ != nullptr) {
    edge += images_->Width() + 1;
    if (x < edge) return htOnIcon | htOnItem;
  }
  TCanvas measure;
  measure.Font->Assign(*const_cast<TTreeView*>(this)->Font());
  if (x < edge + measure.TextWidth(node->text_) + 4) return htOnLabel | htOnItem;
  return htOnRight;
}

TRect TTreeNode::DisplayRect(bool textOnly) const {
  TTreeView* view = TreeView();
  const int row = view->RowOf(this);
  if (row < 0) return {};
  const int h = view->ItemHeight();
  const int top = (row - view->topIndex_) * h;
  if (!textOnly) return Rect(0, top, view->ClientWidth(), top + h);
  TCanvas measure;
  measure.Font->Assign(*view->Font());
  const int x = view->LabelX(this);
  return Rect(x, top, x + measure.TextWidth(text_) + 4, top + h);
}

// --- input ---

void TTreeView::ToggleNode(TTreeNode* node) {
  if (node->expanded_)
    node->Collapse(false);
  else
    node->Expand(false);
}

void TTreeView::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  // OnMouseDown first, so that its handler knows about the press before the
  // tree acts on it.
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  if (CanFocus() && !Focused()) SetFocus();
  TTreeNode* node = GetNodeAt(x, y);
  if (node == nullptr) return;
  const THitTests hit = GetHitTestInfoAt(x, y);
  if (hit & htOnButton) {
    if (!(shift & ssDouble)) ToggleNode(node);
    return;
  }
  if ((hit & htOnItem) || rowSelect_) {
    if (shift & ssDouble)
      ToggleNode(node);
    else
      SetSelected(node);
  }
}

void TTreeView::Dispatch(void* message) {
  TMessage& m = *static_cast<TMessage*>(message);
  if (m.Msg == WM_GETDLGCODE) {
    m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
    return;
  }
  TCustomControl::Dispatch(message);
}

void TTreeView::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  TTreeNode* node = selected_;
  if (key == 0) return;
  if (node == nullptr) {
    if (key == VK_UP || key == VK_DOWN || key == VK_HOME) SetSelected(items_->GetFirstNode());
    return;
  }
  switch (key) {
    case VK_UP:
      if (TTreeNode* prev = node->GetPrevVisible()) SetSelected(prev);
      break;
    case VK_DOWN:
      if (TTreeNode* next = node->GetNextVisible()) SetSelected(next);
      break;
    case VK_HOME: SetSelected(items_->GetFirstNode()); break;
    case VK_END: {
      std::vector<TTreeNode*> rows;
      CollectVisible(rows);
      if (!rows.empty()) SetSelected(rows.back());
      break;
    }
    case VK_LEFT:
      if (node->expanded_)
        node->Collapse(false);
      else if (node->Parent() != nullptr)
        SetSelected(node->Parent());
      break;
    case VK_RIGHT:
      if (!node->expanded_)
        node->Expand(false);
      else if (node->getFirstChild() != nullptr)
        SetSelected(node->getFirstChild());
      break;
    case VK_ADD: node->Expand(false); break;
    case VK_SUBTRACT: node->Collapse(false); break;
    case VK_MULTIPLY: node->Expand(true); break;
    default: break;
  }
}

void TTreeView::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  TCustomControl::DragOver(source, x, y, state, accept);
  SetDropTarget(state == dsDragLeave ? nullptr : GetNodeAt(x, y));
}

void TTreeView::DragDrop(TObject* source, int x, int y) {
  TCustomControl::DragDrop(source, x, y);
  SetDropTarget(nullptr);
}
