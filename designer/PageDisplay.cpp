// TFormDesign1: showing and storing a page. Leaving a tree node stores the
// surface into the page left; the new node's page is built on the surface
// (its objects, background picture, page frame and grid dots) and the
// commands are enabled for what the new node allows.

#include <algorithm>
#include <string>
#include <vector>

#include "base/ScopeExit.h"
#include "core/TraceLog.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "grid/PictureLoading.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdCtrls.h"

namespace {

constexpr int kWhite = 0xFFFFFF;
constexpr TColor kGridDotColor = static_cast<TColor>(0x999999);
// The page area less what the generated page puts around it: the title
// (height) and the menu (width); without them only a margin.
constexpr int kTitleHeight = 60;
constexpr int kTitleOffGain = 40;
constexpr int kMenuWidth = 180;
constexpr int kMenuOffWidth = 20;
// A group with its own page size: the size plus this margin.
constexpr int kAltDimMargin = 20;
// The grid dots are drawn for steps above this many pixels.
constexpr int kGridDotMinStep = 3;

bool IsElementNamed(const TmyXmlNode* node, const char* name) { return node != nullptr && node->name == name; }

// The bitmap grows to (w, h) where it is smaller; the new part takes the
// colour of the canvas's brush.
void GrowBitmap(TBitmap& bitmap, int w, int h) {
  const int oldW = bitmap.Width(), oldH = bitmap.Height();
  if (oldW >= w && oldH >= h) return;
  bitmap.SetSize(std::max(oldW, w), std::max(oldH, h));
  TCanvas& canvas = *bitmap.Canvas;
  canvas.FillRect({oldW, 0, bitmap.Width(), bitmap.Height()});
  canvas.FillRect({0, oldH, oldW, bitmap.Height()});
}

}  // namespace

void TFormDesign1::tvPageListChanging(TObject*, TTreeNode*, bool& allowChange) {
  WriteTraceLog("tvPageListChanging");
  if (!FTreeChangeSuppressed) {
    CancelInsertion();
    if (FCurrentPage != nullptr) {
      SavePage(FCurrentPage);
      const std::string name = FCurrentPage->GetAttr("name");
      if (std::find(FAlarmPages.begin(), FAlarmPages.end(), name) == FAlarmPages.end()) FReturnPage = name;
    }
  }
  WriteTraceLog("tvPageListChanging - End");
  allowChange = true;
}

void TFormDesign1::tvPageListChange(TObject*, TTreeNode* node) {
  WriteTraceLog("tvPageListChange");
  if (!FTreeChangeSuppressed) {
    WriteTraceLog("tvPageListChange - Ok");
    if (FLiveMode) LiveViewPageLeaving();
    ResetUndo();
    sbDesign1->Hide();
    imgBg->Hide();
    ClearDesignElements();
    const bool editable = !FLiveMode && node != nullptr && !document_->ReadOnly();
    SetTreeCommandStates(node, editable);
    FCurrentPage = nullptr;
    if (node != nullptr) {
      FCurrentPage =
          static_cast<TmyXmlNode*>(node->getFirstChild() != nullptr ? node->getFirstChild()->Data : node->Data);
      if (!IsElementNamed(FCurrentPage, "group")) ShowCurrentPage();
    }
    SetToolStates(FCurrentPage != nullptr && !IsElementNamed(FCurrentPage, "group") && editable);
    btnSave2->SetEnabled(document_->Modified());
    if (FLiveMode) LiveViewPageShown();
  }
  FPageChangePending = false;
  WriteTraceLog("tvPageListChange - end");
}

