#include "properties/FormSubmitProperties.h"

#include "core/UiText.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "properties/ClickAction.h"
#include "properties/CommonBindings.h"
#include "properties/DesignerContext.h"

namespace {

using C = TControlClass;
using E = TGridWebElement;

constexpr TComponentRow kRows[] = {
    {C::Label, "Label1", "", 8, 11, 190, 16, 7094, ""},
    {C::Edit, "edtCaption1", "", 200, 8, 220, 23, 0, ""},
    {C::Button, "btLangEdit1", "", 424, 8, 26, 23, 0, "..."},
    {C::Label, "lblHint", "", 8, 39, 190, 16, 7264, ""},
    {C::Edit, "edtHint1", "", 200, 36, 220, 23, 0, ""},
    {C::Button, "btLangHint1", "", 424, 36, 26, 23, 0, "..."},
    {C::Label, "lblFntSiz", "", 8, 67, 190, 16, 7052, ""},
    {C::MyEdit, "seSize", "", 200, 64, 50, 23, 0, ""},
    {C::Label, "lblPx", "", 254, 67, 20, 16, 0, "px"},
    {C::CheckBox, "cbStrong", "", 280, 66, 80, 19, 7050, ""},
    {C::CheckBox, "cbItalic", "", 370, 66, 80, 19, 7049, ""},
    {C::Label, "lblFntCol", "", 8, 95, 190, 16, 7054, ""},
    {C::Shape, "shFront", "", 200, 92, 50, 23, 0, ""},
    {C::Label, "lblFntBck", "", 8, 123, 190, 16, 7053, ""},
    {C::Shape, "shBack", "", 200, 120, 50, 23, 0, ""},
    {C::CheckBox, "cbTransparent", "", 260, 122, 160, 19, 7051, ""},
    {C::CheckBox, "cbBorder1", "", 200, 146, 220, 19, 7095, ""},
    {C::Label, "lblOff", "", 8, 175, 190, 16, 7142, ""},
    {C::Label, "lblX", "", 200, 175, 12, 16, 0, "X"},
    {C::MyEdit, "ceOffX", "", 214, 172, 50, 23, 0, ""},
    {C::Label, "lblY", "", 274, 175, 12, 16, 0, "Y"},
    {C::MyEdit, "ceOffY", "", 288, 172, 50, 23, 0, ""},
    {C::Label, "lblSec", "", 8, 203, 190, 16, 7032, ""},
    {C::MyEdit, "seSecLevel", "", 200, 200, 50, 23, 0, ""},
    {C::Label, "Label4", "", 8, 231, 190, 16, 0, "Tab index"},
    {C::Edit, "seTabIndex", "", 200, 228, 50, 23, 0, ""},
    {C::CheckBox, "cbUseVal", "", 8, 260, 420, 19, 7308, ""},
    {C::Label, "lblVariable", "", 8, 287, 190, 16, 7036, ""},
    {C::Edit, "edtVariable", "", 200, 284, 220, 23, 0, ""},
    {C::Button, "Button3", "", 424, 284, 26, 23, 0, "..."},
    {C::Label, "lblType", "", 200, 310, 220, 16, 0, ""},
    {C::Label, "lblValue", "", 8, 333, 190, 16, 7239, ""},
    {C::Edit, "edtVal", "", 200, 330, 220, 23, 0, ""},
    {C::Label, "lblVisibility", "", 8, 363, 190, 16, 7132, ""},
    {C::Edit, "edtVisVar", "", 200, 360, 220, 23, 0, ""},
    {C::Button, "btnVis", "", 424, 360, 26, 23, 0, "..."},
    {C::Label, "lblVisType", "", 200, 386, 220, 16, 0, ""},
    {C::CheckBox, "cbActiveIn0", "", 200, 406, 220, 19, 7134, ""},
    {C::Button, "Button1", "", 284, 440, 80, 25, 2005, ""},
    {C::Button, "Button2", "", 370, 440, 80, 25, 2006, ""},
};

std::vector<TPropertyBinding> MakeBindings() {
  using R = TCommonRow;
  return Joined(
      {
          {.control = "edtCaption1", .kind = TBindKind::Text, .field = Field(&E::FCaption)},
      },
      {CommonBindings({R::Hint, R::FontSize, R::Strong, R::Italic, R::FrontColour, R::BackColour, R::Transparent}),
       CommonBindings({R::Border, R::PosX, R::PosY, R::SecLevel, R::TabIndex}),
       ClickActionBindings(TClickVariableType::AsRead),
       CommonBindings({R::VisVariable, R::VisNeg}),
       {
           {.control = "caption", .kind = TBindKind::LangSlots},
           {.control = "hint", .kind = TBindKind::LangSlots},
       }});
}

}  // namespace

TFormSubmitProperties::TFormSubmitProperties(TDesignerContext& designer) : TTabOrderedForm(designer, kRows, 7059) {
  SetClientWidth(460);
  SetClientHeight(475);
  langTexts = {{.attr = "caption", .edit = "edtCaption1", .button = "btLangEdit1"},
               {.attr = "hint", .edit = "edtHint1", .button = "btLangHint1"}};
  WireCommonHandlers();
  OnActivate = {this, &TPropertyForm::FormActivate};
  Get<TCheckBox>("cbUseVal")->OnClick = {this, &TFormSubmitProperties::cbUseValClick};
}

std::span<const TPropertyBinding> TFormSubmitProperties::Bindings() const {
  static const std::vector<TPropertyBinding> bindings = MakeBindings();
  return bindings;
}

bool TFormSubmitProperties::TakesKind(int kind) const { return kind == wkSubmit; }
int TFormSubmitProperties::TemplateSlot(const TGridWebElement&) const { return 6; }

void TFormSubmitProperties::AfterFill() { cbUseValClick(nullptr); }

void TFormSubmitProperties::cbUseValClick(TObject*) { ShowClickAction(*this); }
