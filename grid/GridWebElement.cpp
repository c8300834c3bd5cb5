#include "grid/GridWebElement.h"

#include <algorithm>
#include <array>
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

// A new element is this many units wide and high.
constexpr int kNewWidthUnits = 17;
constexpr int kNewHeightUnits = 3;
// The transparent colours of the built-in bitmaps: the broken-picture sign
// and the drop-down arrow.
constexpr TColor kBrokenTransparent = static_cast<TColor>(0x800080);
constexpr TColor kDropDownTransparent = static_cast<TColor>(0xFFFFFF);

// The kind elements and kind captions (UI text ids) by kind code; the block's
// caption depends on its modes (BlockCaptionId).
constexpr std::array<const char*, kKindCount> kKindElements = {"label",    "edit",   "edit",   "image",  "submit",
                                                               "picture",  "camera", "block",  "mulimg", "postfile",
                                                               "imagebtn", "strimg", "canvas", "iframe", "dropdown"};
constexpr std::array<int, kKindCount> kKindCaptionIds = {7002, 7003, 7004, 7005, 7006, 7007, 7008, 0,
                                                         7173, 7234, 7237, 7243, 7266, 7283, 7313};
constexpr int kRectangleCaptionId = 7137;
constexpr int kDynamicBarCaptionId = 7138;
constexpr int kColorRectangleCaptionId = 7245;

bool IsKnownKind(int kind) { return kind >= 0 && kind < kKindCount; }

// A built-in bitmap of the program's resources, transparent in the given
// colour; an empty picture when the resource is missing or unreadable.
std::unique_ptr<TPicture> BuiltInPicture(const char* resourceName, TColor transparentColor) {
  auto picture = std::make_unique<TPicture>();
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

const char* GridWebKindElement(int kind) { return IsKnownKind(kind) ? kKindElements[kind] : ""; }

std::string GridWebKindCaption(int kind, bool dynamic, bool colorMode) {
  if (!IsKnownKind(kind)) return "?";
  if (kind == wkBlock)
    return GetUiText(!dynamic ? kRectangleCaptionId : colorMode ? kColorRectangleCaptionId : kDynamicBarCaptionId);
  return GetUiText(kKindCaptionIds[kind]);
}

TGridWebElement::TGridWebElement(TComponent* owner, TGlobalWebData* globalData, TLayer* layers, int unitPixels,
                                 int scrollX, int scrollY, int posX, int posY, int kind, const TmyXmlNode* source)
    : TGridGraphic(owner, unitPixels) {
  FGlobalData = globalData;
  FResolver = std::make_unique<TPlaceholderResolver>(globalData);
  FLayers = layers;
  FTabIndex = -1;
  FLayer = 0;
  // The copy of the source comes from the build arena open for the source's
  // parent (the page loader's, XmlBuildArena.h), else from the heap.
  FXmlNode.reset(TmyXmlNode::NewFor("object", source != nullptr ? source->parent : nullptr));
  if (source != nullptr) {
    FXmlNode->CopyFrom(source);
    FXmlNode->CopyChildren(source);
  }
  FTimeout = kDefaultTimeout;
  FContentWidth = Width();
  FContentHeight = Height();
  FFontSize = kDefaultFontSize;
  FFrontColor = 0;
  FBackColor = -1;
  FTransparent = true;
  FBorder = true;
  FVarValid = true;
  SetElementPosition(posX, posY);
  SetBounds(Left() - scrollX, Top() - scrollY, kNewWidthUnits * unitPixels, kNewHeightUnits * unitPixels);
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
    case wkStrImg:
      brokenPicture_ = BuiltInPicture("BROKEN_BMP", kBrokenTransparent);
      FBrokenPicture = brokenPicture_.get();
      break;
    case wkDropDown:
      dropDownPicture_ = BuiltInPicture("DROPDOWN_BMP", kDropDownTransparent);
      FDropDownPicture = dropDownPicture_.get();
      break;
    default: break;
  }
  onPicture_ = std::make_unique<TPicture>();
  offPicture_ = std::make_unique<TPicture>();
  FOnPicture = onPicture_.get();
  FOffPicture = offPicture_.get();
  FSize = kDefaultSize;
  FGridX = FGridY = nullptr;
}

TGridForgetQueuedPicture gGridForgetQueuedPicture = nullptr;

// The pictures, nodes, image list and resolver go with their owners; the
// timer is a component of the element and goes with it.
TGridWebElement::~TGridWebElement() {
  // A queued download must never report to a freed element.
  if (FKind == wkStrImg && FRecvQueue != nullptr && gGridForgetQueuedPicture != nullptr)
    gGridForgetQueuedPicture(FRecvQueue, this);
}

void TGridWebElement::ImageBtnTimer(TObject*) {
  if (FTimer != nullptr) FTimer->SetEnabled(false);
  Repaint();
}

std::string TGridWebElement::GetKindCaption() const { return GridWebKindCaption(FKind, FDynamic, FColorMode); }

bool TGridWebElement::IsGroupLocked() const { return FGlobalData != nullptr && FGlobalData->GroupLocked; }

void TGridWebElement::KeepUnreadNode(const TmyXmlNode* node) {
  FUnreadNode = std::make_unique<TmyXmlNode>(node != nullptr ? node->name : std::string("object"));
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

namespace {

// The grid points of a step g are the positions 1 + k * g. A position off
// the grid goes to ((g div 2 + pos) div g) * g + 1; one on the grid stays,
// so that snapping again never moves an object (the rounding would move a
// point of a step of 1 or 2 one step on). Past the largest position the
// grid point below is taken (the rounding never goes below the smallest).
int SnapPosition(int pos, int g) {
  const long long fromFirst = static_cast<long long>(pos) - 1;
  if (fromFirst % g == 0) return pos;
  long long snapped = ((g / 2 + static_cast<long long>(pos)) / g) * g + 1;
  if (snapped > INT32_MAX) snapped -= g;
  return static_cast<int>(snapped);
}

int GridStep(const int* step) { return step != nullptr && *step > 0 ? *step : 1; }

}  // namespace

TPoint TGridWebElement::SnapToGrid() {
  SetElementPosition(SnapPosition(FPosX, GridStep(FGridX)), SnapPosition(FPosY, GridStep(FGridY)));
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
  return ExpandPlaceholders(FResolver.get(), text);
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

int TGridWebElement::GetImageCount() const { return FImages.Count(); }

std::string TGridWebElement::GetImageName(int index) const {
  if (index < 0 || index >= FImages.Count()) return {};
  return FImages.Name(index);
}

TPicture* TGridWebElement::GetImagePicture(int index) const {
  if (index < 0 || index >= FImages.Count()) return nullptr;
  return FImages.Picture(index);
}

int TGridWebElement::AddImage(const std::string& name, bool force) {
  std::unique_ptr<TPicture> loaded;
  if (FImages.Count() == 0 || force) {
    std::string fileName = name;
    if (FKind == wkCanvas && FGlobalData != nullptr) fileName = FGlobalData->Images.Lookup(name);
    const char* path = gGridImagePath != nullptr ? gGridImagePath(fileName) : nullptr;
    if (path != nullptr && GridFileExists(path)) {
      loaded = std::make_unique<TPicture>();
      LoadGridPicture(*loaded, path);
    }
  }
  FImages.Add(name, std::move(loaded));
  return FImages.Count();
}

void TGridWebElement::ClearImages() { FImages.Clear(); }

void TGridWebElement::RenameImage(const std::string& oldName, const std::string& newName) {
  for (int i = 0; i < FImages.Count(); ++i)
    if (FImages.Name(i) == oldName) FImages.Rename(i, newName);
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
