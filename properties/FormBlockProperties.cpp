#include "properties/FormBlockProperties.h"

#include "core/UiText.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/RadioGroup.h"
#include "properties/ClickAction.h"
#include "properties/CommonBindings.h"
#include "properties/PageLinkPicker.h"
#include "properties/SizeBindings.h"

namespace {

using C = TControlClass;
using E = TGridWebElement;

constexpr int kVariablePanelTop = 160;
constexpr int kHeightRectangle = 494;
constexpr int kHeightColour = 424;
constexpr int kHeightBar = 493;

// The designed layout is the rectangle's: the click action (Panel2) above the
// variable (Panel1); the bar's radio groups lie under Panel1's designed place
// and are hidden; the link, tooltip, visibility and buttons form the foot.
constexpr TComponentRow kRows[] = {
    {C::Label, "lblSize", "", 8, 11, 190, 16, 7037, ""},
    {C::Label, "lblSizeX", "", 200, 11, 12, 16, 0, "X"},
    {C::MyEdit, "ceSizeX", "", 214, 8, 50, 23, 0, ""},
    {C::Label, "lblSizeY", "", 274, 11, 12, 16, 0, "Y"},
    {C::MyEdit, "ceSizeY", "", 288, 8, 50, 23, 0, ""},
    {C::Label, "lblOff", "", 8, 39, 190, 16, 7142, ""},
    {C::Label, "lblX", "", 200, 39, 12, 16, 0, "X"},
    {C::MyEdit, "ceOffX", "", 214, 36, 50, 23, 0, ""},
    {C::Label, "lblY", "", 274, 39, 12, 16, 0, "Y"},
    {C::MyEdit, "ceOffY", "", 288, 36, 50, 23, 0, ""},
    {C::Label, "lblFntCol", "", 8, 67, 190, 16, 7055, ""},
    {C::Shape, "shFront", "", 200, 64, 50, 23, 0, ""},
    {C::Label, "lblFntBck", "", 8, 95, 190, 16, 7053, ""},
    {C::Shape, "shBack", "", 200, 92, 50, 23, 0, ""},
    {C::CheckBox, "cbTransparent", "", 260, 94, 160, 19, 7051, ""},
    {C::CheckBox, "cbBorder1", "", 200, 122, 220, 19, 7095, ""},
    {C::Panel, "Panel2", "", 0, 150, 460, 88, 0, ""},
    {C::CheckBox, "cbUseVal", "Panel2", 8, 6, 420, 19, 7308, ""},
    {C::Label, "lblValue", "Panel2", 8, 33, 190, 16, 7239, ""},
    {C::Edit, "edtVal", "Panel2", 200, 30, 220, 23, 0, ""},
    {C::Label, "lblSec", "Panel2", 8, 61, 190, 16, 7032, ""},
    {C::MyEdit, "seSecLevel", "Panel2", 200, 58, 50, 23, 0, ""},
    {C::Panel, "Panel1", "", 0, 240, 460, 50, 0, ""},
    {C::Label, "lblVariable", "Panel1", 8, 7, 190, 16, 7036, ""},
    {C::Edit, "edtVariable", "Panel1", 200, 4, 220, 23, 0, ""},
    {C::Button, "Button3", "Panel1", 424, 4, 26, 23, 0, "..."},
    {C::Label, "lblType", "Panel1", 200, 30, 250, 16, 0, ""},
    {C::RadioGroup, "rgHorizontal", "", 8, 214, 215, 60, 7144, ""},
    {C::RadioGroup, "rgNative", "", 232, 214, 218, 60, 7145, ""},
    {C::CheckBox, "cbGradient", "", 8, 280, 420, 19, 7170, ""},
    {C::Panel, "pnlFoot", "", 0, 294, 460, 200, 0, ""},
    {C::CheckBox, "cbLink", "pnlFoot", 8, 6, 300, 19, 7048, ""},
    {C::Label, "Label8", "pnlFoot", 8, 33, 190, 16, 7046, ""},
    {C::Edit, "edtLink1", "pnlFoot", 200, 30, 220, 23, 0, ""},
    {C::Button, "AddPage", "pnlFoot", 424, 30, 26, 23, 0, "..."},
    {C::Label, "lblHint", "pnlFoot", 8, 61, 190, 16, 7264, ""},
    {C::Edit, "edtHint1", "pnlFoot", 200, 58, 220, 23, 0, ""},
    {C::Button, "btLangHint1", "pnlFoot", 424, 58, 26, 23, 0, "..."},
    {C::Label, "lblVisibility", "pnlFoot", 8, 89, 190, 16, 7132, ""},
    {C::Edit, "edtVisVar", "pnlFoot", 200, 86, 220, 23, 0, ""},
    {C::Button, "btnVis", "pnlFoot", 424, 86, 26, 23, 0, "..."},
    {C::Label, "lblVisType", "pnlFoot", 200, 112, 250, 16, 0, ""},
    {C::CheckBox, "cbActiveIn0", "pnlFoot", 200, 132, 250, 19, 7134, ""},
    {C::Button, "Button1", "pnlFoot", 284, 164, 80, 25, 2005, ""},
    {C::Button, "Button2", "pnlFoot", 370, 164, 80, 25, 2006, ""},
    {C::Panel, "pnlHidden", "", 0, 0, 0, 0, 0, ""},
    {C::Label, "Label1", "pnlHidden", 0, 0, 10, 10, 7094, ""},
    {C::Edit, "edtCaption1", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {C::MyEdit, "seSize", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {C::CheckBox, "cbStrong", "pnlHidden", 0, 0, 10, 10, 7050, ""},
    {C::CheckBox, "cbItalic", "pnlHidden", 0, 0, 10, 10, 7049, ""},
};

TFormBlockProperties& BlockForm(TPropertyForm& f) { return static_cast<TFormBlockProperties&>(f); }

// A bit of the block as a radio group's item (0 or 1).
TField BitField(bool E::*member) {
  TField field;
  field.getInt = [member](const E& e) { return e.*member ? 1 : 0; };
  field.setInt = [member](E& e, int item) { e.*member = item == 1; };
  return field;
}

std::vector<TPropertyBinding> MakeBindings() {
  using R = TCommonRow;
  return Joined(
      {
          {.control = "Panel1",
           .kind = TBindKind::Custom,
           .fill = [](TPropertyForm& f, E& e, bool) { BlockForm(f).TakeVariant(e); }},
          SizeBinding(true, TSizeSource::Content, 1),
          SizeBinding(false, TSizeSource::Content, 1),
      },
      {CommonBindings({R::PosX, R::PosY, R::FrontColour, R::BackColour, R::Transparent, R::Border}),
       {
           {.control = "rgHorizontal", .kind = TBindKind::RadioIndex, .field = BitField(&E::FHorz)},
           {.control = "rgNative", .kind = TBindKind::RadioIndex, .field = BitField(&E::FNatv)},
           {.control = "cbGradient", .kind = TBindKind::GrayCheck, .field = Field(&E::FGradient)},
       },
       LinkBindings(),
       ClickActionBindings(TClickVariableType::LookedUp),
       CommonBindings({R::SecLevel, R::Hint, R::VisVariable, R::VisNeg}),
       {{.control = "edtCaption1", .kind = TBindKind::Text, .field = Field(&E::FCaption)}},
       CommonBindings({R::FontSize, R::Strong, R::Italic}),
       {{.control = "hint", .kind = TBindKind::LangSlots}}});
}

}  // namespace

TFormBlockProperties::TFormBlockProperties(TDesignerContext& designer) : TPropertyForm(designer, kRows, 7139) {
  SetClientWidth(460);
  SetClientHeight(kHeightRectangle);
  Get<TControl>("pnlHidden")->SetVisible(false);
  for (const char* name : {"rgHorizontal", "rgNative", "cbGradient"}) Get<TControl>(name)->SetVisible(false);
  for (const char* name : {"lblVariable", "edtVariable", "Button3", "lblType"}) Get<TControl>(name)->SetEnabled(false);
  ShowRadioItems();
  langTexts = {{.attr = "hint", .edit = "edtHint1", .button = "btLangHint1"}};
  WireCommonHandlers();
  RaiseSizeOnExit(*this, 1);
  OnActivate = {this, &TFormBlockProperties::BlockActivate};
  Get<TCheckBox>("cbUseVal")->OnClick = {this, &TFormBlockProperties::cbUseValClick};
  Get<TCheckBox>("cbGradient")->OnClick = {this, &TFormBlockProperties::cbGradientClick};
  WireLinkPicker("Label8");
}

std::span<const TPropertyBinding> TFormBlockProperties::Bindings() const {
  static const std::vector<TPropertyBinding> bindings = MakeBindings();
  return bindings;
}

bool TFormBlockProperties::TakesKind(int kind) const { return kind == wkBlock; }

int TFormBlockProperties::TemplateSlot(const TGridWebElement& e) const {
  if (!e.FDynamic) return 8;
  return e.FColorMode ? 9 : 11;
}

void TFormBlockProperties::TakeVariant(const TGridWebElement& e) {
  const int code = static_cast<int>(variant_);
  if (!e.FDynamic)
    variant_ = TBlockLayout::Rectangle;
  else if (e.FColorMode)
    variant_ = static_cast<TBlockLayout>(code % 2);
  else
    variant_ = static_cast<TBlockLayout>(code & 2);
}

void TFormBlockProperties::AfterFill() {
  cbGradientClick(nullptr);
  cbLinkClick(nullptr);
  cbUseValClick(nullptr);
  // No block taken: both layouts, the bar's last.
  if (variant_ == TBlockLayout::Colour || variant_ == TBlockLayout::None) SetBlockLayout(true);
  if (variant_ == TBlockLayout::Bar || variant_ == TBlockLayout::None) SetBlockLayout(false);
}

void TFormBlockProperties::SetBlockLayout(bool colour) {
  auto* variable = Get<TControl>("Panel1");
  variable->SetTop(kVariablePanelTop);
  for (const char* name : {"lblVariable", "edtVariable", "Button3", "lblType", "lblValue", "edtVal"})
    Get<TControl>(name)->SetEnabled(true);
  Get<TControl>("Panel2")->SetVisible(false);
  Get<TControl>("Button3")->SetVisible(true);
  int foot = variable->Top() + variable->Height() + 4;
  if (colour) {
    Get<TControl>("cbGradient")->SetVisible(false);
    Get<TControl>("cbTransparent")->SetVisible(false);
    captionOfVariant_ = 7246;
    SetClientHeight(kHeightColour);
  } else {
    for (const char* name : {"rgHorizontal", "rgNative", "cbGradient"}) Get<TControl>(name)->SetVisible(true);
    foot = Get<TControl>("cbGradient")->Top() + 24;
    captionOfVariant_ = 7140;
    SetClientHeight(kHeightBar);
  }
  Get<TControl>("pnlFoot")->SetTop(foot);
  SetCaption(GetUiText(captionOfVariant_));
}

void TFormBlockProperties::BlockActivate(TObject* sender) {
  FormActivate(sender);
  SetCaption(GetUiText(captionOfVariant_));
  ShowColourCaption();
  ShowRadioItems();
}

void TFormBlockProperties::ShowColourCaption() {
  Get<TLabel>("lblFntCol")->SetCaption(GetUiText(Get<TCheckBox>("cbGradient")->Checked() ? 7171 : 7055));
}

void TFormBlockProperties::ShowRadioItems() {
  auto* horizontal = Get<TRadioGroup>("rgHorizontal");
  auto* native = Get<TRadioGroup>("rgNative");
  const int h = horizontal->ItemIndex();
  const int n = native->ItemIndex();
  horizontal->Items()->SetText(GetUiText(7146));
  native->Items()->SetText(GetUiText(7147));
  horizontal->SetItemIndex(h);
  native->SetItemIndex(n);
}

void TFormBlockProperties::cbGradientClick(TObject*) {
  ShowColourCaption();
  Flag("cbGradient");
}

void TFormBlockProperties::cbUseValClick(TObject*) { ShowClickAction(*this, {"seSecLevel", "lblSec"}); }
