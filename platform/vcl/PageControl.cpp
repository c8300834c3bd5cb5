#include "platform/vcl/PageControl.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/ComCtrlsPaint.h"
#include "platform/vcl/ImageList.h"
#include "platform/win/VirtualKeys.h"

// --- TTabSheet ---

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle |= csAcceptsControls;
  SetParentColor(false);
  SetColor(clBtnFace);
  SetVisibleField(false);
}

TTabSheet::~TTabSheet() {
  if (pageControl_ != nullptr) pageControl_->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* value) {
  if (value == pageControl_) return;
  SetParent(value);
}

void TTabSheet::SetParent(TWinControl* parent) {
  if (pageControl_ != nullptr && pageControl_ != parent) pageControl_->RemovePage(this);
  TWinControl::SetParent(parent);
  if (auto* pc = dynamic_cast<TPageControl*>(parent); pc != nullptr && pageControl_ != pc) pc->InsertPage(this);
}

int TTabSheet::PageIndex() const {
  if (pageControl_ == nullptr) return -1;
  const auto& p = pageControl_->pages_;
  return static_cast<int>(std::find(p.begin(), p.end(), this) - p.begin());
}

void TTabSheet::SetPageIndex(int value) {
  if (pageControl_ != nullptr) pageControl_->MovePage(this, value);
}

int TTabSheet::TabIndex() const {
  if (pageControl_ == nullptr || !tabVisible_) return -1;
  int index = 0;
  for (TTabSheet* p : pageControl_->pages_) {
    if (p == this) return index;
    if (p->tabVisible_) ++index;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool value) {
  if (value == tabVisible_) return;
  tabVisible_ = value;
  if (pageControl_ != nullptr) {
    if (!value && pageControl_->activePage_ == this)
      pageControl_->ChooseActive(PageIndex());
    else if (value && pageControl_->activePage_ == nullptr)
      pageControl_->ChooseActive(PageIndex());
    pageControl_->Invalidate();
  }
}

void TTabSheet::SetImageIndex(int value) {
  imageIndex_ = value;
  if (pageControl_ != nullptr) pageControl_->Invalidate();
}

void TTabSheet::SetText(const std::string& value) {
  TWinControl::SetText(value);
  if (pageControl_ != nullptr) pageControl_->Invalidate();
}

// --- TPageControl ---

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner) {
  ControlStyle = (ControlStyle | csAcceptsControls) & ~static_cast<unsigned>(csSetCaption);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl() {
  // The pages are freed with the children; they forget this control first.
  for (TTabSheet* p : pages_) p->pageControl_ = nullptr;
  pages_.clear();
  activePage_ = nullptr;
}

TTabSheet* TPageControl::Pages(int index) const {
  if (index < 0 || index >= PageCount())
    throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
  return pages_[static_cast<std::size_t>(index)];
}

void TPageControl::InsertPage(TTabSheet* page) {
  page->pageControl_ = this;
  pages_.push_back(page);
  LayoutPages();
  if (activePage_ == nullptr) ChooseActive(PageCount() - 1);
  ShowOnlyActive();
  Invalidate();
}

void TPageControl::RemovePage(TTabSheet* page) {
  const int index = page->PageIndex();
  std::erase(pages_, page);
  page->pageControl_ = nullptr;
  if (activePage_ == page) {
    activePage_ = nullptr;
    if (!(ComponentState() & csDestroying)) ChooseActive(index);
  }
  Invalidate();
}

void TPageControl::MovePage(TTabSheet* page, int index) {
  index = std::clamp(index, 0, PageCount() - 1);
  std::erase(pages_, page);
  pages_.insert(pages_.begin() + index, page);
  Invalidate();
}

void TPageControl::ChooseActive(int fromIndex) {
  // The first page with a visible tab at or after fromIndex, else before it.
  TTabSheet* chosen = nullptr;
  for (int i = std::max(0, fromIndex); i < PageCount() && chosen == nullptr; ++i)
    if (pages_[static_cast<std::size_t>(i)]->tabVisible_ && pages_[static_cast<std::size_t>(i)] != activePage_)
      chosen = pages_[static_cast<std::size_t>(i)];
  for (int i = std::min(fromIndex, PageCount()) - 1; i >= 0 && chosen == nullptr; --i)
    if (pages_[static_cast<std::size_t>(i)]->tabVisible_ && pages_[static_cast<std::size_t>(i)] != activePage_)
      chosen = pages_[static_cast<std::size_t>(i)];
  activePage_ = chosen;
  ShowOnlyActive();
}

void TPageControl::ShowOnlyActive() {
  for (TTabSheet* p : pages_) {
    if (p == activePage_) continue;
    if (p->Visible()) p->SetVisible(false);
  }
  if (activePage_ != nullptr) {
    if (!activePage_->Visible()) activePage_->SetVisible(true);
    activePage_->BringToFront();
  }
  Invalidate();
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page != nullptr && page->pageControl_ != this) return;
  if (page == activePage_) return;
  activePage_ = page;
  ShowOnlyActive();
}

