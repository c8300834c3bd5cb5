// TFormDesign1::LoadObjects: a page's `object` nodes become page objects on a
// design surface. The kind element decides the kind and is read first, then
// the object is wired to the designer and placed, then the `object` node's own
// attributes are read (so they win over the kind element's), then its texts
// in the editor's language; the position and the variable look-up come last.

#include <cstdint>
#include <exception>
#include <string>

#include "core/HostEnvironment.h"
#include "core/IecNames.h"
#include "core/IecTypes.h"
#include "core/TextEncoding.h"
#include "core/TraceLog.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "grid/PictureLoading.h"
#include "grid/ScrollPositions.h"
#include "grid/StringDualListLang.h"

namespace {

bool FlagTrue(const std::string& v) { return v == "true"; }
bool FlagOne(const std::string& v) { return v == "1"; }

// A whole decimal integer (optional sign, digits) within 32 bits.
bool StrictInt(const std::string& v, int& out) {
  std::size_t i = 0;
  bool negative = false;
  if (i < v.size() && (v[i] == '+' || v[i] == '-')) negative = v[i++] == '-';
  if (i >= v.size()) return false;
  long long n = 0;
  for (; i < v.size(); ++i) {
    if (v[i] < '0' || v[i] > '9') return false;
    n = n * 10 + (v[i] - '0');
    if (n > 2147483648LL) return false;
  }
  if (negative) n = -n;
  if (n > 2147483647LL) return false;
  out = static_cast<int>(n);
  return true;
}

int ClampToInt(long long v) { return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : static_cast<int>(v); }

int IntOr(const std::string& v, int d) {
  int n;
  return StrictInt(v, n) ? n : d;
}

std::string Decoded(const std::string& v) { return DecodeHtmlEntities(v); }

std::string Flattened(const std::string& v) {
  const std::string d = Decoded(v);
  return gFlattenVariableNames ? FlattenVariableName(d) : d;
}

void SetTypeOf(TPinVariable& info, const std::string& typeName) {
  info.typeName = typeName;
  info.typeCode = TypeCodeOfName(typeName.c_str());
}

int KindOfElement(const std::string& name) {
  static const struct {
    const char* name;
    int kind;
  } kinds[] = {{"label", wkLabel},       {"edit", wkEdit},        {"image", wkImage},   {"imagebtn", wkImageBtn},
               {"mulimg", wkMultiImage}, {"picture", wkPicture},  {"camera", wkCamera}, {"submit", wkSubmit},
               {"strimg", wkStrImg},     {"iframe", wkIFrame},    {"block", wkBlock},   {"canvas", wkCanvas},
               {"postfile", wkPostFile}, {"dropdown", wkDropDown}};
  for (const auto& k : kinds)
    if (name == k.name) return k.kind;
  return -1;
}

// The project's picture file of a name, through the hook that page objects
// use too (bound to the designer's GetImagePath).
const char* PictureFile(const TFormDesign1& designer, const std::string& name) {
  return gGridImagePath != nullptr ? gGridImagePath(name) : designer.GetImagePath(name);
}

bool KindIn(int kind, std::initializer_list<int> kinds) {
  for (int k : kinds)
    if (k == kind) return true;
  return false;
}

// What the reading of one object remembers between its steps.
struct TReadState {
  bool forcedReadOnly = false;
  bool blockHadValue = false;
};

}  // namespace

