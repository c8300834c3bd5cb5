#include "properties/FormEditProperties.h"

#include <algorithm>

#include "core/UiText.h"
#include "grid/GridWebElement.h"
#include "grid/VariableInfo.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/RadioButton.h"
#include "platform/vcl/RadioGroup.h"
#include "platform/vcl/SysUtils.h"
#include "properties/CommonBindings.h"
#include "properties/DesignerContext.h"
#include "properties/MyEdit.h"
#include "properties/TimeMasks.h"

namespace {

using C = TControlClass;
using E = TGridWebElement;

constexpr TColor kLightRed = 0x8080FF;

constexpr TComponentRow kRows[] = {
    {C::Label, "Label1", "", 8, 11, 180, 16, 7036, ""},
    {C::Edit, "edtVariable", "", 190, 8, 190, 23, 0, ""},
    {C::Button, "Button3", "", 384, 8, 26, 23, 0, "..."},
    {C::Label, "lblType", "", 190, 34, 190, 16, 0, ""},
    {C::Label, "lblHint", "", 8, 57, 180, 16, 7264, ""},
    {C::Edit, "edtHint1", "", 190, 54, 190, 23, 0, ""},
    {C::Button, "btLangHint1", "", 384, 54, 26, 23, 0, "..."},
    {C::Label, "lblFntSiz", "", 8, 85, 180, 16, 7052, ""},
    {C::MyEdit, "seSize", "", 190, 82, 50, 23, 0, ""},
    {C::Label, "lblPx", "", 244, 85, 20, 16, 0, "px"},
    {C::CheckBox, "cbStrong", "", 262, 84, 62, 19, 7050, ""},
    {C::CheckBox, "cbItalic", "", 330, 84, 80, 19, 7049, ""},
    {C::Label, "lblFntCol", "", 8, 113, 180, 16, 7054, ""},
    {C::Shape, "shFront", "", 190, 110, 50, 23, 0, ""},
    {C::Label, "lblFntBck", "", 8, 141, 180, 16, 7053, ""},
    {C::Shape, "shBack", "", 190, 138, 50, 23, 0, ""},
    {C::CheckBox, "cbTransparent", "", 250, 140, 130, 19, 7051, ""},
    {C::Label, "lblOff", "", 8, 169, 180, 16, 7142, ""},
    {C::Label, "lblX", "", 190, 169, 12, 16, 0, "X"},
    {C::MyEdit, "ceOffX", "", 204, 166, 50, 23, 0, ""},
    {C::Label, "lblY", "", 264, 169, 12, 16, 0, "Y"},
    {C::MyEdit, "ceOffY", "", 278, 166, 50, 23, 0, ""},
    {C::Label, "lblVisibility", "", 8, 197, 180, 16, 7132, ""},
    {C::Edit, "edtVisVar", "", 190, 194, 190, 23, 0, ""},
    {C::Button, "btnVis", "", 384, 194, 26, 23, 0, "..."},
    {C::Label, "lblVisType", "", 190, 220, 190, 16, 0, ""},
    {C::CheckBox, "cbActiveIn0", "", 190, 240, 230, 19, 7134, ""},
    {C::CheckBox, "cbSubmitButton", "", 8, 272, 400, 19, 7039, ""},
    {C::CheckBox, "cbShowAsPassword", "", 8, 296, 400, 19, 7307, ""},
    {C::CheckBox, "cbBorder1", "", 8, 320, 400, 19, 7095, ""},
    {C::CheckBox, "cbReadOnly", "", 8, 344, 400, 19, 7038, ""},
    {C::Label, "Label2", "", 430, 11, 160, 16, 7086, ""},
    {C::MyEdit, "seSizeChar", "", 600, 8, 60, 23, 0, ""},
    {C::Label, "Label3", "", 430, 39, 160, 16, 7032, ""},
    {C::MyEdit, "seSecLevel", "", 600, 36, 60, 23, 0, ""},
    {C::Label, "Label4", "", 430, 67, 160, 16, 0, "Tab index"},
    {C::Edit, "seTabIndex", "", 600, 64, 60, 23, 0, ""},
    {C::RadioGroup, "rgIntF", "", 430, 94, 300, 104, 7087, ""},
    {C::Label, "lblTimeFormat", "", 430, 209, 160, 16, 7148, ""},
    {C::ComboList, "cbTime", "", 560, 206, 170, 23, 0, ""},
    {C::Panel, "pnlAlign", "", 430, 236, 300, 50, 0, ""},
    {C::RadioButton, "rbAlignRight", "pnlAlign", 0, 2, 145, 20, 7175, ""},
    {C::RadioButton, "rbAlignLeft", "pnlAlign", 150, 2, 145, 20, 7111, ""},
    {C::RadioButton, "rbAlignCenter", "pnlAlign", 0, 26, 145, 20, 7178, ""},
    {C::RadioButton, "rbLeadingZero", "pnlAlign", 150, 26, 145, 20, 7112, ""},
    {C::Label, "lblPrec", "", 430, 295, 160, 16, 7172, ""},
    {C::MyEdit, "sePrec", "", 600, 292, 60, 23, 0, ""},
    {C::CheckBox, "cbLimits", "", 430, 320, 300, 19, 7247, ""},
    {C::Label, "lblLoLimit", "", 430, 347, 160, 16, 8045, ""},
    {C::Edit, "edtLoLimit", "", 600, 344, 130, 23, 0, ""},
    {C::Label, "lblHiLimit", "", 430, 375, 160, 16, 8046, ""},
    {C::Edit, "edtHiLimit", "", 600, 372, 130, 23, 0, ""},
    {C::Button, "Button1", "", 560, 410, 80, 25, 2005, ""},
    {C::Button, "Button2", "", 650, 410, 80, 25, 2006, ""},
};

void FillTimeMask(TPropertyForm& f, E& e, bool first) {
  auto* combo = f.Get<TComboBox>("cbTime");
  const int index = combo->Items()->IndexOf(e.FTimeFormat);
  if (first)
    combo->SetItemIndex(e.FTimeFormat.empty() ? -1 : index);
  else if (combo->ItemIndex() < 0 || combo->Items()->Strings(combo->ItemIndex()) != e.FTimeFormat)
    combo->SetItemIndex(-1);
}

void WriteTimeMask(TPropertyForm& f, E& e) {
  auto* combo = f.Get<TComboBox>("cbTime");
  if (combo->ItemIndex() >= 0) e.FTimeFormat = combo->Items()->Strings(combo->ItemIndex());
}

bool Checked(TPropertyForm& f, const char* name) { return f.Get<TRadioButton>(name)->Checked(); }

void FillAlignment(TPropertyForm& f, E& e, bool first) {
  auto set = [&](const char* name, bool on) { f.Get<TRadioButton>(name)->SetChecked(on); };
  auto clearAll = [&] {
    for (const char* name : {"rbAlignRight", "rbAlignLeft", "rbAlignCenter", "rbLeadingZero"}) set(name, false);
  };
  if (first) {
    set("rbAlignRight", e.FAlignRight);
    set("rbAlignLeft", !e.FAlignRight);
    if (e.FAlignCenter) set("rbAlignCenter", true);
    if (e.FZero) set("rbLeadingZero", true);
  } else if (e.FAlignCenter) {
    if (!Checked(f, "rbAlignCenter")) clearAll();
  } else if (e.FZero) {
    if (!Checked(f, "rbLeadingZero")) clearAll();
  } else if (Checked(f, "rbAlignRight") != e.FAlignRight || Checked(f, "rbAlignLeft") == e.FAlignRight) {
    clearAll();
  }
}

void WriteAlignment(TPropertyForm& f, E& e) {
  e.FAlignRight = Checked(f, "rbAlignRight");
  e.FAlignCenter = Checked(f, "rbAlignCenter");
  e.FZero = Checked(f, "rbLeadingZero");
}

TField KindField() {
  return FlagField([](const E& e) { return e.Kind() == wkEditLocal; },
                   [](E& e, bool own) { e.SetKind(own ? wkEditLocal : wkEdit); });
}

std::vector<TPropertyBinding> MakeBindings() {
  using R = TCommonRow;
  return Joined(
      {
          {.control = "hint", .kind = TBindKind::LangSlots},
      },
      {TooltipToTransparentBindings(),
       CommonBindings({R::Variable, R::SizeChar, R::SecLevel, R::Border, R::ReadOnly}),
       {
           {.control = "rgIntF", .kind = TBindKind::RadioIndex, .field = Field(&E::FIntFormat)},
           {.control = "cbTime", .kind = TBindKind::Custom, .fill = FillTimeMask, .write = WriteTimeMask},
           {.control = "cbSubmitButton", .kind = TBindKind::GrayCheck, .field = KindField()},
           {.control = "rbAlignRight",
            .kind = TBindKind::Custom,
            .fill = FillAlignment,
            .write = WriteAlignment,
            .flaggedBy = {"rbAlignRight", "rbAlignLeft", "rbAlignCenter", "rbLeadingZero"}},
           {.control = "cbLimits", .kind = TBindKind::Check, .field = Field(&E::FLimits)},
           {.control = "edtLoLimit", .kind = TBindKind::Text, .field = Field(&E::FLoLimit)},
           {.control = "edtHiLimit", .kind = TBindKind::Text, .field = Field(&E::FHiLimit)},
           {.control = "sePrec", .kind = TBindKind::Number, .field = Field(&E::FPrecision), .lo = 0, .clampFill = true},
       },
       CommonBindings({R::TabIndex}),
       {
           {.control = "cbShowAsPassword", .kind = TBindKind::GrayCheck, .field = Field(&E::FPassword)},
       }});
}

}  // namespace

