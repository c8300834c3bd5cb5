#include "properties/FormPictureProperties.h"

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
    {C::CheckBox, "cbLink", "", 200, 150, 220, 19, 7058, ""},
    {C::Label, "Label2", "", 8, 177, 190, 16, 7046, ""},
    {C::Edit, "edtLink1", "", 200, 174, 220, 23, 0, ""},
    {C::Button, "AddPage", "", 424, 174, 26, 23, 0, "..."},
    {C::Label, "lblVisibility", "", 8, 205, 190, 16, 7132, ""},
    {C::Edit, "edtVisVar", "", 200, 202, 220, 23, 0, ""},
    {C::Button, "btnVis", "", 424, 202, 26, 23, 0, "..."},
    {C::Label, "lblVisType", "", 200, 228, 220, 16, 0, ""},
    {C::CheckBox, "cbActiveIn0", "", 200, 248, 220, 19, 7134, ""},
    {C::Button, "Button1", "", 524, 280, 80, 25, 2005, ""},
    {C::Button, "Button2", "", 610, 280, 80, 25, 2006, ""},
};

std::vector<TPropertyBinding> MakeBindings() {
  using R = TCommonRow;
  return Joined({{.control = "edtCaption1", .kind = TBindKind::Text, .field = Field(&E::FCaption)}},
                {CommonBindings({R::Hint, R::FontSize, R::Strong, R::Italic, R::FrontColour, R::PosX, R::PosY}),
                 {ImageBinding("Image1", false)},
                 LinkBindings(),
                 CommonBindings({R::VisVariable, R::VisNeg}),
                 {
                     {.control = "caption", .kind = TBindKind::LangSlots},
                     {.control = "hint", .kind = TBindKind::LangSlots},
                 }});
}

}  // namespace

TFormPictureProperties::TFormPictureProperties(TFormDesign1& designer) : TPictureFormBase(designer, kRows, 7056) {
  SetClientWidth(700);
  SetClientHeight(315);
  BuildPreviewPages(460, 8, 230, 262, {{"1", 7057, "", true}});
  langTexts = {{.attr = "caption", .edit = "edtCaption1", .button = "btLangEdit1"},
               {.attr = "hint", .edit = "edtHint1", .button = "btLangHint1"}};
  WireCommonHandlers();
  OnActivate = {this, &TPictureFormBase::PreviewActivate};
  Get<TCheckBox>("cbLink")->OnClick = {this, &TPictureFormBase::cbLinkClick};
  Get<TButton>("AddPage")->OnClick = {this, &TPictureFormBase::AddPageClick};
  Get<TButton>("Button1")->OnClick = {this, &TFormPictureProperties::Button1Click};
}

std::span<const TPropertyBinding> TFormPictureProperties::Bindings() const {
  static const std::vector<TPropertyBinding> bindings = MakeBindings();
  return bindings;
}

bool TFormPictureProperties::TakesKind(int kind) const { return kind == wkPicture; }
int TFormPictureProperties::TemplateSlot(const TGridWebElement&) const { return 4; }

void TFormPictureProperties::Button1Click(TObject*) {
  auto* link = Get<TEdit>("edtLink1");
  if (Flagged("edtLink1") && Get<TCheckBox>("cbLink")->Checked() && link->Text().empty()) link->SetText("index.xml");
}
