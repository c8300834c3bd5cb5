#include "properties/ComponentTable.h"

#include <string>

#include "core/UiText.h"
#include "platform/vcl/Bevel.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/GroupBox.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/RadioButton.h"
#include "platform/vcl/RadioGroup.h"
#include "platform/vcl/Shape.h"
#include "properties/MyEdit.h"

namespace {

TControl* MakeControl(TControlClass cls, TComponent* owner) {
  switch (cls) {
    case TControlClass::Label: return new TLabel(owner);
    case TControlClass::Edit: return new TEdit(owner);
    case TControlClass::MyEdit: return new TmyEdit(owner);
    case TControlClass::Button: return new TButton(owner);
    case TControlClass::CheckBox: return new TCheckBox(owner);
    case TControlClass::RadioButton: return new TRadioButton(owner);
    case TControlClass::RadioGroup: return new TRadioGroup(owner);
    case TControlClass::ComboList: {
      auto* combo = new TComboBox(owner);
      combo->SetStyle(csDropDownList);
      return combo;
    }
    case TControlClass::Shape: return new TShape(owner);
    case TControlClass::Panel: return new TPanel(owner);
    case TControlClass::ListView: return new TListView(owner);
    case TControlClass::Bevel: return new TBevel(owner);
    case TControlClass::GroupBox: return new TGroupBox(owner);
    case TControlClass::Image: return new TImage(owner);
  }
  return nullptr;
}

TWinControl* ParentOf(TWinControl& form, const char* parent) {
  if (parent == nullptr || *parent == '\0') return &form;
  return dynamic_cast<TWinControl*>(form.FindComponent(parent));
}

}  // namespace

void BuildComponents(TWinControl& form, std::span<const TComponentRow> rows) {
  for (const TComponentRow& row : rows) {
    TControl* control = MakeControl(row.cls, &form);
    control->SetName(row.name);
    control->SetParent(ParentOf(form, row.parent));
    control->SetBounds(row.left, row.top, row.width, row.height);
    control->SetText(row.text != nullptr ? row.text : "");
  }
}

void ApplyCaptions(TWinControl& form, std::span<const TComponentRow> rows) {
  for (const TComponentRow& row : rows) {
    if (row.captionId == 0) continue;
    if (auto* control = dynamic_cast<TControl*>(form.FindComponent(row.name)))
      control->SetText(GetUiText(row.captionId));
  }
}
