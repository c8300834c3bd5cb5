#pragma once
// TFormCanvasProperties: the property dialog of drawing canvases (kind 12):
// the control structure from which every variable reference of the canvas
// is derived by fixed member names, whether the touched position and colour
// are returned, the drawing size, the list of project images the PLC may
// draw, position, tooltip, security level and visibility bit.

#include <memory>

#include "properties/PropertyForm.h"

class TStringList;

class TFormCanvasProperties : public TPropertyForm {
 public:
  explicit TFormCanvasProperties(TDesignerContext& designer);
  ~TFormCanvasProperties() override;

  std::span<const TPropertyBinding> Bindings() const override;
  bool TakesKind(int kind) const override;
  int TemplateSlot(const TGridWebElement& element) const override;
  void AfterFill() override;

  // The image names (long name, ".", type), owned by the form; the form's
  // own Tag is their changed flag.
  TStringList& ImageNames() const { return *imageNames_; }

  // The member edits from the structure name and the two return boxes.
  void DeriveMembers();
  // True when every image name is in the project's image list; the warning
  // icon shows otherwise.
  bool CheckImages();
  // The edit's resolved reference as its tooltip; the structure's validity or
  // the member's type beside it; then the common change handler.
  void edtVariableChange(TObject* sender);
  // The host's variable browser for the edit named by the button's Tag.
  void Button3Click(TObject* sender);
  void Button1Click(TObject* sender);
  void btnAssignImagesClick(TObject* sender);
  void cbReturnClick(TObject* sender);

 private:
  std::unique_ptr<TStringList> imageNames_;
};

// The member references of a control structure B.
std::string CanvasHeadMember(const std::string& base);    // B + ".bufHead"
std::string CanvasBufferMember(const std::string& base);  // B + ".buf"
