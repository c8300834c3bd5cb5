#include "platform/vcl/ListView.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/ImageList.h"
#include "platform/win/VirtualKeys.h"

namespace {
[[noreturn]] void IndexError(int index) {
  throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
}
}  // namespace

// --- columns ---

void TListColumn::SetCaption(const std::string& value) {
  caption_ = value;
  view_->Invalidate();
}

void TListColumn::SetWidth(int value) {
  if (value < 0) value = 50;
  if (MinWidth > 0) value = std::max(value, MinWidth);
  if (MaxWidth > 0) value = std::min(value, MaxWidth);
  width_ = value;
  view_->Invalidate();
}

void TListColumn::SetAlignment(TAlignment value) {
  alignment_ = value;
  view_->Invalidate();
}

int TListColumn::Index() const { return view_->Columns()->IndexOf(this); }

TListColumn* TListColumns::Add() {
  columns_.push_back(std::unique_ptr<TListColumn>(new TListColumn(view_)));
  view_->Invalidate();
  return columns_.back().get();
}

void TListColumns::Delete(int index) {
  Items(index);
  columns_.erase(columns_.begin() + index);
  view_->Invalidate();
}

void TListColumns::Clear() {
  columns_.clear();
  view_->Invalidate();
}

TListColumn* TListColumns::Items(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return columns_[static_cast<std::size_t>(index)].get();
}

int TListColumns::IndexOf(const TListColumn* column) const {
  for (int i = 0; i < Count(); ++i)
    if (columns_[static_cast<std::size_t>(i)].get() == column) return i;
  return -1;
}

// --- items ---

TListItem::TListItem(TListItems* owner) : owner_(owner), subItems_(std::make_unique<TStrings>()) {
  subItems_->OnChange = [this] { owner_->view_->Invalidate(); };
}

TListItem::~TListItem() { subItems_->OnChange = nullptr; }

TListView* TListItem::ListView() const { return owner_->view_; }

int TListItem::Index() const { return owner_->IndexOf(this); }

void TListItem::SetCaption(const std::string& value) {
  if (value == caption_) return;
  TListView* view = ListView();
  if (!view->CanChange(this, ctText)) return;
  caption_ = value;
  view->Invalidate();
  view->Change(this, ctText);
  if (view->sortType_ == stText || view->sortType_ == stBoth) view->SortAfterChange();
}

void TListItem::SetChecked(bool value) {
  if (value == checked_) return;
  TListView* view = ListView();
  if (!view->CanChange(this, ctState)) return;
  checked_ = value;
  view->Invalidate();
  view->Change(this, ctState);
}

void TListItem::SetSelected(bool value) { ListView()->ChangeSelection(this, value); }

bool TListItem::Focused() const { return ListView()->focused_ == this; }

void TListItem::SetFocused(bool value) {
  TListView* view = ListView();
  if (value)
    view->SetItemFocused(this);
  else if (view->focused_ == this)
    view->SetItemFocused(nullptr);
}

void TListItem::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  ListView()->Invalidate();
  ListView()->Change(this, ctImage);
}

void TListItem::SetStateIndex(int value) {
  if (value == stateIndex_) return;
  stateIndex_ = value;
  ListView()->Invalidate();
  ListView()->Change(this, ctState);
}

void TListItem::Delete() { owner_->Delete(Index()); }

void TListItem::MakeVisible(bool) { ListView()->MakeVisibleIndex(Index()); }

bool TListItem::EditCaption() {
  TListView* view = ListView();
  if (view->ReadOnly) return false;
  bool allow = true;
  if (view->OnEditing) view->OnEditing(view, this, allow);
  if (!allow) return false;
  view->editing_ = this;
  return true;
}

TListItems::~TListItems() = default;

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int index) {
  if (index < 0 || index > Count()) IndexError(index);
  items_.insert(items_.begin() + index, std::unique_ptr<TListItem>(new TListItem(this)));
  TListItem* item = items_[static_cast<std::size_t>(index)].get();
  view_->InsertItem(item);
  view_->Invalidate();
  return item;
}

void TListItems::Delete(int index) {
  TListItem* item = Item(index);
  if (item->deleting_) return;  // deleted again from its own OnDeletion
  item->deleting_ = true;
  view_->Delete(item);
  // The handler may have deleted or moved items: find it again.
  const int at = IndexOf(item);
  if (at < 0) return;
  view_->ItemRemoved(item);
  items_.erase(items_.begin() + at);
  view_->Invalidate();
}

void TListItems::Clear() {
  BeginUpdate();
  while (Count() > 0) Delete(Count() - 1);
  EndUpdate();
  view_->topIndex_ = 0;
}

