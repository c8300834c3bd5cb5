#include "platform/vcl/ClassicLook.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/vcl/Menus.h"
#include "platform/win/CodePage.h"

namespace {

// Keeps the canvas's brush and puts it back when it goes out of scope.
class BrushKeeper {
 public:
  explicit BrushKeeper(TCanvas* canvas) : canvas_(canvas), saved_(*canvas->Brush) {}
  ~BrushKeeper() { canvas_->Brush->Assign(saved_); }
  BrushKeeper(const BrushKeeper&) = delete;
  BrushKeeper& operator=(const BrushKeeper&) = delete;

 private:
  TCanvas* canvas_;
  TBrush saved_;
};

void FillSolid(TCanvas* canvas, const TRect& rect, TColor color) {
  canvas->Brush->Style = bsSolid;
  canvas->Brush->Color = color;
  canvas->FillRect(rect);
}

void Shrink(TRect& rect, int by) { rect = Rect(rect.Left + by, rect.Top + by, rect.Right - by, rect.Bottom - by); }

}  // namespace

// --- edges ---

void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
  BrushKeeper keep(canvas);
  for (int i = 0; i < width && !rect.IsEmpty(); ++i) {
    FillSolid(canvas, Rect(rect.Left, rect.Top, rect.Right, rect.Top + 1), topColor);
    FillSolid(canvas, Rect(rect.Left, rect.Top, rect.Left + 1, rect.Bottom), topColor);
    FillSolid(canvas, Rect(rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom), bottomColor);
    FillSolid(canvas, Rect(rect.Right - 1, rect.Top, rect.Right, rect.Bottom), bottomColor);
    // The corner where the colours meet bottom left belongs to the top colour.
    FillSolid(canvas, Rect(rect.Left, rect.Bottom - 1, rect.Left + 1, rect.Bottom), topColor);
    Shrink(rect, 1);
  }
}

void DrawEdge(TCanvas* canvas, TRect& rect, TEdge edge) {
  // Outer and inner frame colours, top-left then bottom-right.
  struct EdgeColors {
    TColor outerTop, outerBottom, innerTop, innerBottom;
    bool thin;
  };
  static constexpr std::array<EdgeColors, 7> kEdges = {{
      {clBtnHighlight, cl3DDkShadow, cl3DLight, clBtnShadow, false},      // Raised
      {clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight, false},      // Sunken
      {clBtnShadow, clBtnHighlight, clBtnHighlight, clBtnShadow, false},  // Etched
      {clBtnHighlight, clBtnShadow, clBtnShadow, clBtnHighlight, false},  // Bump
      {clBtnHighlight, clBtnShadow, clNone, clNone, true},                // RaisedThin
      {clBtnShadow, clBtnHighlight, clNone, clNone, true},                // SunkenThin
      {cl3DDkShadow, clBtnHighlight, clBtnShadow, cl3DLight, false},      // Pushed
  }};
  const EdgeColors& e = kEdges[static_cast<std::size_t>(edge)];
  Frame3D(canvas, rect, e.outerTop, e.outerBottom, 1);
  if (!e.thin) Frame3D(canvas, rect, e.innerTop, e.innerBottom, 1);
}

void DrawBevel(TCanvas* canvas, TRect& rect, bool lowered, int width) {
  Frame3D(canvas, rect, lowered ? clBtnShadow : clBtnHighlight, lowered ? clBtnHighlight : clBtnShadow, width);
}

void DrawEdgeLine(TCanvas* canvas, int x, int y, int length, bool horizontal, bool lowered) {
  BrushKeeper keep(canvas);
  const TColor first = lowered ? clBtnShadow : clBtnHighlight;
  const TColor second = lowered ? clBtnHighlight : clBtnShadow;
  if (horizontal) {
    FillSolid(canvas, Rect(x, y, x + length, y + 1), first);
    FillSolid(canvas, Rect(x, y + 1, x + length, y + 2), second);
  } else {
    FillSolid(canvas, Rect(x, y, x + 1, y + length), first);
    FillSolid(canvas, Rect(x + 1, y, x + 2, y + length), second);
  }
}

void DrawSizeGrip(TCanvas* canvas, int right, int bottom, int size) {
  // Three ridges, each a highlight line above two shadow lines, four pixels apart.
  constexpr int kRidges = 3, kRidgeStep = 4, kFirstRidge = 2;
  for (int k = 0; k < kRidges; ++k) {
    const int off = kRidgeStep * k + kFirstRidge;
    if (off + 2 > size) break;
    canvas->Pen->Color = clBtnHighlight;
    canvas->MoveTo(right - off - 2, bottom);
    canvas->LineTo(right, bottom - off - 2);
    canvas->Pen->Color = clBtnShadow;
    canvas->MoveTo(right - off - 1, bottom);
    canvas->LineTo(right, bottom - off - 1);
    canvas->MoveTo(right - off, bottom);
    canvas->LineTo(right, bottom - off);
  }
}

