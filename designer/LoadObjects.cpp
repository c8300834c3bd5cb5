// TFormDesign1::LoadObjects: a page's `object` nodes become page objects on a
// design surface. The kind element decides the kind and is read first, then
// the object is wired to the designer and placed, then the `object` node's own
// attributes are read (so they win over the kind element's), then its texts
// in the editor's language; the position and the variable look-up come last.
// The attributes are read by the tables of grid/ObjectXmlFormat.cpp; the kind
// table below holds what the designer adds to each kind.

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "core/HostEnvironment.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/XmlBuildArena.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "grid/ObjectXmlFormat.h"
#include "grid/PictureLoading.h"
#include "grid/ScrollPositions.h"
#include "grid/StringDualListLang.h"
#include "platform/vcl/SysUtils.h"

namespace {

// A file-upload field is this many characters wide.
constexpr int kPostFileSize = 23;
// Some objects of the page could not be loaded; they are kept unchanged in the page:
constexpr int kObjectsNotLoadedTextId = 7396;
constexpr int kObjectLineTextId = 7397;    // Object %d: %s
constexpr int kUnknownKindTextId = 7398;   // unknown kind "%s"
constexpr int kNoKindTextId = 7399;        // no kind element
constexpr int kUnknownErrorTextId = 7400;  // unknown error

// What reading an object asks of the designer.
class TDesignerReadHost final : public TObjectReadHost {
 public:
  TDesignerReadHost(TFormDesign1& designer, TmyXmlNode& object) : designer_(designer), object_(object) {}

  // The picture hook that page objects use too (bound to GetImagePath).
  const char* PictureFile(const std::string& name) const override {
    return gGridImagePath != nullptr ? gGridImagePath(name) : designer_.GetImagePath(name);
  }
  bool EditorLangText(const std::string& attr, std::string& text) const override {
    return designer_.GetLangText(&object_, attr, text, designer_.FEditorLangCode);
  }
  bool FlattensVariableNames() const override { return gFlattenVariableNames; }
  int TakeUid() override { return designer_.Document().TakeUid(); }

