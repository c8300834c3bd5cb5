#include "project/FormAlarms.h"

#include "core/UiText.h"
#include "core/XmlNode.h"
#include "grid/PlaceholderResolver.h"
#include "grid/VariableInfo.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "project/DialogControls.h"
#include "project/FramUser.h"
#include "properties/DesignerContext.h"
#include "properties/VariableBrowser.h"

namespace {

// A field that needs a value it lacks: light red (R 255, G 128, B 128).
constexpr TColor kMissingColour = 0x8080FF;
constexpr int kHeaderHeight = 26;
constexpr int kClientWidth = TFramAlarm::kWidth + 16;
constexpr int kClientHeight = kHeaderHeight + kAlarmRows * TFramAlarm::kHeight + 48;

enum TAlarmTextId : int { kFormId = 7231, kPriorityId = 7230, kVariableId = 7036, kPageId = 7167 };

}  // namespace

TFramAlarm::TFramAlarm(TComponent* owner) : TFrame(owner) {
  SetBounds(0, 0, kWidth, kHeight);
  lblNum = AddControl<TLabel>(this, this, "lblNum", {12, 8, 40, 15});
  edtVariable = AddControl<TEdit>(this, this, "edtVariable", {60, 3, 200, 23});
  edtVariable->SetShowHint(true);
  edtVariable->OnChange = {this, &TFramAlarm::edtVariableChange};
  Button3 = AddControl<TButton>(this, this, "Button3", {262, 3, 24, 23});
  Button3->SetCaption("...");
  Button3->OnClick = {this, &TFramAlarm::Button3Click};
  cbStartPage = AddControl<TEdit>(this, this, "cbStartPage", {294, 3, 220, 23});
  cbStartPage->OnChange = {this, &TFramAlarm::cbStartPageChange};
  cbStartPage->OnMouseUp = {this, &TFramAlarm::cbStartPageMouseUp};
}

void TFramAlarm::SetPage(const std::string& text, const std::string& pageName) {
  pageName_ = pageName;
  pageText_ = text;
  cbStartPage->SetText(text);
  UpdatePageColour();
}

std::string TFramAlarm::PageName() const {
  const std::string text = cbStartPage->Text();
  if (text.empty()) return {};
  if (!pageName_.empty() && text == pageText_) return pageName_;
  if (text.find('-') == std::string::npos) return text;
  const std::size_t separator = text.rfind(" - ");
  return separator == std::string::npos ? text : text.substr(separator + 3);
}

void TFramAlarm::edtVariableChange(TObject*) {
  std::string reference = edtVariable->Text();
  if (Designer != nullptr) reference = ExpandGlobalPlaceholders(Designer->WebNameConvertor(), reference);
  TPinVariable info;
  LookUpGridVariable(reference, info);
  edtVariable->Hint = info.typeName;
  edtVariable->SetColor(info.typeName.empty() && !edtVariable->Text().empty() ? kMissingColour : clWindow);
  UpdatePageColour();
}

void TFramAlarm::cbStartPageChange(TObject*) { UpdatePageColour(); }

void TFramAlarm::UpdatePageColour() {
  const bool missing = cbStartPage->Text().empty() && !edtVariable->Text().empty();
  cbStartPage->SetColor(missing ? kMissingColour : clWindow);
}

void TFramAlarm::Button3Click(TObject*) {
  std::string chosen;
  if (gVariableBrowser == nullptr || !gVariableBrowser(edtVariable->Text(), chosen)) return;
  edtVariable->SetText(chosen);
}

void TFramAlarm::cbStartPageMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  PopupPageLinkMenu(Designer, {this, &TFramAlarm::PageMenuClick});
}

void TFramAlarm::PageMenuClick(TObject* sender) {
  const std::string text = StartPageOfMenuEntry(sender);
  const std::size_t separator = text.rfind(" - ");
  SetPage(text, separator == std::string::npos ? std::string() : text.substr(separator + 3));
}

TFormAlarms::TFormAlarms(TComponent* owner) : TForm(owner) {
  SetName("FormAlarms");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  SetDialogFont(this);
  lblPriority = AddControl<TLabel>(this, this, "lblPriority", {8, 6, 56, 15});
  lblVariable = AddControl<TLabel>(this, this, "lblVariable", {68, 6, 200, 15});
  lblPage = AddControl<TLabel>(this, this, "lblPage", {302, 6, 200, 15});
  for (int i = 0; i < kAlarmRows; ++i) {
    auto* row = new TFramAlarm(this);
    row->SetName("FramAlarm" + std::to_string(i + 1));
    row->SetParent(this);
    row->SetLeft(8);
    row->SetTop(kHeaderHeight + i * TFramAlarm::kHeight);
    Rows[static_cast<std::size_t>(i)] = row;
  }
  const int bottom = kClientHeight - 36;
  Button1 = AddControl<TButton>(this, this, "Button1", {kClientWidth - 172, bottom, 75, 25});
  Button1->ModalResult = mrOk;
  Button1->SetDefault(true);
  Button1->OnClick = {this, &TFormAlarms::Button1Click};
  Button2 = AddControl<TButton>(this, this, "Button2", {kClientWidth - 89, bottom, 75, 25});
  Button2->ModalResult = mrCancel;
  Button2->Cancel = true;
  SetCaptions();
  AfterConstruction();
}

void TFormAlarms::SetCaptions() {
  SetCaption(GetUiText(kFormId));
  lblPriority->SetCaption(GetUiText(kPriorityId));
  lblVariable->SetCaption(GetUiText(kVariableId));
  lblPage->SetCaption(GetUiText(kPageId));
  Button1->SetCaption(GetUiText(2005));
  Button2->SetCaption(GetUiText(2006));
}

void TFormAlarms::SetPageList(TDesignerContext* designer) {
  Designer = designer;
  for (int i = 0; i < kAlarmRows; ++i) {
    TFramAlarm& row = *Rows[static_cast<std::size_t>(i)];
    row.lblNum->SetCaption(std::to_string(i + 1) + ".");
    row.Designer = designer;
  }
}

void TFormAlarms::LoadFromXml(TmyXmlNode* alarms) {
  AlarmsNode = alarms;
  if (alarms == nullptr) return;
  std::size_t index = 0;
  for (TmyXmlNode* child = alarms->firstChild; child != nullptr && index < Rows.size(); child = child->next) {
    if (child->name != "alarm") continue;
    TFramAlarm& row = *Rows[index++];
    const std::string page = child->GetAttr("page");
    if (Designer != nullptr) {
      const std::string shown = Designer->GetPageDisplayName(page);
      row.SetPage(shown, shown.empty() ? std::string() : page);
    } else {
      row.SetPage(page, page);
    }
    row.edtVariable->SetText(child->GetAttr("var"));
  }
}

void TFormAlarms::Button1Click(TObject*) {
  TmyXmlNode* alarms = AlarmsNode;
  if (alarms == nullptr) {
    TmyXmlNode* web = Designer != nullptr ? Designer->WebElement() : nullptr;
    if (web == nullptr) return;
    alarms = AlarmsNode = web->InsertFirstChild("alarms");
  } else {
    alarms->DeleteChildrenByNameDeep("alarm");
  }
  for (const TFramAlarm* row : Rows) {
    TmyXmlNode* alarm = alarms->AddChild("alarm");
    alarm->closed = true;
    alarm->SetAttr("var", row->edtVariable->Text());
    alarm->SetAttr("page", row->PageName());
  }
}
