#include "project/DialogControls.h"

#include "core/HelpLink.h"
#include "core/UiText.h"
#include "platform/vcl/GraphicsObjects.h"

namespace {

constexpr const char* kDialogFont = "Segoe UI";
constexpr int kDialogFontSize = 9;
constexpr const char* kHelpBaseName = "Tarnwell";

}  // namespace

void SetDialogFont(TControl* control) {
  control->Font()->Name = kDialogFont;
  control->Font()->SetSize(kDialogFontSize);
}

void ShowProjectHelp() { ShowHelp(GetUiLanguageIndex(), kHelpBaseName, "", ""); }
