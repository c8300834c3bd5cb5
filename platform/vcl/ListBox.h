#pragma once
// TListBox: a list of texts to choose from. ItemIndex is the focused (in a
// single-choice list: the chosen) item; with MultiSelect, Selected(i) tells
// the chosen ones. A choice of the user (click, arrow keys) fires OnClick;
// setting ItemIndex or Selected in code fires nothing. With the owner-drawn
// styles OnDrawItem paints each item on the list's Canvas.

#include <memory>
#include <vector>

#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/StdCtrlsTypes.h"
#include "platform/vcl/Strings.h"
#include "platform/vcl/WinControl.h"

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };

class TCustomListBox : public TCustomControl, public TNonClientPainter {
 public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;

  TStrings* Items() { return items_.get(); }
  int Count() const { return items_->Count(); }
  int ItemIndex() const { return itemIndex_; }
  // -1 clears the choice; values outside the items count as -1.
  void SetItemIndex(int value);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value);
  // With MultiSelect, Shift and Ctrl clicks extend and toggle the choice.
  bool ExtendedSelect = true;
  bool Selected(int index) const;
  void SetSelected(int index, bool value);
  int SelCount() const;
  void ClearSelection();
  void SelectAll();

  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle value);
  int ItemHeight() const;
  void SetItemHeight(int value);
  int TopIndex() const { return topIndex_; }
  void SetTopIndex(int value);
  // The item at a client point; -1 (or, when not `existing`, the count) when
  // there is none.
  int ItemAtPos(const TPoint& pos, bool existing) const;
  TRect ItemRect(int index) const;
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  void Clear() { items_->Clear(); }

  TDrawItemEvent OnDrawItem;

  void Dispatch(void* message) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  // Unhandled by OnMouseWheel, the wheel scrolls three rows a notch.
  bool DoMouseWheel(TShiftState shift, int wheelDelta, const TPoint& mousePos) override;
  TRect BorderInsets() const override;
  void Paint() override;
  void PaintNonClient(TCanvas* canvas) override;

 protected:
  virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
  // The user moved the choice to `index`.
  void UserChoose(int index, TShiftState shift);
  void MakeVisible(int index);
  int VisibleRows() const;
  // A vertical scroll bar shows when the items do not fit.
  bool ScrollBarShown() const;

 private:
  void ItemsChanged();
  std::unique_ptr<TStrings> items_;
  std::vector<bool> selected_;
  int itemIndex_ = -1;
  int anchor_ = -1;
  int topIndex_ = 0;
  int itemHeight_ = 13;
  bool itemHeightSet_ = false;
  bool multiSelect_ = false;
  TListBoxStyle style_ = lbStandard;
  TBorderStyle borderStyle_ = bsSingle;
};

class TListBox : public TCustomListBox {
 public:
  using TCustomListBox::TCustomListBox;
};