TListItem* TListItems::Item(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return items_[static_cast<std::size_t>(index)].get();
}

int TListItems::IndexOf(const TListItem* item) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[static_cast<std::size_t>(i)].get() == item) return i;
  return -1;
}

void TListItems::BeginUpdate() { ++updating_; }

void TListItems::EndUpdate() {
  if (updating_ == 0 || --updating_ > 0) return;
  if (sortPending_) {
    sortPending_ = false;
    view_->AlphaSort();
  }
  view_->Invalidate();
}

// --- the view ---

TListView::TListView(TComponent* AOwner)
    : TCustomControl(AOwner),
      columns_(std::make_unique<TListColumns>(this)),
      items_(std::make_unique<TListItems>(this)) {
  ControlStyle &= ~static_cast<unsigned>(csSetCaption);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  SetBounds(0, 0, 250, 150);
}

TListView::~TListView() {
  // No events while the items go.
  OnDeletion = nullptr;
  OnChange = nullptr;
  OnChanging = nullptr;
  OnSelectItem = nullptr;
  items_->items_.clear();
}

void TListView::SetViewStyle(TViewStyle value) {
  viewStyle_ = value;
  Invalidate();
}

void TListView::SetCheckboxes(bool value) {
  checkboxes_ = value;
  Invalidate();
}

void TListView::SetMultiSelect(bool value) {
  multiSelect_ = value;
  if (!value) {
    TListItem* first = Selected();
    for (auto& item : items_->items_)
      if (item.get() != first && item->selected_) ChangeSelection(item.get(), false);
  }
}

void TListView::SetRowSelect(bool value) {
  rowSelect_ = value;
  Invalidate();
}

void TListView::SetGridLines(bool value) {
  gridLines_ = value;
  Invalidate();
}

void TListView::SetShowColumnHeaders(bool value) {
  showColumnHeaders_ = value;
  Invalidate();
}

void TListView::SetHideSelection(bool value) {
  hideSelection_ = value;
  Invalidate();
}

void TListView::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  SizeChanged();
  Invalidate();
}

TRect TListView::BorderInsets() const { return borderStyle_ == bsSingle ? TRect{2, 2, 2, 2} : TRect{}; }

void TListView::SetSmallImages(TCustomImageList* value) {
  SetImageListLink(this, smallImages_, value);
  Invalidate();
}

void TListView::SetStateImages(TCustomImageList* value) {
  SetImageListLink(this, stateImages_, value);
  Invalidate();
}

void TListView::SetLargeImages(TCustomImageList* value) {
  SetImageListLink(this, largeImages_, value);
  Invalidate();
}

void TListView::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != opRemove || component == nullptr) return;
  if (component == smallImages_) smallImages_ = nullptr;
  if (component == stateImages_) stateImages_ = nullptr;
  if (component == largeImages_) largeImages_ = nullptr;
}

// --- events ---

bool TListView::CanChange(TListItem* item, TItemChange change) {
  bool allow = true;
  if (OnChanging && !(ComponentState() & csDestroying)) OnChanging(this, item, change, allow);
  return allow;
}

void TListView::Change(TListItem* item, TItemChange change) {
  if (OnChange && !(ComponentState() & csDestroying)) OnChange(this, item, change);
}

void TListView::DoSelectItem(TListItem* item, bool selected) {
  if (OnSelectItem && !(ComponentState() & csDestroying)) OnSelectItem(this, item, selected);
}

void TListView::ColClick(TListColumn* column) {
  if (OnColumnClick) OnColumnClick(this, column);
}

void TListView::InsertItem(TListItem* item) {
  if (OnInsert) OnInsert(this, item);
}

void TListView::Delete(TListItem* item) {
  if (OnDeletion && !(ComponentState() & csDestroying)) OnDeletion(this, item);
}

void TListView::ItemRemoved(TListItem* item) {
  if (focused_ == item) focused_ = nullptr;
  if (anchor_ == item) anchor_ = nullptr;
  if (editing_ == item) editing_ = nullptr;
}

// --- selection ---

bool TListView::ChangeSelection(TListItem* item, bool value) {
  if (item == nullptr || item->selected_ == value) return true;
  if (value && !multiSelect_) {
    // A single-choice list: the other item loses the selection first.
    for (auto& other : items_->items_)
      if (other.get() != item && other->selected_ && !ChangeSelection(other.get(), false)) return false;
  }
  if (!CanChange(item, ctState)) return false;
  item->selected_ = value;
  if (value) focused_ = item;
  Invalidate();
  Change(item, ctState);
  DoSelectItem(item, value);
  return true;
}

TListItem* TListView::Selected() const {
  for (auto& item : items_->items_)
    if (item->selected_) return item.get();
  return nullptr;
}

