#pragma once
// TScrollBox: a window whose children may reach beyond its client area; two
// scroll bars show the part in view.
//
// Scrolling moves the children (their Left and Top are in the visible
// client area, as the class library has them): setting
// HorzScrollBar()->SetPosition(p) moves every child by the difference. With
// AutoScroll (the default) a bar's Range follows the children: the farthest
// right (bottom) edge of a visible child plus the position. A bar is shown
// when its range exceeds the client size; shown bars take their width from
// the client area. Positions stay within 0 .. Range - client size.

#include <memory>

#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/ScrollExtent.h"
#include "platform/vcl/WinControl.h"

class TScrollingWinControl;

enum TScrollBarKind { sbHorizontal, sbVertical };

class TControlScrollBar {
 public:
  TControlScrollBar(TScrollingWinControl* control, TScrollBarKind kind) : control_(control), kind_(kind) {}
  TControlScrollBar(const TControlScrollBar&) = delete;
  TControlScrollBar& operator=(const TControlScrollBar&) = delete;

  TScrollBarKind Kind() const { return kind_; }
  int Position() const { return position_; }
  void SetPosition(int value);
  // With AutoScroll the children's extent, else the range set here.
  int Range() const;
  void SetRange(int value);
  // The largest position (0 when everything fits).
  int MaxPosition() const;
  // Whether the bar may show at all.
  bool Visible = true;
  // Whether the bar shows now.
  bool IsScrollBarVisible() const;
  int Increment = 8;
  bool Tracking = false;
  // The thickness of the bar.
  static constexpr int Size = kScrollBarSize;

 private:
  friend class TScrollingWinControl;
  TScrollingWinControl* control_;
  TScrollBarKind kind_;
  int position_ = 0;
  int range_ = 0;
};

class TScrollingWinControl : public TCustomControl, public TNonClientPainter {
 public:
  explicit TScrollingWinControl(TComponent* AOwner);
  ~TScrollingWinControl() override;

  TControlScrollBar* HorzScrollBar() { return horz_.get(); }
  TControlScrollBar* VertScrollBar() { return vert_.get(); }
  bool AutoScroll = true;
  // Moves every child by (dx, dy), the positions staying.
  void ScrollBy(int dx, int dy);
  // Scrolls so that the control (a child at any depth) is in view.
  void ScrollInView(TControl* control);

  TRect BorderInsets() const override;
  void PaintNonClient(TCanvas* canvas) override;
  // A press on a scroll bar scrolls (arrows: Increment; the track beside
  // the thumb: a page) and reaches no mouse event, as the frame is no
  // client area.
  void Dispatch(void* message) override;

 protected:
  friend class TControlScrollBar;
  // The border's width on each side.
  virtual int BorderWidthPx() const { return 0; }
  // The extent of the visible children in scrolled coordinates, kept as
  // they change (reading it walks no child).
  TSize ChildExtent() const;
  void ChildChanged(TControl* child) override;
  // Which bars show (both depend on each other: one bar narrows the room
  // of the other).
  void BarsShown(bool& horz, bool& vert) const;

 private:
  // Moves every child by (dx, dy); withPosition: a bar's position moved by
  // the opposite (the children's edges in scrolled coordinates stay).
  void MoveChildren(int dx, int dy, bool withPosition);

  std::unique_ptr<TControlScrollBar> horz_;
  std::unique_ptr<TControlScrollBar> vert_;
  // The visible children's right and bottom edges in scrolled coordinates:
  // scrolling moves a child and the position alike, so its edges stay.
  TScrollExtent extent_;
};

class TScrollBox : public TScrollingWinControl {
 public:
  explicit TScrollBox(TComponent* AOwner);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);

 protected:
  int BorderWidthPx() const override { return borderStyle_ == bsSingle ? 2 : 0; }

 private:
  TBorderStyle borderStyle_ = bsSingle;
};
