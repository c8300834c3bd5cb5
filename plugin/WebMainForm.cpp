#include "plugin/WebMainForm.h"

#include "core/HelpLink.h"
#include "core/UiText.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/ToolBar.h"
#include "platform/win/Cursors.h"
#include "platform/win/Resources.h"
#include "plugin/HelpEntry.h"
#include "plugin/PluginState.h"

namespace {

// The design surface's cursors, by the numbers the page objects show.
struct TCursorResource {
  int number;
  const char* resource;
};
constexpr TCursorResource kCursors[] = {
    {4128, "CR_MOVE"}, {4129, "CR_HORZ"}, {4130, "CR_VERT"}, {4131, "CR_PREC"}, {4134, "CR_VH"},
};

void RegisterCursors() {
  if (Screen == nullptr) return;
  for (const TCursorResource& cursor : kCursors) {
    // A resource that is missing leaves the number without a cursor of its own.
    if (FindResource(HInstance, cursor.resource, RT_GROUP_CURSOR) == nullptr &&
        FindResource(HInstance, cursor.resource, RT_CURSOR) == nullptr)
      continue;
    HCURSOR handle = LoadCursor(HInstance, cursor.resource);
    if (handle != nullptr) Screen->SetCursors(cursor.number, handle);
  }
}

}  // namespace

TWebMainForm1::TWebMainForm1(TComponent* AOwner) : TForm(AOwner) {
  SetName("WebMainForm1");
  SetCaption("WebMainForm1");
  SetBounds(830, 104, 229, 79);
  RegisterCursors();
  AfterConstruction();
}

TWebMainForm1::~TWebMainForm1() {
  BeforeDestruction();
  // The help item's click handler is this form's: the item goes with it.
  RemoveHelpEntry(this);
  // The host's owner component may free the form before the controlled
  // destruction does: the process-wide pointer lets go without freeing it.
  if (WebMainForm1.get() == this) static_cast<void>(WebMainForm1.release());
}

void TWebMainForm1::SetHelpItem(std::unique_ptr<TMenuItem> item) {
  helpItem_ = std::move(item);
  WatchHostObject(helpItem_.get());
}

void TWebMainForm1::FreeHelpItem() { helpItem_.reset(); }

void TWebMainForm1::SetHelpSubmenu(TMenuItem* item) {
  helpSubmenu_ = item;
  WatchHostObject(item);
}

void TWebMainForm1::WatchHostObject(TComponent* object) {
  if (object != nullptr) FreeNotification(object);
}

void TWebMainForm1::Notification(TComponent* component, TOperation operation) {
  TForm::Notification(component, operation);
  if (operation != opRemove || component == nullptr) return;
  // The host freed the menu holding the help entry, and the entry with it.
  if (component == helpItem_.get()) static_cast<void>(helpItem_.release());
  if (component == helpSubmenu_) helpSubmenu_ = nullptr;
  if (component == gCommandMenuItem) gCommandMenuItem = nullptr;
  if (component == gCommandButton) gCommandButton = nullptr;
}

void TWebMainForm1::ShowPluginHelp(TObject*) { ShowHelp(GetUiLanguageIndex(), "Tarnwell", "", ""); }

void SetLanguageIfChanged(TWebMainForm1* form, int languageIndex) {
  int current = form != nullptr ? form->LanguageIndex : GetUiLanguageIndex();
  if (languageIndex != current) SelectUiLanguage(languageIndex);
}
