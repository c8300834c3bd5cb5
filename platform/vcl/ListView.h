#pragma once
// TListView (unit ComCtrls): a list of items with a caption, sub-items
// (the texts of the further columns in report style), data, a check box,
// state and small images.
//
// Events, as the system's list view sends them and the class library
// passes them on (from code as well as from the user):
// - a new caption: OnChanging (ctText, may refuse), then OnChange (ctText);
// - selection: OnChanging (ctState, may refuse), OnChange (ctState), then
//   OnSelectItem; in a single-choice list the item losing the selection
//   comes first;
// - check box: OnChanging and OnChange (ctState), no OnSelectItem;
// - Items->Add / Insert: OnInsert; Delete / Clear: OnDeletion per item
//   while it still stands.
// The first selected item is Selected and gives ItemIndex. Selected rows
// show in the highlight colours when the list has the focus, in button face
// colours without it (nothing with HideSelection); the selection colours win
// over colours a custom draw handler sets.
//
// Sorting: with SortType other than stNone the items are sorted when it is
// set, on AlphaSort and after a caption changes (stText, stBoth): by
// OnCompare when assigned, else by caption (letter case aside first), data
// (stData) or both. CustomSort takes a compare function of its own.
//
// Painting: report style paints column titles (ShowColumnHeaders), rows
// with check boxes, state and small images, captions and sub-items, grid
// lines and the focus rectangle; the other styles paint a plain list of
// captions with small images. OnCustomDrawItem / OnAdvancedCustomDrawItem
// run for each row before it is drawn and OnCustomDrawSubItem for each
// column (0: the caption): they may change the Canvas's brush and font or
// draw themselves and clear DefaultDraw.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/ComCtrlsTypes.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/StdCtrlsTypes.h"
#include "platform/vcl/Strings.h"
#include "platform/vcl/WinControl.h"

class TCustomImageList;
class TListView;
class TListItems;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum TSortType { stNone, stData, stText, stBoth };
enum TItemChange { ctText, ctImage, ctState };

class TListColumn {
 public:
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  int Width() const { return width_; }
  void SetWidth(int value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  int MinWidth = 0;
  int MaxWidth = 0;
  int Tag = 0;
  int Index() const;

 private:
  friend class TListColumns;
  explicit TListColumn(TListView* view) : view_(view) {}
  TListView* view_;
  std::string caption_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
};

class TListColumns {
 public:
  explicit TListColumns(TListView* view) : view_(view) {}
  TListColumn* Add();
  void Delete(int index);
  void Clear();
  int Count() const { return static_cast<int>(columns_.size()); }
  // EInvalidOperation for an index outside 0 .. Count() - 1.
  TListColumn* Items(int index) const;
  TListColumn* operator[](int index) const { return Items(index); }
  int IndexOf(const TListColumn* column) const;

 private:
  TListView* view_;
  std::vector<std::unique_ptr<TListColumn>> columns_;
};

class TListItem {
 public:
  ~TListItem();
  TListItem(const TListItem&) = delete;
  TListItem& operator=(const TListItem&) = delete;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  // The texts of columns 1, 2, ...
  TStrings* SubItems() { return subItems_.get(); }
  void* Data = nullptr;
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  bool Selected() const { return selected_; }
  void SetSelected(bool value);
  bool Focused() const;
  void SetFocused(bool value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  // The picture of StateImages shown before the caption (-1: none).
  int StateIndex() const { return stateIndex_; }
  void SetStateIndex(int value);
  int Index() const;
  TListItems* Owner() const { return owner_; }
  TListView* ListView() const;
  // Deletes (and frees) the item.
  void Delete();
  void MakeVisible(bool partialOk = false);
  // Starts editing the caption (see TListView::EndEditing); false when the
  // list is ReadOnly or OnEditing refuses.
  bool EditCaption();

 private:
  friend class TListItems;
  friend class TListView;
  explicit TListItem(TListItems* owner);
  TListItems* owner_;
  std::string caption_;
  std::unique_ptr<TStrings> subItems_;
  bool checked_ = false;
  bool selected_ = false;
  bool deleting_ = false;
  int imageIndex_ = -1;
  int stateIndex_ = -1;
};

class TListItems {
 public:
  explicit TListItems(TListView* view) : view_(view) {}
  ~TListItems();
  TListItem* Add();
  // Inserts a new item before `index` (0 .. Count()).
  TListItem* Insert(int index);
  // Frees the item at the index (OnDeletion first).
  void Delete(int index);
  void Clear();
  int Count() const { return static_cast<int>(items_.size()); }
  // EInvalidOperation for an index outside 0 .. Count() - 1.
  TListItem* Item(int index) const;
  TListItem* operator[](int index) const { return Item(index); }
  int IndexOf(const TListItem* item) const;
  // Painting and re-sorting wait until the last EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updating_; }
  TListView* Owner() const { return view_; }

