#include "properties/FormStrImgProperties.h"

#include "grid/GridWebElement.h"
#include "properties/CommonBindings.h"
#include "properties/HiddenControls.h"
#include "properties/SizeBindings.h"

namespace {

using C = TControlClass;
using E = TGridWebElement;

// The caption and font controls stay hidden: filled, never changed.
constexpr TComponentRow kRows[] = {
    {C::Label, "Label2", "", 8, 11, 190, 16, 7036, ""},
    {C::Edit, "edtVariable", "", 200, 8, 220, 23, 0, ""},
    {C::Button, "Button3", "", 424, 8, 26, 23, 0, "..."},
    {C::Label, "lblType", "", 200, 34, 250, 16, 0, ""},
    {C::Label, "lblSize", "", 8, 57, 190, 16, 7037, ""},
    {C::Label, "lblSizeX", "", 200, 57, 12, 16, 0, "X"},
    {C::MyEdit, "ceSizeX", "", 214, 54, 50, 23, 0, ""},
    {C::Label, "lblSizeY", "", 274, 57, 12, 16, 0, "Y"},
    {C::MyEdit, "ceSizeY", "", 288, 54, 50, 23, 0, ""},
    {C::Label, "lblOff", "", 8, 85, 190, 16, 7142, ""},
    {C::Label, "lblX", "", 200, 85, 12, 16, 0, "X"},
    {C::MyEdit, "ceOffX", "", 214, 82, 50, 23, 0, ""},
    {C::Label, "lblY", "", 274, 85, 12, 16, 0, "Y"},
    {C::MyEdit, "ceOffY", "", 288, 82, 50, 23, 0, ""},
    {C::Label, "lblFntCol", "", 8, 113, 190, 16, 7055, ""},
    {C::Shape, "shFront", "", 200, 110, 50, 23, 0, ""},
    {C::Label, "lblFntBck", "", 8, 141, 190, 16, 7053, ""},
    {C::Shape, "shBack", "", 200, 138, 50, 23, 0, ""},
    {C::CheckBox, "cbTransparent", "", 260, 140, 160, 19, 7051, ""},
    {C::Label, "lblHint", "", 8, 169, 190, 16, 7264, ""},
    {C::Edit, "edtHint1", "", 200, 166, 220, 23, 0, ""},
    {C::Button, "btLangHint1", "", 424, 166, 26, 23, 0, "..."},
    {C::Label, "lblVisibility", "", 8, 197, 190, 16, 7132, ""},
    {C::Edit, "edtVisVar", "", 200, 194, 220, 23, 0, ""},
    {C::Button, "btnVis", "", 424, 194, 26, 23, 0, "..."},
    {C::Label, "lblVisType", "", 200, 220, 250, 16, 0, ""},
    {C::CheckBox, "cbActiveIn0", "", 200, 240, 250, 19, 7134, ""},
    {C::Button, "Button1", "", 284, 274, 80, 25, 2005, ""},
    {C::Button, "Button2", "", 370, 274, 80, 25, 2006, ""},
};

std::vector<TPropertyBinding> MakeBindings() {
  using R = TCommonRow;
  return Joined(CommonBindings({R::Variable}),
                {{SizeBinding(true, TSizeSource::Content, 1),
                  SizeBinding(false, TSizeSource::Content, 1),
                  {.control = "edtCaption1", .kind = TBindKind::Text, .field = Field(&E::FCaption)}},
                 CommonBindings({R::PosX, R::PosY, R::FontSize, R::Strong, R::Italic, R::FrontColour, R::BackColour,
                                 R::Transparent, R::Hint, R::VisVariable, R::VisNeg}),
                 {{.control = "hint", .kind = TBindKind::LangSlots}}});
}

}  // namespace

TFormStrImgProperties::TFormStrImgProperties(TDesignerContext& designer) : TPropertyForm(designer, kRows, 7244) {
  SetClientWidth(460);
  SetClientHeight(308);
  AddHiddenControls(*this, {kHiddenCaptionFontRows});
  langTexts = {{.attr = "hint", .edit = "edtHint1", .button = "btLangHint1"}};
  WireCommonHandlers();
  RaiseSizeOnExit(*this, 1);
  OnActivate = {this, &TPropertyForm::FormActivate};
}

std::span<const TPropertyBinding> TFormStrImgProperties::Bindings() const {
  static const std::vector<TPropertyBinding> bindings = MakeBindings();
  return bindings;
}

bool TFormStrImgProperties::TakesKind(int kind) const { return kind == wkStrImg; }
int TFormStrImgProperties::TemplateSlot(const TGridWebElement&) const { return 10; }
