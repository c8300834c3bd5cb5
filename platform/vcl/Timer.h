#pragma once
// TTimer (unit ExtCtrls): fires OnTimer every Interval milliseconds while it
// is enabled, on the clock of platform/win/VirtualClock.h (tests move that
// clock with AdvanceVirtualClock; the host program runs it in real time).
// The ticks come through the message queue of the thread that made the
// timer: Application->ProcessMessages and AdvanceVirtualClock run them.

#include "platform/vcl/Component.h"
#include "platform/win/WindowMessages.h"

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  // Starting a timer that runs already does not restart its period.
  void SetEnabled(bool value);
  unsigned Interval() const { return interval_; }
  // A new interval restarts the period; 0 stops the ticks.
  void SetInterval(unsigned value);

  TNotifyEvent OnTimer;

  // Fires OnTimer (the tick).
  virtual void Timer();

 private:
  void UpdateTimer();

  bool enabled_ = true;
  unsigned interval_ = 1000;
  HWND window_ = nullptr;
  bool running_ = false;
};
