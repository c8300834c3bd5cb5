#include "properties/PageLinkPicker.h"

#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Edit.h"
#include "properties/PageLinkMenu.h"
#include "properties/PropertyForm.h"

namespace {

using E = TGridWebElement;

bool HasLink(const E& e) { return !e.FHref.empty(); }

void FillLinkBox(TPropertyForm& f, E& e, bool first) {
  auto* box = f.Get<TCheckBox>("cbLink");
  if (first)
    box->SetChecked(HasLink(e));
  else if (box->Checked() != HasLink(e))
    box->SetChecked(false);
}

void FillLink(TPropertyForm& f, E& e, bool first) {
  auto* edit = f.Get<TEdit>("edtLink1");
  if (first)
    edit->SetText(e.FHref);
  else if (edit->Text() != e.FHref)
    edit->SetText("");
}

void WriteLink(TPropertyForm& f, E& e) {
  e.FHref = f.Get<TCheckBox>("cbLink")->Checked() ? f.Get<TEdit>("edtLink1")->Text() : std::string();
}

}  // namespace

std::vector<TPropertyBinding> LinkBindings() {
  return {
      {.control = "cbLink", .kind = TBindKind::Custom, .fill = FillLinkBox, .flaggedBy = {"cbLink"}},
      {.control = "edtLink1",
       .kind = TBindKind::Custom,
       .fill = FillLink,
       .write = WriteLink,
       .flaggedBy = {"cbLink", "edtLink1"}},
  };
}

void DefaultEmptyLink(TPropertyForm& form) {
  auto* link = form.Get<TEdit>("edtLink1");
  if (form.Flagged("edtLink1") && form.Get<TCheckBox>("cbLink")->Checked() && link->Text().empty())
    link->SetText("index.xml");
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

void TPropertyForm::OnMenuClick(TObject* sender) { Get<TEdit>("edtLink1")->SetText(PageLinkOfMenuItem(sender)); }
