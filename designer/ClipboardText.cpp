#include "designer/ClipboardText.h"

#include <algorithm>

#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "platform/vcl/SysUtils.h"

namespace {

constexpr int kTooLargeTextId = 7389;        // The clipboard text is too large (%s bytes).
constexpr int kNoDesignerCopyTextId = 7390;  // The clipboard does not hold a designer copy.
constexpr int kNotWellFormedTextId = 7391;   // The clipboard text is not well-formed XML (line %d).
constexpr int kNothingPastedTextId = 7392;   // Nothing was pasted.

TClipboardDocument Refused(std::string fault) {
  TClipboardDocument document;
  document.fault = std::move(fault);
  return document;
}

TmyXmlNode* FirstElement(TmyXmlNode* root) {
  for (TmyXmlNode* node = root->firstChild; node != nullptr; node = node->next)
    if (!node->comment && !node->instruction) return node;
  return nullptr;
}

}  // namespace

TClipboardDocument ReadClipboardText(std::string_view text, std::initializer_list<std::string_view> topNames) {
  if (text.empty()) return {};
  if (text.size() > kMaxClipboardText) return Refused(Format(GetUiText(kTooLargeTextId), std::to_string(text.size())));
  if (text.find('\0') != std::string_view::npos) return Refused(GetUiText(kNoDesignerCopyTextId));
  TmyXMLParser parser;
  const std::string copy(text);
  if (!parser.LoadFromString(copy.c_str())) return {};
  TClipboardDocument document;
  document.root.reset(parser.Parse());
  if (document.root == nullptr || parser.errorWord != 0)
    return Refused(Format(GetUiText(kNotWellFormedTextId), static_cast<int>(parser.GetLine())));
  TmyXmlNode* top = FirstElement(document.root.get());
  if (top == nullptr ||
      std::none_of(topNames.begin(), topNames.end(), [&](std::string_view name) { return top->name == name; }))
    return Refused(GetUiText(kNoDesignerCopyTextId));
  document.top = top;
  return document;
}

std::string PasteRefusalText(const std::string& fault) { return fault + "\n" + GetUiText(kNothingPastedTextId); }

bool IsPageClipboardText(std::string_view text) { return text.find("<page") != std::string_view::npos; }
