// TFormDesign1: the UI texts of the chosen language on every tool button and
// menu item, the status bar and the page tree's hint in it, the page name
// display format, the page-link menu of the property dialogs, the wheel over
// the design surface, the page change stamps of a group and the refresh
// timer.

#include <string>

#include "base/ScopeExit.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/StatusBar.h"
#include "platform/vcl/Timer.h"
#include "platform/vcl/TreeView.h"

namespace {

using F = TFormDesign1;

struct THintRow {
  TToolButton* F::*button;
  int textId;
};

struct TCaptionRow {
  TMenuItem* F::*item;
  int textId;
};

// The hints of the tool buttons.
constexpr THintRow kHints[] = {
    {&F::btnPass, 7081},        {&F::tbObjectList, 7189},    {&F::tbLayers, 7248},        {&F::btnArrow, 7001},
    {&F::btnLabel, 7002},       {&F::btnEditBox, 7003},      {&F::btnEditBoxEx, 7004},    {&F::btnStateImage, 7005},
    {&F::btnImageBtn, 7237},    {&F::btnMultiImage, 7173},   {&F::btnGlobalSubmit, 7006}, {&F::btnRectangle, 7137},
    {&F::btnBar, 7138},         {&F::btnRectDynCol, 7245},   {&F::btnStrImg, 7243},       {&F::btnCanvas, 7266},
    {&F::btnIFrame, 7283},      {&F::btnDropDown, 7313},     {&F::btnImage, 7007},        {&F::btnCameraPic, 7008},
    {&F::btnPostFileBox, 7234}, {&F::btnImageManager, 7009}, {&F::btnSave1, 7010},        {&F::btnSave2, 2018},
    {&F::btnGlobal, 7011},      {&F::btnAddGroup, 7012},     {&F::tbPreview1, 7099},      {&F::btnAddPage, 7013},
    {&F::btnDeletePage, 2009},  {&F::btnPageUp, 7014},       {&F::btnPageDown, 7015},     {&F::tbUndo, 7120},
    {&F::tbRedo, 7121},         {&F::tbLang, 8007},          {&F::tbAlarm, 7231},
};

// The captions of the menu items.
constexpr TCaptionRow kCaptions[] = {
    {&F::Grid1, 7098},
    {&F::GlobalSettings1, 7011},
    {&F::ShowInNewWindow1, 7115},
    {&F::Editbase1, 7110},
    {&F::EditVisibilityBase1, 7149},
    {&F::AutoIndexArray1, 7193},
    {&F::VarNameReplace1, 7320},
    {&F::Edit1, 7016},
    {&F::Edit2, 7016},
    {&F::Edit3, 7016},
    {&F::Copy1, 2029},
    {&F::Copy2, 2029},
    {&F::Copy3, 2029},
    {&F::CommonCopy, 2029},
    {&F::CommonPaste, 2030},
    {&F::CommonCut, 2028},
    {&F::CommonSelectAll, 2027},
    {&F::Cut1, 2028},
    {&F::Cut2, 2028},
    {&F::Paste1, 2030},
    {&F::PasteDirect1, 7306},
    {&F::Paste2, 2030},
    {&F::Delete1, 2009},
    {&F::SelectAll1, 2027},
    {&F::Bringtofront1, 7106},
    {&F::Sendtoback1, 7107},
    {&F::BringForward1, 7108},
    {&F::SendBackward1, 7109},
    {&F::AlignToGrid1, 7143},
    {&F::GroupPageSettings1, 7116},
    {&F::ExportTexts1, 7151},
    {&F::ImportTexts1, 7150},
    {&F::Undo1, 7120},
    {&F::Align1, 7180},
    {&F::AlignTop1, 7176},
    {&F::AlignBottom1, 7177},
    {&F::AlignLeft1, 7111},
    {&F::AlignRight1, 7175},
    {&F::AlignMiddle1, 7179},
    {&F::AlignCenter1, 7178},
    {&F::DistributeHorizontally1, 7181},
    {&F::DistributeVertically1, 7182},
    {&F::Left1, 7183},
    {&F::Centre1, 7184},
    {&F::Spacing1, 7185},
    {&F::Right1, 7186},
    {&F::Top1, 7187},
    {&F::Centre2, 7184},
    {&F::Spacing2, 7185},
    {&F::Bottom1, 7188},
    {&F::LanguageSettings1, 8007},
    {&F::miLayers, 7248},
    {&F::Convert1, 8074},
    {&F::ToPicture1, 7007},
    {&F::ToImage1, 7005},
    {&F::ToImageBtn1, 7237},
    {&F::ToMulimg1, 7173},
    {&F::ToBlock1, 7137},
    {&F::ToBlockBar1, 7138},
    {&F::ToBlockColor1, 7245},
    {&F::PasteInActiveLayer1, 2069},
    {&F::RenameAllPages1, 7290},
    {&F::PagesDisplayFormat1, 7319},
    {&F::Caption1, 7094},
    {&F::FileName1, 7030},
};

constexpr int kOpenImagesTextId = 7017;  // "Open images"
constexpr int kNoPageTextId = 7018;      // "No page selected"
constexpr int kCaptionTextId = 7094;     // "Caption"
constexpr int kFileNameTextId = 7030;    // "File name"
constexpr int kUnnamedTextId = 7141;     // "Unnamed"
// The wheel scrolls this many pixels a notch.
constexpr int kWheelStep = 48;

}  // namespace

void TFormDesign1::ApplyLanguageTexts() {
  DebugPict1->SetVisible(false);
  for (const THintRow& row : kHints) (this->*row.button)->Hint = GetUiText(row.textId);
  for (const TCaptionRow& row : kCaptions) (this->*row.item)->SetCaption(GetUiText(row.textId));
  OpenPictureDialog1->Title = GetUiText(kOpenImagesTextId);
  pnlCenter->SetCaption(GetUiText(kNoPageTextId));
  CaptionFileName1->SetCaption(GetUiText(kCaptionTextId) + " (" + GetUiText(kFileNameTextId) + ")");
}

