// TFormDesign1: the design surface's keys, the deletion of the selected page
// objects and the object menu's Edit item. TSurfaceKeys does the work; the
// window's handlers, bound to sbDesign1's key events, hand each key to it.

#include <memory>
#include <utility>

#include "designer/FormDesign1.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ScrollBox.h"

void TFormDesign1::CreateSurfaceKeys() {
  TSurfaceKeysContext context;
  context.surface = sbDesign1;
  context.liveView = &FLiveMode;
  context.insertion = [this] { return FInsert; };
  context.pushUndo = [this] { PushUndo(); };
  context.sendBackward = {this, &TFormDesign1::SendBackward1Click};
  context.bringForward = {this, &TFormDesign1::BringForward1Click};
  keys_ = std::make_unique<TSurfaceKeys>(std::move(context));
  sbDesign1->OnKeyDown = {this, &TFormDesign1::sbDesign1KeyDown};
  sbDesign1->OnKeyPress = {this, &TFormDesign1::sbDesign1KeyPress};
  sbDesign1->OnKeyUp = {this, &TFormDesign1::sbDesign1KeyUp};
}

void TFormDesign1::sbDesign1KeyDown(TObject* sender, WORD& key, TShiftState shift) {
  keys_->KeyDown(sender, key, shift);
}

void TFormDesign1::sbDesign1KeyPress(TObject* sender, char& key) { keys_->KeyPress(sender, key); }

void TFormDesign1::sbDesign1KeyUp(TObject* sender, WORD& key, TShiftState shift) { keys_->KeyUp(sender, key, shift); }

void TFormDesign1::DeleteSelectedObjects() { keys_->DeleteSelectedObjects(); }

void TFormDesign1::Delete1Click(TObject*) { DeleteSelectedObjects(); }

// The object's double click opens the property dialog of its kind; the dialog
// marks the object so that it ignores the press that follows a double click,
// which a menu command does not leave behind.
void TFormDesign1::Edit1Click(TObject*) {
  auto* object = dynamic_cast<TGridWebElement*>(ObjectPopup->PopupComponent);
  if (object == nullptr) return;
  if (object->OnDblClick) object->OnDblClick(object);
  object->FIgnoreMouseDown = false;
}
