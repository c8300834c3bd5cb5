#include "grid/GridWebElement.h"

#include <algorithm>
#include <exception>

#include "core/UiText.h"
#include "core/XmlNode.h"
#include "grid/PictureLoading.h"
#include "grid/ScrollPositions.h"
#include "grid/VariableInfo.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/Streams.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/Timer.h"
#include "platform/win/Resources.h"

namespace {

// A built-in bitmap of the program's resources, transparent in the given
// colour; an empty picture when the resource is missing or unreadable.
TPicture* BuiltInPicture(const char* resourceName, TColor transparentColor) {
  auto* picture = new TPicture();
  try {
    TBitmap bitmap;
    bitmap.LoadFromResourceName(HInstance, resourceName);
    bitmap.SetTransparentColor(transparentColor);
    bitmap.SetTransparent(true);
    picture->Assign(&bitmap);
  } catch (const std::exception&) {
    // No such resource in this build: the element draws without it.
  }
  return picture;
}

}  // namespace

const char* GridWebKindElement(int kind) {
  static const char* const names[] = {"label",    "edit",   "edit",   "image",  "submit",
                                      "picture",  "camera", "block",  "mulimg", "postfile",
                                      "imagebtn", "strimg", "canvas", "iframe", "dropdown"};
  return kind >= 0 && kind <= 14 ? names[kind] : "";
}

std::string GridWebKindCaption(int kind, bool dynamic, bool colorMode) {
  static const int ids[] = {7002, 7003, 7004, 7005, 7006, 7007, 7008, 0, 7173, 7234, 7237, 7243, 7266, 7283, 7313};
  if (kind < 0 || kind > 14) return "?";
  if (kind == wkBlock) return GetUiText(!dynamic ? 7137 : colorMode ? 7245 : 7138);
  return GetUiText(ids[kind]);
}

TGridWebElement::TGridWebElement(TComponent* owner, TGlobalWebData* globalData, TLayer* layers, int unitPixels,
                                 int scrollX, int scrollY, int posX, int posY, int kind, const TmyXmlNode* source)
    : TGridGraphic(owner, unitPixels) {
  FGlobalData = globalData;
  FResolver = new TPlaceholderResolver(globalData);
  FLayers = layers;
  FTabIndex = -1;
  FLayer = 0;
  FXmlNode = new TmyXmlNode("object");
  if (source != nullptr) {
    FXmlNode->CopyFrom(source);
    FXmlNode->CopyChildren(source);
  }
  FTimeout = 500;
  FContentWidth = Width();
  FContentHeight = Height();
  FFontSize = 13;
  FFrontColor = 0;
  FBackColor = -1;
  FTransparent = true;
  FBorder = true;
  FVarValid = true;
  SetElementPosition(posX, posY);
  SetBounds(Left() - scrollX, Top() - scrollY, 17 * unitPixels, 3 * unitPixels);
  FKind = kind;
  switch (kind) {
    case wkLabel: FCaption = "Label"; break;
    case wkSubmit: FCaption = "Submit"; break;
    case wkCamera: FDelimiter = "?"; break;
    case wkImageBtn:
      FTimer = new TTimer(this);
      FTimer->SetEnabled(false);
      FTimer->SetInterval(static_cast<unsigned>(FTimeout));
      FTimer->OnTimer = {this, &TGridWebElement::ImageBtnTimer};
      break;
    case wkStrImg: FBrokenPicture = BuiltInPicture("BROKEN_BMP", static_cast<TColor>(0x800080)); break;
    case wkDropDown: FDropDownPicture = BuiltInPicture("DROPDOWN_BMP", static_cast<TColor>(0xFFFFFF)); break;
    default: break;
  }
  FOnPicture = new TPicture();
  FOffPicture = new TPicture();
  FSize = 3;
  FImages = new TStringList();
  FGridX = FGridY = nullptr;
}

TGridForgetQueuedPicture gGridForgetQueuedPicture = nullptr;