int TPageControl::ActivePageIndex() const { return activePage_ == nullptr ? -1 : activePage_->PageIndex(); }

void TPageControl::SetActivePageIndex(int value) {
  if (value < 0 || value >= PageCount())
    SetActivePage(nullptr);
  else
    SetActivePage(pages_[static_cast<std::size_t>(value)]);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
  const int count = PageCount();
  if (count == 0) return nullptr;
  int start = current != nullptr ? current->PageIndex() : -1;
  if (start < 0) start = goForward ? count - 1 : 0;
  int i = start;
  for (int n = 0; n < count; ++n) {
    i = goForward ? (i + 1) % count : (i - 1 + count) % count;
    TTabSheet* p = pages_[static_cast<std::size_t>(i)];
    if (!checkTabVisible || p->tabVisible_) return p;
  }
  return nullptr;
}

bool TPageControl::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TPageControl::Change() {
  if (OnChange) OnChange(this);
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
  TTabSheet* next = FindNextPage(activePage_, goForward, checkTabVisible);
  if (next == nullptr || next == activePage_ || !CanChange()) return;
  SetActivePage(next);
  Change();
}

void TPageControl::SetImages(TCustomImageList* value) {
  SetImageListLink(this, images_, value);
  LayoutPages();
}

void TPageControl::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == opRemove && images_ != nullptr && component == images_) images_ = nullptr;
}

void TPageControl::SetTabHeight(int value) {
  tabHeight_ = std::max(0, value);
  LayoutPages();
}

void TPageControl::SetTabWidth(int value) {
  tabWidth_ = std::max(0, value);
  Invalidate();
}

int TPageControl::RowHeight() const {
  if (tabHeight_ > 0) return tabHeight_ + 2;
  TCanvas measure;
  measure.Font->Assign(*const_cast<TPageControl*>(this)->Font());
  int h = measure.TextHeight("Wg") + 6;
  if (images_ != nullptr) h = std::max(h, images_->Height() + 4);
  return h + 2;
}

int TPageControl::TabTextWidth(const TTabSheet* page) const {
  if (tabWidth_ > 0) return tabWidth_;
  TCanvas measure;
  measure.Font->Assign(*const_cast<TPageControl*>(this)->Font());
  int w = measure.TextWidth(page->Caption()) + 12;
  if (images_ != nullptr && page->imageIndex_ >= 0) w += images_->Width() + 3;
  return w;
}

TRect TPageControl::TabRect(int pageIndex) const {
  if (pageIndex < 0 || pageIndex >= PageCount() || !pages_[static_cast<std::size_t>(pageIndex)]->tabVisible_) return {};
  int x = 2;
  const int row = RowHeight();
  for (int i = 0; i < pageIndex; ++i)
    if (pages_[static_cast<std::size_t>(i)]->tabVisible_) x += TabTextWidth(pages_[static_cast<std::size_t>(i)]);
  return Rect(x, 2, x + TabTextWidth(pages_[static_cast<std::size_t>(pageIndex)]), row);
}