TGridWebElement* TFormDesign1::ReadObject(TmyXmlNode* node, TWinControl* parent, int scrollX, int scrollY) {
  TGridWebElement* element = nullptr;
  TReadState state;
  try {
    for (TmyXmlNode* child = node->firstChild; child != nullptr; child = child->next) {
      const int kind = KindOfElement(child->name);
      if (kind < 0) continue;
      // A further kind element starts the object anew: the earlier one goes.
      delete element;
      element = nullptr;
      state = TReadState{};
      element = new TGridWebElement(parent, &FGlobalWebData, FLayers, FUnitPixels, scrollX, scrollY, 1, 1, kind, node);
      element->OnDblClick = BridgeOfKind(kind);
      // Presettings.
      if (kind == wkEdit || kind == wkDropDown) element->FSize = 3;
      if (kind == wkIFrame) state.forcedReadOnly = true;
      if (kind == wkPostFile) {
        element->FSize = 23;
        element->FUploadState = FUploadState;
      }
      // The kind element's attributes, in document order.
      for (TmyXmlAttrNode* a = child->firstAttr; a != nullptr; a = a->next) {
        const std::string& n = a->name;
        const std::string& v = a->value;
        if (n == "href") {
          if (KindIn(kind, {wkLabel, wkImage, wkImageBtn, wkMultiImage, wkPicture, wkCamera, wkIFrame, wkBlock}))
            element->FHref = Decoded(v);
        } else if (n == "back" || n == "front" || n == "italic" || n == "strong" || n == "transparent") {
          if (kind != wkLabel) continue;
          if (n == "back")
            element->FBackColor = IntOr(v, 16777215);
          else if (n == "front")
            element->FFrontColor = IntOr(v, 0);
          else if (n == "italic")
            element->FItalic = FlagTrue(v);
          else if (n == "strong")
            element->FStrong = FlagTrue(v);
          else
            element->FTransparent = FlagTrue(v);
        } else if (n == "size") {
          if (kind == wkLabel)
            element->FFontSize = IntOr(v, 13);
          else if (kind == wkEdit || kind == wkDropDown) {
            const int size = IntOr(v, 3);
            element->FSize = size < 1 ? 1 : size;
          }
        } else if (n == "align") {
          if (kind != wkEdit) continue;
          element->FAlignRight = v == "right";
          element->FAlignCenter = v == "center";
        } else if (n == "border") {
          if (KindIn(kind, {wkEdit, wkSubmit, wkBlock, wkPostFile, wkDropDown})) element->FBorder = FlagTrue(v);
        } else if (n == "global") {
          if (kind == wkEdit) {
            const bool local = v == "false";
            element->SetKind(local ? wkEditLocal : wkEdit);
            element->OnDblClick = BridgeOfKind(local ? wkEditLocal : wkEdit);
          } else if (kind == wkImage || kind == wkDropDown) {
            element->FGlobal = FlagTrue(v);
          }
        } else if (n == "hilim" || n == "lolim") {
          if (kind != wkEdit) continue;
          element->FLimits = true;
          (n == "hilim" ? element->FHiLimit : element->FLoLimit) = v;
        } else if (n == "intf") {
          if (kind == wkEdit) element->FIntFormat = IntOr(v, 0);
        } else if (n == "pass") {
          if (kind == wkEdit) element->FPassword = FlagTrue(v);
        } else if (n == "prec") {
          if (kind == wkEdit) element->FPrecision = IntOr(v, 0);
        } else if (n == "timf") {
          if (kind == wkEdit) element->FTimeFormat = v;
        } else if (n == "zero") {
          if (kind == wkEdit) element->FZero = FlagTrue(v);
        } else if (n == "type") {
          if (KindIn(kind, {wkEdit, wkImage, wkImageBtn, wkMultiImage, wkSubmit, wkPostFile, wkDropDown}))
            SetTypeOf(element->FVarInfo, v);
        } else if (n == "tabindex") {
          if (KindIn(kind, {wkEdit, wkSubmit, wkDropDown})) element->FTabIndex = IntOr(v, -1);
        } else if (n == "variable") {
          // A label's variable is read too: the writer stores it, and a label
          // bound to a variable would otherwise lose it on every save.
          if (KindIn(kind, {wkPicture, wkCamera})) continue;
          element->SetVariable(Flattened(v));
          if (kind == wkIFrame) state.forcedReadOnly = false;
        } else if (n == "on" || n == "off") {
          if (kind != wkImage && kind != wkImageBtn) continue;
          const std::string name = Decoded(v);
          if (n == "on")
            element->LoadOnImage(name, PictureFile(*this, name));
          else
            element->LoadOffImage(name, PictureFile(*this, name));
        } else if (n == "img") {
          if (kind != wkPicture) continue;
          const std::string name = Decoded(v);
          element->LoadOffImage(name, PictureFile(*this, name));
        } else if (n == "optcap") {
          if (kind != wkImage) continue;
          element->SetOptCaption(Decoded(v));
          std::string text;
          if (GetLangText(node, "optcap", text, FEditorLangCode)) element->SetOptCaption(text);
        } else if (n == "warning") {
          if (kind == wkPostFile) element->SetOptCaption(Decoded(v));
        } else if (n == "value") {
          if (!KindIn(kind, {wkImageBtn, wkSubmit, wkBlock})) continue;
          element->SetValue(Decoded(v));
          if (kind == wkBlock) state.blockHadValue = true;
        } else if (n == "timeout") {
          if (kind == wkImageBtn) element->FTimeout = IntOr(v, 500);
        } else if (n == "delimiter") {
          if (kind == wkCamera) element->FDelimiter = Decoded(v);
        } else if (n == "refresh") {
          if (kind == wkCamera) element->FSize = IntOr(v, 3);
        } else if (n == "height" || n == "width") {
          const int size = IntOr(v, 8);
          if (kind == wkCamera || kind == wkSubmit) {
            if (n == "height")
              element->SetHeight(size);
            else
              element->SetWidth(size);
          } else if (KindIn(kind, {wkStrImg, wkIFrame, wkBlock, wkCanvas})) {
            if (n == "height")
              element->SetContentHeight(size);
            else
              element->SetContentWidth(size);
          }
        } else if (n == "noscroll") {
          if (kind == wkIFrame) element->FNoScroll = IntOr(v, 0) != 0;
        } else if (n == "horz") {
          if (kind == wkBlock) element->FHorz = FlagOne(v);
        } else if (n == "natv") {
          if (kind == wkBlock) element->FNatv = FlagOne(v);
        } else if (n == "dynamic") {
          if (kind == wkBlock) element->FDynamic = FlagTrue(v);
        } else if (n == "gradient") {
          if (kind == wkBlock) element->FGradient = FlagTrue(v);
        } else if (n == "color") {
          if (kind == wkBlock) element->FColorMode = FlagOne(v);
        } else if (n == "datavariable") {
          if (kind == wkCanvas) element->SetDataVariable(Decoded(v));
        }
      }
      // Closing steps.
      if (kind == wkMultiImage || kind == wkCanvas) {
        for (TmyXmlNode* img = child->firstChild; img != nullptr; img = img->next)
          if (img->name == "img") element->AddImage(img->GetAttr(kind == wkMultiImage ? "name" : "longname"), false);
      } else if (kind == wkStrImg) {
        element->FRecvQueue = FRecvQueue;
      } else if (kind == wkBlock) {
        if (!state.blockHadValue && !element->GetVariable().empty()) element->FDynamic = true;
      } else if (kind == wkDropDown) {
        if (FLangMutations) {
          TStringDualListLang options(FEditorLangCode, FLangCodes, false);
          options.LoadFromXml(node);
          options.CopyEditorTexts(element->FOptions);
        } else {
          element->FOptions.Clear();
          element->FOptions.LoadFromXml(child);
        }
      }
    }
    if (element == nullptr) return nullptr;

    // Wiring.
    element->FOnBeforeMove = {this, &TFormDesign1::ObjectBeforeMove};
    element->FOnBeforeResize = {this, &TFormDesign1::ObjectBeforeResize};
    element->FOnMoved = {this, &TFormDesign1::UpdateScrollExtentHandler};
    element->SetEditPopup(CommonEditPopup1);
    element->FOnHyperLink = {this, &TFormDesign1::ChangeToPageByName};
    element->OnDragOver = {this, &TFormDesign1::ObjectDragOver};
    element->OnDragDrop = {this, &TFormDesign1::ObjectDragDrop};
    element->SetLiveModeFlag(&FLiveMode);
    element->FGridX = &FGridX;
    element->FGridY = &FGridY;
    element->SetPopupMenuItem(ObjectPopup);
    element->OnMouseMove = {this, &TFormDesign1::ObjectMouseMove};
    element->SetParent(parent);

    // The object node's own attributes, in document order.
    // Positions are summed in 64 bits and kept within an int.
    long long posX = 0, posY = 0;
    bool haveUid = false;
    for (TmyXmlAttrNode* a = node->firstAttr; a != nullptr; a = a->next) {
      const std::string& n = a->name;
      const std::string& v = a->value;
      if (n == "back")
        element->FBackColor = IntOr(v, 16777215);
      else if (n == "caption")
        element->SetCaption(Decoded(v));
      else if (n == "clickxvar")
        element->SetClickXVariable(Decoded(v));
      else if (n == "clickyvar")
        element->SetClickYVariable(Decoded(v));
      else if (n == "clickcol")
        element->SetClickColorVariable(Decoded(v));
      else if (n == "front")
        element->FFrontColor = IntOr(v, 0);
      else if (n == "hint")
        element->Hint = Decoded(v);
      else if (n == "italic")
        element->FItalic = FlagTrue(v);
      else if (n == "size")
        element->FFontSize = IntOr(v, 13);
      else if (n == "strong")
        element->FStrong = FlagTrue(v);
      else if (n == "transparent")
        element->FTransparent = FlagTrue(v);
      else if (n == "X")
        posX = (IntOr(v, 0) - 1LL) * 8 + 1;
      else if (n == "Y")
        posY = (IntOr(v, 0) - 1LL) * 8 + 1;
      else if (n == "xoff")
        posX += IntOr(v, 0);
      else if (n == "yoff")
        posY += IntOr(v, 0);
      else if (n == "level")
        element->FLevel = IntOr(v, 0);
      else if (n == "layer")
        element->FLayer = IntOr(v, 0);
      else if (n == "readonly")
        element->FReadOnly = element->Kind() == wkLabel ? false : FlagTrue(v) || state.forcedReadOnly;
      else if (n == "visvar")
        element->SetVisVariable(Flattened(v));
      else if (n == "vistype")
        SetTypeOf(element->FVisInfo, v);
      else if (n == "visneg")
        element->FVisNeg = FlagTrue(v);
      else if (n == "Uid") {
        haveUid = true;
        int uid;
        if (StrictInt(v, uid))
          element->FUid = uid;
        else
          element->FUid = FMaxUid++;
      }
    }

    // Texts in the editor's language.
    std::string text;
    if (GetLangText(node, "caption", text, FEditorLangCode)) element->SetCaption(text);
    text.clear();
    if (GetLangText(node, "hint", text, FEditorLangCode)) element->Hint = text;

    if (!haveUid) element->FUid = FMaxUid++;
    element->SetPosition(ClampToInt(posX), ClampToInt(posY));
    element->ResolveVariables();
    element->SetShowHint(true);
    return element;
  } catch (...) {
    delete element;
    throw;
  }
}

