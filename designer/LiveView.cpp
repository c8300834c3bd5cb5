// TFormDesign1: the live view: switching it on and off, the watched
// variables of the shown page, the alarms and the live windows, the refresh
// on the plug-in's message 0x8578, alarm-driven page changes paced by
// CommTimer1, the PLC's online and offline messages, and extra live windows.
// The link with the PLC is the host's (TDesignerHost::LiveView); without one
// only the window's looks change.

#include <algorithm>
#include <string>
#include <vector>

#include "base/ScopeExit.h"
#include "core/TraceLog.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "designer/LiveViewLink.h"
#include "grid/PictureLoading.h"
#include "grid/PlaceholderResolver.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/SysUtils.h"
#include "platform/vcl/Timer.h"
#include "project/DebugList.h"
#include "project/FormDebug1.h"

namespace {

constexpr UINT kMsgPlcOffline = 0x84C1;
constexpr UINT kMsgPlcOnline = 0x84C2;
constexpr UINT kMsgPlcState = 0x84C4;
constexpr UINT kMsgCommProgress = 0x8578;
constexpr int kImageLive = 19;
constexpr int kImageDesign = 18;
constexpr int kAltDimMargin = 20;
constexpr int kWhite = 0xFFFFFF;

bool IsNamed(const TmyXmlNode* node, const char* name) { return node != nullptr && node->name == name; }

// The first `page` element below `node` whose `default` is "true".
TmyXmlNode* DefaultPage(TmyXmlNode* node) {
  for (TmyXmlNode* child = node != nullptr ? node->firstChild : nullptr; child != nullptr; child = child->next) {
    if (IsNamed(child, "page") && child->GetAttr("default") == "true") return child;
    if (TmyXmlNode* found = DefaultPage(child)) return found;
  }
  return nullptr;
}

// The first `alarms` element of the project, at any depth.
TmyXmlNode* AlarmsElement(TmyXmlNode* web) {
  if (web == nullptr) return nullptr;
  if (IsNamed(web, "alarms")) return web;
  return web->FindDeep("alarms");
}

// The page objects on a surface, in component order.
std::vector<TGridWebElement*> ObjectsOf(TWinControl* surface) {
  std::vector<TGridWebElement*> objects;
  for (int i = 0; i < surface->ComponentCount(); ++i)
    if (auto* object = dynamic_cast<TGridWebElement*>(surface->Components(i))) objects.push_back(object);
  for (int i = 0; i < surface->ControlCount(); ++i) {
    auto* object = dynamic_cast<TGridWebElement*>(surface->Controls(i));
    if (object != nullptr && std::find(objects.begin(), objects.end(), object) == objects.end())
      objects.push_back(object);
  }
  return objects;
}

void SetMenuItemsEnabled(TPopupMenu* menu, bool enabled) {
  TMenuItem* items = menu->Items();
  for (int i = 0; i < items->Count(); ++i) items->Items(i)->SetEnabled(enabled);
}

}  // namespace

void TFormDesign1::btnDebugClick(TObject* sender) {
  WriteTraceLog("btnDebugClick");
  CancelInsertion();
  Screen->SetCursor(crHourGlass);
  ScopeExit restoreCursor([] { Screen->SetCursor(crDefault); });
  if (auto* button = dynamic_cast<TToolButton*>(sender); button == btnDebug || button == btnDebug2)
    (button == btnDebug ? btnDebug2 : btnDebug)->SetDown(button->Down());
  const bool live = btnDebug->Down();
  btnDebug->SetImageIndex(live ? kImageLive : kImageDesign);
  btnDebug2->SetImageIndex(live ? kImageLive : kImageDesign);
  if (live) {
    if (FCurrentPage != nullptr) SavePage(FCurrentPage);
    ApplyPageView(FCurrentPage, imgBg, sbDesign1);
    FPendingPageNode = nullptr;
    WriteTraceLog("tnPageToChange = NULL");
    CommTimer1->SetEnabled(false);
  } else {
    DrawPageBackground();
  }
  SetLiveViewLock(live);
  if (TLiveViewLink* link = host_->LiveView()) link->Stop();
  CollectWatchedVariables();
  btnArrow->SetDown(true);
  btnFunctionClick(btnArrow);
  sbDesign1->Repaint();
  const bool editing = !live && !document_->ReadOnly();
  for (TToolButton* button : {btnAddGroup, btnAddPage, btnDeletePage, btnPageUp, btnPageDown})
    button->SetEnabled(editing);
  for (TPopupMenu* menu : {ScrollPopup, ObjectPopup, TreePopup}) SetMenuItemsEnabled(menu, editing);
  if (editing) tvPageListChange(tvPageList, tvPageList->Selected());
}