TGridWebElement::~TGridWebElement() {
  // A queued download must never report to a freed element.
  if (FKind == wkStrImg && FRecvQueue != nullptr && gGridForgetQueuedPicture != nullptr)
    gGridForgetQueuedPicture(FRecvQueue, this);
  delete FBrokenPicture;
  delete FDropDownPicture;
  delete FTimer;
  delete FXmlNode;
  delete FUnreadNode;
  delete FOnPicture;
  delete FOffPicture;
  ClearImages();
  delete FImages;
  delete FResolver;
}

void TGridWebElement::ImageBtnTimer(TObject*) {
  if (FTimer != nullptr) FTimer->SetEnabled(false);
  Repaint();
}

std::string TGridWebElement::GetKindCaption() const { return GridWebKindCaption(FKind, FDynamic, FColorMode); }

bool TGridWebElement::IsGroupLocked() const { return FGlobalData != nullptr && FGlobalData->GroupLocked; }

void TGridWebElement::KeepUnreadNode(const TmyXmlNode* node) {
  delete FUnreadNode;
  FUnreadNode = new TmyXmlNode(node != nullptr ? node->name : std::string("object"));
  if (node != nullptr) {
    FUnreadNode->CopyFrom(node);
    FUnreadNode->CopyChildren(node);
  }
  SetVisible(false);
}

bool TGridWebElement::CanSelect() {
  if (FUnreadNode != nullptr) return false;
  if (FLayers == nullptr) return true;
  if (FLayer >= 0 && FLayer < kLayerCount) {
    const TLayer& layer = FLayers[FLayer];
    if (layer.Frozen || !layer.Visible) return false;
  }
  return !IsGroupLocked();
}

TRect TGridWebElement::GetRect() { return {Left(), Top(), Left() + Width(), Top() + Height()}; }

void TGridWebElement::SetPosition(int posX, int posY) { SetElementPosition(posX, posY); }

void TGridWebElement::SetElementPosition(int posX, int posY) {
  FPosX = posX;
  FPosY = posY;
  int sx = 0, sy = 0;
  ScrollPositionsOf(this, sx, sy);
  const long long left = std::max(0LL, (static_cast<long long>(posX) - 1) * FUnitPixels) - sx;
  const long long top = std::max(0LL, (static_cast<long long>(posY) - 1) * FUnitPixels) - sy;
  SetBounds(static_cast<int>(std::clamp<long long>(left, INT32_MIN, INT32_MAX)),
            static_cast<int>(std::clamp<long long>(top, INT32_MIN, INT32_MAX)), Width(), Height());
}

TPoint TGridWebElement::SnapToGrid() {
  const int gx = FGridX != nullptr && *FGridX > 0 ? *FGridX : 1;
  const int gy = FGridY != nullptr && *FGridY > 0 ? *FGridY : 1;
  // A step of 1 is no grid: the position stays (the rounding below would
  // otherwise move it one unit on every snap).
  auto snap = [](int pos, int g) -> int {
    if (g == 1) return pos;
    const long long v = ((g / 2 + static_cast<long long>(pos)) / g) * g + 1;
    return static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
  };
  SetElementPosition(snap(FPosX, gx), snap(FPosY, gy));
  return {FPosX, FPosY};
}

void TGridWebElement::SetZoom(int newUnitPixels) {
  if (FUnitPixels <= 0 || newUnitPixels <= 0) return;
  int sx = 0, sy = 0;
  ScrollPositionsOf(this, sx, sy);
  auto scale = [&](int pos, int scroll) {
    const long long v = (static_cast<long long>(pos) + scroll) / FUnitPixels * newUnitPixels - scroll;
    return static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
  };
  SetBounds(scale(Left(), sx), scale(Top(), sy), Width(), Height());
  FUnitPixels = newUnitPixels;
}

void TGridWebElement::SetContentWidth(int w) {
  FContentWidth = w;
  SetWidth(w);
}

void TGridWebElement::SetContentHeight(int h) {
  FContentHeight = h;
  SetHeight(h);
}