TFormEditProperties::TFormEditProperties(TDesignerContext& designer) : TTabOrderedForm(designer, kRows, 7035) {
  SetClientWidth(740);
  SetClientHeight(445);
  Get<TPanel>("pnlAlign")->SetBevelOuter(bvNone);
  TRadioGroup* intFormat = Get<TRadioGroup>("rgIntF");
  for (int id : {7088, 7089, 7090, 7091}) intFormat->Items()->Add(GetUiText(id));
  for (const std::string& mask : MaskItems(TMaskList::Layout)) Get<TComboBox>("cbTime")->Items()->Add(mask);
  langTexts = {{.attr = "hint", .edit = "edtHint1", .button = "btLangHint1"}};
  WireCommonHandlers();
  OpenSwatchesOnPress();
  // Width, decimals, integer format, right and leading zero change the limits' format.
  for (const char* name : {"rbAlignRight", "rbLeadingZero"})
    Get<TRadioButton>(name)->OnClick = {this, &TFormEditProperties::OnChange2};
  for (const char* name : {"rbAlignLeft", "rbAlignCenter"})
    Get<TRadioButton>(name)->OnClick = {this, &TPropertyForm::OnChange};
  intFormat->OnClick = {this, &TFormEditProperties::OnChange2};
  Get<TmyEdit>("seSizeChar")->OnChange = {this, &TFormEditProperties::OnChange2};
  Get<TmyEdit>("sePrec")->OnChange = {this, &TFormEditProperties::OnChange2};
  Get<TmyEdit>("sePrec")->OnExit = {this, &TFormEditProperties::sePrecExit};
  Get<TEdit>("edtVariable")->OnChange = {this, &TFormEditProperties::edtVariableChange};
  Get<TComboBox>("cbTime")->OnChange = {this, &TFormEditProperties::cbTimeChange};
  Get<TCheckBox>("cbLimits")->OnClick = {this, &TFormEditProperties::cbLimitsClick};
  for (const char* name : {"edtLoLimit", "edtHiLimit"}) {
    Get<TEdit>(name)->OnChange = {this, &TFormEditProperties::edtLimitChange};
    Get<TEdit>(name)->OnEnter = {this, &TFormEditProperties::edtLimitExit};
    Get<TEdit>(name)->OnExit = {this, &TFormEditProperties::edtLimitExit};
  }
  Get<TButton>("Button1")->OnClick = {this, &TFormEditProperties::Button1Click};
}

