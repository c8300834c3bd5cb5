#pragma once
// Conversions of page objects between the picture-like kinds (image,
// picture, multi-image, image button) and between the three block variants
// (rectangle, dynamic bar, rectangle coloured by a variable), and the counts
// that decide which conversions the object menu offers. They change the
// objects in memory only; the new kind reaches the project when the page is
// stored.

#include <functional>
#include <string>
#include <vector>

class TGridWebElement;
class TWinControl;

// The page objects of the surface that are selected and may be selected now
// (not on a hidden or frozen layer, not locked), in the surface's order.
std::vector<TGridWebElement*> SelectedPageObjects(const TWinControl& surface);

// The full path of a picture of the project by name; null for none.
using TImagePathOf = std::function<const char*(const std::string& name)>;

// Converts one object to the picture-like kind `target` (wkPicture, wkImage,
// wkImageBtn or wkMultiImage), carrying its pictures over. False, and the
// object unchanged, when its kind is not one the target converts from
// (the target kind itself included).
bool ConvertPictureKind(TGridWebElement& object, int target, const TImagePathOf& imagePath);

enum class TBlockVariant { Rectangle, DynamicBar, ColorRectangle };
// The variant a block's dynamic and colour flags make.
TBlockVariant BlockVariantOf(const TGridWebElement& block);
// Sets the two flags of the variant on a block; false for other kinds.
bool SetBlockVariant(TGridWebElement& object, TBlockVariant variant);

// Which conversion items the object menu shows for a selection.
struct TConversionOffer {
  bool toPicture = false;
  bool toImage = false;
  bool toImageBtn = false;
  bool toMultiImage = false;
  bool toRectangle = false;
  bool toDynamicBar = false;
  bool toColorRectangle = false;
  // The submenu: at least one of the seven.
  bool Any() const;
};
TConversionOffer ConversionOfferFor(const std::vector<TGridWebElement*>& selected);
