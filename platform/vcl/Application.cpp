#include "platform/vcl/Application.h"

#include "platform/vcl/Form.h"
#include "platform/win/MessageBox.h"

TApplication* Application = new TApplication(nullptr);  // lives as long as the process

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
  if (operation == opRemove && component != nullptr && static_cast<TComponent*>(mainForm_) == component)
    mainForm_ = nullptr;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      break;
    }
    DispatchMessage(&msg);
  }
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, int flags) {
  return ::MessageBox(Handle(), text.c_str(), caption.c_str(), static_cast<UINT>(flags));
}
