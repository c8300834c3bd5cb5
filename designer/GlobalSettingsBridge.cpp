#include "designer/GlobalSettingsBridge.h"

#include <cerrno>
#include <memory>
#include <string>

#include "core/FileHelpers.h"
#include "core/ProjectLocation.h"
#include "core/WriteFailureNotice.h"
#include "core/XmlNode.h"
#include "designer/DesignerHost.h"
#include "designer/FormDesign1.h"
#include "generator/ProjectSettings.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/Shape.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/FileIo.h"
#include "project/FormGlobalSettings.h"
#include "properties/FormPlaceholders.h"

namespace {

constexpr int kPageMargin = 20;
constexpr const char* kProportionalFont = "Verdana";
constexpr const char* kFixedFont = "Courier New";
constexpr const char* kMarkerContent = "On";
constexpr const char* kTdiContent = "Disable";

struct TMarkers {
  std::string compile;  // the host project's name and ".auto"; empty without a project
  std::string tdi;      // "disable.tdi"
};

TMarkers MarkersOf(TFormDesign1& designer) {
  const TProjectLocation location = designer.Host().ProjectLocation();
  if (location.hostProjectDir.empty()) return {};
  const std::string folder = location.hostProjectDir + "Tarnwell\\";
  return {folder + location.hostProjectName + ".auto", folder + "disable.tdi"};
}

// Creates the marker with its content unless it exists; deletes it when off.
// A marker that cannot be made or removed is noted for the user; the
// settings of the project are kept all the same.
void SetMarker(const std::string& path, bool on, const char* content) {
  if (path.empty()) return;
  if (!on) {
    if (PathExists(path) && !DeleteFile(path)) NoteWriteFailure(path, WriteFailureReason(errno));
    return;
  }
  if (PathExists(path)) return;
  const std::string text = content;
  if (!WriteFileReplacing(path, text.data(), text.size())) NoteWriteFailure(path, WriteFailureReason(errno));
}

std::string BoolText(bool on) { return on ? "true" : "false"; }

// Compares and stores one setting; a difference marks the page layout changed.
template <class T>
void Store(T& field, const T& value, bool& layoutChanged) {
  if (field != value) layoutChanged = true;
  field = value;
}

// A child of `web` that stands for a flag: made empty as the first child
// when the flag is set, deleted when it is clear.
void SetFlagElement(TmyXmlNode* web, const char* name, bool on) {
  const bool present = web->FindChild(name) != nullptr;
  if (on && !present) web->InsertFirstChild(name)->closed = true;
  if (!on && present) web->DeleteChildrenByName(name);
}

void FillIcon(TFormGlobalSettings& form, TFormDesign1& designer) {
  const char* path = form.IconName.empty() ? nullptr : designer.GetImagePath(form.IconName);
  if (path != nullptr && PathExists(path)) {
    try {
      form.imgIco->Picture()->LoadFromFile(path);
    } catch (const std::exception&) {
      form.imgIco->Picture()->SetGraphic(nullptr);
    }
    form.btnIcon->Tag = 1;
    form.btnIcon->SetCaption("x");
  } else {
    form.ShowDefaultIcon();
    form.btnIcon->SetCaption("...");
  }
  form.PlaceIconImage();
}

void FillFlags(TFormGlobalSettings& form, TFormDesign1& designer) {
  const TProjectDocument& document = designer.Document();
  form.GenerateVarNames1->SetChecked(document.VarNames());
  form.GenerateXmlOnly1->SetChecked(document.OnlyXml());
  form.DontDeleteXml1->SetChecked(document.DebugXmz());
  form.UseWebpages1->SetChecked(document.SplitLayout());
  form.DisableTdi1->SetChecked(designer.DictionaryOff());
  form.cbOldDim1->SetChecked(!document.NewDimension());
}

void FillGrid(TFormGlobalSettings& form, TmyXmlNode* grid) {
  if (grid == nullptr) return;
  form.cbGrid->SetEnabled(true);
  form.cbGrid->SetChecked(grid->GetAttrInt("Enable", 0) != 0);
  form.cbGridClick(form.cbGrid);
  TFormGlobalSettings::SetBoxValue(form.seGridX, grid->GetAttrInt("X", 0));
  TFormGlobalSettings::SetBoxValue(form.seGridY, grid->GetAttrInt("Y", 0));
}

void FillBrowser(TFormGlobalSettings& form, const TProjectSettings& settings) {
  form.shFront->SetBrushColor(static_cast<TColor>(settings.bgColor));
  form.cbSameAsPage->SetChecked(!settings.background);
  form.cbVarFont->SetChecked(settings.propFont);
  form.cbSameAsPageClick(form.cbSameAsPage);
  form.cbDeviceWidthMode->SetChecked(settings.displayMode > 0);
  form.cbInitialScale->SetChecked(settings.useIniScale);
  form.cbMaxScale->SetChecked(settings.useMaxScale);
  form.cbUserScale->SetChecked(settings.userScale);
  form.cbWebApp->SetChecked(settings.webApp);
  TFormGlobalSettings::SetBoxValue(form.meInitialScale, settings.iniScale);
  TFormGlobalSettings::SetBoxValue(form.meMaxScale, settings.maxScale);
}

// Phase 1: the designer's own state, in the order the settings are compared.
void StoreDesignerState(TFormGlobalSettings& form, TFormDesign1& designer, const TMarkers& markers) {
  TProjectDocument& document = designer.Document();
  TProjectSettings& settings = document.MutableSettings();
  designer.SetModified();
  bool changed = false;
  Store(settings.pageHeight, TFormGlobalSettings::BoxValue(form.scHeight) + kPageMargin, changed);
  Store(settings.pageWidth, TFormGlobalSettings::BoxValue(form.scWidth) + kPageMargin, changed);
  Store(settings.topMargin, TFormGlobalSettings::BoxValue(form.scTop), changed);
  Store(settings.leftMargin, TFormGlobalSettings::BoxValue(form.scLeft), changed);
  Store(settings.menuOff, !form.cbMenu->Checked(), changed);
  Store(settings.titleOff, !form.cbTitle->Checked(), changed);
  Store(settings.borderOff, form.cbBorder->Checked() && form.cbBorder->Enabled(), changed);
  bool flag = document.VarNames();
  Store(flag, form.GenerateVarNames1->Checked(), changed);
  document.SetVarNames(flag);
  flag = document.OnlyXml();
  Store(flag, form.GenerateXmlOnly1->Checked(), changed);
  document.SetOnlyXml(flag);
  flag = document.SplitLayout();
  Store(flag, form.UseWebpages1->Checked(), changed);
  document.SetSplitLayout(flag);
  flag = designer.DictionaryOff();
  Store(flag, form.DisableTdi1->Checked(), changed);
  designer.SetDictionaryOff(flag);
  SetMarker(markers.tdi, flag, kTdiContent);
  flag = document.DebugXmz();
  Store(flag, form.DontDeleteXml1->Checked(), changed);
  document.SetDebugXmz(flag);
  Store(settings.bgColor, static_cast<int>(form.shFront->Brush->Color), changed);
  Store(settings.background, !form.cbSameAsPage->Checked(), changed);
  Store(settings.propFont, form.cbVarFont->Checked(), changed);
  const char* font = settings.propFont ? kProportionalFont : kFixedFont;
  if (designer.sbDesign1->Font()->Name != font) changed = true;
  designer.sbDesign1->Font()->Name = font;
  Store(settings.displayMode, form.cbDeviceWidthMode->Checked() ? 1 : 0, changed);
  Store(settings.useIniScale, form.cbInitialScale->Checked(), changed);
  Store(settings.useMaxScale, form.cbMaxScale->Checked(), changed);
  Store(settings.userScale, form.cbUserScale->Checked(), changed);
  Store(settings.webApp, form.cbWebApp->Checked(), changed);
  Store(settings.iniScale, TFormGlobalSettings::BoxValue(form.meInitialScale), changed);
  Store(settings.maxScale, TFormGlobalSettings::BoxValue(form.meMaxScale), changed);
  if (form.cbOldDim1->Checked() == document.NewDimension()) {
    document.SetNewDimension(!form.cbOldDim1->Checked());
    designer.FGlobalWebData.MeasuredFonts = document.NewDimension();
    changed = true;
  }
  // Every page is generated anew when its layout changed.
  if (changed) designer.RenewAllPageUcids();
}

// Phase 2: the design surface's background and colour.
void StoreSurface(TFormDesign1& designer) {
  designer.DrawPageBackground();
  const TProjectSettings& settings = designer.Document().Settings();
  if (settings.background) designer.sbDesign1->SetColor(static_cast<TColor>(settings.bgColor));
}

void StoreWebAttributes(TFormGlobalSettings& form, TFormDesign1& designer, TmyXmlNode* web) {
  const TProjectSettings& settings = designer.Document().Settings();
  web->UpdateAttr("width", std::to_string(settings.pageWidth));
  web->UpdateAttr("menu", BoolText(form.cbMenu->Checked()));
  web->UpdateAttr("title", BoolText(form.cbTitle->Checked()));
  web->UpdateAttr("border", BoolText(!(form.cbBorder->Checked() && form.cbBorder->Enabled())));
  web->SetAttrInt("top", settings.topMargin);
  web->SetAttrInt("left", settings.leftMargin);
  web->SetAttrInt("iniScale", settings.iniScale);
  web->SetAttrInt("maxScale", settings.maxScale);
  web->UpdateAttr("dwMode", form.cbDeviceWidthMode->Checked() ? "1" : "0");
  web->UpdateAttr("useIniScale", BoolText(settings.useIniScale));
  web->UpdateAttr("useMaxScale", BoolText(settings.useMaxScale));
  web->UpdateAttr("userScale", BoolText(settings.userScale));
  web->UpdateAttr("webApp", BoolText(settings.webApp));
  web->UpdateAttr("bgdupl", BoolText(form.cbSameAsPage->Checked()));
  web->SetAttrInt("bgcolor", settings.bgColor);
  web->UpdateAttr("propfont", BoolText(settings.propFont));
  web->UpdateAttr("icon", form.IconName);
  web->UpdateAttr("pavoa", form.cbGeneratePavoA->Checked() ? "1" : "0");
  designer.Document().MutableSettings().operatorPanels = form.cbGeneratePavoA->Checked();
  web->UpdateAttr("foot", form.edtFoot->Text());
  web->UpdateAttr("author", form.edtAuthor->Text());
}

// Phase 3: the `web` element, the compile marker and the grid.
void StoreWebElement(TFormGlobalSettings& form, TFormDesign1& designer, const TMarkers& markers) {
  TmyXmlNode* web = designer.Document().Web();
  if (web == nullptr) return;
  TProjectDocument& document = designer.Document();
  web->SetAttrInt("height", document.Settings().pageHeight);
  SetFlagElement(web, "DebugXmz", document.DebugXmz());
  SetFlagElement(web, "OnlyXml", document.OnlyXml());
  SetFlagElement(web, "VarNames", document.VarNames());
  StoreWebAttributes(form, designer, web);
  TProjectSettings& settings = document.MutableSettings();
  settings.encoding = form.cbEncoding->Text();
  settings.codePage = CodePageOfEncoding(settings.encoding);
  web->UpdateAttr("encoding", settings.encoding);
  SetMarker(markers.compile, form.cbGenarateEveryTime->Checked(), kMarkerContent);
  if (TmyXmlNode* grid = document.Grid()) {
    grid->SetAttrInt("Enable", form.cbGrid->Checked() ? 1 : 0);
    grid->SetAttrInt("X", std::max(1, TFormGlobalSettings::BoxValue(form.seGridX)));
    grid->SetAttrInt("Y", std::max(1, TFormGlobalSettings::BoxValue(form.seGridY)));
  }
  if (form.cbGrid->Checked())
    designer.tbGridOnClick(nullptr);
  else
    designer.tbGridOffClick(nullptr);
  TmyXmlNode* globalset = web->FindChild("globalset");
  if (document.NewDimension() || globalset != nullptr) {
    if (globalset == nullptr) {
      globalset = web->InsertFirstChild("globalset");
      globalset->closed = true;
    }
    globalset->SetAttrInt("newdim", document.NewDimension() ? 1 : 0);
  }
}

}  // namespace

