// TFormDesign1: what the dialogs that choose a page ask of the window: the
// shown name of a page and the page-link menu.

#include "core/UiText.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/SysUtils.h"

namespace {

constexpr int kTextUnnamed = 7141;
constexpr const char* kLogoutEntry = "Logout - LOGOUT.XML";

TMenuItem* AddMenuEntry(TMenuItem* parent, TComponent* owner, const std::string& caption, TNotifyEvent onClick) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  item->OnClick = onClick;
  parent->Add(item);
  return item;
}

}  // namespace

TPopupMenu* TFormDesign1::FillPageLinkMenu(bool withEmptyEntry, TNotifyEvent onClick) {
  TMenuItem* items = PagesPopup1->Items();
  items->Clear();
  if (withEmptyEntry) {
    AddMenuEntry(items, PagesPopup1, "", onClick);
    AddMenuEntry(items, PagesPopup1, "-", {});
  }
  TmyXmlNode* web = document_->Web();
  for (TmyXmlNode* group = web != nullptr ? web->firstChild : nullptr; group != nullptr; group = group->next) {
    if (group->name != "group") continue;
    const TmyXmlAttrNode* caption = group->FindAttr("caption");
    TMenuItem* groupItem =
        AddMenuEntry(items, PagesPopup1, caption != nullptr ? caption->value : GetUiText(kTextUnnamed), {});
    for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next) {
      if (page->name != "page") continue;
      AddMenuEntry(groupItem, PagesPopup1, page->GetAttr("caption") + " - " + page->GetAttr("name"), onClick);
    }
  }
  AddMenuEntry(items, PagesPopup1, "-", {});
  AddMenuEntry(items, PagesPopup1, kLogoutEntry, onClick);
  return PagesPopup1;
}
