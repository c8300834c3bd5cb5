#pragma once
// The fixture of the project dialogs' tests: a designer shown on a small
// project with two groups of pages, and pictures of dialogs under the build
// folder in English and German.

#include <string>

#include "tests/designer/window/WindowTestSupport.h"

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
  // Runs `paint` once in English and once in German (the UI language is set
  // back to English afterwards).
  template <class Paint>
  static void InTwoLanguages(Paint paint) {
    for (const auto& [index, code] : {std::pair{1, "en"}, std::pair{4, "de"}}) {
      SelectLanguage(index);
      paint(std::string(code));
    }
    SelectLanguage(1);
  }
  // As InTwoLanguages, in each of the four UI languages.
  template <class Paint>
  static void InEveryLanguage(Paint paint) {
    for (const auto& [index, code] : {std::pair{0, "cs"}, std::pair{1, "en"}, std::pair{4, "de"}, std::pair{5, "pl"}}) {
      SelectLanguage(index);
      paint(std::string(code));
    }
    SelectLanguage(1);
  }

 private:
  static void SelectLanguage(int index);
};

}  // namespace projecttest
