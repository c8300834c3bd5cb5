// Painting of TTreeView: dotted lines, expand buttons, state icons, images
// and labels with the selection.

#include <algorithm>

#include "platform/vcl/ComCtrlsPaint.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/TreeView.h"

namespace {

// The dotted grey lines of the classic tree: every other pixel, anchored so
// that lines of neighbouring rows join up.
void DottedH(TCanvas* canvas, int x0, int x1, int y, TColor color) {
  for (int x = x0; x < x1; ++x)
    if (((x + y) & 1) == 0) canvas->SetPixel(x, y, color);
}

void DottedV(TCanvas* canvas, int x, int y0, int y1, TColor color) {
  for (int y = y0; y < y1; ++y)
    if (((x + y) & 1) == 0) canvas->SetPixel(x, y, color);
}

// The 9 x 9 plus or minus box.
void DrawButton(TCanvas* canvas, int cx, int cy, bool expanded) {
  const TRect box = Rect(cx - 4, cy - 4, cx + 5, cy + 5);
  canvas->Brush->Style = bsSolid;
  canvas->Brush->Color = clWindow;
  canvas->FillRect(box);
  canvas->Brush->Color = clBtnShadow;
  canvas->FrameRect(box);
  canvas->Pen->Style = psSolid;
  canvas->Pen->Color = clWindowText;
  canvas->MoveTo(cx - 2, cy);
  canvas->LineTo(cx + 3, cy);
  if (!expanded) {
    canvas->MoveTo(cx, cy - 2);
    canvas->LineTo(cx, cy + 3);
  }
}

}  // namespace

void TTreeView::PaintNonClient(TCanvas* canvas) {
  if (borderStyle_ != bsSingle) return;
  TRect r = Rect(0, 0, Width(), Height());
  DrawEdge(canvas, r, TEdge::Sunken);
}

void TTreeView::PaintRow(TCanvas* canvas, TTreeNode* node, int row, bool focusedView) {
  const int h = ItemHeight();
  const int top = (row - topIndex_) * h;
  const int midY = top + h / 2;
  const int levelX = LevelX(node);
  const TColor lineColor = clBtnShadow;
  const int level = node->Level();
  if (showLines_) {
    // Lines of the parents that have more siblings below.
    int depth = level - 1;
    for (TTreeNode* p = node->Parent(); p != nullptr; p = p->Parent(), --depth) {
      if (p->getNextSibling() == nullptr || (!showRoot_ && depth < 0)) continue;
      const int x = 3 + (depth + (showRoot_ ? 1 : 0)) * indent_ - indent_ / 2 - 1;
      DottedV(canvas, x, top, top + h, lineColor);
    }
    if (showRoot_ || level > 0) {
      const int x = levelX - indent_ / 2 - 1;
      const bool first = node->Parent() == nullptr && node->getPrevSibling() == nullptr;
      DottedV(canvas, x, first ? midY : top, node->getNextSibling() != nullptr ? top + h : midY + 1, lineColor);
      DottedH(canvas, x, levelX - 1, midY, lineColor);
    }
  }
  if (showButtons_ && node->HasChildren() && (showRoot_ || level > 0))
    DrawButton(canvas, levelX - indent_ / 2 - 1, midY, node->expanded_);

  const bool selected = node == selected_ && (focusedView || !hideSelection_);
  const bool dropped = node == dropTarget_;
  TCustomDrawState state = 0;
  if (selected) state |= cdsSelected;
  if (node == selected_ && focusedView) state |= cdsFocused;
  canvas->Font->Assign(*Font());
  if (!Enabled()) canvas->Font->Color = clGrayText;
  canvas->Brush->Style = bsSolid;
  canvas->Brush->Color = Color();
  bool defaultDraw = true;
  if (OnCustomDrawItem) OnCustomDrawItem(this, node, state, defaultDraw);
  if (!defaultDraw) return;

  int x = levelX;
  if (stateImages_ != nullptr) {
    if (node->stateIndex_ > 0)
      stateImages_->Draw(canvas, x, midY - stateImages_->Height() / 2, node->stateIndex_, Enabled());
    x += stateImages_->Width();
  }
  if (images_ != nullptr) {
    const int index = node == selected_ && node->selectedIndex_ >= 0 ? node->selectedIndex_ : node->imageIndex_;
    images_->Draw(canvas, x, midY - images_->Height() / 2, index, Enabled());
    x += images_->Width() + 1;
  }
  const int textWidth = canvas->TextWidth(node->text_);
  TRect label = Rect(x, top, x + textWidth + 4, top + h);
  if (rowSelect_) label.Right = ClientWidth();
  if (selected || dropped) {
    // A drop target shows as if the view had the focus.
    const TItemColors colors = SelectedItemColors(focusedView || dropped, Enabled());
    canvas->Brush->Color = colors.back;
    canvas->Font->Color = colors.text;
  }
  if (selected || dropped || canvas->Brush->Color != Color()) canvas->FillRect(label);
  canvas->Brush->Style = bsClear;
  DrawTextInRect(canvas, Rect(label.Left + 2, label.Top, label.Right, label.Bottom), node->text_,
                 CellTextStyle(taLeftJustify));
  canvas->Brush->Style = bsSolid;
  if (node == selected_ && focusedView) canvas->DrawFocusRect(label);
}

void TTreeView::Paint() {
  TCanvas* canvas = Canvas();
  std::vector<TTreeNode*> rows;
  CollectVisible(rows);
  const bool focusedView = Focused() && Enabled();
  const int last = std::min<int>(static_cast<int>(rows.size()), topIndex_ + VisibleCount() + 1);
  for (int row = topIndex_; row < last; ++row) PaintRow(canvas, rows[static_cast<std::size_t>(row)], row, focusedView);
}
