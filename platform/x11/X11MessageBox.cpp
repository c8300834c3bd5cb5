#include "platform/x11/X11MessageBox.h"

#include <algorithm>
#include <memory>
#include <sstream>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/MessageDialog.h"
#include "platform/vcl/Screen.h"

namespace {

constexpr int kMaxTextWidth = 420;
constexpr int kMargin = 16;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kIconSize = 32;

struct ButtonCaption {
  int answer;
  const char* box;     // in a message box (IDOK ...)
  const char* dialog;  // in a message dialog (mrOk ...)
};

constexpr ButtonCaption kCaptions[] = {
    {1, "OK", "OK"},         {2, "Cancel", "Cancel"},
    {3, "Abort", "Abort"},   {4, "Retry", "Retry"},
    {5, "Ignore", "Ignore"}, {6, "Yes", "Yes"},
    {7, "No", "No"},         {8, "", "All"},
    {9, "", "No to All"},    {10, "Try Again", "Yes to All"},
    {11, "Continue", ""},
};

// What a box needs besides its text: the title bar and frame a window
// manager adds, the margins and the buttons.
constexpr int kFrameAndButtons = 40 + 3 * kMargin + kButtonHeight;

// The wrapped lines as the box shows them: a line still wider than the
// text's width (one long word) and the lines beyond `maxLines` are cut, the
// last line shown then ending in "...", so that the box fits the screen.
std::vector<std::string> FitLines(std::vector<std::string> lines, TCanvas* canvas, int maxLines) {
  bool cut = false;
  if (static_cast<int>(lines.size()) > maxLines) {
    lines.resize(static_cast<std::size_t>(maxLines));
    cut = true;
  }
  for (std::string& line : lines) line = EllipsizedText(canvas, line, kMaxTextWidth);
  if (cut) lines.back() = EllipsizedText(canvas, lines.back() + " ...", kMaxTextWidth);
  return lines;
}

// The form of a box: its class name lets a test's modal handler answer it
// like any other form.
class TMessageForm : public TForm {
 public:
  using TForm::TForm;
  std::string ClassName() const override { return "TMessageForm"; }
};

// The icon of a box: its kind from the MB_ICON flags of a box or the type of
// a message dialog; none for a box without one.
enum class TBoxIcon { None, Error, Question, Warning, Information };

TBoxIcon IconOf(const MessageBoxRecord& box) {
  if (box.kind == MessageBoxRecord::Dialog) {
    switch (box.dialogType) {
      case mtWarning: return TBoxIcon::Warning;
      case mtError: return TBoxIcon::Error;
      case mtInformation: return TBoxIcon::Information;
      case mtConfirmation: return TBoxIcon::Question;
      default: return TBoxIcon::None;
    }
  }
  switch (box.flags & MB_ICONMASK) {
    case MB_ICONERROR: return TBoxIcon::Error;
    case MB_ICONQUESTION: return TBoxIcon::Question;
    case MB_ICONWARNING: return TBoxIcon::Warning;
    case MB_ICONINFORMATION: return TBoxIcon::Information;
    default: return TBoxIcon::None;
  }
}

// A 32 x 32 picture of the icon: a red disc with a cross, a yellow triangle
// with '!', a blue disc with '?' or 'i'.
void DrawIcon(TBitmap& bitmap, TBoxIcon icon) {
  bitmap.SetSize(kIconSize, kIconSize);
  TCanvas* c = bitmap.Canvas;
  c->Brush->Color = clBtnFace;
  c->FillRect(Rect(0, 0, kIconSize, kIconSize));
  c->Pen->Color = clBlack;
  c->Brush->Color = icon == TBoxIcon::Error ? clRed : icon == TBoxIcon::Warning ? clYellow : clBlue;
  if (icon == TBoxIcon::Warning)
    c->Polygon({TPoint{16, 1}, TPoint{31, 29}, TPoint{1, 29}});
  else
    c->Ellipse(1, 1, 31, 31);
  c->Brush->Style = bsClear;
  c->Font->Name = "Arial";
  c->Font->SetSize(14);
  c->Font->Style = fsBold;
  c->Font->Color = icon == TBoxIcon::Warning ? clBlack : clWhite;
  const char* mark = icon == TBoxIcon::Error      ? "X"
                     : icon == TBoxIcon::Warning  ? "!"
                     : icon == TBoxIcon::Question ? "?"
                                                  : "i";
  const int y = icon == TBoxIcon::Warning ? 8 : 5;
  c->TextOut((kIconSize - c->TextWidth(mark)) / 2, y, mark);
}

}  // namespace

