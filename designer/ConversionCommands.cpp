// TFormDesign1: the object menu's conversions between the picture-like kinds
// and between the block variants. They record no undo step: the objects
// change in memory and reach the project when the page is stored.

#include "designer/FormDesign1.h"
#include "designer/ObjectConversions.h"
#include "grid/PictureLoading.h"
#include "platform/vcl/ScrollBox.h"

void TFormDesign1::ConvertSelectedPictures(int target) {
  const TImagePathOf imagePath = [this](const std::string& name) {
    return gGridImagePath != nullptr ? gGridImagePath(name) : GetImagePath(name);
  };
  const std::vector<TGridWebElement*> selected = SelectedPageObjects(*sbDesign1);
  for (TGridWebElement* object : selected) {
    if (!ConvertPictureKind(*object, target, imagePath)) continue;
    // The object opens its new kind's property dialog.
    object->OnDblClick = BridgeOfKind(target);
    object->Invalidate();
  }
  if (target != wkImageBtn) return;
  for (TGridWebElement* object : selected)
    if (object->Kind() == wkImageBtn && object->GetValue().empty()) object->SetValue("1");
}

void TFormDesign1::SetSelectedBlockVariant(TBlockVariant variant) {
  for (TGridWebElement* object : SelectedPageObjects(*sbDesign1))
    if (SetBlockVariant(*object, variant)) object->Invalidate();
}

void TFormDesign1::ToPicture1Click(TObject*) { ConvertSelectedPictures(wkPicture); }
void TFormDesign1::ToImage1Click(TObject*) { ConvertSelectedPictures(wkImage); }
void TFormDesign1::ToImageBtn1Click(TObject*) { ConvertSelectedPictures(wkImageBtn); }
void TFormDesign1::ToMulimg1Click(TObject*) { ConvertSelectedPictures(wkMultiImage); }
void TFormDesign1::ToBlock1Click(TObject*) { SetSelectedBlockVariant(TBlockVariant::Rectangle); }
void TFormDesign1::ToBlockBar1Click(TObject*) { SetSelectedBlockVariant(TBlockVariant::DynamicBar); }
void TFormDesign1::ToBlockColor1Click(TObject*) { SetSelectedBlockVariant(TBlockVariant::ColorRectangle); }
