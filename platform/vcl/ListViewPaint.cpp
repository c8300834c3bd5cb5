// Painting of TListView.

#include <algorithm>

#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComCtrlsPaint.h"
#include "platform/vcl/HeaderControl.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/ListView.h"

void TListView::PaintNonClient(TCanvas* canvas) {
  if (borderStyle_ != bsSingle) return;
  TRect r = Rect(0, 0, Width(), Height());
  DrawEdge(canvas, r, TEdge::Sunken);
}

TCustomDrawState TListView::ItemDrawState(TListItem* item, bool focusedView) const {
  TCustomDrawState state = 0;
  if (item->selected_ && (focusedView || !hideSelection_)) state |= cdsSelected;
  if (focusedView && item == focused_) state |= cdsFocused;
  if (item->checked_) state |= cdsChecked;
  if (!Enabled()) state |= cdsDisabled;
  return state;
}

void TListView::PaintReportRow(TCanvas* canvas, TListItem* item, const TRect& row, bool focusedView) {
  const TCustomDrawState state = ItemDrawState(item, focusedView);
  const bool selected = (state & cdsSelected) != 0;
  // What the row is drawn with unless a handler changes it.
  canvas->Font->Assign(*Font());
  if (!Enabled()) canvas->Font->Color = clGrayText;
  canvas->Brush->Style = bsSolid;
  canvas->Brush->Color = Color();
  bool defaultDraw = true;
  if (OnCustomDrawItem) OnCustomDrawItem(this, item, state, defaultDraw);
  if (defaultDraw && OnAdvancedCustomDrawItem) OnAdvancedCustomDrawItem(this, item, state, cdPrePaint, defaultDraw);
  if (!defaultDraw || items_->IndexOf(item) < 0) return;
  const TColor rowBrush = canvas->Brush->Color;
  const TColor rowText = canvas->Font->Color;
  const TFont rowFont = [&] {
    TFont f;
    f.Assign(*canvas->Font);
    return f;
  }();
  // The selection's colours win over the handler's.
  const TItemColors selection = SelectedItemColors(focusedView, Enabled());
  canvas->Brush->Color = rowBrush;
  canvas->FillRect(row);
  const int columnCount = std::max(1, columns_->Count());
  for (int col = 0; col < columnCount; ++col) {
    TRect cell = columns_->Count() > 0 ? ColumnRect(col) : Rect(0, 0, ClientWidth(), 0);
    cell.Top = row.Top;
    cell.Bottom = row.Bottom;
    if (cell.IsEmpty()) continue;
    canvas->Font->Assign(rowFont);
    canvas->Font->Color = rowText;
    canvas->Brush->Style = bsSolid;
    canvas->Brush->Color = rowBrush;
    bool subDefault = true;
    if (OnCustomDrawSubItem) OnCustomDrawSubItem(this, item, col, state, subDefault);
    if (items_->IndexOf(item) < 0) return;
    if (!subDefault) continue;
    TCellLook look;
    look.brush = canvas->Brush->Color;
    look.text = canvas->Font->Color;
    look.filled = look.brush != rowBrush;
    look.highlighted = selected && (rowSelect_ || col == 0);
    look.selection = selection;
    PaintReportCell(canvas, item, col, cell, look);
  }
  if (OnAdvancedCustomDrawItem) {
    bool post = true;
    OnAdvancedCustomDrawItem(this, item, state, cdPostPaint, post);
  }
}

int TListView::PaintItemMarks(TCanvas* canvas, TListItem* item, const TRect& cell) {
  constexpr int kCheckColumn = 16;
  int x = cell.Left + 2;
  const int midY = cell.Top + static_cast<int>(cell.Height()) / 2;
  if (checkboxes_) {
    DrawCheckBoxFrame(canvas, x + 1, midY - kCheckMarkSize / 2, item->checked_ ? cbChecked : cbUnchecked, Enabled());
    x += kCheckColumn;
  }
  if (stateImages_ != nullptr) {
    if (item->stateIndex_ >= 0)
      stateImages_->Draw(canvas, x, midY - stateImages_->Height() / 2, item->stateIndex_, Enabled());
    x += stateImages_->Width();
  }
  if (smallImages_ != nullptr) {
    smallImages_->Draw(canvas, x, midY - smallImages_->Height() / 2, item->imageIndex_, Enabled());
    x += smallImages_->Width() + 2;
  }
  return x;
}

