// TFormDesign1: the properties of a group or a page from the page tree (and
// of the shown page from the design surface), and the settings common to all
// pages of a group. The dialogs edit controls; this file reads the elements'
// attributes into them and writes them back in their stored order.

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/WriteFailureNotice.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "designer/PageTree.h"
#include "designer/ProjectDocument.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Shape.h"
#include "platform/vcl/StringList.h"
#include "platform/win/MessageBox.h"
#include "properties/FormGroupProperties.h"
#include "properties/FormPageProperties.h"
#include "properties/MyEdit.h"

namespace {

constexpr int kUnnamedTextId = 7141;
constexpr int kModalOk = 1;
constexpr int kPageMargin = 20;
constexpr int kWhite = 0xFFFFFF;
constexpr int kDefaultPause = 1000;
// Only so many alarms are looked at for the page they show.
constexpr int kAlarmsLooked = 8;

TmyXmlNode* ElementOf(const TTreeNode* node) {
  return node != nullptr ? static_cast<TmyXmlNode*>(node->Data) : nullptr;
}

const char* TrueFalse(bool on) { return on ? "true" : "false"; }

bool IsTrue(const std::string& value) { return value == "true"; }

// An integer attribute value; `fallback` when it does not read as one.
int IntOr(const TmyXmlNode& element, const char* attr, int fallback) { return element.GetAttrInt(attr, fallback); }

void Check(TPropertyForm& form, const char* name, bool on) { form.Get<TCheckBox>(name)->SetChecked(on); }
bool Checked(TPropertyForm& form, const char* name) { return form.Get<TCheckBox>(name)->Checked(); }
void SetNumber(TPropertyForm& form, const char* name, int value) { form.Get<TmyEdit>(name)->SetValue(value); }
int Number(TPropertyForm& form, const char* name) { return form.Get<TmyEdit>(name)->GetValue(); }

// --- the group ------------------------------------------------------------------

// One attribute of `group` read into the dialog.
struct TGroupRead {
  const char* attr;
  std::function<void(TFormGroupProperties&, const TmyXmlNode&, const TProjectSettings&)> read;
};

std::function<void(TFormGroupProperties&, const TmyXmlNode&, const TProjectSettings&)> CheckWhenTrue(const char* box,
                                                                                                     const char* attr) {
  return [box, attr](TFormGroupProperties& f, const TmyXmlNode& g, const TProjectSettings&) {
    Check(f, box, IsTrue(g.GetAttr(attr)));
  };
}

const TGroupRead kGroupReads[] = {
    {"altdim", CheckWhenTrue("cbAlternativePageDim", "altdim")},
    {"caption", [](TFormGroupProperties& f, const TmyXmlNode& g,
                   const TProjectSettings&) { f.Get<TEdit>("edtCaption1")->SetText(g.GetAttr("caption")); }},
    {"dwMode", [](TFormGroupProperties& f, const TmyXmlNode& g,
                  const TProjectSettings&) { Check(f, "cbDeviceWidthMode", IntOr(g, "dwMode", 1) != 0); }},
    {"height",
     [](TFormGroupProperties& f, const TmyXmlNode& g, const TProjectSettings& s) {
       SetNumber(f, "ceSizeY", IntOr(g, "height", s.pageHeight - kPageMargin));
     }},
    {"iniScale", [](TFormGroupProperties& f, const TmyXmlNode& g,
                    const TProjectSettings&) { SetNumber(f, "meInitialScale", IntOr(g, "iniScale", 100)); }},
    {"level", [](TFormGroupProperties& f, const TmyXmlNode& g,
                 const TProjectSettings&) { SetNumber(f, "seSecLevel", IntOr(g, "level", 0)); }},
    {"locked", [](TFormGroupProperties& f, const TmyXmlNode& g,
                  const TProjectSettings&) { Check(f, "cbLocked", IntOr(g, "locked", 0) != 0); }},
    {"maxScale", [](TFormGroupProperties& f, const TmyXmlNode& g,
                    const TProjectSettings&) { SetNumber(f, "meMaxScale", IntOr(g, "maxScale", 100)); }},
    {"notforid", CheckWhenTrue("cbDontMakeForID", "notforid")},
    {"notforwww", CheckWhenTrue("cbDontMakeForWWW", "notforwww")},
    {"useIniScale", CheckWhenTrue("cbInitialScale", "useIniScale")},
    {"useMaxScale", CheckWhenTrue("cbMaxScale", "useMaxScale")},
    {"userScale", CheckWhenTrue("cbUserScale", "userScale")},
    {"usetemp", [](TFormGroupProperties& f, const TmyXmlNode& g,
                   const TProjectSettings&) { f.SetTemplate(IntOr(g, "usetemp", 0)); }},
    {"width", [](TFormGroupProperties& f, const TmyXmlNode& g,
                 const TProjectSettings& s) { SetNumber(f, "ceSizeX", IntOr(g, "width", s.pageWidth - kPageMargin)); }},
};

void ReadGroup(TFormGroupProperties& form, const TmyXmlNode& group, const TProjectSettings& settings) {
  Check(form, "cbDeviceWidthMode", settings.displayMode > 0);
  Check(form, "cbInitialScale", settings.useIniScale);
  Check(form, "cbMaxScale", settings.useMaxScale);
  Check(form, "cbUserScale", settings.userScale);
  SetNumber(form, "meInitialScale", settings.iniScale);
  SetNumber(form, "meMaxScale", settings.maxScale);
  // An own size not stored shows the project's page size.
  SetNumber(form, "ceSizeX", settings.pageWidth - kPageMargin);
  SetNumber(form, "ceSizeY", settings.pageHeight - kPageMargin);
  for (const TmyXmlAttrNode* a = group.firstAttr; a != nullptr; a = a->next)
    for (const TGroupRead& row : kGroupReads)
      if (a->name == row.attr) row.read(form, group, settings);
  if (!Checked(form, "cbAlternativePageDim")) {
    SetNumber(form, "ceSizeX", settings.pageWidth - kPageMargin);
    SetNumber(form, "ceSizeY", settings.pageHeight - kPageMargin);
  }
  form.cbAlternativePageDimClick(nullptr);
}

// What decides whether the group's pages get new change stamps.
struct TGroupSize {
  bool altdim = false;
  int width = 0, height = 0;
  bool useIni = false, useMax = false, userScale = false;
  int ini = 0, max = 0;
  bool operator==(const TGroupSize&) const = default;
};

TGroupSize GroupSizeShown(TFormGroupProperties& f) {
  return {Checked(f, "cbAlternativePageDim"), Number(f, "ceSizeX"),     Number(f, "ceSizeY"),
          Checked(f, "cbInitialScale"),       Checked(f, "cbMaxScale"), Checked(f, "cbUserScale"),
          Number(f, "meInitialScale"),        Number(f, "meMaxScale")};
}

bool GroupSizeChanged(const TGroupSize& before, const TGroupSize& after) {
  if (before.altdim != after.altdim) return true;
  return after.altdim && !(before == after);
}

// --- the page -------------------------------------------------------------------

using TPageForm = TFormPageProperties;

// One attribute of `page` shown by the dialog: `show` sets the control from
// the first page, `same` tells whether a further page shows the same, `mix`
// marks the control as mixed; `write` stores the control (common settings:
// when `control` is flagged).
struct TPageField {
  const char* attr;
  const char* control;
  std::function<void(TPageForm&, const TmyXmlNode&)> show;
  std::function<bool(TPageForm&, const TmyXmlNode&)> same;
  std::function<void(TPageForm&)> mix;
  std::function<void(TPageForm&, TmyXmlNode&)> write;
};

TPageField CheckField(const char* attr, const char* box, bool gray) {
  return {attr,
          box,
          [=](TPageForm& f, const TmyXmlNode& p) { Check(f, box, IsTrue(p.GetAttr(attr))); },
          [=](TPageForm& f, const TmyXmlNode& p) {
            return f.Get<TCheckBox>(box)->State() == (IsTrue(p.GetAttr(attr)) ? cbChecked : cbUnchecked);
          },
          [=](TPageForm& f) {
            auto* check = f.Get<TCheckBox>(box);
            check->AllowGrayed = gray;
            check->SetState(gray ? cbGrayed : cbUnchecked);
          },
          [=](TPageForm& f, TmyXmlNode& p) { p.SetAttr(attr, TrueFalse(Checked(f, box))); }};
}

TPageField NumberField(const char* attr, const char* box, int fallback) {
  return {attr,
          box,
          [=](TPageForm& f, const TmyXmlNode& p) { SetNumber(f, box, IntOr(p, attr, fallback)); },
          [=](TPageForm& f, const TmyXmlNode& p) { return Number(f, box) == IntOr(p, attr, fallback); },
          [=](TPageForm& f) { SetNumber(f, box, attr == std::string("pause") ? kDefaultPause : 0); },
          [=](TPageForm& f, TmyXmlNode& p) { p.SetAttrIntStr(attr, Number(f, box)); }};
}

// The fields the common page settings take over, in the order they are read.
const std::vector<TPageField>& PageFields() {
  static const std::vector<TPageField> fields = {
      CheckField("ajax", "cbAjax", false),
      {"background", "Image1",
       [](TPageForm& f, const TmyXmlNode& p) {
         f.SetBackgroundImage(f.Get<TImage>("Image1"), p.GetAttr("background"));
       },
       [](TPageForm& f, const TmyXmlNode& p) { return f.backgroundImage == p.GetAttr("background"); },
       [](TPageForm& f) { f.btnClearImage1Click(nullptr); },
       [](TPageForm& f, TmyXmlNode& p) { p.SetAttr("background", f.backgroundImage); }},
      {"bgcolor", "shBack",
       [](TPageForm& f, const TmyXmlNode& p) { f.Get<TShape>("shBack")->SetBrushColor(IntOr(p, "bgcolor", kWhite)); },
       [](TPageForm& f, const TmyXmlNode& p) {
         return f.Get<TShape>("shBack")->Brush->Color == IntOr(p, "bgcolor", kWhite);
       },
       [](TPageForm& f) { f.Get<TShape>("shBack")->SetBrushStyle(bsDiagCross); },
       [](TPageForm& f, TmyXmlNode& p) { p.SetAttrIntStr("bgcolor", f.Get<TShape>("shBack")->Brush->Color); }},
      {"caption", "edtCaption1",
       [](TPageForm& f, const TmyXmlNode& p) { f.Get<TEdit>("edtCaption1")->SetText(p.GetAttr("caption")); },
       [](TPageForm& f, const TmyXmlNode& p) { return f.Get<TEdit>("edtCaption1")->Text() == p.GetAttr("caption"); },
       [](TPageForm& f) { f.Get<TEdit>("edtCaption1")->SetText(""); },
       [](TPageForm& f, TmyXmlNode& p) { p.SetAttr("caption", f.Get<TEdit>("edtCaption1")->Text()); }},
      CheckField("hidden", "cbHidden", false),
      {"jsonmap", "GenerateJsonMap1",
       [](TPageForm& f, const TmyXmlNode& p) { f.GenerateJsonMap1->SetChecked(IsTrue(p.GetAttr("jsonmap"))); },
       [](TPageForm& f, const TmyXmlNode& p) { return f.GenerateJsonMap1->Checked() == IsTrue(p.GetAttr("jsonmap")); },
       [](TPageForm& f) { f.GenerateJsonMap1->SetChecked(false); },
       [](TPageForm& f, TmyXmlNode& p) { p.SetAttr("jsonmap", TrueFalse(f.GenerateJsonMap1->Checked())); }},
      NumberField("level", "seSecLevel", 0),
      CheckField("notification", "cbNotification1", true),
      NumberField("pause", "csRefresh1", kDefaultPause),
      CheckField("repeat", "cbRepeat", true),
  };
  return fields;
}

const TPageField* FindPageField(const std::string& attr) {
  for (const TPageField& field : PageFields())
    if (attr == field.attr) return &field;
  return nullptr;
}

// Whether an alarm of the project shows the page of that file name.
bool AlarmShowsPage(TmyXmlNode* web, const std::string& name) {
  TmyXmlNode* alarms = web != nullptr ? web->FindChild("alarms") : nullptr;
  int looked = 0;
  for (TmyXmlNode* a = alarms != nullptr ? alarms->firstChild : nullptr; a != nullptr && looked < kAlarmsLooked;
       a = a->next) {
    if (a->name != "alarm") continue;
    ++looked;
    if (!a->GetAttr("var").empty() && a->GetAttr("page") == name) return true;
  }
  return false;
}

// The page's attributes into the dialog, in their stored order.
void ReadPage(TPageForm& form, const TmyXmlNode& page, TmyXmlNode* web) {
  for (const TmyXmlAttrNode* a = page.firstAttr; a != nullptr; a = a->next) {
    if (const TPageField* field = FindPageField(a->name)) field->show(form, page);
    if (a->name == "default" && IsTrue(a->value)) {
      Check(form, "cbIndex", true);
      form.Get<TCheckBox>("cbIndex")->SetEnabled(false);
    }
    if (a->name == "name") {
      form.Get<TEdit>("edtFileName1")->SetText(a->value);
      if (AlarmShowsPage(web, a->value)) form.Get<TCheckBox>("cbIndex")->SetEnabled(false);
    }
  }
  form.cbAjaxClick(nullptr);
}

// The `Uid` of an element, empty when it has none.
std::string UidOf(const TmyXmlNode& element) {
  const TmyXmlAttrNode* uid = element.FindAttr("Uid");
  return uid != nullptr ? uid->value : std::string();
}

// Writes the `Uid` that the element had before its attributes were rewritten
// back, last: it stays the element's identity (the texts for translation find
// groups and pages by it). An element that had none gets the next one.
void KeepUid(TProjectDocument& document, TmyXmlNode* element, const std::string& uid) {
  if (uid.empty()) {
    document.AssignMissingUids(element);
    return;
  }
  element->SetAttr("Uid", uid);
}

}  // namespace

