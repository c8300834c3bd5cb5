#include "platform/vcl/Edit.h"

#include <algorithm>
#include <cstdlib>

#include "base/ScopeExit.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/Form.h"
#include "platform/win/VirtualKeys.h"

namespace {
constexpr int kTextMargin = 1;

int Clamp(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

bool IsWordChar(char c) { return c != ' ' && c != '\t'; }
}  // namespace

TCustomEdit::TCustomEdit(TComponent* AOwner) : TCustomControl(AOwner) {
  ControlStyle &= ~static_cast<unsigned>(csSetCaption);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  SetCursor(crIBeam);
  SetBounds(0, 0, 121, 21);
}

// --- looks ---

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  SizeChanged();
  AdjustHeight();
  Invalidate();
}

void TCustomEdit::SetAutoSize(bool value) {
  autoSize_ = value;
  AdjustHeight();
}

void TCustomEdit::SetPasswordChar(char value) {
  if (value == passwordChar_) return;
  passwordChar_ = value;
  Invalidate();
}

void TCustomEdit::SetReadOnly(bool value) {
  readOnly_ = value;
  Invalidate();
}

void TCustomEdit::SetParent(TWinControl* parent) {
  TCustomControl::SetParent(parent);
  Font();  // takes the parent's font over now, so that the height follows it
}

void TCustomEdit::AdjustHeight() {
  if (!autoSize_ || MultiLine()) return;
  TCanvas measure;
  measure.Font->Assign(*Font());
  const int h = measure.TextHeight("Wg") + (borderStyle_ == bsSingle ? 8 : 2);
  if (h != Height()) SetHeight(h);
}

TRect TCustomEdit::BorderInsets() const {
  if (borderStyle_ == bsSingle) return {2, 2, 2, 2};
  return {};
}

// --- selection ---

int TCustomEdit::SelStart() const { return std::min(anchor_, caret_); }
int TCustomEdit::SelLength() const { return std::abs(caret_ - anchor_); }

void TCustomEdit::SetSelStart(int value) {
  anchor_ = caret_ = Clamp(value, 0, static_cast<int>(Text().size()));
  Invalidate();
}

void TCustomEdit::SetSelLength(int value) {
  const int start = SelStart();
  anchor_ = start;
  caret_ = Clamp(start + std::max(0, value), start, static_cast<int>(Text().size()));
  Invalidate();
}

std::string TCustomEdit::SelText() const {
  return Text().substr(static_cast<std::size_t>(SelStart()), static_cast<std::size_t>(SelLength()));
}

void TCustomEdit::SelectAll() {
  anchor_ = 0;
  caret_ = static_cast<int>(Text().size());
  Invalidate();
}

void TCustomEdit::ClearSelection() { SetSelText(""); }

void TCustomEdit::SetSelText(const std::string& value) {
  const std::string text = Text();
  const int start = SelStart();
  const std::string next = text.substr(0, static_cast<std::size_t>(start)) + value +
                           text.substr(static_cast<std::size_t>(start + SelLength()));
  ReplaceText(next, start + static_cast<int>(value.size()));
}

void TCustomEdit::ReplaceText(const std::string& text, int caret) {
  {
    internalChange_ = true;
    ScopeExit changed([this] { internalChange_ = false; });
    SetText(text);
  }
  anchor_ = caret_ = Clamp(caret, 0, static_cast<int>(Text().size()));
  Invalidate();
}

void TCustomEdit::SetCaret(int caret, bool extend) {
  caret_ = Clamp(caret, 0, static_cast<int>(Text().size()));
  if (!extend) anchor_ = caret_;
  Invalidate();
}

bool TCustomEdit::UserReplace(const std::string& insertText) {
  if (readOnly_) return false;
  std::string insert = insertText;
  const int kept = static_cast<int>(Text().size()) - SelLength();
  if (maxLength_ > 0) {
    const int room = std::max(0, maxLength_ - kept);
    if (static_cast<int>(insert.size()) > room) insert.resize(static_cast<std::size_t>(room));
    if (insert.empty() && SelLength() == 0) return false;
  }
  if (insert.empty() && SelLength() == 0) return false;
  const std::string text = Text();
  const int start = SelStart();
  const std::string next = text.substr(0, static_cast<std::size_t>(start)) + insert +
                           text.substr(static_cast<std::size_t>(start + SelLength()));
  Modified = true;
  ReplaceText(next, start + static_cast<int>(insert.size()));
  return true;
}

