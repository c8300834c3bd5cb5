#pragma once
// The insert tools of the designer's toolbar and their object templates.
// Each tool (chosen by its button's Tag) pastes a template: the user's
// template in the tool's slot when there is one, else a built-in `clipboard`
// text holding one `object` of the tool's kind at position 1, 1.

#include <array>
#include <string>

// The number of template slots (one a tool).
inline constexpr int kTemplateSlots = 17;

struct TObjectTemplate {
  int tag;
  // The tool button's component name.
  const char* button;
  // The slot of the user template.
  int slot;
  // The `object` attributes that differ between the tools.
  const char* caption;
  const char* back;
  const char* transparent;
  // The kind element: its name and attributes; endTag: written with an end
  // tag although it has no children.
  const char* kind;
  const char* kindAttributes;
  bool endTag;
};

// The tools in Tag order (Tag 5 has none).
extern const std::array<TObjectTemplate, 17> kObjectTemplates;

// The tool of a Tag; null for the arrow (-1), Tag 5 and Tags outside 0..17.
const TObjectTemplate* ObjectTemplateOfTag(int tag);
// The built-in `clipboard` text of a tool.
std::string BuiltInTemplate(const TObjectTemplate& tool);
// What a tool pastes: its slot's text when not empty, else the built-in
// text; empty for a Tag without a tool.
std::string ToolTemplate(int tag, const std::array<std::string, kTemplateSlots>& slots);
