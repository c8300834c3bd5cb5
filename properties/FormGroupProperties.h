#pragma once
// TFormGroupProperties: the properties of one page group: caption (per
// language), security level, lock, the two "don't generate" flags, an own
// page size with the mobile browsers' viewport, the page template and the
// group's placeholders. The designer fills the controls from the `group`
// element and writes them back on OK (designer/GroupPageProperties.cpp).

#include <memory>

#include "properties/PropertyForm.h"

class TCheckBox;
class TMenuItem;
class TPopupMenu;
class TmyXmlNode;
class TPlaceholdersOpener;

class TFormGroupProperties : public TPropertyForm {
 public:
  explicit TFormGroupProperties(TDesignerContext& designer);
  ~TFormGroupProperties() override;

  // Not an object dialog: no bindings, no kinds, no tool template.
  std::span<const TPropertyBinding> Bindings() const override { return {}; }
  bool TakesKind(int) const override { return false; }
  int TemplateSlot(const TGridWebElement&) const override { return 0; }

  // The group element being edited (handed in by the designer).
  TmyXmlNode* group = nullptr;

  // The captions from the string table (the placeholders button with " ...").
  void LoadCaptions();
  void FormActivate(TObject* sender);
  // The size and mobile controls enabled exactly when the box is checked.
  void cbAlternativePageDimClick(TObject* sender);
  // The clicked template item checked (radio items: the others cleared).
  void template1Click(TObject* sender);
  // The index of the first checked template item (0 = no template).
  int GetTemplate() const;
  // Checks item `index` (0 .. 9); any other number checks "no template".
  void SetTemplate(int index);
  // The group's placeholders, edited in their own dialog; cancelled edits
  // are dropped.
  void btnPlaceHoldersClick(TObject* sender);
  // OK: edited placeholders into the group element and the designer's list.
  void Button1Click(TObject* sender);
  // A double click on the form's background shows cbDontMakeForWWW.
  void FormDblClick(TObject* sender);

  TPopupMenu* PopupMenu1 = nullptr;
  TMenuItem* templateItems[10] = {};

 private:
  std::unique_ptr<TPlaceholdersOpener> placeholders_;
};
