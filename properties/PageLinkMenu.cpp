#include "properties/PageLinkMenu.h"

#include "core/UiText.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Screen.h"

namespace {

constexpr const char* kSeparator = " - ";

TMenuItem* AddItem(TMenuItem* parent, TComponent* owner, const std::string& caption, TNotifyEvent click) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  item->OnClick = click;
  parent->Add(item);
  return item;
}

}  // namespace

void FillPageLinkMenu(TFormDesign1& designer, bool withEmptyEntry, TNotifyEvent click) {
  TPopupMenu* menu = designer.PagesPopup1;
  TMenuItem* root = menu->Items();
  root->Clear();
  if (withEmptyEntry) {
    AddItem(root, menu, "", click);
    AddItem(root, menu, "-", nullptr);
  }
  TmyXmlNode* web = designer.Document().Web();
  for (TmyXmlNode* group = web != nullptr ? web->firstChild : nullptr; group != nullptr; group = group->next) {
    if (group->name != "group") continue;
    std::string caption = group->GetAttr("caption");
    if (caption.empty()) caption = GetUiText(7141);
    TMenuItem* sub = AddItem(root, menu, caption, nullptr);
    for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next)
      if (page->name == "page")
        AddItem(sub, menu, page->GetAttr("caption") + kSeparator + page->GetAttr("name"), click);
  }
  AddItem(root, menu, "-", nullptr);
  AddItem(root, menu, std::string("Logout") + kSeparator + "LOGOUT.XML", click);
}

void PopUpPageLinkMenu(TFormDesign1& designer, TNotifyEvent click) {
  FillPageLinkMenu(designer, false, click);
  const TPoint p = Mouse->CursorPos();
  designer.PagesPopup1->Popup(p.x, p.y);
}

std::string PageLinkOfMenuItem(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (item == nullptr) return std::string();
  const std::string& caption = item->Caption();
  const std::size_t at = caption.rfind(kSeparator);
  return at == std::string::npos ? caption : caption.substr(at + 3);
}