void TListView::SetSelected(TListItem* item) {
  if (item != nullptr) {
    ChangeSelection(item, true);
    return;
  }
  ClearSelection();
}

int TListView::ItemIndex() const {
  TListItem* item = Selected();
  return item == nullptr ? -1 : item->Index();
}

void TListView::SetItemIndex(int value) {
  if (value == -1) {
    ClearSelection();
    return;
  }
  if (value < 0 || value >= items_->Count()) return;
  ChangeSelection(items_->Item(value), true);
}

int TListView::SelCount() const {
  return static_cast<int>(std::count_if(items_->items_.begin(), items_->items_.end(),
                                        [](const std::unique_ptr<TListItem>& i) { return i->selected_; }));
}

void TListView::SetItemFocused(TListItem* item) {
  focused_ = item;
  Invalidate();
}

void TListView::ClearSelection() {
  for (std::size_t i = 0; i < items_->items_.size(); ++i)
    if (items_->items_[i]->selected_) ChangeSelection(items_->items_[i].get(), false);
}

void TListView::SelectAll() {
  if (!multiSelect_) return;
  for (std::size_t i = 0; i < items_->items_.size(); ++i) ChangeSelection(items_->items_[i].get(), true);
}

// --- sorting ---

void TListView::SetSortType(TSortType value) {
  if (value == sortType_) return;
  sortType_ = value;
  if (value != stNone) AlphaSort();
}

void TListView::SortAfterChange() {
  if (items_->updating_ > 0)
    items_->sortPending_ = true;
  else
    AlphaSort();
}

bool TListView::AlphaSort() { return CustomSort(nullptr, 0); }

bool TListView::CustomSort(TLVCompare compare, int data) {
  if (!compare) {
    if (OnCompare) {
      compare = [this](TListItem* a, TListItem* b, int d) {
        int result = 0;
        OnCompare(this, a, b, d, result);
        return result;
      };
    } else {
      const TSortType type = sortType_ == stNone ? stText : sortType_;
      compare = [type](TListItem* a, TListItem* b, int) {
        int result = 0;
        if (type == stText || type == stBoth) {
          result = TStringList::CompareStrings(a->caption_, b->caption_);
          if (result == 0) result = a->caption_.compare(b->caption_) < 0 ? -1 : a->caption_ == b->caption_ ? 0 : 1;
        }
        if (result == 0 && (type == stData || type == stBoth))
          result = a->Data < b->Data ? -1 : a->Data == b->Data ? 0 : 1;
        return result;
      };
    }
  }
  auto& items = items_->items_;
  std::stable_sort(items.begin(), items.end(),
                   [&](const std::unique_ptr<TListItem>& a, const std::unique_ptr<TListItem>& b) {
                     return compare(a.get(), b.get(), data) < 0;
                   });
  Invalidate();
  return true;
}

// --- editing ---

void TListView::EndEditing(const std::string& text, bool cancel) {
  TListItem* item = editing_;
  editing_ = nullptr;
  if (item == nullptr || cancel) return;
  std::string s = text;
  if (OnEdited) OnEdited(this, item, s);
  if (items_->IndexOf(item) >= 0) item->SetCaption(s);
}

// --- geometry ---

int TListView::HeaderHeight() const {
  if (viewStyle_ != vsReport || !showColumnHeaders_) return 0;
  TCanvas measure;
  measure.Font->Assign(*const_cast<TListView*>(this)->Font());
  return measure.TextHeight("Wg") + 4;
}

int TListView::RowHeight() const {
  TCanvas measure;
  measure.Font->Assign(*const_cast<TListView*>(this)->Font());
  int h = measure.TextHeight("Wg") + 2;
  if (smallImages_ != nullptr) h = std::max(h, smallImages_->Height() + 1);
  if (stateImages_ != nullptr) h = std::max(h, stateImages_->Height() + 1);
  if (checkboxes_) h = std::max(h, 15);
  return h;
}

int TListView::VisibleRowCount() const { return std::max(1, (ClientHeight() - HeaderHeight()) / RowHeight()); }

void TListView::SetTopIndex(int value) {
  value = std::clamp(value, 0, std::max(0, items_->Count() - 1));
  if (value == topIndex_) return;
  topIndex_ = value;
  Invalidate();
}

TListItem* TListView::TopItem() const { return topIndex_ < items_->Count() ? items_->Item(topIndex_) : nullptr; }

void TListView::MakeVisibleIndex(int index) {
  if (index < 0) return;
  if (index < topIndex_)
    SetTopIndex(index);
  else if (index >= topIndex_ + VisibleRowCount())
    SetTopIndex(index - VisibleRowCount() + 1);
}

