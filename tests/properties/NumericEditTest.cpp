// TmyEdit's reading and writing of its integer, and the combo box that
// ignores the mouse wheel.

#include <gtest/gtest.h>

#include "platform/vcl/Driver.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/ScrollBox.h"
#include "properties/ComboBoxNoWheel.h"
#include "properties/MyEdit.h"

namespace {

class NumericEdit : public ::testing::Test {
 protected:
  void SetUp() override { Driver::Reset(); }
  void TearDown() override { Driver::Reset(); }
};

}  // namespace

TEST_F(NumericEdit, ReadingNormalisesTheText) {
  struct Row {
    const char* text;
    int value;
    const char* after;
  };
  const Row rows[] = {{"12abc", 0, "0"}, {"007", 7, "7"}, {"", 0, "0"},
                      {"-5", -5, "-5"},  {" 3", 3, "3"},  {"1x", 0, "0"}};
  for (const Row& row : rows) {
    TmyEdit edit(nullptr);
    edit.SetText(row.text);
    EXPECT_EQ(edit.GetValue(), row.value) << row.text;
    EXPECT_EQ(edit.Text(), row.after) << row.text;
    EXPECT_EQ(edit.Value, row.value) << row.text;
  }
}

TEST_F(NumericEdit, SetValueShowsTheNumberAndItsRewriteIsMarkedAsNormalising) {
  TmyEdit edit(nullptr);
  std::vector<bool> normalising;
  edit.OnChange = [&](TObject*) { normalising.push_back(edit.Normalising()); };
  edit.SetValue(-5);
  EXPECT_EQ(edit.Text(), "-5");
  edit.SetText("12");
  EXPECT_EQ(normalising, (std::vector<bool>{true, false}));
  EXPECT_FALSE(edit.Normalising());
}

// The plain combo box moves its choice with the wheel; the wheel-less one
// keeps it, and the scroll box around it stays where it was.
TEST_F(NumericEdit, TheWheelChangesNeitherChoiceNorScrollPosition) {
  for (bool wheelLess : {false, true}) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* box = new TScrollBox(&form);
    box->SetParent(&form);
    box->SetBounds(0, 0, 300, 200);
    TComboBox* combo = wheelLess ? new TComboBoxNoWheel(&form) : new TComboBox(&form);
    combo->SetParent(box);
    combo->SetBounds(10, 10, 100, 24);
    for (const char* item : {"10", "20", "30", "40"}) combo->Items()->Add(item);
    combo->SetItemIndex(1);
    auto* far = new TComboBox(&form);
    far->SetParent(box);
    far->SetBounds(10, 600, 100, 24);
    form.Show();
    Driver::Focus(combo);
    Driver::MouseWheel(combo, 5, 5, -120);
    EXPECT_EQ(combo->ItemIndex(), wheelLess ? 1 : 2) << wheelLess;
    EXPECT_EQ(box->VertScrollBar()->Position(), 0) << wheelLess;
  }
}