// The caption in the editor language over the caption text, the language
// slots, the language button; the caption text stands in the editor's slot.
void TFormDesign1::LoadCaptionSlots(TPropertyForm& form, TmyXmlNode* element, bool firstCall) {
  auto* caption = form.Get<TEdit>("edtCaption1");
  std::string text;
  if (GetLangText(element, "caption", text, FEditorLangCode)) caption->SetText(text);
  TLangText& slots = form.langTexts.front();
  form.editorSlot = GetLangTexts("caption", firstCall, slots.texts.data(), element);
  form.ShowLangButtons(FLangMutations);
}

void TFormDesign1::SyncCaptionSlot(TPropertyForm& form) {
  TLangText& slots = form.langTexts.front();
  const std::string& text = form.Get<TEdit>("edtCaption1")->Text();
  if (form.editorSlot < 0 || slots.texts[form.editorSlot] == text) return;
  slots.texts[form.editorSlot] = text;
  slots.changed[form.editorSlot] = true;
}

void TFormDesign1::sbDesign1DblClick(TObject*) {
  FFromDesignSurface = true;
  tvPageListDblClick(tvPageList);
  FFromDesignSurface = false;
}

void TFormDesign1::tvPageListDblClick(TObject*) {
  TTreeNode* node = tvPageList->Selected();
  if (node == nullptr || FLiveMode) return;
  if (FFromDesignSurface && node->Parent() == nullptr) {
    node = node->getFirstChild();
    if (node == nullptr) return;
  }
  TmyXmlNode* element = ElementOf(node);
  if (element == nullptr) return;
  if (element->name == "page") EditPageProperties(node, element);
  if (element->name == "group") EditGroupProperties(node, element);
}