// --- buttons ---

int DrawButtonFace(TCanvas* canvas, TRect& rect, TButtonKind kind, const TButtonState& state) {
  BrushKeeper keep(canvas);
  const bool flat = kind == TButtonKind::FlatTool;
  // A flat button at rest shows what lies below it.
  if (!flat || state.pushed || state.hot) FillSolid(canvas, rect, clBtnFace);
  switch (kind) {
    case TButtonKind::Push:
      if (state.framed) {
        canvas->Brush->Color = cl3DDkShadow;
        canvas->FrameRect(rect);
        Shrink(rect, 1);
      }
      if (state.pushed) {
        canvas->Brush->Color = clBtnShadow;
        canvas->FrameRect(rect);
        Shrink(rect, 1);
      } else {
        DrawEdge(canvas, rect, TEdge::Raised);
      }
      break;
    case TButtonKind::Tool: DrawEdge(canvas, rect, state.pushed ? TEdge::Pushed : TEdge::Raised); break;
    case TButtonKind::FlatTool:
      if (state.pushed)
        DrawEdge(canvas, rect, TEdge::SunkenThin);
      else if (state.hot && state.enabled)
        DrawEdge(canvas, rect, TEdge::RaisedThin);
      break;
  }
  if (state.latched) FillDithered(canvas, rect, clBtnFace, clBtnHighlight);
  return state.pushed ? 1 : 0;
}

void TButtonPress::Start(TControl& control, const TRect& area) {
  area_ = area;
  pressing_ = true;
  inside_ = true;
  control.Invalidate();
}

void TButtonPress::Move(TControl& control, int x, int y) {
  if (!pressing_) return;
  const bool inside = PtInRect(area_, {x, y});
  if (inside == inside_) return;
  inside_ = inside;
  control.Invalidate();
}

void TButtonPress::End(TControl& control) {
  if (!pressing_) return;
  pressing_ = false;
  inside_ = false;
  control.Invalidate();
}

// --- tabs ---

void DrawTabEdge(TCanvas* canvas, const TRect& r, bool selected) {
  // A selected tab covers the top edge of its page below it.
  const int bottom = selected ? r.Bottom : r.Bottom - 1;
  FillSolid(canvas, Rect(r.Left, r.Top, r.Right, selected ? r.Bottom + 1 : r.Bottom), clBtnFace);
  auto line = [canvas](TColor color, int x0, int y0, int x1, int y1) {
    canvas->Pen->Color = color;
    canvas->MoveTo(x0, y0);
    canvas->LineTo(x1, y1);
  };
  canvas->Pen->Style = psSolid;
  canvas->Pen->Width = 1;
  // Outside: highlight up the left edge, round the corner, along the top.
  line(clBtnHighlight, r.Left, bottom, r.Left, r.Top + 2);
  line(clBtnHighlight, r.Left, r.Top + 2, r.Left + 2, r.Top);
  line(clBtnHighlight, r.Left + 2, r.Top, r.Right - 2, r.Top);
  // Inside: the light line beside it.
  line(cl3DLight, r.Left + 1, bottom, r.Left + 1, r.Top + 2);
  line(cl3DLight, r.Left + 2, r.Top + 1, r.Right - 2, r.Top + 1);
  // Right: dark shadow outside with its corner, shadow inside.
  line(cl3DDkShadow, r.Right - 2, r.Top + 1, r.Right - 1, r.Top + 2);
  line(cl3DDkShadow, r.Right - 1, r.Top + 2, r.Right - 1, bottom);
  line(clBtnShadow, r.Right - 2, r.Top + 2, r.Right - 2, bottom);
}

// --- check and radio marks ---

void DrawCheckBoxFrame(TCanvas* canvas, int x, int y, TCheckBoxState state, bool enabled) {
  TRect r = Bounds(x, y, kCheckMarkSize, kCheckMarkSize);
  DrawEdge(canvas, r, TEdge::Sunken);
  if (state == cbGrayed)
    FillDithered(canvas, r, clBtnFace, clBtnHighlight);
  else
    FillSolid(canvas, r, enabled ? clWindow : clBtnFace);
  if (state == cbUnchecked) return;
  // The tick: seven columns, three pixels high, down then up.
  canvas->Brush->Color = (state == cbGrayed || !enabled) ? clBtnShadow : clWindowText;
  const int left = r.Left + 1, top = r.Top + 1;
  static constexpr std::array<int, 7> kDrop = {2, 3, 4, 3, 2, 1, 0};
  for (std::size_t i = 0; i < kDrop.size(); ++i)
    canvas->FillRect(Bounds(left + static_cast<int>(i), top + kDrop[i], 1, 3));
}

