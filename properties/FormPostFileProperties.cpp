#include "properties/FormPostFileProperties.h"

#include "grid/GridWebElement.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Shape.h"
#include "properties/CommonBindings.h"

namespace {

using C = TControlClass;
using E = TGridWebElement;

constexpr int kHeightHidden = 340;
constexpr int kHeightShown = 384;

constexpr TComponentRow kRows[] = {
    {C::Label, "Label1", "", 8, 11, 190, 16, 7036, ""},
    {C::Edit, "edtVariable", "", 200, 8, 220, 23, 0, ""},
    {C::Button, "Button3", "", 424, 8, 26, 23, 0, "..."},
    {C::Label, "lblType", "", 200, 34, 250, 16, 0, ""},
    {C::Label, "Label3", "", 8, 57, 190, 16, 7032, ""},
    {C::MyEdit, "seSecLevel", "", 200, 54, 50, 23, 0, ""},
    {C::Label, "lblHint", "", 8, 85, 190, 16, 7264, ""},
    {C::Edit, "edtHint1", "", 200, 82, 220, 23, 0, ""},
    {C::Button, "btLangHint1", "", 424, 82, 26, 23, 0, "..."},
    {C::Label, "lblFntSiz", "", 8, 113, 190, 16, 7052, ""},
    {C::MyEdit, "seSize", "", 200, 110, 50, 23, 0, ""},
    {C::Label, "lblPx", "", 254, 113, 20, 16, 0, "px"},
    {C::CheckBox, "cbStrong", "", 280, 112, 80, 19, 7050, ""},
    {C::CheckBox, "cbItalic", "", 370, 112, 80, 19, 7049, ""},
    {C::Label, "lblFntCol", "", 8, 141, 190, 16, 7054, ""},
    {C::Shape, "shFront", "", 200, 138, 50, 23, 0, ""},
    {C::Label, "lblFntBck", "", 8, 169, 190, 16, 7053, ""},
    {C::Shape, "shBack", "", 200, 166, 50, 23, 0, ""},
    {C::CheckBox, "cbTransparent", "", 260, 168, 160, 19, 7051, ""},
    {C::CheckBox, "cbBorder1", "", 200, 192, 220, 19, 7095, ""},
    {C::Label, "lblOff", "", 8, 219, 190, 16, 7142, ""},
    {C::Label, "lblX", "", 200, 219, 12, 16, 0, "X"},
    {C::MyEdit, "ceOffX", "", 214, 216, 50, 23, 0, ""},
    {C::Label, "lblY", "", 274, 219, 12, 16, 0, "Y"},
    {C::MyEdit, "ceOffY", "", 288, 216, 50, 23, 0, ""},
    {C::Label, "lblVisibility", "", 8, 247, 190, 16, 7132, ""},
    {C::Edit, "edtVisVar", "", 200, 244, 220, 23, 0, ""},
    {C::Button, "btnVis", "", 424, 244, 26, 23, 0, "..."},
    {C::Label, "lblVisType", "", 200, 270, 250, 16, 0, ""},
    {C::CheckBox, "cbActiveIn0", "", 200, 290, 250, 19, 7134, ""},
    {C::CheckBox, "cbWarning1", "", 8, 320, 90, 19, 0, "warning"},
    {C::Edit, "edtWarning1", "", 100, 318, 350, 23, 0, ""},
    {C::Button, "Button1", "", 284, 306, 80, 25, 2005, ""},
    {C::Button, "Button2", "", 370, 306, 80, 25, 2006, ""},
};

TFormPostFileProperties& PostFileForm(TPropertyForm& f) { return static_cast<TFormPostFileProperties&>(f); }

// A warning shows the controls; a pair of which one has a warning and the
// other none grays the box and empties the edit.
void FillWarning(TPropertyForm& f, E& e, bool first) {
  auto* box = f.Get<TCheckBox>("cbWarning1");
  auto* edit = f.Get<TEdit>("edtWarning1");
  const std::string& warning = e.GetOptCaption();
  if (first) {
    box->SetChecked(!warning.empty());
    edit->SetText(warning);
    if (!warning.empty()) PostFileForm(f).FormDblClick(nullptr);
    return;
  }
  if (warning == edit->Text()) return;
  if (!PostFileForm(f).WarningShown()) PostFileForm(f).FormDblClick(nullptr);
  if (edit->Text().empty() != warning.empty()) box->SetState(cbGrayed);
  edit->SetText("");
}

void WriteWarning(TPropertyForm& f, E& e) {
  e.SetOptCaption(f.Get<TCheckBox>("cbWarning1")->Checked() ? f.Get<TEdit>("edtWarning1")->Text() : "");
}

std::vector<TPropertyBinding> MakeBindings() {
  using R = TCommonRow;
  return Joined(CommonBindings({R::Variable, R::SecLevel, R::Hint, R::FontSize, R::Strong, R::Italic, R::FrontColour,
                                R::BackColour, R::Transparent, R::Border, R::PosX, R::PosY, R::VisVariable, R::VisNeg}),
                {{
                    {.control = "cbWarning1",
                     .kind = TBindKind::Custom,
                     .fill = FillWarning,
                     .write = WriteWarning,
                     .flaggedBy = {"cbWarning1", "edtWarning1"}},
                    {.control = "hint", .kind = TBindKind::LangSlots},
                }});
}

}  // namespace

TFormPostFileProperties::TFormPostFileProperties(TDesignerContext& designer) : TPropertyForm(designer, kRows, 7235) {
  SetClientWidth(460);
  SetClientHeight(kHeightHidden);
  Get<TControl>("cbWarning1")->SetVisible(false);
  Get<TControl>("edtWarning1")->SetVisible(false);
  langTexts = {{.attr = "hint", .edit = "edtHint1", .button = "btLangHint1"}};
  WireCommonHandlers();
  OpenSwatchesOnPress();
  Get<TEdit>("edtWarning1")->OnChange = {this, &TPropertyForm::OnChange};
  OnDblClick = {this, &TFormPostFileProperties::FormDblClick};
}

std::span<const TPropertyBinding> TFormPostFileProperties::Bindings() const {
  static const std::vector<TPropertyBinding> bindings = MakeBindings();
  return bindings;
}

bool TFormPostFileProperties::TakesKind(int kind) const { return kind == wkPostFile; }
int TFormPostFileProperties::TemplateSlot(const TGridWebElement&) const { return 1; }

bool TFormPostFileProperties::WarningShown() const { return Get<TControl>("edtWarning1")->Visible(); }

void TFormPostFileProperties::FormDblClick(TObject*) {
  const bool show = !WarningShown();
  Get<TControl>("cbWarning1")->SetVisible(show);
  Get<TControl>("edtWarning1")->SetVisible(show);
  const int height = show ? kHeightShown : kHeightHidden;
  SetClientHeight(height);
  // The buttons stay at the foot of the dialog.
  for (const char* name : {"Button1", "Button2"}) {
    auto* button = Get<TControl>(name);
    button->SetTop(height - 34);
  }
}