void TFormDesign1::EditGroupProperties(TTreeNode* node, TmyXmlNode* group) {
  auto form = std::make_unique<TFormGroupProperties>(*this);
  form->group = group;
  const TProjectSettings& settings = document_->Settings();
  ReadGroup(*form, *group, settings);
  const bool notification = IsTrue(group->GetAttr("notification"));
  const TGroupSize before = GroupSizeShown(*form);
  form->Get<TEdit>("edtCaption1")->SetText(group->GetAttr("caption"));
  LoadCaptionSlots(*form, group, true);
  SyncCaptionSlot(*form);
  form->LoadCaptions();
  form->loaded = true;
  FPropertiesResult = ShowModalWithNotice(*form);
  if (FPropertiesResult == kModalOk) {
    const bool changed = GroupSizeChanged(before, GroupSizeShown(*form));
    WriteGroup(*form, node, group, notification);
    if (changed) {
      RenewGroupPageUcids(group);
      SetModified();
    }
  }
  RefreshAllObjectVarInfo();
}

void TFormDesign1::WriteGroup(TFormGroupProperties& f, TTreeNode* node, TmyXmlNode* group, bool notification) {
  const std::string uid = UidOf(*group);
  group->DeleteAllAttrs();
  SetModified();
  if (notification) group->SetAttr("notification", "true");
  const std::string caption = f.Get<TEdit>("edtCaption1")->Text();
  group->SetAttr("caption", caption);
  const TLangText& slots = f.langTexts.front();
  SetLangTexts("caption", group, slots.texts.data(), slots.changed.data());
  group->SetAttrIntStr("level", std::clamp(Number(f, "seSecLevel"), 0, 9));
  const bool locked = Checked(f, "cbLocked");
  group->SetAttr("locked", locked ? "1" : "0");
  const bool altdim = Checked(f, "cbAlternativePageDim");
  group->SetAttr("altdim", TrueFalse(altdim));
  group->SetAttr("notforid", TrueFalse(Checked(f, "cbDontMakeForID")));
  if (Checked(f, "cbDontMakeForWWW")) group->SetAttr("notforwww", "true");
  if (altdim) {
    group->SetAttrIntStr("width", Number(f, "ceSizeX"));
    group->SetAttrIntStr("height", Number(f, "ceSizeY"));
    group->SetAttr("dwMode", Checked(f, "cbDeviceWidthMode") ? "1" : "0");
    group->SetAttr("useIniScale", TrueFalse(Checked(f, "cbInitialScale")));
    group->SetAttr("useMaxScale", TrueFalse(Checked(f, "cbMaxScale")));
    group->SetAttr("userScale", TrueFalse(Checked(f, "cbUserScale")));
    group->SetAttrIntStr("iniScale", Number(f, "meInitialScale"));
    group->SetAttrIntStr("maxScale", Number(f, "meMaxScale"));
  }
  if (const int temp = f.GetTemplate(); temp != 0) group->SetAttrIntStr("usetemp", temp);
  node->SetText(caption.empty() ? GetUiText(kUnnamedTextId) : caption);
  node->SetStateIndex(locked ? 1 : 0);
  FGlobalWebData.GroupLocked = locked;
  KeepUid(*document_, group, uid);
}

