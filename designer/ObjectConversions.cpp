// The kind conversions. A picture keeps its one picture in the off slot, so
// image, image button and picture convert among each other by the kind code
// alone; a multi-image's list gives its first two entries as off and on.

#include "designer/ObjectConversions.h"

#include "designer/SurfaceObjects.h"
#include "grid/GridWebElement.h"

namespace {

bool IsTwoState(int kind) { return kind == wkImage || kind == wkImageBtn; }

// Off and on pictures from the first two entries of a multi-image's list.
void TakeTwoStatesFromList(TGridWebElement& object, const TImagePathOf& imagePath) {
  const std::string off = object.GetImageName(0);
  const std::string on = object.GetImageName(1);
  object.LoadOffImage(off, imagePath(off));
  object.LoadOnImage(on, imagePath(on));
}

// The multi-image list is made exactly `names` unless it already starts so.
void SetListUnlessStartsWith(TGridWebElement& object, const std::vector<std::string>& names) {
  bool same = true;
  for (std::size_t i = 0; i < names.size(); ++i) same = same && object.GetImageName(static_cast<int>(i)) == names[i];
  if (same) return;
  object.ClearImages();
  for (const std::string& name : names) object.AddImage(name, true);
}

bool ToPicture(TGridWebElement& object, const TImagePathOf& imagePath) {
  const int kind = object.Kind();
  if (kind == wkMultiImage) {
    const std::string first = object.GetImageName(0);
    object.LoadOffImage(first, imagePath(first));
  } else if (!IsTwoState(kind)) {
    return false;
  }
  object.SetKind(wkPicture);
  return true;
}

bool ToTwoState(TGridWebElement& object, int target, const TImagePathOf& imagePath) {
  const int kind = object.Kind();
  if (kind == wkMultiImage) {
    TakeTwoStatesFromList(object, imagePath);
  } else if (kind == target || (kind != wkPicture && !IsTwoState(kind))) {
    return false;
  }
  object.SetKind(target);
  return true;
}

bool ToMultiImage(TGridWebElement& object) {
  const int kind = object.Kind();
  if (IsTwoState(kind)) {
    SetListUnlessStartsWith(object, {object.GetOffImageName(), object.GetOnImageName()});
  } else if (kind == wkPicture) {
    SetListUnlessStartsWith(object, {object.GetOffImageName()});
  } else {
    return false;
  }
  object.SetKind(wkMultiImage);
  return true;
}

}  // namespace

std::vector<TGridWebElement*> SelectedPageObjects(const TWinControl& surface) {
  std::vector<TGridWebElement*> selected;
  for (TGridWebElement* object : PageObjectsInZOrder(surface))
    if (object->Selected() && object->CanSelect()) selected.push_back(object);
  return selected;
}

bool ConvertPictureKind(TGridWebElement& object, int target, const TImagePathOf& imagePath) {
  switch (target) {
    case wkPicture: return ToPicture(object, imagePath);
    case wkImage:
    case wkImageBtn: return ToTwoState(object, target, imagePath);
    case wkMultiImage: return ToMultiImage(object);
    default: return false;
  }
}

TBlockVariant BlockVariantOf(const TGridWebElement& block) {
  if (!block.FDynamic) return TBlockVariant::Rectangle;
  return block.FColorMode ? TBlockVariant::ColorRectangle : TBlockVariant::DynamicBar;
}

bool SetBlockVariant(TGridWebElement& object, TBlockVariant variant) {
  if (object.Kind() != wkBlock) return false;
  object.FDynamic = variant != TBlockVariant::Rectangle;
  object.FColorMode = variant == TBlockVariant::ColorRectangle;
  return true;
}

bool TConversionOffer::Any() const {
  return toPicture || toImage || toImageBtn || toMultiImage || toRectangle || toDynamicBar || toColorRectangle;
}

TConversionOffer ConversionOfferFor(const std::vector<TGridWebElement*>& selected) {
  int images = 0, pictures = 0, buttons = 0, multis = 0, rectangles = 0, bars = 0, colored = 0;
  for (const TGridWebElement* object : selected) {
    switch (object->Kind()) {
      case wkImage: ++images; break;
      case wkPicture: ++pictures; break;
      case wkImageBtn: ++buttons; break;
      case wkMultiImage: ++multis; break;
      case wkBlock:
        switch (BlockVariantOf(*object)) {
          case TBlockVariant::Rectangle: ++rectangles; break;
          case TBlockVariant::DynamicBar: ++bars; break;
          case TBlockVariant::ColorRectangle: ++colored; break;
        }
        break;
      default: break;
    }
  }
  TConversionOffer offer;
  offer.toPicture = images + buttons + multis > 0;
  offer.toImage = pictures + buttons + multis > 0;
  offer.toImageBtn = pictures + images + multis > 0;
  offer.toMultiImage = pictures + images + buttons > 0;
  offer.toRectangle = bars + colored > 0;
  offer.toDynamicBar = rectangles + colored > 0;
  offer.toColorRectangle = rectangles + bars > 0;
  return offer;
}