void DrawRadioButtonFrame(TCanvas* canvas, int x, int y, bool checked, bool enabled) {
  canvas->Pen->Width = 1;
  canvas->Pen->Style = psSolid;
  canvas->Brush->Style = bsSolid;
  auto disc = [canvas](TColor color, int l, int t, int r, int b) {
    canvas->Pen->Color = color;
    canvas->Brush->Color = color;
    canvas->Ellipse(l, t, r, b);
  };
  // Outer ring: shadow above left, highlight below right; inner ring darker.
  disc(clBtnHighlight, x, y, x + kRadioMarkSize, y + kRadioMarkSize);
  disc(clBtnShadow, x, y, x + kRadioMarkSize - 1, y + kRadioMarkSize - 1);
  disc(cl3DLight, x + 1, y + 1, x + kRadioMarkSize, y + kRadioMarkSize);
  disc(cl3DDkShadow, x + 1, y + 1, x + kRadioMarkSize - 1, y + kRadioMarkSize - 1);
  disc(enabled ? clWindow : clBtnFace, x + 2, y + 2, x + kRadioMarkSize - 2, y + kRadioMarkSize - 2);
  if (checked) disc(enabled ? clWindowText : clBtnShadow, x + 4, y + 4, x + kRadioMarkSize - 4, y + kRadioMarkSize - 4);
}

void DrawMarkCaption(TCanvas* canvas, const TRect& area, const std::string& caption, bool enabled, bool focused) {
  const int textHeight = canvas->TextHeight("Wg");
  const int textTop = static_cast<int>(area.Top + (area.Height() - textHeight) / 2);
  TTextStyle style;
  style.disabled = !enabled;
  DrawTextInRect(canvas, Rect(area.Left, textTop, area.Right, textTop + textHeight), caption, style);
  if (!focused || !enabled || caption.empty()) return;
  const int focusRight = std::min(area.Right, area.Left + canvas->TextWidth(caption) + 1);
  canvas->DrawFocusRect(Rect(area.Left - 1, textTop, focusRight + 1, textTop + textHeight));
}

// --- text ---

namespace {

// Splits the text into the lines it shows.
std::vector<std::string> LayoutLines(TCanvas* canvas, const std::string& text, int maxWidth) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    std::size_t end = text.find_first_of("\r\n", start);
    std::string para = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (maxWidth > 0 && canvas->TextWidth(para) > maxWidth) {
      // Break at spaces; a word wider than the line stands alone.
      std::string line;
      std::size_t pos = 0;
      while (pos < para.size()) {
        std::size_t space = para.find(' ', pos);
        std::string word = para.substr(pos, space == std::string::npos ? std::string::npos : space - pos);
        std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && canvas->TextWidth(candidate) > maxWidth) {
          lines.push_back(line);
          line = word;
        } else {
          line = candidate;
        }
        if (space == std::string::npos) break;
        pos = space + 1;
      }
      lines.push_back(line);
    } else {
      lines.push_back(para);
    }
    if (end == std::string::npos) break;
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

// Whether a cut before text[i] would split a character (a UTF-8 sequence
// when that is the ANSI code page; single-byte code pages cut anywhere).
bool InsideCharacter(const std::string& text, std::size_t i) {
  return GetACP() == CP_UTF8 && i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
}

int ClampCoordinate(long long v) { return static_cast<int>(std::clamp<long long>(v, -0x3FFFFFFF, 0x3FFFFFFF)); }

// One line at (x, y), clipped to the rectangle, its marked character
// underlined. Only the first piece may fill the rectangle (a solid brush),
// so that it does not paint over the pieces before it.
void HotkeyTextRect(TCanvas* canvas, const TRect& rect, int x, int y, const THotkeyText& line) {
  if (line.hotkey == std::string::npos) {
    canvas->TextRect(rect, x, y, line.text);
    return;
  }
  std::size_t end = line.hotkey + 1;
  while (InsideCharacter(line.text, end)) ++end;
  const std::string before = line.text.substr(0, line.hotkey);
  const std::string marked = line.text.substr(line.hotkey, end - line.hotkey);
  const TBrushStyle brushStyle = canvas->Brush->Style;
  const TFontStyles fontStyle = canvas->Font->Style;
  canvas->TextRect(rect, x, y, before);
  canvas->Brush->Style = bsClear;
  x += canvas->TextWidth(before);
  canvas->Font->Style = fontStyle | fsUnderline;
  canvas->TextRect(rect, x, y, marked);
  canvas->Font->Style = fontStyle;
  canvas->TextRect(rect, x + canvas->TextWidth(marked), y, line.text.substr(end));
  canvas->Brush->Style = brushStyle;
}

}  // namespace

