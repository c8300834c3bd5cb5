#include "platform/vcl/Memo.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/ControlTypes.h"
#include "platform/vcl/StringList.h"

// --- TMemoLines ---

std::vector<std::string> TMemoLines::Split() const {
  std::vector<std::string> lines;
  const std::string text = memo_->Text();
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

void TMemoLines::Join(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  memo_->SetText(text);
}

int TMemoLines::Count() const { return static_cast<int>(Split().size()); }

std::string TMemoLines::Strings(int index) const {
  const auto lines = Split();
  if (index < 0 || index >= static_cast<int>(lines.size()))
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
  return lines[static_cast<std::size_t>(index)];
}

void TMemoLines::SetStrings(int index, const std::string& text) {
  auto lines = Split();
  if (index < 0 || index >= static_cast<int>(lines.size()))
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
  lines[static_cast<std::size_t>(index)] = text;
  Join(lines);
}

int TMemoLines::Add(const std::string& text) {
  auto lines = Split();
  lines.push_back(text);
  Join(lines);
  return static_cast<int>(lines.size()) - 1;
}

void TMemoLines::Insert(int index, const std::string& text) {
  auto lines = Split();
  if (index < 0 || index > static_cast<int>(lines.size()))
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
  lines.insert(lines.begin() + index, text);
  Join(lines);
}

void TMemoLines::Delete(int index) {
  auto lines = Split();
  if (index < 0 || index >= static_cast<int>(lines.size()))
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
  lines.erase(lines.begin() + index);
  Join(lines);
}

void TMemoLines::Clear() { memo_->SetText(""); }

std::string TMemoLines::Text() const {
  std::string text;
  for (const std::string& l : Split()) text += l + "\r\n";
  return text;
}

void TMemoLines::SetText(const std::string& text) {
  TStringList list;
  list.SetText(text);
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
  Join(lines);
}

// --- TCustomMemo ---

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), lines_(this) {
  AutoSelect = false;
  SetBounds(0, 0, 185, 89);
}

void TCustomMemo::Dispatch(void* message) {
  TMessage& m = *static_cast<TMessage*>(message);
  if (m.Msg == WM_GETDLGCODE) {
    m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (WantTabs ? DLGC_WANTTAB : 0) | (WantReturns ? DLGC_WANTALLKEYS : 0);
    return;
  }
  TCustomEdit::Dispatch(message);
}

void TCustomMemo::KeyPress(char& key) {
  if ((key == '\r' && !WantReturns) || (key == '\t' && !WantTabs)) {
    TWinControl::KeyPress(key);
    return;
  }
  TCustomEdit::KeyPress(key);
}

namespace {

// Lines of the text with the position of their first character; the texts
// are views into the text split.
struct Line {
  std::size_t start;
  std::string_view text;
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find_first_of("\r\n", start);
    lines.push_back({start, text.substr(start, end == std::string::npos ? std::string::npos : end - start)});
    if (end == std::string::npos) break;
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

}  // namespace

int TCustomMemo::PositionAt(int x, int y) {
  TCanvas measure;
  measure.Font->Assign(*Font());
  const int lineHeight = measure.TextHeight("Wg");
  const std::string shown = DisplayText();
  const auto lines = SplitLines(shown);
  const int row = std::clamp(y / std::max(1, lineHeight), 0, static_cast<int>(lines.size()) - 1);
  const Line& line = lines[static_cast<std::size_t>(row)];
  return static_cast<int>(line.start) + measure.TextPositionAt(line.text, x - 1);
}

void TCustomMemo::Paint() {
  TCanvas* canvas = Canvas();
  const TRect client = ClientRect();
  canvas->Brush->Color = Enabled() ? Color() : clBtnFace;
  canvas->FillRect(client);
  const int lineHeight = canvas->TextHeight("Wg");
  const std::string shown = DisplayText();
  const auto lines = SplitLines(shown);
  const bool focused = Focused() && Enabled();
  const std::size_t selStart = static_cast<std::size_t>(SelStart());
  const std::size_t selEnd = selStart + static_cast<std::size_t>(SelLength());
  canvas->Font->Color = Enabled() ? Font()->Color : clGrayText;
  int y = 0;
  for (const Line& line : lines) {
    canvas->Brush->Style = bsClear;
    canvas->TextRect(client, 1, y, std::string(line.text));
    // The selected part of the line.
    const std::size_t a = std::max(selStart, line.start), b = std::min(selEnd, line.start + line.text.size());
    if (focused && a < b) {
      const std::string before(line.text.substr(0, a - line.start));
      const std::string sel(line.text.substr(a - line.start, b - a));
      const int x0 = 1 + canvas->TextWidth(before);
      canvas->Brush->Style = bsSolid;
      canvas->Brush->Color = clHighlight;
      const TColor saved = canvas->Font->Color;
      canvas->Font->Color = clHighlightText;
      canvas->TextRect(Rect(x0, y, x0 + canvas->TextWidth(sel), y + lineHeight), x0, y, sel);
      canvas->Font->Color = saved;
    }
    const auto caret = static_cast<std::size_t>(CaretPos());
    if (focused && caret >= line.start && caret <= line.start + line.text.size()) {
      const int cx = 1 + canvas->TextWidth(std::string(line.text.substr(0, caret - line.start)));
      canvas->Brush->Style = bsSolid;
      canvas->Brush->Color = clWindowText;
      canvas->FillRect(Rect(cx, y, cx + 1, y + lineHeight));
    }
    y += lineHeight;
    if (y > client.Bottom) break;
  }
}