// --- clipboard ---

void TCustomEdit::CopyToClipboard() {
  if (passwordChar_ != 0 || SelLength() == 0) return;
  Clipboard()->SetAsText(SelText());
}

void TCustomEdit::CutToClipboard() {
  if (passwordChar_ != 0 || readOnly_ || SelLength() == 0) return;
  Clipboard()->SetAsText(SelText());
  UserReplace("");
}

void TCustomEdit::PasteFromClipboard() {
  if (readOnly_) return;
  std::string text = Clipboard()->AsText();
  if (!MultiLine()) {
    // A one-line edit takes the first line.
    const std::size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos) text.resize(end);
  }
  if (text.empty()) return;
  UserReplace(text);
}

// --- events and messages ---

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::Dispatch(void* message) {
  TMessage& m = *static_cast<TMessage*>(message);
  switch (m.Msg) {
    case WM_GETDLGCODE: m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (MultiLine() ? DLGC_WANTALLKEYS : 0); return;
    case CM_TEXTCHANGED:
      if (!internalChange_) {
        // Set in code: the caret goes to the start.
        anchor_ = caret_ = 0;
        scrollX_ = 0;
        Modified = false;
      }
      TCustomControl::Dispatch(message);
      Change();
      return;
    case CM_FONTCHANGED:
      TCustomControl::Dispatch(message);
      AdjustHeight();
      return;
    default: TCustomControl::Dispatch(message);
  }
}

void TCustomEdit::DoEnter() {
  if (AutoSelect && !focusingByMouse_ && !MultiLine()) SelectAll();
  TCustomControl::DoEnter();
}

void TCustomEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  const bool extend = (shift & ssShift) != 0;
  const bool ctrl = (shift & ssCtrl) != 0;
  const std::string text = Text();
  const int length = static_cast<int>(text.size());
  switch (key) {
    case VK_LEFT:
      if (ctrl) {
        int p = caret_;
        while (p > 0 && !IsWordChar(text[static_cast<std::size_t>(p - 1)])) --p;
        while (p > 0 && IsWordChar(text[static_cast<std::size_t>(p - 1)])) --p;
        SetCaret(p, extend);
      } else if (!extend && SelLength() > 0) {
        SetCaret(SelStart(), false);
      } else {
        SetCaret(caret_ - 1, extend);
      }
      break;
    case VK_RIGHT:
      if (ctrl) {
        int p = caret_;
        while (p < length && IsWordChar(text[static_cast<std::size_t>(p)])) ++p;
        while (p < length && !IsWordChar(text[static_cast<std::size_t>(p)])) ++p;
        SetCaret(p, extend);
      } else if (!extend && SelLength() > 0) {
        SetCaret(SelStart() + SelLength(), false);
      } else {
        SetCaret(caret_ + 1, extend);
      }
      break;
    case VK_HOME: SetCaret(0, extend); break;
    case VK_END: SetCaret(length, extend); break;
    case VK_DELETE:
      if (extend) {
        CutToClipboard();
      } else if (SelLength() == 0 && caret_ < length && !readOnly_) {
        anchor_ = caret_ + 1;
        UserReplace("");
      } else {
        UserReplace("");
      }
      break;
    case VK_INSERT:
      if (ctrl)
        CopyToClipboard();
      else if (extend)
        PasteFromClipboard();
      break;
    default: break;
  }
}

void TCustomEdit::KeyPress(char& key) {
  TCustomControl::KeyPress(key);
  const auto c = static_cast<unsigned char>(key);
  switch (c) {
    case 0: return;
    case 3: CopyToClipboard(); return;      // Ctrl+C
    case 22: PasteFromClipboard(); return;  // Ctrl+V
    case 24: CutToClipboard(); return;      // Ctrl+X
    case '\b':
      if (SelLength() == 0 && caret_ > 0 && !readOnly_) anchor_ = caret_ - 1;
      UserReplace("");
      return;
    case '\r':
      if (MultiLine()) UserReplace("\r\n");
      return;
    case '\t':
      if (MultiLine()) UserReplace("\t");
      return;
    default:
      if (c >= 32 && c != 127) UserReplace(std::string(1, key));
  }
}

void TCustomEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    if (CanFocus() && !Focused()) {
      focusingByMouse_ = true;
      ScopeExit focused([this] { focusingByMouse_ = false; });
      SetFocus();
    }
    // The second press of a double click keeps the word it selected.
    if (!(shift & ssDouble)) SetCaret(PositionAt(x, y), (shift & ssShift) != 0);
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomEdit::MouseMove(TShiftState shift, int x, int y) {
  if ((shift & ssLeft) && MouseCapture()) SetCaret(PositionAt(x, y), true);
  TCustomControl::MouseMove(shift, x, y);
}

void TCustomEdit::DblClick() {
  const std::string text = Text();
  int start = caret_, end = caret_;
  const int length = static_cast<int>(text.size());
  while (start > 0 && IsWordChar(text[static_cast<std::size_t>(start - 1)])) --start;
  while (end < length && IsWordChar(text[static_cast<std::size_t>(end)])) ++end;
  anchor_ = start;
  caret_ = end;
  Invalidate();
  TCustomControl::DblClick();
}

// --- painting ---

std::string TCustomEdit::DisplayText() const {
  if (passwordChar_ != 0) return std::string(Text().size(), passwordChar_);
  return Text();
}

int TCustomEdit::PositionAt(int x, int) {
  TCanvas measure;
  measure.Font->Assign(*Font());
  return measure.TextPositionAt(DisplayText(), x - kTextMargin + scrollX_);
}

void TCustomEdit::PaintNonClient(TCanvas* canvas) {
  if (borderStyle_ != bsSingle) return;
  TRect r = Rect(0, 0, Width(), Height());
  DrawEdge(canvas, r, TEdge::Sunken);
}

void TCustomEdit::Paint() {
  TCanvas* canvas = Canvas();
  const TRect client = ClientRect();
  canvas->Brush->Color = Enabled() ? Color() : clBtnFace;
  canvas->FillRect(client);
  const std::string shown = DisplayText();
  const int caretX = canvas->TextWidth(shown.substr(0, static_cast<std::size_t>(caret_)));
  // Scroll so that the caret stays in view.
  const int visible = std::max(1, static_cast<int>(client.Width()) - 2 * kTextMargin - 1);
  if (caretX - scrollX_ > visible) scrollX_ = caretX - visible;
  if (caretX < scrollX_) scrollX_ = caretX;
  const int textHeight = canvas->TextHeight("Wg");
  const int top = std::max(0, static_cast<int>((client.Height() - textHeight) / 2));
  const int left = kTextMargin - scrollX_;
  canvas->Brush->Style = bsClear;
  canvas->Font->Color = Enabled() ? Font()->Color : clGrayText;
  canvas->TextRect(client, left, top, shown);
  const bool focused = Focused();
  if (SelLength() > 0 && (focused || !HideSelection)) {
    const int x0 = left + canvas->TextWidth(shown.substr(0, static_cast<std::size_t>(SelStart())));
    const std::string sel = shown.substr(static_cast<std::size_t>(SelStart()), static_cast<std::size_t>(SelLength()));
    const int x1 = x0 + canvas->TextWidth(sel);
    canvas->Brush->Style = bsSolid;
    canvas->Brush->Color = clHighlight;
    canvas->Font->Color = clHighlightText;
    const TRect selRect = Rect(x0, top, x1, top + textHeight);
    TRect clipped;
    if (IntersectRect(clipped, selRect, client)) canvas->TextRect(clipped, x0, top, sel);
  }
  if (focused && Enabled()) {
    // The caret: a line as high as the text.
    canvas->Brush->Style = bsSolid;
    canvas->Brush->Color = clWindowText;
    canvas->FillRect(Rect(left + caretX, top, left + caretX + 1, top + textHeight));
  }
}