void FillGlobalSettings(TFormGlobalSettings& form, TFormDesign1& designer) {
  TmyXmlNode* web = designer.Document().Web();
  form.WebNode = web;
  form.Designer = &designer;
  form.cbGenarateEveryTime->SetChecked(PathExists(MarkersOf(designer).compile));
  const TProjectSettings& settings = designer.Document().Settings();
  form.cbMenu->SetChecked(!settings.menuOff);
  form.cbTitle->SetChecked(!settings.titleOff);
  form.cbBorder->SetChecked(settings.borderOff);
  form.cbBorder->SetEnabled(!form.cbMenu->Checked());
  TFormGlobalSettings::SetBoxValue(form.scHeight, settings.pageHeight - kPageMargin);
  TFormGlobalSettings::SetBoxValue(form.scWidth, settings.pageWidth - kPageMargin);
  TFormGlobalSettings::SetBoxValue(form.scTop, settings.topMargin);
  TFormGlobalSettings::SetBoxValue(form.scLeft, settings.leftMargin);
  form.cbClick(nullptr);
  form.cbEncoding->SetText(settings.encoding);
  FillFlags(form, designer);
  if (web != nullptr && web->FindAttr("icon") != nullptr) form.IconName = web->GetAttr("icon");
  form.cbGeneratePavoA->SetChecked(settings.operatorPanels);
  FillIcon(form, designer);
  if (web != nullptr && web->FindAttr("foot") != nullptr) form.edtFoot->SetText(web->GetAttr("foot"));
  if (web != nullptr && web->FindAttr("author") != nullptr) form.edtAuthor->SetText(web->GetAttr("author"));
  FillGrid(form, designer.Document().Grid());
  FillBrowser(form, settings);
}

