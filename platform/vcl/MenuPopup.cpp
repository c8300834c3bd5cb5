// TPopupMenu::Popup and the driver's popup handlers.

#include <algorithm>
#include <sstream>

#include "platform/vcl/Menus.h"
#include "platform/vcl/UiBackend.h"

namespace {

struct PopupHandlerEntry {
  int id;
  std::string menuName;
  Driver::PopupHandler handler;
};

struct PopupState {
  std::vector<PopupHandlerEntry> handlers;
  std::vector<Driver::PopupRecord> log;
  int nextId = 1;
};

PopupState& State() {
  static PopupState state;
  return state;
}

// Whether the user can click the item: it lies in the menu, is no submenu
// and no separator, and it and its parents are enabled and visible.
bool Clickable(const TPopupMenu& menu, const TMenuItem* item) {
  if (item == nullptr || item->Count() > 0 || item->IsLine()) return false;
  const TMenuItem* p = item;
  for (; p != nullptr && p != menu.Items(); p = p->Parent())
    if (!p->Enabled() || !p->Visible()) return false;
  return p == menu.Items();
}

}  // namespace

void TPopupMenu::Popup(int x, int y) {
  PopupPoint = {x, y};
  DoPopup();
  Driver::PopupRecord record;
  record.menuName = Name();
  record.componentName = PopupComponent != nullptr ? PopupComponent->Name() : "";
  record.screenPos = PopupPoint;
  TMenuItem* chosen = nullptr;
  // The newest handler for this menu (or for any menu) answers.
  const auto handlers = State().handlers;
  for (auto it = handlers.rbegin(); it != handlers.rend(); ++it) {
    if (!it->menuName.empty() && !SameComponentName(it->menuName, Name())) continue;
    record.answeredByHandler = true;
    chosen = it->handler(*this);
    break;
  }
  // Without a handler a person chooses on the screen (headless: nobody does).
  if (!record.answeredByHandler && UiBackend().Interactive()) chosen = UiBackend().TrackMenu(Items(), PopupPoint);
  if (chosen != nullptr && !Clickable(*this, chosen)) {
    record.refused = true;
    chosen = nullptr;
  }
  if (chosen != nullptr) record.chosen = StripHotkey(chosen->Caption());
  State().log.push_back(record);
  if (chosen != nullptr) chosen->Click();
}

namespace Driver {

int OnPopupMenu(const std::string& menuName, PopupHandler handler) {
  const int id = State().nextId++;
  State().handlers.push_back({id, menuName, std::move(handler)});
  return id;
}

int ChoosePopupItem(const std::string& menuName, const std::string& captionPath) {
  return OnPopupMenu(menuName, [captionPath](TPopupMenu& menu) { return FindMenuItem(menu.Items(), captionPath); });
}

void RemovePopupHandler(int id) {
  auto& h = State().handlers;
  h.erase(std::remove_if(h.begin(), h.end(), [id](const PopupHandlerEntry& e) { return e.id == id; }), h.end());
}

std::vector<PopupRecord> PopupLog() { return State().log; }

void ResetPopups() {
  State().handlers.clear();
  State().log.clear();
}

TMenuItem* FindMenuItem(TMenuItem* root, const std::string& captionPath) {
  TMenuItem* item = root;
  std::stringstream parts(captionPath);
  std::string part;
  while (item != nullptr && std::getline(parts, part, '|')) item = item->Find(part);
  return item == root ? nullptr : item;
}

}  // namespace Driver
