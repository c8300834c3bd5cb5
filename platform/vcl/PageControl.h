#pragma once
// TPageControl and TTabSheet (unit ComCtrls): pages on top of each other,
// chosen by a row of tabs. Only the active page is visible; every page
// fills the control below the tabs.
//
// Setting ActivePage or ActivePageIndex in code fires nothing. A click on a
// tab (and SelectNextPage, Ctrl+Tab) asks OnChanging (which may refuse),
// activates the page and fires OnChange. The first page with a visible tab
// becomes active when none is; when the active page goes away or its tab is
// hidden, the next page with a visible tab (or the one before) takes over.

#include <vector>

#include "platform/vcl/Painting.h"
#include "platform/vcl/WinControl.h"

class TPageControl;
class TCustomImageList;

class TTabSheet : public TWinControl {
 public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;

  TPageControl* PageControl() const { return pageControl_; }
  // Puts the sheet on a page control (as its last page) or takes it off.
  void SetPageControl(TPageControl* value);
  // The place among the pages (-1 when on none); setting it moves the page.
  int PageIndex() const;
  void SetPageIndex(int value);
  // The place among the visible tabs (-1 when the tab is hidden).
  int TabIndex() const;
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);

  void SetParent(TWinControl* parent) override;
  void SetText(const std::string& value) override;

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
  int imageIndex_ = -1;
};

using TTabChangingEvent = Closure<void(TObject* Sender, bool& AllowChange)>;

class TPageControl : public TCustomControl {
 public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  // EInvalidOperation for an index outside 0 .. PageCount() - 1.
  TTabSheet* Pages(int index) const;
  TTabSheet* ActivePage() const { return activePage_; }
  // A page of another control, or none, is refused (nothing changes).
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int value);
  // The next (or previous) page with a visible tab, wrapping around, after
  // OnChanging allows it; then OnChange.
  void SelectNextPage(bool goForward, bool checkTabVisible = true);
  // The page after or before `current` (wrapping; null when none).
  TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;

  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  // 0: from the font.
  int TabHeight() const { return tabHeight_; }
  void SetTabHeight(int value);
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int value);
  // The tab's rectangle in client coordinates (empty for a hidden tab).
  TRect TabRect(int pageIndex) const;
  // The page whose tab lies at the point, or null.
  TTabSheet* PageAtTab(int x, int y) const;
  // Where the pages lie, in client coordinates.
  TRect DisplayRect() const;

  TTabChangingEvent OnChanging;
  TNotifyEvent OnChange;

  void Notification(TComponent* component, TOperation operation) override;
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  // Ctrl+Tab (Ctrl+Shift+Tab) turns the pages while the focus is on the
  // control or on anything on its pages; the arrows while it has the focus.
  void Dispatch(void* message) override;

 protected:
  void SizeChanged() override;
  void FontChanged() override;
  virtual bool CanChange();
  virtual void Change();

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void MovePage(TTabSheet* page, int index);
  void LayoutPages();
  void ShowOnlyActive();
  // Activates another page when the active one has no visible tab.
  void ChooseActive(int fromIndex);
  int RowHeight() const;
  int TabTextWidth(const TTabSheet* page) const;
  void PaintTab(TCanvas* canvas, int pageIndex);

  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
  TCustomImageList* images_ = nullptr;
  int tabHeight_ = 0;
  int tabWidth_ = 0;
};
