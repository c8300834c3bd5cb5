#pragma once
// Reading a clipboard text back: the clipboard may hold text from any
// program, so a paste takes it only when it is one of the designer's own
// documents: at most kMaxClipboardText bytes, well-formed, and with a top
// element of an accepted name (`clipboard`, or `template` for the insert
// tools' object templates).

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "core/XmlNode.h"

// Larger texts are refused before they are read.
inline constexpr std::size_t kMaxClipboardText = 64u * 1024u * 1024u;

struct TClipboardDocument {
  // The parse result ("Wrapper"); null when the text was refused.
  std::unique_ptr<TmyXmlNode> root;
  // Its first element (the top element); null when refused.
  TmyXmlNode* top = nullptr;
  // Why the text was refused; empty when it was taken (or was empty).
  std::string fault;
};

// Reads the text. An empty text gives no document and no fault (nothing to
// paste, nothing to say).
TClipboardDocument ReadClipboardText(std::string_view text, std::initializer_list<std::string_view> topNames);

// The message of a refused paste: the fault, then that nothing was pasted.
std::string PasteRefusalText(const std::string& fault);

// "<page" anywhere in the text: a page or group copy.
bool IsPageClipboardText(std::string_view text);
