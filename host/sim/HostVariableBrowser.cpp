#include "host/sim/HostVariableBrowser.h"

#include <memory>

#include "platform/vcl/Button.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/SysUtils.h"

namespace {

// The declared variable a name starts with: up to its first member or
// element selector.
std::string DeclaredPart(const std::string& name) { return name.substr(0, name.find_first_of(".[")); }

template <class T>
T* AddControl(TForm* form, const char* name, int left, int top, int width, int height) {
  auto* control = new T(form);
  control->SetName(name);
  control->SetParent(form);
  control->SetBounds(left, top, width, height);
  return control;
}

}  // namespace

THostVariableBrowser::THostVariableBrowser(const std::vector<std::string>& names, const std::string& current,
                                           const std::string& typeName)
    : TForm(nullptr) {
  SetName("HostVariableBrowser");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetCaption("Variables");
  SetClientWidth(280);
  SetClientHeight(330);
  lblType = AddControl<TLabel>(this, "lblType", 8, 8, 264, 16);
  lblType->SetCaption(typeName.empty() ? "All variables" : "Variables of type " + typeName);
  lbVariables = AddControl<TListBox>(this, "lbVariables", 8, 28, 264, 256);
  lbVariables->OnDblClick = {this, &THostVariableBrowser::ListDblClick};
  const std::string declared = DeclaredPart(current);
  for (std::size_t i = 0; i < names.size(); ++i) {
    lbVariables->Items()->Add(names[i]);
    if (lbVariables->ItemIndex() < 0 && !declared.empty() && SameText(names[i], declared))
      lbVariables->SetItemIndex(static_cast<int>(i));
  }
  btnOk = AddControl<TButton>(this, "btnOk", 116, 296, 75, 25);
  btnOk->SetCaption("OK");
  btnOk->SetDefault(true);
  btnOk->ModalResult = mrOk;
  btnCancel = AddControl<TButton>(this, "btnCancel", 197, 296, 75, 25);
  btnCancel->SetCaption("Cancel");
  btnCancel->Cancel = true;
  btnCancel->ModalResult = mrCancel;
  SetActiveControl(lbVariables);
  AfterConstruction();
}

std::optional<std::string> THostVariableBrowser::Chosen() const {
  const int i = lbVariables->ItemIndex();
  if (i < 0 || i >= lbVariables->Items()->Count()) return std::nullopt;
  return lbVariables->Items()->Strings(i);
}

void THostVariableBrowser::ListDblClick(TObject*) {
  if (Chosen()) ModalResult = mrOk;
}

std::optional<std::string> ShowHostVariableBrowser(const std::vector<std::string>& names, const std::string& current,
                                                   const std::string& typeName) {
  auto form = std::make_unique<THostVariableBrowser>(names, current, typeName);
  if (form->ShowModal() != mrOk) return std::nullopt;
  return form->Chosen();
}