// The node's group decides the locks: a locked group (or a read-only
// project) keeps the add, delete and group commands off, and for its pages
// also the properties and the moves.
void TFormDesign1::SetTreeCommandStates(TTreeNode* node, bool editable) {
  for (TToolButton* button : {btnAddPage, btnDeletePage, btnPageUp, btnPageDown}) button->SetEnabled(editable);
  for (TMenuItem* item : {MoveUp1, MoveDown1, GroupPageSettings1, Edit2}) item->SetEnabled(editable);
  if (node != nullptr) {
    TmyXmlNode* group = GroupOfNode(node);
    const bool locked =
        (IsElementNamed(group, "group") && group->GetAttrInt("locked", 0) != 0) || document_->ReadOnly();
    FGlobalWebData.GroupPlaceHolders.ClearAndLoad(group->FindChild("placeholders"));
    FGlobalWebData.GroupLocked = locked;
    const bool lockedPage = node->Parent() != nullptr && locked;
    if (lockedPage) Edit2->SetEnabled(false);
    if (locked) {
      btnAddPage->SetEnabled(false);
      btnDeletePage->SetEnabled(false);
      GroupPageSettings1->SetEnabled(false);
    }
    btnPageUp->SetEnabled(node->getPrevSibling() != nullptr && editable && !lockedPage);
    btnPageDown->SetEnabled(node->getNextSibling() != nullptr && editable && !lockedPage);
  }
  Addpage1->SetEnabled(btnAddPage->Enabled());
  Delete2->SetEnabled(btnDeletePage->Enabled());
  MoveUp1->SetEnabled(btnPageUp->Enabled());
  MoveDown1->SetEnabled(btnPageDown->Enabled());
}

void TFormDesign1::SetToolStates(bool tools) {
  for (TToolButton* button :
       {btnLabel,     btnEditBox,   btnEditBoxEx,   btnStateImage,   btnImageBtn,   btnMultiImage, btnGlobalSubmit,
        btnRectangle, btnIFrame,    btnDropDown,    btnBar,          btnRectDynCol, btnStrImg,     btnCanvas,
        btnImage,     btnCameraPic, btnPostFileBox, btnImageManager, tbObjectList,  btnPass,       btnGlobal,
        tbAlarm,      tbLayers,     btnSave1,       tbPreview1,      tbLang})
    button->SetEnabled(tools);
}

void TFormDesign1::ShowCurrentPage() {
  FGlobalWebData.PagePlaceHolders.ClearAndLoad(FCurrentPage->FindChild("placeholders"));
  LoadPage(FCurrentPage);
  sbDesign1->Show();
  sbDesign1->Repaint();
  imgBg->Show();
}

// The page's picture `background` from the project's images, or none.
void TFormDesign1::LoadBackgroundPicture(TmyXmlNode* element, TImage* image) {
  const char* path = element != nullptr ? GetImagePath(element->GetAttr("background")) : nullptr;
  if (path != nullptr && GridFileExists(path)) {
    LoadGridPicture(*image->Picture(), path);
    image->Repaint();
  } else {
    image->Picture()->SetGraphic(nullptr);
  }
}

void TFormDesign1::LoadPage(TmyXmlNode* element, TImage* image, TWinControl* container) {
  WriteTraceLog("Load page");
  if (image == nullptr) image = imgBg;
  if (container == nullptr) container = sbDesign1;
  Screen->SetCursor(crHourGlass);
  ScopeExit restoreCursor([] { Screen->SetCursor(crDefault); });
  if (element == nullptr) return;
  FCurrentUcid = element->GetAttrInt("ucid", 0);
  LoadBackgroundPicture(element, image);
  if (!FLiveMode) DrawPageBackground();
  WriteTraceLog("Load objects");
  FShownPageName = element->GetAttr("name");
  WriteTraceLog(FShownPageName);
  LoadObjects(element, container);
  WriteTraceLog("Load objects - End");
  UpdateScrollExtent();
  WriteTraceLog("Load finish");
}

void TFormDesign1::SavePage(TmyXmlNode* element) {
  WriteTraceLog("SavePage");
  if (element == nullptr) return;
  WriteTraceLog("SavePage - OK");
  BuildTabOrder();
  if (element->name == "page") {
    element->SetAttrIntStr("ucid", FCurrentUcid);
    element->DeleteChildrenByName("object");
    int right = 0, bottom = 0;
    for (TGridWebElement* object : PageObjects()) {
      object->SaveToXml(element, FLangMutations);
      object->AutoSize();
      const TPoint position = object->GetPosition();
      right = std::max(right, position.x + object->Width() - 1);
      bottom = std::max(bottom, position.y + object->Height() - 1);
    }
    element->UpdateAttr("width", std::to_string(right));
    element->UpdateAttr("height", std::to_string(bottom));
  }
  WriteTraceLog("SavePage - End");
}

