#include "properties/Bindings.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "grid/GridWebElement.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/RadioGroup.h"
#include "platform/vcl/Shape.h"
#include "platform/vcl/SysUtils.h"
#include "properties/DesignerContext.h"
#include "properties/MyEdit.h"
#include "properties/PropertyForm.h"

TField Field(std::string TGridWebElement::*member) {
  TField f;
  f.getText = [member](const TGridWebElement& e) { return e.*member; };
  f.setText = [member](TGridWebElement& e, const std::string& v) { e.*member = v; };
  return f;
}

TField Field(int TGridWebElement::*member) {
  TField f;
  f.getInt = [member](const TGridWebElement& e) { return e.*member; };
  f.setInt = [member](TGridWebElement& e, int v) { e.*member = v; };
  return f;
}

TField Field(bool TGridWebElement::*member) {
  TField f;
  f.getFlag = [member](const TGridWebElement& e) { return e.*member; };
  f.setFlag = [member](TGridWebElement& e, bool v) { e.*member = v; };
  return f;
}

TField TextField(std::function<std::string(const TGridWebElement&)> get,
                 std::function<void(TGridWebElement&, const std::string&)> set) {
  TField f;
  f.getText = std::move(get);
  f.setText = std::move(set);
  return f;
}

TField FlagField(std::function<bool(const TGridWebElement&)> get, std::function<void(TGridWebElement&, bool)> set) {
  TField f;
  f.getFlag = std::move(get);
  f.setFlag = std::move(set);
  return f;
}

namespace {

int Clamp(const TPropertyBinding& b, int value) { return std::clamp(value, b.lo, b.hi); }

// The position box's value of the object: 0-based, in pixels of the surface.
int PositionValue(const TPropertyForm& form, const TGridWebElement& e, bool x) {
  const TPoint p = e.GetPosition();
  return ((x ? p.x : p.y) - 1) * form.Designer().UnitPixels();
}

// Answers true when a further object put the box into its mixed state.
bool FillText(TEdit& edit, const std::string& value, bool first) {
  if (first) {
    edit.SetText(value);
    return false;
  }
  if (edit.Text() == value) return false;
  edit.SetText("");
  return true;
}

// The edit boxes of the form with their texts.
std::vector<std::pair<TCustomEdit*, std::string>> EditTexts(const TPropertyForm& form) {
  std::vector<std::pair<TCustomEdit*, std::string>> texts;
  for (int i = 0; i < form.ComponentCount(); ++i)
    if (auto* edit = dynamic_cast<TCustomEdit*>(form.Components(i))) texts.emplace_back(edit, edit->Text());
  return texts;
}

// A dialog's own fill rule compares a further object: every box whose text
// it changed now shows that the objects differ.
void FillCustom(TPropertyForm& form, const TPropertyBinding& b, TGridWebElement& e, bool first) {
  if (!b.fill) return;
  if (first) {
    b.fill(form, e, true);
    return;
  }
  const auto before = EditTexts(form);
  b.fill(form, e, false);
  for (const auto& [edit, text] : before)
    if (edit->Text() != text) form.MarkMixed(edit->Name());
}

void FillCheck(TCheckBox& box, bool value, bool first, bool grayWhenMixed) {
  if (first)
    box.SetChecked(value);
  else if (box.State() == cbGrayed || box.Checked() != value)
    box.SetState(grayWhenMixed ? cbGrayed : cbUnchecked);
}

void FillColour(TShape& shape, TColor colour, bool first) {
  if (first)
    shape.SetBrushColor(colour);
  else if (shape.Brush->Color != colour)
    shape.SetBrushStyle(bsDiagCross);
}

}  // namespace

