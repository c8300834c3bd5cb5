#pragma once
// The fixture of the project dialogs' tests: a designer shown on a small
// project with two groups of pages, and pictures of dialogs under the build
// folder in the four UI languages.

#include <string>

#include "tests/designer/window/WindowTestSupport.h"
#include "tests/support/UiLanguages.h"

class TControl;

namespace projecttest {

// `web` children that follow the two groups of the test project.
std::string ProjectWith(const std::string& webChildren);

class ProjectDialogTest : public windowtest::WindowTest {
 protected:
  // Writes the project with the given `web` children and opens the designer.
  void Open(const std::string& webChildren = "");
  TmyXmlNode* Web() const;
  TmyXmlNode* Find(const char* name) const;
  // Paints the control into "project-NAME-LANG.png" under the build folder;
  // the path, or empty when it could not be written.
  static std::string SavePicture(TControl* control, const std::string& name);
  // Runs `paint` in each of the four UI languages, each with the code page
  // of a Windows in that language (English afterwards).
  template <class Paint>
  static void InEveryLanguage(Paint paint) {
    for (const testsupport::TUiLanguage& language : testsupport::kUiLanguages) {
      SelectLanguage(language);
      paint(std::string(language.code));
    }
    testsupport::SelectEnglish();
  }

 private:
  static void SelectLanguage(const testsupport::TUiLanguage& language);
};

}  // namespace projecttest
