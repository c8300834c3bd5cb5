#include "designer/ObjectTemplates.h"

#include <algorithm>

namespace {

// The colours as the objects store them (blue x 65536 + green x 256 + red).
constexpr const char* kWhite = "16777215";
constexpr const char* kGrey240 = "15790320";

}  // namespace

const std::array<TObjectTemplate, 17> kObjectTemplates = {{
    {0, "btnLabel", 0, "Label", kWhite, "true", "label", "", false},
    {1, "btnEditBox", 2, "", kWhite, "false", "edit",
     "variable=\"\" type=\"\" intf=\"0\" prec=\"-1\" size=\"3\" global=\"true\"", false},
    {2, "btnEditBoxEx", 3, "", kWhite, "false", "edit",
     "variable=\"\" type=\"\" intf=\"0\" prec=\"-1\" size=\"3\" global=\"false\"", false},
    {3, "btnStateImage", 5, "", kWhite, "true", "image", "variable=\"\" type=\"\" on=\"\" off=\"\"", false},
    {4, "btnGlobalSubmit", 6, "Submit", kGrey240, "false", "submit", "width=\"136\" height=\"28\"", false},
    {6, "btnImage", 4, "", kWhite, "true", "picture", "href=\"\" img=\"\"", false},
    {7, "btnCameraPic", 7, "", "-1", "true", "camera", "href=\"http://\" width=\"320\" height=\"240\" refresh=\"1000\"",
     false},
    {8, "btnRectangle", 8, "", kGrey240, "false", "block", "width=\"64\" height=\"64\"", false},
    {9, "btnBar", 11, "", kGrey240, "false", "block", "dynamic=\"true\" width=\"32\" height=\"64\"", false},
    {10, "btnMultiImage", 12, "", kGrey240, "false", "mulimg", "count=\"0\"", true},
    {11, "btnPostFileBox", 1, "", kWhite, "false", "postfile", "variable=\"\" type=\"\" size=\"12\"", false},
    {12, "btnImageBtn", 13, "", kWhite, "true", "imagebtn", "value=\"1\" variable=\"\" type=\"\" on=\"\" off=\"\"",
     false},
    {13, "btnRectDynCol", 9, "", kGrey240, "false", "block", "dynamic=\"true\" width=\"64\" height=\"64\" color=\"1\"",
     false},
    {14, "btnStrImg", 10, "", kGrey240, "false", "strimg", "width=\"32\" height=\"32\" variable=\"\" type=\"\"", false},
    {15, "btnCanvas", 14, "", "0", "true", "canvas", "width=\"256\" height=\"256\"", false},
    {16, "btnIFrame", 15, "", kGrey240, "false", "iframe", "width=\"256\" height=\"256\"", false},
    {17, "btnDropDown", 16, "", kWhite, "false", "dropdown", "variable=\"\" type=\"\" size=\"12\"", true},
}};

const TObjectTemplate* ObjectTemplateOfTag(int tag) {
  const auto found = std::find_if(kObjectTemplates.begin(), kObjectTemplates.end(),
                                  [tag](const TObjectTemplate& tool) { return tool.tag == tag; });
  return found != kObjectTemplates.end() ? &*found : nullptr;
}

std::string BuiltInTemplate(const TObjectTemplate& tool) {
  std::string text = "<clipboard><object caption=\"";
  text += tool.caption;
  text += "\" X=\"1\" Y=\"1\" xoff=\"0\" yoff=\"0\" level=\"0\" readonly=\"false\" front=\"0\" back=\"";
  text += tool.back;
  text += "\" strong=\"false\" italic=\"false\" size=\"13\" transparent=\"";
  text += tool.transparent;
  text += "\"><";
  text += tool.kind;
  if (*tool.kindAttributes != '\0') {
    text += ' ';
    text += tool.kindAttributes;
  }
  if (tool.endTag) {
    text += "></";
    text += tool.kind;
    text += '>';
  } else {
    text += "/>";
  }
  text += "</object></clipboard>";
  return text;
}

std::string ToolTemplate(int tag, const std::array<std::string, kTemplateSlots>& slots) {
  const TObjectTemplate* tool = ObjectTemplateOfTag(tag);
  if (tool == nullptr) return {};
  const std::string& user = slots[static_cast<std::size_t>(tool->slot)];
  return !user.empty() ? user : BuiltInTemplate(*tool);
}