void FillBinding(TPropertyForm& form, const TPropertyBinding& b, TGridWebElement& e, bool first) {
  switch (b.kind) {
    case TBindKind::Text:
      if (FillText(*form.Get<TEdit>(b.control), b.field.getText(e), first)) form.MarkMixed(b.control);
      return;
    case TBindKind::Number: {
      auto* box = form.Get<TmyEdit>(b.control);
      const int value = b.clampFill ? Clamp(b, b.field.getInt(e)) : b.field.getInt(e);
      if (first) {
        box->SetValue(value);
      } else if (box->GetValue() != value) {
        box->SetValue(0);
        form.MarkMixed(b.control);
      }
      return;
    }
    case TBindKind::IntText: {
      auto* box = form.Get<TEdit>(b.control);
      const int value = b.field.getInt(e);
      if (first) {
        box->SetText(IntToStr(value));
      } else if (StrToIntDef(box->Text(), -1) != value) {
        box->SetText("");
        form.MarkMixed(b.control);
      }
      return;
    }
    case TBindKind::PosX:
    case TBindKind::PosY: {
      auto* box = form.Get<TmyEdit>(b.control);
      const int value = PositionValue(form, e, b.kind == TBindKind::PosX);
      if (first) {
        box->SetValue(value);
      } else if (box->GetValue() != value) {
        box->SetText("");
        form.MarkMixed(b.control);
      }
      return;
    }
    case TBindKind::Check: FillCheck(*form.Get<TCheckBox>(b.control), b.field.getFlag(e), first, false); return;
    case TBindKind::GrayCheck: FillCheck(*form.Get<TCheckBox>(b.control), b.field.getFlag(e), first, true); return;
    case TBindKind::RadioIndex: {
      auto* group = form.Get<TRadioGroup>(b.control);
      const int value = b.field.getInt(e);
      if (first)
        group->SetItemIndex(value);
      else if (group->ItemIndex() != value)
        group->SetItemIndex(-1);
      return;
    }
    case TBindKind::Colour: FillColour(*form.Get<TShape>(b.control), b.field.getInt(e), first); return;
    case TBindKind::BackColour: {
      auto* shape = form.Get<TShape>(b.control);
      if (first) {
        shape->SetBrushColor(b.field.getInt(e));
        if (!e.FTransparent) shape->SetBrushStyle(bsSolid);
      } else if (!e.FTransparent && shape->Brush->Color != b.field.getInt(e)) {
        shape->SetBrushStyle(bsDiagCross);
      }
      return;
    }
    case TBindKind::LangSlots: return;  // read by the bridge before the controls
    case TBindKind::Custom: FillCustom(form, b, e, first); return;
  }
}

bool BindingFlagged(const TPropertyForm& form, const TPropertyBinding& b) {
  if (b.kind == TBindKind::LangSlots) return true;
  if (b.flaggedBy.empty()) return form.Flagged(b.control);
  return std::any_of(b.flaggedBy.begin(), b.flaggedBy.end(), [&](const char* name) { return form.Flagged(name); });
}

void WriteBinding(TPropertyForm& form, const TPropertyBinding& b, TGridWebElement& e) {
  if (!BindingFlagged(form, b)) return;
  switch (b.kind) {
    case TBindKind::Text:
      if (b.field.setText) b.field.setText(e, form.Get<TEdit>(b.control)->Text());
      break;
    case TBindKind::Number: b.field.setInt(e, Clamp(b, form.Get<TmyEdit>(b.control)->GetValue())); break;
    case TBindKind::IntText: b.field.setInt(e, StrToIntDef(form.Get<TEdit>(b.control)->Text(), -1)); break;
    case TBindKind::PosX:
    case TBindKind::PosY: {
      const int units = form.Get<TmyEdit>(b.control)->GetValue() / form.Designer().UnitPixels() + 1;
      const TPoint p = e.GetPosition();
      if (b.kind == TBindKind::PosX)
        e.SetPosition(units, p.y);
      else
        e.SetPosition(p.x, units);
      break;
    }
    case TBindKind::Check:
    case TBindKind::GrayCheck:
      if (b.field.setFlag) b.field.setFlag(e, form.Get<TCheckBox>(b.control)->Checked());
      break;
    case TBindKind::RadioIndex: b.field.setInt(e, form.Get<TRadioGroup>(b.control)->ItemIndex()); break;
    case TBindKind::Colour:
    case TBindKind::BackColour: b.field.setInt(e, ColorToRGB(form.Get<TShape>(b.control)->Brush->Color)); break;
    case TBindKind::LangSlots:
      if (TLangText* text = form.FindLangText(b.control))
        form.Designer().SetElementLangTexts(text->attr, &e, text->texts.data(), text->changed.data());
      break;
    case TBindKind::Custom:
      if (b.write) b.write(form, e);
      break;
  }
  if (b.afterWrite) b.afterWrite(form, e);
}

bool ControlFitsBinding(const TComponent* c, const TPropertyBinding& b) {
  switch (b.kind) {
    case TBindKind::Text:
    case TBindKind::IntText: return dynamic_cast<const TEdit*>(c) != nullptr;
    case TBindKind::Number:
    case TBindKind::PosX:
    case TBindKind::PosY: return dynamic_cast<const TmyEdit*>(c) != nullptr;
    case TBindKind::Check:
    case TBindKind::GrayCheck: return dynamic_cast<const TCheckBox*>(c) != nullptr;
    case TBindKind::RadioIndex: return dynamic_cast<const TRadioGroup*>(c) != nullptr;
    case TBindKind::Colour:
    case TBindKind::BackColour: return dynamic_cast<const TShape*>(c) != nullptr;
    case TBindKind::LangSlots:
    case TBindKind::Custom: return true;
  }
  return false;
}