void TFormDesign1::sbStatusDrawPanel(TStatusBar* statusBar, TStatusPanel* panel, const TRect& rect) {
  TCanvas* canvas = statusBar->Canvas();
  canvas->FillRect(rect);
  canvas->TextOut(rect.Left, rect.Top, panel->Text());
}

void TFormDesign1::tvPageListMouseMove(TObject*, TShiftState, int x, int y) {
  TTreeNode* node = tvPageList->GetNodeAt(x, y);
  const auto* element = node != nullptr ? static_cast<TmyXmlNode*>(node->Data) : nullptr;
  // The hint names caption and file name whatever the tree's display format.
  std::string text;
  if (element != nullptr) {
    const std::string caption = element->GetAttr("caption"), name = element->GetAttr("name");
    text = caption.empty() ? GetUiText(kUnnamedTextId) : caption;
    if (!name.empty()) text += " (" + name + ")";
  }
  sbStatus->Panels()->Items(0)->SetText(text);
}

void TFormDesign1::PagesDisplayFormat1Click(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (item == nullptr) return;
  item->SetChecked(true);
  document_->SetPageNameFormat(item->Tag);
  if (TmyXmlNode* web = document_->Web()) {
    TmyXmlNode* globalset = web->FindChild("globalset");
    if (globalset == nullptr) {
      globalset = web->InsertFirstChild("globalset");
      globalset->closed = true;
    }
    globalset->SetAttrIntStr("pvstyle", item->Tag);
  }
  RefreshTreeTexts();
}

void TFormDesign1::RefreshTreeTexts() {
  tvPageList->Items()->BeginUpdate();
  ScopeExit endUpdate([this] { tvPageList->Items()->EndUpdate(); });
  for (TTreeNode* node = tvPageList->Items()->GetFirstNode(); node != nullptr; node = node->GetNext())
    if (auto* element = static_cast<TmyXmlNode*>(node->Data)) node->SetText(NodeText(element));
}

TPopupMenu* TFormDesign1::FillPageLinkMenu(bool withBlank, TNotifyEvent handler) {
  TMenuItem* items = PagesPopup1->Items();
  items->Clear();
  auto add = [this](TMenuItem* parent, const std::string& caption, TNotifyEvent onClick) {
    auto* item = new TMenuItem(this);
    item->SetCaption(caption);
    item->OnClick = onClick;
    parent->Add(item);
    return item;
  };
  if (withBlank) {
    add(items, "", handler);
    add(items, "-", {});
  }
  // Each group is a submenu of its pages: the dialogs read a chosen page's
  // group from the item's parent.
  TmyXmlNode* web = document_->Web();
  for (TmyXmlNode* group = web != nullptr ? web->firstChild : nullptr; group != nullptr; group = group->next) {
    if (group->name != "group" || group->comment || group->instruction) continue;
    TMenuItem* groupItem =
        add(items, group->FindAttr("caption") != nullptr ? group->GetAttr("caption") : GetUiText(kUnnamedTextId), {});
    for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next)
      if (page->name == "page" && !page->comment && !page->instruction)
        add(groupItem, page->GetAttr("caption") + " - " + page->GetAttr("name"), handler);
  }
  if (!withBlank) {
    add(items, "-", {});
    add(items, "Logout - LOGOUT.XML", handler);
  }
  return PagesPopup1;
}

void TFormDesign1::ObjectPopupPopup(TObject*) {
  FillLayerMenu();
  const std::vector<TGridWebElement*> selected = SelectedPageObjects(*sbDesign1);
  const TConversionOffer offer = ConversionOfferFor(selected);
  ToPicture1->SetVisible(offer.toPicture);
  ToImage1->SetVisible(offer.toImage);
  ToImageBtn1->SetVisible(offer.toImageBtn);
  ToMulimg1->SetVisible(offer.toMultiImage);
  ToBlock1->SetVisible(offer.toRectangle);
  ToBlockBar1->SetVisible(offer.toDynamicBar);
  ToBlockColor1->SetVisible(offer.toColorRectangle);
  Convert1->SetVisible(offer.Any());
  const bool several = selected.size() > 1;
  for (TMenuItem* item : {AlignTop1, AlignBottom1, AlignLeft1, AlignRight1, AlignMiddle1, AlignCenter1,
                          DistributeHorizontally1, DistributeVertically1})
    item->SetEnabled(several);
}

void TFormDesign1::sbDesign1MouseWheel(TObject*, TShiftState shift, int wheelDelta, TPoint, bool& handled) {
  TControlScrollBar* bar = (shift & ssShift) != 0 ? sbDesign1->HorzScrollBar() : sbDesign1->VertScrollBar();
  bar->SetPosition(bar->Position() + (wheelDelta > 0 ? -kWheelStep : kWheelStep));
  handled = true;
}

std::int32_t TFormDesign1::RenewGroupPageUcids(TmyXmlNode* group) {
  std::int32_t time = GetUcidTime();
  for (TmyXmlNode* page = group != nullptr ? group->firstChild : nullptr; page != nullptr; page = page->next) {
    if (page->name != "page" || page->comment || page->instruction) continue;
    time = RenewPageUcid(page);
  }
  return time;
}

void TFormDesign1::RefreshTimer1Timer(TObject*) {
  WriteTraceLog("RefreshTimer1");
  for (TGridWebElement* object : PageObjects()) object->Repaint();
  RefreshTimer1->SetEnabled(false);
  WriteTraceLog("RefreshTimer1 - End");
}
