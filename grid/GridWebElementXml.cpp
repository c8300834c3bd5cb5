// TGridWebElement::SaveToXml: the `object` element of a page object, with its
// attributes in the fixed order the reader depends on.

#include <algorithm>
#include <cstdint>
#include <string>

#include "core/XmlNode.h"
#include "grid/GridWebElement.h"
#include "grid/SizingRules.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/WinControl.h"

namespace {

const char* Flag(bool b) { return b ? "true" : "false"; }
const char* Bit(bool b) { return b ? "1" : "0"; }
std::string Int(long long v) { return std::to_string(v); }

}  // namespace

int TGridWebElement::MeasureDigitWidth(bool useSurfaceFont) {
  TCanvas canvas;
  canvas.Font->Name = useSurfaceFont ? SurfaceFontName() : "Verdana";
  canvas.Font->Height = -std::clamp(FFontSize, 1, 4096);
  canvas.Font->Style = (FStrong ? TFontStyles{fsBold} : 0u) | (FItalic ? TFontStyles{fsItalic} : 0u);
  return canvas.TextWidth("0");
}

int TGridWebElement::MeasureDigitHeight(bool useSurfaceFont) {
  TCanvas canvas;
  canvas.Font->Name = useSurfaceFont ? SurfaceFontName() : "Verdana";
  canvas.Font->Height = -std::clamp(FFontSize, 1, 4096);
  canvas.Font->Style = (FStrong ? TFontStyles{fsBold} : 0u) | (FItalic ? TFontStyles{fsItalic} : 0u);
  return canvas.TextHeight("0");
}

TSize TGridWebElement::EditFieldXmlSize() {
  auto clamp = [](long long v) { return static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)); };
  if (FGlobalData != nullptr && FGlobalData->MeasuredFonts) {
    long long w = static_cast<long long>(MeasureDigitWidth(true)) * FSize + 10;
    if (!FBorder) w -= 2;
    return {clamp(w), clamp(MeasureDigitHeight(true) + (FBorder ? 6LL : 4LL))};
  }
  long long w = FixedFactorFieldWidth(FFontSize, FSize);
  if (!FBorder) w -= 2;
  return {clamp(w), clamp(FFontSize + (FBorder ? 8LL : 6LL))};
}