void StoreGlobalSettings(TFormGlobalSettings& form, TFormDesign1& designer) {
  const TMarkers markers = MarkersOf(designer);
  form.CommitIcon();
  StoreDesignerState(form, designer, markers);
  StoreSurface(designer);
  StoreWebElement(form, designer, markers);
  // The objects on the page look their variables up again: the project's
  // placeholders may stand for other variables now.
  designer.RefreshAllObjectVarInfo();
}

void RunGlobalSettings(TFormDesign1& designer) {
  // The dialog's placement and the markers, told together.
  const TWriteFailureNotice notice;
  auto form = std::make_unique<TFormGlobalSettings>(&designer);
  FillGlobalSettings(*form, designer);
  // The project-level placeholders: their own dialog, written with this OK.
  TPlaceholdersOpener placeholders(
      *form, [&designer] { return designer.Document().Web(); },
      LoadFileNames(designer.Host().ProjectLocation()).settingsFile, designer.Host().IecVariables());
  form->btnPlaceHolders->OnClick = [&placeholders](TObject*) { placeholders.Click(); };
  if (form->ShowModal() != mrOk) return;
  // The dialog's OK stores the placeholders, in a read-only project too; the
  // rest is written only into an editable one.
  const bool placeholdersStored = placeholders.Save(designer.FGlobalWebData.GlobalPlaceHolders);
  if (designer.Document().FormatCode() == kFormatCodeCurrent)
    StoreGlobalSettings(*form, designer);
  else if (placeholdersStored)
    designer.RefreshAllObjectVarInfo();
}
