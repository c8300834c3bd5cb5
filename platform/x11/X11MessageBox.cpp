#include "platform/x11/X11MessageBox.h"

#include <algorithm>
#include <memory>
#include <sstream>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Label.h"

namespace {

constexpr int kMaxTextWidth = 420;
constexpr int kMargin = 16;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;

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

// The form of a box: its class name lets a test's modal handler answer it
// like any other form.
class TMessageForm : public TForm {
 public:
  using TForm::TForm;
  std::string ClassName() const override { return "TMessageForm"; }
};

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
  const std::vector<std::string> lines =
      WrapText(box.text, kMaxTextWidth, [canvas](const std::string& s) { return canvas->TextWidth(s); });
  const int lineHeight = canvas->TextHeight("Ag") + 2;
  int textWidth = 0;
  for (const std::string& line : lines) textWidth = std::max(textWidth, canvas->TextWidth(line));
  const int count = static_cast<int>(answers.size());
  const int buttonsWidth = count * kButtonWidth + (count - 1) * kButtonGap;
  const int clientWidth = std::max(textWidth, buttonsWidth) + 2 * kMargin;
  const int textHeight = static_cast<int>(lines.size()) * lineHeight;
  form->SetClientWidth(clientWidth);
  form->SetClientHeight(kMargin + textHeight + kMargin + kButtonHeight + kMargin);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetAutoSize(false);
    label->SetBounds(kMargin, kMargin + static_cast<int>(i) * lineHeight, textWidth + 4, lineHeight);
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
