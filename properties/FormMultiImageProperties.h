#pragma once
// TFormMultiImageProperties: the property dialog of multi-state images
// (kind 8): entry n of the state list is the project image shown while the
// variable holds n; besides the list: the variable, tooltip, position, link
// and visibility bit.

#include <string>

#include "platform/vcl/StdCtrlsTypes.h"
#include "properties/PictureFormBase.h"

class TListBox;

class TFormMultiImageProperties : public TPictureFormBase {
 public:
  explicit TFormMultiImageProperties(TDesignerContext& designer);

  std::span<const TPropertyBinding> Bindings() const override;
  bool TakesKind(int kind) const override;
  int TemplateSlot(const TGridWebElement& element) const override;
  void AfterFill() override;

  // An entry's text is "long name|name".
  static std::string EntryName(const std::string& entry);
  static std::string EntryLongName(const std::string& entry);
  std::string MakeEntry(const std::string& name) const;
  // Whether the entry's picture file is missing from the images folder.
  bool EntryMissing(int index) const;

  // The selected entry in the preview, the tab and the buttons' states.
  void lbPicturesClick(TObject* sender);
  void lbPicturesDrawItem(TWinControl* control, int index, TRect rect, TOwnerDrawState state);
  void btnAddClick(TObject* sender);
  void btnEditClick(TObject* sender);
  // Picks an image: inserted after the selection (Image1's Tag 1) or
  // replacing the selected entry (Tag 0).
  void Image1Click(TObject* sender);
  void btnDeleteClick(TObject* sender);
  void btnMoveUp1Click(TObject* sender);
  void btnMoveDn1Click(TObject* sender);
  void MultiActivate(TObject* sender);

  TListBox* List() const;

 private:
  void Move(int delta);
  std::string selectedName_;
};
