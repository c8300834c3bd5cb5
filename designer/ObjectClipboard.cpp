// TFormDesign1: the clipboard of page objects. Copy and Cut write the
// selected objects with the pictures they use as one `clipboard` element in
// plain text; Paste reads such a text back, brings foreign pictures into the
// project and carries the objects in an insertion frame until the user drops
// them (or, pasted directly, puts them at their stored positions).

#include <algorithm>
#include <climits>

#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "designer/ClipboardImages.h"
#include "designer/ClipboardText.h"
#include "designer/FormDesign1.h"
#include "designer/ZOrder.h"
#include "generator/XmlUtilities.h"
#include "grid/GridInsert.h"
#include "grid/ScrollPositions.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/SysUtils.h"
#include "platform/vcl/ToolBar.h"
#include "platform/win/Folders.h"
#include "platform/win/MessageBox.h"

namespace {

constexpr const char* kMessageCaption = "Tarnwell";
constexpr int kPicturesNotTakenTextId = 7393;  // Some pictures of the clipboard were not taken into the project:

// The remainder with the sign of the dividend.
int Remainder(int a, int b) { return b == 0 ? 0 : a % b; }

}  // namespace

std::string TFormDesign1::ClipboardSource() const { return location_.hostProjectDir; }

std::string TFormDesign1::ClipboardTextOf(TmyXmlNode* wrapper) {
  TmyXMLParser writer;
  writer.progress = false;
  return writer.WriteNode(wrapper, 0);
}

void TFormDesign1::CollectClipboardImages(TmyXmlNode* clipboard) {
  TmyXmlNode* images = clipboard != nullptr ? clipboard->lastChild : nullptr;
  if (images == nullptr || images->name != "images") return;
  TClipboardImageProject project;
  project.images = document_->Images();
  project.imagePath = [this](const std::string& name) {
    const char* path = GetImagePath(name);
    return path != nullptr ? std::string(path) : std::string();
  };
  ::CollectClipboardImages(clipboard, images, project);
}