void TFormDesign1::EditPageProperties(TTreeNode* node, TmyXmlNode* page) {
  TmyXmlNode* group = page->parent;
  if (group != nullptr && group->GetAttrInt("locked", 0) != 0) {
    MessageBox(nullptr, GetUiText(7254).c_str(), GetUiText(2038).c_str(), MB_OK | MB_ICONWARNING | MB_TOPMOST);
    return;
  }
  auto form = std::make_unique<TFormPageProperties>(*this);
  SavePage(FCurrentPage);
  form->page = page;
  const std::string oldName = page->GetAttr("name");
  ReadPage(*form, *page, document_->Web());
  LoadCaptionSlots(*form, page, true);
  SyncCaptionSlot(*form);
  form->highestPageNumber = MakeUniquePageName(*this, form->takenNames.get(), false);
  form->loaded = true;
  FPropertiesResult = ShowModalWithNotice(*form);
  if (FPropertiesResult == kModalOk) WritePage(*form, node, page, oldName);
}

void TFormDesign1::WritePage(TFormPageProperties& f, TTreeNode* node, TmyXmlNode* page, const std::string& oldName) {
  WriteTraceLog("PageProperties OK");
  SetModified();
  FCurrentUcid = GetUcidTime();
  const std::string uid = UidOf(*page);
  page->DeleteAllAttrs();
  WriteTraceLog("PageProperties del attr");
  if (Checked(f, "cbNotification1")) {
    page->SetAttr("notification", "true");
    WriteTraceLog("PageProperties add notifiacation");
  }
  const std::string caption = f.Get<TEdit>("edtCaption1")->Text();
  const std::string fileName = f.Get<TEdit>("edtFileName1")->Text();
  const std::string name = fileName + ".XML";
  node->SetText(document_->PageTreeText(caption, name, false));
  WriteTraceLog("PageProperties caption");
  const TLangText& slots = f.langTexts.front();
  SetLangTexts("caption", page, slots.texts.data(), slots.changed.data());
  WriteTraceLog("PageProperties lang");
  page->SetAttr("caption", caption);
  WriteTraceLog("PageProperties caption attr");
  page->SetAttr("name", name);
  WriteTraceLog("PageProperties name attr");
  if (name != oldName) {
    WriteTraceLog("PageProperties name changed");
    WriteTraceLog("OriginalName - " + oldName);
    WriteTraceLog("NewName - " + fileName);
    RenamePageReferences(oldName, name);
    WriteTraceLog("PageProperties refresh hres");
  }
  for (const char* attr : {"background", "bgcolor", "repeat", "hidden"}) FindPageField(attr)->write(f, *page);
  if (f.GenerateJsonMap1->Checked()) page->SetAttr("jsonmap", "true");
  for (const char* attr : {"ajax", "pause"}) FindPageField(attr)->write(f, *page);
  WriteTraceLog("PageProperties attr OK");
  // The surface shows the shown page's new picture and colour.
  if (page == FCurrentPage) LoadBackgroundPicture(page, imgBg);
  WriteTraceLog("PageProperties bitmap OK");
  if (page == FCurrentPage) DrawPageBackground();
  FindPageField("level")->write(f, *page);
  if (Checked(f, "cbIndex")) {
    for (TmyXmlNode* other = document_->Web()->FindDeep("page"); other != nullptr; other = other->FindDeep("page"))
      if (other != page) other->DeleteAttr("default");
    page->SetAttr("default", "true");
  }
  WriteTraceLog("Default set");
  KeepUid(*document_, page, uid);
  RefreshAllObjectVarInfo();
}

