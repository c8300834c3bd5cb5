#include "platform/vcl/Timer.h"

#include "platform/win/WindowTimers.h"

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  window_ = CreateWindowHandle([this](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
    if (message == WM_TIMER && running_) Timer();
    return 0;
  });
  UpdateTimer();
}

TTimer::~TTimer() {
  running_ = false;
  KillTimer(window_, 1);
  DestroyWindow(window_);
}

void TTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned value) {
  if (value == interval_) return;
  interval_ = value;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  KillTimer(window_, 1);
  running_ = false;
  if (enabled_ && interval_ != 0) running_ = SetTimer(window_, 1, interval_, nullptr) != 0;
}

void TTimer::Timer() {
  if (OnTimer) OnTimer(this);
}
