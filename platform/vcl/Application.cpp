#include "platform/vcl/Application.h"

#include "platform/vcl/Control.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/HintWindow.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/Timer.h"
#include "platform/win/MessageBox.h"

TApplication* Application = new TApplication(nullptr);  // lives as long as the process

namespace {
// A hint stands this far below the mouse pointer's hot spot.
constexpr int kHintBelowCursor = 20;
}  // namespace

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() {
  if (handle_ != nullptr) DestroyWindow(handle_);
}

HWND TApplication::Handle() {
  if (handle_ == nullptr || !IsWindow(handle_))
    handle_ = CreateWindowHandle([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
  return handle_;
}

void TApplication::SetMainForm(TCustomForm* form) {
  if (form == mainForm_) return;
  if (mainForm_ != nullptr) RemoveFreeNotification(mainForm_);
  mainForm_ = form;
  if (form != nullptr) FreeNotification(form);
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove || component == nullptr) return;
  if (static_cast<TComponent*>(mainForm_) == component) mainForm_ = nullptr;
  if (static_cast<TComponent*>(hintControl_) == component) CancelHint();
  if (static_cast<TComponent*>(hintWindow_) == component) hintWindow_ = nullptr;
  if (static_cast<TComponent*>(hintTimer_) == component) hintTimer_ = nullptr;
}

void TApplication::HintMouseMessage(TControl* control) {
  if (control == hintControl_) return;
  CancelHint();
  if (control == nullptr || !ShowHint || !control->ShowHint() || GetShortHint(control->Hint).empty()) return;
  hintControl_ = control;
  FreeNotification(control);
  if (hintTimer_ == nullptr) {
    hintTimer_ = new TTimer(this);
    hintTimer_->OnTimer = {this, &TApplication::HintTimerTick};
  }
  hintTimer_->SetEnabled(false);
  hintTimer_->SetInterval(static_cast<unsigned>(HintPause));
  hintTimer_->SetEnabled(true);
}

void TApplication::CancelHint() {
  if (hintTimer_ != nullptr) hintTimer_->SetEnabled(false);
  if (hintWindow_ != nullptr) hintWindow_->ReleaseHandle();
  ForgetHintControl();
}

void TApplication::ForgetHintControl() {
  if (hintControl_ != nullptr && static_cast<TComponent*>(hintControl_) != mainForm_)
    RemoveFreeNotification(hintControl_);
  hintControl_ = nullptr;
}

// The first tick shows the hint, the second one (HintHidePause later) hides
// it again while the mouse still rests on the control.
void TApplication::HintTimerTick(TObject*) {
  hintTimer_->SetEnabled(false);
  if (hintControl_ == nullptr) return;
  if (hintWindow_ != nullptr && hintWindow_->Visible()) {
    hintWindow_->ReleaseHandle();
    return;
  }
  if (!hintControl_->Showing()) {
    ForgetHintControl();
    return;
  }
  if (hintWindow_ == nullptr) {
    hintWindow_ = new THintWindow(this);
    FreeNotification(hintWindow_);
  }
  // Below the mouse pointer, clear of the arrow.
  const TPoint mouse = Mouse->CursorPos();
  hintWindow_->ActivateHint({mouse.x, mouse.y + kHintBelowCursor}, GetShortHint(hintControl_->Hint));
  hintTimer_->SetInterval(static_cast<unsigned>(HintHidePause));
  hintTimer_->SetEnabled(true);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      break;
    }
    // As a window procedure of the class library does: a handler's failure
    // is told to the user, not carried out of the loop that ends the program.
    try {
      DispatchMessage(&msg);
    } catch (...) {
      HandleException(this);
    }
  }
}

std::string TApplication::Title() const {
  if (!title_.empty()) return title_;
  const std::size_t slash = exeName_.find_last_of("\\/");
  std::string name = slash == std::string::npos ? exeName_ : exeName_.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, int flags) {
  return ::MessageBox(Handle(), text.c_str(), caption.c_str(), static_cast<UINT>(flags));
}

void TApplication::HandleException(TObject* sender) {
  const std::exception_ptr current = std::current_exception();
  if (!current) return;
  try {
    std::rethrow_exception(current);
  } catch (const std::exception& e) {
    if (OnException)
      OnException(sender, e);
    else
      ShowException(e);
  } catch (...) {
    const Exception unknown("Unknown exception");
    if (OnException)
      OnException(sender, unknown);
    else
      ShowException(unknown);
  }
}

void TApplication::ShowException(const std::exception& e) {
  std::string text = e.what();
  if (!text.empty() && text.back() > '.') text += '.';
  MessageBox(text, Title(), MB_OK | MB_ICONSTOP);
}