 private:
  friend class TListView;
  friend class TListItem;
  TListView* view_;
  std::vector<std::unique_ptr<TListItem>> items_;
  int updating_ = 0;
  bool sortPending_ = false;
};

using TLVChangeEvent = Closure<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVChangingEvent = Closure<void(TObject* Sender, TListItem* Item, TItemChange Change, bool& AllowChange)>;
using TLVSelectItemEvent = Closure<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVColumnClickEvent = Closure<void(TObject* Sender, TListColumn* Column)>;
using TLVCompareEvent = Closure<void(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare)>;
using TLVDeletedEvent = Closure<void(TObject* Sender, TListItem* Item)>;
using TLVCustomDrawItemEvent =
    Closure<void(TListView* Sender, TListItem* Item, TCustomDrawState State, bool& DefaultDraw)>;
using TLVCustomDrawSubItemEvent =
    Closure<void(TListView* Sender, TListItem* Item, int SubItem, TCustomDrawState State, bool& DefaultDraw)>;
using TLVAdvancedCustomDrawItemEvent = Closure<void(TListView* Sender, TListItem* Item, TCustomDrawState State,
                                                    TCustomDrawStage Stage, bool& DefaultDraw)>;
using TLVEditingEvent = Closure<void(TObject* Sender, TListItem* Item, bool& AllowEdit)>;
using TLVEditedEvent = Closure<void(TObject* Sender, TListItem* Item, std::string& S)>;
// A compare function of CustomSort: below 0, 0 or above 0.
using TLVCompare = std::function<int(TListItem* Item1, TListItem* Item2, int Data)>;

class TListView : public TCustomControl, public TNonClientPainter {
 public:
  explicit TListView(TComponent* AOwner);
  ~TListView() override;

  TListColumns* Columns() { return columns_.get(); }
  TListItems* Items() { return items_.get(); }
  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle value);