 private:
  TFormDesign1& designer_;
  TmyXmlNode& object_;
};

// --- what the designer adds to each kind ---------------------------------------------

void NoStep(TFormDesign1&, TObjectReading&) {}
void PresetFieldSize(TFormDesign1&, TObjectReading& r) { r.element->FSize = kDefaultSize; }
void PresetIFrame(TFormDesign1&, TObjectReading& r) { r.forcedReadOnly = true; }
void PresetPostFile(TFormDesign1& d, TObjectReading& r) {
  r.element->FSize = kPostFileSize;
  r.element->FUploadState = d.FUploadState;
}

void NoClosing(TFormDesign1&, TObjectReading&, const TmyXmlNode&, const TmyXmlNode&) {}
// Every `img` child adds a picture (other children are skipped).
void AddPictures(TObjectReading& r, const TmyXmlNode& kindElement, const char* nameAttribute) {
  for (TmyXmlNode* img = kindElement.firstChild; img != nullptr; img = img->next)
    if (img->name == "img") r.element->AddImage(img->GetAttr(nameAttribute), false);
}
void StatePictures(TFormDesign1&, TObjectReading& r, const TmyXmlNode&, const TmyXmlNode& kindElement) {
  AddPictures(r, kindElement, "name");
}
void CanvasPictures(TFormDesign1&, TObjectReading& r, const TmyXmlNode&, const TmyXmlNode& kindElement) {
  AddPictures(r, kindElement, "longname");
}
void JoinDownloadQueue(TFormDesign1& d, TObjectReading& r, const TmyXmlNode&, const TmyXmlNode&) {
  r.element->FRecvQueue = d.FRecvQueue;
}
// A block given a variable but no value shows the variable.
void DynamicRule(TFormDesign1&, TObjectReading& r, const TmyXmlNode&, const TmyXmlNode&) {
  if (!r.hadValue && !r.element->GetVariable().empty()) r.element->FDynamic = true;
}
// The options with their texts in the editor's language.
void OptionList(TFormDesign1& d, TObjectReading& r, const TmyXmlNode& object, const TmyXmlNode& kindElement) {
  if (d.FLangMutations) {
    TStringDualListLang options(d.FEditorLangCode, d.FLangCodes, false);
    options.LoadFromXml(&object);
    options.CopyEditorTexts(r.element->FOptions);
  } else {
    r.element->FOptions.ClearAndLoad(&kindElement);
  }
}

struct TKindReading {
  TGridWebKind kind;
  // Before the kind element's attributes.
  void (*preset)(TFormDesign1& designer, TObjectReading& reading);
  // After them.
  void (*closing)(TFormDesign1& designer, TObjectReading& reading, const TmyXmlNode& object,
                  const TmyXmlNode& kindElement);
};

// The kind elements, found by their element's name: one for every kind but 2,
// which shares the `edit` element (an `edit` starts as kind 1, and its
// `global` attribute may make it kind 2).
constexpr std::array<TKindReading, kKindCount - 1> kKindReadings = {{
    {wkLabel, NoStep, NoClosing},
    {wkEdit, PresetFieldSize, NoClosing},
    {wkImage, NoStep, NoClosing},
    {wkImageBtn, NoStep, NoClosing},
    {wkMultiImage, NoStep, StatePictures},
    {wkPicture, NoStep, NoClosing},
    {wkCamera, NoStep, NoClosing},
    {wkSubmit, NoStep, NoClosing},
    {wkStrImg, NoStep, JoinDownloadQueue},
    {wkIFrame, PresetIFrame, NoClosing},
    {wkBlock, NoStep, DynamicRule},
    {wkCanvas, NoStep, CanvasPictures},
    {wkPostFile, PresetPostFile, NoClosing},
    {wkDropDown, PresetFieldSize, OptionList},
}};

const TKindReading* KindReadingOf(const std::string& elementName) {
  const auto found = std::find_if(kKindReadings.begin(), kKindReadings.end(),
                                  [&](const TKindReading& k) { return elementName == GridWebKindElement(k.kind); });
  return found != kKindReadings.end() ? &*found : nullptr;
}

int ClampToInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)); }

// Why an `object` node without a kind element this designer knows cannot be
// read: the first child that is no language text names the kind.
std::string MissingKindReason(const TmyXmlNode& object) {
  for (const TmyXmlNode* c = object.firstChild; c != nullptr; c = c->next)
    if (c->name != "lang") return Format(GetUiText(kUnknownKindTextId), c->name);
  return GetUiText(kNoKindTextId);
}

}  // namespace

std::unique_ptr<TGridWebElement> TFormDesign1::ReadKindElement(TmyXmlNode* node, TWinControl* parent,
                                                               const TScroll& scroll, TObjectReading& reading) {
  std::unique_ptr<TGridWebElement> element;
  for (TmyXmlNode* child = node->firstChild; child != nullptr; child = child->next) {
    const TKindReading* kind = KindReadingOf(child->name);
    if (kind == nullptr) continue;
    // A further kind element starts the object anew: the earlier one goes.
    element.reset();
    element = std::make_unique<TGridWebElement>(parent, &FGlobalWebData, FLayers, FUnitPixels, scroll.x, scroll.y, 1, 1,
                                                kind->kind, node);
    reading = TObjectReading{element.get(), reading.host};
    kind->preset(*this, reading);
    ReadKindAttributes(reading, *child);
    kind->closing(*this, reading, *node, *child);
  }
  return element;
}

