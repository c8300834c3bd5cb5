// TFormDesign1's property bridges of the object kinds: each
// runs the shared steps with its kind's form.

#include <memory>

#include "designer/FormDesign1.h"
#include "grid/GridWebElement.h"
#include "properties/FormBlockProperties.h"
#include "properties/FormCameraProperties.h"
#include "properties/FormCanvasProperties.h"
#include "properties/FormDropDownProperties.h"
#include "properties/FormEditProperties.h"
#include "properties/FormIFrameProperties.h"
#include "properties/FormImageBtnProperties.h"
#include "properties/FormImageProperties.h"
#include "properties/FormLabelProperties.h"
#include "properties/FormMultiImageProperties.h"
#include "properties/FormPictureProperties.h"
#include "properties/FormPostFileProperties.h"
#include "properties/FormStrImgProperties.h"
#include "properties/FormSubmitProperties.h"
#include "properties/PropertyBridge.h"

namespace {

template <class Form>
TPropertyFormFactory FactoryOf() {
  return [](TDesignerContext& designer) -> std::unique_ptr<TPropertyForm> { return std::make_unique<Form>(designer); };
}

}  // namespace

void TFormDesign1::EditLabelObject(TObject* sender) {
  RunPropertyBridge(*this, sender, FactoryOf<TFormLabelProperties>());
}

void TFormDesign1::EditEditObject(TObject* sender) {
  RunPropertyBridge(*this, sender, FactoryOf<TFormEditProperties>());
}

// Edits with their own submit button: the lock is checked here too.
void TFormDesign1::EditLocalEditObject(TObject* sender) {
  if (RefuseLockedGroup(*this)) return;
  EditEditObject(sender);
}

void TFormDesign1::EditSubmitObject(TObject* sender) {
  RunPropertyBridge(*this, sender, FactoryOf<TFormSubmitProperties>());
}

void TFormDesign1::EditDropDownObject(TObject* sender) {
  RunPropertyBridge(*this, sender, FactoryOf<TFormDropDownProperties>());
}

void TFormDesign1::EditPictureObject(TObject* sender) {
  RunPropertyBridge(*this, sender, FactoryOf<TFormPictureProperties>());
}

void TFormDesign1::EditImageObject(TObject* sender) {
  RunPropertyBridge(*this, sender, FactoryOf<TFormImageProperties>());
}

void TFormDesign1::EditImageBtnObject(TObject* sender) {
  RunPropertyBridge(*this, sender, FactoryOf<TFormImageBtnProperties>());
}

void TFormDesign1::EditMultiImageObject(TObject* sender) {
  RunPropertyBridge(*this, sender, FactoryOf<TFormMultiImageProperties>());
}

void TFormDesign1::EditCameraObject(TObject* sender) {
  RunPropertyBridge(*this, sender, FactoryOf<TFormCameraProperties>());
}

void TFormDesign1::EditStrImgObject(TObject* sender) {
  RunPropertyBridge(*this, sender, FactoryOf<TFormStrImgProperties>());
}

void TFormDesign1::EditIFrameObject(TObject* sender) {
  RunPropertyBridge(*this, sender, FactoryOf<TFormIFrameProperties>());
}

void TFormDesign1::EditBlockObject(TObject* sender) {
  RunPropertyBridge(*this, sender, FactoryOf<TFormBlockProperties>());
}

void TFormDesign1::EditCanvasObject(TObject* sender) {
  RunPropertyBridge(*this, sender, FactoryOf<TFormCanvasProperties>());
}

void TFormDesign1::EditPostFileObject(TObject* sender) {
  RunPropertyBridge(*this, sender, FactoryOf<TFormPostFileProperties>());
}

void TFormDesign1::ShowObjectProperties(TGridWebElement* object) {
  if (object == nullptr) return;
  if (object->OnDblClick) object->OnDblClick(object);
  object->FIgnoreMouseDown = false;
}