TTabSheet* TPageControl::PageAtTab(int x, int y) const {
  for (int i = 0; i < PageCount(); ++i) {
    TRect r = TabRect(i);
    if (pages_[static_cast<std::size_t>(i)] == activePage_) r = Rect(r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom);
    if (PtInRect(r, {x, y})) return pages_[static_cast<std::size_t>(i)];
  }
  return nullptr;
}

TRect TPageControl::DisplayRect() const {
  const int row = RowHeight();
  return Rect(4, row + 4, std::max(4, ClientWidth() - 4), std::max(row + 4, ClientHeight() - 4));
}

void TPageControl::LayoutPages() {
  const TRect r = DisplayRect();
  for (TTabSheet* p : pages_) p->SetBounds(r.Left, r.Top, static_cast<int>(r.Width()), static_cast<int>(r.Height()));
  Invalidate();
}

void TPageControl::SizeChanged() {
  TCustomControl::SizeChanged();
  LayoutPages();
}

void TPageControl::FontChanged() {
  TCustomControl::FontChanged();
  LayoutPages();
}

void TPageControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && !(shift & ssDouble)) {
    TTabSheet* page = PageAtTab(x, y);
    if (page != nullptr && page != activePage_ && CanChange()) {
      SetActivePage(page);
      Change();
    }
    if (page != nullptr && CanFocus() && !Focused()) SetFocus();
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TPageControl::Dispatch(void* message) {
  TMessage& m = *static_cast<TMessage*>(message);
  if (m.Msg == WM_GETDLGCODE) {
    m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
    return;
  }
  if (m.Msg == CM_DIALOGKEY && m.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
    TWinControl* top = TopLevel();
    TWinControl* focused = top != nullptr ? top->FocusedControl() : nullptr;
    if (Focused() || (focused != nullptr && focused != this && ContainsControl(focused))) {
      SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
      m.Result = 1;
      return;
    }
  }
  TCustomControl::Dispatch(message);
}

void TPageControl::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if ((key == VK_LEFT || key == VK_RIGHT) && Focused()) {
    SelectNextPage(key == VK_RIGHT);
    key = 0;
  }
}

void TPageControl::PaintTab(TCanvas* canvas, int pageIndex) {
  TTabSheet* page = pages_[static_cast<std::size_t>(pageIndex)];
  TRect r = TabRect(pageIndex);
  const bool active = page == activePage_;
  // The active tab stands out: two pixels wider on each side and higher,
  // over the edges of its neighbours.
  if (active) r = Rect(r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 1);
  DrawTabEdge(canvas, r, active);
  const bool withImage = images_ != nullptr && page->imageIndex_ >= 0;
  int textLeft = r.Left + 6;
  if (withImage) {
    images_->Draw(canvas, textLeft, r.Top + (static_cast<int>(r.Height()) - images_->Height()) / 2, page->imageIndex_,
                  Enabled());
    textLeft += images_->Width() + 3;
  }
  TTextStyle style = CellTextStyle(withImage ? taLeftJustify : taCenter);
  style.disabled = !Enabled();
  canvas->Brush->Style = bsClear;
  const TRect textRect = Rect(withImage ? textLeft : r.Left + 2, r.Top + 1, r.Right - 2, r.Bottom - 1);
  DrawTextInRect(canvas, textRect, page->Caption(), style);
  canvas->Brush->Style = bsSolid;
  if (active && Focused() && Enabled()) canvas->DrawFocusRect(Rect(r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 2));
}

void TPageControl::Paint() {
  TCanvas* canvas = Canvas();
  // The page frame below the tabs.
  TRect frame = Rect(0, RowHeight(), ClientWidth(), ClientHeight());
  DrawEdge(canvas, frame, TEdge::Raised);
  // The other tabs first, the active one last, on top of their edges.
  int activeIndex = -1;
  for (int i = 0; i < PageCount(); ++i) {
    const TTabSheet* page = pages_[static_cast<std::size_t>(i)];
    if (!page->tabVisible_) continue;
    if (page == activePage_)
      activeIndex = i;
    else
      PaintTab(canvas, i);
  }
  if (activeIndex >= 0) PaintTab(canvas, activeIndex);
}