void TFormDesign1::WireObject(TGridWebElement& element, TWinControl* parent) {
  element.OnDblClick = BridgeOfKind(element.Kind());
  element.FOnBeforeMove = {this, &TFormDesign1::ObjectBeforeMove};
  element.FOnBeforeResize = {this, &TFormDesign1::ObjectBeforeResize};
  element.FOnMoved = {this, &TFormDesign1::UpdateScrollExtentHandler};
  element.SetEditPopup(CommonEditPopup1);
  element.FOnHyperLink = {this, &TFormDesign1::ChangeToPageByName};
  element.OnDragOver = {this, &TFormDesign1::ObjectDragOver};
  element.OnDragDrop = {this, &TFormDesign1::ObjectDragDrop};
  element.SetLiveModeFlag(&FLiveMode);
  element.FGridX = &FGridX;
  element.FGridY = &FGridY;
  element.SetPopupMenuItem(ObjectPopup);
  element.OnMouseMove = {this, &TFormDesign1::ObjectMouseMove};
  element.SetParent(parent);
}

TGridWebElement* TFormDesign1::ReadObject(TmyXmlNode* node, TWinControl* parent, const TScroll& scroll) {
  TDesignerReadHost host(*this, *node);
  TObjectReading reading{nullptr, &host};
  // Until it is placed and read whole, the reader holds the object: an
  // exception frees it.
  std::unique_ptr<TGridWebElement> element = ReadKindElement(node, parent, scroll, reading);
  if (element == nullptr) return nullptr;
  WireObject(*element, parent);
  ReadObjectAttributes(reading, *node);
  std::string text;
  if (GetLangText(node, "caption", text, FEditorLangCode)) element->SetCaption(text);
  text.clear();
  if (GetLangText(node, "hint", text, FEditorLangCode)) element->Hint = text;
  if (!reading.hadUid) element->FUid = Document().TakeUid();
  element->SetPosition(ClampToInt(reading.posX), ClampToInt(reading.posY));
  element->ResolveVariables();
  element->SetShowHint(true);
  // Alignment, the object list and the insertion frame measure objects
  // before the surface is painted.
  element->TakeDrawnSize();
  // The surface owns it from here.
  return element.release();
}

void TFormDesign1::KeepUnreadObject(TmyXmlNode* node, TWinControl* parent, const TScroll& scroll, int index,
                                    const std::string& reason) {
  WriteTraceLog("Load objects - object " + std::to_string(index) + " kept unchanged: " + reason);
  FLoadFailures.push_back(Format(GetUiText(kObjectLineTextId), index, reason));
  // A hidden stand-in keeps the node in the object order and writes it back
  // when the page is saved; the surface owns it.
  auto* standIn =
      new TGridWebElement(parent, &FGlobalWebData, FLayers, FUnitPixels, scroll.x, scroll.y, 1, 1, -1, nullptr);
  standIn->KeepUnreadNode(node);
  standIn->SetParent(parent);
}

void TFormDesign1::LoadObjects(TmyXmlNode* container, TWinControl* parent) {
  FLoadFailures.clear();
  if (container == nullptr) return;
  TScroll scroll;
  ScrollPositionsOf(parent, scroll.x, scroll.y);
  // Each object keeps a copy of its node, about 18 nodes, attributes and
  // texts: the copies are carved from one arena instead of taken from the
  // heap one by one, and leaving the page gives its blocks back whole.
  const TXmlBuildArena copies{container};
  int index = 0;
  for (TmyXmlNode* node = container->firstChild; node != nullptr; node = node->next) {
    if (node->name != "object") continue;
    ++index;
    std::string reason;
    try {
      if (ReadObject(node, parent, scroll) != nullptr) continue;
      reason = MissingKindReason(*node);
    } catch (const std::exception& e) {
      WriteTraceLog("Load objects - Exception");
      reason = e.what();
    } catch (...) {
      WriteTraceLog("Load objects - Exception");
      reason = GetUiText(kUnknownErrorTextId);
    }
    // The object stays in the page as it was.
    KeepUnreadObject(node, parent, scroll, index, reason);
  }
  if (!FLoadFailures.empty()) {
    std::string text = GetUiText(kObjectsNotLoadedTextId);
    for (const std::string& line : FLoadFailures) text += "\n" + line;
    ShowPlainMessage(text);
  }
}
