#include "properties/PictureRows.h"

namespace {

using C = TControlClass;

constexpr int kLabelX = 8;
constexpr int kLabelW = 190;
constexpr int kBoxX = 200;
constexpr int kBoxW = 220;
constexpr int kDotsX = 424;

TComponentRow LabelAt(const char* name, int top, int captionId) {
  return {C::Label, name, "", kLabelX, top + 3, kLabelW, 16, captionId, ""};
}
TComponentRow BoxAt(const char* name, int top) { return {C::Edit, name, "", kBoxX, top, kBoxW, 23, 0, ""}; }
TComponentRow DotsAt(const char* name, int top) { return {C::Button, name, "", kDotsX, top, 26, 23, 0, "..."}; }

}  // namespace

void AppendRows(std::vector<TComponentRow>& rows, TRowBlock block, int top, const char* label) {
  switch (block) {
    case TRowBlock::Caption:
      rows.insert(rows.end(), {LabelAt("Label1", top, 7094), BoxAt("edtCaption1", top), DotsAt("btLangEdit1", top)});
      break;
    case TRowBlock::Hint:
      rows.insert(rows.end(), {LabelAt("lblHint", top, 7264), BoxAt("edtHint1", top), DotsAt("btLangHint1", top)});
      break;
    case TRowBlock::Font:
      rows.insert(rows.end(), {LabelAt("lblFntSiz", top, 7052),
                               {C::MyEdit, "seSize", "", kBoxX, top, 50, 23, 0, ""},
                               {C::Label, "lblPx", "", kBoxX + 54, top + 3, 20, 16, 0, "px"},
                               {C::CheckBox, "cbStrong", "", 290, top + 2, 70, 19, 7050, ""},
                               {C::CheckBox, "cbItalic", "", 370, top + 2, 80, 19, 7049, ""},
                               LabelAt("lblFntCol", top + 28, 7054),
                               {C::Shape, "shFront", "", kBoxX, top + 28, 50, 23, 0, ""}});
      break;
    case TRowBlock::Position:
      rows.insert(rows.end(), {LabelAt("lblOff", top, 7142),
                               {C::Label, "lblX", "", kBoxX, top + 3, 12, 16, 0, "X"},
                               {C::MyEdit, "ceOffX", "", kBoxX + 14, top, 50, 23, 0, ""},
                               {C::Label, "lblY", "", kBoxX + 74, top + 3, 12, 16, 0, "Y"},
                               {C::MyEdit, "ceOffY", "", kBoxX + 88, top, 50, 23, 0, ""}});
      break;
    case TRowBlock::Variable:
      rows.insert(rows.end(), {LabelAt("Label3", top, 7036),
                               BoxAt("edtVariable", top),
                               DotsAt("Button3", top),
                               {C::Label, "lblType", "", kBoxX, top + 26, kBoxW, 16, 0, ""}});
      break;
    case TRowBlock::Link:
      rows.insert(rows.end(), {{C::CheckBox, "cbLink", "", kBoxX, top, kBoxW, 19, 7058, ""},
                               LabelAt(label, top + 24, 7046),
                               BoxAt("edtLink1", top + 24),
                               DotsAt("AddPage", top + 24)});
      break;
    case TRowBlock::Visibility:
      rows.insert(rows.end(), {LabelAt("lblVisibility", top, 7132),
                               BoxAt("edtVisVar", top),
                               DotsAt("btnVis", top),
                               {C::Label, "lblVisType", "", kBoxX, top + 26, kBoxW, 16, 0, ""},
                               {C::CheckBox, "cbActiveIn0", "", kBoxX, top + 46, kBoxW, 19, 7134, ""}});
      break;
    case TRowBlock::OkCancel:
      rows.insert(rows.end(), {{C::Button, "Button1", "", 524, top, 80, 25, 2005, ""},
                               {C::Button, "Button2", "", 610, top, 80, 25, 2006, ""}});
      break;
  }
}