std::string EllipsizedText(TCanvas* canvas, const std::string& text, int width) {
  static const std::string kEllipsis = "...";
  if (canvas->TextWidth(text) <= width) return text;
  // The longest start that fits with the ellipsis: widths grow with the length
  // (the ellipsis adds its own width to any start).
  const std::vector<int> starts = canvas->TextPrefixWidths(text);
  const long long room = static_cast<long long>(width) - canvas->TextWidth(kEllipsis);
  std::size_t low = 0, high = text.size();
  while (low < high) {
    const std::size_t mid = (low + high + 1) / 2;
    if (starts[mid] <= room)
      low = mid;
    else
      high = mid - 1;
  }
  while (low > 0 && InsideCharacter(text, low)) --low;
  return text.substr(0, low) + kEllipsis;
}

TSize MeasureText(TCanvas* canvas, const std::string& text, int maxWidth) {
  const std::vector<std::string> lines = LayoutLines(canvas, text, maxWidth);
  const int lineHeight = canvas->TextHeight("Wg");
  int width = 0;
  for (const std::string& l : lines) width = std::max(width, canvas->TextWidth(l));
  return {width, lineHeight * static_cast<int>(lines.size())};
}

int DrawTextInRect(TCanvas* canvas, const TRect& rect, const std::string& text, const TTextStyle& style) {
  const int rectWidth = static_cast<int>(std::min<long long>(rect.Width(), 0x3FFFFFFF));
  const std::vector<std::string> lines = LayoutLines(canvas, text, style.wordWrap ? rectWidth : 0);
  const int lineHeight = canvas->TextHeight("Wg");
  const long long total = static_cast<long long>(lineHeight) * static_cast<long long>(lines.size());
  long long y = rect.Top;
  if (style.vAlign == TVAlign::Center) y = rect.Top + (rect.Height() - total) / 2;
  if (style.vAlign == TVAlign::Bottom) y = rect.Bottom - total;
  const TBrushStyle brushStyle = canvas->Brush->Style;
  const TColor fontColor = canvas->Font->Color;
  if (!style.opaque) canvas->Brush->Style = bsClear;
  for (const std::string& whole : lines) {
    THotkeyText shown = style.hotkey ? SplitHotkey(whole) : THotkeyText{whole};
    if (style.endEllipsis) {
      const std::string cut = EllipsizedText(canvas, shown.text, rectWidth);
      if (cut != shown.text && shown.hotkey != std::string::npos && shown.hotkey + 3 >= cut.size())
        shown.hotkey = std::string::npos;  // the marked character was cut off
      shown.text = cut;
    }
    const std::string& line = shown.text;
    const int w = canvas->TextWidth(line);
    long long x = rect.Left;
    if (style.hAlign == THAlign::Center) x = rect.Left + (rect.Width() - w) / 2;
    if (style.hAlign == THAlign::Right) x = rect.Right - w;
    const int ix = ClampCoordinate(x);
    const int iy = ClampCoordinate(y);
    if (style.disabled) {
      canvas->Brush->Style = bsClear;
      canvas->Font->Color = clBtnHighlight;
      HotkeyTextRect(canvas, Rect(rect.Left + 1, rect.Top + 1, rect.Right + 1, rect.Bottom + 1), ix + 1, iy + 1, shown);
      canvas->Font->Color = clBtnShadow;
      HotkeyTextRect(canvas, rect, ix, iy, shown);
      canvas->Font->Color = fontColor;
    } else {
      HotkeyTextRect(canvas, rect, ix, iy, shown);
    }
    y += lineHeight;
  }
  canvas->Brush->Style = brushStyle;
  return static_cast<int>(std::min<long long>(total, 0x3FFFFFFF));
}

// --- items ---

TItemColors SelectedItemColors(bool focusedView, bool enabled) {
  if (!enabled) return {clBtnFace, clGrayText};
  if (focusedView) return {clHighlight, clHighlightText};
  return {clBtnFace, clWindowText};
}

// --- pictures ---

