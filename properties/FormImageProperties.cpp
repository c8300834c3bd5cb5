#include "properties/FormImageProperties.h"

#include "designer/FormDesign1.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Edit.h"
#include "properties/CommonBindings.h"

namespace {

using C = TControlClass;
using E = TGridWebElement;

constexpr TComponentRow kRows[] = {
    {C::Label, "Label1", "", 8, 11, 190, 16, 7094, ""},
    {C::Edit, "edtCaption1", "", 200, 8, 220, 23, 0, ""},
    {C::Button, "btLangEdit1", "", 424, 8, 26, 23, 0, "..."},
    {C::CheckBox, "cbOptionalCaption", "", 8, 38, 440, 19, 7093, ""},
    {C::Edit, "edtCaption2", "", 200, 60, 220, 23, 0, ""},
    {C::Button, "btLangEdit2", "", 424, 60, 26, 23, 0, "..."},
    {C::Label, "lblHint", "", 8, 91, 190, 16, 7264, ""},
    {C::Edit, "edtHint1", "", 200, 88, 220, 23, 0, ""},
    {C::Button, "btLangHint1", "", 424, 88, 26, 23, 0, "..."},
    {C::Label, "lblFntSiz", "", 8, 119, 190, 16, 7052, ""},
    {C::MyEdit, "seSize", "", 200, 116, 50, 23, 0, ""},
    {C::Label, "lblPx", "", 254, 119, 20, 16, 0, "px"},
    {C::CheckBox, "cbStrong", "", 290, 118, 70, 19, 7050, ""},
    {C::CheckBox, "cbItalic", "", 370, 118, 80, 19, 7049, ""},
    {C::Label, "lblFntCol", "", 8, 147, 190, 16, 7054, ""},
    {C::Shape, "shFront", "", 200, 144, 50, 23, 0, ""},
    {C::Label, "lblOff", "", 8, 175, 190, 16, 7142, ""},
    {C::Label, "lblX", "", 200, 175, 12, 16, 0, "X"},
    {C::MyEdit, "ceOffX", "", 214, 172, 50, 23, 0, ""},
    {C::Label, "lblY", "", 274, 175, 12, 16, 0, "Y"},
    {C::MyEdit, "ceOffY", "", 288, 172, 50, 23, 0, ""},
    {C::Label, "Label3", "", 8, 203, 190, 16, 7036, ""},
    {C::Edit, "edtVariable", "", 200, 200, 220, 23, 0, ""},
    {C::Button, "Button3", "", 424, 200, 26, 23, 0, "..."},
    {C::Label, "lblType", "", 200, 226, 220, 16, 0, ""},
    {C::Label, "Label2", "", 8, 249, 190, 16, 7032, ""},
    {C::MyEdit, "seSecLevel", "", 200, 246, 50, 23, 0, ""},
    {C::CheckBox, "cbReadOnly", "", 260, 248, 190, 19, 7038, ""},
    {C::CheckBox, "cbLink", "", 200, 276, 220, 19, 7058, ""},
    {C::Label, "Label4", "", 8, 303, 190, 16, 7046, ""},
    {C::Edit, "edtLink1", "", 200, 300, 220, 23, 0, ""},
    {C::Button, "AddPage", "", 424, 300, 26, 23, 0, "..."},
    {C::Label, "lblVisibility", "", 8, 331, 190, 16, 7132, ""},
    {C::Edit, "edtVisVar", "", 200, 328, 220, 23, 0, ""},
    {C::Button, "btnVis", "", 424, 328, 26, 23, 0, "..."},
    {C::Label, "lblVisType", "", 200, 354, 220, 16, 0, ""},
    {C::CheckBox, "cbActiveIn0", "", 200, 374, 220, 19, 7134, ""},
    {C::Button, "Button1", "", 524, 404, 80, 25, 2005, ""},
    {C::Button, "Button2", "", 610, 404, 80, 25, 2006, ""},
};

bool HasOptCaption(const E& e) { return !e.GetOptCaption().empty(); }

void FillOptionalBox(TPropertyForm& f, E& e, bool first) {
  auto* box = f.Get<TCheckBox>("cbOptionalCaption");
  if (first)
    box->SetChecked(HasOptCaption(e));
  else if (box->Checked() != HasOptCaption(e))
    box->SetChecked(false);
}

void FillOptCaption(TPropertyForm& f, E& e, bool first) {
  auto* edit = f.Get<TEdit>("edtCaption2");
  if (first)
    edit->SetText(e.GetOptCaption());
  else if (edit->Text() != e.GetOptCaption())
    edit->SetText("");
}

void WriteOptCaption(TPropertyForm& f, E& e) {
  e.SetOptCaption(f.Get<TCheckBox>("cbOptionalCaption")->Checked() ? f.Get<TEdit>("edtCaption2")->Text()
                                                                   : std::string());
}

std::vector<TPropertyBinding> MakeBindings() {
  using R = TCommonRow;
  return Joined(
      {
          {.control = "edtCaption1", .kind = TBindKind::Text, .field = Field(&E::FCaption)},
          {.control = "cbOptionalCaption",
           .kind = TBindKind::Custom,
           .fill = FillOptionalBox,
           .flaggedBy = {"cbOptionalCaption"}},
          {.control = "edtCaption2",
           .kind = TBindKind::Custom,
           .fill = FillOptCaption,
           .write = WriteOptCaption,
           .flaggedBy = {"cbOptionalCaption", "edtCaption2"}},
      },
      {CommonBindings(
           {R::Hint, R::FontSize, R::Strong, R::Italic, R::FrontColour, R::PosX, R::PosY, R::Variable, R::SecLevel}),
       {
           {.control = "cbReadOnly", .kind = TBindKind::Check, .field = Field(&E::FReadOnly)},
           ImageBinding("Image1", false),
           ImageBinding("Image2", true),
       },
       LinkBindings(),
       CommonBindings({R::VisVariable, R::VisNeg}),
       {
           {.control = "caption", .kind = TBindKind::LangSlots},
           {.control = "optcap", .kind = TBindKind::LangSlots},
           {.control = "hint", .kind = TBindKind::LangSlots},
       }});
}

}  // namespace

