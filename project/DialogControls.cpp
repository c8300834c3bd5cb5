#include "project/DialogControls.h"

#include <algorithm>

#include "core/HelpLink.h"
#include "core/UiText.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/GraphicsObjects.h"

namespace {

constexpr const char* kDialogFont = "Segoe UI";
constexpr int kDialogFontSize = 9;
constexpr const char* kHelpBaseName = "Tarnwell";
constexpr int kRowGap = 4;

}  // namespace

void SetDialogFont(TControl* control) {
  control->Font()->Name = kDialogFont;
  control->Font()->SetSize(kDialogFontSize);
}

void FitWidthToTexts(TControl& control, const std::vector<std::string>& texts, int room, int madeWidth,
                     int rightLimit) {
  TCanvas measure;
  measure.Font->Assign(*control.Font());
  int wanted = madeWidth;
  for (const std::string& text : texts) wanted = std::max(wanted, measure.TextWidth(text) + room);
  const int width = std::max(1, std::min(wanted, rightLimit - control.Left()));
  control.SetBounds(control.Left(), control.Top(), width, control.Height());
}

void ShowProjectHelp() { ShowHelp(GetUiLanguageIndex(), kHelpBaseName, "", ""); }

void TRowLayout::AddRow(std::vector<TControl*> controls) {
  std::vector<TPlace> row;
  for (TControl* control : controls) row.push_back({control, control->Left(), control->Width()});
  rows_.push_back(std::move(row));
}

void TRowLayout::Apply(int rightLimit) const {
  for (const std::vector<TPlace>& row : rows_) {
    int after = 0;  // the right edge of the one before, with the gap
    for (std::size_t i = 0; i < row.size(); ++i) {
      const TPlace& place = row[i];
      const int left = std::max(place.left, after);
      // Labels keep the width of their text; the last of the row its own
      // width as made, as far as the row's right edge lets it.
      int width = place.control->Width();
      if (i + 1 == row.size()) {
        const int right = std::max(place.left + place.width, rightLimit);
        width = std::max(1, std::min(place.width, right - left));
      }
      place.control->SetBounds(left, place.control->Top(), width, place.control->Height());
      after = left + place.control->Width() + kRowGap;
    }
  }
}
