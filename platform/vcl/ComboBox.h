#pragma once
// TComboBox: a drop-down list, with an edit field (csDropDown) or without
// (csDropDownList and the owner-drawn styles, which show the chosen item).
//
// Events, as the class library fires them:
// - the user picks an item (from the dropped-down list, with the arrow keys,
//   with the wheel): OnClick, then OnSelect, or OnChange when OnSelect is not
//   assigned;
// - the user types into the edit field: OnChange;
// - ItemIndex or Text set in code: nothing;
// - DroppedDown going true: OnDropDown; going false: OnCloseUp.
// The dropped-down list is not a control of its own: the user acts on it
// through the keys (arrows, Enter, Escape), the wheel, or a press in it
// (PressInList). It shows DropDownCount rows at most, and no more than fit in
// the work area of the box's monitor below the box, or above it when more fit
// there; when it shows fewer rows than there are items, a scroll bar at its
// right moves through them.

#include <memory>
#include <string>

#include "platform/vcl/Painting.h"
#include "platform/vcl/StdCtrlsTypes.h"
#include "platform/vcl/Strings.h"
#include "platform/vcl/WinControl.h"

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TCustomComboBox : public TCustomControl, public TNonClientPainter, public TOverlayPainter {
 public:
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;

  TStrings* Items() { return items_.get(); }
  int ItemIndex() const { return itemIndex_; }
  // Also sets the text to the item's (no event). -1: nothing chosen; values
  // outside the items count as -1.
  void SetItemIndex(int value);
  // csDropDown: the edit field's text; other styles: the chosen item's text.
  // Setting it chooses the item of that text (letter case aside), or none.
  void SetText(const std::string& value) override;

  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle value);
  int DropDownCount = 8;
  bool DroppedDown() const { return droppedDown_; }
  void SetDroppedDown(bool value);
  int ItemHeight() const;
  void SetItemHeight(int value);
  // 0: no limit (typing only).
  int MaxLength = 0;
  int SelStart() const { return static_cast<int>(Text().size()) - selLength_; }
  int SelLength() const { return selLength_; }
  void SelectAll();

  // The user picks item `index` in the dropped-down list (as a click on it
  // does): the list closes and the events of a choice fire.
  void SelectFromList(int index);
  // The open list's rectangle (its frame included) in the box's coordinates:
  // below the box (top = Height()) or above it (bottom = 0).
  TRect DroppedListRect() const;
  // The rows the open list shows, and the item in its first row.
  int DroppedRows() const;
  int TopIndex() const;
  // Moves the open list's rows by `rows` (negative: up), within the items.
  void ScrollList(int rows);
  // A press of the left button at (x, y) of the open list (0, 0 = the
  // list's top-left corner): on a row it picks that item (SelectFromList); on
  // the scroll bar an arrow moves the rows by one and the track brings the
  // items at that height of the track into view; anywhere else the list
  // closes. True when the list stays open (the box is not touched after a
  // choice, whose handlers may free it).
  bool PressInList(int x, int y);

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;

  // The mouse wheel over the focused box: OnMouseWheel, else the choice moves
  // by one item a notch. A class that wants the wheel otherwise overrides
  // this; a Result not 0 keeps the message from the parent.
  virtual void MouseWheelHandler(TMessage& message);

  void Dispatch(void* message) override;
  void SetBounds(int left, int top, int width, int height) override;
  TRect BorderInsets() const override { return {2, 2, 2, 2}; }
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void SetParent(TWinControl* parent) override;
  void Paint() override;
  void PaintNonClient(TCanvas* canvas) override;
  // The open list (DroppedListRect).
  bool HasOverlay() const override { return droppedDown_; }
  void PaintOverlay(TCanvas* canvas) override;

 protected:
  virtual void Change();
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();
  virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
  // A choice of the user: the item, its text, OnClick and Select.
  void UserChoose(int index);
  bool HasEdit() const { return style_ == csDropDown || style_ == csSimple; }
  bool OwnerDrawn() const { return style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable; }
  void AdjustHeight();

 private:
  void ItemsChanged();
  void SetTextQuietly(const std::string& value);
  // The open list's place and rows (see DroppedListRect).
  struct TListPlace {
    TRect rect;
    int rows;
  };
  TListPlace ListPlace() const;
  // The first item shown when the list has `rows` rows.
  int FirstShown(int rows) const;
  void ShowInList(int index);
  std::unique_ptr<TStrings> items_;
  TComboBoxStyle style_ = csDropDown;
  int itemIndex_ = -1;
  int itemHeight_ = 0;  // 0: from the font
  int selLength_ = 0;
  int topIndex_ = 0;
  bool droppedDown_ = false;
};

class TComboBox : public TCustomComboBox {
 public:
  using TCustomComboBox::TCustomComboBox;
};
