#pragma once
// Helpers of the property dialog tests: a designer on a one-page project in a
// temporary folder (English UI texts), its page objects, selection as the
// user makes it, and dialogs opened by a double click and answered by a
// handler that acts on the dialog's named controls.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "designer/FormDesign1.h"
#include "properties/PropertyForm.h"
#include "tests/support/TempFolder.h"

namespace proptest {

// The page's objects as XML (each an `object` element with its kind child);
// `languages`: the codes of the project languages (multi-language when more
// than one, the first is the editor's).
std::string Project(const std::string& objects, const std::vector<int>& languages = {9}, bool locked = false);

class PropertiesTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the project and opens the designer on its page.
  TFormDesign1& Open(const std::string& project);
  std::vector<TGridWebElement*> Objects() const;
  // Clicks the objects with Shift held (the first without): they alone are selected.
  void SelectObjects(const std::vector<int>& indexes);
  // Double-clicks the object; `act` runs on the dialog when it is shown
  // modally and answers its modal result. Answers the dialog's class name
  // ("" when none was shown).
  std::string DoubleClickObject(int index, std::function<int(TPropertyForm&)> act);
  // The object's `object` element as written (one line per element).
  std::string ObjectXml(int index) const;
  int UndoCount() const;
  // The object sets no value on a click: no variable, and neither `variable`
  // nor `value` in its XML.
  void ExpectNoClickAction(int index) const;
  // Saves the dialog the handler was given as a PNG under the build folder.
  static void SavePicture(TControl& form, const std::string& name);

  testsupport::TempFolder folder{"props"};
  std::unique_ptr<TFormDesign1> designer;
};

// Types into a named edit of the form as the user (focus, select all, type).
void TypeInto(TPropertyForm& form, const std::string& name, const std::string& text);
// Clicks a named control.
void ClickControl(TPropertyForm& form, const std::string& name);
// Clicks OK (Button1) and answers mrNone: the form closes by the click.
int PressOk(TPropertyForm& form);
// Tab: the focus leaves the focused control.
void PressTab();
// Checks cbUseVal, types a variable and a value, unchecks the box again and
// presses OK.
int TypeAClickActionAndUncheckIt(TPropertyForm& form);

// The generic check of a dialog's tables: every binding names a control of
// the class its kind needs (more than 10 of them), every per-language text
// its box and button.
void ExpectBindingTable(const std::string& name, TPropertyForm& form);

}  // namespace proptest