void TFormDesign1::GroupPageSettings1Click(TObject*) {
  // The command ends by showing the selected node again, which rebuilds the
  // surface from the document: the shown page is stored first, or an edit
  // not yet stored (a move, a new object) would be lost.
  SavePage(FCurrentPage);
  TTreeNode* node = tvPageList->Selected();
  TmyXmlNode* group = node != nullptr ? ElementOf(node->Parent() != nullptr ? node->Parent() : node) : nullptr;
  if (group != nullptr) EditCommonPageSettings(group);
  tvPageListChange(tvPageList, tvPageList->Selected());
}

void TFormDesign1::EditCommonPageSettings(TmyXmlNode* group) {
  auto form = std::make_unique<TFormPageProperties>(*this);
  form->Get<TControl>("btnPlaceHolders")->SetVisible(false);
  form->Get<TControl>("edtFileName1")->SetEnabled(false);
  form->Get<TControl>("cbIndex")->SetEnabled(false);
  std::string text;
  if (GetLangText(group, "caption", text, FEditorLangCode)) form->Get<TEdit>("edtCaption1")->SetText(text);
  TLangText& slots = form->langTexts.front();
  bool first = true;
  for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next) {
    if (page->name != "page") continue;
    form->editorSlot = GetLangTexts("caption", first, slots.texts.data(), page);
    for (const TPageField& field : PageFields()) {
      if (first) {
        if (page->FindAttr(field.attr) != nullptr) field.show(*form, *page);
      } else if (!field.same(*form, *page)) {
        field.mix(*form);
      }
    }
    first = false;
  }
  form->cbAjaxClick(nullptr);
  form->ShowLangButtons(FLangMutations);
  MakeUniquePageName(*this, form->takenNames.get(), false);
  form->loaded = true;
  FPropertiesResult = ShowModalWithNotice(*form);
  if (FPropertiesResult != kModalOk) return;
  SetModified();
  for (TTreeNode* pageNode = FirstPageNodeOf(group); pageNode != nullptr; pageNode = pageNode->getNextSibling()) {
    TmyXmlNode* page = ElementOf(pageNode);
    if (page == nullptr || page->name != "page") continue;
    SetLangTexts("caption", page, slots.texts.data(), slots.changed.data());
    for (const TPageField& field : PageFields())
      if (form->Flagged(field.control)) field.write(*form, *page);
    if (form->Flagged("edtCaption1")) pageNode->SetText(page->GetAttr("caption"));
  }
}

TTreeNode* TFormDesign1::FirstPageNodeOf(TmyXmlNode* group) const {
  for (TTreeNode* node = tvPageList->Items()->GetFirstNode(); node != nullptr; node = node->getNextSibling())
    if (ElementOf(node) == group) return node->getFirstChild();
  return nullptr;
}