void TFormDesign1::SetLiveViewLock(bool live) {
  const bool wasLocked = FLiveMode || document_->ReadOnly();
  FLiveMode = live;
  const bool locked = live || document_->ReadOnly();
  for (TToolButton* button :
       {btnEditBox,   btnStateImage, btnLabel,      btnEditBoxEx,   btnGlobalSubmit, btnImage,        btnCameraPic,
        btnRectangle, btnBar,        btnMultiImage, btnPostFileBox, btnImageBtn,     btnRectDynCol,   btnStrImg,
        btnCanvas,    btnIFrame,     btnDropDown,   btnSave1,       btnSave2,        btnImageManager, btnGlobal,
        btnPass,      tbPreview1,    tbObjectList,  tbLang,         tbAlarm,         tbLayers})
    button->SetEnabled(!locked);
  if (locked) {
    // The history's states come back when the lock goes.
    if (!wasLocked) {
      FLiveUndoEnabled = tbUndo->Enabled();
      FLiveRedoEnabled = tbRedo->Enabled();
    }
    tbUndo->SetEnabled(false);
    tbRedo->SetEnabled(false);
  } else {
    CommTimer1->SetEnabled(false);
    tbUndo->SetEnabled(FLiveUndoEnabled);
    tbRedo->SetEnabled(FLiveRedoEnabled);
  }
  for (TGridWebElement* object : PageObjects()) object->FPending = false;
}

bool TFormDesign1::CollectWatchedVariables() {
  for (auto& buffer : FAlarmValues) buffer.fill(0);
  TmyXmlNode* web = document_->Web();
  const TmyXmlNode* defaultPage = DefaultPage(web);
  FDefaultPageName = defaultPage != nullptr ? defaultPage->GetAttr("name") : std::string();
  std::vector<TLiveAlarm> alarms;
  FAlarmPages.fill(std::string());
  std::size_t k = 0;
  const TmyXmlNode* alarmsElement = AlarmsElement(web);
  for (const TmyXmlNode* alarm = alarmsElement != nullptr ? alarmsElement->firstChild : nullptr;
       alarm != nullptr && k < FAlarmPages.size(); alarm = alarm->next) {
    if (!IsNamed(alarm, "alarm") || alarm->GetAttr("var").empty()) continue;
    FAlarmPages[k] = alarm->GetAttr("page");
    alarms.push_back({ExpandGlobalPlaceholders(FWebNameConvertor.get(), alarm->GetAttr("var")), FAlarmValues[k].data(),
                      &FAlarmChanged[k]});
    ++k;
  }
  std::vector<TGridWebElement*> objects = ObjectsOf(sbDesign1);
  for (int i = 0; i < FDebugList->Count(); ++i)
    if (auto* window = dynamic_cast<TFormDebug1*>(FDebugList->Items(i))) {
      const std::vector<TGridWebElement*> more = ObjectsOf(window->sbDesign1);
      objects.insert(objects.end(), more.begin(), more.end());
    }
  TLiveViewLink* link = host_->LiveView();
  if (link == nullptr) return FReadingActive = false;
  const bool live = btnDebug->Down();
  link->SetDesignerWindow(live ? Handle() : nullptr);
  FReadingActive = link->Collect(alarms, objects, live);
  return FReadingActive;
}

void TFormDesign1::ToggleLiveViewButton() {
  btnDebug->SetDown(false);
  btnDebug2->SetDown(false);
  btnDebugClick(btnDebug);
}

void TFormDesign1::DebugListRemoved(TObject*) {
  WriteTraceLog("DebugListRemoved");
  if (btnDebug->Down()) ToggleLiveViewButton();
}

