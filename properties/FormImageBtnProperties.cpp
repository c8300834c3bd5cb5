#include "properties/FormImageBtnProperties.h"

#include "designer/FormDesign1.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Edit.h"
#include "properties/CommonBindings.h"

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
    {C::CheckBox, "cbStrong", "", 290, 66, 70, 19, 7050, ""},
    {C::CheckBox, "cbItalic", "", 370, 66, 80, 19, 7049, ""},
    {C::Label, "lblFntCol", "", 8, 95, 190, 16, 7054, ""},
    {C::Shape, "shFront", "", 200, 92, 50, 23, 0, ""},
    {C::Label, "lblOff", "", 8, 123, 190, 16, 7142, ""},
    {C::Label, "lblX", "", 200, 123, 12, 16, 0, "X"},
    {C::MyEdit, "ceOffX", "", 214, 120, 50, 23, 0, ""},
    {C::Label, "lblY", "", 274, 123, 12, 16, 0, "Y"},
    {C::MyEdit, "ceOffY", "", 288, 120, 50, 23, 0, ""},
    {C::Label, "Label3", "", 8, 151, 190, 16, 7036, ""},
    {C::Edit, "edtVariable", "", 200, 148, 220, 23, 0, ""},
    {C::Button, "Button3", "", 424, 148, 26, 23, 0, "..."},
    {C::Label, "lblType", "", 200, 174, 220, 16, 0, ""},
    {C::Label, "lblValue", "", 8, 197, 190, 16, 7239, ""},
    {C::Edit, "edtValue", "", 200, 194, 220, 23, 0, ""},
    {C::Label, "Label2", "", 8, 225, 190, 16, 7032, ""},
    {C::MyEdit, "seSecLevel", "", 200, 222, 50, 23, 0, ""},
    {C::CheckBox, "cbLink", "", 200, 252, 220, 19, 7058, ""},
    {C::Label, "Label4", "", 8, 279, 190, 16, 7046, ""},
    {C::Edit, "edtLink1", "", 200, 276, 220, 23, 0, ""},
    {C::Button, "AddPage", "", 424, 276, 26, 23, 0, "..."},
    {C::Label, "lblVisibility", "", 8, 307, 190, 16, 7132, ""},
    {C::Edit, "edtVisVar", "", 200, 304, 220, 23, 0, ""},
    {C::Button, "btnVis", "", 424, 304, 26, 23, 0, "..."},
    {C::Label, "lblVisType", "", 200, 330, 220, 16, 0, ""},
    {C::CheckBox, "cbActiveIn0", "", 200, 350, 220, 19, 7134, ""},
    {C::Button, "Button1", "", 524, 380, 80, 25, 2005, ""},
    {C::Button, "Button2", "", 610, 380, 80, 25, 2006, ""},
};

std::vector<TPropertyBinding> MakeBindings() {
  using R = TCommonRow;
  return Joined(
      {{.control = "edtCaption1", .kind = TBindKind::Text, .field = Field(&E::FCaption)}},
      {CommonBindings({R::Hint, R::FontSize, R::Strong, R::Italic, R::FrontColour, R::PosX, R::PosY, R::Variable}),
       {
           {.control = "edtValue", .kind = TBindKind::Text, .field = Field(&E::FValue)},
           CommonBinding(R::SecLevel),
           ImageBinding("Image1", false),
           ImageBinding("Image2", true),
       },
       LinkBindings(),
       CommonBindings({R::VisVariable, R::VisNeg}),
       {
           {.control = "caption", .kind = TBindKind::LangSlots},
           {.control = "hint", .kind = TBindKind::LangSlots},
       }});
}

}  // namespace

TFormImageBtnProperties::TFormImageBtnProperties(TFormDesign1& designer) : TPictureFormBase(designer, kRows, 7238) {
  SetClientWidth(700);
  SetClientHeight(415);
  linkLabel_ = "Label4";
  BuildPreviewPages(460, 8, 230, 300, {{"1", 7240, "", true}, {"2", 7241, "", true}});
  langTexts = {{.attr = "caption", .edit = "edtCaption1", .button = "btLangEdit1"},
               {.attr = "hint", .edit = "edtHint1", .button = "btLangHint1"}};
  WireCommonHandlers();
  RequireSwatchPress();
  OnActivate = {this, &TPictureFormBase::PreviewActivate};
  // The value refreshes the variable's type beside its box and is flagged itself.
  Get<TEdit>("edtValue")->OnChange = {this, &TPropertyForm::edtVariableChange};
  Get<TCheckBox>("cbLink")->OnClick = {this, &TPictureFormBase::cbLinkClick};
  Get<TButton>("AddPage")->OnClick = {this, &TPictureFormBase::AddPageClick};
}

std::span<const TPropertyBinding> TFormImageBtnProperties::Bindings() const {
  static const std::vector<TPropertyBinding> bindings = MakeBindings();
  return bindings;
}

bool TFormImageBtnProperties::TakesKind(int kind) const { return kind == wkImageBtn; }
int TFormImageBtnProperties::TemplateSlot(const TGridWebElement&) const { return 13; }
