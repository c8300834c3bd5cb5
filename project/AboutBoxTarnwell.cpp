#include "project/AboutBoxTarnwell.h"

#include "core/HostEnvironment.h"
#include "core/UiText.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/Icon.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/Streams.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/Resources.h"
#include "platform/win/WindowMessages.h"
#include "project/DialogControls.h"

namespace {

constexpr int kClientWidth = 298;
constexpr int kClientHeight = 236;
constexpr int kPanelWidth = 282;
constexpr int kIconSide = 65;
constexpr const char* kValueFont = "Courier New";
constexpr const char* kPluginFile = "Tarnwell.dll";
constexpr int kTextVersion = 2043;
constexpr int kTextInterface = 2044;
constexpr int kTextCaption = 2045;

}  // namespace

TAboutBoxTarnwell::TAboutBoxTarnwell(TComponent* owner, TVersionLookup lookup)
    : TForm(owner), lookup_(std::move(lookup)) {
  SetName("AboutBoxTarnwell");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  CreateComponents();
  AfterConstruction();
}

void TAboutBoxTarnwell::CreateComponents() {
  Panel1 = AddControl<TPanel>(this, this, "Panel1", {8, 8, kPanelWidth, 184});
  Panel1->SetBevelOuter(bvLowered);
  Panel1->SetCaption("");
  ProgramIcon =
      AddControl<TImage>(this, Panel1, "ProgramIcon", {(kPanelWidth - kIconSide) / 2, 8, kIconSide, kIconSide});
  ProgramIcon->SetCenter(true);
  ProgramIcon->SetStretch(true);
  try {
    TResourceStream stream(HInstance, "FAVICON_ICO", RT_RCDATA);
    TIcon icon;
    icon.LoadFromStream(stream);
    ProgramIcon->Picture()->Assign(&icon);
  } catch (const std::exception&) {
    // A build without the icon shows none.
  }
  lProductName = AddControl<TLabel>(this, Panel1, "lProductName", {4, 80, kPanelWidth - 8, 24});
  lProductName->SetAlignment(taCenter);
  lProductName->Font()->Style = fsBold;
  lProductName->Font()->Color = clBlue;
  lProductName->Font()->SetSize(14);
  lVer = AddControl<TLabel>(this, Panel1, "lVer", {16, 116, 100, 15});
  lVersion = AddControl<TLabel>(this, Panel1, "lVersion", {120, 116, 150, 15});
  lRoz = AddControl<TLabel>(this, Panel1, "lRoz", {16, 136, 100, 15});
  lRozhrani = AddControl<TLabel>(this, Panel1, "lRozhrani", {120, 136, 150, 15});
  for (TLabel* value : {lVersion, lRozhrani}) {
    value->Font()->Name = kValueFont;
    value->Font()->Style = fsBold;
  }
  lCopyright = AddControl<TLabel>(this, Panel1, "lCopyright", {16, 160, kPanelWidth - 32, 15});
  OKButton = AddControl<TButton>(this, this, "OKButton", {(kClientWidth - 75) / 2, 202, 75, 25});
  OKButton->SetCaption("OK");
  OKButton->ModalResult = mrOk;
  OKButton->SetDefault(true);
  OKButton->Cancel = true;
}

std::string TAboutBoxTarnwell::VersionFile() { return ExtractFilePath(HostExeName()) + kPluginFile; }

void TAboutBoxTarnwell::LoadVersionInfo(const std::string& productName, int) {
  lProductName->SetCaption(productName);
  lVer->SetCaption(GetUiText(kTextVersion));
  lRoz->SetCaption(GetUiText(kTextInterface));
  SetCaption(GetUiText(kTextCaption));
  const std::string file = VersionFile();
  const auto value = [&](const char* key) { return lookup_ ? lookup_(file, key) : std::string(); };
  const std::string name = value("ProductName");
  if (!name.empty()) lProductName->SetCaption(name);
  lCopyright->SetCaption(value("LegalCopyright"));
  lVersion->SetCaption(value("FileVersion"));
  lRozhrani->SetCaption(value("ProductVersion"));
}

void TAboutBoxTarnwell::Dispatch(void* message) {
  if (static_cast<TMessage*>(message)->Msg == WM_HELP) {
    ShowProjectHelp();
    return;
  }
  TForm::Dispatch(message);
}