// A page change while live: the entries go before the objects they point
// into; the new page's are collected once it is shown.
void TFormDesign1::LiveViewPageLeaving() {
  if (TLiveViewLink* link = host_->LiveView()) {
    link->Stop();
    link->FreeEntries();
  }
}

void TFormDesign1::LiveViewPageShown() {
  if (!FLiveMode) return;
  ApplyPageView(FCurrentPage, imgBg, sbDesign1);
  CollectWatchedVariables();
}

void TFormDesign1::EndLiveView() {
  if (TLiveViewLink* link = host_->LiveView()) {
    link->SetDesignerWindow(nullptr);
    link->Stop();
    link->FreeEntries();
  }
}

void TFormDesign1::CommTimer1Timer(TObject*) {
  --CommTimer1->Tag;
  TLiveViewLink* link = host_->LiveView();
  const bool waiting = link != nullptr && link->EntryCount() > 0 && !link->PassRan();
  if (waiting && FPendingPageNode != nullptr && CommTimer1->Tag >= 0) return;
  CommTimer1->SetEnabled(false);
  if (FPendingPageNode == nullptr) return;
  WriteTraceLog("Page changing");
  if (FPendingPageNode == tvPageList->Selected()) {
    if (link != nullptr) link->EndAlarmPageChange();
    FPendingPageNode = nullptr;
    FPageChangePending = false;
    WriteTraceLog("bAlarmInProgress = false");
    return;
  }
  TTreeNode* node = FPendingPageNode;
  tvPageList->SetSelected(node);
  FPendingPageNode = nullptr;
  if (link != nullptr) link->EndAlarmPageChange();
  WriteTraceLog("Page changed");
}

bool TFormDesign1::LiveViewMessage(const TMessage& message) {
  switch (message.Msg) {
    case kMsgPlcOffline:
    case kMsgPlcOnline:
    case kMsgPlcState: {
      TLiveViewLink* link = host_->LiveView();
      if (link != nullptr && link->UploadRunning()) return true;
      const bool online = message.Msg == kMsgPlcOnline || (message.Msg == kMsgPlcState && message.WParam != 0);
      if (btnDebug->Down() != online) {
        btnDebug->SetDown(online);
        btnDebug2->SetDown(online);
        btnDebugClick(btnDebug);
      }
      return true;
    }
    case kMsgCommProgress: LiveViewProgress(); return true;
    default: return false;
  }
}

void TFormDesign1::LiveViewProgress() {
  TLiveViewLink* link = host_->LiveView();
  if (link == nullptr) return;
  link->SyncValues();
  link->PollPictures();
  // An object that showed nothing has no size, so no repaint reaches it: it
  // draws itself aside once to take the size of what its new value shows.
  TBitmap aside;
  aside.SetSize(1, 1);
  for (TGridWebElement* object : PageObjects())
    if (object->Width() == 0 || object->Height() == 0) object->Draw(0, 0, aside.Canvas);
  sbDesign1->Repaint();
  if (const int percent = link->DownloadPercent(); percent >= 0 && sbStatus->Panels()->Count() > 0)
    sbStatus->Panels()->Items(0)->SetText(std::to_string(percent) + "%");
  for (int i = 0; i < FDebugList->Count(); ++i)
    if (auto* window = dynamic_cast<TFormDebug1*>(FDebugList->Items(i))) window->sbDesign1->Repaint();
  if (FPendingPageNode == nullptr && link->On() && link->ValuesValid() && link->ValuesChanged()) SwitchAlarmPage();
}