void TListView::PaintReportCell(TCanvas* canvas, TListItem* item, int col, const TRect& cell, const TCellLook& look) {
  constexpr int kCellMargin = 6;
  TClipScope clip(canvas, cell);
  const TAlignment alignment = columns_->Count() > 0 ? columns_->Items(col)->Alignment() : taLeftJustify;
  const std::string text =
      col == 0 ? item->caption_ : (col - 1 < item->subItems_->Count() ? item->subItems_->Strings(col - 1) : "");
  const int textLeft = col == 0 ? PaintItemMarks(canvas, item, cell) + 2 : cell.Left + kCellMargin;
  TRect back = Rect(col == 0 ? textLeft - 2 : cell.Left, cell.Top, cell.Right, cell.Bottom);
  // Without row select only the caption's text is highlighted.
  if (col == 0 && !rowSelect_) back.Right = std::min(cell.Right, textLeft + canvas->TextWidth(text) + 2);
  canvas->Brush->Style = bsSolid;
  canvas->Brush->Color = look.highlighted ? look.selection.back : look.brush;
  if (look.highlighted || look.filled) canvas->FillRect(back);
  canvas->Font->Color = look.highlighted ? look.selection.text : look.text;
  canvas->Brush->Style = bsClear;
  TTextStyle style = CellTextStyle(alignment);
  style.endEllipsis = true;
  DrawTextInRect(canvas, Rect(textLeft, cell.Top, cell.Right - kCellMargin, cell.Bottom), text, style);
  canvas->Brush->Style = bsSolid;
}

void TListView::PaintGridLines(TCanvas* canvas) {
  const int header = HeaderHeight();
  const int rowH = RowHeight();
  canvas->Pen->Color = clBtnFace;
  const int right = columns_->Count() > 0 ? ColumnRect(columns_->Count() - 1).Right : ClientWidth();
  for (int y = header + rowH - 1; y < ClientHeight(); y += rowH) {
    canvas->MoveTo(0, y);
    canvas->LineTo(right, y);
  }
  for (int c = 0; c < columns_->Count(); ++c) {
    const int x = ColumnRect(c).Right - 1;
    canvas->MoveTo(x, header);
    canvas->LineTo(x, ClientHeight());
  }
}

void TListView::PaintColumnHeaders(TCanvas* canvas) {
  const int header = HeaderHeight();
  int x = 0;
  for (int c = 0; c < columns_->Count(); ++c) {
    TListColumn* column = columns_->Items(c);
    DrawHeaderCell(canvas, Rect(x, 0, x + column->Width(), header), column->Caption(), column->Alignment(), false);
    x += column->Width();
  }
  // The empty rest of the row.
  if (x < ClientWidth()) DrawHeaderCell(canvas, Rect(x, 0, ClientWidth() + 2, header), "", taLeftJustify, false);
}

void TListView::PaintListRow(TCanvas* canvas, TListItem* item, bool focusedView) {
  const TRect row = ItemRect(item);
  const TCustomDrawState state = ItemDrawState(item, focusedView);
  canvas->Font->Assign(*Font());
  canvas->Brush->Color = Color();
  bool defaultDraw = true;
  if (OnCustomDrawItem) OnCustomDrawItem(this, item, state, defaultDraw);
  if (!defaultDraw || items_->IndexOf(item) < 0) return;
  int x = 2;
  TCustomImageList* images = viewStyle_ == vsIcon && largeImages_ != nullptr ? largeImages_ : smallImages_;
  if (images != nullptr && images->Height() <= RowHeight()) {
    images->Draw(canvas, x, row.Top, item->imageIndex_, Enabled());
    x += images->Width() + 2;
  }
  const int textWidth = canvas->TextWidth(item->caption_);
  if (state & cdsSelected) {
    const TItemColors colors = SelectedItemColors(focusedView, Enabled());
    canvas->Brush->Color = colors.back;
    canvas->Font->Color = colors.text;
  }
  canvas->FillRect(Rect(x, row.Top, x + textWidth + 4, row.Bottom));
  canvas->Brush->Style = bsClear;
  DrawTextInRect(canvas, Rect(x + 2, row.Top, ClientWidth(), row.Bottom), item->caption_, CellTextStyle(taLeftJustify));
  canvas->Brush->Style = bsSolid;
}

void TListView::PaintFocusRect(TCanvas* canvas) {
  if (focused_ == nullptr || items_->IndexOf(focused_) < 0) return;
  TRect r = ItemRect(focused_);
  if (r.Top < HeaderHeight() || r.Top >= ClientHeight()) return;
  if (!rowSelect_ && viewStyle_ == vsReport) {
    canvas->Font->Assign(*Font());
    const int left = CaptionIndent();
    r = Rect(left, r.Top, std::min<int>(r.Right, left + canvas->TextWidth(focused_->caption_) + 4), r.Bottom);
  }
  canvas->DrawFocusRect(r);
}

void TListView::Paint() {
  TCanvas* canvas = Canvas();
  const bool focusedView = Focused() && Enabled();
  const int rows = VisibleRowCount() + 1;
  // A handler may delete items while they paint: the count is asked anew.
  for (int i = topIndex_; i < items_->Count() && i < topIndex_ + rows; ++i) {
    TListItem* item = items_->Item(i);
    if (viewStyle_ == vsReport)
      PaintReportRow(canvas, item, ItemRect(item), focusedView);
    else
      PaintListRow(canvas, item, focusedView);
  }
  if (viewStyle_ == vsReport && gridLines_) PaintGridLines(canvas);
  if (viewStyle_ == vsReport && showColumnHeaders_) PaintColumnHeaders(canvas);
  if (focusedView) PaintFocusRect(canvas);
}