TFormImageProperties::TFormImageProperties(TFormDesign1& designer) : TPictureFormBase(designer, kRows, 7044) {
  SetClientWidth(700);
  SetClientHeight(440);
  linkLabel_ = "Label4";
  BuildPreviewPages(460, 8, 230, 300, {{"1", 7036, " = 0", true}, {"2", 7036, " <> 0", true}});
  langTexts = {{.attr = "caption", .edit = "edtCaption1", .button = "btLangEdit1"},
               {.attr = "optcap", .edit = "edtCaption2", .button = "btLangEdit2"},
               {.attr = "hint", .edit = "edtHint1", .button = "btLangHint1"}};
  WireCommonHandlers();
  RequireSwatchPress();
  OnActivate = {this, &TPictureFormBase::PreviewActivate};
  Get<TCheckBox>("cbReadOnly")->OnClick = {this, &TPropertyForm::OnChange};
  Get<TCheckBox>("cbOptionalCaption")->OnClick = {this, &TFormImageProperties::cbOptionalCaptionClick};
  Get<TCheckBox>("cbLink")->OnClick = {this, &TPictureFormBase::cbLinkClick};
  Get<TButton>("AddPage")->OnClick = {this, &TPictureFormBase::AddPageClick};
}

std::span<const TPropertyBinding> TFormImageProperties::Bindings() const {
  static const std::vector<TPropertyBinding> bindings = MakeBindings();
  return bindings;
}

bool TFormImageProperties::TakesKind(int kind) const { return kind == wkImage; }
int TFormImageProperties::TemplateSlot(const TGridWebElement&) const { return 5; }

void TFormImageProperties::AfterFill() {
  cbOptionalCaptionClick(nullptr);
  TPictureFormBase::AfterFill();
}

void TFormImageProperties::cbOptionalCaptionClick(TObject*) {
  const bool on = Get<TCheckBox>("cbOptionalCaption")->Checked();
  Get<TEdit>("edtCaption2")->SetEnabled(on);
  Get<TEdit>("edtCaption2")->SetColor(on ? clWindow : clBtnFace);
  Get<TButton>("btLangEdit2")->SetEnabled(on);
  Flag("cbOptionalCaption");
}