void TFormDesign1::ImportClipboardImages(TmyXmlNode* top) {
  TClipboardImageProject project;
  project.images = document_->Images();
  project.imagePath = [this](const std::string& name) {
    const char* path = GetImagePath(name);
    return path != nullptr ? std::string(path) : std::string();
  };
  project.ensureImageFolder = [this] {
    // Any plain name gives the folder's path.
    if (const char* path = GetImagePath("X")) ForceDirectories(ExtractFilePath(path));
  };
  const TClipboardImageReport report = ::ImportClipboardImages(top, ClipboardSource(), project);
  for (const std::string& line : report.renamed) WriteTraceLog("ImportClipboardImages - renamed " + line);
  RefreshImageList();
  if (report.skipped.empty()) return;
  std::string text = GetUiText(kPicturesNotTakenTextId);
  for (const std::string& line : report.skipped) {
    WriteTraceLog("ImportClipboardImages - skipped " + line);
    text += "\n" + line;
  }
  MessageBox(Handle(), text.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
}

void TFormDesign1::Copy1Click(TObject* sender) {
  auto* item = dynamic_cast<TComponent*>(sender);
  const bool cut = item != nullptr && item->Tag != 0;
  TmyXmlNode wrapper("");
  TmyXmlNode* clipboard = wrapper.AddChild("clipboard");
  clipboard->SetAttr("src", ClipboardSource());
  clipboard->SetAttr("Grid", std::to_string(FUnitPixels));
  for (TGridWebElement* object : SelectedObjectsInCreationOrder(sbDesign1))
    object->SaveToXml(clipboard, FLangMutations);
  clipboard->AddChild("images");
  CollectClipboardImages(clipboard);
  Clipboard()->SetAsText(ClipboardTextOf(&wrapper));
  if (cut) DeleteSelectedObjects();
}

void TFormDesign1::Paste1Click(TObject* sender) {
  const std::string text = Clipboard()->AsText();
  if (IsPageClipboardText(text)) {
    Paste2Click(sender);
    return;
  }
  PasteObjectsFromText(text);
}

namespace {

// The objects a paste added to the surface (owned from index `first` on);
// stand-ins of objects that could not be read are freed, not pasted.
std::vector<TGridWebElement*> TakeNewObjects(TScrollBox* surface, int first) {
  std::vector<TGridWebElement*> added;
  std::vector<TGridWebElement*> unread;
  for (int i = first; i < surface->ComponentCount(); ++i)
    if (auto* object = dynamic_cast<TGridWebElement*>(surface->Components(i)))
      (object->IsUnreadNode() ? unread : added).push_back(object);
  for (TGridWebElement* object : unread) FreeComponent(object);
  return added;
}

// Reads a clipboard text; a refused text is reported (an empty one is not).
TClipboardDocument ReadForPaste(HWND owner, const std::string& text) {
  TClipboardDocument document = ReadClipboardText(text, {"clipboard", "template"});
  if (!document.fault.empty()) {
    WriteTraceLog("Paste refused: " + document.fault);
    const std::string message = PasteRefusalText(document.fault);
    MessageBox(owner, message.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
  }
  return document;
}

}  // namespace

void TFormDesign1::PasteObjectsFromText(const std::string& text) {
  TClipboardDocument document = ReadForPaste(Handle(), text);
  if (document.top == nullptr) return;
  ClearSelection();
  const int first = sbDesign1->ComponentCount();
  StripUidAttrs(document.root->firstChild);
  if (FToolMode != TToolMode::None) {
    if (TmyXmlNode* object = document.top->FindDeep("object")) {
      for (const auto& [name, value] : {std::pair{"X", "1"}, {"Y", "1"}, {"xoff", "0"}, {"yoff", "0"}})
        object->SetAttr(name, value);
    }
  }
  ImportClipboardImages(document.top);
  LoadObjects(document.top, sbDesign1);
  std::vector<TGridGraphic*> carried;
  int minLeft = INT_MAX, minTop = INT_MAX;
  for (TGridWebElement* object : TakeNewObjects(sbDesign1, first)) {
    carried.push_back(object);
    if (FPasteInActiveLayer) object->FLayer = FActiveLayer;
    object->Draw(0, 0, Canvas());
    object->Hide();
    minLeft = std::min(minLeft, object->Left());
    minTop = std::min(minTop, object->Top());
  }
  if (!carried.empty()) CarryPastedObjects(carried, minLeft, minTop);
  // A tool's paste that made nothing leaves no tool mode behind for the next
  // paste from the clipboard.
  FToolMode = TToolMode::None;
  UpdateScrollExtent();
  if (sbDesign1->CanFocus()) sbDesign1->SetFocus();
}

// The insertion frame around the hidden objects, on the raster: the group's
// raster corner lands one step inside the frame, its remainder stays.
void TFormDesign1::CarryPastedObjects(const std::vector<TGridGraphic*>& carried, int minLeft, int minTop) {
  const int remX = Remainder(minLeft, FGridX), remY = Remainder(minTop, FGridY);
  minLeft -= remX;
  minTop -= remY;
  int scrollX = 0, scrollY = 0;
  ScrollPositionsOf(static_cast<TWinControl*>(sbDesign1), scrollX, scrollY);
  const int offX = FGridX * FUnitPixels - (scrollX + minLeft);
  const int offY = FGridY * FUnitPixels - (scrollY + minTop);
  CancelInsertion();
  auto* frame = new TGridInsert(sbDesign1, 1, scrollX, scrollY, offX, offY, carried);
  frame->FInnerFrame = true;
  frame->FFrameX = remX;
  frame->FFrameY = remY;
  frame->SetExtent(&FGridX, &FGridY);
  frame->Select();
  frame->OnMouseMove = {this, &TFormDesign1::ObjectMouseMove};
  frame->FOnCancel = {this, &TFormDesign1::CancelInsertTool};
  frame->FOnBeforeDrop = {this, &TFormDesign1::InsertCarrierUndo};
  const bool tool = FToolMode != TToolMode::None && FToolPlacedHandler;
  frame->FOnAfterDrop = tool ? FToolPlacedHandler : TNotifyEvent{this, &TFormDesign1::ReleaseInsertTool};
  FToolMode = TToolMode::None;
  FInsert = frame;
  frame->SetParent(sbDesign1);
  frame->BringToFront();
  const TPoint pointer = sbDesign1->ScreenToClient(Mouse->CursorPos());
  frame->SetBounds(pointer.x - (frame->Width() + 1) / 2, pointer.y - (frame->Height() + 1) / 2, frame->Width(),
                   frame->Height());
}

void TFormDesign1::PasteObjectsDirect(const std::string& text) {
  TClipboardDocument document = ReadForPaste(Handle(), text);
  if (document.top == nullptr) return;
  ClearSelection();
  PushUndo();
  const int first = sbDesign1->ComponentCount();
  StripUidAttrs(document.root->firstChild);
  ImportClipboardImages(document.top);
  LoadObjects(document.top, sbDesign1);
  for (TGridWebElement* object : TakeNewObjects(sbDesign1, first)) {
    if (FPasteInActiveLayer) object->FLayer = FActiveLayer;
    object->Select();
  }
  UpdateScrollExtent();
  if (sbDesign1->CanFocus()) sbDesign1->SetFocus();
}

// A copied page or group is pasted in the tree only: here it is left alone,
// before its pictures could come into the project.
void TFormDesign1::PasteDirect1Click(TObject*) {
  const std::string text = Clipboard()->AsText();
  if (text.find("<page") != std::string::npos) return;
  PasteObjectsDirect(text);
}
