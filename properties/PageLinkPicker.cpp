#include "properties/PageLinkPicker.h"

#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Edit.h"
#include "properties/CommonBindings.h"
#include "properties/PageLinkMenu.h"
#include "properties/PropertyForm.h"

std::vector<TPropertyBinding> LinkBindings() {
  return SwitchedTextBindings("cbLink", "edtLink1", Field(&TGridWebElement::FHref));
}

void DefaultEmptyLink(TPropertyForm& form, TEmptyLinkRule rule) {
  auto* link = form.Get<TEdit>("edtLink1");
  const bool written = form.Flagged("edtLink1") || (rule == TEmptyLinkRule::LinkWritten && form.Flagged("cbLink"));
  if (written && form.Get<TCheckBox>("cbLink")->Checked() && link->Text().empty()) link->SetText("index.xml");
}

void TPropertyForm::WireLinkPicker(const char* label) {
  linkLabel_ = label;
  Get<TCheckBox>("cbLink")->OnClick = {this, &TPropertyForm::cbLinkClick};
  Get<TButton>("AddPage")->OnClick = {this, &TPropertyForm::AddPageClick};
}

void TPropertyForm::cbLinkClick(TObject*) {
  const bool on = Get<TCheckBox>("cbLink")->Checked();
  Get<TControl>(linkLabel_)->SetEnabled(on);
  Get<TEdit>("edtLink1")->SetEnabled(on);
  Get<TEdit>("edtLink1")->SetColor(on ? clWindow : clBtnFace);
  Get<TButton>("AddPage")->SetEnabled(on);
  Flag("cbLink");
}

void TPropertyForm::AddPageClick(TObject*) { PopUpPageLinkMenu(Designer(), {this, &TPropertyForm::OnMenuClick}); }

void TPropertyForm::OnMenuClick(TObject* sender) {
  Get<TEdit>("edtLink1")->SetText(PageLinkOfMenuItem(sender));
  Flag("edtLink1");
}
