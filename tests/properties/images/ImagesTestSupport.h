#pragma once
// The image dialogs' tests: a project with an images folder of real
// pictures and an image list, the image manager's choice answered by the
// test, and the dialogs opened by a double click.

#include <functional>
#include <string>

#include "properties/PictureFormBase.h"
#include "tests/properties/PropertiesTestSupport.h"

namespace imgtest {

// The project of these objects with the image list of the pictures below
// ("Lamp on", "Lamp off", "Pump on", "Logo", "Missing" whose file is absent).
std::string ImageProject(const std::string& objects);

class ImagesTest : public proptest::PropertiesTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Opens the project and copies the pictures into its images folder.
  TFormDesign1& OpenImages(const std::string& objects);
  // The image manager answers the image of this name (empty: Cancel); the
  // names it was opened with are kept.
  void AnswerPicker(const std::string& name);
  // Double-clicks the object; `act` runs on the dialog of that class.
  void Edit(int index, const std::string& formClass, const std::function<int(TPropertyForm&)>& act);

  std::vector<std::string> pickerCalls;

 private:
  std::string answer_;
};

}  // namespace imgtest