  bool Checkboxes() const { return checkboxes_; }
  void SetCheckboxes(bool value);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value);
  bool ReadOnly = false;
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool value);
  bool GridLines() const { return gridLines_; }
  void SetGridLines(bool value);
  bool ShowColumnHeaders() const { return showColumnHeaders_; }
  void SetShowColumnHeaders(bool value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);

  TCustomImageList* SmallImages() const { return smallImages_; }
  void SetSmallImages(TCustomImageList* value);
  TCustomImageList* StateImages() const { return stateImages_; }
  void SetStateImages(TCustomImageList* value);
  TCustomImageList* LargeImages() const { return largeImages_; }
  void SetLargeImages(TCustomImageList* value);

  // --- selection ---
  // The first selected item (null when none).
  TListItem* Selected() const;
  // Selects the item (null: clears the selection).
  void SetSelected(TListItem* item);
  int ItemIndex() const;
  // -1 clears the selection; an index outside the items is ignored.
  void SetItemIndex(int value);
  int SelCount() const;
  TListItem* ItemFocused() const { return focused_; }
  void SetItemFocused(TListItem* item);
  void ClearSelection();
  void SelectAll();

  // --- sorting ---
  TSortType SortType() const { return sortType_; }
  void SetSortType(TSortType value);
  bool AlphaSort();
  // Sorts with `compare` (null: OnCompare, or the default order); answers
  // false when there was nothing to compare with.
  bool CustomSort(TLVCompare compare, int data);

  // --- geometry ---
  int TopIndex() const { return topIndex_; }
  void SetTopIndex(int value);
  TListItem* TopItem() const;
  int VisibleRowCount() const;
  int RowHeight() const;
  int HeaderHeight() const;
  // The item at a client point, or null.
  TListItem* GetItemAt(int x, int y) const;
  // The whole row of the item in client coordinates.
  TRect ItemRect(const TListItem* item) const;
  // The x range of a column (client coordinates).
  TRect ColumnRect(int column) const;
  TListColumn* ColumnAt(int x) const;

  // --- editing the caption (headless: code or a test supplies the text) ---
  TListItem* EditingItem() const { return editing_; }
  // Ends the edit begun by TListItem::EditCaption: OnEdited may change the
  // text, which becomes the caption; with `cancel` nothing changes.
  void EndEditing(const std::string& text, bool cancel = false);

  // --- events ---
  TLVChangeEvent OnChange;
  TLVChangingEvent OnChanging;
  TLVSelectItemEvent OnSelectItem;
  TLVColumnClickEvent OnColumnClick;
  TLVCompareEvent OnCompare;
  TLVDeletedEvent OnDeletion;
  TLVDeletedEvent OnInsert;
  TLVCustomDrawItemEvent OnCustomDrawItem;
  TLVCustomDrawSubItemEvent OnCustomDrawSubItem;
  TLVAdvancedCustomDrawItemEvent OnAdvancedCustomDrawItem;
  TLVEditingEvent OnEditing;
  TLVEditedEvent OnEdited;

  void Notification(TComponent* component, TOperation operation) override;
  void Dispatch(void* message) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  TRect BorderInsets() const override;
  void PaintNonClient(TCanvas* canvas) override;
  void Paint() override;

 protected:
  // Whether the item may change (OnChanging).
  virtual bool CanChange(TListItem* item, TItemChange change);
  virtual void Change(TListItem* item, TItemChange change);
  virtual void DoSelectItem(TListItem* item, bool selected);
  virtual void ColClick(TListColumn* column);
  virtual void InsertItem(TListItem* item);
  virtual void Delete(TListItem* item);

 private:
  friend class TListItem;
  friend class TListItems;
  friend class TListColumn;
  friend class TListColumns;
  // Changes the selection flag with the events; false when refused.
  bool ChangeSelection(TListItem* item, bool value);
  void ItemRemoved(TListItem* item);
  void SortAfterChange();
  void UserSelect(TListItem* item, TShiftState shift);
  void ToggleCheck(TListItem* item);
  void MakeVisibleIndex(int index);
  // The x offset where the caption column's text starts (after the check
  // box, state image and small image).
  int CaptionIndent() const;
  // What a report cell is painted with: the colours the handlers left, and
  // whether the selection covers it.
  struct TCellLook {
    TColor brush = clWindow;
    TColor text = clWindowText;
    bool filled = false;  // its brush differs from the row's
    bool highlighted = false;
    TItemColors selection{};
  };
  void PaintReportRow(TCanvas* canvas, TListItem* item, const TRect& row, bool focusedView);
  void PaintReportCell(TCanvas* canvas, TListItem* item, int col, const TRect& cell, const TCellLook& look);
  // The check box, state image and small image of a caption cell; answers
  // where the text may start.
  int PaintItemMarks(TCanvas* canvas, TListItem* item, const TRect& cell);
  void PaintGridLines(TCanvas* canvas);
  void PaintColumnHeaders(TCanvas* canvas);
  // A row of the styles other than vsReport: the small picture and caption.
  void PaintListRow(TCanvas* canvas, TListItem* item, bool focusedView);
  void PaintFocusRect(TCanvas* canvas);
  TCustomDrawState ItemDrawState(TListItem* item, bool focusedView) const;

  std::unique_ptr<TListColumns> columns_;
  std::unique_ptr<TListItems> items_;
  TViewStyle viewStyle_ = vsIcon;
  bool checkboxes_ = false;
  bool multiSelect_ = false;
  bool rowSelect_ = false;
  bool gridLines_ = false;
  bool showColumnHeaders_ = true;
  bool hideSelection_ = true;
  TBorderStyle borderStyle_ = bsSingle;
  TCustomImageList* smallImages_ = nullptr;
  TCustomImageList* stateImages_ = nullptr;
  TCustomImageList* largeImages_ = nullptr;
  TSortType sortType_ = stNone;
  TListItem* focused_ = nullptr;
  TListItem* anchor_ = nullptr;
  TListItem* editing_ = nullptr;
  int topIndex_ = 0;
};
