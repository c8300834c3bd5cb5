#include "properties/PageLinkMenu.h"

#include "core/UiText.h"
#include "core/XmlNode.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Screen.h"
#include "properties/DesignerContext.h"

namespace {

constexpr const char* kSeparator = " - ";

}  // namespace

void FillPageLinkMenu(TDesignerContext& designer, bool withEmptyEntry, TNotifyEvent click) {
  designer.FillPageLinkMenu(withEmptyEntry, click);
}

void PopUpPageLinkMenu(TDesignerContext& designer, TNotifyEvent click) {
  FillPageLinkMenu(designer, false, click);
  const TPoint p = Mouse->CursorPos();
  designer.PageLinkMenu()->Popup(p.x, p.y);
}

std::string PageLinkOfMenuItem(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (item == nullptr) return std::string();
  const std::string& caption = item->Caption();
  const std::size_t at = caption.rfind(kSeparator);
  return at == std::string::npos ? caption : caption.substr(at + 3);
}
