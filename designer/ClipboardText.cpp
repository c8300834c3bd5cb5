#include "designer/ClipboardText.h"

#include <algorithm>

#include "core/XmlDocument.h"

namespace {

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
  if (text.size() > kMaxClipboardText)
    return Refused("The clipboard text is too large (" + std::to_string(text.size()) + " bytes).");
  if (text.find('\0') != std::string_view::npos) return Refused("The clipboard does not hold a designer copy.");
  TmyXMLParser parser;
  const std::string copy(text);
  if (!parser.LoadFromString(copy.c_str())) return {};
  TClipboardDocument document;
  document.root.reset(parser.Parse());
  if (document.root == nullptr || parser.errorWord != 0)
    return Refused("The clipboard text is not well-formed XML (line " + std::to_string(parser.GetLine()) + ").");
  TmyXmlNode* top = FirstElement(document.root.get());
  if (top == nullptr ||
      std::none_of(topNames.begin(), topNames.end(), [&](std::string_view name) { return top->name == name; }))
    return Refused("The clipboard does not hold a designer copy.");
  document.top = top;
  return document;
}

bool IsPageClipboardText(std::string_view text) { return text.find("<page") != std::string_view::npos; }
