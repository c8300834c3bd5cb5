#include "platform/vcl/Driver.h"
#include "platform/vcl/Menus.h"

#include <algorithm>

#include "platform/vcl/CommonDialog.h"
#include "platform/vcl/Control.h"
#include "platform/vcl/DriverState.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/UiBackend.h"
#include "platform/win/VirtualKeys.h"

namespace Driver {
namespace detail {

namespace {

void ForgetControl(TControl* control) {
  State& s = GetState();
  if (s.hover == control) s.hover = nullptr;
  for (TControl** slot : s.watched)
    if (*slot == control) *slot = nullptr;
}

}  // namespace

State& GetState() {
  static State* state = [] {
    RegisterControlDestroyHook(&ForgetControl);
    return new State;  // lives as long as the process
  }();
  return *state;
}

Watch::Watch(TControl*& control) : slot_(&control) { GetState().watched.push_back(slot_); }

Watch::~Watch() {
  auto& watched = GetState().watched;
  auto it = std::find(watched.rbegin(), watched.rend(), slot_);
  if (it != watched.rend()) watched.erase(std::next(it).base());
}

ModalAnswer AnswerModal(TCustomForm& form) {
  const std::string className = form.ClassName();
  ModalHandler handler;
  const auto& handlers = GetState().handlers;
  for (auto it = handlers.rbegin(); it != handlers.rend(); ++it) {
    if (it->kind == Handler::Modal && it->key == className) {
      handler = it->modal;
      break;
    }
  }
  if (!handler) return {};
  return {true, handler(form)};
}

void RecordModal(const ModalRecord& record) { GetState().modalLog.push_back(record); }

bool AnswerDialog(TCommonDialog& dialog) {
  DialogRecord record;
  record.className = dialog.ClassName();
  DialogHandler handler;
  const auto& handlers = GetState().handlers;
  for (auto it = handlers.rbegin(); it != handlers.rend(); ++it) {
    if (it->kind == Handler::Dialog && it->key == record.className) {
      handler = it->dialog;
      break;
    }
  }
  if (handler) {
    record.answeredByHandler = true;
    record.result = handler(dialog);
  } else if (UiBackend().Interactive()) {
    // A person fills it on the screen.
    record.result = UiBackend().ExecuteDialog(dialog) == 1;
  }
  GetState().dialogLog.push_back(record);
  return record.result;
}

}  // namespace detail

using detail::GetState;
using detail::Handler;

int OnModal(const std::string& formClassName, ModalHandler handler) {
  Handler h;
  h.id = GetState().nextId++;
  h.kind = Handler::Modal;
  h.key = formClassName;
  h.modal = std::move(handler);
  GetState().handlers.push_back(std::move(h));
  return GetState().handlers.back().id;
}

int OnDialog(const std::string& dialogClassName, DialogHandler handler) {
  Handler h;
  h.id = GetState().nextId++;
  h.kind = Handler::Dialog;
  h.key = dialogClassName;
  h.dialog = std::move(handler);
  GetState().handlers.push_back(std::move(h));
  return GetState().handlers.back().id;
}

int OnMessageBox(const std::string& textPart, MessageBoxHandler handler) {
  Handler h;
  h.id = GetState().nextId++;
  h.kind = Handler::Box;
  h.key = textPart;
  h.boxId = AddMessageBoxHandler(textPart, std::move(handler));
  GetState().handlers.push_back(std::move(h));
  return GetState().handlers.back().id;
}

int AnswerMessageBox(const std::string& textPart, int answer) {
  return OnMessageBox(textPart, [answer](const MessageBoxRecord&) { return answer; });
}

void RemoveHandler(int id) {
  auto& handlers = GetState().handlers;
  for (auto it = handlers.begin(); it != handlers.end(); ++it) {
    if (it->id != id) continue;
    if (it->kind == Handler::Box) RemoveMessageBoxHandler(it->boxId);
    handlers.erase(it);
    return;
  }
}

std::vector<ModalRecord> ModalLog() { return GetState().modalLog; }
std::vector<DialogRecord> DialogLog() { return GetState().dialogLog; }
std::vector<MessageBoxRecord> MessageBoxes() { return MessageBoxLog(); }

void Focus(TWinControl* control) {
  if (control != nullptr) control->SetFocus();
}

void Reset() {
  detail::State& s = GetState();
  for (const Handler& h : s.handlers)
    if (h.kind == Handler::Box) RemoveMessageBoxHandler(h.boxId);
  s.handlers.clear();
  s.modalLog.clear();
  s.dialogLog.clear();
  ClearMessageBoxHandlers();
  ClearMessageBoxLog();
  ReleaseMouse();
  ResetKeyboardState();
  ResetPopups();
}

}  // namespace Driver