void TFormDesign1::LoadObjects(TmyXmlNode* container, TWinControl* parent) {
  FLoadFailures.clear();
  if (container == nullptr) return;
  int scrollX = 0, scrollY = 0;
  ScrollPositionsOf(parent, scrollX, scrollY);
  int index = 0;
  for (TmyXmlNode* node = container->firstChild; node != nullptr; node = node->next) {
    if (node->name != "object") continue;
    ++index;
    std::string reason;
    try {
      ReadObject(node, parent, scrollX, scrollY);
      continue;
    } catch (const std::exception& e) {
      reason = e.what();
    } catch (...) {
      reason = "unknown error";
    }
    // The object stays in the page as it was: a hidden stand-in keeps its
    // node in the object order and writes it back when the page is saved.
    WriteTraceLog("Load objects - Exception");
    WriteTraceLog("Load objects - object " + std::to_string(index) + " kept unchanged: " + reason);
    FLoadFailures.push_back("Object " + std::to_string(index) + ": " + reason);
    auto* standIn =
        new TGridWebElement(parent, &FGlobalWebData, FLayers, FUnitPixels, scrollX, scrollY, 1, 1, -1, nullptr);
    standIn->KeepUnreadNode(node);
    standIn->SetParent(parent);
  }
  if (!FLoadFailures.empty()) {
    std::string text = "Some objects of the page could not be loaded; they are kept unchanged in the page:";
    for (const std::string& line : FLoadFailures) text += "\n" + line;
    ShowPlainMessage(text);
  }
}
