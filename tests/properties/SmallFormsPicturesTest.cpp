// The small forms beside the property dialogs (the language text editor, the
// drop-down option editor, the canvas image list) and the compile's status
// window, painted in each UI language with nothing cut.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generator/FormStatus1.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Panel.h"
#include "properties/FormCanvasImages.h"
#include "properties/FormEditOption.h"
#include "properties/FormLangTextEdit.h"
#include "tests/properties/PropertiesTestSupport.h"
#include "tests/support/CutTexts.h"
#include "tests/support/UiLanguages.h"

namespace {

class SmallForms : public proptest::PropertiesTest {};

TEST_F(SmallForms, PicturesInEveryLanguage) {
  for (const testsupport::TUiLanguage& language : testsupport::kUiLanguages) {
    ASSERT_TRUE(testsupport::SelectHostLanguage(language));
    const std::string code = language.code;
    TFormLangTextEdit editor(nullptr);
    TFormEditOption option(nullptr);
    TFormImageList1 images(nullptr);
    TFormStatus1 status(nullptr);
    status.FormActivate(&status);
    const std::vector<std::pair<TWinControl*, std::string>> forms = {
        {&editor, "langtextedit-"}, {&option, "editoption-"}, {&images, "canvas-images-"}, {&status, "status-"}};
    for (const auto& [form, name] : forms) {
      SavePicture(*form, name + code);
      EXPECT_EQ(testsupport::CutTexts(*form), std::vector<std::string>{}) << name << code;
    }
    // The state's value panel leaves its row's label ("Skompilowano :") whole.
    TCanvas measure;
    measure.Font->Assign(*status.pnlGenerated->Font());
    EXPECT_GT(status.pnlStatus->Left(), measure.TextWidth(status.pnlGenerated->Caption())) << code;
  }
  testsupport::SelectEnglish();
}

}  // namespace