std::span<const TPropertyBinding> TFormEditProperties::Bindings() const {
  static const std::vector<TPropertyBinding> bindings = MakeBindings();
  return bindings;
}
bool TFormEditProperties::TakesKind(int kind) const { return kind == wkEdit || kind == wkEditLocal; }
int TFormEditProperties::TemplateSlot(const TGridWebElement& e) const { return e.Kind() == wkEditLocal ? 3 : 2; }

// Only the tooltip's button follows the languages; nothing else depends.
void TFormEditProperties::ShowLangButtons(bool visible) { Get<TButton>("btLangHint1")->SetVisible(visible); }

void TFormEditProperties::edtVariableChange(TObject* sender) {
  const int type = ShowVariableType(Get<TEdit>("edtVariable"), Get<TLabel>("lblType"));
  RefreshLimits();
  auto* combo = Get<TComboBox>("cbTime");
  if (combo->ItemIndex() >= 0) rememberedMask_ = combo->Items()->Strings(combo->ItemIndex());
  Get<TLabel>("lblTimeFormat")->SetEnabled(true);
  combo->SetEnabled(true);
  const TMaskList list = MaskListOfType(type);
  if (list == TMaskList::None) {
    Get<TLabel>("lblTimeFormat")->SetEnabled(false);
    combo->SetEnabled(false);
  } else {
    combo->Items()->Clear();
    for (const std::string& mask : MaskItems(list)) combo->Items()->Add(mask);
    combo->SetItemIndex(rememberedMask_.empty() ? -1 : combo->Items()->IndexOf(rememberedMask_));
  }
  OnChange(sender);
}

