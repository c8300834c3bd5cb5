#include "properties/PageLinkMenu.h"

#include "core/UiText.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Screen.h"

namespace {

constexpr const char* kSeparator = " - ";

}  // namespace

void FillPageLinkMenu(TFormDesign1& designer, bool withEmptyEntry, TNotifyEvent click) {
  designer.FillPageLinkMenu(withEmptyEntry, click);
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