const char* MessageBoxButtonCaption(MessageBoxRecord::Kind kind, int answer) {
  for (const ButtonCaption& c : kCaptions)
    if (c.answer == answer) return kind == MessageBoxRecord::Dialog ? c.dialog : c.box;
  return "";
}

std::vector<std::string> WrapText(const std::string& text, int maxWidth,
                                  const std::function<int(const std::string&)>& measure) {
  std::vector<std::string> lines;
  std::stringstream paragraphs(text);
  std::string paragraph;
  while (std::getline(paragraphs, paragraph)) {
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.pop_back();
    std::stringstream words(paragraph);
    std::string word;
    std::string line;
    while (words >> word) {
      const std::string longer = line.empty() ? word : line + " " + word;
      if (!line.empty() && measure(longer) > maxWidth) {
        lines.push_back(line);
        line = word;
      } else {
        line = longer;
      }
    }
    lines.push_back(line);
  }
  return lines;
}

int ShowX11MessageBox(const MessageBoxRecord& box, const std::vector<int>& answers) {
  if (answers.empty()) return 0;
  auto form = std::make_unique<TMessageForm>(nullptr);
  form->SetName("MessageForm");
  form->SetBorderStyle(bsDialog);
  form->SetPosition(poScreenCenter);
  form->SetCaption(box.caption);
  TBitmap measureBitmap;
  TCanvas* canvas = measureBitmap.Canvas;
  canvas->Font->Assign(*form->Font());
  const int lineHeight = canvas->TextHeight("Ag") + 2;
  const int room = static_cast<int>(Screen->WorkAreaRect().Height()) - kFrameAndButtons;
  const std::vector<std::string> lines =
      FitLines(WrapText(box.text, kMaxTextWidth, [canvas](const std::string& s) { return canvas->TextWidth(s); }),
               canvas, std::max(1, room / lineHeight));
  int textWidth = 0;
  for (const std::string& line : lines) textWidth = std::max(textWidth, canvas->TextWidth(line));
  const int count = static_cast<int>(answers.size());
  const int buttonsWidth = count * kButtonWidth + (count - 1) * kButtonGap;
  const TBoxIcon icon = IconOf(box);
  // The text stands right of the icon when there is one.
  const int textLeft = icon == TBoxIcon::None ? kMargin : kMargin + kIconSize + kMargin;
  const int clientWidth = std::max(textLeft + textWidth + kMargin, buttonsWidth + 2 * kMargin);
  const int textHeight = std::max(static_cast<int>(lines.size()) * lineHeight, icon == TBoxIcon::None ? 0 : kIconSize);
  if (icon != TBoxIcon::None) {
    auto* image = new TImage(form.get());
    image->SetName("imgIcon");
    image->SetParent(form.get());
    image->SetBounds(kMargin, kMargin, kIconSize, kIconSize);
    DrawIcon(*image->Picture()->Bitmap(), icon);
  }
  form->SetClientWidth(clientWidth);
  form->SetClientHeight(kMargin + textHeight + kMargin + kButtonHeight + kMargin);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetAutoSize(false);
    label->SetBounds(textLeft, kMargin + static_cast<int>(i) * lineHeight, textWidth + 4, lineHeight);
    label->SetCaption(lines[i]);
  }
  const std::size_t def = box.kind == MessageBoxRecord::Box ? (box.flags & MB_DEFMASK) >> 8 : 0;
  int x = (clientWidth - buttonsWidth) / 2;
  TButton* first = nullptr;
  for (std::size_t i = 0; i < answers.size(); ++i) {
    auto* button = new TButton(form.get());
    button->SetName("Button" + std::to_string(answers[i]));
    button->SetParent(form.get());
    button->SetBounds(x, kMargin + textHeight + kMargin, kButtonWidth, kButtonHeight);
    button->SetCaption(MessageBoxButtonCaption(box.kind, answers[i]));
    button->ModalResult = answers[i];
    button->Cancel = answers[i] == IDCANCEL;
    if (i == (def < answers.size() ? def : 0)) {
      button->SetDefault(true);
      first = button;
    }
    x += kButtonWidth + kButtonGap;
  }
  if (first != nullptr) form->SetActiveControl(first);
  const int result = form->ShowModal();
  return std::find(answers.begin(), answers.end(), result) != answers.end() ? result : 0;
}