void DrawEmbossed(TCanvas* canvas, int x, int y, int width, int height, const std::function<bool(int, int)>& isDark) {
  const TColor light = ColorToRGB(clBtnHighlight);
  const TColor shadow = ColorToRGB(clBtnShadow);
  for (int pass = 0; pass < 2; ++pass) {
    const int shift = pass == 0 ? 1 : 0;
    for (int py = 0; py < height; ++py)
      for (int px = 0; px < width; ++px)
        if (isDark(px, py)) canvas->SetPixel(x + px + shift, y + py + shift, pass == 0 ? light : shadow);
  }
}

bool IsDarkForEmboss(TColor color) {
  const std::uint32_t c = static_cast<std::uint32_t>(ColorToRGB(color));
  constexpr unsigned kRed = 30, kGreen = 59, kBlue = 11, kThreshold = 192;
  const unsigned lum = ((c & 0xFF) * kRed + ((c >> 8) & 0xFF) * kGreen + ((c >> 16) & 0xFF) * kBlue) / 100;
  return lum < kThreshold;
}

// --- small parts ---

void DrawDropDownArrow(TCanvas* canvas, const TRect& rect, TColor color) {
  const int cx = static_cast<int>(rect.Left + rect.Width() / 2);
  const int cy = static_cast<int>(rect.Top + rect.Height() / 2);
  BrushKeeper keep(canvas);
  // Four rows, seven pixels wide at the top down to one.
  for (int i = 0; i < 4; ++i) FillSolid(canvas, Rect(cx - 3 + i, cy - 1 + i, cx + 4 - i, cy + i), color);
}

void FillDithered(TCanvas* canvas, const TRect& rect, TColor a, TColor b) {
  const TRect clip = canvas->ClipRect();
  TRect r;
  if (!IntersectRect(r, rect, clip)) return;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) canvas->SetPixel(x, y, ((x + y) & 1) ? b : a);
}

namespace {

// A scroll bar's arrow button with a small triangle pointing outwards.
void DrawScrollArrow(TCanvas* canvas, TRect b, bool horizontal, bool first) {
  DrawButtonFace(canvas, b, TButtonKind::Push, {});
  canvas->Brush->Color = clBtnText;
  const int cx = static_cast<int>(b.Left + b.Width() / 2), cy = static_cast<int>(b.Top + b.Height() / 2);
  for (int i = 0; i < 4; ++i) {
    const int k = first ? i : 3 - i;
    if (horizontal)
      canvas->FillRect(Rect(cx - 2 + i, cy - k, cx - 1 + i, cy + k + 1));
    else
      canvas->FillRect(Rect(cx - k, cy - 2 + i, cx + k + 1, cy - 1 + i));
  }
}

}  // namespace

void DrawScrollBar(TCanvas* canvas, const TRect& r, bool horizontal, int position, int range, int page) {
  const int length = static_cast<int>(horizontal ? r.Width() : r.Height());
  const int buttonLength = std::min(kScrollBarSize, length / 2);
  if (horizontal) {
    DrawScrollArrow(canvas, Rect(r.Left, r.Top, r.Left + buttonLength, r.Bottom), true, true);
    DrawScrollArrow(canvas, Rect(r.Right - buttonLength, r.Top, r.Right, r.Bottom), true, false);
  } else {
    DrawScrollArrow(canvas, Rect(r.Left, r.Top, r.Right, r.Top + buttonLength), false, true);
    DrawScrollArrow(canvas, Rect(r.Left, r.Bottom - buttonLength, r.Right, r.Bottom), false, false);
  }
  const int track = length - 2 * buttonLength;
  if (track <= 0) return;
  const TRect trackRect = horizontal ? Rect(r.Left + buttonLength, r.Top, r.Right - buttonLength, r.Bottom)
                                     : Rect(r.Left, r.Top + buttonLength, r.Right, r.Bottom - buttonLength);
  FillDithered(canvas, trackRect, clBtnFace, clBtnHighlight);
  if (range <= 0 || page >= range) return;
  constexpr long long kMinThumb = 8;
  const long long thumb = std::max<long long>(kMinThumb, static_cast<long long>(track) * page / range);
  if (thumb >= track) return;
  const long long maxPos = std::max(1, range - page);
  const long long start = (track - thumb) * std::min<long long>(position, maxPos) / maxPos;
  TRect t = horizontal ? Rect(static_cast<int>(trackRect.Left + start), r.Top,
                              static_cast<int>(trackRect.Left + start + thumb), r.Bottom)
                       : Rect(r.Left, static_cast<int>(trackRect.Top + start), r.Right,
                              static_cast<int>(trackRect.Top + start + thumb));
  DrawButtonFace(canvas, t, TButtonKind::Push, {});
}