void TGridWebElement::SetVariable(const std::string& text) {
  FVariable = text;
  if (FKind != wkCanvas) return;
  const std::string base = GetVariableBase();
  if (base.empty()) return;
  FDataVariable = base + ".buf";
  if (!FClickXVariable.empty()) {
    FClickXVariable = base + ".touch.X";
    FClickYVariable = base + ".touch.Y";
  }
  if (!FClickColorVariable.empty()) FClickColorVariable = base + ".touch.Color";
}

std::string TGridWebElement::GetVariableBase() const {
  const std::size_t dot = FVariable.find('.');
  return dot == std::string::npos ? std::string() : FVariable.substr(0, dot);
}

std::string TGridWebElement::ResolvePlaceholders(const std::string& text) const {
  return ExpandPlaceholders(FResolver, text);
}

void TGridWebElement::ResolveVariables() {
  LookUpGridVariable(GetResolvedVariable(), FVarInfo);
  LookUpGridVariable(GetResolvedVisVariable(), FVisInfo);
  LookUpGridVariable(GetResolvedDataVariable(), FDataInfo);
  LookUpGridVariable(GetResolvedClickXVariable(), FClickXInfo);
  LookUpGridVariable(GetResolvedClickYVariable(), FClickYInfo);
  LookUpGridVariable(GetResolvedClickColorVariable(), FClickColorInfo);
}

void TGridWebElement::LoadPicture(TPicture* picture, std::string& nameField, const std::string& name,
                                  const char* path) {
  nameField = name;
  if (path == nullptr || !GridFileExists(path)) {
    picture->Assign(static_cast<const TGraphic*>(nullptr));
    return;
  }
  LoadGridPicture(*picture, path);
}

void TGridWebElement::LoadOnImage(const std::string& name, const char* path) {
  LoadPicture(FOnPicture, FOnImage, name, path);
}

void TGridWebElement::LoadOffImage(const std::string& name, const char* path) {
  LoadPicture(FOffPicture, FOffImage, name, path);
}

int TGridWebElement::GetImageCount() const { return FImages != nullptr ? FImages->Count() : 0; }

std::string TGridWebElement::GetImageName(int index) const {
  if (FImages == nullptr || index < 0 || index >= FImages->Count()) return {};
  return FImages->Strings(index);
}

TPicture* TGridWebElement::GetImagePicture(int index) const {
  if (FImages == nullptr || index < 0 || index >= FImages->Count()) return nullptr;
  return static_cast<TPicture*>(FImages->Objects(index));
}

int TGridWebElement::AddImage(const std::string& name, bool force) {
  if (FImages == nullptr) return 0;
  TPicture* loaded = nullptr;
  if (FImages->Count() == 0 || force) {
    std::string fileName = name;
    if (FKind == wkCanvas && FGlobalData != nullptr) fileName = FGlobalData->Images.Lookup(name);
    const char* path = gGridImagePath != nullptr ? gGridImagePath(fileName) : nullptr;
    if (path != nullptr && GridFileExists(path)) {
      auto* picture = new TPicture();
      try {
        LoadGridPicture(*picture, path);
      } catch (...) {
        delete picture;
        throw;
      }
      loaded = picture;
    }
  }
  // A sorted list is never used here, so the entry is always appended.
  FImages->AddObject(name, loaded);
  return FImages->Count();
}

void TGridWebElement::ClearImages() {
  if (FImages == nullptr) return;
  // The loaded pictures belong to the list's entries.
  for (int i = 0; i < FImages->Count(); ++i) delete static_cast<TPicture*>(FImages->Objects(i));
  FImages->Clear();
}

void TGridWebElement::RenameImage(const std::string& oldName, const std::string& newName) {
  if (FImages == nullptr) return;
  for (int i = 0; i < FImages->Count(); ++i)
    if (FImages->Strings(i) == oldName) FImages->SetStrings(i, newName);
}

TSize TGridWebElement::GetImagesMaxSize() const {
  int w = 0, h = 0;
  bool any = false;
  for (int i = 0; i < GetImageCount(); ++i) {
    const TPicture* picture = GetImagePicture(i);
    if (picture == nullptr) continue;
    any = true;
    w = std::max(w, picture->Width());
    h = std::max(h, picture->Height());
  }
  if (!any) return {0, 0};
  return {w + FPadX, h + FPadY};
}
