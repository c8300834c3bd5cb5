#pragma once
// TProgressBar (unit ComCtrls): a bar filled from Min to Position of the
// range Min .. Max, in blocks, or continuously when Smooth. Position stays
// inside the range; StepIt adds Step and, past Max, starts again at Min (as
// the system's control does); StepBy adds any amount and stops at the ends.

#include "platform/vcl/Painting.h"
#include "platform/vcl/WinControl.h"

enum TProgressBarOrientation { pbHorizontal, pbVertical };

class TProgressBar : public TCustomControl, public TNonClientPainter {
 public:
  explicit TProgressBar(TComponent* AOwner);

  int Min() const { return min_; }
  int Max() const { return max_; }
  // Changing the range keeps Position inside it.
  void SetMin(int value);
  void SetMax(int value);
  void SetRange(int min, int max);
  int Position() const { return position_; }
  void SetPosition(int value);
  int Step = 10;
  void StepIt();
  void StepBy(int delta);
  bool Smooth() const { return smooth_; }
  void SetSmooth(bool value);
  TProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TProgressBarOrientation value);
  // The fill colour (clDefault: the highlight colour).
  TColor BarColor = clDefault;

  TRect BorderInsets() const override { return {1, 1, 1, 1}; }
  void PaintNonClient(TCanvas* canvas) override;
  void Paint() override;

 private:
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  bool smooth_ = false;
  TProgressBarOrientation orientation_ = pbHorizontal;
};