void TFormDesign1::SwitchAlarmPage() {
  const auto isAlarmPage = [&](const std::string& name) {
    return !name.empty() && std::find(FAlarmPages.begin(), FAlarmPages.end(), name) != FAlarmPages.end();
  };
  if (isAlarmPage(FReturnPage)) FReturnPage.clear();
  if (FReturnPage.empty()) FReturnPage = FDefaultPageName;
  const auto active = [&](std::size_t k) { return !FAlarmPages[k].empty() && FAlarmValues[k][0] != 0; };
  int current = -1;
  for (std::size_t k = 0; k < FAlarmPages.size() && !FShownPageName.empty(); ++k)
    if (FAlarmPages[k] == FShownPageName) {
      current = static_cast<int>(k);
      break;
    }
  int winner = -1;
  for (int k = 0; k < (current < 0 ? static_cast<int>(FAlarmPages.size()) : current) && winner < 0; ++k)
    if (active(static_cast<std::size_t>(k))) winner = k;
  if (current >= 0 && winner < 0) {
    if (active(static_cast<std::size_t>(current))) return;
    for (int k = current + 1; k < static_cast<int>(FAlarmPages.size()) && winner < 0; ++k)
      if (active(static_cast<std::size_t>(k))) winner = k;
    if (winner < 0) {
      ChangeToPageByName(this, FReturnPage);
      return;
    }
  }
  if (winner >= 0) ChangeToPageByName(this, FAlarmPages[static_cast<std::size_t>(winner)]);
}

// The view takes the page's (or its group's) size, colour and picture.
void TFormDesign1::ApplyPageView(TmyXmlNode* node, TImage* image, TWinControl* surface) {
  if (node == nullptr) return;
  const TmyXmlNode* sized = IsNamed(node, "page") && node->parent != nullptr ? node->parent : node;
  int w = document_->Settings().pageWidth, h = document_->Settings().pageHeight;
  if (sized->GetAttr("altdim") == "true") {
    w = sized->GetAttrInt("width", 0) + kAltDimMargin;
    h = sized->GetAttrInt("height", 0) + kAltDimMargin;
  }
  const auto colour = static_cast<TColor>(node->GetAttrInt("bgcolor", kWhite));
  surface->SetColor(colour);
  TPicture background;
  const char* path = GetImagePath(node->GetAttr("background"));
  if (path != nullptr && GridFileExists(path)) LoadGridPicture(background, path);
  const TGraphic* picture = background.Graphic();
  TBitmap& bitmap = *image->Picture()->Bitmap();
  bitmap.SetSize(std::max(w, 1), std::max(h, 1));
  bitmap.Canvas->Brush->Color = colour;
  bitmap.Canvas->FillRect({0, 0, bitmap.Width(), bitmap.Height()});
  const int pw = picture != nullptr ? picture->Width() : 0, ph = picture != nullptr ? picture->Height() : 0;
  if (pw > 0 && ph > 0) {
    const bool repeat = node->GetAttr("repeat") == "true";
    for (int y = 0; y < (repeat ? h : 1); y += ph)
      for (int x = 0; x < (repeat ? w : 1); x += pw) bitmap.Canvas->Draw(x, y, picture);
  }
  image->SetBounds(image->Left(), image->Top(), bitmap.Width(), bitmap.Height());
}

void TFormDesign1::ShowInNewWindow1Click(TObject*) {
  WriteTraceLog("ShowInNewWindow1Click");
  if (FCurrentPage != nullptr && IsNamed(FCurrentPage, "page")) OpenLiveWindow(FCurrentPage);
}

void TFormDesign1::OpenLiveWindow(TmyXmlNode* page) {
  auto* window = new TFormDebug1(nullptr, this);
  window->PageName = page->GetAttr("name");
  window->DebugList = FDebugList.get();
  FDebugList->Add(window);
  LoadPage(page, window->imgBg, window->sbDesign1);
  ApplyPageView(page, window->imgBg, window->sbDesign1);
  // The window shows the whole page: its client area takes the page's size.
  window->SetClientWidth(window->imgBg->Width());
  window->SetClientHeight(window->imgBg->Height());
  if (ComPtr<IHalvexIDE> ide = host_->Ide()) {
    ide->InsertDockableForm(window);
    ide->SetTabImage(window, kImageLive);
    ide->ShowDockableForm(window);
  }
  window->SetCaption(Caption() + " (" + std::to_string(FDebugList->Count() - 1) + ") - " + page->GetAttr("caption"));
  window->Show();
  if (btnDebug->Down()) {
    if (TLiveViewLink* link = host_->LiveView()) link->Stop();
    CollectWatchedVariables();
  }
}
