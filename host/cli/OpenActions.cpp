#include "host/cli/OpenActions.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "base/ScopeExit.h"
#include "host/sim/HalvexHost.h"
#include "host/sim/ShownText.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Control.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/MessageDialog.h"
#include "platform/vcl/Painting.h"
#include "platform/win/StopRequest.h"

namespace {

// The docked form the IDE shows; null when there is none.
TCustomForm* ShownDockedForm(HalvexHost& host) {
  for (const auto& [form, state] : host.Ide().Forms())
    if (state.docked && state.shown) return form;
  return nullptr;
}

// Chooses the menu item as a user does: an item of a pop-up menu from the
// menu as it pops up (its own preparation runs first), any other item from
// its menu. False when the user could not reach it: it or an item above it
// is disabled or hidden, or it opens a submenu.
bool ChooseMenuItem(TMenuItem& item) {
  if (auto* popup = dynamic_cast<TPopupMenu*>(item.GetParentMenu())) {
    const int handler = Driver::OnPopupMenu(popup->Name(), [&item](TPopupMenu&) { return &item; });
    ScopeExit remove([handler] { Driver::RemovePopupHandler(handler); });
    popup->Popup(0, 0);
    const std::vector<Driver::PopupRecord> log = Driver::PopupLog();
    return !log.empty() && !log.back().refused && !log.back().chosen.empty();
  }
  if (item.Count() > 0 || item.IsLine()) return false;
  for (const TMenuItem* p = &item; p != nullptr; p = p->Parent())
    if (!p->Enabled() || !p->Visible()) return false;
  item.Click();
  return true;
}

}  // namespace

std::string ErrorShownSince(std::size_t before) {
  const std::vector<MessageBoxRecord> boxes = Driver::MessageBoxes();
  for (std::size_t i = before; i < boxes.size(); ++i) {
    const MessageBoxRecord& box = boxes[i];
    const bool error =
        box.kind == MessageBoxRecord::Box ? (box.flags & MB_ICONMASK) == MB_ICONERROR : box.dialogType == mtError;
    if (!error) continue;
    std::string text = box.text;
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text.empty() ? std::string("(no text)") : text;
  }
  return std::string();
}

bool ChooseHostCommand(HalvexHost& host, const std::string& name, std::ostream& out, std::ostream& err) {
  for (const HostMenuCommand& command : host.Menu().Commands()) {
    if (command.name != name) continue;
    const bool enabled =
        command.item != nullptr ? command.item->Enabled() : command.button != nullptr && command.button->Enabled();
    if (!enabled) {
      err << "halvex open: the command \"" << name << "\" is disabled (or placed in no menu and on no tool bar)\n";
      return false;
    }
    out << "command \"" << name << "\" (" << command.id << ") chosen in the "
        << (command.item != nullptr ? "menu" : "tool bar") << "\n";
    if (command.item != nullptr)
      command.item->Click();
    else
      command.button->Click();
    Application->ProcessMessages();
    return true;
  }
  err << "halvex open: no plug-in registered a command \"" << name << "\"\n";
  return false;
}

bool ClickInShownWindow(HalvexHost& host, const std::string& name, std::ostream& out, std::ostream& err) {
  TCustomForm* form = ShownDockedForm(host);
  if (form == nullptr) {
    err << "halvex open: --click: no docked window is shown\n";
    return false;
  }
  const std::size_t boxes = Driver::MessageBoxes().size();
  if (auto* item = dynamic_cast<TMenuItem*>(form->FindComponent(name))) {
    if (!ChooseMenuItem(*item)) {
      err << "halvex open: --click: " << form->Name() << " offers no enabled menu item \"" << name << "\"\n";
      return false;
    }
    out << "chose " << form->Name() << "." << name << "\n";
  } else {
    // A user presses only what is shown: a hidden control's place belongs to
    // whatever is shown there, which the click would reach instead.
    auto* control = dynamic_cast<TControl*>(form->FindComponent(name));
    if (control == nullptr || !control->Enabled() || !control->Showing()) {
      err << "halvex open: --click: " << form->Name() << " shows no enabled control \"" << name << "\"\n";
      return false;
    }
    out << "clicked " << form->Name() << "." << name << "\n";
    Driver::Click(control);
  }
  Application->ProcessMessages();
  // The plug-in tells a command that failed with an error box.
  if (const std::string error = ErrorShownSince(boxes); !error.empty()) {
    err << "halvex open: --click " << name << ": the command failed: " << ShownText(error) << "\n";
    return false;
  }
  return true;
}

void WaitForLiveValues(HalvexHost& host, std::ostream& out) {
  constexpr int kSteps = 25;
  constexpr auto kStep = std::chrono::milliseconds(40);
  // A stop asked for (Ctrl+C) ends the wait.
  for (int i = 0; i < kSteps && StopRequestSignal() == 0; ++i) {
    host.Loop().WaitForRounds(host.Loop().Rounds() + 1, kStep * 10);
    std::this_thread::sleep_for(kStep);
    Application->ProcessMessages();
  }
  out << "live view: " << host.SyncedRead().ReadCount() << " synchronised read(s), "
      << host.Plc().RequestCount(kPlcServiceWriteBytes) + host.Plc().RequestCount(kPlcServiceWriteBits)
      << " write request(s)\n";
}

bool SnapshotShownWindow(HalvexHost& host, const std::string& file, std::ostream& out, std::ostream& err) {
  TCustomForm* form = ShownDockedForm(host);
  if (form == nullptr) {
    err << "halvex open: --snapshot: no docked window is shown\n";
    return false;
  }
  // Some controls take their size from the text they measure while they
  // paint (the designer's page objects); a screen shows them again once they
  // changed, so the window is painted once to settle before the picture.
  TBitmap settle;
  PaintControlToBitmap(form, settle);
  if (!SaveControlAsPng(form, file)) {
    err << "halvex open: --snapshot: cannot write " << file << "\n";
    return false;
  }
  out << "snapshot of " << form->Name() << " (" << form->Width() << " x " << form->Height() << "): " << file << "\n";
  return true;
}
