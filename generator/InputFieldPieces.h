#pragma once
// Pieces that the writers of the input kinds share: pixel texts, the
// `tabindex` attribute, the red frame of a field whose variable is missing,
// the fixed factor of a character's width, and the lock of a level.

#include <string>

#include "core/XmlNode.h"
#include "generator/ObjectWriter.h"
#include "generator/Template.h"

// The width of a character without measured fonts, in thousandths of the
// font size.
inline constexpr long long kCharacterPerMille = 615;
inline constexpr long long kPerMille = 1000;

// The frame of a placeholder for a missing variable.
inline constexpr const char* kMissingFrame = " border: solid red 2px;";

// "%ipx;"
inline std::string Px(long long value) { return std::to_string(value) + "px;"; }

// `tabindex` when it is 0 or more, else "" (the attribute is left out).
inline std::string TabIndex(const TObjectWriter& writer) {
  const int tabindex = writer.kind->GetAttrInt("tabindex", -1);
  return tabindex >= 0 ? std::to_string(tabindex) : "";
}

// For a level above 0, the template's "locked" part inside the element: the
// attributes that a user below the level gets instead. The element loses its
// short form so that the part is written.
inline void AddLock(const TObjectWriter& writer, TmyXmlNode* element, const std::string& resource) {
  if (writer.data.level <= 0) return;
  element->closed = false;
  TMarkupTemplate::Get(resource).AppendTo(element, "locked", TTemplateValues().Int("level", writer.data.level));
}