void TFormEditProperties::cbTimeChange(TObject* sender) {
  auto* combo = Get<TComboBox>("cbTime");
  if (combo->ItemIndex() > 0) {
    Get<TmyEdit>("seSizeChar")->SetValue(static_cast<int>(combo->Items()->Strings(combo->ItemIndex()).size()));
    Flag("seSizeChar");
  }
  OnChange2(sender);
}

void TFormEditProperties::cbLimitsClick(TObject* sender) {
  const bool on = Get<TCheckBox>("cbLimits")->Checked();
  for (const char* name : {"lblHiLimit", "lblLoLimit", "edtHiLimit", "edtLoLimit"}) Get<TControl>(name)->SetEnabled(on);
  CheckLimitRange();
  OnChange(sender);
}

void TFormEditProperties::edtLimitChange(TObject* sender) {
  CheckLimitRange();
  OnChange(sender);
}

void TFormEditProperties::edtLimitExit(TObject* sender) {
  if (auto* edit = dynamic_cast<TEdit*>(sender)) NormaliseLimit(edit->Name());
  CheckLimitRange();
}

void TFormEditProperties::OnChange2(TObject* sender) {
  RefreshLimits();
  OnChange(sender);
}

void TFormEditProperties::Button1Click(TObject*) { RefreshLimits(); }

void TFormEditProperties::sePrecExit(TObject* sender) {
  if (auto* box = dynamic_cast<TmyEdit*>(sender)) box->SetValue(std::max(0, box->GetValue()));
}

TLimitFormat TFormEditProperties::LimitFormat() const {
  TLimitFormat format;
  format.length = Get<TmyEdit>("seSizeChar")->Text();
  format.prec = Get<TmyEdit>("sePrec")->Text();
  format.align = Get<TRadioButton>("rbLeadingZero")->Checked() ? "zero" : "left";
  auto* combo = Get<TComboBox>("cbTime");
  if (combo->ItemIndex() >= 0) format.time = combo->Items()->Strings(combo->ItemIndex());
  return format;
}

TPinVariable TFormEditProperties::LookUpEditVariable() const {
  TPinVariable info;
  LookUpGridVariable(Resolve(Get<TEdit>("edtVariable")->Text()), info);
  return info;
}

void TFormEditProperties::NormaliseLimit(const std::string& name) {
  // The empty text of a mixed box is no value: it stays until the user types.
  if (Mixed(name)) return;
  auto* edit = Get<TEdit>(name);
  const TPinVariable info = LookUpEditVariable();
  auto* width = Get<TmyEdit>("seSizeChar");
  if (width->Text().empty() || StrToIntDef(width->Text(), 0) == 0 || info.typeCode == 21 || info.typeCode == -1) return;
  // A type without a text form prints nothing: the typed text stays.
  const std::string text = NormaliseLimitText(edit->Text(), LimitFormat(), info);
  if (!text.empty() && text != edit->Text()) edit->SetText(text);
}

void TFormEditProperties::CheckLimitRange() {
  TColor colour = clWindow;
  if (Get<TCheckBox>("cbLimits")->Checked()) {
    const double span = LimitSpan(Get<TEdit>("edtHiLimit")->Text(), Get<TEdit>("edtLoLimit")->Text(), LimitFormat(),
                                  LookUpEditVariable());
    if (!(span > 0)) colour = kLightRed;
  }
  Get<TEdit>("edtLoLimit")->SetColor(colour);
  Get<TEdit>("edtHiLimit")->SetColor(colour);
}

void TFormEditProperties::RefreshLimits() {
  if (Get<TCheckBox>("cbLimits")->Checked()) {
    NormaliseLimit("edtLoLimit");
    NormaliseLimit("edtHiLimit");
  }
  CheckLimitRange();
}
