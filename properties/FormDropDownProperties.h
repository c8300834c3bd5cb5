#pragma once
// TFormDropDownProperties: the property dialog of drop-down lists (kind 14):
// the variable, the options (value and text in every project language) in a
// list view with add, modify, remove, delete-all and move buttons, submit on
// change, width, level, read-only, tab index, font, colours, position,
// tooltip and visibility bit.

#include <array>
#include <memory>
#include <string>

#include "properties/PropertyForm.h"

class TListItem;
class TListView;
class TStringDualListLang;

// What the option dialog answers.
struct TDualAnsiString {
  std::string caption;
  std::string value;
  std::array<std::string, kLangSlots> texts{};
  std::array<bool, kLangSlots> changed{};
  bool accepted = false;
};

class TFormDropDownProperties : public TTabOrderedForm {
 public:
  explicit TFormDropDownProperties(TDesignerContext& designer);
  ~TFormDropDownProperties() override;

  std::span<const TPropertyBinding> Bindings() const override;
  bool TakesKind(int kind) const override;
  int TemplateSlot(const TGridWebElement& element) const override;
  void ShowLangButtons(bool visible) override;
  void AfterFill() override;

  // The options of the object being filled or written (unsorted, the
  // designer's languages).
  TStringDualListLang& Options() { return *options_; }
  TListView* lvOptions() const;

  // Fill: the rows from the options; compare: no rows when they differ.
  void ShowOptions(TStringDualListLang& options, bool fill);
  void ReadOptions(TStringDualListLang& options);
  TDualAnsiString EditOption(TListItem* row);
  void UpdateOptionButtons();

  void btnAddClick(TObject* sender);
  void btnEditClick(TObject* sender);
  void btnDeleteClick(TObject* sender);
  void btnDeleteAllClick(TObject* sender);
  void btnMoveUpClick(TObject* sender);
  void btnMoveDnClick(TObject* sender);
  void lvOptionsDblClick(TObject* sender);
  void lvOptionsSelectItem(TObject* sender, TListItem* item, bool selected);

 private:
  std::unique_ptr<TStringDualListLang> options_;
};
