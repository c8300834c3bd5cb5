#pragma once
// What the driver (Driver.h) keeps between calls; for its own files only.

#include <functional>
#include <string>
#include <vector>

#include "platform/vcl/Driver.h"

class TControl;

namespace Driver::detail {

struct Handler {
  enum Kind { Modal, Dialog, Box };
  int id = 0;
  Kind kind = Modal;
  std::string key;  // class name
  ModalHandler modal;
  DialogHandler dialog;
  int boxId = 0;  // the id of the message box handler
};

struct State {
  TControl* hover = nullptr;  // the control under the mouse
  WPARAM buttons = 0;         // MK_ flags of the buttons held
  std::vector<TControl**> watched;
  std::vector<Handler> handlers;
  int nextId = 1;
  std::vector<ModalRecord> modalLog;
  std::vector<DialogRecord> dialogLog;
};

State& GetState();

// Keeps a pointer to a control up to date: it becomes null when the control
// is destroyed while the watch lasts.
class Watch {
 public:
  explicit Watch(TControl*& control);
  ~Watch();
  Watch(const Watch&) = delete;
  Watch& operator=(const Watch&) = delete;

 private:
  TControl** slot_;
};

}  // namespace Driver::detail
