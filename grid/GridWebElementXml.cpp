// TGridWebElement::SaveToXml: the `object` element of a page object, written
// by the tables of ObjectXmlFormat.cpp, and the sizes an edit field is written
// with.

#include <algorithm>
#include <cstdint>
#include <string>

#include "core/XmlNode.h"
#include "grid/GridWebElement.h"
#include "grid/ObjectXmlFormat.h"
#include "grid/SizingRules.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/WinControl.h"

namespace {

// The largest font height measured.
constexpr int kMostFontHeight = 4096;
// An edit field in the browser: its text area plus this much frame and
// padding (a field without border has 2 pixels less across).
constexpr int kMeasuredFieldExtraWidth = 10;
constexpr int kBorderWidth = 2;
constexpr int kMeasuredFieldExtraHeight = 6;
constexpr int kMeasuredFieldExtraHeightWithoutBorder = 4;
constexpr int kFixedFieldExtraHeight = 8;
constexpr int kFixedFieldExtraHeightWithoutBorder = 6;

int ClampToInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

void TGridWebElement::SetValueFont(TCanvas& canvas, bool useSurfaceFont) const {
  canvas.Font->Name = useSurfaceFont ? SurfaceFontName() : "Verdana";
  canvas.Font->Height = -std::clamp(FFontSize, 1, kMostFontHeight);
  canvas.Font->Style = (FStrong ? TFontStyles{fsBold} : 0u) | (FItalic ? TFontStyles{fsItalic} : 0u);
}

int TGridWebElement::MeasureDigitWidth(bool useSurfaceFont) {
  TCanvas canvas;
  SetValueFont(canvas, useSurfaceFont);
  return canvas.TextWidth("0");
}

int TGridWebElement::MeasureDigitHeight(bool useSurfaceFont) {
  TCanvas canvas;
  SetValueFont(canvas, useSurfaceFont);
  return canvas.TextHeight("0");
}

TSize TGridWebElement::EditFieldXmlSize() {
  if (FGlobalData != nullptr && FGlobalData->MeasuredFonts) {
    long long w = static_cast<long long>(MeasureDigitWidth(true)) * FSize + kMeasuredFieldExtraWidth;
    if (!FBorder) w -= kBorderWidth;
    const int extraHeight = FBorder ? kMeasuredFieldExtraHeight : kMeasuredFieldExtraHeightWithoutBorder;
    return {ClampToInt(w), ClampToInt(static_cast<long long>(MeasureDigitHeight(true)) + extraHeight)};
  }
  long long w = FixedFactorFieldWidth(FFontSize, FSize);
  if (!FBorder) w -= kBorderWidth;
  const int extraHeight = FBorder ? kFixedFieldExtraHeight : kFixedFieldExtraHeightWithoutBorder;
  return {ClampToInt(w), ClampToInt(static_cast<long long>(FFontSize) + extraHeight)};
}

void TGridWebElement::SaveToXml(TmyXmlNode* parent, bool withLanguages) {
  if (parent == nullptr) return;
  // An object the reader could not build goes back as it was read.
  if (FUnreadNode != nullptr) {
    TmyXmlNode* copy = parent->AddChild(FUnreadNode->name);
    copy->CopyFrom(FUnreadNode.get());
    copy->CopyChildren(FUnreadNode.get());
    return;
  }
  if (!Visible()) return;
  TmyXmlNode* object = parent->AddChild("object");
  WriteObjectAttributes(*this, *object);
  if (withLanguages) CopyLangChild(*object);
  WriteKindElement(*this, *object);
}

void TGridWebElement::CopyLangChild(TmyXmlNode& object) const {
  const TmyXmlNode* lang = FXmlNode != nullptr ? FXmlNode->FindChild("lang") : nullptr;
  if (lang == nullptr) return;
  // The children only: the stored `lang` element's own attributes stay behind.
  object.InsertFirstChild("lang")->CopyChildren(lang);
}
