#include "properties/CommonBindings.h"

#include "grid/GridWebElement.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Edit.h"
#include "properties/PropertyForm.h"

namespace {

using E = TGridWebElement;

void FillVariable(TPropertyForm& f, E& e, bool first) {
  auto* edit = f.Get<TEdit>("edtVariable");
  if (first) {
    edit->SetText(e.GetVariable());
    RefreshVariableInfo(e);
  } else if (edit->Text() != e.GetVariable()) {
    edit->SetText("");
  }
}

void WriteVariable(TPropertyForm& f, E& e) {
  e.SetVariable(f.Get<TEdit>("edtVariable")->Text());
  RefreshVariableInfo(e);
}

void FillReadOnly(TPropertyForm& f, E& e, bool first) {
  auto* box = f.Get<TCheckBox>("cbReadOnly");
  if (first)
    box->SetChecked(e.FReadOnly);
  else if (box->Checked() != e.FReadOnly)
    box->SetChecked(false);
  f.SetSecLevelEnabled(!e.FReadOnly);
}

}  // namespace

TPropertyBinding CommonBinding(TCommonRow row) {
  switch (row) {
    case TCommonRow::Hint: return {.control = "edtHint1", .kind = TBindKind::Text, .field = Field(&E::Hint)};
    case TCommonRow::Strong: return {.control = "cbStrong", .kind = TBindKind::Check, .field = Field(&E::FStrong)};
    case TCommonRow::Italic: return {.control = "cbItalic", .kind = TBindKind::Check, .field = Field(&E::FItalic)};
    case TCommonRow::FontSize: return {.control = "seSize", .kind = TBindKind::Number, .field = Field(&E::FFontSize)};
    case TCommonRow::FrontColour:
      return {.control = "shFront", .kind = TBindKind::Colour, .field = Field(&E::FFrontColor)};
    case TCommonRow::PosX: return {.control = "ceOffX", .kind = TBindKind::PosX};
    case TCommonRow::PosY: return {.control = "ceOffY", .kind = TBindKind::PosY};
    case TCommonRow::VisVariable:
      return {.control = "edtVisVar",
              .kind = TBindKind::Text,
              .field = Field(&E::FVisVariable),
              .afterWrite = [](TPropertyForm&, E& e) { RefreshVisVariableInfo(e); }};
    case TCommonRow::VisNeg: return {.control = "cbActiveIn0", .kind = TBindKind::Check, .field = Field(&E::FVisNeg)};
    case TCommonRow::BackColour:
      return {.control = "shBack", .kind = TBindKind::BackColour, .field = Field(&E::FBackColor)};
    case TCommonRow::Transparent:
      return {.control = "cbTransparent", .kind = TBindKind::Check, .field = Field(&E::FTransparent)};
    case TCommonRow::Variable:
      return {.control = "edtVariable", .kind = TBindKind::Custom, .fill = FillVariable, .write = WriteVariable};
    case TCommonRow::SizeChar:
      return {.control = "seSizeChar", .kind = TBindKind::Number, .field = Field(&E::FSize), .lo = 1};
    case TCommonRow::SecLevel:
      return {.control = "seSecLevel", .kind = TBindKind::Number, .field = Field(&E::FLevel), .lo = 0, .hi = 9};
    case TCommonRow::Border: return {.control = "cbBorder1", .kind = TBindKind::Check, .field = Field(&E::FBorder)};
    case TCommonRow::ReadOnly:
      return {.control = "cbReadOnly",
              .kind = TBindKind::Custom,
              .fill = FillReadOnly,
              .write = [](TPropertyForm& f, E& e) { e.FReadOnly = f.Get<TCheckBox>("cbReadOnly")->Checked(); }};
    case TCommonRow::TabIndex:
      return {.control = "seTabIndex", .kind = TBindKind::IntText, .field = Field(&E::FTabIndex)};
  }
  return {};
}

std::vector<TPropertyBinding> CommonBindings(std::initializer_list<TCommonRow> rows) {
  std::vector<TPropertyBinding> bindings;
  for (TCommonRow row : rows) bindings.push_back(CommonBinding(row));
  return bindings;
}

std::vector<TPropertyBinding> TooltipToTransparentBindings() {
  using R = TCommonRow;
  return CommonBindings({R::Hint, R::Strong, R::Italic, R::FontSize, R::FrontColour, R::PosX, R::PosY, R::VisVariable,
                         R::VisNeg, R::BackColour, R::Transparent});
}

std::vector<TPropertyBinding> SwitchedTextBindings(const char* box, const char* edit, TField field) {
  auto has = [get = field.getText](const E& e) { return !get(e).empty(); };
  return {
      {.control = box,
       .kind = TBindKind::Custom,
       .fill =
           [box, has](TPropertyForm& f, E& e, bool first) {
             auto* check = f.Get<TCheckBox>(box);
             if (first)
               check->SetChecked(has(e));
             else if (check->Checked() != has(e))
               check->SetChecked(false);
           },
       .flaggedBy = {box}},
      {.control = edit,
       .kind = TBindKind::Custom,
       .fill =
           [edit, get = field.getText](TPropertyForm& f, E& e, bool first) {
             auto* text = f.Get<TEdit>(edit);
             if (first)
               text->SetText(get(e));
             else if (text->Text() != get(e))
               text->SetText("");
           },
       .write = [box, edit, set = field.setText](
                    TPropertyForm& f,
                    E& e) { set(e, f.Get<TCheckBox>(box)->Checked() ? f.Get<TEdit>(edit)->Text() : std::string()); },
       .flaggedBy = {box, edit}},
  };
}

std::vector<TPropertyBinding> Joined(std::vector<TPropertyBinding> first,
                                     std::initializer_list<std::vector<TPropertyBinding>> more) {
  for (const std::vector<TPropertyBinding>& rows : more) first.insert(first.end(), rows.begin(), rows.end());
  return first;
}