TRect TListView::ColumnRect(int column) const {
  if (viewStyle_ != vsReport) return Rect(0, 0, ClientWidth(), 0);
  int x = 0;
  for (int i = 0; i < columns_->Count(); ++i) {
    const int w = columns_->Items(i)->Width();
    if (i == column) return Rect(x, 0, x + w, 0);
    x += w;
  }
  return Rect(x, 0, x, 0);
}

TListColumn* TListView::ColumnAt(int x) const {
  for (int i = 0; i < columns_->Count(); ++i) {
    const TRect r = ColumnRect(i);
    if (x >= r.Left && x < r.Right) return columns_->Items(i);
  }
  return nullptr;
}

TRect TListView::ItemRect(const TListItem* item) const {
  const int index = items_->IndexOf(item);
  if (index < 0) return {};
  const int top = HeaderHeight() + (index - topIndex_) * RowHeight();
  int right = ClientWidth();
  if (viewStyle_ == vsReport && columns_->Count() > 0) right = ColumnRect(columns_->Count() - 1).Right;
  return Rect(0, top, right, top + RowHeight());
}

TListItem* TListView::GetItemAt(int x, int y) const {
  const int header = HeaderHeight();
  if (y < header || x < 0) return nullptr;
  const int index = topIndex_ + (y - header) / RowHeight();
  if (index >= items_->Count()) return nullptr;
  TListItem* item = items_->Item(index);
  if (x >= ItemRect(item).Right) return nullptr;
  return item;
}

int TListView::CaptionIndent() const {
  int x = 2;
  if (checkboxes_) x += 16;
  if (stateImages_ != nullptr) x += stateImages_->Width();
  if (smallImages_ != nullptr) x += smallImages_->Width() + 2;
  return x;
}

// --- user input ---

void TListView::ToggleCheck(TListItem* item) { item->SetChecked(!item->checked_); }

void TListView::UserSelect(TListItem* item, TShiftState shift) {
  if (multiSelect_ && (shift & ssCtrl)) {
    ChangeSelection(item, !item->selected_);
    anchor_ = item;
  } else if (multiSelect_ && (shift & ssShift) && anchor_ != nullptr) {
    const int a = anchor_->Index(), b = item->Index();
    for (int i = 0; i < items_->Count(); ++i) {
      TListItem* it = items_->Item(i);
      ChangeSelection(it, i >= std::min(a, b) && i <= std::max(a, b));
    }
  } else {
    for (int i = 0; i < items_->Count(); ++i)
      if (items_->Item(i) != item) ChangeSelection(items_->Item(i), false);
    ChangeSelection(item, true);
    anchor_ = item;
  }
  focused_ = item;
  MakeVisibleIndex(item->Index());
  Invalidate();
}

void TListView::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (CanFocus() && !Focused()) SetFocus();
  if (y < HeaderHeight()) {
    if (button == mbLeft && !(shift & ssDouble))
      if (TListColumn* column = ColumnAt(x)) ColClick(column);
  } else if (button == mbLeft || button == mbRight) {
    TListItem* item = GetItemAt(x, y);
    if (item == nullptr) {
      if (button == mbLeft && !(shift & (ssCtrl | ssShift))) ClearSelection();
    } else if (button == mbLeft && checkboxes_ && x >= 2 && x < 18 && !(shift & ssDouble)) {
      ToggleCheck(item);
    } else if (!(shift & ssDouble) && !(button == mbRight && item->selected_)) {
      UserSelect(item, button == mbRight ? 0 : shift);
    }
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TListView::Dispatch(void* message) {
  TMessage& m = *static_cast<TMessage*>(message);
  if (m.Msg == WM_GETDLGCODE) {
    m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
    return;
  }
  TCustomControl::Dispatch(message);
}

void TListView::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  const int count = items_->Count();
  if (count == 0 || key == 0) return;
  const int current = focused_ != nullptr ? focused_->Index() : -1;
  int next = current;
  switch (key) {
    case VK_UP: next = std::max(0, current - 1); break;
    case VK_DOWN: next = std::min(count - 1, current + 1); break;
    case VK_HOME: next = 0; break;
    case VK_END: next = count - 1; break;
    case VK_PRIOR: next = std::max(0, current - VisibleRowCount() + 1); break;
    case VK_NEXT: next = std::min(count - 1, std::max(0, current) + VisibleRowCount() - 1); break;
    case VK_SPACE:
      if (checkboxes_ && focused_ != nullptr) ToggleCheck(focused_);
      return;
    default: return;
  }
  if (next >= 0) UserSelect(items_->Item(next), shift & ssShift);
}