void TGridWebElement::SaveToXml(TmyXmlNode* parent, bool withLanguages) {
  if (parent != nullptr && FUnreadNode != nullptr) {
    TmyXmlNode* copy = parent->AddChild(FUnreadNode->name);
    copy->CopyFrom(FUnreadNode);
    copy->CopyChildren(FUnreadNode);
    return;
  }
  if (!Visible() || parent == nullptr) return;
  TmyXmlNode* object = parent->AddChild("object");
  object->AppendAttr("caption", FCaption);
  const long long ux = FPosX - 1LL, uy = FPosY - 1LL;  // 64 bits: no position overflows
  object->AppendAttr("X", Int(ux / 8 + 1));
  object->AppendAttr("Y", Int(uy / 8 + 1));
  object->AppendAttr("xoff", Int(ux % 8));
  object->AppendAttr("yoff", Int(uy % 8));
  object->AppendAttr("level", Int(FLevel));
  object->AppendAttr("readonly", Flag(FReadOnly));
  object->AppendAttr("front", Int(FFrontColor));
  object->AppendAttr("back", Int(FBackColor));
  object->AppendAttr("strong", Flag(FStrong));
  object->AppendAttr("italic", Flag(FItalic));
  object->AppendAttr("size", Int(FFontSize));
  object->AppendAttr("transparent", Flag(FTransparent));
  if (!FVisVariable.empty()) {
    object->AppendAttr("visvar", FVisVariable);
    object->AppendAttr("vistype", FVisInfo.typeName);
  }
  object->AppendAttr("visneg", Flag(FVisNeg));
  if (!FClickXVariable.empty()) object->AppendAttr("clickxvar", FClickXVariable);
  if (!FClickYVariable.empty()) object->AppendAttr("clickyvar", FClickYVariable);
  if (!FClickColorVariable.empty()) object->AppendAttr("clickcol", FClickColorVariable);
  object->AppendAttr("Uid", Int(FUid));
  if (FLayer != 0) object->AppendAttr("layer", Int(FLayer));
  if (!Hint.empty()) object->AppendAttr("hint", Hint);

  if (withLanguages && FXmlNode != nullptr) {
    if (const TmyXmlNode* lang = FXmlNode->FindChild("lang")) {
      TmyXmlNode* copy = object->InsertFirstChild("lang");
      copy->CopyChildren(lang);
    }
  }

  const char* element = GridWebKindElement(FKind);
  if (*element == '\0') return;
  TmyXmlNode* k = object->AddChild(element);
  k->closed = true;
  auto var = [&] {
    k->AppendAttr("variable", FVariable);
    k->AppendAttr("type", FVarInfo.typeName);
  };
  auto href = [&] {
    if (!FHref.empty()) k->AppendAttr("href", FHref);
  };
  switch (FKind) {
    case wkLabel:
      if (!FVariable.empty()) var();
      href();
      break;
    case wkEdit:
    case wkEditLocal: {
      var();
      k->AppendAttr("intf", Int(FIntFormat));
      k->AppendAttr("timf", FTimeFormat);
      k->AppendAttr("align", FAlignRight ? "right" : FAlignCenter ? "center" : "left");
      k->AppendAttr("zero", Flag(FZero));
      k->AppendAttr("prec", Int(FPrecision));
      k->AppendAttr("size", Int(FSize));
      k->AppendAttr("global", FKind == wkEdit ? "true" : "false");
      k->AppendAttr("border", Flag(FBorder));
      const TSize size = EditFieldXmlSize();
      k->AppendAttr("width", Int(size.cx));
      k->AppendAttr("height", Int(size.cy));
      if (FLimits) {
        k->AppendAttr("lolim", FLoLimit);
        k->AppendAttr("hilim", FHiLimit);
      }
      k->AppendAttr("tabindex", Int(FTabIndex));
      if (FPassword) k->AppendAttr("pass", "true");
      break;
    }
    case wkImage:
      k->AppendAttr("optcap", FOptCaption);
      var();
      k->AppendAttr("on", FOnImage);
      k->AppendAttr("off", FOffImage);
      if (FGlobal) k->AppendAttr("global", "true");
      href();
      break;
    case wkSubmit:
      k->AppendAttr("width", Int(static_cast<long long>(Width()) - FPadX));
      k->AppendAttr("height", Int(static_cast<long long>(Height()) - FPadY));
      k->AppendAttr("border", Flag(FBorder));
      if (!FVariable.empty()) {
        var();
        k->AppendAttr("value", FValue);
      }
      k->AppendAttr("tabindex", Int(FTabIndex));
      break;
    case wkPicture:
      k->AppendAttr("href", FHref);
      k->AppendAttr("img", FOffImage);
      break;
    case wkCamera:
      k->AppendAttr("href", FHref);
      k->AppendAttr("width", Int(static_cast<long long>(Width()) - FPadX));
      k->AppendAttr("height", Int(static_cast<long long>(Height()) - FPadY));
      k->AppendAttr("refresh", Int(FSize));
      k->AppendAttr("delimiter", FDelimiter);
      break;
    case wkBlock:
      if (FDynamic) k->AppendAttr("dynamic", "true");
      k->AppendAttr("width", Int(static_cast<long long>(FContentWidth) - FPadX));
      k->AppendAttr("height", Int(static_cast<long long>(FContentHeight) - FPadY));
      k->AppendAttr("border", Flag(FBorder));
      if (FDynamic) {
        if (FColorMode) {
          k->AppendAttr("color", "1");
        } else {
          k->AppendAttr("horz", Bit(FHorz));
          k->AppendAttr("natv", Bit(FNatv));
        }
      }
      if (FGradient) k->AppendAttr("gradient", "true");
      href();
      if (!FVariable.empty()) {
        var();
        if (!FDynamic) k->AppendAttr("value", FValue);
      }
      break;
    case wkMultiImage:
      var();
      k->AppendAttr("count", Int(GetImageCount()));
      href();
      k->closed = false;
      for (int i = 0; i < GetImageCount(); ++i) {
        TmyXmlNode* img = k->AddChild("img");
        img->closed = true;
        img->AppendAttr("name", GetImageName(i));
      }
      break;
    case wkPostFile:
      k->AppendAttr("variable", FVariable);
      if (!FOptCaption.empty()) k->AppendAttr("warning", FOptCaption);
      k->AppendAttr("type", FVarInfo.typeName);
      k->AppendAttr("border", Flag(FBorder));
      break;
    case wkImageBtn:
      k->AppendAttr("variable", FVariable);
      k->AppendAttr("value", FValue);
      k->AppendAttr("timeout", Int(FTimeout));
      k->AppendAttr("type", FVarInfo.typeName);
      k->AppendAttr("on", FOnImage);
      k->AppendAttr("off", FOffImage);
      href();
      break;
    case wkStrImg:
      k->AppendAttr("width", Int(static_cast<long long>(FContentWidth) - FPadX));
      k->AppendAttr("height", Int(static_cast<long long>(FContentHeight) - FPadY));
      var();
      break;
    case wkCanvas:
      k->AppendAttr("width", Int(static_cast<long long>(FContentWidth) - FPadX));
      k->AppendAttr("height", Int(static_cast<long long>(FContentHeight) - FPadY));
      k->AppendAttr("variable", FVariable);
      k->AppendAttr("datavariable", FDataVariable);
      k->closed = GetImageCount() == 0;
      for (int i = 0; i < GetImageCount(); ++i) {
        TmyXmlNode* img = k->AddChild("img");
        img->closed = true;
        img->AppendAttr("longname", GetImageName(i));
      }
      break;
    case wkIFrame:
      if (!FVariable.empty()) var();
      k->AppendAttr("width", Int(static_cast<long long>(FContentWidth) - FPadX));
      k->AppendAttr("height", Int(static_cast<long long>(FContentHeight) - FPadY));
      k->AppendAttr("href", FHref);
      k->AppendAttr("noscroll", Bit(FNoScroll));
      k->closed = false;
      break;
    case wkDropDown:
      k->AppendAttr("global", Flag(FGlobal));
      var();
      k->AppendAttr("size", Int(FSize));
      k->AppendAttr("border", Flag(FBorder));
      k->closed = false;
      FOptions.SaveToXml(k);
      break;
    default: break;
  }
}
