#include "properties/FormIFrameProperties.h"

#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Panel.h"
#include "properties/CommonBindings.h"
#include "properties/SizeBindings.h"

namespace {

using C = TControlClass;
using E = TGridWebElement;

constexpr TColor kInfoColour = 0xE1FFFF;

// The caption, tooltip, font and colour controls stay hidden: filled and
// compared; the caption and tooltip change through the language buttons.
constexpr TComponentRow kRows[] = {
    {C::Panel, "lblNotSupported", "", 0, 0, 460, 26, 7169, ""},
    {C::CheckBox, "cbUseVariable", "", 8, 34, 300, 19, 7287, ""},
    {C::Label, "Label5", "", 8, 61, 190, 16, 7036, ""},
    {C::Edit, "edtVariable", "", 200, 58, 220, 23, 0, ""},
    {C::Button, "Button3", "", 424, 58, 26, 23, 0, "..."},
    {C::Label, "lblType", "", 200, 84, 250, 16, 0, ""},
    {C::Label, "Label2", "", 8, 107, 190, 16, 7286, ""},
    {C::Edit, "edtLink1", "", 200, 104, 220, 23, 0, ""},
    {C::Button, "AddPage", "", 424, 104, 26, 23, 0, "..."},
    {C::Label, "lblSize", "", 8, 135, 190, 16, 7037, ""},
    {C::Label, "lblSizeX", "", 200, 135, 12, 16, 0, "X"},
    {C::MyEdit, "ceSizeX", "", 214, 132, 50, 23, 0, ""},
    {C::Label, "lblSizeY", "", 274, 135, 12, 16, 0, "Y"},
    {C::MyEdit, "ceSizeY", "", 288, 132, 50, 23, 0, ""},
    {C::CheckBox, "cbNoScroll", "", 200, 160, 250, 19, 7285, ""},
    {C::Label, "lblOff", "", 8, 189, 190, 16, 7142, ""},
    {C::Label, "lblX", "", 200, 189, 12, 16, 0, "X"},
    {C::MyEdit, "ceOffX", "", 214, 186, 50, 23, 0, ""},
    {C::Label, "lblY", "", 274, 189, 12, 16, 0, "Y"},
    {C::MyEdit, "ceOffY", "", 288, 186, 50, 23, 0, ""},
    {C::Label, "lblVisibility", "", 8, 217, 190, 16, 7132, ""},
    {C::Edit, "edtVisVar", "", 200, 214, 220, 23, 0, ""},
    {C::Button, "btnVis", "", 424, 214, 26, 23, 0, "..."},
    {C::Label, "lblVisType", "", 200, 240, 250, 16, 0, ""},
    {C::CheckBox, "cbActiveIn0", "", 200, 260, 250, 19, 7134, ""},
    {C::Label, "lblLangEdit", "", 8, 289, 150, 16, 7045, ""},
    {C::Button, "btLangEdit1", "", 160, 286, 26, 23, 0, "..."},
    {C::Label, "lblLangHint", "", 200, 289, 150, 16, 7264, ""},
    {C::Button, "btLangHint1", "", 352, 286, 26, 23, 0, "..."},
    {C::Button, "Button1", "", 284, 320, 80, 25, 2005, ""},
    {C::Button, "Button2", "", 370, 320, 80, 25, 2006, ""},
    {C::Panel, "pnlHidden", "", 0, 0, 0, 0, 0, ""},
    {C::Label, "Label1", "pnlHidden", 0, 0, 10, 10, 7045, ""},
    {C::Edit, "edtCaption1", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {C::Label, "lblHint", "pnlHidden", 0, 0, 10, 10, 7264, ""},
    {C::Edit, "edtHint1", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {C::MyEdit, "seSize", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {C::CheckBox, "cbStrong", "pnlHidden", 0, 0, 10, 10, 7050, ""},
    {C::CheckBox, "cbItalic", "pnlHidden", 0, 0, 10, 10, 7049, ""},
    {C::Shape, "shFront", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {C::Shape, "shBack", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {C::CheckBox, "cbTransparent", "pnlHidden", 0, 0, 10, 10, 7051, ""},
    {C::CheckBox, "cbLink", "pnlHidden", 0, 0, 10, 10, 7047, ""},
};

std::vector<TPropertyBinding> MakeBindings() {
  using R = TCommonRow;
  return Joined(
      {
          // The object keeps "source is the link" in its read-only flag.
          {.control = "cbUseVariable",
           .kind = TBindKind::GrayCheck,
           .field = FlagField([](const E& e) { return !e.FReadOnly; }, [](E& e, bool on) { e.FReadOnly = !on; })},
      },
      {CommonBindings({R::Variable}),
       {
           {.control = "edtLink1",
            .kind = TBindKind::Custom,
            .fill = [](TPropertyForm& f, E& e,
                       bool first) { FillBinding(f, {.control = "edtLink1", .field = Field(&E::FHref)}, e, first); },
            .write = [](TPropertyForm& f, E& e) { e.FHref = f.Get<TEdit>("edtLink1")->Text(); },
            .flaggedBy = {"edtLink1", "cbLink"}},
           SizeBinding(true, TSizeSource::Content, 1),
           SizeBinding(false, TSizeSource::Content, 1),
           {.control = "cbNoScroll", .kind = TBindKind::GrayCheck, .field = Field(&E::FNoScroll)},
       },
       CommonBindings({R::PosX, R::PosY, R::VisVariable, R::VisNeg}),
       {{.control = "edtCaption1", .kind = TBindKind::Text, .field = Field(&E::FCaption)}},
       CommonBindings({R::Hint, R::FontSize, R::Strong, R::Italic, R::FrontColour, R::BackColour, R::Transparent}),
       {
           {.control = "caption", .kind = TBindKind::LangSlots},
           {.control = "hint", .kind = TBindKind::LangSlots},
       }});
}

}  // namespace

TFormIFrameProperties::TFormIFrameProperties(TDesignerContext& designer) : TPropertyForm(designer, kRows, 7284) {
  SetClientWidth(460);
  SetClientHeight(354);
  Get<TControl>("pnlHidden")->SetVisible(false);
  auto* banner = Get<TPanel>("lblNotSupported");
  banner->SetColor(kInfoColour);
  langTexts = {{.attr = "caption", .edit = "edtCaption1", .button = "btLangEdit1"},
               {.attr = "hint", .edit = "edtHint1", .button = "btLangHint1"}};
  WireCommonHandlers();
  OnActivate = {this, &TPropertyForm::FormActivate};
  Get<TCheckBox>("cbUseVariable")->OnClick = {this, &TFormIFrameProperties::cbUseVariableClick};
  Get<TEdit>("edtLink1")->OnChange = {this, &TPropertyForm::OnChange};
  Get<TButton>("AddPage")->OnClick = {this, &TPropertyForm::AddPageClick};
  Get<TButton>("Button1")->OnClick = {this, &TFormIFrameProperties::Button1Click};
  for (const char* name : {"ceSizeX", "ceSizeY"})
    Get<TWinControl>(name)->OnExit = {this, &TPropertyForm::NormaliseExit};
}

std::span<const TPropertyBinding> TFormIFrameProperties::Bindings() const {
  static const std::vector<TPropertyBinding> bindings = MakeBindings();
  return bindings;
}

bool TFormIFrameProperties::TakesKind(int kind) const { return kind == wkIFrame; }
int TFormIFrameProperties::TemplateSlot(const TGridWebElement&) const { return 15; }

void TFormIFrameProperties::AfterFill() { cbUseVariableClick(nullptr); }

void TFormIFrameProperties::ShowLangButtons(bool visible) {
  TPropertyForm::ShowLangButtons(visible);
  for (const char* name : {"lblLangEdit", "lblLangHint"}) Get<TControl>(name)->SetVisible(visible);
}

void TFormIFrameProperties::cbUseVariableClick(TObject*) {
  const TCheckBoxState state = Get<TCheckBox>("cbUseVariable")->State();
  for (const char* name : {"Label5", "edtVariable", "Button3", "lblType"})
    Get<TControl>(name)->SetEnabled(state == cbChecked);
  for (const char* name : {"Label2", "edtLink1", "AddPage"}) Get<TControl>(name)->SetEnabled(state == cbUnchecked);
  Flag("cbUseVariable");
}

void TFormIFrameProperties::Button1Click(TObject*) {
  auto* caption = Get<TEdit>("edtCaption1");
  if (Flagged("edtCaption1") && caption->Text().empty()) caption->SetText("-");
  auto* link = Get<TEdit>("edtLink1");
  if (Flagged("edtLink1") && link->Text().empty()) link->SetText("index.xml");
}
