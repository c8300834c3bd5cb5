#include "project/FormDeletePict.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/UiText.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/Shape.h"
#include "project/DialogControls.h"

namespace {

constexpr int kBox = 128;
constexpr int kQuestionWidth = 400;
constexpr int kQuestionMargin = 12;
constexpr int kQuestionButtonWidth = 88;
constexpr int kQuestionButtonRoom = 16;  // the button's edges and a little air

}  // namespace

TFormDeletePict::TFormDeletePict(TComponent* owner) : TForm(owner) {
  SetName("FormDeletePict");
  SetBorderStyle(bsDialog);
  SetPosition(poMainFormCenter);
  SetClientWidth(kQuestionWidth);
  SetClientHeight(190);
  SetDialogFont(this);
  Shape1 = AddControl<TShape>(this, this, "Shape1", {12, 12, kBox, kBox});
  Shape1->Brush->Color = clGray;
  Shape1->Pen->Style = psClear;
  Image1 = AddControl<TImage>(this, this, "Image1", {12, 12, kBox, kBox});
  Image1->SetCenter(true);
  Image1->SetTransparent(true);
  Label1 = AddControl<TLabel>(this, this, "Label1", {152, 12, 236, 60});
  Label1->SetWordWrap(true);
  struct Spec {
    TButton** button;
    const char* name;
    TModalResult result;
  };
  const Spec buttons[] = {{&btnYes, "btnYes", mrYes},
                          {&btnNo, "btnNo", mrNo},
                          {&btnCancel, "btnCancel", mrCancel},
                          {&btnYesAll, "btnYesAll", mrAll}};
  int left = 12;
  for (const Spec& spec : buttons) {
    *spec.button = AddControl<TButton>(this, this, spec.name, {left, 154, kQuestionButtonWidth, 25});
    (*spec.button)->ModalResult = spec.result;
    left += 94;
  }
  btnCancel->Cancel = true;
  SetUiTexts();
  AfterConstruction();
}

void TFormDeletePict::SetUiTexts() {
  SetCaption(GetUiText(7023));
  btnYes->SetCaption(GetUiText(7208));
  btnNo->SetCaption(GetUiText(7209));
  btnCancel->SetCaption(GetUiText(7211));
  btnYesAll->SetCaption(GetUiText(2010));
  // "Delete all" is long in some languages: the last button, and the window
  // with it, grow to show it whole.
  FitWidthToTexts(*btnYesAll, {btnYesAll->Caption()}, kQuestionButtonRoom, kQuestionButtonWidth, INT_MAX);
  SetClientWidth(std::max(kQuestionWidth, btnYesAll->Left() + btnYesAll->Width() + kQuestionMargin));
}

void TFormDeletePict::ShowPicture(const std::string& longName, TBitmap* bitmap) {
  int left = Shape1->Left();
  int top = Shape1->Top();
  int width = kBox;
  int height = kBox;
  const int bw = bitmap == nullptr ? 0 : bitmap->Width();
  const int bh = bitmap == nullptr ? 0 : bitmap->Height();
  const bool stretch = bw > kBox || bh > kBox;
  if (stretch) {
    if (bw <= bh) {
      width = static_cast<int>(std::lround(static_cast<double>(bw) / bh * kBox));
      left += (kBox - width) / 2;
    } else {
      height = static_cast<int>(std::lround(static_cast<double>(bh) / bw * kBox));
      top += (kBox - height) / 2;
    }
  }
  Image1->SetStretch(stretch);
  Image1->SetBounds(left, top, width, height);
  if (bitmap != nullptr) Image1->Picture()->Bitmap()->Assign(bitmap);
  std::string question = GetUiText(7133);
  if (!question.empty()) question.pop_back();
  Label1->SetCaption(question + " '" + longName + "'?");
}

void TFormDeletePict::HideExtraButtons() {
  btnYesAll->SetVisible(false);
  btnCancel->SetVisible(false);
}
