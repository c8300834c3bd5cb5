// TFormDesign1: loading the host's web project. The document reads the files
// with their fallbacks and repairs; the window takes the settings it shows
// (bars, menus, grid, languages, layers, placeholders, fonts) and fills the
// page tree, then shows the first page.

#include <algorithm>
#include <string>

#include "base/ScopeExit.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "generator/SaveAndCompile.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"

namespace {

constexpr int kUnnamedTextId = 7141;
constexpr int kDefaultRaster = 5;
// Page-name display formats of `globalset` `pvstyle` (0: the caption).
constexpr int kPageNameFormatName = 1;
constexpr int kPageNameFormatBoth = 2;
constexpr const char* kProportionalFont = "Verdana";
constexpr const char* kFixedFont = "Courier New";

// State pictures of group nodes: 1 for a locked group, one more with
// notifications.
int GroupStateIndex(const TmyXmlNode& group) {
  return (group.GetAttrInt("locked", 0) != 0 ? 1 : 0) + (group.GetAttrInt("notification", 0) != 0 ? 1 : 0);
}

void SetItemsEnabled(TPopupMenu* menu, bool enabled) {
  for (int i = 0; i < menu->Items()->Count(); ++i) menu->Items()->Items(i)->SetEnabled(enabled);
}

}  // namespace

void TFormDesign1::FormShow(TObject*) { EnsureProjectLoaded(); }

bool TFormDesign1::EnsureProjectLoaded() {
  if (document_->Root() == nullptr) LoadProject();
  return document_->Root() != nullptr;
}

void TFormDesign1::LoadProject() {
  WriteTraceLog("LoadProject");
  ShowEditingBars(true);
  btnSave2->SetEnabled(false);
  // The tree and the surface let go of the document before it is freed.
  FCurrentPage = nullptr;
  ClearDesignElements();
  {
    const bool suppressed = FTreeChangeSuppressed;
    FTreeChangeSuppressed = true;
    tvPageList->Items()->Clear();
    FTreeChangeSuppressed = suppressed;
  }
  location_ = host_->ProjectLocation();
  const TProjectLoadResult result = document_->LoadProject(location_, FGridX, FGridY);
  FOpenFailure = result.failure;
  // What this run reads from here on is its own again.
  FRunRefused = false;
  if (result.source == TProjectSource::None) {
    WriteTraceLog("LoadProject - no project: " + FOpenFailure);
    return;
  }
  // What a killed compile or save left goes now, as at the next compile: the
  // output holds none of it while the designer works (a live run's stays).
  RemoveLeftTemporaryFiles(location_.hostProjectDir);
  tvPageList->Items()->BeginUpdate();
  {
    ScopeExit endUpdate([this] { tvPageList->Items()->EndUpdate(); });
    ReadDocumentSettings();
    FillPageTree();
    CheckImages();
    tvPageList->FullExpand();
  }
  for (TToolButton* button : {btnAddPage, btnDeletePage, btnPageUp, btnPageDown}) button->SetEnabled(false);
  for (TMenuItem* item : {MoveUp1, MoveDown1}) item->SetEnabled(false);
  sbDesign1->Hide();
  imgBg->Hide();
  if (TTreeNode* first = tvPageList->Items()->GetFirstNode()) {
    TTreeNode* shown = first->getFirstChild() != nullptr ? first->getFirstChild() : first;
    tvPageList->SetSelected(shown);
  }
  FTreeChangeSuppressed = true;
  WriteTraceLog("LoadProject - end");
}

// The main and left tool bars and the three menus serve editing; a read-only
// project shows the live-view bar instead.
void TFormDesign1::ShowEditingBars(bool editable) {
  tlbMain1->SetVisible(editable);
  tlbLeft1->SetVisible(editable);
  tlbDebug1->SetVisible(!editable);
  for (TPopupMenu* menu : {ScrollPopup, ObjectPopup, TreePopup}) SetItemsEnabled(menu, editable);
}

void TFormDesign1::ReadDocumentSettings() {
  FGlobalWebData.MeasuredFonts = document_->NewDimension();
  switch (document_->PageNameFormat()) {
    case kPageNameFormatName: FileName1->SetChecked(true); break;
    case kPageNameFormatBoth: CaptionFileName1->SetChecked(true); break;
    default: Caption1->SetChecked(true); break;
  }
  LoadLanguages(document_->LanguagesElement());
  LoadLayers(document_->LayersElement());
  FGlobalWebData.GlobalPlaceHolders.ClearAndLoad(document_->PlaceholdersElement());
  if (document_->ReadOnly()) ShowEditingBars(false);
  sbDesign1->Font()->Name = document_->Settings().propFont ? kProportionalFont : kFixedFont;
  if (document_->GridEnabled())
    tbGridOnClick(nullptr);
  else
    tbGridOffClick(nullptr);
}

void TFormDesign1::FillPageTree() {
  tvPageList->Items()->Clear();
  TmyXmlNode* web = document_->Web();
  if (web == nullptr) return;
  for (TmyXmlNode* child = web->firstChild; child != nullptr; child = child->next) {
    if (child->comment || child->instruction) continue;
    if (child->name == "images") RefreshImageList();
    if (child->name != "group") continue;
    TTreeNode* groupNode = AddGroupNode(child);
    for (TmyXmlNode* page = child->firstChild; page != nullptr; page = page->next)
      if (!page->comment && !page->instruction && page->name == "page") AddPageNode(groupNode, page);
  }
}

// A caption kept per language shows the editor language's text (possibly
// empty) in the element's `caption`.
void TFormDesign1::ReplaceCaptionByEditorText(TmyXmlNode* element) {
  if (element->FindAttr("caption") == nullptr) element->SetAttr("caption", "");
  std::string text;
  if (GetLangText(element, "caption", text, FEditorLangCode)) element->SetAttr("caption", text);
}

TTreeNode* TFormDesign1::AddGroupNode(TmyXmlNode* group) {
  ReplaceCaptionByEditorText(group);
  TTreeNode* node = tvPageList->Items()->AddObject(nullptr, NodeText(group), group);
  node->SetStateIndex(GroupStateIndex(*group));
  return node;
}

void TFormDesign1::AddPageNode(TTreeNode* groupNode, TmyXmlNode* page) {
  ReplaceCaptionByEditorText(page);
  tvPageList->Items()->AddChildObject(groupNode, NodeText(page), page);
}

std::string TFormDesign1::NodeText(TmyXmlNode* element) const {
  const std::string caption = element->GetAttr("caption");
  if (element->name == "page") return document_->PageTreeText(caption, element->GetAttr("name"), false);
  return caption.empty() ? GetUiText(kUnnamedTextId) : caption;
}

void TFormDesign1::RefreshImageList() {
  WriteTraceLog("RefreshImageList");
  if (TmyXmlNode* images = document_->Images()) FGlobalWebData.Images.ClearAndLoad(images);
  WriteTraceLog("RefreshImageList - end");
}

void TFormDesign1::tbGridOffClick(TObject*) {
  Grid1->SetChecked(false);
  FGridX = FGridY = 1;
  DrawPageBackground();
}

void TFormDesign1::tbGridOnClick(TObject*) {
  Grid1->SetChecked(true);
  FGridX = FGridY = kDefaultRaster;
  if (TmyXmlNode* grid = document_->Grid()) {
    FGridX = std::max(1, grid->GetAttrInt("X", 0));
    FGridY = std::max(1, grid->GetAttrInt("Y", 0));
  }
  DrawPageBackground();
}
