#include "properties/FormLabelProperties.h"

#include "core/UiText.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Edit.h"
#include "properties/CommonBindings.h"
#include "properties/DesignerContext.h"
#include "properties/PageLinkPicker.h"

namespace {

using C = TControlClass;
using E = TGridWebElement;

constexpr int kLabelX = 8;
constexpr int kBoxX = 200;
constexpr int kBoxW = 220;
constexpr int kDotsX = 424;

constexpr TComponentRow kRows[] = {
    {C::Label, "Label1", "", kLabelX, 11, 190, 16, 7045, ""},
    {C::Edit, "edtCaption1", "", kBoxX, 8, kBoxW, 23, 0, ""},
    {C::Button, "btLangEdit1", "", kDotsX, 8, 26, 23, 0, "..."},
    {C::CheckBox, "cbLink", "", kBoxX, 36, kBoxW, 19, 7047, ""},
    {C::Label, "Label2", "", kLabelX, 63, 190, 16, 7046, ""},
    {C::Edit, "edtLink1", "", kBoxX, 60, kBoxW, 23, 0, ""},
    {C::Button, "AddPage", "", kDotsX, 60, 26, 23, 0, "..."},
    {C::Label, "lblHint", "", kLabelX, 91, 190, 16, 7264, ""},
    {C::Edit, "edtHint1", "", kBoxX, 88, kBoxW, 23, 0, ""},
    {C::Button, "btLangHint1", "", kDotsX, 88, 26, 23, 0, "..."},
    {C::Label, "lblFntSiz", "", kLabelX, 119, 190, 16, 7052, ""},
    {C::MyEdit, "seSize", "", kBoxX, 116, 50, 23, 0, ""},
    {C::Label, "lblPx", "", kBoxX + 54, 119, 20, 16, 0, "px"},
    {C::CheckBox, "cbStrong", "", 290, 118, 70, 19, 7050, ""},
    {C::CheckBox, "cbItalic", "", 370, 118, 80, 19, 7049, ""},
    {C::Label, "lblFntCol", "", kLabelX, 147, 190, 16, 7054, ""},
    {C::Shape, "shFront", "", kBoxX, 144, 50, 23, 0, ""},
    {C::Label, "lblFntBck", "", kLabelX, 175, 190, 16, 7053, ""},
    {C::Shape, "shBack", "", kBoxX, 172, 50, 23, 0, ""},
    {C::CheckBox, "cbTransparent", "", 260, 174, 190, 19, 7051, ""},
    {C::Label, "lblOff", "", kLabelX, 203, 190, 16, 7142, ""},
    {C::Label, "lblX", "", kBoxX, 203, 12, 16, 0, "X"},
    {C::MyEdit, "ceOffX", "", kBoxX + 14, 200, 50, 23, 0, ""},
    {C::Label, "lblY", "", kBoxX + 74, 203, 12, 16, 0, "Y"},
    {C::MyEdit, "ceOffY", "", kBoxX + 88, 200, 50, 23, 0, ""},
    {C::Label, "lblVisibility", "", kLabelX, 231, 190, 16, 7132, ""},
    {C::Edit, "edtVisVar", "", kBoxX, 228, kBoxW, 23, 0, ""},
    {C::Button, "btnVis", "", kDotsX, 228, 26, 23, 0, "..."},
    {C::Label, "lblVisType", "", kBoxX, 254, kBoxW, 16, 0, ""},
    {C::CheckBox, "cbActiveIn0", "", kBoxX, 274, kBoxW, 19, 7134, ""},
    {C::Button, "Button1", "", 264, 310, 80, 25, 2005, ""},
    {C::Button, "Button2", "", 350, 310, 80, 25, 2006, ""},
};

std::vector<TPropertyBinding> MakeBindings() {
  return Joined(
      {
          {.control = "edtCaption1", .kind = TBindKind::Text, .field = Field(&E::FCaption)},
      },
      {LinkBindings(),
       TooltipToTransparentBindings(),
       {
           {.control = "caption", .kind = TBindKind::LangSlots},
           {.control = "hint", .kind = TBindKind::LangSlots},
       }});
}

}  // namespace

TFormLabelProperties::TFormLabelProperties(TDesignerContext& designer) : TPropertyForm(designer, kRows, 7060) {
  SetClientWidth(460);
  SetClientHeight(345);
  langTexts = {{.attr = "caption", .edit = "edtCaption1", .button = "btLangEdit1"},
               {.attr = "hint", .edit = "edtHint1", .button = "btLangHint1"}};
  WireCommonHandlers();
  OnActivate = {this, &TPropertyForm::FormActivate};
  WireLinkPicker("Label2");
  Get<TButton>("Button1")->OnClick = {this, &TFormLabelProperties::Button1Click};
}

std::span<const TPropertyBinding> TFormLabelProperties::Bindings() const {
  static const std::vector<TPropertyBinding> bindings = MakeBindings();
  return bindings;
}
bool TFormLabelProperties::TakesKind(int kind) const { return kind == wkLabel; }
int TFormLabelProperties::TemplateSlot(const TGridWebElement&) const { return 0; }

void TFormLabelProperties::AfterFill() { cbLinkClick(nullptr); }

void TFormLabelProperties::Button1Click(TObject*) {
  auto* caption = Get<TEdit>("edtCaption1");
  if (Flagged("edtCaption1") && caption->Text().empty()) caption->SetText("-");
  // A label the user made a link without naming a page links to the start
  // page: an empty link would drop the check the user just made.
  DefaultEmptyLink(*this, TEmptyLinkRule::LinkWritten);
}