// The surface's colour and background picture from the shown page (white
// and none without one).
void TFormDesign1::ApplyPageBackground() {
  const int color = FCurrentPage != nullptr ? FCurrentPage->GetAttrInt("bgcolor", kWhite) : kWhite;
  sbDesign1->SetColor(static_cast<TColor>(color));
  LoadBackgroundPicture(FCurrentPage, imgBg);
}

void TFormDesign1::DrawPageBackground() {
  ApplyPageBackground();
  const TProjectSettings& settings = document_->Settings();
  int h = settings.pageHeight, w = settings.pageWidth;
  if (FCurrentPage != nullptr) {
    const TmyXmlNode* group = IsElementNamed(FCurrentPage, "group") ? FCurrentPage : FCurrentPage->parent;
    if (group != nullptr && group->GetAttr("altdim") == "true") {
      w = group->GetAttrInt("width", 0) + kAltDimMargin;
      h = group->GetAttrInt("height", 0) + kAltDimMargin;
    }
  }
  TBitmap& bitmap = *imgBg->Picture()->Bitmap();
  TCanvas& canvas = *bitmap.Canvas;
  canvas.Brush->Color =
      static_cast<TColor>(FCurrentPage != nullptr ? FCurrentPage->GetAttrInt("bgcolor", kWhite) : kWhite);
  const int drawH = h - kTitleHeight + (settings.titleOff ? kTitleOffGain : 0);
  const int drawW = w - (settings.menuOff ? kMenuOffWidth : kMenuWidth);
  const int pictureW = bitmap.Width(), pictureH = bitmap.Height();
  GrowBitmap(bitmap, drawW, drawH);
  if (FCurrentPage != nullptr && FCurrentPage->GetAttr("repeat") == "true" && pictureW > 0 && pictureH > 0)
    TileBackground(imgBg, pictureW, pictureH);
  if (FGridX > kGridDotMinStep && FGridY > kGridDotMinStep)
    for (int y = 0; y < drawH; y += FGridY)
      for (int x = 0; x < drawW; x += FGridX) canvas.SetPixel(x, y, kGridDotColor);
  canvas.Pen->Style = psDot;
  canvas.Pen->Mode = pmCopy;
  canvas.Pen->Color = clBlack;
  canvas.Brush->Style = bsClear;
  canvas.Rectangle(0, 0, drawW, drawH);
  canvas.Brush->Style = bsSolid;
  canvas.Brush->Color = clWhite;
  canvas.Pen->Style = psSolid;
  imgBg->SetBounds(imgBg->Left(), imgBg->Top(), bitmap.Width(), bitmap.Height());
  sbDesign1->Repaint();
}

// Copies the picture's first cell over the whole bitmap, row by row.
void TFormDesign1::TileBackground(TImage* image, int w, int h) {
  TCanvas& canvas = *image->Picture()->Bitmap()->Canvas;
  const int columns = (image->Picture()->Bitmap()->Width() + w - 1) / w;
  const int rows = (image->Picture()->Bitmap()->Height() + h - 1) / h;
  image->Hide();
  for (int j = 0; j < rows; ++j)
    for (int i = 0; i < columns; ++i)
      if (i != 0 || j != 0) canvas.CopyRect({i * w, j * h, i * w + w, j * h + h}, &canvas, {0, 0, w, h});
  image->Show();
}

void TFormDesign1::ClearDesignElements() {
  if (FLiveMode) {
    FReadingActive = false;
    FReadRequested = false;
  }
  std::vector<TComponent*> objects;
  for (int i = 0; i < sbDesign1->ComponentCount(); ++i)
    if (dynamic_cast<TGridWebElement*>(sbDesign1->Components(i)) != nullptr)
      objects.push_back(sbDesign1->Components(i));
  // The last created first, as the owner frees them: each leaves the end of
  // the surface's lists, so that a page of many objects is cleared in linear
  // time.
  for (auto it = objects.rbegin(); it != objects.rend(); ++it) FreeComponent(*it);
}

std::vector<TGridWebElement*> TFormDesign1::PageObjects() const {
  std::vector<TGridWebElement*> objects;
  for (int i = 0; i < sbDesign1->ControlCount(); ++i)
    if (auto* object = dynamic_cast<TGridWebElement*>(sbDesign1->Controls(i))) objects.push_back(object);
  return objects;
}
