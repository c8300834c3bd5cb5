#include "host/sim/HostMainWindow.h"

#include <cstring>

#include "platform/win/WindowMessages.h"
#include "platform/win/WindowTimers.h"

namespace {
// A status text longer than this is kept cut (the host's status bar is short).
constexpr std::size_t kMaxStatusText = 4096;
}  // namespace

HostMainWindow::HostMainWindow(TComponent* owner) : TForm(owner) { SetCaption("Halvex"); }

void HostMainWindow::WndProc(TMessage& message) {
  if (message.Msg == kHostMsgStatusText) {
    std::string text;
    if (message.WParam != 0) {
      const char* p = reinterpret_cast<const char*>(message.WParam);
      text.assign(p, strnlen(p, kMaxStatusText));
    }
    std::lock_guard<std::mutex> lock(mutex_);
    statusTexts_.push_back(text);
    message.Result = 0;
    return;
  }
  if (message.Msg == kHostMsgKeepAlive) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (message.WParam == 5)
      ++keepAlive_;
    else
      ++otherKeepAlive_;
    message.Result = 0;
    return;
  }
  if (message.Msg == WM_TIMER && message.WParam == kHostDataReadyTimer) {
    KillTimer(Handle(), kHostDataReadyTimer);
    if (OnHostEvent) OnHostEvent();
    message.Result = 0;
    return;
  }
  if (message.Msg == kHostMsgHostEvent) {
    if (OnHostEvent) OnHostEvent();
    message.Result = 0;
    return;
  }
  TForm::WndProc(message);
}

std::vector<std::string> HostMainWindow::StatusTexts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return statusTexts_;
}

std::string HostMainWindow::CurrentStatus() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return statusTexts_.empty() ? std::string() : statusTexts_.back();
}

std::uint32_t HostMainWindow::KeepAliveCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return keepAlive_;
}

std::uint32_t HostMainWindow::OtherKeepAliveCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return otherKeepAlive_;
}
